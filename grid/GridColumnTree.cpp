// Columns in their expansion groups: parents, visibility and expansion, moving a column with
// its group, the partner column of a linked grid, and the title's header bands.
#include <algorithm>

#include "grid/DBGrid.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"

namespace vel {

namespace {
// Sets a flag for a scope (linked grids guard against running round their ring).
struct TFlagScope {
    bool& Flag;
    bool Old;
    explicit TFlagScope(bool& F) : Flag(F), Old(F) { Flag = true; }
    ~TFlagScope() { Flag = Old; }
};
}  // namespace

TVelColumn* TVelColumn::GetParentColumn() const {
    TCollection* cols = GetCollection();
    if (!cols) return nullptr;
    const int index = GetIndex();
    if (TField* f = GetField(); f && f->GetParentField()) {
        for (int j = index - 1; j >= 0; --j) {
            auto* c = static_cast<TVelColumn*>(cols->GetItem(j));
            if (c->GetField() == f->GetParentField()) return c;
        }
        return nullptr;
    }
    for (int j = index - 1; j >= 0; --j) {
        auto* c = static_cast<TVelColumn*>(cols->GetItem(j));
        if (c->FExpandCols >= index - j) return c;
        // A top-level column that does not reach ends the search.
        if (!c->GetParentColumn()) return nullptr;
    }
    return nullptr;
}

int TVelColumn::GetDepth() const {
    int depth = 0;
    for (TVelColumn* p = GetParentColumn(); p; p = p->GetParentColumn()) ++depth;
    return depth;
}

bool TVelColumn::GetVisible() const {
    if (!FVisible) return false;
    TVelColumn* p = GetParentColumn();
    return !p || p->GetVisible();
}

void TVelColumn::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    Synchronize();
    ColumnChanged(true);
}

bool TVelColumn::GetExpandable() const {
    if (FExpandCols >= 1) return true;
    TField* f = GetField();
    return f && (f->GetDataType() == TFieldType::ftADT || f->GetDataType() == TFieldType::ftArray);
}

bool TVelColumn::GetExpanded() const {
    return FExpanded && GetExpandable();
}

bool TVelColumn::GetShowing() const {
    if (GetExpanded() || !GetVisible()) return false;
    for (TVelColumn* p = GetParentColumn(); p; p = p->GetParentColumn())
        if (!p->GetExpanded()) return false;
    return true;
}

int TVelColumn::GetExpandIndex() const {
    TCollection* cols = GetCollection();
    if (!cols) return -1;
    const int index = GetIndex();
    int last = index;
    for (int j = index + 1; j < cols->Count(); ++j) {
        auto* c = static_cast<TVelColumn*>(cols->GetItem(j));
        for (TVelColumn* p = c->GetParentColumn(); p; p = p->GetParentColumn())
            if (p == this) {
                last = j;
                break;
            }
    }
    return last;
}

void TVelColumn::SetExpanded(bool Value) {
    if (Value == FExpanded) return;
    TVelCustomDBGrid* g = GetGrid();
    if (!g || g->IsLoading() || g->FColumns != GetColumns()) {
        FExpanded = Value;
        ColumnChanged(true);
        return;
    }
    const bool editing = g->GetEditorMode();
    g->HideEditor();
    const bool stretch = g->FStretchMode;
    g->FStretchMode = false;
    // The focused column, when it is one of ours and shows.
    const int dataCol = g->RawToDataColumn(g->GetCol());
    TVelColumn* focused = dataCol >= 0 && dataCol < int(g->FVisibleColumns.size())
                              ? g->FVisibleColumns[std::size_t(dataCol)]
                              : nullptr;
    FExpanded = Value;
    Synchronize();
    ColumnChanged(true);
    if (focused && focused->GetCollection() == GetCollection()) {
        // Stay on the column when it still shows; else the nearest showing one in the
        // direction the group opened or closed.
        const auto& shown = g->FVisibleColumns;
        auto rawOf = [&](TVelColumn* c) {
            auto it = std::find(shown.begin(), shown.end(), c);
            return it == shown.end() ? -1 : g->DataToRawColumn(int(it - shown.begin()));
        };
        int raw = rawOf(focused);
        const int from = focused->GetIndex();
        const int count = GetCollection()->Count();
        for (int step : {Value ? 1 : -1, Value ? -1 : 1})
            for (int j = from + step; raw < 0 && j >= 0 && j < count; j += step)
                raw = rawOf(GetColumns()->GetColumn(j));
        if (raw >= 0 && raw != g->GetCol() && raw < g->GetColCount()) g->SetCol(raw);
    }
    g->FStretchMode = stretch;
    if (editing) g->ShowEditor();
    if (stretch) g->StretchColumns();
    g->Synchronize();
    g->UpdateScrollBar();
    if (GetExpandable()) g->ColExpand(this);
}

// ---- Moving.

void TVelColumn::InternalMove(int NewIndex) {
    TCollectionItem::SetIndex(NewIndex);
}

