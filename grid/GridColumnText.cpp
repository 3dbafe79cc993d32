// What a column shows for the current record: check-box values, images, pick texts, multiple
// values and the display text.
#include "grid/DBGrid.h"
#include "grid/GridConsts.h"
#include "platform/classes/Strings.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace vel {

// ---- Check boxes.

std::string TVelColumn::DefaultCheckBoxValues() {
    return "True;False";
}

void TVelColumn::SetCheckBoxValues(const std::string& Value) {
    const std::string v = Value.empty() ? DefaultCheckBoxValues() : Value;
    if (v == FCheckBoxValues) return;
    FCheckBoxValues = v;
    ColumnChanged();
}

std::string TVelColumn::GetCheckedText() const {
    return FCheckBoxValues.substr(0, FCheckBoxValues.find(';'));
}

std::string TVelColumn::GetUncheckedText() const {
    const std::size_t semi = FCheckBoxValues.find(';');
    return semi == std::string::npos ? std::string()
                                     : Utf8Copy(FCheckBoxValues.substr(semi + 1), 0, 255);
}

std::string TVelColumn::FieldText() const {
    TField* f = GetField();
    std::string text = f ? f->GetText() : std::string();
    if (TVelCustomDBGrid* g = GetGrid())
        g->ColGetText(const_cast<TVelColumn*>(this), text, TTextKind::tkEdit);
    return text;
}

bool TVelColumn::IsCheckBoxValue(bool Checked) const {
    if (!GetField()) {
        // The "Select" column shows whether the current row is selected.
        const TVelCustomDBGrid* g = GetGrid();
        return FCheckBox && g && g->IsRowMultiSelected() == Checked;
    }
    return Utf8SameText(FieldText(), Checked ? GetCheckedText() : GetUncheckedText());
}

void TVelColumn::ToggleCheckBoxValue() {
    TVelCustomDBGrid* g = GetGrid();
    if (!FCheckBox || !g || !g->GetDataLink()->GetActive() || g->GetDataSet()->IsEmpty()) return;
    TField* f = GetField();
    if (!f) {
        // The "Select" column toggles the selection of the current row.
        g->ToggleRowSelection();
        return;
    }
    if (!g->CanColumnModify(this)) return;
    std::string text = IsCheckBoxValue(true) ? GetUncheckedText() : GetCheckedText();
    g->ColSetText(this, text);
    TDataSet* ds = g->GetDataSet();
    if (ds->GetState() == TDataSetState::dsBrowse) ds->Edit();
    f->SetAsString(text);
    g->ColTextChanged(this);
}

int TVelColumn::GetCheckBoxImageIndex() const {
    const int state = IsCheckBoxValue(true) ? 1 : IsCheckBoxValue(false) ? 0 : 2;
    return state + 3 * int(FCheckBoxKind);
}

// ---- Expand boxes.

int TVelColumn::ExpandRecord() const {
    TVelCustomDBGrid* g = GetGrid();
    TDataSet* ds = g && g->GetDataLink()->GetActive() ? g->GetDataSet() : nullptr;
    if (!ds || !ds->IsSequenced() || ds->IsEmpty()) return -1;
    // A record being inserted has no number yet (-1).
    return ds->GetRecNo() - 1;
}

bool TVelColumn::IsExpandableBox() const {
    // A tree column's boxes open and close the tree view's rows.
    return FExpandBox && !FExpandBoxTree && ExpandRecord() >= 0;
}

bool TVelColumn::IsExpandedBox() const {
    if (!IsExpandableBox()) return false;
    const auto record = std::size_t(ExpandRecord());
    return record < FExpandedRow.size() && FExpandedRow[record] != 0;
}

void TVelColumn::ToggleExpandBox() {
    if (!IsExpandableBox()) return;
    const auto record = std::size_t(ExpandRecord());
    if (record >= FExpandedRow.size()) FExpandedRow.resize(record + 1, 0);
    FExpandedRow[record] = FExpandedRow[record] ? 0 : 1;
    ColumnChanged();
    GetGrid()->CellExpand(this);
}

int TVelColumn::GetExpandBoxImageIndex() const {
    int state = IsExpandableBox() ? (IsExpandedBox() ? 1 : 0) : 2;
    // Without images of its own the grid may pick another of the three states.
    TVelCustomDBGrid* g = GetGrid();
    if (!FImages && g) {
        int index = state;
        g->CalcImageIndex(const_cast<TVelColumn*>(this), index);
        if (index >= 0 && index <= 2) state = index;
    }
    return state + 3 * int(FExpandBoxSize);
}

int TVelColumn::GetImageIndex() const {
    if (FCheckBox) return GetCheckBoxImageIndex();
    if (FExpandBox) return GetExpandBoxImageIndex();
    TField* f = GetField();
    int index = -1;
    if (f && !f->IsNull()) {
        if (f->GetDataType() == TFieldType::ftBoolean) {
            index = f->GetAsBoolean() ? 1 : 0;
        } else {
            const std::string text = f->GetText();
            if (SameText(text, "False"))
                index = 0;
            else if (SameText(text, "True"))
                index = 1;
            else
                index = StrToIntDef(Trim(text), -1);
        }
    }
    if (TVelCustomDBGrid* g = GetGrid()) g->CalcImageIndex(const_cast<TVelColumn*>(this), index);
    return index;
}

bool TVelColumn::CanEditShow() const {
    return FShowEdit && !FCheckBox && !FAutoNumber && (!FExpandBox || FImageMargin >= 1);
}

// ---- Pick lists (loading them from data: GridColumnLists.cpp).

