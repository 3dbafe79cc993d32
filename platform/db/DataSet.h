#pragma once
// TDataSet in the classic buffered design: a window of record buffers as large as the largest
// BufferCount of the data links, an active buffer, the cursor, and the protected virtual API a
// descendant implements to supply records.
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/db/DBTypes.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"

namespace vel {

class TDataSource;
class TDataLink;
class TFilterExpression;
class TStream;

// The head of every record buffer of a dataset that lets fields read records in place
// (TDataSet::DirectRow): where the values the buffer shows lie, and, for the in-memory table,
// the stored row, the bookmark flag and whether the values are that stored row itself.
struct TDirectRecordHead {
    const std::uint8_t* Values;
    std::uint32_t RowId;
    std::uint8_t Flag;
    std::uint8_t InPlace;
};

using TDataSetNotifyEvent = std::function<void(TDataSet* dataSet)>;
using TFilterRecordEvent = std::function<void(TDataSet* dataSet, bool& accept)>;

class TDataSet : public TComponent {
    VEL_CLASS(TDataSet)
public:
    explicit TDataSet(TComponent* owner = nullptr);
    ~TDataSet() override;

    // Opening and closing.
    bool GetActive() const { return FState != TDataSetState::dsInactive && FState != TDataSetState::dsOpening; }
    void SetActive(bool v);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState GetState() const { return FState; }

    // Fields.
    TFields& GetFields() { return FFields; }
    const TFields& GetFields() const { return FFields; }
    int GetFieldCount() const { return FFields.Count(); }
    // Every field, ADT children included, in order (parents before their children).
    const std::vector<TField*>& GetFieldList() const;
    // By name, case-insensitive (db/Fields.h, TFields); "Parent.Child" reaches into ADT fields.
    TField* FindField(std::string_view name) const {
        TField* f = FFields.FindField(name);
        return f ? f : FindNestedField(name);
    }
    // Raises "Field 'X' not found".
    TField* FieldByName(std::string_view name) const {
        TField* f = FFields.FindField(name);
        return f ? f : NestedFieldByName(name);
    }
    TFieldDefs& GetFieldDefs() { return FFieldDefs; }
    TFieldDefs* GetFieldDefList() { return &FFieldDefs; }
    bool GetDefaultFields() const { return FDefaultFields; }
    TAutoCreateMode GetAutoCreateMode() const { return FAutoCreateMode; }
    void SetAutoCreateMode(TAutoCreateMode v) { FAutoCreateMode = v; }
    // Creates automatic fields for the definitions no persistent field covers.
    void CreateFields();
    void DestroyFields();
    void GetFieldNames(std::vector<std::string>& names) const;

    // Values by field name; "A;B" gives and takes a Variant array.
    Variant GetFieldValue(const std::string& fieldNames) const;
    void SetFieldValue(const std::string& fieldNames, const Variant& v);
    Variant GetFieldValues(const std::string& fieldNames) const { return GetFieldValue(fieldNames); }
    void SetFieldValues(const std::string& fieldNames, const Variant& v) { SetFieldValue(fieldNames, v); }

    // Moves to the first record whose key fields match (several fields: a Variant array);
    // loPartialKey compares the last key as a text prefix. The cursor stays when none matches.
    virtual bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options);
    // The result fields of the first matching record, Null when none; the cursor stays.
    virtual Variant Lookup(const std::string& keyFields, const Variant& keyValues,
                           const std::string& resultFields);
    // Moves to the first or last record (restart) or one record on; Found tells whether the
    // cursor reached a record. Edits are posted first.
    virtual bool FindRecord(bool restart, bool goForward);
    bool FindFirst() { return FindRecord(true, true); }
    bool FindLast() { return FindRecord(true, false); }
    bool FindNext() { return FindRecord(false, true); }
    bool FindPrior() { return FindRecord(false, false); }
    bool GetFound() const { return FFound; }

