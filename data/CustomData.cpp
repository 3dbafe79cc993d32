#include "data/CustomData.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>

#include "platform/controls/Application.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_DEFINE_CLASS(TVelDBCustomData, TDataSet)

namespace {

struct TBufferHeader {
    std::int32_t RecordIndex;
    std::uint8_t BookmarkFlag;
    std::uint8_t Unused[3];
};
static_assert(sizeof(TBufferHeader) == 8);
constexpr int kHeaderSize = sizeof(TBufferHeader);

TBufferHeader& Header(TRecordBuffer buffer) { return *reinterpret_cast<TBufferHeader*>(buffer); }

bool IsWriteState(TDataSetState s) {
    using enum TDataSetState;
    return s == dsEdit || s == dsInsert || s == dsSetKey || s == dsCalcFields || s == dsFilter ||
           s == dsNewValue || s == dsInternalCalc;
}

bool IsNarrowText(TFieldType t) {
    return t == TFieldType::ftString || t == TFieldType::ftFixedChar || t == TFieldType::ftGuid;
}

bool IsWideText(TFieldType t) {
    return t == TFieldType::ftWideString || t == TFieldType::ftFixedWideChar;
}

bool IsInteger(TFieldType t) { return t == TFieldType::ftInteger || t == TFieldType::ftAutoInc; }

[[noreturn]] void UnsupportedType(const TField* field, const std::string& dataSetName) {
    if (field->GetDataType() == TFieldType::ftUnknown)
        DatabaseError("Field '" + field->GetDisplayName() + "' is of an unknown type", dataSetName);
    DatabaseErrorFmt("Unsupported field type (%s) in field %s",
                     {FieldTypeName(field->GetDataType()), field->GetDisplayName()}, dataSetName);
}

// The value in the field's native layout, never past its data size: text is cut at a
// character boundary so that it and its terminator fit.
void ValueToNative(const TField* field, const Variant& value, void* out, const std::string& dsName) {
    TFieldType t = field->GetDataType();
    const std::size_t size = static_cast<std::size_t>(std::max(field->GetDataSize(), 0));
    if (IsNarrowText(t)) {
        if (size == 0) return;
        std::string text = VarToStr(value);
        std::size_t n = std::min(text.size(), size - 1);
        while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
        std::memcpy(out, text.data(), n);
        static_cast<char*>(out)[n] = 0;
    } else if (IsWideText(t)) {
        const std::size_t room = size / 2;
        if (room == 0) return;
        std::string text = VarToStr(value);
        auto* w = static_cast<char16_t*>(out);
        std::size_t n = 0, pos = 0;
        while (pos < text.size()) {
            char32_t cp = Utf8Decode(text, pos);
            std::size_t units = cp >= 0x10000 ? 2 : 1;
            if (n + units > room - 1) break;
            if (units == 2) {
                w[n++] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                w[n++] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                w[n++] = static_cast<char16_t>(cp);
            }
        }
        w[n] = 0;
    } else if (IsInteger(t)) {
        std::int32_t v = value.AsInteger();
        std::memcpy(out, &v, sizeof v);
    } else {
        UnsupportedType(field, dsName);
    }
}

// A caller's native data as a value; text is read no further than the field's data size.
Variant NativeToValue(const TField* field, const void* in, const std::string& dsName) {
    TFieldType t = field->GetDataType();
    const std::size_t size = static_cast<std::size_t>(std::max(field->GetDataSize(), 0));
    if (IsNarrowText(t)) {
        const char* s = static_cast<const char*>(in);
        return Variant(std::string(s, size == 0 ? 0 : strnlen(s, size - 1)));
    }
    if (IsWideText(t)) {
        const auto* w = static_cast<const char16_t*>(in);
        const std::size_t room = size / 2 == 0 ? 0 : size / 2 - 1;
        std::string text;
        for (std::size_t i = 0; i < room && w[i]; ++i) {
            char32_t cp = w[i];
            if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < room && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (w[i + 1] - 0xDC00);
                ++i;
            }
            Utf8Append(text, cp);
        }
        return Variant(std::move(text));
    }
    if (IsInteger(t)) {
        std::int32_t v;
        std::memcpy(&v, in, sizeof v);
        return Variant(v);
    }
    UnsupportedType(field, dsName);
}

}  // namespace

TVelDBCustomData::TVelDBCustomData(TComponent* owner) : TDataSet(owner) {}

TVelDBCustomData::~TVelDBCustomData() {
    // The buffers hold Variants only this class knows how to release.
    if (GetActive()) Close();
}

