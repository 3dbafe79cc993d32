#pragma once
// The in-memory table: TClientDataSet and TFDMemTable over one row store (db/MemStore.h).
// Rows are kept compactly, an index is one sorted array of row ids built in one pass, and a
// filter is compiled once and evaluated straight on the stored rows.
#include <memory>
#include <string>
#include <vector>

#include "platform/db/DBTypes.h"
#include "platform/db/DataSet.h"
#include "platform/db/MemStore.h"

namespace vel {

class TMemDataSet : public TDataSet {
    VEL_CLASS(TMemDataSet)
public:
    explicit TMemDataSet(TComponent* owner = nullptr);
    ~TMemDataSet() override;

    // Creates an empty table from FieldDefs (or from the persistent fields) and opens it.
    void CreateDataSet();
    // Removes every record, keeping the structure.
    void EmptyDataSet();

    // Ordering: IndexFieldNames ("A;B") and IndexName (one of IndexDefs) exclude each other.
    const std::string& GetIndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const std::string& v);
    const std::string& GetIndexName() const { return FIndexName; }
    void SetIndexName(const std::string& v);
    TIndexDefs& GetIndexDefs() { return FIndexDefs; }
    TIndexDefs* GetIndexDefsObject() { return &FIndexDefs; }
    void AddIndex(const std::string& name, const std::string& fields, TIndexOptions options,
                  const std::string& descFields = "", const std::string& caseInsFields = "");
    void DeleteIndex(const std::string& name);

    const std::string& GetCommandText() const { return FCommandText; }
    void SetCommandText(const std::string& v) { FCommandText = v; }
    // A table with a FileName loads it when opened without data.
    const std::string& GetFileName() const { return FFileName; }
    void SetFileName(const std::string& v) { FFileName = v; }
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);

    // Our own binary format (see docs/ARCHITECTURE.md); written to a temporary file and
    // renamed. A damaged file raises EDatabaseError and leaves the table as it was.
    void SaveToFile(const std::string& fileName);
    void LoadFromFile(const std::string& fileName);

    // RecordCount reads every row first; RecNo counts the rows read so far, which come first.
    int GetRecordCount() const override;
    int GetRecNo() const override;
    void SetRecNo(int v) override;
    // Record numbers mean something once every row is read.
    bool IsSequenced() const override { return !MoreToFetch(); }
    bool BookmarkValid(const TBookmark& b) override;
    int CompareBookmarks(const TBookmark& a, const TBookmark& b) override;
    bool GetFieldData(TField* field, void* buffer) override;
    bool GetFieldString(TField* field, std::string& out, bool wide) override;
    void SetFieldData(TField* field, const void* buffer) override;
    bool GetBlobFieldData(TField* field, std::string& out) override;
    void SetBlobFieldData(TField* field, const std::string& value) override;

    // Searched straight in the rows; the record window moves only when Locate finds one.
    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) override;
    Variant Lookup(const std::string& keyFields, const Variant& keyValues,
                   const std::string& resultFields) override;

    // Bytes held by the store and the index arrays.
    std::size_t MemoryUsed() const;

protected:
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& buffer) override;
    TGetResult GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) override;
    int GetRecordSize() const override { return FStore.RowSize(); }
    void InternalOpen() override;
    void InternalClose() override;
    bool IsCursorOpen() const override { return FCursorOpen; }
    void InternalInitFieldDefs() override;
    void InternalFirst() override;
    void InternalLast() override;
    void InternalGotoBookmark(const std::uint8_t* bookmark) override;
    void InternalSetToRecord(TRecordBuffer buffer) override;
    void InternalInitRecord(TRecordBuffer buffer) override;
    void InternalAddRecord(TRecordBuffer buffer, bool append) override;
    void InternalPost() override;
    void InternalDelete() override;
    void InternalRefresh() override;
    void GetBookmarkData(TRecordBuffer buffer, std::uint8_t* data) const override;
    void SetBookmarkData(TRecordBuffer buffer, const std::uint8_t* data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) const override;
    void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag) override;
    bool DoGetCanModify() const override { return !FReadOnly; }
    void ClearCalcFields(TRecordBuffer buffer) override;
    void FilterChanged() override;
    void UpdateIndexDefs() override {}
    TRecordBuffer GetStoredRecordBuffer() override;
    void CheckDirectRow(TRecordBuffer buffer, const std::uint8_t* row) const override;

    // Rows read on demand (the SQL datasets). MoreToFetch: rows remain that the table reads by
    // itself; FetchNextRows appends the next packet of them to the store (at least one row,
    // unless none is left). The table reads on when the cursor passes the last row read, as far
    // as Locate and RecNo need, and everything before what needs every row (Last,
    // RecordCount, an ordering, saving).
    virtual bool MoreToFetch() const { return false; }
    // Whether Next may step the table's cursor inline (not when a descendant reads its rows
    // another way).
    virtual bool CanStepInline() const { return true; }
    // The store's columns were made those of the fields (on open), possibly fewer or in
    // another order than the store had: a descendant filling it adapts.
    virtual void ColumnsReconciled() {}
    virtual void FetchNextRows() {}
    // One packet read and placed in the order and view; the rows added to the store.
    std::size_t FetchPacket();
    void FetchAllRows();
    bool IsOrdered() const { return !FKeys.empty(); }

    // Turns index field names into sort keys; TFDMemTable reads :A, :D and :N suffixes.
    virtual std::vector<TMemSortKey> ParseIndexFieldNames(const std::string& names) const;
    int ColumnOf(const std::string& fieldName) const;
    // For descendants that fill the store themselves (the SQL datasets): the store, and its
    // columns defined from FieldDefs. They fill it in InternalOpen before calling ours.
    TMemStore& Store() { return FStore; }
    void DefineStoreFromFieldDefs() { StructureFromDefs(); }
    // For descendants that feed rows one at a time (a one-way cursor): whether a row image
    // passes the filter in force, and a record buffer filled from an image.
    bool ImageInView(const std::uint8_t* image, std::uint32_t id) {
        return !FViewFiltered || ImageAccepted(image, id);
    }
    void FillRecordBuffer(TRecordBuffer buffer, const std::uint8_t* image, std::uint32_t id);
    // The row image inside a record buffer, and the rest of the buffer once the image is
    // written there (bookmark, calculated fields).
    std::uint8_t* RecordImage(TRecordBuffer buffer) const { return RowImage(buffer); }
    // Inline: a one-way cursor calls it for every row it steps.
    void FinishRecordBuffer(TRecordBuffer buffer, std::uint32_t id) {
        SetHeader(buffer, id, false);
        GetCalcFields(buffer);
    }
    void CopyRecordBuffer(TRecordBuffer to, TRecordBuffer from) const;

