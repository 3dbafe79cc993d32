// TInplaceEdit: the grid's cell editor, a masked edit bound to the grid's current cell.
#include "platform/controls/Grids.h"
#include "platform/rtl/ScopeGuard.h"

#include <algorithm>

namespace vel {

VEL_DEFINE_CLASS(TInplaceEdit, TCustomMaskEdit)

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
    SetVisibleSilently(false);
    SetTabStop(false);
    SetBorderStyle(TBorderStyle::bsNone);
    SetAutoSelect(false);
}

void TInplaceEdit::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_GETDLGCODE) {
        // Escape, Enter and the arrows belong to the editor (and through it to the grid).
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_HASSETSEL;
        if (FGrid && FGrid->GetOptions().Contains(TGridOption::goTabs))
            Message.Result |= DLGC_WANTTAB;
        return;
    }
    TCustomMaskEdit::Dispatch(Message);
}

void TInplaceEdit::Change() {
    TCustomMaskEdit::Change();
    if (FGrid && !FUpdating) FGrid->SetEditText(FGrid->GetCol(), FGrid->GetRow(), GetText());
}

bool TInplaceEdit::EditCanModify() {
    return TCustomMaskEdit::EditCanModify() && (!FGrid || FGrid->CanEditModify());
}

void TInplaceEdit::UpdateContents() {
    if (!FGrid) return;
    const int c = FGrid->GetCol(), r = FGrid->GetRow();
    FUpdating = true;
    {
        TScopeExit cleanup([&] { FUpdating = false; });
        // Emptied first so that the old text is not carried into the new mask.
        SetEditMask(std::string());
        SetText(std::string());
        SetEditMask(FGrid->GetEditMask(c, r));
        FOriginal = FGrid->GetEditText(c, r);
        SetText(FOriginal);
        SetMaxLength(std::max(0, FGrid->GetEditLimit()));
        ClearUndo();
        SetModified(false);
    }
    SelectAll();
}

void TInplaceEdit::Deselect() {
    SetSelStart(GetTextLen());
}

void TInplaceEdit::Move(const TRect& Loc) {
    UpdateLoc(Loc);
    if (!GetVisible()) Show();
}

void TInplaceEdit::UpdateLoc(const TRect& Loc) {
    SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
    BoundsChanged();
}

void TInplaceEdit::BoundsChanged() {
    // The text sits where the grid draws a cell's text: 2 pixels in from the cell's corner.
    SetFormatRect(TRect{2, 2, std::max(2, GetWidth() - 2), GetHeight()});
}

// A hidden editor hands the focus back to its grid, not to the form's next control.
void TInplaceEdit::Hide() {
    if (!GetVisible()) return;
    const bool hadFocus = Focused();
    TCustomMaskEdit::Hide();
    if (hadFocus && FGrid && FGrid->CanFocus()) FGrid->SetFocus();
}

void TInplaceEdit::Invalidate() {
    TCustomMaskEdit::Invalidate();
}

void TInplaceEdit::DoExit() {
    TCustomMaskEdit::DoExit();
    if (FGrid && FGrid->GetEditorMode() &&
        !FGrid->GetOptions().Contains(TGridOption::goAlwaysShowEditor) && !FGrid->Focused())
        FGrid->HideEditor();
}

void TInplaceEdit::KeyDown(unsigned& Key, TShiftState Shift) {
    const bool ctrl = Shift.Contains(TShiftStateFlag::ssCtrl);
    // With the editor always shown, Left/Right/Home/End leave the cell at the text's edges.
    const bool forward = FGrid && FGrid->GetOptions().Contains(TGridOption::goAlwaysShowEditor);
    const int len = GetTextLen();
    const bool whole = GetSelStart() == 0 && GetSelLength() == len;
    const bool leftSide = (GetSelStart() == 0 && GetSelLength() == 0) || whole;
    const bool rightSide = (GetCaretPos() == len && GetSelLength() == 0) || whole;
    bool toGrid = false;
    switch (Key) {
        case VK_ESCAPE:
            // Restore what the cell held, then leave unless the editor always shows.
            if (FGrid) FGrid->SetEditText(FGrid->GetCol(), FGrid->GetRow(), FOriginal);
            FUpdating = true;
            SetText(FOriginal);
            FUpdating = false;
            SelectAll();
            if (FGrid && !FGrid->GetOptions().Contains(TGridOption::goAlwaysShowEditor))
                FGrid->HideEditor();
            Key = 0;
            return;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
            toGrid = true;
            break;
        case VK_TAB:
            toGrid = !Shift.Contains(TShiftStateFlag::ssAlt);
            break;
        case VK_LEFT:
        case VK_HOME:
            toGrid = forward && (ctrl || leftSide);
            break;
        case VK_RIGHT:
        case VK_END:
            toGrid = forward && (ctrl || rightSide);
            break;
        case VK_INSERT:
            if (Shift.Empty())
                toGrid = true;
            else if (Shift == TShiftState{TShiftStateFlag::ssShift} && !EditCanModify())
                Key = 0;
            break;
        case VK_DELETE:
            if (ctrl)
                toGrid = true;
            else if (!EditCanModify())
                Key = 0;
            break;
        case VK_F2:
            TCustomMaskEdit::KeyDown(Key, Shift);
            if (Key == VK_F2) {
                Deselect();
                Key = 0;
            }
            return;
        case VK_RETURN:
            toGrid = true;
            break;
        default:
            break;
    }
    if (toGrid && FGrid) {
        FGrid->KeyDown(Key, Shift);
        Key = 0;
        if (FGrid->GetInplaceEditor() == this && !FGrid->GetEditorMode() && FGrid->CanFocus() &&
            Focused())
            FGrid->SetFocus();
        return;
    }
    if (Key != 0) TCustomMaskEdit::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(char32_t& Key) {
    TCustomMaskEdit::KeyPress(Key);
    if (Key == 0) return;
    switch (Key) {
        case U'\r':
            if (FGrid) FGrid->KeyPress(Key);
            Key = 0;
            return;
        case U'\t':
        case 0x1B:
            Key = 0;
            return;
        case 8:
        case 22:  // Ctrl+V
        case 24:  // Ctrl+X
        case 26:  // Ctrl+Z
            if (!EditCanModify()) Key = 0;
            return;
        default:
            if (Key >= U' ' && !EditCanModify()) Key = 0;
            return;
    }
}

}  // namespace vel
