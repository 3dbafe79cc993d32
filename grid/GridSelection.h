#pragma once
// The grid's multi-selection store: TVelBookmarkList keeps the selected rows as bookmarks in
// the dataset's order, TVelColumnList the selected columns in collection order (or, until
// something edits it, the column range being dragged).
#include <functional>
#include <string>
#include <vector>

#include "platform/db/DBTypes.h"
#include "platform/rtl/TSet.h"
#include "platform/rtl/Variant.h"

namespace vel {

class TVelColumn;
class TVelCustomDBGrid;
class TDataSet;

// What the ForEach walks visit: the selection when there is one (fsAutoSelect), everything,
// or only the selection.
enum class TForEachCellScope { fsAutoSelect, fsWholeDataSet, fsSelectedOnly };
// Where a visited cell lies in the walk.
enum class TForEachCellFlag { feFirstCol, feLastCol, feFirstRow, feLastRow };
using TForEachCellFlags = TSet<TForEachCellFlag>;
enum class TDataRowEnum { reAllRows, reSelectedRows, reSelectedRowsOrAllRows, reSelectedRowsOrCurrent, reCurrentRow };
enum class TDataColEnum { ceAllCols, ceSelectedCols, ceSelectedColsOrAllCols, ceSelectedColsOrCurrent, ceCurrentCol };
using TForEachCellProc = std::function<void(TVelColumn* Column, TForEachCellFlags Flags)>;
using TForEachRowProc = std::function<void()>;
using TForEachColProc = std::function<void(TVelColumn* Column)>;

// Walks the grid's records by a TDataRowEnum: each MoveNext puts the dataset on the next row
// (false past the end). Current is that row's bookmark.
class TVelDataRowEnumerator {
public:
    TVelDataRowEnumerator(TVelCustomDBGrid* Grid, TDataRowEnum Kind);
    bool MoveNext();
    TBookmark GetCurrent() const;
    // The row MoveNext reached is the walk's last (the dataset looks one record ahead).
    bool IsLast();
    // Starts the walk again.
    void Restart() { FIndex = -1; }

private:
    enum class TSource { None, AllRows, Selected, Current };
    TVelCustomDBGrid* FGrid;
    TSource FSource = TSource::None;
    int FIndex = -1;
};

// A range-for view over a TVelDataRowEnumerator; each step moves the dataset to the row it
// yields, and the dataset stays on the last one.
class TVelDataRowRange {
public:
    TVelDataRowRange(TVelCustomDBGrid* Grid, TDataRowEnum Kind) : FEnum(Grid, Kind) {}
    class iterator {
    public:
        explicit iterator(TVelDataRowEnumerator* E) : FEnum(E) { Step(); }
        TBookmark operator*() const { return FEnum->GetCurrent(); }
        iterator& operator++() {
            Step();
            return *this;
        }
        bool operator!=(const iterator& Other) const { return FEnum != Other.FEnum; }

    private:
        void Step() {
            if (FEnum && !FEnum->MoveNext()) FEnum = nullptr;
        }
        TVelDataRowEnumerator* FEnum;
    };
    iterator begin() {
        FEnum.Restart();
        return iterator(&FEnum);
    }
    iterator end() { return iterator(nullptr); }

private:
    TVelDataRowEnumerator FEnum;
};

class TVelBookmarkList {
public:
    explicit TVelBookmarkList(TVelCustomDBGrid* Grid) : FGrid(Grid) {}
    TVelBookmarkList(const TVelBookmarkList&) = delete;
    TVelBookmarkList& operator=(const TVelBookmarkList&) = delete;

    int Count() const { return int(FList.size()); }
    // Raises EListError outside 0..Count-1.
    const TBookmark& GetItem(int Index) const;
    const TBookmark& operator[](int Index) const { return GetItem(Index); }
    std::vector<TBookmark>::const_iterator begin() const { return FList.begin(); }
    std::vector<TBookmark>::const_iterator end() const { return FList.end(); }

