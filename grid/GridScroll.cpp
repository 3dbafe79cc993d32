#include "grid/GridScroll.h"

#include "platform/classes/TypInfo.h"

namespace vel {

VEL_ENUM_INFO(TScrollBarStyle, ssRegular, ssFlat, ssHotTrack)
VEL_DEFINE_CLASS(TVelScrollProp, TPersistent)

VEL_PUBLISHED(TVelScrollProp) {
    Prop("AutoHidden", &T::GetAutoHidden, &T::SetAutoHidden, TScrollStyle::ssHorizontal);
    Prop("AutoStretch", &T::GetAutoStretch, &T::SetAutoStretch, true);
    Prop("ParentColor", &T::GetParentColor, &T::SetParentColor, true);
    Color("Color", &T::GetColor, &T::SetColor, clScrollBar).Stored(&T::IsColorStored);
    Prop("ParentStyle", &T::GetParentStyle, &T::SetParentStyle, true);
    Prop("Style", &T::GetStyle, &T::SetStyle, TScrollBarStyle::ssRegular).Stored(&T::IsStyleStored);
    Prop("ThumbBar", &T::GetThumbBar, &T::SetThumbBar, TScrollStyle::ssBoth);
    Prop("WinXPMode", &T::GetWinXPMode, &T::SetWinXPMode, false);
}

TVelScrollProp::TVelScrollProp(TComponent* AGrid) : FGrid(AGrid) {}

void TVelScrollProp::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TVelScrollProp*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FAutoHidden = s->FAutoHidden;
    FAutoStretch = s->FAutoStretch;
    FColor = s->FColor;
    FParentColor = s->FParentColor;
    FStyle = s->FStyle;
    FParentStyle = s->FParentStyle;
    FThumbBar = s->FThumbBar;
    FWinXPMode = s->FWinXPMode;
    Changed();
}

void TVelScrollProp::Changed() {
    if (FOnChange) FOnChange(this);
}

void TVelScrollProp::SetAutoHidden(TScrollStyle Value) {
    if (Value == FAutoHidden) return;
    FAutoHidden = Value;
    Changed();
}

void TVelScrollProp::SetColor(TColor Value) {
    FParentColor = false;
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TVelScrollProp::SetParentColor(bool Value) {
    if (Value == FParentColor) return;
    FParentColor = Value;
    if (Value) FColor = clScrollBar;
    Changed();
}

void TVelScrollProp::SetStyle(TScrollBarStyle Value) {
    FParentStyle = false;
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TVelScrollProp::SetParentStyle(bool Value) {
    if (Value == FParentStyle) return;
    FParentStyle = Value;
    if (Value) FStyle = TScrollBarStyle::ssRegular;
    Changed();
}

void TVelScrollProp::SetThumbBar(TScrollStyle Value) {
    if (Value == FThumbBar) return;
    FThumbBar = Value;
    Changed();
}

void TVelScrollProp::SetWinXPMode(bool Value) {
    if (Value == FWinXPMode) return;
    FWinXPMode = Value;
    Changed();
}

}  // namespace vel