private:
    struct Loaded;
    void StructureFromDefs();
    void ReconcileColumns();
    std::vector<TMemSortKey> CurrentKeys() const;
    std::vector<TMemSortKey> KeysOfIndex(const TIndexDef& d) const;
    void ApplyOrder(const std::vector<TMemSortKey>& keys);
    void RebuildPositions();
    void RebuildView();
    bool RowAccepted(std::uint32_t id);
    bool ImageAccepted(const std::uint8_t* image, std::uint32_t id);
    const std::vector<std::uint32_t>& View() const { return FViewFiltered ? FView : FOrder; }
    int PosInView(std::uint32_t id, bool* exact = nullptr) const;
    void PlaceInOrder(std::uint32_t id, bool isNew);
    void RemoveFromOrder(std::uint32_t id);
    void PlaceInView(std::uint32_t id);
    void ReorderKeepingRecord(const std::vector<TMemSortKey>& keys);
    // Rows appended to the store from `from` on join the order and the view.
    void JoinOrder(std::uint32_t from);
    std::uint8_t* RowImage(TRecordBuffer b) const { return b + 16; }
    // Fills a buffer's head for the stored row `id`, read in place or from the buffer's image.
    void SetHeader(TRecordBuffer buffer, std::uint32_t id, bool inPlace) const {
        *reinterpret_cast<TDirectRecordHead*>(buffer) = {
            inPlace ? FStore.Row(id) : RowImage(buffer), id,
            static_cast<std::uint8_t>(TBookmarkFlag::bfCurrent), static_cast<std::uint8_t>(inPlace)};
    }
    // The rows of the store may lie elsewhere now: buffers showing one in place follow.
    void RowsMoved();
    // Gives the stored fields whose slot holds their native value a direct slot (or none).
    void BindDirectSlots(bool bind);
    // Lets Next step the cursor inline over the view in force (when CanStepInline).
    void BindStepCursor();
    // The values of a record buffer: the stored row it shows in place, or its own image.
    const std::uint8_t* ImageOf(TRecordBuffer b) const;
    // The buffer's own image, filled from the stored row first when it showed that in place.
    std::uint8_t* CopyOnWrite(TRecordBuffer b);
    std::uint8_t* CalcArea(TRecordBuffer b) const { return b + 16 + FStore.RowSize(); }
    void AssignAutoInc(std::uint8_t* image);
    Loaded ReadFile(const std::string& fileName) const;
    // Position in the view of the first row matching, -1 when none, -2 when a key field is
    // not stored (calculated) and the generic search must run.
    int FindRow(const std::string& keyFields, const Variant& keyValues, TLocateOptions options);

    TMemStore FStore;
    bool FStoreDefined = false;
    bool FCursorOpen = false;
    bool FReadOnly = false;
    int FCursor = -1;
    std::vector<std::uint32_t> FOrder;  // live rows in index order
    std::vector<std::uint32_t> FPosOf;  // row id -> position in FOrder
    std::vector<std::uint32_t> FView;   // filtered rows, in FOrder order
    bool FViewFiltered = false;
    std::vector<TMemSortKey> FKeys;     // keys FOrder follows
    std::unique_ptr<TFilterExpression> FMemFilter;  // bound to store columns
    bool FFilterOnBuffers = false;
    TRecordBuffer FFilterBuffer = nullptr;
    TRecordBuffer FStoredBuffer = nullptr;  // the stored row of the record being edited
    std::string FIndexFieldNames, FIndexName, FCommandText, FFileName;
    TIndexDefs FIndexDefs;
};

class TClientDataSet : public TMemDataSet {
    VEL_CLASS(TClientDataSet)
public:
    explicit TClientDataSet(TComponent* owner = nullptr);
};

// IndexFieldNames items may end in :A (ascending), :D (descending) or :N (case-insensitive),
// combinable as in "Name:DN".
class TFDMemTable : public TMemDataSet {
    VEL_CLASS(TFDMemTable)
public:
    explicit TFDMemTable(TComponent* owner = nullptr);

protected:
    std::vector<TMemSortKey> ParseIndexFieldNames(const std::string& names) const override;
};

}  // namespace vel
