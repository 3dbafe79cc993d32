#include "grid/GridSearch.h"

#include "platform/classes/TypInfo.h"

namespace vel {

VEL_ENUM_INFO(TVelSearchMode, smFirst, smNext, smPrev, smLast)
VEL_ENUM_INFO(TVelSearchOption, soCaseSensitive, soWholeWords, soWrapAround, soSkipMessage,
              soCurrentCol, soFilterRows)

VEL_DEFINE_CLASS(TVelDBGridSearch, TPersistent)

VEL_PUBLISHED(TVelDBGridSearch) {
    Prop("Active", &T::GetActive, &T::SetActive, true);
    Color("Color", &T::GetColor, &T::SetColor, clDefault);
    Prop("Incremental", &T::GetIncremental, &T::SetIncremental, false);
    Prop("ListWidth", &T::GetListWidth, &T::SetListWidth, 104);
    Prop("Options", &T::GetOptions, &T::SetOptions, TVelSearchOptions{});
    Color("PanelColor", &T::GetPanelColor, &T::SetPanelColor, clDefault);
    Prop("PanelOnTop", static_cast<bool (T::*)() const>(&T::GetPanelOnTop), &T::SetPanelOnTop,
         false);
    Prop("PanelVisible", &T::GetPanelVisible, &T::SetPanelVisible, false);
    Prop("Text", &T::GetText, &T::SetText);
    Prop("VisibleOptions", &T::GetVisibleOptions, &T::SetVisibleOptions,
         TVelDBGridSearch::DefaultVisibleOptions());
}

TVelSearchOptions TVelDBGridSearch::DefaultVisibleOptions() {
    using enum TVelSearchOption;
    return {soCaseSensitive, soWholeWords, soWrapAround, soCurrentCol, soFilterRows};
}

TVelDBGridSearch::TVelDBGridSearch(TComponent* AGrid)
    : FGrid(AGrid), FHistory(new TStringList), FVisibleOptions(DefaultVisibleOptions()) {}

TVelDBGridSearch::~TVelDBGridSearch() { delete FHistory; }

void TVelDBGridSearch::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TVelDBGridSearch*>(Source)) {
        SetPanelOnTop(s->FPanelOnTop);
        SetIncremental(s->FIncremental);
        SetActive(s->FActive);
        SetColor(s->FColor);
        SetListWidth(s->FListWidth);
        SetPanelColor(s->FPanelColor);
        SetText(s->FText);
        SetOptions(s->FOptions);
        SetVisibleOptions(s->FVisibleOptions);
        SetPanelVisible(s->FPanelVisible);
        return;
    }
    TPersistent::Assign(Source);
}

bool TVelDBGridSearch::GetVisible() const { return (FActive || FIncremental) && !FText.empty(); }

bool TVelDBGridSearch::GetFilterActive() const {
    return !FText.empty() && FOptions.Contains(TVelSearchOption::soFilterRows);
}

void TVelDBGridSearch::Changed(TSearchChange Change) {
    if (FOnChange) FOnChange(this, Change);
}

void TVelDBGridSearch::SetPanelVisible(bool Value) {
    if (FPanelVisible == Value) return;
    FPanelVisible = Value;
    if (FGrid) {
        const TComponentState state = FGrid->GetComponentState();
        if (state.Contains(TComponentStateFlag::csDesigning) ||
            state.Contains(TComponentStateFlag::csLoading))
            return;
    }
    Changed(TSearchChange::scPanelVisible);
}

void TVelDBGridSearch::SetPanelOnTop(bool Value) {
    if (FPanelOnTop == Value) return;
    FPanelOnTop = Value;
    Changed(TSearchChange::scRebuildPanel);
}

void TVelDBGridSearch::SetIncremental(bool Value) { FIncremental = Value; }

void TVelDBGridSearch::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (!FText.empty()) Changed(TSearchChange::scLayout);
}

void TVelDBGridSearch::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    if (GetVisible()) Changed(TSearchChange::scRepaint);
}

void TVelDBGridSearch::SetListWidth(int Value) {
    if (Value < 1) Value = 104;
    if (Value < 80) Value = 80;
    if (FListWidth == Value) return;
    FListWidth = Value;
    Changed(TSearchChange::scRebuildPanel);
}

void TVelDBGridSearch::SetPanelColor(TColor Value) {
    if (FPanelColor == Value) return;
    FPanelColor = Value;
    Changed(TSearchChange::scPanelColor);
}

void TVelDBGridSearch::SetText(const std::string& Value) {
    if (FText == Value) return;
    FText = Value;
    if (FOptions.Contains(TVelSearchOption::soFilterRows)) Changed(TSearchChange::scFilter);
    if (FActive) Changed(TSearchChange::scRepaint);
}

void TVelDBGridSearch::SetOptions(TVelSearchOptions Value) {
    if (FOptions == Value) return;
    using enum TVelSearchOption;
    const TVelSearchOptions changed = (FOptions - Value) + (Value - FOptions);
    FOptions = Value;
    if (changed.Contains(soFilterRows) ||
        (GetFilterActive() &&
         !(changed * TVelSearchOptions{soCaseSensitive, soWholeWords, soCurrentCol}).Empty()))
        Changed(TSearchChange::scFilter);
    if (GetVisible()) Changed(TSearchChange::scRepaint);
}

void TVelDBGridSearch::SetVisibleOptions(TVelSearchOptions Value) {
    Value -= TVelSearchOption::soSkipMessage;
    if (FVisibleOptions == Value) return;
    FVisibleOptions = Value;
    Changed(TSearchChange::scRebuildPanel);
}

void TVelDBGridSearch::SwitchOptions(TVelSearchOptions Value, bool On) {
    SetOptions(On ? FOptions + Value : FOptions - Value);
}

void TVelDBGridSearch::SwitchVisibleOptions(TVelSearchOptions Value, bool On) {
    SetVisibleOptions(On ? FVisibleOptions + Value : FVisibleOptions - Value);
}

}  // namespace vel