    // Cursor.
    void First();
    void Last();
    void Next() {
        // A cursor of one buffer that nobody hears (no data source, no scroll or calculation
        // events) over rows the descendant walks by an array of row ids (SetStepCursor) steps
        // here, in place; one whose descendant steps it itself (SetStepInPlace) is asked to;
        // anything else, the end of the rows read so far included, goes the classic way.
        if (QuietStep() && !FStep.Ids) {
            FBOF = false;  // as MoveBy sets it before stepping
            if (StepInPlace(FBuffers[0])) return;
        } else if (QuietStep()) {
            // From before the first row (-1) the step goes to the first, as GetRecord does.
            const auto pos = static_cast<std::size_t>(*FStep.Pos + 1);
            if (pos < FStep.Ids->size()) {
                const std::uint32_t id = (*FStep.Ids)[pos];
                *FStep.Pos = static_cast<int>(pos);
                auto* head = reinterpret_cast<TDirectRecordHead*>(FBuffers[0]);
                head->Values = *FStep.Rows + std::size_t{id} * FStep.RowSize;
                const TDirectRecordHead shown{nullptr, id,
                                              static_cast<std::uint8_t>(TBookmarkFlag::bfCurrent), 1};
                std::memcpy(&head->RowId, &shown.RowId, 8);  // RowId, Flag, InPlace at once
                FBOF = false;
                return;
            }
        }
        MoveBy(1);
    }
    void Prior() { MoveBy(-1); }
    // Moves the cursor and returns the distance really moved (negative backwards).
    int MoveBy(int distance);
    bool GetBOF() const { return FBOF; }
    bool GetEOF() const { return FEOF; }
    bool IsEmpty() const;
    virtual int GetRecordCount() const { return -1; }
    virtual int GetRecNo() const { return -1; }
    virtual void SetRecNo(int) {}
    virtual bool IsSequenced() const { return true; }
    void Refresh();
    void Resync(TResyncMode mode);
    void UpdateCursorPos();
    void CursorPosChanged() { FCurrentRecord = -1; }

    // Editing.
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    void CheckBrowseMode();
    void UpdateRecord();
    bool GetModified() const { return FModified; }
    bool GetCanModify() const { return DoGetCanModify(); }
    void ClearFields();
    // Unmodified, Modified (edited and changed), Inserted (being inserted).
    virtual TUpdateStatus GetUpdateStatus() const;
    // Reads `field` with the dataset put in `state` for the time of the read (dsOldValue,
    // dsCurValue, dsNewValue); links see nothing.
    Variant FieldValueInState(const TField* field, TDataSetState state);
    // The stored value of a data field of the current record that the field's type could not
    // hold (TField::GetRawValue); false when there is none, as for every in-memory dataset.
    virtual bool GetRawFieldValue(const TField*, Variant&) { return false; }

    // Bookmarks are opaque; CompareBookmarks gives the cursor order as -1, 0, 1.
    TBookmark GetBookmark() const;
    void GotoBookmark(const TBookmark& b);
    virtual bool BookmarkValid(const TBookmark& b);
    virtual int CompareBookmarks(const TBookmark& a, const TBookmark& b);
    void FreeBookmark(TBookmark& b) { b.clear(); }
    bool BookmarkAvailable() const;
    int GetBookmarkSize() const { return FBookmarkSize; }

    // Links see no events while controls are disabled; the outermost EnableControls sends one.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount != 0; }
    TDataSetState SetTempState(TDataSetState v);
    void RestoreState(TDataSetState v);

    // Filter text is parsed as soon as it is set; a bad text raises and the old one stays.
    const std::string& GetFilter() const { return FFilterText; }
    void SetFilter(const std::string& v);
    bool GetFiltered() const { return FFiltered; }
    virtual void SetFiltered(bool v);
    TFilterOptions GetFilterOptions() const { return FFilterOptions; }
    void SetFilterOptions(TFilterOptions v);
    const TFilterRecordEvent& GetOnFilterRecord() const { return FOnFilterRecord; }
    void SetOnFilterRecord(TFilterRecordEvent v);

    // Notifications; a descendant may react before the links hear of the event. A cursor
    // step (Next, Prior, MoveBy) sends its check-browse and scroll events only while a data
    // source is attached: without one nobody receives them.
    virtual void DataEvent(TDataEvent event, std::intptr_t info);
    int GetBufferCount() const { return FBufferCount; }
    int GetActiveRecord() const { return FActiveRecord; }
    // Points field access at another buffered record; no event, the cursor stays.
    void SetActiveRecord(int v);
    int GetBufferedRecordCount() const { return FRecordCount; }
    void UpdateBufferCount();