// ---------------------------------------------------------------- hooks

int TVelDBCustomData::CountRecords() {
    int count = 0;
    DoOnCountRecords(count);
    return count;
}

void TVelDBCustomData::DoOnCountRecords(int&) {}
void TVelDBCustomData::DoOnDeleteRecord(int) {}
void TVelDBCustomData::DoOnGetFieldData(int, TField*, Variant&) {}
void TVelDBCustomData::DoOnInsertRecord(int) {}
void TVelDBCustomData::DoOnSetFieldData(int, TField*, const Variant&) {}

int TVelDBCustomData::GetIndex(TRecordBuffer buffer) const {
    switch (GetBookmarkFlag(buffer)) {
        case TBookmarkFlag::bfBOF: return 0;
        case TBookmarkFlag::bfEOF: return FRecordCount;
        default: return Header(buffer).RecordIndex;
    }
}

int TVelDBCustomData::GetRecordIndex() const {
    return GetIndex(GetState() == TDataSetState::dsCalcFields ? GetCalcBuffer() : ActiveBuffer());
}

int TVelDBCustomData::GetRecordNumber() const { return FRecordNumber; }
void TVelDBCustomData::SetRecordNumber(int number) { FRecordNumber = number; }

void TVelDBCustomData::SetRecordCount(int count) {
    CheckInactive();
    FRecordCount = std::max(count, 0);
}

// ---------------------------------------------------------------- open and close

void TVelDBCustomData::InternalInitFieldDefs() {
    if (GetFieldDefs().Count() == 0 && GetFields().Count() > 0) InitFieldDefsFromFields();
}

void TVelDBCustomData::InternalOpen() {
    FCursorOpen = true;
    SetRecordNumber(-1);
    SetBookmarkSize(4);
    GetFieldDefs().SetUpdated(false);
    GetFieldDefs().Update();
    if (GetDefaultFields() || GetAutoCreateMode() != TAutoCreateMode::acExclusive) CreateFields();
    FieldListChanged();
    BindFields(true);
    TakeFieldLayout();
    FRecordSize = kHeaderSize + static_cast<int>(sizeof(Variant) * FCellFields.size());
    SetRecordCount(CountRecords());
}

void TVelDBCustomData::InternalClose() {
    SetRecordCount(0);
    BindFields(false);
    DestroyFields();
    FCellFields.clear();
    FModifiedFields.clear();
    FLocateFieldList.clear();
    FFilterBuffer = nullptr;
    FCursorOpen = false;
}

void TVelDBCustomData::TakeFieldLayout() { FCellFields = GetFieldList(); }

bool TVelDBCustomData::FieldListChanged() {
    std::function<std::uint32_t(const TFields&)> signature = [&](const TFields& fields) {
        std::uint32_t sum = 0;
        for (int i = 0; i < fields.Count(); ++i) {
            TField* f = fields[i];
            sum += static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(f) >> (i % 16));
            if (auto* o = dynamic_cast<TObjectField*>(f)) sum += signature(o->GetFields());
        }
        return sum;
    };
    std::uint32_t now = signature(GetFields());
    bool changed = now != FFieldListSignature;
    FFieldListSignature = now;
    return changed;
}

void TVelDBCustomData::DataEvent(TDataEvent event, std::intptr_t info) {
    // Cells follow the order of the field list; a reordered list is read again.
    if (event == TDataEvent::deLayoutChange && GetActive() && FieldListChanged()) {
        CheckBrowseMode();
        UpdateCursorPos();
        if (GetFieldList().size() == FCellFields.size()) TakeFieldLayout();
        Resync({});
    }
    TDataSet::DataEvent(event, info);
}

void TVelDBCustomData::InternalHandleException() { Application().HandleException(this); }

// ---------------------------------------------------------------- buffers

Variant* TVelDBCustomData::Cells(TRecordBuffer buffer) const {
    return std::launder(reinterpret_cast<Variant*>(buffer + kHeaderSize));
}

Variant* TVelDBCustomData::CellOf(TRecordBuffer buffer, const TField* field) const {
    auto it = std::find(FCellFields.begin(), FCellFields.end(), field);
    if (it == FCellFields.end()) return nullptr;
    return Cells(buffer) + (it - FCellFields.begin());
}

TRecordBuffer TVelDBCustomData::AllocRecordBuffer() {
    auto* buffer = static_cast<TRecordBuffer>(::operator new(static_cast<std::size_t>(FRecordSize)));
    std::memset(buffer, 0, kHeaderSize);
    auto* cells = reinterpret_cast<Variant*>(buffer + kHeaderSize);
    for (std::size_t i = 0; i < FCellFields.size(); ++i) new (cells + i) Variant();
    return buffer;
}

