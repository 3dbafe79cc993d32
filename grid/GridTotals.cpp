#include "grid/GridTotals.h"

#include "grid/DBGrid.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Grids.h"
#include "platform/db/DataSet.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

VEL_DEFINE_CLASS(TVelTotalDataLink, TDataLink)
VEL_DEFINE_CLASS(TVelDBGridTotals, TPersistent)

VEL_PUBLISHED(TVelDBGridTotals) {
    Prop("Active", &T::GetActive).Stored(false);
    Prop("BoxStyle", &T::GetBoxStyle, &T::SetBoxStyle, TCheckBoxStyle::cbAuto);
    Prop("CalcValues", &T::GetCalcValues, &T::SetCalcValues, true);
    Color("Color", &T::GetColor, &T::SetColor).Stored(&T::IsColorStored);
    Prop("DataMaxRow", &T::GetDataMaxRow, &T::SetDataMaxRow, 5);
    Prop("DataSource", &T::GetDataSource, &T::SetDataSource);
    Prop("Font", &T::GetFont, &T::SetFont);
    Prop("Images", &T::GetImages, &T::SetImages);
    Prop("LinesCount", &T::GetLinesCount, &T::SetLinesCount, 1);
    Color("SelectedColor", &T::GetSelectedColor, &T::SetSelectedColor, clDefault);
}

// ---- Link to the totals dataset: any news may make total values stale.

TVelTotalDataLink::TVelTotalDataLink(TVelCustomDBGrid* Grid) : FGrid(Grid) {
    SetVisualControl(true);
}

void TVelTotalDataLink::ActiveChanged() {
    if (GetActive() && GetDataSet()) GetDataSet()->CheckBiDirectional();
    if (FGrid) FGrid->TotalsChanged(TTotalResult::trTotalField, nullptr);
}

void TVelTotalDataLink::DataSetChanged() {
    if (FGrid) FGrid->TotalsChanged(TTotalResult::trTotalField, nullptr);
}

void TVelTotalDataLink::RecordChanged(TField* Field) {
    if (FGrid) FGrid->TotalsChanged(TTotalResult::trTotalField, Field);
}

// ---- Settings.

TVelDBGridTotals::TVelDBGridTotals(TVelCustomDBGrid* Grid) : FGrid(Grid), FFont(new TFont) {
    FFont->SetOnChange([this](TObject*) { Changed(); });
    FDataLink = Grid ? Grid->CreateTotalDataLink() : new TVelTotalDataLink(nullptr);
}

TVelDBGridTotals::~TVelDBGridTotals() {
    delete FDataLink;
    delete FFont;
}

void TVelDBGridTotals::Assign(const TPersistent* Source) {
    auto* t = dynamic_cast<const TVelDBGridTotals*>(Source);
    if (!t) {
        TPersistent::Assign(Source);
        return;
    }
    FFont->Assign(t->FFont);
    FLinesCount = t->FLinesCount;
    SetImages(t->FImages);
    FDataMaxRow = t->FDataMaxRow;
    FBoxStyle = t->FBoxStyle;
    FColor = t->FColor;
    FCustomColor = t->FCustomColor;
    SetSelectedColor(t->FSelectedColor);
    FCalcValues = t->FCalcValues;
    SetDataSource(t->GetDataSource());
    Changed();
}

void TVelDBGridTotals::Changed() {
    if (FGrid && !FGrid->IsDestroying()) FGrid->LayoutChanged();
}

TDataSource* TVelDBGridTotals::GetDataSource() const {
    return FDataLink->GetDataSource();
}

void TVelDBGridTotals::SetDataSource(TDataSource* Value) {
    if (Value == GetDataSource()) return;
    if (Value && FGrid && Value == FGrid->GetDataSource()) {
        if (FGrid->IsLoading()) return;
        throw EInvalidGridOperation(
            "Circular data link: the totals cannot use the grid's own "
            "data source " +
            Value->GetName() + ".");
    }
    if (Value && Value->GetDataSet()) Value->GetDataSet()->CheckBiDirectional();
    FDataLink->SetDataSource(Value);
    if (Value && FGrid) Value->FreeNotification(FGrid);
    if (FGrid) FGrid->TotalsChanged(TTotalResult::trTotalField, nullptr);
}

void TVelDBGridTotals::SetLinesCount(int Value) {
    if (Value < 1)
        throw EInvalidArgument("Totals LinesCount " + std::to_string(Value) + " is below 1.");
    if (Value == FLinesCount) return;
    FLinesCount = Value;
    Changed();
}

void TVelDBGridTotals::SetImages(TCustomImageList* Value) {
    if (Value == FImages) return;
    FImages = Value;
    if (Value && FGrid) Value->FreeNotification(FGrid);
    Changed();
}

void TVelDBGridTotals::SetDataMaxRow(int Value) {
    if (Value < 0)
        throw EInvalidArgument("Totals DataMaxRow " + std::to_string(Value) + " is negative.");
    if (Value == FDataMaxRow) return;
    FDataMaxRow = Value;
    Changed();
}

void TVelDBGridTotals::SetBoxStyle(TCheckBoxStyle Value) {
    if (Value == FBoxStyle) return;
    FBoxStyle = Value;
    Changed();
}

TColor TVelDBGridTotals::GetColor() const {
    if (FCustomColor || !FGrid) return FColor;
    return FGrid->GetFixedColor();
}

void TVelDBGridTotals::SetColor(TColor Value) {
    FColor = Value;
    FCustomColor = !FGrid || Value != FGrid->GetFixedColor();
    Changed();
}

void TVelDBGridTotals::SetSelectedColor(TColor Value) {
    if (Value == FSelectedColor) return;
    FSelectedColor = Value;
    if (FGrid) FGrid->SetDrawingOption(TGridDrawingOption::gdoTotalSelected, Value != clNone);
    Changed();
}

void TVelDBGridTotals::SetCalcValues(bool Value) {
    if (Value == FCalcValues) return;
    FCalcValues = Value;
    if (FGrid) FGrid->TotalsChanged(TTotalResult::trCalcValue, nullptr);
}

bool TVelDBGridTotals::GetVisible() const {
    if (!FGrid) return false;
    using enum TVelDBGridOptionEx;
    return !(FGrid->GetOptionsEx() *
             TVelDBGridOptionsEx{dgTotalHeader, dgTotalValues, dgTotalFields, dgTotalFooter})
                .Empty();
}

bool TVelDBGridTotals::GetActive() const {
    if (GetVisible()) return true;
    using enum TVelDBGridOptionEx;
    const TVelDBGridOptionsEx o = FGrid->GetOptionsEx();
    return o.Contains(dgSelectedAutoHidden) &&
           !(o * TVelDBGridOptionsEx{dgTotalHeaderSelected, dgTotalValuesSelected,
                                     dgTotalFooterSelected})
                .Empty();
}

}  // namespace vel