    // The stored values of the active record when fields may read them in place: only while
    // browsing a dataset that allows it (SetDirectReads), whose record buffers then begin with
    // a pointer to the values the buffer shows. Null otherwise: ask GetFieldData.
    const std::uint8_t* DirectRow() const {
        if (!FDirectReads || FState != TDataSetState::dsBrowse || FRecordCount == 0) return nullptr;
        const TRecordBuffer b = FBuffers[static_cast<std::size_t>(FActiveRecord)];
        const std::uint8_t* row = *reinterpret_cast<const std::uint8_t* const*>(b);
#ifndef NDEBUG
        CheckDirectRow(b, row);
#endif
        return row;
    }

    // The start of the text area that Text slots of DirectRow point into.
    const std::uint8_t* DirectText() const { return *FDirectText; }

    // Field data in the field's native format (see each field class). A null buffer asks only
    // whether the field has a value; every dataset must accept it.
    virtual bool GetFieldData(TField* field, void* buffer) = 0;
    virtual void SetFieldData(TField* field, const void* buffer) = 0;
    // The text of a string field, as its native data reads (cut at Size bytes, or at Size
    // UTF-16 units for a wide field); false when Null. The default reads the native data into
    // a buffer of the field's size; a dataset keeping text elsewhere copies it straight out.
    virtual bool GetFieldString(TField* field, std::string& out, bool wide);
    // Blob contents, kept outside the record buffer.
    virtual bool GetBlobFieldData(TField* field, std::string& out);
    virtual void SetBlobFieldData(TField* field, const std::string& value);
    // A stream over a blob field of the active record (db/BlobStream.h); raises for a field
    // that is not a blob, and for writing outside edit or insert mode.
    virtual std::unique_ptr<TStream> CreateBlobStream(TField* field, TBlobStreamMode mode);

    // Events.
    void SetBeforeOpen(TDataSetNotifyEvent v) { FBeforeOpen = std::move(v); }
    void SetAfterOpen(TDataSetNotifyEvent v) { FAfterOpen = std::move(v); }
    void SetBeforeClose(TDataSetNotifyEvent v) { FBeforeClose = std::move(v); }
    void SetAfterClose(TDataSetNotifyEvent v) { FAfterClose = std::move(v); }
    void SetBeforeInsert(TDataSetNotifyEvent v) { FBeforeInsert = std::move(v); }
    void SetAfterInsert(TDataSetNotifyEvent v) { FAfterInsert = std::move(v); }
    void SetBeforeEdit(TDataSetNotifyEvent v) { FBeforeEdit = std::move(v); }
    void SetAfterEdit(TDataSetNotifyEvent v) { FAfterEdit = std::move(v); }
    void SetBeforePost(TDataSetNotifyEvent v) { FBeforePost = std::move(v); }
    void SetAfterPost(TDataSetNotifyEvent v) { FAfterPost = std::move(v); }
    void SetBeforeCancel(TDataSetNotifyEvent v) { FBeforeCancel = std::move(v); }
    void SetAfterCancel(TDataSetNotifyEvent v) { FAfterCancel = std::move(v); }
    void SetBeforeDelete(TDataSetNotifyEvent v) { FBeforeDelete = std::move(v); }
    void SetAfterDelete(TDataSetNotifyEvent v) { FAfterDelete = std::move(v); }
    void SetBeforeScroll(TDataSetNotifyEvent v) {
        FBeforeScroll = std::move(v);
        UpdateStepHeard();
    }
    void SetAfterScroll(TDataSetNotifyEvent v) {
        FAfterScroll = std::move(v);
        UpdateStepHeard();
    }
    void SetOnNewRecord(TDataSetNotifyEvent v) { FOnNewRecord = std::move(v); }
    void SetOnCalcFields(TDataSetNotifyEvent v) {
        FOnCalcFields = std::move(v);
        UpdateStepHeard();
    }

    void CheckActive() const;
    void CheckInactive() const;
    // A one-way cursor keeps one record buffer and cannot go back: Prior, Last, bookmarks,
    // Locate and RecNo raise; First runs the cursor again.
    bool IsUniDirectional() const { return FIsUniDirectional; }
    // Raises EDatabaseError on a unidirectional dataset.
    void CheckBiDirectional() const;

