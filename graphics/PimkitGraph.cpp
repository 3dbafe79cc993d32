#include "graphics/PimkitGraph.h"

#include "platform/classes/TypInfo.h"

namespace vel {

VEL_ENUM_INFO(TGradientDirection, gdHorizontal, gdVertical)
VEL_ENUM_INFO(TPimGradientOption, goGradient, goHotButton, goHotTrack, goHotColor)
VEL_ENUM_INFO(TPimGradientCell, gcSelectedCell, gcSelectedRow, gcMultiSelected, gcStripedRows)
VEL_ENUM_INFO(TButtonDrawingStyle, bdsClassic, bdsThemed, bdsGradient)
VEL_ENUM_INFO(TFineTheme, ftNoChange, ftBorder, ftUnderline)

VEL_DEFINE_CLASS(TPimGradient, TPersistent)

VEL_PUBLISHED(TPimGradient) {
    Prop("Active", &T::GetActive, &T::SetActive, true);
    Prop("Direction", &T::GetDirection, &T::SetDirection, TGradientDirection::gdVertical);
    Color("EndColor", &T::GetEndColor, &T::SetEndColor, clDefault);
    Color("HotColor", &T::GetHotColor, &T::SetHotColor, clDefault);
    Prop("Options", &T::GetOptions, &T::SetOptions,
         TPimGradientOptions{TPimGradientOption::goGradient});
    Prop("ShadowFactor", &T::GetShadowFactor, &T::SetShadowFactor, -25);
    Color("StartColor", &T::GetStartColor, &T::SetStartColor, clWindow);
    Prop("SwapColors", &T::GetSwapColors, &T::SetSwapColors, false);
}

TPimGradient::TPimGradient(TComponent* AControl)
    : FOptions{TPimGradientOption::goGradient}, FControl(AControl), FCells(DefaultCells()) {}

TPimGradientCells TPimGradient::DefaultCells() {
    using enum TPimGradientCell;
    return {gcSelectedCell, gcSelectedRow, gcMultiSelected, gcStripedRows};
}

void TPimGradient::Assign(const TPersistent* Source) {
    if (auto* g = dynamic_cast<const TPimGradient*>(Source)) {
        FActive = g->FActive;
        FDirection = g->FDirection;
        FOptions = g->FOptions;
        FSwapColors = g->FSwapColors;
        FStartColor = g->FStartColor;
        FEndColor = g->FEndColor;
        FHotColor = g->FHotColor;
        FStepColor = g->FStepColor;
        FCells = g->FCells;
        FShadowFactor = g->FShadowFactor;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TPimGradient::Changed() { Change(); }

void TPimGradient::Change() {
    if (FOnChange) FOnChange(this);
}

namespace {
template <class V>
bool Store(V& Field, const V& Value) {
    if (Field == Value) return false;
    Field = Value;
    return true;
}
}  // namespace

void TPimGradient::SetActive(bool Value) {
    if (Store(FActive, Value)) Changed();
}
void TPimGradient::SetDirection(TGradientDirection Value) {
    if (Store(FDirection, Value)) Changed();
}
void TPimGradient::SetOptions(TPimGradientOptions Value) {
    if (Store(FOptions, Value)) Changed();
}
void TPimGradient::SetSwapColors(bool Value) {
    if (Store(FSwapColors, Value)) Changed();
}
void TPimGradient::SetStartColor(TColor Value) {
    if (Store(FStartColor, Value)) Changed();
}
void TPimGradient::SetEndColor(TColor Value) {
    if (Store(FEndColor, Value)) Changed();
}
void TPimGradient::SetHotColor(TColor Value) {
    if (Store(FHotColor, Value)) Changed();
}
void TPimGradient::SetStepColor(TColor Value) {
    if (Store(FStepColor, Value)) Changed();
}
void TPimGradient::SetCells(TPimGradientCells Value) {
    if (Store(FCells, Value)) Changed();
}
void TPimGradient::SetShadowFactor(int Value) {
    if (Store(FShadowFactor, Value)) Changed();
}

VEL_DEFINE_CLASS(TPimGradientButton, TPimGradient)

VEL_PUBLISHED(TPimGradientButton) {
    using enum TPimGradientOption;
    Prop("Options", &T::GetOptions, &T::SetOptions, TPimGradientOptions{goGradient, goHotButton});
}

TPimGradientButton::TPimGradientButton(TComponent* AControl) : TPimGradient(AControl) {
    FOptions = {TPimGradientOption::goGradient, TPimGradientOption::goHotButton};
}

VEL_DEFINE_CLASS(TVelDBGridGradient, TPimGradientButton)

VEL_PUBLISHED(TVelDBGridGradient) {
    Prop("Cells", &T::GetCells, &T::SetCells, TPimGradient::DefaultCells());
}

}  // namespace vel