void TVelColumn::SetIndex(int Value) {
    TVelDBGridColumns* cols = GetColumns();
    TVelCustomDBGrid* g = GetGrid();
    if (!cols) {
        TCollectionItem::SetIndex(Value);
        return;
    }
    if (g && g->IsDesigning() && !g->IsLoading() && cols->FDesignUpdate == 0 &&
        g->GetLayoutLock() == 0)
        for (int i = 0; i < cols->Count(); ++i)
            if (cols->GetColumn(i)->GetExpandable()) return;
    const int index = GetIndex();
    if (Value < 0 || Value == index) return;
    Value = std::min(Value, cols->Count() - 1);
    if (!FStored) {
        // A default column follows its field: the field moves to the target's place.
        const bool active = g && g->GetDataLink()->GetActive() && GetField();
        if (active) g->BeginLayout();
        if (active) {
            TVelColumn* target = cols->GetColumn(Value);
            const int depth = GetDepth();
            while (target && target->GetDepth() > depth) target = target->GetParentColumn();
            if (target && target != this && target->GetField())
                GetField()->SetIndex(target->GetField()->GetIndex());
        }
        InternalMove(Value);
        if (active) g->EndLayout();
        return;
    }
    const int last = GetExpandIndex();
    if (Value > index && Value <= last) return;
    if (g) g->BeginLayout();
    const int size = last - index + 1;
    // The group moves as one block: to the left it starts at Value, to the right it ends
    // there.
    for (int k = 0; k < size; ++k) {
        auto* c = cols->GetColumn(Value < index ? index + k : index);
        c->InternalMove(Value < index ? Value + k : Value);
    }
    if (g) g->EndLayout();
}

TVelColumn* TVelColumn::Partner() const {
    TVelCustomDBGrid* g = GetGrid();
    TVelCustomDBGrid* m = g && g->FColumns == GetColumns() ? g->FManageGrid : nullptr;
    if (!m || m->FManagement || m->IsDestroying()) return nullptr;
    const int index = GetIndex();
    return index < m->FColumns->Count() ? m->FColumns->GetColumn(index) : nullptr;
}

void TVelColumn::MoveTo(int NewIndex) {
    TVelColumn* partner = Partner();
    SetIndex(NewIndex);
    if (!partner) return;
    TVelCustomDBGrid* g = GetGrid();
    TFlagScope guard(g->FManagement);
    partner->MoveTo(NewIndex);
}

void TVelColumn::Synchronize() {
    TVelColumn* partner = Partner();
    if (!partner) return;
    TVelCustomDBGrid* g = GetGrid();
    TFlagScope guard(g->FManagement);
    if (GetExpandable() && partner->GetExpandable()) partner->SetExpanded(FExpanded);
    partner->SetVisible(FVisible);
    partner->SetWidth(TrueWidth());
}

// ---- Header bands.

namespace {
std::string BandPart(const std::string& Text, int Row) {
    if (Row < 0) return {};
    std::size_t start = 0;
    for (int r = 0; r < Row; ++r) {
        start = Text.find('|', start);
        if (start == std::string::npos) return {};
        ++start;
    }
    const std::size_t end = Text.find('|', start);
    return Text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}
}  // namespace

int TVelColumnTitle::HeaderRowCount() const {
    if (FHeader.empty()) return 0;
    return int(std::count(FHeader.begin(), FHeader.end(), '|')) + 1;
}

std::string TVelColumnTitle::HeaderRows(int Row) const {
    return BandPart(FHeader, Row);
}

std::string TVelColumnTitle::HeaderHintRows(int Row) const {
    return BandPart(FHeaderHint, Row);
}

TVelColumn* TVelColumnTitle::HeaderNeighbour(int Row, int Step) const {
    TVelDBGridColumns* cols = FColumn->GetColumns();
    if (!cols || Row < 0 || HeaderRowCount() <= Row) return nullptr;
    TVelCustomDBGrid* g = cols->GetGrid();
    const int fixed = g ? g->GetFixedCols() : 0;
    const int index = FColumn->GetIndex();
    for (int j = index + Step; j >= 0 && j < cols->Count(); j += Step) {
        TVelColumn* c = cols->GetColumn(j);
        // Columns that are not drawn (hidden, or expanded into their children) are passed.
        if (!c->GetShowing()) continue;
        if ((j < fixed) != (index < fixed)) return nullptr;
        if (c->GetParentColumn() != FColumn->GetParentColumn()) return nullptr;
        if (c->GetTitle()->HeaderRowCount() <= Row) return nullptr;
        for (int r = 0; r <= Row; ++r)
            if (c->GetTitle()->HeaderRows(r) != HeaderRows(r)) return nullptr;
        return c;
    }
    return nullptr;
}

TVelColumn* TVelColumnTitle::HeaderLeft(int Row) const {
    return HeaderNeighbour(Row, -1);
}

TVelColumn* TVelColumnTitle::HeaderRight(int Row) const {
    return HeaderNeighbour(Row, 1);
}

}  // namespace vel