    // The dataset's current bookmark; raises the closed-dataset error while the link is down.
    TBookmark CurrentRow() const;
    bool GetCurrentRowSelected() const;
    // Inserts or removes the current record, repaints its row and tells the grid.
    void SetCurrentRowSelected(bool Value);
    // Binary search in dataset order: true when found; Index is the match or the place it
    // would be inserted. The answer for the last key asked is kept until the list changes.
    bool Find(const TBookmark& Item, int& Index) const;
    int IndexOf(const TBookmark& Item) const;
    int Compare(const TBookmark& A, const TBookmark& B) const;
    void Clear();
    // Deletes the selected records from the dataset, last first.
    void Delete();
    // Drops bookmarks the dataset no longer accepts.
    void Refresh();
    // Keeps the key values of the selected records, to select them again by Restore after the
    // dataset was reordered or reopened. Empty KeyFields take the grid's KeyFields.
    void Save(const std::string& KeyFields);
    void Restore(const std::string& KeyFields);
    void InsertItem(int Index, const TBookmark& Item);
    void DeleteItem(int Index);
    // Views that move the dataset: the selected rows; the selected rows or else every record;
    // the selected rows or else the current record.
    TVelDataRowRange GetEnumerator() const;
    TVelDataRowRange OrAllRows() const;
    TVelDataRowRange OrCurrent() const;
    // The grid's data link opened or closed: the list empties.
    void LinkActive(bool Value);
    bool GetLinkActive() const { return FLinkActive; }
    int GetSavedCount() const { return int(FSave.size()); }

private:
    TDataSet* DataSet() const;
    void CheckLinkActive() const;
    std::string KeyFieldsOf(const std::string& KeyFields) const;
    void ResetCache() const { FCacheIndex = -1; }

    std::vector<Variant> FSave;
    std::vector<TBookmark> FList;
    TVelCustomDBGrid* FGrid;
    mutable TBookmark FCache;
    mutable int FCacheIndex = -1;
    mutable bool FCacheFind = false;
    bool FLinkActive = false;
};

class TVelColumnList {
public:
    explicit TVelColumnList(TVelCustomDBGrid* Grid) : FGrid(Grid) {}
    TVelColumnList(const TVelColumnList&) = delete;
    TVelColumnList& operator=(const TVelColumnList&) = delete;

    // Reading builds the list from the grid's column range when it was not built yet.
    int Count();
    TVelColumn* GetItem(int Index);
    TVelColumn* operator[](int Index) { return GetItem(Index); }
    // Whether the showing column with data index DataCol is selected; writable.
    bool GetColumns(int DataCol);
    void SetColumns(int DataCol, bool Value);
    bool GetCurrentColSelected();
    void SetCurrentColSelected(bool Value);
    bool Find(TVelColumn* Column, int& Index);
    int IndexOf(TVelColumn* Column);
    // Empties the list; it follows the column range again afterwards.
    void Clear();
    // Keeps the selected columns' IDs; Restore selects those columns again.
    void Save();
    void Restore();
    // Builds the list now (from the range when column selection is active).
    void RefreshList();
    // The next read builds the list again.
    void NeedRefresh();
    // The list was built from the column range and is rebuilt when the range moves.
    bool GetAutoRefresh() const { return FAutoRefresh; }
    bool GetBuilt() const { return FBuilt; }
    // The selected columns, or else every showing column, respectively the current one.
    std::vector<TVelColumn*> OrAllCols();
    std::vector<TVelColumn*> OrCurrent();
    // A column that leaves the collection leaves the list.
    void ColumnRemoved(TVelColumn* Column);

private:
    void Insert(int Index, TVelColumn* Column);
    void Remove(int Index);

    std::vector<int> FSave;
    std::vector<TVelColumn*> FList;
    bool FBuilt = false;
    TVelCustomDBGrid* FGrid;
    TVelColumn* FCache = nullptr;
    int FCacheIndex = -1;
    bool FCacheFind = false;
    bool FAutoRefresh = false;
};

}  // namespace vel
