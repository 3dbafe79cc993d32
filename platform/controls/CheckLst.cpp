#include "platform/controls/CheckLst.h"

#include "platform/classes/TypInfo.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DEFINE_CREATABLE_CLASS(TCheckListBox, TCustomListBox)

VEL_PUBLISHED(TCheckListBox) {
    Prop("AllowGrayed", &T::GetAllowGrayed, &T::SetAllowGrayed, false);
    Prop("Flat", &T::GetFlat, &T::SetFlat, true);
}

namespace {

constexpr int kBox = 13;
constexpr int kBoxMargin = 2;
}  // namespace

TCheckListBox::TCheckListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}

void TCheckListBox::SetChecked(int Index, bool v) {
    SetState(Index, v ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked);
}

void TCheckListBox::SetState(int Index, TCheckBoxState v) {
    TListBoxItem& item = ItemRef(Index);
    if (v == TCheckBoxState::cbGrayed && !FAllowGrayed)
        throw EInvalidArgument("Item " + std::to_string(Index) +
                               " cannot be grayed: AllowGrayed is off.");
    if (item.State == v) return;
    item.State = v;
    Invalidate();
}

void TCheckListBox::SetItemEnabled(int Index, bool v) {
    TListBoxItem& item = ItemRef(Index);
    if (item.Enabled == v) return;
    item.Enabled = v;
    Invalidate();
}

void TCheckListBox::SetAllowGrayed(bool v) {
    if (v == FAllowGrayed) return;
    FAllowGrayed = v;
    // Grayed checks become unchecked when the state is no longer allowed.
    if (!v)
        for (auto& i : FList)
            if (i.State == TCheckBoxState::cbGrayed) i.State = TCheckBoxState::cbUnchecked;
    Invalidate();
}

void TCheckListBox::SetFlat(bool v) {
    if (v == FFlat) return;
    FFlat = v;
    Invalidate();
}

void TCheckListBox::CheckAll(TCheckBoxState State, bool AllowGrayed, bool AllowDisabled) {
    if (State == TCheckBoxState::cbGrayed && !FAllowGrayed)
        throw EInvalidArgument("Items cannot be grayed: AllowGrayed is off.");
    for (auto& i : FList) {
        if (!AllowDisabled && !i.Enabled) continue;
        if (!AllowGrayed && i.State == TCheckBoxState::cbGrayed) continue;
        i.State = State;
    }
    Invalidate();
}

TRect TCheckListBox::CheckRect(int Index) const {
    const TRect r = ItemRect(Index);
    const int top = r.Top + (r.Height() - kBox) / 2;
    if (UseRightToLeftAlignment()) return Bounds(r.Right - kBoxMargin - kBox, top, kBox, kBox);
    return Bounds(r.Left + kBoxMargin, top, kBox, kBox);
}

void TCheckListBox::ToggleItem(int Index) {
    TListBoxItem& item = ItemRef(Index);
    if (!item.Enabled) return;
    switch (item.State) {
        case TCheckBoxState::cbUnchecked:
            item.State = FAllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked;
            break;
        case TCheckBoxState::cbChecked:
            item.State = TCheckBoxState::cbUnchecked;
            break;
        case TCheckBoxState::cbGrayed:
            item.State = TCheckBoxState::cbChecked;
            break;
    }
    Invalidate();
    ClickCheck();
}

void TCheckListBox::ClickCheck() {
    if (FOnClickCheck) FOnClickCheck(this);
}

void TCheckListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    const TListBoxItem& item = Item(Index);
    TCanvas& c = Canvas();
    // The box sits on the window colour; the selection covers only the text.
    const bool rtl = UseRightToLeftAlignment();
    TRect boxArea = Rect;
    if (rtl)
        boxArea.Left = Rect.Right - kBox - 2 * kBoxMargin;
    else
        boxArea.Right = Rect.Left + kBox + 2 * kBoxMargin;
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(GetColor());
    c.FillRect(boxArea);
    unsigned state = DFCS_BUTTONCHECK | (FFlat ? DFCS_FLAT : 0u);
    if (item.State == TCheckBoxState::cbChecked)
        state |= DFCS_CHECKED;
    else if (item.State == TCheckBoxState::cbGrayed)
        state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (!item.Enabled || !GetEnabled()) state |= DFCS_INACTIVE;
    TRect box = CheckRect(Index);
    DrawFrameControl(c, box, DFC_BUTTON, state);
    TRect text = Rect;
    if (rtl)
        text.Right = boxArea.Left;
    else
        text.Left = boxArea.Right;
    if (!item.Enabled) State.Include(TOwnerDrawStateFlag::odDisabled);
    TCustomListBox::DrawItem(Index, text, State);
}

void TCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomListBox::MouseDown(Button, Shift, X, Y);
    if (Button != TMouseButton::mbLeft) return;
    const int i = ItemAtPos(Point(X, Y), true);
    if (i < 0) return;
    const TRect r = ItemRect(i);
    // The whole strip beside the box counts, as the box is small.
    const bool onBox = UseRightToLeftAlignment() ? X >= r.Right - kBox - 2 * kBoxMargin
                                                 : X < r.Left + kBox + 2 * kBoxMargin;
    if (onBox) ToggleItem(i);
}

void TCheckListBox::KeyDown(unsigned& Key, TShiftState Shift) {
    if (Key == VK_SPACE && GetItemIndex() >= 0 && Shift.Empty()) {
        TWinControl::KeyDown(Key, Shift);
        if (Key == 0) return;
        ToggleItem(GetItemIndex());
        Key = 0;
        return;
    }
    TCustomListBox::KeyDown(Key, Shift);
}

}  // namespace vel