    // Internal plumbing used by fields, sources and links.
    void AddDataSource(TDataSource* s);
    void RemoveDataSource(TDataSource* s);
    void FieldAdded(TField* f);
    void FieldRemoved(TField* f);
    void FieldIndexChanged();
    TRecordBuffer ActiveBuffer() const;
    TRecordBuffer GetCalcBuffer() const { return FCalcBuffer; }
    int GetCalcFieldsSize() const { return FCalcFieldsSize; }
    // The compiled filter in force (null without one) — for descendants that evaluate it.
    const TFilterExpression* GetFilterExpression() const { return FFilterExpr.get(); }

protected:
    // --- The API a descendant implements ---
    virtual TRecordBuffer AllocRecordBuffer() = 0;
    virtual void FreeRecordBuffer(TRecordBuffer& buffer) = 0;
    virtual TGetResult GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) = 0;
    virtual int GetRecordSize() const { return 0; }
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual bool IsCursorOpen() const = 0;
    virtual void InternalInitFieldDefs() {}
    virtual void InternalFirst() = 0;
    virtual void InternalLast() = 0;
    virtual void InternalGotoBookmark(const std::uint8_t* bookmark) = 0;
    virtual void InternalSetToRecord(TRecordBuffer buffer) = 0;
    virtual void InternalInitRecord(TRecordBuffer buffer) = 0;
    virtual void InternalAddRecord(TRecordBuffer buffer, bool append) = 0;
    virtual void InternalPost();  // checks required fields
    virtual void InternalDelete() = 0;
    virtual void InternalEdit() {}
    virtual void InternalInsert() {}
    virtual void InternalCancel() {}
    virtual void InternalRefresh() {}
    virtual void InternalHandleException();
    virtual void GetBookmarkData(TRecordBuffer buffer, std::uint8_t* data) const = 0;
    virtual void SetBookmarkData(TRecordBuffer buffer, const std::uint8_t* data) = 0;
    virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) const = 0;
    virtual void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag) = 0;
    virtual bool DoGetCanModify() const { return true; }
    // Why the dataset cannot be modified, added to the read-only error ("" = no reason).
    virtual std::string ReadOnlyReason() const { return ""; }
    [[noreturn]] void RaiseReadOnly() const;
    virtual void ClearCalcFields(TRecordBuffer buffer);
    virtual void CalculateFields(TRecordBuffer buffer);
    virtual void CalcLookupValue(TField* field);
    virtual void DoOnCalcFields();
    virtual void DoOnNewRecord();
    // The record as stored, for old and current values while the active buffer holds an
    // edit. The default answers from the active buffer (a dataset keeping no copy).
    virtual TRecordBuffer GetStoredRecordBuffer() { return ActiveBuffer(); }
    // Called when Filter, Filtered, FilterOptions or OnFilterRecord changed on an open dataset.
    virtual void FilterChanged();
    // Asks the descendant to refresh TIndexDefs from its indexes.
    virtual void UpdateIndexDefs() {}
    friend class TIndexDefs;
    friend class TFieldDefs;

    // Checked builds compare what a direct read found with what GetFieldData reads.
    virtual void CheckDirectRow(TRecordBuffer, const std::uint8_t*) const {}

    // --- Services for descendants ---
    // Fields with a slot read the active record in place while browsing (DirectRow); the
    // descendant keeps the pointer at the start of every record buffer true.
    void SetDirectReads(bool v) { FDirectReads = v; }
    // Where the pointer to the text area of Text slots is kept (it may move as text is added).
    void SetDirectText(const std::uint8_t* const* v) { FDirectText = v; }
    // A cursor that Next may step inline: the record at position p is stored row ids[p], at
    // rows + id * rowSize; pos is the descendant's cursor position, which GetRecord(gmNext)
    // would move on by one. The buffer's head is then a TDirectRecordHead showing the row in
    // place. All pointers must stay valid while set; null ids clears it.
    struct TStepCursor {
        const std::vector<std::uint32_t>* Ids = nullptr;
        int* Pos = nullptr;
        const std::uint8_t* const* Rows = nullptr;
        std::size_t RowSize = 0;
    };
    void SetStepCursor(const TStepCursor& v) {
        FStep = v;
        UpdateStepHeard();
    }
    // Next asks StepInPlace to step a quiet one-buffer cursor (when no step cursor is set).
    void SetStepInPlace(bool v) {
        FStepVirtual = v;
        UpdateStepHeard();
    }
    // Moves the cursor one record on and shows it in `active`, the only record buffer, as
    // GetRecord(gmNext) would (no calculated fields to compute); false, with nothing moved or
    // changed, when the classic step must run (the end of the rows included).
    virtual bool StepInPlace(TRecordBuffer) { return false; }
    void SetBookmarkSize(int v) { FBookmarkSize = v; }
    void SetFound(bool v) { FFound = v; }
    // A record buffer of the dataset's own, free for searches (allocated with the others).
    TRecordBuffer GetTempBuffer() const { return FTempBuffer; }
    // Builds FieldDefs from the persistent fields (ADT fields with their children).
    void InitFieldDefsFromFields();
    // Binding gives every data field the FieldNo of its definition (raising for a data field
    // without one) and calculated and lookup fields -1; unbinding sets them back to 0.
    void BindFields(bool binding);
    void SetUniDirectional(bool v) { FIsUniDirectional = v; }
    void InitRecord(TRecordBuffer buffer);
    void GetCalcFields(TRecordBuffer buffer) {
        if (FCalcFieldsSize != 0 || FInternalCalcFields || FOnCalcFields) CalcFieldsOf(buffer);
    }
    // The filter in force accepts the current record (reading it through the fields);
    // descendants call it from GetRecord with the record in the filter buffer.
    bool FilterAccepts(TRecordBuffer buffer);
    bool HasFilter() const { return FFiltered && (FFilterExpr || FOnFilterRecord); }
    // Calculated and lookup fields keep their values in an area of CalcFieldsSize bytes
    // (one null byte then the native value per field, at the field's Offset).
    bool ReadCalcField(const std::uint8_t* area, TField* field, void* out) const;
    void WriteCalcField(std::uint8_t* area, TField* field, const void* in) const;
    // Which buffer field access reads in the current state (null when none).
    TRecordBuffer GetFieldAccessBuffer() const {
        // Browsing is what scans do, once per field read.
        if (FState == TDataSetState::dsBrowse)
            return FRecordCount == 0 ? nullptr : FBuffers[static_cast<std::size_t>(FActiveRecord)];
        return FieldAccessBufferInState();
    }
    void SetModified(bool v) { FModified = v; }
    // Reads fields of the record in `buffer` (calculated fields as they are there), as a
    // Variant or a Variant array, without touching the record window.
    Variant ReadFromBuffer(TRecordBuffer buffer, const std::vector<TField*>& fields);
    // Whether the current values of `fields` match `keys` (one per field) under `options`.
    static bool KeysMatch(const std::vector<TField*>& fields, const std::vector<Variant>& keys,
                          TLocateOptions options);
    std::vector<TField*> FieldsOf(const std::string& names) const;
    static std::vector<Variant> KeyList(std::size_t count, const Variant& values);
    void SetState(TDataSetState v);
    void DoBeforeScroll();
    void DoAfterScroll();
    void ClearBuffers();
    bool GetNextRecord();
    bool GetPriorRecord();
    int GetNextRecords();
    int GetPriorRecords();
    TRecordBuffer GetBuffer(int i) const { return FBuffers[i]; }

