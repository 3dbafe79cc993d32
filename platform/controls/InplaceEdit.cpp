// TInplaceEdit: the grid's cell editor. Single-line text editing on its own (caret, selection,
// limit); the grid supplies and receives the text.
#include "controls/Grids.h"
#include "rtl/Utf8.h"

#include <algorithm>

namespace vel {

VEL_DEFINE_CLASS(TInplaceEdit, TCustomControl)

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisibleSilently(false);
    SetTabStop(false);
    SetParentColor(false);
    SetColor(clWindow);
    SetCursor(crIBeam);
    SetControlStyle(GetControlStyle() + TControlStyleFlag::csOpaque);
}

void TInplaceEdit::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_GETDLGCODE) {
        // Escape, Enter and the arrows belong to the editor (and through it to the grid).
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
        if (FGrid && FGrid->GetOptions().Contains(TGridOption::goTabs)) Message.Result |= DLGC_WANTTAB;
        return;
    }
    TCustomControl::Dispatch(Message);
}

void TInplaceEdit::SetEditText(const std::string& Value) {
    if (Value == GetText()) return;
    SetText(Value);
    const int len = int(Utf8Length(Value));
    FSelStart = std::min(FSelStart, len);
    FSelLength = std::min(FSelLength, len - FSelStart);
    Change();
}

void TInplaceEdit::Change() {
    if (FGrid) FGrid->SetEditText(FGrid->GetCol(), FGrid->GetRow(), GetText());
    Invalidate();
}

void TInplaceEdit::SetSelStart(int v) {
    FSelStart = std::clamp(v, 0, int(Utf8Length(GetText())));
    FSelLength = 0;
    Invalidate();
}

void TInplaceEdit::SelectAll() {
    FSelStart = 0;
    FSelLength = int(Utf8Length(GetText()));
    Invalidate();
}

void TInplaceEdit::UpdateContents() {
    if (!FGrid) return;
    const int c = FGrid->GetCol(), r = FGrid->GetRow();
    FMaxLength = FGrid->GetEditLimit();
    FEditMask = FGrid->GetEditMask(c, r);
    FOriginal = FGrid->GetEditText(c, r);
    SetText(FOriginal);
    SelectAll();
}

void TInplaceEdit::Move(const TRect& Loc) {
    UpdateLoc(Loc);
    if (!GetVisible()) Show();
}

void TInplaceEdit::UpdateLoc(const TRect& Loc) {
    SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
}

void TInplaceEdit::Hide() {
    if (!GetVisible()) return;
    TCustomControl::Hide();
}

void TInplaceEdit::Invalidate() {
    TCustomControl::Invalidate();
}

void TInplaceEdit::DoExit() {
    TCustomControl::DoExit();
    if (FGrid && FGrid->GetEditorMode() &&
        !FGrid->GetOptions().Contains(TGridOption::goAlwaysShowEditor) && !FGrid->Focused())
        FGrid->HideEditor();
}

void TInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft) {
        // Caret to the nearest character boundary.
        const std::string& t = GetText();
        TCanvas& C = Canvas();
        C.Font().Assign(&Font());
        const int n = int(Utf8Length(t));
        int best = n;
        for (int i = 0; i <= n; ++i)
            if (2 + C.TextWidth(Utf8Copy(t, 0, std::size_t(i))) >= X) {
                best = i;
                break;
            }
        SetSelStart(best);
        if (CanFocus()) SetFocus();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TInplaceEdit::DeleteSelection() {
    if (FSelLength <= 0) return;
    const std::string& t = GetText();
    const std::size_t a = Utf8ByteOffset(t, std::size_t(FSelStart));
    const std::size_t b = Utf8ByteOffset(t, std::size_t(FSelStart + FSelLength));
    std::string s = t.substr(0, a) + t.substr(b);
    FSelLength = 0;
    SetText(s);
}

void TInplaceEdit::InsertText(const std::string& S) {
    DeleteSelection();
    std::string ins = S;
    if (FMaxLength > 0) {
        const int room = FMaxLength - int(Utf8Length(GetText()));
        if (room <= 0) return;
        ins = Utf8Copy(ins, 0, std::size_t(room));
    }
    const std::string& t = GetText();
    const std::size_t a = Utf8ByteOffset(t, std::size_t(FSelStart));
    SetText(t.substr(0, a) + ins + t.substr(a));
    FSelStart += int(Utf8Length(ins));
}

void TInplaceEdit::KeyDown(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    const int len = int(Utf8Length(GetText()));
    switch (Key) {
        case VK_ESCAPE:
            // Restore what the cell held, then leave unless the editor always shows.
            SetEditText(FOriginal);
            SelectAll();
            if (FGrid && !FGrid->GetOptions().Contains(TGridOption::goAlwaysShowEditor))
                FGrid->HideEditor();
            Key = 0;
            return;
        case VK_LEFT: SetSelStart(FSelStart - (FSelLength > 0 ? 0 : 1)); Key = 0; return;
        case VK_RIGHT: SetSelStart(FSelStart + (FSelLength > 0 ? FSelLength : 1)); Key = 0; return;
        case VK_HOME: SetSelStart(0); Key = 0; return;
        case VK_END: SetSelStart(len); Key = 0; return;
        case VK_DELETE:
            if (FSelLength == 0 && FSelStart < len) FSelLength = 1;
            DeleteSelection();
            Change();
            Key = 0;
            return;
        case VK_F2:
            SetSelStart(len);
            Key = 0;
            return;
        default: break;
    }
    // Navigation belongs to the grid.
    if (FGrid) {
        FGrid->KeyDown(Key, Shift);
        if (FGrid->GetInplaceEditor() == this && !FGrid->GetEditorMode() && FGrid->CanFocus() &&
            Focused())
            FGrid->SetFocus();
    }
}

void TInplaceEdit::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 0) return;
    if (Key == U'\r' || Key == U'\t' || Key == 0x1B) {
        if (FGrid && Key == U'\r') FGrid->KeyPress(Key);
        Key = 0;
        return;
    }
    if (FGrid && !FGrid->CanEditModify()) {
        Key = 0;
        return;
    }
    if (Key == U'\b') {
        if (FSelLength == 0 && FSelStart > 0) {
            --FSelStart;
            FSelLength = 1;
        }
        DeleteSelection();
        Change();
        Key = 0;
        return;
    }
    if (Key < U' ') return;
    InsertText(Utf8Encode(Key));
    Change();
    Key = 0;
}

void TInplaceEdit::Paint() {
    TCanvas& C = Canvas();
    const TRect cr = GetClientRect();
    C.Brush().SetColor(GetColor());
    C.FillRect(cr);
    C.Font().Assign(&Font());
    const std::string& t = GetText();
    const int h = C.TextHeight("Wg");
    const int y = std::max(0, (cr.Height() - h) / 2);
    const int x0 = 2;
    if (FSelLength > 0) {
        const int a = x0 + C.TextWidth(Utf8Copy(t, 0, std::size_t(FSelStart)));
        const int b = x0 + C.TextWidth(Utf8Copy(t, 0, std::size_t(FSelStart + FSelLength)));
        C.Brush().SetColor(clHighlight);
        C.FillRect(TRect{a, y, b, y + h});
    }
    C.Brush().SetStyle(TBrushStyle::bsClear);
    C.TextOut(x0, y, t);
    if (FSelLength > 0) {
        C.Font().SetColor(clHighlightText);
        const std::string pre = Utf8Copy(t, 0, std::size_t(FSelStart));
        C.TextOut(x0 + C.TextWidth(pre), y, Utf8Copy(t, std::size_t(FSelStart), std::size_t(FSelLength)));
    } else if (Focused()) {
        const int cx = x0 + C.TextWidth(Utf8Copy(t, 0, std::size_t(FSelStart)));
        C.Brush().SetStyle(TBrushStyle::bsSolid);
        C.Brush().SetColor(clWindowText);
        C.FillRect(TRect{cx, y, cx + 1, y + h});
    }
    C.Brush().SetStyle(TBrushStyle::bsSolid);
}

}  // namespace vel
