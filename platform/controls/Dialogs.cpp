#include "platform/controls/Dialogs.h"

#include <algorithm>
#include <filesystem>

#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/SysUtils.h"

namespace vel {

VEL_DEFINE_CLASS(TCommonDialog, TComponent)
VEL_DEFINE_CREATABLE_CLASS(TOpenDialog, TCommonDialog)
VEL_DEFINE_CREATABLE_CLASS(TSaveDialog, TOpenDialog)
VEL_ENUM_INFO(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp,
              ofNoValidate, ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist,
              ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate,
              ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
              ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden)
VEL_ENUM_INFO(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
VEL_ENUM_INFO(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll,
              mbYesToAll, mbHelp, mbClose)

// ---- File dialogs.

namespace {
TFileDialogResponder& Responder() {
    static TFileDialogResponder r;
    return r;
}
}  // namespace

void SetFileDialogResponder(TFileDialogResponder Responder_) {
    Responder() = std::move(Responder_);
}
const TFileDialogResponder& GetFileDialogResponder() {
    return Responder();
}

void TCommonDialog::DoShow() {
    if (FOnShow) FOnShow(this);
}

void TCommonDialog::DoClose() {
    if (FOnClose) FOnClose(this);
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

void TOpenDialog::SetFilter(const std::string& v) {
    std::size_t bars = std::size_t(std::count(v.begin(), v.end(), '|'));
    if (!v.empty() && bars % 2 == 0)
        throw EInvalidArgument("Filter '" + v + "' has a description without a pattern.");
    FFilter = v;
}

std::vector<std::pair<std::string, std::string>> TOpenDialog::FilterPairs() const {
    std::vector<std::pair<std::string, std::string>> r;
    std::size_t p = 0;
    while (p < FFilter.size()) {
        const std::size_t a = FFilter.find('|', p);
        const std::size_t b = FFilter.find('|', a + 1);
        r.emplace_back(FFilter.substr(p, a - p),
                       FFilter.substr(a + 1, b == std::string::npos ? b : b - a - 1));
        if (b == std::string::npos) break;
        p = b + 1;
    }
    return r;
}

void TOpenDialog::SetDefaultExt(const std::string& v) {
    std::size_t start = v.find_first_not_of('.');
    FDefaultExt = start == std::string::npos ? std::string() : v.substr(start);
}

std::string TOpenDialog::Complete(const std::string& Name) const {
    if (Name.empty()) return Name;
    std::string r = Name;
    if (!FDefaultExt.empty() && ExtractFileExt(ExtractFileName(r)).empty()) r += "." + FDefaultExt;
    if (r.front() != PathDelim) {
        r = FInitialDir.empty() ? std::filesystem::absolute(r).string()
                                : IncludeTrailingPathDelimiter(FInitialDir) + r;
    }
    return r;
}

std::string TOpenDialog::CheckChoice(const std::string& Path) {
    const std::string dir = ExtractFileDir(Path);
    if (FOptions.Contains(TOpenOption::ofPathMustExist) && !dir.empty() && !DirectoryExists(dir))
        return "The folder " + dir + " does not exist.";
    if (!IsSaveDialog() && FOptions.Contains(TOpenOption::ofFileMustExist) && !FileExists(Path))
        return Path + "\nFile not found.\nCheck the file name and try again.";
    return std::string();
}

bool TOpenDialog::Execute() {
    DoShow();
    const std::string oldName = FFileName;
    const std::vector<std::string> oldFiles = FFiles;
    const int oldIndex = FFilterIndex;
    FWarning.clear();
    std::string refused;
    bool ok = false;
    // Take a copy: the responder may install another one while it runs.
    const TFileDialogResponder responder = Responder();
    while (responder) {
        if (!responder(*this)) break;
        const std::string path = Complete(FFileName);
        const std::string why =
            path.empty() ? std::string("Choose a file name.") : CheckChoice(path);
        if (why.empty()) {
            FFileName = path;
            if (FFiles.empty()) {
                FFiles = {path};
            } else {
                for (std::string& f : FFiles) f = Complete(f);
            }
            FWarning.clear();
            ok = true;
            break;
        }
        // The same refused answer twice: the user gives up.
        const bool again = path == refused;
        FWarning = why;
        refused = path;
        if (again) break;
    }
    if (!ok) {
        FFileName = oldName;
        FFiles = oldFiles;
        FFilterIndex = oldIndex;
    }
    DoClose();
    return ok;
}

std::string TSaveDialog::CheckChoice(const std::string& Path) {
    std::string why = TOpenDialog::CheckChoice(Path);
    if (!why.empty()) return why;
    if (GetOptions().Contains(TOpenOption::ofOverwritePrompt) && FileExists(Path)) {
        const std::string question = Path + " already exists.\nDo you want to replace it?";
        if (MessageDlg(question, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo},
                       0) != mrYes)
            return Path + " already exists.";
    }
    return std::string();
}

// ---- The message dialog.

namespace {

struct TButtonInfo {
    const char* Name;
    const char* Caption;
    TModalResult Result;
};
// In TMsgDlgBtn order. Help does not close the dialog.
constexpr TButtonInfo ButtonInfo[] = {
    {"Yes", "&Yes", mrYes},
    {"No", "&No", mrNo},
    {"OK", "OK", mrOk},
    {"Cancel", "Cancel", mrCancel},
    {"Abort", "&Abort", mrAbort},
    {"Retry", "&Retry", mrRetry},
    {"Ignore", "&Ignore", mrIgnore},
    {"All", "&All", mrAll},
    {"NoToAll", "N&o to All", mrNoToAll},
    {"YesToAll", "Yes to &All", mrYesToAll},
    {"Help", "&Help", mrNone},
    {"Close", "&Close", mrClose},
};

std::string DialogCaption(TMsgDlgType t) {
    switch (t) {
        case TMsgDlgType::mtWarning:
            return "Warning";
        case TMsgDlgType::mtError:
            return "Error";
        case TMsgDlgType::mtInformation:
            return "Information";
        case TMsgDlgType::mtConfirmation:
            return "Confirm";
        case TMsgDlgType::mtCustom:
            break;
    }
    return Application().GetTitle().empty() ? std::string("Message") : Application().GetTitle();
}

constexpr int IconSize = 32;
constexpr int Margin = 12;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int ButtonSpacing = 6;

}  // namespace

// The dialog's icon, drawn from shapes: a yellow triangle with "!", a red disc with a white
// cross, a blue disc with "i" or "?".
class TMessageIcon : public TGraphicControl {
    VEL_CLASS(TMessageIcon)
public:
    TMessageIcon(TComponent* AOwner, TMsgDlgType Kind) : TGraphicControl(AOwner), FKind(Kind) {
        SetBounds(0, 0, IconSize, IconSize);
    }
    TMsgDlgType GetKind() const { return FKind; }

protected:
    void Paint() override {
        TCanvas& c = Canvas();
        c.Pen().SetStyle(TPenStyle::psSolid);
        c.Pen().SetColor(clBlack);
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        auto mark = [&](TColor colour, const std::string& text) {
            c.Font().SetName("Tahoma");
            c.Font().SetSize(14);
            c.Font().SetStyle({TFontStyle::fsBold});
            c.Font().SetColor(colour);
            c.Brush().SetStyle(TBrushStyle::bsClear);
            TRect r = Rect(0, 2, IconSize, IconSize);
            c.DrawText(text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            c.Brush().SetStyle(TBrushStyle::bsSolid);
        };
        switch (FKind) {
            case TMsgDlgType::mtWarning:
                c.Brush().SetColor(clYellow);
                c.Polygon({Point(IconSize / 2, 1), Point(IconSize - 2, IconSize - 3),
                           Point(1, IconSize - 3)});
                mark(clBlack, "!");
                break;
            case TMsgDlgType::mtError:
                c.Brush().SetColor(clRed);
                c.Ellipse(1, 1, IconSize - 1, IconSize - 1);
                c.Pen().SetColor(clWhite);
                for (int k = -1; k <= 1; ++k) {
                    c.MoveTo(10 + k, 10);
                    c.LineTo(22 + k, 22);
                    c.MoveTo(22 + k, 10);
                    c.LineTo(10 + k, 22);
                }
                break;
            case TMsgDlgType::mtInformation:
            case TMsgDlgType::mtConfirmation:
                c.Brush().SetColor(clBlue);
                c.Ellipse(1, 1, IconSize - 1, IconSize - 1);
                mark(clWhite, FKind == TMsgDlgType::mtInformation ? "i" : "?");
                break;
            case TMsgDlgType::mtCustom:
                break;
        }
    }

private:
    TMsgDlgType FKind;
};
VEL_DEFINE_CLASS(TMessageIcon, TGraphicControl)

TMsgDlgBtn DefaultMessageButton(TMsgDlgButtons Buttons) {
    using enum TMsgDlgBtn;
    for (TMsgDlgBtn b : {mbOK, mbYes, mbRetry, mbAbort, mbIgnore, mbClose, mbAll, mbYesToAll, mbNo,
                         mbNoToAll, mbCancel, mbHelp})
        if (Buttons.Contains(b)) return b;
    return mbOK;
}

TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    using enum TMsgDlgBtn;
    if (Buttons.Empty()) Buttons = {mbOK};
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    form->SetPosition(TPosition::poScreenCenter);
    form->SetCaption(DialogCaption(DlgType));
    form->SetFont(Screen().MessageFont());
    form->SetParentFont(false);
    form->SetName("MessageDialog");

    int textLeft = Margin;
    if (DlgType != TMsgDlgType::mtCustom) {
        auto* icon = new TMessageIcon(form.get(), DlgType);
        icon->SetName("Image");
        icon->SetParent(form.get());
        icon->SetBounds(Margin, Margin, IconSize, IconSize);
        textLeft += IconSize + Margin;
    }

    // Measure the text as the label will draw it: wrapped at half the screen.
    TBitmap measure;
    measure.SetSize(1, 1);
    measure.Canvas().Font().Assign(&form->Font());
    const int maxWidth = std::max(200, Screen().GetWidth() / 2);
    TRect text = Rect(0, 0, maxWidth, 0);
    measure.Canvas().DrawText(Msg.empty() ? std::string(" ") : Msg, text,
                              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    // A word longer than the line is cut rather than widening the dialog past the screen.
    text.Right = std::min(text.Right, maxWidth);
    auto* label = new TLabel(form.get());
    label->SetName("Message");
    label->SetParent(form.get());
    label->SetShowAccelChar(false);
    label->SetWordWrap(true);
    label->SetAutoSize(false);
    label->SetCaption(Msg);
    label->SetBounds(textLeft, Margin, text.Width(), text.Height());

    TMsgDlgBtn defaultButton = DefaultMessageButton(Buttons);
    TMsgDlgBtn cancelButton = Buttons.Contains(mbCancel) ? mbCancel
                              : Buttons.Contains(mbNo)   ? mbNo
                                                         : mbOK;
    std::vector<TButton*> buttons;
    for (int i = 0; i <= int(mbClose); ++i) {
        const auto b = TMsgDlgBtn(i);
        if (!Buttons.Contains(b)) continue;
        auto* button = new TButton(form.get());
        button->SetName(ButtonInfo[i].Name);
        button->SetCaption(ButtonInfo[i].Caption);
        button->SetModalResult(ButtonInfo[i].Result);
        button->SetParent(form.get());
        if (b == defaultButton) {
            button->SetDefault(true);
            form->SetActiveControl(button);
        }
        if (b == cancelButton) button->SetCancel(true);
        buttons.push_back(button);
    }
    const int row = int(buttons.size()) * ButtonWidth + (int(buttons.size()) - 1) * ButtonSpacing;
    const int textBottom = std::max(Margin + (DlgType != TMsgDlgType::mtCustom ? IconSize : 0),
                                    Margin + text.Height());
    const int clientWidth = std::max(textLeft + text.Width() + Margin, row + 2 * Margin);
    const int buttonTop = textBottom + Margin + 4;
    int x = (clientWidth - row) / 2;
    for (TButton* button : buttons) {
        button->SetBounds(x, buttonTop, ButtonWidth, ButtonHeight);
        x += ButtonWidth + ButtonSpacing;
    }
    form->SetClientWidth(clientWidth);
    form->SetClientHeight(buttonTop + ButtonHeight + Margin);
    return form.release();
}

namespace {
int ShowMessageDialog(TForm* Form, int HelpCtx, int X, int Y) {
    std::unique_ptr<TForm> form(Form);
    form->SetTag(HelpCtx);
    if (X >= 0) form->SetLeft(X);
    if (Y >= 0) form->SetTop(Y);
    if (X >= 0 || Y >= 0) form->SetPosition(TPosition::poDesigned);
    return form->ShowModal();
}
}  // namespace

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
    return ShowMessageDialog(CreateMessageDialog(Msg, DlgType, Buttons), HelpCtx, -1, -1);
}

int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                  int X, int Y) {
    return ShowMessageDialog(CreateMessageDialog(Msg, DlgType, Buttons), HelpCtx, X, Y);
}

void ShowMessage(const std::string& Msg) {
    MessageDlg(Msg, TMsgDlgType::mtCustom, {TMsgDlgBtn::mbOK}, 0);
}

}  // namespace vel
