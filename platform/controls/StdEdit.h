#pragma once
// TCustomEdit / TEdit: the single-line edit control. Text is UTF-8; every position (SelStart,
// SelLength, EM_GETSEL/EM_SETSEL, MaxLength) counts code points.
//
// The control follows the classic split: KeyDown/KeyPress (and their events) see a key first;
// what survives reaches DefaultHandler, which plays the part of the native edit window
// procedure (caret moves, editing, clipboard keys, the EM_* and clipboard messages). The
// public editing methods send those messages, so a descendant that intercepts a message in
// Dispatch (say, to refuse a paste) also governs the method.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/controls/Controls.h"

namespace vel {

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
VEL_DECLARE_ENUM_INFO(TEditCharCase)

class TCustomEdit : public TCustomControl {
    VEL_CLASS(TCustomEdit)
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    // Selection. The anchor stays where a Shift-extension started; the caret is the moving end.
    int GetSelStart() const;
    // Moves the caret there (clamped) with an empty selection.
    void SetSelStart(int Value);
    int GetSelLength() const;
    // Extends from SelStart; the caret goes to the end of the selection.
    void SetSelLength(int Value);
    std::string GetSelText() const;
    // Replaces the selection (undoable; neither MaxLength nor ReadOnly apply, as classically).
    void SetSelText(const std::string& Value);
    // Anchor at Start, caret at End (either order; clamped).
    void SetSel(int Start, int End);
    int GetCaretPos() const { return FCaret; }
    // Length of the shown text in code points.
    int GetTextLen() const { return TextLength(); }
    void SelectAll();
    // Deletes the selected text (WM_CLEAR).
    void ClearSelection();
    void Clear() { SetText(std::string()); }

    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void Undo();
    bool CanUndo() const { return !FUndo.empty(); }
    void ClearUndo() { FUndo.clear(); }

    // Longest text typing and pasting may produce, in code points; 0 for no limit. Text set
    // by code is not cut. A negative value raises EInvalidArgument.
    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // Converts the current text and everything typed or set later.
    TEditCharCase GetCharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    // Shown once per code point instead of the text; copying and cutting are refused then.
    char32_t GetPasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char32_t Value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Set by every change the user makes, cleared when the text is set by code.
    bool GetModified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    // Select the whole text when the focus arrives by keyboard.
    bool GetAutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // Hide the selection highlight while the control is not focused.
    bool GetHideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // Where a text narrower than the formatting rectangle sits in it.
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

    // The formatting rectangle (client coordinates): the text is laid out from its top-left
    // corner and clipped to it. Until one is set it follows the client area with a margin.
    TRect GetFormatRect() const;
    void SetFormatRect(const TRect& R);
    void ResetFormatRect();
    // Pixels of the text scrolled out at the left.
    int GetScrollOffset() const { return FScrollX; }
    // The boundary nearest to a client x (code points), and the client x of a boundary.
    int CharIndexAt(int X);
    int CharPosX(int Index);
    // Whether the caret is drawn now. It shows only while focused and blinks on the
    // application's clock every SystemProfile().CaretBlinkTime ms (0: steady); it stays
    // steady while a selection is shown. Typing or moving it shows it and restarts the blink.
    bool GetCaretVisible() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoEnter() override;
    void Resize() override;
    void FontChanged() override;

    // Raises OnChange after every change of the text.
    virtual void Change();
    // Whether the user may change the text now.
    virtual bool EditCanModify() { return !FReadOnly; }
    // The native handling of a key that KeyDown left, and of a typed character.
    virtual void EditKeyDown(unsigned Key, TShiftState Shift);
    virtual void EditChar(char32_t Ch);
    // Delete (Forward) or Backspace with nothing selected.
    virtual void EditDelete(bool Forward, bool Word);
    // Inserts text the user pasted (the selection is replaced).
    virtual void EditPaste(const std::string& S);
    // Removes the selected text for cut, clear and typing over it.
    virtual void EditClearSelection();
    // Text given by code (SetText, WM_SETTEXT): a descendant may reformat it.
    virtual std::string AdjustAssignedText(const std::string& S);
    // What is painted (the password form of the text).
    virtual std::string GetDisplayText() const;
    // Moves the caret, keeping the anchor when Extend.
    virtual void MoveCaret(int Pos, bool Extend);

    // Replaces the code points [A, B) by S as the user would (char case and MaxLength apply),
    // pushing an undo step unless Coalesce continues a run of typing. Returns whether the text
    // changed.
    bool ReplaceRange(int A, int B, const std::string& S, bool Coalesce = false);
    // Sets text, anchor and caret as one user change (undo step, Modified, Change).
    void ApplyEdit(const std::string& Text, int Anchor, int Caret, bool Coalesce = false);
    // Sets the text without any of the bookkeeping of a change by code.
    void SetTextQuietly(const std::string& S);
    int TextLength() const;
    std::string ApplyCharCase(const std::string& S) const;
    void ScrollCaretIntoView();

    int FAnchor = 0;
    int FCaret = 0;

private:
    struct TUndoStep {
        std::string Text;
        int Anchor, Caret;
    };
    void TextAssigned();
    void CopySelection();
    void RestartCaretBlink();
    std::vector<int>& Positions();
    TCanvas& Measure();
    int WordLeft(int Pos) const;
    int WordRight(int Pos) const;
    // Client x of the text's first pixel (formatting rectangle, scroll and alignment).
    int TextOriginX();

    int FMaxLength = 0;
    TEditCharCase FCharCase = TEditCharCase::ecNormal;
    char32_t FPasswordChar = 0;
    bool FReadOnly = false;
    bool FModified = false;
    bool FAutoSelect = true;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    bool FHideSelection = true;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TNotifyEvent FOnChange;
    TRect FFormatRect;
    bool FFormatRectSet = false;
    int FScrollX = 0;
    bool FQuiet = false;   // the text is being set by the control itself
    bool FTyping = false;  // the last step was typing (for coalescing undo)
    bool FMouseSelecting = false;
    bool FCaretOn = true;  // the blink's visible half
    std::vector<TUndoStep> FUndo;
    std::vector<int> FPositions;  // x of every boundary of the display text
    bool FPositionsValid = false;
    std::unique_ptr<TCanvas> FMeasure;
};

class TEdit : public TCustomEdit {
    VEL_CLASS(TEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

}  // namespace vel
