// The selection lists: bookmarks of the selected rows and the selected columns.
#include "grid/GridSelection.h"

#include <algorithm>

#include "grid/DBGrid.h"
#include "grid/GridColumns.h"
#include "grid/GridDataLink.h"
#include "platform/classes/Errors.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

namespace {

[[noreturn]] void IndexError(int Index) {
    throw EListError("List index out of bounds (" + std::to_string(Index) + ").");
}

// Binary search over Count sorted items; Compare(i) orders item i against the key. Index is
// the match or the insertion point; the first match when several compare equal.
template <class TCompare>
bool SortedFind(int Count, TCompare&& Compare, int& Index) {
    int lo = 0, hi = Count - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = Compare(mid);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                lo = mid;
            }
        }
    }
    Index = lo;
    return found;
}

// Key fields of the selection, with the error the data layer gives for none.
std::string RequireKeyFields(const std::string& KeyFields, const std::string& GridKeyFields) {
    const std::string& k = KeyFields.empty() ? GridKeyFields : KeyFields;
    if (k.empty()) DatabaseError("KeyFields property cannot be blank");
    return k;
}

}  // namespace

// ---- TVelBookmarkList.

TDataSet* TVelBookmarkList::DataSet() const { return FGrid->GetDataSet(); }

void TVelBookmarkList::CheckLinkActive() const {
    if (!FLinkActive) DatabaseError("Cannot perform this operation on a closed dataset");
}

std::string TVelBookmarkList::KeyFieldsOf(const std::string& KeyFields) const {
    return RequireKeyFields(KeyFields, FGrid->GetKeyFields());
}

const TBookmark& TVelBookmarkList::GetItem(int Index) const {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    return FList[std::size_t(Index)];
}

TBookmark TVelBookmarkList::CurrentRow() const {
    CheckLinkActive();
    return DataSet()->GetBookmark();
}

bool TVelBookmarkList::GetCurrentRowSelected() const {
    if (!FLinkActive || FList.empty()) return false;
    const TBookmark current = DataSet()->GetBookmark();
    int index = 0;
    return !current.empty() && Find(current, index);
}

void TVelBookmarkList::SetCurrentRowSelected(bool Value) {
    const TBookmark current = CurrentRow();
    if (current.empty()) return;
    int index = 0;
    if (Find(current, index) == Value) return;
    FGrid->BeginSelect();
    TScopeExit end([&] { FGrid->EndSelect(); });
    if (Value)
        InsertItem(index, current);
    else
        DeleteItem(index);
    FGrid->InvalidateRow(FGrid->GetRow());
    FGrid->SelectionChanged(Value ? TSelectAction::saSelect : TSelectAction::saUnselect);
}

int TVelBookmarkList::Compare(const TBookmark& A, const TBookmark& B) const {
    return DataSet()->CompareBookmarks(A, B);
}

bool TVelBookmarkList::Find(const TBookmark& Item, int& Index) const {
    // Painting asks for every cell of a row in turn: the same key again is answered at once.
    if (FCacheIndex >= 0 && Item == FCache) {
        Index = FCacheIndex;
        return FCacheFind;
    }
    const bool found =
        SortedFind(Count(), [&](int i) { return Compare(FList[std::size_t(i)], Item); }, Index);
    FCache = Item;
    FCacheIndex = Index;
    FCacheFind = found;
    return found;
}

int TVelBookmarkList::IndexOf(const TBookmark& Item) const {
    int index = -1;
    return Find(Item, index) ? index : -1;
}

void TVelBookmarkList::InsertItem(int Index, const TBookmark& Item) {
    if (Index < 0 || Index > Count()) IndexError(Index);
    FList.insert(FList.begin() + Index, Item);
    ResetCache();
}

void TVelBookmarkList::DeleteItem(int Index) {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    FList.erase(FList.begin() + Index);
    ResetCache();
}

void TVelBookmarkList::Clear() {
    if (FList.empty()) return;
    FGrid->BeginSelect();
    TScopeExit end([&] { FGrid->EndSelect(); });
    FList.clear();
    ResetCache();
    FGrid->Invalidate();
    FGrid->SelectionChanged(TSelectAction::saClear);
}