private:
    TRecordBuffer FieldAccessBufferInState() const;
    void CalcFieldsOf(TRecordBuffer buffer);
    void OpenCursor();
    void CloseCursor();
    void SetBufferCount(int v);
    void SetCurrentRecord(int i);
    void MoveBuffer(int from, int to) {
        if (from - to == 1 || to - from == 1)  // the usual one-record step
            std::swap(FBuffers[static_cast<std::size_t>(from)], FBuffers[static_cast<std::size_t>(to)]);
        else if (from != to)
            RotateBuffer(from, to);
    }
    void RotateBuffer(int from, int to);
    // A step on a record of the only buffer, which the descendant's cursor is on, that nobody
    // hears.
    bool QuietStep() const {
        return FStepInline && FState == TDataSetState::dsBrowse && !FEOF && FBufferCount == 1 &&
               FRecordCount == 1 && FCurrentRecord == 0;
    }
    // Whether Next may step inline: a step cursor is set, and a step has no listeners and
    // calculates no fields (data sources, scroll events, calculated fields). Follows every
    // change of them.
    void UpdateStepHeard() {
        FStepInline = (FStep.Ids || FStepVirtual) && FDataSources.empty() && !FBeforeScroll && !FAfterScroll &&
                      !FOnCalcFields && FCalcFieldsSize == 0 && !FInternalCalcFields;
    }
    void ActivateBuffers();
    void FreeBuffers();
    void BeginInsertAppend();
    void EndInsertAppend();
    void CheckRequiredFields();
    void BindCalcFields();
    void CompileFilter();
    void RebuildFieldList() const;
    TField* FindNestedField(std::string_view name) const;
    TField* NestedFieldByName(std::string_view name) const;
    void NotifySources(TDataEvent event, std::intptr_t info);
    static void Fire(const TDataSetNotifyEvent& e, TDataSet* ds) { if (e) e(ds); }

    TDataSetState FState = TDataSetState::dsInactive;
    TDataSetState FDisableState = TDataSetState::dsInactive;
    TDataSetState FValueBaseState = TDataSetState::dsBrowse;  // state under a value read
    TDataEvent FEnableEvent = TDataEvent::deDataSetChange;
    int FDisableCount = 0;
    bool FBOF = true, FEOF = true, FModified = false, FDefaultFields = false;
    bool FInternalCalcFields = false;
    bool FFound = false;
    bool FIsUniDirectional = false;
    bool FDirectReads = false;
    bool FStepVirtual = false;
    bool FStepInline = false;  // a step cursor is set and nobody hears a step
    TStepCursor FStep;
    const std::uint8_t* const* FDirectText = nullptr;
    TAutoCreateMode FAutoCreateMode = TAutoCreateMode::acExclusive;
    std::vector<TRecordBuffer> FBuffers;  // BufferCount + 1 (the last is scratch)
    int FBufferCount = 0, FRecordCount = 0, FActiveRecord = 0, FCurrentRecord = -1;
    TRecordBuffer FCalcBuffer = nullptr;
    TRecordBuffer FTempBuffer = nullptr;
    int FCalcFieldsSize = 0;
    int FBookmarkSize = 0;
    TFields FFields;
    TFieldDefs FFieldDefs;
    mutable std::vector<TField*> FFieldList;
    mutable bool FFieldListValid = false;
    std::vector<TDataSource*> FDataSources;

    std::string FFilterText;
    bool FFiltered = false;
    TFilterOptions FFilterOptions;
    TFilterRecordEvent FOnFilterRecord;
    std::unique_ptr<TFilterExpression> FFilterExpr;

    TDataSetNotifyEvent FBeforeOpen, FAfterOpen, FBeforeClose, FAfterClose, FBeforeInsert,
        FAfterInsert, FBeforeEdit, FAfterEdit, FBeforePost, FAfterPost, FBeforeCancel,
        FAfterCancel, FBeforeDelete, FAfterDelete, FBeforeScroll, FAfterScroll, FOnNewRecord,
        FOnCalcFields;
};

}  // namespace vel

