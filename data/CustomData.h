#pragma once
// TVelDBCustomData: a dataset that owns no rows. Rows are numbered 0 .. RecordCount - 1 and a
// descendant supplies the count and each field value through the Do... hooks; the record
// buffers cache what was fetched, and a post hands the written values back through the hooks.
//
// A record buffer is an 8-byte header (the row index, which is also the 4-byte bookmark, and
// the bookmark flag) followed by one Variant cell per field of the flat field list. A cell is
// Unassigned until the hook is asked for it, Null when the row has no value, else the value.
// Every fetch of a row into a buffer empties its cells, so Refresh and Resync read the source
// again and a cancelled edit is forgotten.
//
// Filtering is by OnFilterRecord only (Filter text is not evaluated). String, wide string,
// integer and auto-increment fields are supported.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/db/DataSet.h"
#include "platform/rtl/Variant.h"

namespace vel {

class TVelDBCustomData : public TDataSet {
    VEL_CLASS(TVelDBCustomData)
public:
    explicit TVelDBCustomData(TComponent* owner = nullptr);
    ~TVelDBCustomData() override;

    // The row count of the source, filtered rows included.
    int GetRecordCount() const override;
    // Row index + 1 of the current record; -1 when there is none (or it is being inserted).
    int GetRecNo() const override;
    // Clamped to 1 .. RecordCount; a pending edit is posted first.
    void SetRecNo(int value) override;
    bool BookmarkValid(const TBookmark& bookmark) override;
    int CompareBookmarks(const TBookmark& a, const TBookmark& b) override;
    bool GetFieldData(TField* field, void* buffer) override;
    void SetFieldData(TField* field, const void* buffer) override;
    // Scan from the first row through GetRecord, so OnFilterRecord applies.
    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) override;
    Variant Lookup(const std::string& keyFields, const Variant& keyValues,
                   const std::string& resultFields) override;
    void SetFiltered(bool value) override;
    void DataEvent(TDataEvent event, std::intptr_t info) override;

    bool GetReadOnly() const { return FReadOnly; }

protected:
    // --- The hooks a descendant overrides ---
    // Sets a counter to 0, lets DoOnCountRecords fill it, returns it.
    virtual int CountRecords();
    virtual void DoOnCountRecords(int& count);
    // Row `index` is about to be removed.
    virtual void DoOnDeleteRecord(int index);
    // The value of data field `field` in row `index`; `value` arrives as Null.
    virtual void DoOnGetFieldData(int index, TField* field, Variant& value);
    // A new row is posted at `index` (the rows from `index` on move up by one).
    virtual void DoOnInsertRecord(int index);
    // A posted value of row `index` (Null included; fields never written are not handed over).
    virtual void DoOnSetFieldData(int index, TField* field, const Variant& value);
    // The row a buffer stands for: 0 for a bfBOF buffer, RecordCount for bfEOF, else its index.
    virtual int GetIndex(TRecordBuffer buffer) const;
    // GetIndex of the calculation buffer in dsCalcFields, of the active buffer otherwise.
    virtual int GetRecordIndex() const;
    virtual int GetRecordNumber() const;
    // Whether the row in the filter buffer matches the running locate.
    virtual void LocateFilter(bool& accept);
    // Only while closed; a negative count is stored as 0.
    virtual void SetRecordCount(int count);
    virtual void SetRecordNumber(int number);

    void SetReadOnly(bool value) { FReadOnly = value; }

    // --- TDataSet ---
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& buffer) override;
    int GetRecordSize() const override { return FRecordSize; }
    void InternalInitRecord(TRecordBuffer buffer) override;
    void ClearCalcFields(TRecordBuffer buffer) override;
    TGetResult GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) override;
    void InternalOpen() override;
    void InternalClose() override;
    bool IsCursorOpen() const override { return FCursorOpen; }
    void InternalInitFieldDefs() override;
    void InternalHandleException() override;
    void InternalSetToRecord(TRecordBuffer buffer) override;
    void InternalFirst() override;
    void InternalLast() override;
    void InternalGotoBookmark(const std::uint8_t* bookmark) override;
    void GetBookmarkData(TRecordBuffer buffer, std::uint8_t* data) const override;
    void SetBookmarkData(TRecordBuffer buffer, const std::uint8_t* data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) const override;
    void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag) override;
    bool DoGetCanModify() const override { return !FReadOnly; }
    void InternalAddRecord(TRecordBuffer buffer, bool append) override;
    void InternalEdit() override;
    void InternalPost() override;
    void InternalDelete() override;
    void DoOnNewRecord() override;

    // Fetches row RecordNumber +1 (gmNext), -1 (gmPrior) or +0 into `buffer`, unfiltered.
    TGetResult InternalGetRecord(TRecordBuffer buffer, TGetMode mode);
    // Scans from the first row for one matching the keys (and the filter); the record number
    // stays on it. The visible record window is not touched.
    bool LocateRecord(const std::string& keyFields, const Variant& keyValues, TLocateOptions options);
    // Stores the signature of the current set of field objects; true when it changed.
    bool FieldListChanged();

private:
    // The buffer field access works on in the current state (null when none).
    TRecordBuffer GetRecordBuffer() const;
    // The cell of `field` in `buffer`, null for a field the buffers have no cell for.
    Variant* CellOf(TRecordBuffer buffer, const TField* field) const;
    Variant* Cells(TRecordBuffer buffer) const;
    void TakeFieldLayout();

    bool FReadOnly = false;
    bool FCursorOpen = false;
    int FRecordSize = 0;
    int FRecordCount = 0;
    int FRecordNumber = -1;
    std::uint32_t FFieldListSignature = 0;
    std::vector<TField*> FModifiedFields;
    TRecordBuffer FFilterBuffer = nullptr;
    TLocateOptions FLocateOptions;
    bool FLocating = false;
    std::string FLocateFields;
    Variant FLocateValues;
    // Fields whose values the cells hold, in cell order (the flat field list when the layout
    // was last taken), and the key fields of the running locate.
    std::vector<TField*> FCellFields;
    std::vector<TField*> FLocateFieldList;
};

}  // namespace vel
