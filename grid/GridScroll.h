#pragma once
// TVelScrollProp: the look and behaviour of the grid's scroll bars.
#include "platform/classes/PropAccess.h"
#include "platform/controls/Grids.h"

namespace vel {

enum class TScrollBarStyle { ssRegular, ssFlat, ssHotTrack };
VEL_DECLARE_ENUM_INFO(TScrollBarStyle)

class TVelScrollProp : public TPersistent {
    VEL_CLASS(TVelScrollProp)
public:
    explicit TVelScrollProp(TComponent* AGrid = nullptr);
    void Assign(const TPersistent* Source) override;

    TComponent* GetGrid() const { return FGrid; }
    // Bars that disappear when everything fits.
    TScrollStyle GetAutoHidden() const { return FAutoHidden; }
    void SetAutoHidden(TScrollStyle Value);
    // Turning stretch mode on scrolls back to the first column.
    bool GetAutoStretch() const { return FAutoStretch; }
    void SetAutoStretch(bool Value) { FAutoStretch = Value; }
    TColor GetColor() const { return FColor; }
    // An own colour ends ParentColor.
    void SetColor(TColor Value);
    bool IsColorStored() const { return !FParentColor; }
    bool GetParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TScrollBarStyle GetStyle() const { return FStyle; }
    void SetStyle(TScrollBarStyle Value);
    bool IsStyleStored() const { return !FParentStyle; }
    bool GetParentStyle() const { return FParentStyle; }
    void SetParentStyle(bool Value);
    // Bars with a proportional thumb.
    TScrollStyle GetThumbBar() const { return FThumbBar; }
    void SetThumbBar(TScrollStyle Value);
    bool GetWinXPMode() const { return FWinXPMode; }
    void SetWinXPMode(bool Value);

    // The grid updates its scroll bars here.
    const TNotifyEvent& GetOnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

protected:
    virtual void Changed();

private:
    TComponent* FGrid;
    TScrollStyle FAutoHidden = TScrollStyle::ssHorizontal;
    bool FAutoStretch = true;
    TColor FColor = clScrollBar;
    bool FParentColor = true;
    TScrollBarStyle FStyle = TScrollBarStyle::ssRegular;
    bool FParentStyle = true;
    TScrollStyle FThumbBar = TScrollStyle::ssBoth;
    bool FWinXPMode = false;
    TNotifyEvent FOnChange;
};

}  // namespace vel