void TVelColumn::SetPickList(TStrings* Value) {
    FPickList->Assign(Value);
}
void TVelColumn::SetPickText(TStrings* Value) {
    FPickText->Assign(Value);
}
void TVelColumn::SetFilterList(TStrings* Value) {
    FFilterList->Assign(Value);
}

void TVelColumn::PickDataChanged() {
    delete FPickData;
    FPickData = nullptr;
    ColumnChanged();
}

bool TVelColumn::GetPickTextActive() const {
    return FPickOptions.Contains(TVelPickOption::poSelectPickText) && FPickText->Count() > 0;
}

TStrings* TVelColumn::GetPickData() const {
    if (!GetPickTextActive()) return FPickList;
    using enum TVelPickOption;
    if (FPickOptions.Contains(poFormatPickText) && !FPickOptions.Contains(poFormatListOnly))
        return FormattedPickTexts();
    return FPickText;
}

TStrings* TVelColumn::GetPickDataList() const {
    if (!GetPickTextActive()) return FPickList;
    if (FPickOptions.Contains(TVelPickOption::poFormatPickText)) return FormattedPickTexts();
    return FPickText;
}

bool TVelColumn::GetPickDataActive() const {
    return GetPickData()->Count() > 0;
}

std::string TVelColumn::FormatPickText(int Index) const {
    if (Index < 0) return {};
    const std::string text = Index < FPickText->Count() ? FPickText->Strings(Index) : "";
    const std::string key = Index < FPickList->Count() ? FPickList->Strings(Index) : "";
    const std::string& format = FPickTextFormat.empty() ? DefPickTextFormat : FPickTextFormat;
    try {
        return Format(format, {text, key});
    } catch (const EConvertError&) {
        // A format that does not fit two strings shows the text alone.
        return text;
    }
}

int TVelColumn::GetPickIndex() const {
    if (!GetPickDataActive()) return -1;
    TField* f = GetField();
    const int count = GetPickDataList()->Count();
    if (FPickOptions.Contains(TVelPickOption::poStoreItemIndex) && f) {
        const int n = StrToIntDef(Trim(f->GetText()), -1);
        return n >= 0 && n < count ? n : -1;
    }
    // Pick text pairs a stored value (PickList) with a shown text.
    if (GetPickTextActive()) return f ? FPickList->IndexOf(f->GetText()) : -1;
    return GetPickDataList()->IndexOf(FieldText());
}

// ---- Multiple values.

std::string TVelColumn::GetDelimiter() const {
    if (FDelimiterLine) return "\r\n";
    if (!FDelimiterText.empty()) return FDelimiterText;
    return Utf8Encode(FDelimiterChar);
}

bool TVelColumn::GetMultiSelectList() const {
    if (!FListOptions.Contains(TVelListOption::loMultiSelectList)) return false;
    TField* f = GetField();
    if (!f) return false;
    using enum TFieldType;
    switch (f->GetDataType()) {
        case ftString:
        case ftWideString:
        case ftMemo:
        case ftFmtMemo:
        case ftWideMemo:
            break;
        default:
            return false;
    }
    return GetLookupColumn() == TVelLookupColumn::lcLookupKeyField || GetPickDataActive();
}

std::string TVelColumn::FormatText(const std::string& Text) const {
    if (!GetMultiSelectList() || FMultiSelectText != TMultiSelectText::mstEllipsis) return Text;
    if (Text.empty()) return "...";
    const std::string delimiter = GetDelimiter();
    const std::size_t at = Text.find(delimiter);
    if (at == std::string::npos) return Text;
    return Text.substr(0, at) + " ...";
}

std::string TVelColumn::GetDisplayText() const {
    TField* f = GetField();
    if (!f) return {};
    std::string text;
    TVelLookupColumn kind = GetLookupColumn();
    if (kind == TVelLookupColumn::lcLookupValueField) {
        // The key is stored; the lookup dataset supplies what is shown.
        if (!f->IsNull() && GetLookupDataSet()->GetActive()) {
            const Variant v = GetLookupDataSet()->Lookup(GetLookupKeyField(), f->GetValue(),
                                                         GetLookupResultField());
            text = VarToStr(v);
        }
    } else if (GetPickTextActive() && !FPickOptions.Contains(TVelPickOption::poStoreItemIndex)) {
        // Each stored value shows as its pick text; several values keep their delimiter.
        const std::string raw = f->GetText();
        const std::string delimiter = GetDelimiter();
        TStrings* shown = GetPickData();
        auto item = [&](const std::string& value) {
            const int i = FPickList->IndexOf(value);
            return i >= 0 && i < shown->Count() ? shown->Strings(i) : value;
        };
        if (GetMultiSelectList()) {
            std::size_t start = 0;
            while (start <= raw.size()) {
                std::size_t end = raw.find(delimiter, start);
                if (end == std::string::npos) end = raw.size();
                const std::string value = raw.substr(start, end - start);
                if (!value.empty()) text += (text.empty() ? "" : delimiter) + item(value);
                start = end + delimiter.size();
            }
        } else {
            text = raw.empty() ? raw : item(raw);
        }
    } else if (GetPickDataActive() && FPickOptions.Contains(TVelPickOption::poStoreItemIndex)) {
        const int i = GetPickIndex();
        text = i >= 0 ? GetPickData()->Strings(i) : f->GetDisplayText();
    } else {
        text = f->GetDisplayText();
    }
    if (TVelCustomDBGrid* g = GetGrid())
        g->ColGetText(const_cast<TVelColumn*>(this), text, TTextKind::tkDisplay);
    return FormatText(text);
}

}  // namespace vel