void TVelBookmarkList::LinkActive(bool Value) {
    Clear();
    FLinkActive = Value;
}

void TVelBookmarkList::Refresh() {
    CheckLinkActive();
    FGrid->BeginSelect();
    TScopeExit end([&] { FGrid->EndSelect(); });
    TDataSet* ds = DataSet();
    ds->CheckBrowseMode();
    bool removed = false;
    for (int i = Count() - 1; i >= 0; --i)
        if (!ds->BookmarkValid(FList[std::size_t(i)])) {
            DeleteItem(i);
            removed = true;
        }
    ds->UpdateCursorPos();
    if (removed) {
        FGrid->Invalidate();
        FGrid->SelectionChanged(TSelectAction::saRefresh);
    }
}

void TVelBookmarkList::Delete() {
    CheckLinkActive();
    TDataSet* ds = DataSet();
    bool deleted = false;
    FGrid->BeginSelect();
    {
        TScopeExit end([&] { FGrid->EndSelect(); });
        ds->DisableControls();
        TScopeExit enable([&] { ds->EnableControls(); });
        for (int i = Count() - 1; i >= 0; --i) {
            const TBookmark b = FList[std::size_t(i)];
            if (ds->BookmarkValid(b)) {
                ds->GotoBookmark(b);
                ds->Delete();
                deleted = true;
            }
            DeleteItem(i);
        }
        if (deleted) FGrid->SelectionChanged(TSelectAction::saDelete);
    }
    if (deleted) FGrid->RowsDeleted();
}

void TVelBookmarkList::Save(const std::string& KeyFields) {
    CheckLinkActive();
    const std::string keys = KeyFieldsOf(KeyFields);
    FSave.clear();
    FGrid->WithPositionKept([&] {
        TDataSet* ds = DataSet();
        for (const TBookmark& b : FList) {
            if (!ds->BookmarkValid(b)) continue;
            ds->GotoBookmark(b);
            FSave.push_back(ds->GetFieldValues(keys));
        }
    });
}

void TVelBookmarkList::Restore(const std::string& KeyFields) {
    CheckLinkActive();
    const std::string keys = KeyFieldsOf(KeyFields);
    TDataSet* ds = DataSet();
    ds->CheckBrowseMode();
    FGrid->BeginSelect();
    TScopeExit end([&] { FGrid->EndSelect(); });
    Clear();
    std::vector<TBookmark> found;
    FGrid->WithPositionKept([&] {
        for (const Variant& v : FSave)
            if (ds->Locate(keys, v, {})) found.push_back(ds->GetBookmark());
    });
    for (TBookmark& b : found) {
        int index = 0;
        if (b.empty() || Find(b, index)) continue;
        InsertItem(index, b);
        FGrid->SelectionChanged(TSelectAction::saSelect);
    }
    FGrid->Invalidate();
}

TVelDataRowRange TVelBookmarkList::GetEnumerator() const {
    return TVelDataRowRange(FGrid, TDataRowEnum::reSelectedRows);
}

TVelDataRowRange TVelBookmarkList::OrAllRows() const {
    return TVelDataRowRange(FGrid, TDataRowEnum::reSelectedRowsOrAllRows);
}

TVelDataRowRange TVelBookmarkList::OrCurrent() const {
    return TVelDataRowRange(FGrid, TDataRowEnum::reSelectedRowsOrCurrent);
}

// ---- TVelColumnList.

std::vector<TVelColumn*> TVelColumnList::OrAllCols() {
    return FGrid->GetDataColEnum(TDataColEnum::ceSelectedColsOrAllCols);
}

std::vector<TVelColumn*> TVelColumnList::OrCurrent() {
    return FGrid->GetDataColEnum(TDataColEnum::ceSelectedColsOrCurrent);
}

void TVelColumnList::RefreshList() {
    FList.clear();
    FCacheIndex = -1;
    FBuilt = true;
    FAutoRefresh = false;
    if (!FGrid->GetColsSelection()) return;
    const int lo = FGrid->GetSelectionMinCol(), hi = FGrid->GetSelectionMaxCol();
    const auto& shown = FGrid->GetVisibleColumns();
    if (lo < 0) return;
    for (int i = lo; i <= hi && i < int(shown.size()); ++i) FList.push_back(shown[std::size_t(i)]);
    std::sort(FList.begin(), FList.end(),
              [](TVelColumn* a, TVelColumn* b) { return a->GetIndex() < b->GetIndex(); });
    FAutoRefresh = true;
}