// The typed getters of TField read the browsed record inline (declared in Fields.h).
namespace vel {

template <class T>
[[gnu::always_inline]] inline bool TField::InPlace(TFieldSlot slot, TInlineGet get, T& v) const {
    if (FInlineGet != get || FSlot != slot) return false;
    const std::uint8_t* row = FDataSet->DirectRow();
    if (!row) return false;
    v = T{};
    if (!(row[FSlotNullByte] & FSlotNullMask)) std::memcpy(&v, row + FSlotOffset, sizeof(T));
    return true;
}

inline std::int32_t TField::GetAsInteger() const {
    std::int32_t v;
    return InPlace(TFieldSlot::Int32, TInlineGet::Integer, v) ? v : ReadAsInteger();
}
inline std::int64_t TField::GetAsLargeInt() const {
    std::int64_t v;
    return InPlace(TFieldSlot::Int64, TInlineGet::LargeInt, v) ? v : ReadAsLargeInt();
}
inline double TField::GetAsFloat() const {
    double v;
    return InPlace(TFieldSlot::Float64, TInlineGet::Float, v) ? v : ReadAsFloat();
}
inline Currency TField::GetAsCurrency() const {
    std::int64_t v;
    return InPlace(TFieldSlot::Currency, TInlineGet::Currency, v) ? Currency{v} : ReadAsCurrency();
}
inline bool TField::GetAsBoolean() const {
    std::uint8_t v;
    return InPlace(TFieldSlot::Byte, TInlineGet::Boolean, v) ? v != 0 : ReadAsBoolean();
}
inline TDateTime TField::GetAsDateTime() const {
    double v;
    return InPlace(TFieldSlot::Float64, TInlineGet::DateTime, v) ? v : ReadAsDateTime();
}

}  // namespace vel
