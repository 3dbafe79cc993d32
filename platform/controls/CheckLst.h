#pragma once
// TCheckListBox: a list box with a check box before every item.
#include "platform/classes/Errors.h"
#include "platform/controls/StdCtrls.h"

namespace vel {

// Each item has a check State (grayed only with AllowGrayed) and can be disabled: a disabled
// item is drawn grayed and the user cannot change its check. Space and a click on the box
// toggle the check of the focused item and raise OnClickCheck. Indexes out of range raise
// EListError.
class TCheckListBox : public TCustomListBox {
    VEL_CLASS(TCheckListBox)
public:
    explicit TCheckListBox(TComponent* AOwner);

    bool GetChecked(int Index) const { return Item(Index).State == TCheckBoxState::cbChecked; }
    void SetChecked(int Index, bool v);
    TCheckBoxState GetState(int Index) const { return Item(Index).State; }
    // cbGrayed without AllowGrayed raises EInvalidArgument.
    void SetState(int Index, TCheckBoxState v);
    bool GetItemEnabled(int Index) const { return Item(Index).Enabled; }
    void SetItemEnabled(int Index, bool v);
    bool GetAllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool v);
    // Flat (the default) draws the boxes with a one-pixel frame.
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool v);
    void CheckAll(TCheckBoxState State, bool AllowGrayed = true, bool AllowDisabled = true);
    // The box of an item in client coordinates.
    TRect CheckRect(int Index) const;
    // What the user's click or space does: the next state, unless the item is disabled.
    void ToggleItem(int Index);

    void SetOnClickCheck(TNotifyEvent e) { FOnClickCheck = std::move(e); }

protected:
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    virtual void ClickCheck();

private:
    bool FAllowGrayed = false;
    bool FFlat = true;
    TNotifyEvent FOnClickCheck;
};

}  // namespace vel