void TVelColumnList::NeedRefresh() {
    FBuilt = false;
    FCacheIndex = -1;
}

int TVelColumnList::Count() {
    if (!FBuilt) RefreshList();
    return int(FList.size());
}

TVelColumn* TVelColumnList::GetItem(int Index) {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    return FList[std::size_t(Index)];
}

bool TVelColumnList::Find(TVelColumn* Column, int& Index) {
    if (!FBuilt) RefreshList();
    if (FCacheIndex >= 0 && Column == FCache) {
        Index = FCacheIndex;
        return FCacheFind;
    }
    const int key = Column ? Column->GetIndex() : -1;
    const bool found = SortedFind(int(FList.size()), [&](int i) {
        TVelColumn* m = FList[std::size_t(i)];
        return m == Column ? 0 : (m->GetIndex() < key ? -1 : 1);
    }, Index);
    FCache = Column;
    FCacheIndex = Index;
    FCacheFind = found;
    return found;
}

int TVelColumnList::IndexOf(TVelColumn* Column) {
    int index = -1;
    return Find(Column, index) ? index : -1;
}

void TVelColumnList::Insert(int Index, TVelColumn* Column) {
    FList.insert(FList.begin() + Index, Column);
    FCacheIndex = -1;
    FAutoRefresh = false;
    FGrid->ColsChanged();
}

void TVelColumnList::Remove(int Index) {
    FList.erase(FList.begin() + Index);
    FCacheIndex = -1;
    FAutoRefresh = false;
    FGrid->ColsChanged();
}

bool TVelColumnList::GetColumns(int DataCol) {
    const auto& shown = FGrid->GetVisibleColumns();
    if (DataCol < 0 || DataCol >= int(shown.size())) return false;
    int index = 0;
    return Find(shown[std::size_t(DataCol)], index);
}

void TVelColumnList::SetColumns(int DataCol, bool Value) {
    const auto& shown = FGrid->GetVisibleColumns();
    if (DataCol < 0 || DataCol >= int(shown.size())) IndexError(DataCol);
    TVelColumn* c = shown[std::size_t(DataCol)];
    int index = 0;
    if (Find(c, index) == Value) return;
    FGrid->BeginSelect();
    TScopeExit end([&] { FGrid->EndSelect(); });
    if (Value)
        Insert(index, c);
    else
        Remove(index);
}

bool TVelColumnList::GetCurrentColSelected() {
    return GetColumns(FGrid->RawToDataColumn(FGrid->GetCol()));
}

void TVelColumnList::SetCurrentColSelected(bool Value) {
    SetColumns(FGrid->RawToDataColumn(FGrid->GetCol()), Value);
}

void TVelColumnList::Clear() {
    const bool had = FBuilt && !FList.empty();
    FList.clear();
    FBuilt = false;
    FAutoRefresh = false;
    FCacheIndex = -1;
    if (had) FGrid->ColsChanged();
}

void TVelColumnList::Save() {
    FSave.clear();
    for (int i = 0; i < Count(); ++i) FSave.push_back(FList[std::size_t(i)]->GetID());
}

void TVelColumnList::Restore() {
    FGrid->BeginSelect();
    TScopeExit end([&] { FGrid->EndSelect(); });
    Clear();
    FBuilt = true;
    TVelDBGridColumns* columns = FGrid->GetColumns();
    for (int id : FSave)
        for (int i = 0; i < columns->Count(); ++i)
            if (columns->GetColumn(i)->GetID() == id) {
                int index = 0;
                if (!Find(columns->GetColumn(i), index)) Insert(index, columns->GetColumn(i));
                break;
            }
}

void TVelColumnList::ColumnRemoved(TVelColumn* Column) {
    auto it = std::find(FList.begin(), FList.end(), Column);
    if (it == FList.end()) return;
    FList.erase(it);
    FCacheIndex = -1;
    if (FCache == Column) FCache = nullptr;
}

}  // namespace vel
