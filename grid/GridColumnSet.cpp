// The grid's column collection: its two states, the columns a layout builds from the fields,
// the automatic columns, and what a change of the collection asks of the grid.
#include <algorithm>

#include "grid/DBGrid.h"
#include "grid/GridConsts.h"
#include "platform/classes/Strings.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

namespace vel {

bool TVelDBGridColumnsEnumerator::MoveNext() {
    if (FIndex >= FColumns->Count() - 1) return false;
    ++FIndex;
    return true;
}

TVelColumn* TVelDBGridColumnsEnumerator::GetCurrent() const {
    return FColumns->GetColumn(FIndex);
}

TVelDBGridColumns::TVelDBGridColumns(TVelCustomDBGrid* Grid, const TClassInfo* ColumnClass)
    : TCollection(ColumnClass, Grid), FGrid(Grid) {
    if (!ColumnClass || !ColumnClass->InheritsFrom(TVelColumn::StaticClass()))
        throw EInvalidArgument(std::string("Column class ") +
                               (ColumnClass ? ColumnClass->Name : "(none)") +
                               " does not descend from TVelColumn.");
}

TVelDBGridColumns::~TVelDBGridColumns() {
    delete FSettings;
}

bool TVelDBGridColumns::IsGridColumns() const {
    return FGrid && FGrid->FColumns == this;
}

void TVelDBGridColumns::Assign(const TPersistent* Source) {
    if (!dynamic_cast<const TCollection*>(Source) || !IsGridColumns()) {
        TCollection::Assign(Source);
        return;
    }
    FGrid->BeginLayout();
    const bool stretch = FGrid->FStretchMode;
    FGrid->FStretchMode = false;
    struct TEnd {
        TVelCustomDBGrid* G;
        bool Stretch;
        ~TEnd() {
            G->FStretchMode = Stretch;
            G->EndLayout();
        }
    } end{FGrid, stretch};
    TCollection::Assign(Source);
}

TDBGridColumnsState TVelDBGridColumns::GetState() const {
    if (Count() == 0 || !GetColumn(Count() - 1)->IsStored()) return TDBGridColumnsState::csDefault;
    return TDBGridColumnsState::csCustomized;
}

void TVelDBGridColumns::SetState(TDBGridColumnsState Value) {
    if (Value == GetState()) return;
    if (Value == TDBGridColumnsState::csCustomized) {
        RebuildColumns();
        return;
    }
    BeginUpdate();
    Clear();
    EndUpdate();
}

TVelColumn* TVelDBGridColumns::FindColumn(const std::string& FieldName, int StartIndex) const {
    for (int i = std::max(0, StartIndex); i < Count(); ++i)
        if (SameText(GetColumn(i)->GetFieldName(), FieldName)) return GetColumn(i);
    return nullptr;
}

void TVelDBGridColumns::RestoreDefaults() {
    BeginUpdate();
    for (int i = 0; i < Count(); ++i) GetColumn(i)->RestoreDefaults();
    EndUpdate();
}

// ---- Automatic columns.

TVelColumn* TVelDBGridColumns::FindAuto(int Kind) const {
    for (int i = 0; i < Count(); ++i) {
        TVelColumn* c = GetColumn(i);
        if (!c->GetFieldName().empty()) continue;
        if ((Kind == 0 && c->FAutoNumber) || (Kind == 1 && c->FCheckBox) ||
            (Kind == 2 && c->FExpandBox))
            return c;
    }
    return nullptr;
}

TVelColumn* TVelDBGridColumns::AddAuto(const std::string& Caption) {
    const bool building = FBuilding;
    FBuilding = true;
    TVelColumn* c = Add();
    FBuilding = building;
    c->InternalMove(0);
    c->FSuppressRTL = true;
    c->GetTitle()->SetCaption(Caption);
    return c;
}

namespace {
void SetAutoWidth(TVelColumn* Column, int Width) {
    TVelCustomDBGrid* g = Column->GetGrid();
    Column->SetWidth(g && g->GetDataLink()->GetActive() ? Width : Column->DefaultWidth());
}
}  // namespace

TVelColumn* TVelDBGridColumns::AddAutoNumber() {
    TVelColumn* c = AddAuto(DefAutoNumberTitle);
    c->FAutoNumber = true;
    c->SetAlignment(TAlignment::taRightJustify);
    c->GetTitle()->SetAlignment(TAlignment::taRightJustify);
    SetAutoWidth(c, DefAutoNumberWidth);
    return c;
}

TVelColumn* TVelDBGridColumns::AddAutoSelect() {
    TVelColumn* c = AddAuto(DefAutoSelectTitle);
    c->FCheckBox = true;
    c->SetAlignment(TAlignment::taCenter);
    c->GetTitle()->SetAlignment(TAlignment::taCenter);
    SetAutoWidth(c, DefAutoSelectWidth);
    return c;
}

TVelColumn* TVelDBGridColumns::AddAutoExpand() {
    TVelColumn* c = AddAuto(DefAutoExpandTitle);
    c->FExpandBox = true;
    c->FExpandBoxSize = TExpandBoxSize::ebLarge;
    c->FTransparent = true;
    c->SetAlignment(TAlignment::taCenter);
    c->GetTitle()->SetAlignment(TAlignment::taCenter);
    SetAutoWidth(c, DefAutoExpandWidth);
    return c;
}

void TVelDBGridColumns::RemoveAutoColumns(TVelDBGridOptionsExt Options) {
    using enum TVelDBGridOptionExt;
    const TVelDBGridOptionExt kinds[] = {dgAutoNumberColumn, dgAutoSelectColumn,
                                         dgAutoExpandColumn};
    std::vector<TVelColumn*> gone;
    for (int kind = 0; kind < 3; ++kind)
        if (Options.Contains(kinds[kind]))
            if (TVelColumn* c = FindAuto(kind)) gone.push_back(c);
    if (gone.empty()) return;
    BeginUpdate();
    TScopeExit end([this] { EndUpdate(); });
    for (TVelColumn* c : gone) delete c;
}

void TVelDBGridColumns::AddAutoColumns() {
    if (!FGrid) return;
    using enum TVelDBGridOptionExt;
    const TVelDBGridOptionsExt o = FGrid->GetOptionsExt();
    // Each goes first, so the order ends "No.", "Select", "Expand".
    if (o.Contains(dgAutoExpandColumn) && !FindAuto(2)) AddAutoExpand();
    if (o.Contains(dgAutoSelectColumn) && !FindAuto(1)) AddAutoSelect();
    if (o.Contains(dgAutoNumberColumn) && !FindAuto(0)) AddAutoNumber();
}

// ---- Columns from the fields.

namespace {
// The fields in column order: each ADT field directly followed by its sub-fields.
void CollectFields(const TFields& Fields, bool VisibleOnly, std::vector<TField*>& Out) {
    for (TField* f : Fields) {
        if (VisibleOnly && !f->GetVisible()) continue;
        Out.push_back(f);
        if (auto* o = dynamic_cast<TObjectField*>(f))
            CollectFields(o->GetFields(), VisibleOnly, Out);
    }
}
}  // namespace

void TVelDBGridColumns::RebuildColumns() {
    TDataSet* ds = FGrid ? FGrid->GetDataSet() : nullptr;
    if (!ds) {
        Clear();
        return;
    }
    FGrid->BeginLayout();
    struct TEnd {
        TVelCustomDBGrid* G;
        ~TEnd() { G->EndLayout(); }
    } end{FGrid};
    Clear();
    FBuilding = true;
    struct TBuilt {
        bool& F;
        ~TBuilt() { F = false; }
    } built{FBuilding};
    std::vector<TField*> fields;
    CollectFields(ds->GetFields(), false, fields);
    for (TField* f : fields) {
        TVelColumn* c = Add();
        c->FFieldName = f->GetFullName();
    }
    if (Count() > 0) AddAutoColumns();
}

TVelColumn* TVelDBGridColumns::InternalAdd(TField* Field) {
    TVelColumn* c = Add();
    c->FStored = false;
    if (Field) {
        c->FField = Field;
        c->FFieldName = Field->GetFullName();
        if (FGrid) Field->FreeNotification(FGrid);
    }
    return c;
}

void TVelDBGridColumns::BuildLayoutColumns() {
    FBuilding = true;
    struct TBuilt {
        bool& F;
        ~TBuilt() { F = false; }
    } built{FBuilding};
    if (GetState() == TDBGridColumnsState::csCustomized) {
        // Persistent columns find their fields again by name.
        for (int i = 0; i < Count(); ++i) GetColumn(i)->FField = nullptr;
        return;
    }
    TDataSet* ds = FGrid->GetDataSet();
    const bool active = FGrid->GetDataLink()->GetActive();
    const bool onlyEmpty =
        Count() == 1 && !GetColumn(0)->FStored && GetColumn(0)->FFieldName.empty();
    if (!active && (!ds || ds->GetDefaultFields())) {
        // The one empty column a grid without fields shows is kept, not made again.
        if (!onlyEmpty) Clear();
    } else {
        // A column whose field went away goes with it.
        for (int i = Count() - 1; i >= 0; --i) {
            TVelColumn* c = GetColumn(i);
            if (!c->FFieldName.empty() && (!ds || !ds->FindField(c->FFieldName))) delete c;
        }
    }
    std::vector<TField*> map;
    if (ds && active) CollectFields(ds->GetFields(), true, map);
    // The automatic columns stay in front of the field columns.
    int first = 0;
    while (first < Count() && GetColumn(first)->FStored && GetColumn(first)->FFieldName.empty())
        ++first;
    for (std::size_t m = 0; m < map.size(); ++m) {
        const int target = first + int(m);
        TVelColumn* c = nullptr;
        for (int j = target; j < Count() && !c; ++j)
            if (!GetColumn(j)->FStored && GetColumn(j)->GetField() == map[m]) c = GetColumn(j);
        if (!c) c = InternalAdd(map[m]);
        if (c->GetIndex() != target) c->InternalMove(target);
    }
    // Default columns past the map have no field any more.
    for (int i = Count() - 1; i >= first + int(map.size()); --i)
        if (!GetColumn(i)->FStored) delete GetColumn(i);
    if (map.empty() && Count() == 0) InternalAdd(nullptr);
    if (!map.empty()) AddAutoColumns();
}

// ---- Notifications.

void TVelDBGridColumns::Update(TCollectionItem* Item) {
    if (!IsGridColumns() || FGrid->IsLoading() || FGrid->IsDestroying()) return;
    auto* c = static_cast<TVelColumn*>(Item);
    if (c) {
        const auto& shown = FGrid->FVisibleColumns;
        const auto it = std::find(shown.begin(), shown.end(), c);
        if (it != shown.end() && FGrid->GetLayoutLock() == 0) {
            const int raw = FGrid->DataToRawColumn(int(it - shown.begin()));
            if (raw < FGrid->GetColCount()) FGrid->SetColWidths(raw, std::max(0, c->GetWidth()));
            FGrid->Invalidate();
            return;
        }
    }
    FGrid->LayoutChanged();
}

void TVelDBGridColumns::Notify(TCollectionItem* Item, TCollectionNotification Action) {
    TCollection::Notify(Item, Action);
    if (Action == TCollectionNotification::cnAdded) {
        // A persistent column made by hand or read ends the columns the fields made.
        if (FBuilding) return;
        FBuilding = true;
        for (int i = Count() - 1; i >= 0; --i)
            if (GetItem(i) != Item && !GetColumn(i)->FStored) delete GetColumn(i);
        FBuilding = false;
        return;
    }
    if (!IsGridColumns()) return;
    // The grid must not keep a column that leaves.
    FGrid->FSelectedCols->ColumnRemoved(static_cast<TVelColumn*>(Item));
    auto& shown = FGrid->FVisibleColumns;
    shown.erase(std::remove(shown.begin(), shown.end(), static_cast<TVelColumn*>(Item)),
                shown.end());
}

void TVelDBGridColumns::BeginDesignUpdate() {
    ++FDesignUpdate;
    BeginUpdate();
}

void TVelDBGridColumns::EndDesignUpdate() {
    if (FDesignUpdate == 0) return;
    --FDesignUpdate;
    EndUpdate();
}

}  // namespace vel