void TVelDBCustomData::FreeRecordBuffer(TRecordBuffer& buffer) {
    if (!buffer) return;
    std::size_t count = (static_cast<std::size_t>(FRecordSize) - kHeaderSize) / sizeof(Variant);
    Variant* cells = Cells(buffer);
    for (std::size_t i = 0; i < count; ++i) cells[i].~Variant();
    ::operator delete(buffer);
    buffer = nullptr;
}

void TVelDBCustomData::InternalInitRecord(TRecordBuffer buffer) {
    Variant* cells = Cells(buffer);
    for (std::size_t i = 0; i < FCellFields.size(); ++i) cells[i] = Variant::Null();
}

void TVelDBCustomData::ClearCalcFields(TRecordBuffer buffer) {
    Variant* cells = Cells(buffer);
    for (std::size_t i = 0; i < FCellFields.size(); ++i) {
        TFieldKind k = FCellFields[i]->GetFieldKind();
        if (k == TFieldKind::fkCalculated || k == TFieldKind::fkLookup) cells[i] = Variant::Null();
    }
}

TRecordBuffer TVelDBCustomData::GetRecordBuffer() const {
    using enum TDataSetState;
    switch (GetState()) {
        case dsBrowse:
        case dsBlockRead: return IsEmpty() ? nullptr : ActiveBuffer();
        case dsEdit:
        case dsInsert:
        case dsNewValue: return ActiveBuffer();
        case dsCalcFields:
        case dsInternalCalc: return GetCalcBuffer();
        case dsFilter: return FFilterBuffer;
        default: return nullptr;
    }
}

// ---------------------------------------------------------------- fetching

TGetResult TVelDBCustomData::InternalGetRecord(TRecordBuffer buffer, TGetMode mode) {
    int index = GetRecordNumber();
    if (mode == TGetMode::gmNext)
        ++index;
    else if (mode == TGetMode::gmPrior)
        --index;
    if (index < 0) return TGetResult::grBOF;
    if (index >= FRecordCount) return TGetResult::grEOF;
    SetRecordNumber(index);
    Header(buffer).RecordIndex = index;
    SetBookmarkFlag(buffer, TBookmarkFlag::bfCurrent);
    Variant* cells = Cells(buffer);
    for (std::size_t i = 0; i < FCellFields.size(); ++i) cells[i] = Variant();
    GetCalcFields(buffer);
    return TGetResult::grOK;
}

TGetResult TVelDBCustomData::GetRecord(TRecordBuffer buffer, TGetMode mode, bool) {
    const bool filtering = GetFiltered() && GetOnFilterRecord();
    if (!filtering && !FLocating) return InternalGetRecord(buffer, mode);
    TRecordBuffer outerFilterBuffer = FFilterBuffer;
    FFilterBuffer = buffer;
    TDataSetState saved = SetTempState(TDataSetState::dsFilter);
    TScopeExit restore([&] {
        RestoreState(saved);
        FFilterBuffer = outerFilterBuffer;
    });
    TGetResult result = TGetResult::grError;
    try {
        bool accept = false;
        do {
            result = InternalGetRecord(buffer, mode);
            if (result != TGetResult::grOK) break;
            accept = true;
            if (FLocating) LocateFilter(accept);
            if (accept && filtering) GetOnFilterRecord()(this, accept);
            if (!accept && mode == TGetMode::gmCurrent) result = TGetResult::grError;
        } while (!accept && result == TGetResult::grOK);
    } catch (...) {
        result = TGetResult::grError;
        InternalHandleException();
    }
    return result;
}

// ---------------------------------------------------------------- cursor and bookmarks

void TVelDBCustomData::InternalFirst() { SetRecordNumber(-1); }
void TVelDBCustomData::InternalLast() { SetRecordNumber(FRecordCount); }

void TVelDBCustomData::InternalSetToRecord(TRecordBuffer buffer) {
    SetRecordNumber(Header(buffer).RecordIndex);
}

void TVelDBCustomData::InternalGotoBookmark(const std::uint8_t* bookmark) {
    std::int32_t index;
    std::memcpy(&index, bookmark, sizeof index);
    SetRecordNumber(index);
}

void TVelDBCustomData::GetBookmarkData(TRecordBuffer buffer, std::uint8_t* data) const {
    std::memcpy(data, &Header(buffer).RecordIndex, 4);
}

