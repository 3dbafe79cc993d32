#pragma once
// Common dialogs: open and save file dialogs, and the message dialog.
//
// The file dialogs have no window of their own: the user's side is a process-wide responder
// (a test's script, or an application's own chooser) that fills in the dialog and answers OK or
// Cancel; with none installed Execute answers Cancel. What the real dialog checks after the
// user's choice (default extension, file and path must exist, overwrite prompt) is checked here;
// a rejected choice is put to the responder again, as the real dialog stays open.
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/TSet.h"

namespace vel {

class TOpenDialog;

enum class TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
    ofDontAddToRecent,
    ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;
VEL_DECLARE_ENUM_INFO(TOpenOption)

// The user of a file dialog: sets FileName (and FilterIndex, Files) and returns true for OK,
// false for Cancel. GetWarning() tells it why its previous answer was refused.
using TFileDialogResponder = std::function<bool(TOpenDialog& Dialog)>;
void SetFileDialogResponder(TFileDialogResponder Responder);
const TFileDialogResponder& GetFileDialogResponder();

class TCommonDialog : public TComponent {
    VEL_CLASS(TCommonDialog)
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    const std::string& GetTitle() const { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    virtual bool Execute() = 0;
    void SetOnShow(TNotifyEvent e) { FOnShow = std::move(e); }
    void SetOnClose(TNotifyEvent e) { FOnClose = std::move(e); }

protected:
    virtual void DoShow();
    virtual void DoClose();

private:
    std::string FTitle;
    TNotifyEvent FOnShow, FOnClose;
};

class TOpenDialog : public TCommonDialog {
    VEL_CLASS(TOpenDialog)
public:
    explicit TOpenDialog(TComponent* AOwner);

    // The chosen file, a full path after a confirmed Execute.
    const std::string& GetFileName() const { return FFileName; }
    void SetFileName(const std::string& v) { FFileName = v; }
    // All chosen files (ofAllowMultiSelect); FileName is the first.
    const std::vector<std::string>& GetFiles() const { return FFiles; }
    void SetFiles(std::vector<std::string> v) { FFiles = std::move(v); }
    // "Description|pattern;pattern|Description|pattern"; an odd number of parts raises
    // EInvalidArgument and keeps the old filter.
    const std::string& GetFilter() const { return FFilter; }
    void SetFilter(const std::string& v);
    // The filter's (description, patterns) pairs.
    std::vector<std::pair<std::string, std::string>> FilterPairs() const;
    // 1-based.
    int GetFilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int v) { FFilterIndex = v; }
    // Without the dot; added to a chosen name that has no extension.
    const std::string& GetDefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& v);
    const std::string& GetInitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& v) { FInitialDir = v; }
    TOpenOptions GetOptions() const { return FOptions; }
    void SetOptions(TOpenOptions v) { FOptions = v; }
    // Why the responder's last answer was refused (empty when it was not).
    const std::string& GetWarning() const { return FWarning; }
    // Save dialog?
    virtual bool IsSaveDialog() const { return false; }

    // OK: true with FileName set; Cancel or no responder: false, FileName unchanged.
    bool Execute() override;

protected:
    // The refusal text for a chosen full path, empty to accept it.
    virtual std::string CheckChoice(const std::string& Path);

private:
    std::string Complete(const std::string& Name) const;

    std::string FFileName;
    std::vector<std::string> FFiles;
    std::string FFilter;
    int FFilterIndex = 1;
    std::string FDefaultExt;
    std::string FInitialDir;
    TOpenOptions FOptions{TOpenOption::ofHideReadOnly, TOpenOption::ofEnableSizing};
    std::string FWarning;
};

class TSaveDialog : public TOpenDialog {
    VEL_CLASS(TSaveDialog)
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
    bool IsSaveDialog() const override { return true; }

protected:
    // ofOverwritePrompt asks through MessageDlg whether to replace an existing file.
    std::string CheckChoice(const std::string& Path) override;
};

// ---- The message dialog: a modal form with an icon, the text and a row of buttons.

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum class TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbClose
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
VEL_DECLARE_ENUM_INFO(TMsgDlgType)
VEL_DECLARE_ENUM_INFO(TMsgDlgBtn)
constexpr TMsgDlgButtons mbYesNo{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo};
constexpr TMsgDlgButtons mbYesNoCancel{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel};
constexpr TMsgDlgButtons mbOKCancel{TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel};
constexpr TMsgDlgButtons mbAbortRetryIgnore{TMsgDlgBtn::mbAbort, TMsgDlgBtn::mbRetry,
                                            TMsgDlgBtn::mbIgnore};

// The dialog, not shown (the caller owns it). Its components are named for scripts: "Image"
// (absent for mtCustom), "Message" (a TLabel), and one TButton per button: "Yes", "No", "OK",
// "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll", "Help", "Close". The
// default button (OK, else Yes, else the first) has the focus and answers Enter; the Cancel
// button, else No, else OK, answers Escape. Help does not close the dialog.
TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
// Shows it modally and returns the modal result (mrYes …, mrCancel when closed otherwise).
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// The same at a desktop position (a negative coordinate keeps it centred).
int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                  int X, int Y);
void ShowMessage(const std::string& Msg);

}  // namespace vel
