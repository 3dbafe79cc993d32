#include "grid/GridStyle.h"

#include "platform/classes/TypInfo.h"

namespace vel {

VEL_ENUM_INFO(TVisualStyle, vsCustom, vsDefault, vsStandard, vsXPStyle)

VEL_DEFINE_CLASS(TVelGridStyle, TPersistent)

// VisualStyle comes first so that reading a custom style keeps the spacings that follow.
VEL_PUBLISHED(TVelGridStyle) {
    Prop("VisualStyle", &T::GetVisualStyle, &T::SetVisualStyle, TVisualStyle::vsXPStyle);
    Prop("DataRowSpace", &T::GetDataRowSpace, &T::SetDataRowSpace).Stored(&T::IsSpacingStored);
    Prop("HeaderRowSpace", &T::GetHeaderRowSpace, &T::SetHeaderRowSpace)
        .Stored(&T::IsSpacingStored);
    Prop("TitleColMargin", &T::GetTitleColMargin, &T::SetTitleColMargin)
        .Stored(&T::IsSpacingStored);
    Prop("TitleRowSpace", &T::GetTitleRowSpace, &T::SetTitleRowSpace)
        .Stored(&T::IsSpacingStored);
    Prop("TotalColMargin", &T::GetTotalColMargin, &T::SetTotalColMargin)
        .Stored(&T::IsSpacingStored);
    Prop("TotalRowSpace", &T::GetTotalRowSpace, &T::SetTotalRowSpace)
        .Stored(&T::IsSpacingStored);
}

TVelGridStyle::TVelGridStyle(TComponent* AGrid) : FGrid(AGrid) {}

void TVelGridStyle::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TVelGridStyle*>(Source)) {
        FDataRowSpace = s->FDataRowSpace;
        FHeaderRowSpace = s->FHeaderRowSpace;
        FTitleColMargin = s->FTitleColMargin;
        FTitleRowSpace = s->FTitleRowSpace;
        FTotalColMargin = s->FTotalColMargin;
        FTotalRowSpace = s->FTotalRowSpace;
        FVisualStyle = s->FVisualStyle;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TVelGridStyle::LoadStyle(TVisualStyle Style) {
    const bool xp = Style == TVisualStyle::vsXPStyle;
    FDataRowSpace = xp ? 4 : 3;
    FHeaderRowSpace = xp ? 8 : 4;
    FTitleColMargin = xp ? 1 : 0;
    FTitleRowSpace = xp ? 8 : 4;
    FTotalColMargin = 0;
    FTotalRowSpace = xp ? 8 : 4;
}

void TVelGridStyle::SetVisualStyle(TVisualStyle Value) {
    if (Value == FVisualStyle && Value != TVisualStyle::vsDefault) return;
    FVisualStyle = Value;
    switch (Value) {
        case TVisualStyle::vsDefault: {
            const bool themed = FThemedQuery && FThemedQuery();
            LoadStyle(themed ? TVisualStyle::vsXPStyle : TVisualStyle::vsStandard);
            break;
        }
        case TVisualStyle::vsStandard:
        case TVisualStyle::vsXPStyle: LoadStyle(Value); break;
        case TVisualStyle::vsCustom: break;
    }
    Changed();
}

void TVelGridStyle::SetSpacing(int& Field, int Value) {
    if (Field == Value) return;
    Field = Value;
    FVisualStyle = TVisualStyle::vsCustom;
    Changed();
}

void TVelGridStyle::SetDataRowSpace(int Value) { SetSpacing(FDataRowSpace, Value); }
void TVelGridStyle::SetHeaderRowSpace(int Value) { SetSpacing(FHeaderRowSpace, Value); }
void TVelGridStyle::SetTitleColMargin(int Value) { SetSpacing(FTitleColMargin, Value); }
void TVelGridStyle::SetTitleRowSpace(int Value) { SetSpacing(FTitleRowSpace, Value); }
void TVelGridStyle::SetTotalColMargin(int Value) { SetSpacing(FTotalColMargin, Value); }
void TVelGridStyle::SetTotalRowSpace(int Value) { SetSpacing(FTotalRowSpace, Value); }

void TVelGridStyle::Changed() {
    if (FOnChange) FOnChange(this);
}

}  // namespace vel