void TVelDBCustomData::SetBookmarkData(TRecordBuffer buffer, const std::uint8_t* data) {
    std::memcpy(&Header(buffer).RecordIndex, data, 4);
}

TBookmarkFlag TVelDBCustomData::GetBookmarkFlag(TRecordBuffer buffer) const {
    return static_cast<TBookmarkFlag>(Header(buffer).BookmarkFlag);
}

void TVelDBCustomData::SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag) {
    Header(buffer).BookmarkFlag = static_cast<std::uint8_t>(flag);
}

bool TVelDBCustomData::BookmarkValid(const TBookmark& bookmark) {
    if (bookmark.size() != 4) return false;
    std::int32_t index;
    std::memcpy(&index, bookmark.data(), 4);
    return index >= 0 && index < FRecordCount;
}

int TVelDBCustomData::CompareBookmarks(const TBookmark& a, const TBookmark& b) {
    if (a.empty() && b.empty()) return 0;
    if (b.empty()) return -1;
    if (a.empty()) return 1;
    std::int32_t x = 0, y = 0;
    std::memcpy(&x, a.data(), std::min<std::size_t>(4, a.size()));
    std::memcpy(&y, b.data(), std::min<std::size_t>(4, b.size()));
    return x < y ? -1 : x > y ? 1 : 0;
}

int TVelDBCustomData::GetRecordCount() const { return FRecordCount; }

int TVelDBCustomData::GetRecNo() const {
    CheckActive();
    const bool calc = GetState() == TDataSetState::dsCalcFields;
    TRecordBuffer buffer = calc ? GetCalcBuffer() : ActiveBuffer();
    if (FRecordCount == 0 || !buffer || (!calc && IsEmpty()) ||
        GetBookmarkFlag(buffer) != TBookmarkFlag::bfCurrent)
        return -1;
    return Header(buffer).RecordIndex + 1;
}

void TVelDBCustomData::SetRecNo(int value) {
    // A number past either end goes to that end rather than emptying the record window.
    CheckBrowseMode();
    if (FRecordCount == 0) return;
    value = std::clamp(value, 1, FRecordCount);
    if (GetRecNo() == value) return;
    DoBeforeScroll();
    SetRecordNumber(value - 1);
    Resync(TResyncMode{TResyncModeItem::rmCenter});
    DoAfterScroll();
}

void TVelDBCustomData::SetFiltered(bool value) {
    if (value == GetFiltered()) return;
    if (GetActive()) CheckBrowseMode();
    TDataSet::SetFiltered(value);
}

// ---------------------------------------------------------------- field values

bool TVelDBCustomData::GetFieldData(TField* field, void* buffer) {
    TRecordBuffer record = GetRecordBuffer();
    if (!record) return false;
    Variant* cell = CellOf(record, field);
    if (!cell) return false;
    if (cell->IsEmpty() && field->GetFieldNo() > 0) {
        Variant value = Variant::Null();
        DoOnGetFieldData(GetIndex(record), field, value);
        *cell = std::move(value);
    }
    if (cell->IsNull() || cell->IsEmpty()) return false;
    if (buffer) ValueToNative(field, *cell, buffer, GetName());
    return true;
}

void TVelDBCustomData::SetFieldData(TField* field, const void* buffer) {
    const TDataSetState state = GetState();
    if (!IsWriteState(state)) DatabaseError("Dataset not in edit or insert mode", GetName());
    TRecordBuffer record = GetRecordBuffer();
    Variant* cell = record ? CellOf(record, field) : nullptr;
    if (!cell) DatabaseError("Dataset not in edit or insert mode", GetName());
    const bool dataField = field->GetFieldNo() > 0;
    if (dataField && field->GetReadOnly() && state != TDataSetState::dsSetKey &&
        state != TDataSetState::dsFilter)
        DatabaseError("Field '" + field->GetDisplayName() + "' cannot be modified", GetName());
    Variant value = buffer ? NativeToValue(field, buffer, GetName()) : Variant::Null();
    if (dataField) {
        field->Validate(buffer);
        if (std::find(FModifiedFields.begin(), FModifiedFields.end(), field) == FModifiedFields.end())
            FModifiedFields.push_back(field);
    }
    *cell = std::move(value);
    using enum TDataSetState;
    if (state != dsCalcFields && state != dsFilter && state != dsNewValue && state != dsInternalCalc)
        DataEvent(TDataEvent::deFieldChange, reinterpret_cast<std::intptr_t>(field));
}

// ---------------------------------------------------------------- editing

void TVelDBCustomData::InternalEdit() { FModifiedFields.clear(); }

void TVelDBCustomData::DoOnNewRecord() {
    FModifiedFields.clear();
    TDataSet::DoOnNewRecord();
}

void TVelDBCustomData::InternalAddRecord(TRecordBuffer buffer, bool append) {
    if (append) SetBookmarkFlag(buffer, TBookmarkFlag::bfEOF);
    InternalPost();
}

void TVelDBCustomData::InternalPost() {
    TDataSet::InternalPost();
    UpdateCursorPos();
    const int index = GetRecordIndex();
    const bool inserting = GetState() == TDataSetState::dsInsert;
    if (inserting) DoOnInsertRecord(index);
    TRecordBuffer record = ActiveBuffer();
    try {
        for (TField* f : std::vector<TField*>(FModifiedFields)) {
            Variant* cell = CellOf(record, f);
            if (cell && !cell->IsEmpty()) DoOnSetFieldData(index, f, *cell);
        }
    } catch (...) {
        // A refused value takes the new row out again, so that the insert can be posted
        // once more (the edit buffer keeps what was typed).
        if (inserting) DoOnDeleteRecord(index);
        throw;
    }
    if (inserting) ++FRecordCount;
}

void TVelDBCustomData::InternalDelete() {
    DoOnDeleteRecord(GetRecordIndex());
    --FRecordCount;
}

// ---------------------------------------------------------------- locate and lookup

bool TVelDBCustomData::LocateRecord(const std::string& keyFields, const Variant& keyValues,
                                    TLocateOptions options) {
    CheckBrowseMode();
    UpdateCursorPos();
    CursorPosChanged();
    FLocateFieldList = FieldsOf(keyFields);
    FLocateFields = keyFields;
    FLocateValues = keyValues;
    FLocateOptions = options;
    TRestore<bool> locating(FLocating, true);
    SetRecordNumber(-1);
    return GetRecord(GetTempBuffer(), TGetMode::gmNext, true) == TGetResult::grOK;
}

void TVelDBCustomData::LocateFilter(bool& accept) {
    const bool caseInsensitive = FLocateOptions.Contains(TLocateOption::loCaseInsensitive);
    const bool partialKey = FLocateOptions.Contains(TLocateOption::loPartialKey);
    auto same = [&](const Variant& value, const Variant& key, bool lastKey) {
        const bool partial = partialKey && lastKey;
        if ((caseInsensitive || partial) && VarIsStr(value) && VarIsStr(key)) {
            std::string text = value.AsString();
            const std::string keyText = key.AsString();
            if (partial) text = Utf8Copy(text, 0, Utf8Length(keyText));
            return caseInsensitive ? Utf8SameText(text, keyText) : text == keyText;
        }
        return value == key;
    };
    Variant current;
    if (FLocateFieldList.size() == 1) {
        current = FLocateFieldList[0]->GetAsVariant();
    } else {
        std::vector<Variant> items;
        items.reserve(FLocateFieldList.size());
        for (TField* f : FLocateFieldList) items.push_back(f->GetAsVariant());
        current = VarArrayOf(std::move(items));
    }
    if (current.IsArray() && FLocateValues.IsArray()) {
        const auto& values = current.AsArray();
        const auto& keys = FLocateValues.AsArray();
        accept = values.size() == keys.size();
        for (std::size_t i = 0; accept && i < values.size(); ++i)
            accept = same(values[i], keys[i], i + 1 == values.size());
    } else if (current.IsArray() || FLocateValues.IsArray()) {
        accept = false;
    } else {
        accept = same(current, FLocateValues, true);
    }
}

bool TVelDBCustomData::Locate(const std::string& keyFields, const Variant& keyValues,
                              TLocateOptions options) {
    DoBeforeScroll();
    if (!LocateRecord(keyFields, keyValues, options)) return false;
    Resync(TResyncMode{TResyncModeItem::rmExact, TResyncModeItem::rmCenter});
    DoAfterScroll();
    return true;
}

Variant TVelDBCustomData::Lookup(const std::string& keyFields, const Variant& keyValues,
                                 const std::string& resultFields) {
    std::vector<TField*> results = FieldsOf(resultFields);
    if (!LocateRecord(keyFields, keyValues, {})) return Variant::Null();
    // The row is in the search buffer with its calculated fields; the cursor did not move.
    return ReadFromBuffer(GetTempBuffer(), results);
}

}  // namespace vel
