#include "platform/db/ClientDataSet.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/TypInfo.h"
#include "platform/db/FilterExpr.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_DEFINE_CLASS(TMemDataSet, TDataSet)
VEL_DEFINE_CREATABLE_CLASS(TClientDataSet, TMemDataSet)
VEL_DEFINE_CREATABLE_CLASS(TFDMemTable, TMemDataSet)

// Each face publishes what its classic class does; the SQL datasets built on the same table
// publish their own sets, so the ordering and filter registries see the classic names only.
VEL_PUBLISHED(TClientDataSet) {
    Prop("IndexFieldNames", &T::GetIndexFieldNames, &T::SetIndexFieldNames).Default(std::string());
    Prop("IndexName", &T::GetIndexName, &T::SetIndexName).Default(std::string());
    Prop("IndexDefs", &T::GetIndexDefsObject);
    Prop("CommandText", &T::GetCommandText, &T::SetCommandText).Default(std::string());
    Prop("FileName", &T::GetFileName, &T::SetFileName).Default(std::string());
    Prop("ReadOnly", &T::GetReadOnly, &T::SetReadOnly, false);
}

VEL_PUBLISHED(TFDMemTable) {
    Prop("IndexFieldNames", &T::GetIndexFieldNames, &T::SetIndexFieldNames).Default(std::string());
    Prop("IndexName", &T::GetIndexName, &T::SetIndexName).Default(std::string());
    Prop("IndexDefs", &T::GetIndexDefsObject);
    Prop("ReadOnly", &T::GetReadOnly, &T::SetReadOnly, false);
}

namespace {

constexpr std::uint32_t kNoPos = UINT32_MAX;

// The head of a record buffer. A record read in browse mode is not copied: InPlace says its
// values are those of the stored row RowId, read where they lie; the buffer's own image is
// filled (CopyOnWrite) only when something writes to it. Values points at the values the
// buffer shows (the stored row or the buffer's image) for fields that read them in place
// (TDataSet::DirectRow): it must follow every change of RowId, InPlace and of where the rows
// lie.
using Header = TDirectRecordHead;
constexpr std::size_t kHeaderSize = 16;
static_assert(sizeof(Header) == kHeaderSize);

Header& Hdr(TRecordBuffer b) { return *reinterpret_cast<Header*>(b); }

bool WriteState(TDataSetState s) {
    using enum TDataSetState;
    return s == dsEdit || s == dsInsert || s == dsSetKey || s == dsCalcFields || s == dsFilter ||
           s == dsNewValue || s == dsInternalCalc;
}

bool IsWide(TFieldType t) { return t == TFieldType::ftWideString || t == TFieldType::ftFixedWideChar; }

// UTF-8 text as UTF-16 in at most cap units (a code point that does not fit is left out), with
// a terminator after them; the units written.
std::size_t ToUtf16(std::string_view t, char16_t* w, std::size_t cap) {
    std::size_t n = 0, pos = 0;
    while (pos < t.size()) {
        char32_t cp = Utf8Decode(t, pos);
        if (cp >= 0x10000) {
            if (n + 2 > cap) break;
            w[n++] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            w[n++] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            if (n + 1 > cap) break;
            w[n++] = static_cast<char16_t>(cp);
        }
    }
    w[n] = 0;
    return n;
}

// Narrow text as a field of `size` bytes holds it: cut at a character boundary and at the first
// NUL.
std::string_view NarrowCut(std::string_view t, std::size_t size) {
    std::size_t n = std::min(t.size(), size);
    while (n > 0 && n < t.size() && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
    t = t.substr(0, n);
    if (const void* z = n ? std::memchr(t.data(), 0, n) : nullptr)
        t = t.substr(0, static_cast<std::size_t>(static_cast<const char*>(z) - t.data()));
    return t;
}

}  // namespace

TMemDataSet::TMemDataSet(TComponent* owner) : TDataSet(owner), FIndexDefs(this) {}
TMemDataSet::~TMemDataSet() {
    if (GetActive()) Close();
}

TClientDataSet::TClientDataSet(TComponent* owner) : TMemDataSet(owner) {}
TFDMemTable::TFDMemTable(TComponent* owner) : TMemDataSet(owner) {}

// ---------------------------------------------------------------- structure

void TMemDataSet::StructureFromDefs() {
    std::vector<TMemColumn> cols;
    for (int i = 0; i < GetFieldDefs().Count(); ++i) {
        TFieldDef* d = GetFieldDefs()[i];
        if (d->GetDataType() == TFieldType::ftADT) {
            for (int j = 0; j < d->GetChildDefs().Count(); ++j) {
                TFieldDef* c = d->GetChildDefs()[j];
                cols.push_back({d->GetName() + "." + c->GetName(), c->GetDataType(),
                                MemKindOf(c->GetDataType()), c->GetSize()});
            }
            continue;
        }
        cols.push_back({d->GetName(), d->GetDataType(), MemKindOf(d->GetDataType()), d->GetSize()});
    }
    FStore.Define(std::move(cols));
    FStoreDefined = true;
}

void TMemDataSet::CreateDataSet() {
    CheckInactive();
    if (GetFieldDefs().Count() == 0) {
        for (TField* f : GetFields()) {
            if (f->GetFieldKind() != TFieldKind::fkData && f->GetFieldKind() != TFieldKind::fkInternalCalc)
                continue;
            TFieldDef* d = GetFieldDefs().Add(f->GetFieldName(), f->GetDataType(),
                                              IsStringType(f->GetDataType()) ? f->GetSize() : 0,
                                              f->GetRequired());
            d->SetInternalCalcField(f->GetFieldKind() == TFieldKind::fkInternalCalc);
        }
    }
    if (GetFieldDefs().Count() == 0) DatabaseError("Field definitions are missing", GetName());
    // Validate every definition before the old table is dropped.
    for (int i = 0; i < GetFieldDefs().Count(); ++i) {
        TFieldDef* d = GetFieldDefs()[i];
        // An ADT is stored as its children.
        if (d->GetDataType() == TFieldType::ftADT)
            for (int j = 0; j < d->GetChildDefs().Count(); ++j)
                MemKindOf(d->GetChildDefs()[j]->GetDataType());
        else
            MemKindOf(d->GetDataType());
    }
    StructureFromDefs();
    Open();
}

// The store gets a column for every data and internal calculated field; columns of fields
// added since (tree fields, for example) start as Null, values of the others are kept.
void TMemDataSet::ReconcileColumns() {
    std::vector<TMemColumn> want;
    std::vector<TField*> fields;
    for (TField* f : GetFieldList()) {
        if (dynamic_cast<TObjectField*>(f)) continue;
        if (f->GetFieldKind() != TFieldKind::fkData && f->GetFieldKind() != TFieldKind::fkInternalCalc)
            continue;
        want.push_back({f->GetFullName(), f->GetDataType(), MemKindOf(f->GetDataType()), f->GetSize()});
        fields.push_back(f);
    }
    const auto& have = FStore.Columns();
    bool same = want.size() == have.size();
    for (std::size_t i = 0; same && i < want.size(); ++i)
        same = Utf8SameText(want[i].Name, have[i].Name) && want[i].Kind == have[i].Kind;
    if (!same) {
        TMemStore fresh;
        fresh.Define(want);
        std::vector<int> from(want.size(), -1);
        for (std::size_t i = 0; i < want.size(); ++i)
            for (std::size_t j = 0; j < have.size(); ++j)
                if (Utf8SameText(want[i].Name, have[j].Name) && want[i].Kind == have[j].Kind)
                    from[i] = static_cast<int>(j);
        fresh.ReserveRows(FStore.RowCapacityUsed());
        std::vector<std::uint8_t> img(fresh.RowSize());
        for (std::uint32_t id = 0; id < FStore.RowCapacityUsed(); ++id) {
            std::fill(img.begin(), img.end(), 0);
            const std::uint8_t* old = FStore.Row(id);
            for (std::size_t i = 0; i < want.size(); ++i) {
                const TMemColumn& c = fresh.Columns()[i];
                int j = from[i];
                bool isNull = j < 0 || FStore.IsNull(old, j);
                TMemStore::SetNullBit(img.data(), c.NullBit, isNull);
                if (isNull) continue;
                if (c.Kind == TMemColKind::Str || c.Kind == TMemColKind::Blob)
                    fresh.PutText(img.data(), static_cast<int>(i), FStore.Text(old, j));
                else
                    std::memcpy(img.data() + c.Offset, old + have[j].Offset, MemSlotSize(c.Kind));
            }
            std::uint32_t nid = fresh.AppendRow(img.data());
            if (!FStore.IsLive(id)) fresh.DeleteRow(nid);
        }
        FStore = std::move(fresh);
    }
    for (std::size_t i = 0; i < fields.size(); ++i) fields[i]->SetOffset(static_cast<int>(i));
    ColumnsReconciled();
}

int TMemDataSet::ColumnOf(const std::string& fieldName) const {
    TField* f = FindField(fieldName);
    if (!f) DatabaseError("Field '" + fieldName + "' not found", GetName());
    if (f->GetFieldKind() != TFieldKind::fkData && f->GetFieldKind() != TFieldKind::fkInternalCalc)
        DatabaseError("Field '" + fieldName + "' is calculated and cannot be indexed", GetName());
    return f->GetOffset();
}

void TMemDataSet::InternalInitFieldDefs() {
    if (GetFieldDefs().Count() > 0 || !FStoreDefined) return;
    for (const TMemColumn& c : FStore.Columns()) {
        if (c.Name.find('.') != std::string::npos) continue;
        GetFieldDefs().Add(c.Name, c.Type, IsStringType(c.Type) ? c.Size : 0);
    }
}

void TMemDataSet::InternalOpen() {
    if (!FStoreDefined) {
        if (FFileName.empty()) DatabaseError("Missing data provider or data packet", GetName());
        LoadFromFile(FFileName);
        if (GetActive()) return;
    }
    GetFieldDefs().SetUpdated(false);
    GetFieldDefs().Update();
    if (GetDefaultFields() || GetAutoCreateMode() != TAutoCreateMode::acExclusive) CreateFields();
    ReconcileColumns();
    SetBookmarkSize(4);
    FCursorOpen = true;
    FCursor = -1;
    FKeys.clear();
    std::vector<TMemSortKey> keys;
    try {
        keys = CurrentKeys();
    } catch (...) {
        // An index naming a field the table no longer has is dropped, not fatal.
        FIndexFieldNames.clear();
        FIndexName.clear();
    }
    if (!keys.empty()) FetchAllRows();  // an order needs every row
    ApplyOrder(keys);
    BindDirectSlots(true);
    SetDirectText(FStore.TextRef());
    SetDirectReads(true);
    BindStepCursor();
}

void TMemDataSet::InternalClose() {
    FCursorOpen = false;
    SetDirectReads(false);
    BindDirectSlots(false);
    SetStepCursor({});
    if (FFilterBuffer) FreeRecordBuffer(FFilterBuffer);
    if (FStoredBuffer) FreeRecordBuffer(FStoredBuffer);
    FOrder.clear();
    FOrder.shrink_to_fit();
    FPosOf.clear();
    FPosOf.shrink_to_fit();
    FView.clear();
    FViewFiltered = false;
    FMemFilter.reset();
    DestroyFields();
}

void TMemDataSet::EmptyDataSet() {
    CheckActive();
    CheckBrowseMode();
    std::vector<TMemColumn> cols = FStore.Columns();
    FStore.Define(cols);
    RowsMoved();
    ApplyOrder(FKeys);
    BindStepCursor();
    First();
}

void TMemDataSet::SetReadOnly(bool v) {
    if (v == FReadOnly) return;
    if (GetActive()) CheckBrowseMode();
    FReadOnly = v;
    if (GetActive()) DataEvent(TDataEvent::deUpdateState, 0);
}

std::size_t TMemDataSet::MemoryUsed() const {
    return FStore.MemoryUsed() + (FOrder.capacity() + FPosOf.capacity() + FView.capacity()) * 4;
}

// ---------------------------------------------------------------- order and view

std::vector<TMemSortKey> TMemDataSet::ParseIndexFieldNames(const std::string& names) const {
    std::vector<TMemSortKey> keys;
    for (const std::string& n : SplitFieldNames(names)) keys.push_back({ColumnOf(n), false, false});
    return keys;
}

std::vector<TMemSortKey> TFDMemTable::ParseIndexFieldNames(const std::string& names) const {
    std::vector<TMemSortKey> keys;
    for (const std::string& item : SplitFieldNames(names)) {
        std::string name = item;
        TMemSortKey k;
        std::size_t colon = item.rfind(':');
        if (colon != std::string::npos) {
            std::string opts = Utf8UpperCase(item.substr(colon + 1));
            if (opts.empty() || opts.find_first_not_of("ADN") != std::string::npos)
                DatabaseError("Invalid index field suffix in '" + item + "'", GetName());
            name = item.substr(0, colon);
            k.Descending = opts.find('D') != std::string::npos;
            k.CaseInsensitive = opts.find('N') != std::string::npos;
        }
        k.Column = ColumnOf(name);
        keys.push_back(k);
    }
    return keys;
}

std::vector<TMemSortKey> TMemDataSet::KeysOfIndex(const TIndexDef& d) const {
    std::vector<std::string> desc = SplitFieldNames(d.GetDescFields());
    std::vector<std::string> ci = SplitFieldNames(d.GetCaseInsFields());
    auto in = [](const std::vector<std::string>& list, const std::string& n) {
        return std::any_of(list.begin(), list.end(), [&](const std::string& x) { return Utf8SameText(x, n); });
    };
    std::vector<TMemSortKey> keys;
    for (const std::string& n : SplitFieldNames(d.GetFields()))
        keys.push_back({ColumnOf(n),
                        d.GetOptions().Contains(TIndexOption::ixDescending) || in(desc, n),
                        d.GetOptions().Contains(TIndexOption::ixCaseInsensitive) || in(ci, n)});
    return keys;
}

std::vector<TMemSortKey> TMemDataSet::CurrentKeys() const {
    if (!FIndexName.empty()) return KeysOfIndex(*FIndexDefs.Find(FIndexName));
    return ParseIndexFieldNames(FIndexFieldNames);
}

void TMemDataSet::RebuildPositions() {
    if (FPosOf.capacity() < FStore.RowCapacityUsed()) {
        std::vector<std::uint32_t>().swap(FPosOf);
        FPosOf.reserve(FStore.RowCapacityUsed());
        AdviseHugePages(FPosOf.data(), FPosOf.capacity() * 4);
    }
    FPosOf.assign(FStore.RowCapacityUsed(), kNoPos);
    for (std::size_t i = 0; i < FOrder.size(); ++i) FPosOf[FOrder[i]] = static_cast<std::uint32_t>(i);
}

void TMemDataSet::ApplyOrder(const std::vector<TMemSortKey>& keys) {
    FOrder = FStore.BuildOrder(keys);
    FKeys = keys;
    RebuildPositions();
    RebuildView();
}

bool TMemDataSet::RowAccepted(std::uint32_t id) {
    return ImageAccepted(FStore.Row(id), id);
}

bool TMemDataSet::ImageAccepted(const std::uint8_t* image, std::uint32_t id) {
    if (!FFilterOnBuffers) {
        TMemFilterRow row(FStore);
        row.SetRow(image);
        return FMemFilter->Evaluate(row);
    }
    std::memcpy(RowImage(FFilterBuffer), image, FStore.RowSize());
    SetHeader(FFilterBuffer, id, false);
    GetCalcFields(FFilterBuffer);
    return FilterAccepts(FFilterBuffer);
}

void TMemDataSet::FillRecordBuffer(TRecordBuffer buffer, const std::uint8_t* image,
                                   std::uint32_t id) {
    std::memcpy(RowImage(buffer), image, FStore.RowSize());
    FinishRecordBuffer(buffer, id);
}

void TMemDataSet::CopyRecordBuffer(TRecordBuffer to, TRecordBuffer from) const {
    std::memcpy(to, from, kHeaderSize + static_cast<std::size_t>(FStore.RowSize()) + GetCalcFieldsSize());
    if (!Hdr(to).InPlace) Hdr(to).Values = RowImage(to);
}

void TMemDataSet::RowsMoved() {
    auto rebase = [&](TRecordBuffer b) {
        if (b && Hdr(b).InPlace) Hdr(b).Values = FStore.Row(Hdr(b).RowId);
    };
    for (int i = 0; i <= GetBufferCount() && GetActive(); ++i) rebase(GetBuffer(i));
    rebase(GetTempBuffer());
    rebase(FFilterBuffer);
    rebase(FStoredBuffer);
}

void TMemDataSet::BindDirectSlots(bool bind) {
    for (TField* f : GetFieldList()) {
        TFieldSlot slot = TFieldSlot::None;
        const int col = f->GetOffset();
        if (bind && f->GetFieldKind() == TFieldKind::fkData && !dynamic_cast<TObjectField*>(f) &&
            col >= 0 && col < static_cast<int>(FStore.Columns().size())) {
            const TMemColumn& c = FStore.Columns()[static_cast<std::size_t>(col)];
            // Only where the slot holds the field's native value as the field class reads it.
            if (MemKindOf(f->GetDataType()) == c.Kind && Utf8SameText(c.Name, f->GetFullName())) {
                switch (c.Kind) {
                    case TMemColKind::I32: slot = TFieldSlot::Int32; break;
                    case TMemColKind::I64: slot = TFieldSlot::Int64; break;
                    case TMemColKind::F64: slot = TFieldSlot::Float64; break;
                    case TMemColKind::Cur: slot = TFieldSlot::Currency; break;
                    case TMemColKind::Bool: slot = TFieldSlot::Byte; break;
                    // Narrow text as a string field reads it; wide text is converted.
                    case TMemColKind::Str:
                        if ((f->GetDataType() == TFieldType::ftString ||
                             f->GetDataType() == TFieldType::ftFixedChar) &&
                            dynamic_cast<TStringField*>(f) && !dynamic_cast<TWideStringField*>(f))
                            slot = TFieldSlot::Text;
                        break;
                    default: break;
                }
            }
            if (slot != TFieldSlot::None) {
                f->SetDirectSlot(slot, c.Offset, c.NullBit);
                continue;
            }
        }
        f->SetDirectSlot(TFieldSlot::None);
    }
}

void TMemDataSet::BindStepCursor() {
    TStepCursor step;
    if (FCursorOpen && CanStepInline()) {
        step.Ids = &View();
        step.Pos = &FCursor;
        step.Rows = FStore.RowsRef();
        step.RowSize = static_cast<std::size_t>(FStore.RowSize());
    }
    SetStepCursor(step);
}

void TMemDataSet::CheckDirectRow(TRecordBuffer buffer, const std::uint8_t* row) const {
    if (row != ImageOf(buffer))
        DatabaseError("Internal error: a record buffer points at other values than it shows", GetName());
}

void TMemDataSet::RebuildView() {
    // Next steps through the view in force.
    TScopeExit step([&] { BindStepCursor(); });
    FView.clear();
    FViewFiltered = false;
    FMemFilter.reset();
    if (!FCursorOpen || !HasFilter()) return;
    // Calculated fields and OnFilterRecord need a record buffer; everything else is read
    // straight from the rows.
    FFilterOnBuffers = static_cast<bool>(GetOnFilterRecord());
    if (GetFilterExpression()) {
        for (const std::string& n : GetFilterExpression()->FieldNames()) {
            TField* f = FindField(n);
            if (f && f->GetFieldKind() != TFieldKind::fkData && f->GetFieldKind() != TFieldKind::fkInternalCalc)
                FFilterOnBuffers = true;
        }
    }
    if (!FFilterOnBuffers) {
        FMemFilter = TFilterExpression::Parse(GetFilter());
        FMemFilter->Bind(
            [&](const std::string& name, int& slot, TFieldType& type) {
                TField* f = FindField(name);
                if (!f) return false;
                slot = f->GetOffset();
                type = f->GetDataType();
                return true;
            },
            GetFilterOptions());
    } else if (!FFilterBuffer) {
        FFilterBuffer = AllocRecordBuffer();
    }
    FView.reserve(FOrder.size() / 4);
    for (std::uint32_t id : FOrder)
        if (RowAccepted(id)) FView.push_back(id);
    FViewFiltered = true;
}

int TMemDataSet::PosInView(std::uint32_t id, bool* exact) const {
    if (exact) *exact = false;
    if (id >= FPosOf.size() || FPosOf[id] == kNoPos) return static_cast<int>(View().size());
    std::uint32_t p = FPosOf[id];
    if (!FViewFiltered) {
        if (exact) *exact = true;
        return static_cast<int>(p);
    }
    auto it = std::lower_bound(FView.begin(), FView.end(), p,
                               [&](std::uint32_t row, std::uint32_t pos) { return FPosOf[row] < pos; });
    if (exact) *exact = it != FView.end() && *it == id;
    return static_cast<int>(it - FView.begin());
}

void TMemDataSet::RemoveFromOrder(std::uint32_t id) {
    std::uint32_t p = FPosOf[id];
    if (p == kNoPos) return;
    FOrder.erase(FOrder.begin() + p);
    for (std::size_t i = p; i < FOrder.size(); ++i) FPosOf[FOrder[i]] = static_cast<std::uint32_t>(i);
    FPosOf[id] = kNoPos;
    if (FViewFiltered) {
        auto it = std::find(FView.begin(), FView.end(), id);
        if (it != FView.end()) FView.erase(it);
    }
}

void TMemDataSet::PlaceInOrder(std::uint32_t id, bool isNew) {
    if (FPosOf.size() <= id) FPosOf.resize(id + 1, kNoPos);
    if (!isNew) {
        if (FKeys.empty()) {
            if (FViewFiltered) {
                auto it = std::find(FView.begin(), FView.end(), id);
                if (it != FView.end()) FView.erase(it);
                PlaceInView(id);
            }
            return;
        }
        RemoveFromOrder(id);
    }
    std::size_t p = FOrder.size();
    if (!FKeys.empty()) {
        auto it = std::lower_bound(FOrder.begin(), FOrder.end(), id, [&](std::uint32_t a, std::uint32_t b) {
            return FStore.CompareRows(a, b, FKeys, true) < 0;
        });
        p = static_cast<std::size_t>(it - FOrder.begin());
    }
    FOrder.insert(FOrder.begin() + p, id);
    for (std::size_t i = p; i < FOrder.size(); ++i) FPosOf[FOrder[i]] = static_cast<std::uint32_t>(i);
    PlaceInView(id);
}

void TMemDataSet::PlaceInView(std::uint32_t id) {
    if (!FViewFiltered) return;
    if (!RowAccepted(id)) return;
    bool exact;
    int p = PosInView(id, &exact);
    if (!exact) FView.insert(FView.begin() + p, id);
}

void TMemDataSet::ReorderKeepingRecord(const std::vector<TMemSortKey>& keys) {
    if (!GetActive()) return;
    CheckBrowseMode();
    TBookmark bm = GetBookmark();
    if (!keys.empty()) FetchAllRows();
    ApplyOrder(keys);
    bool exact = false;
    if (bm.size() == 4) {
        std::uint32_t id;
        std::memcpy(&id, bm.data(), 4);
        FCursor = PosInView(id, &exact);
    }
    if (exact)
        Resync({});
    else
        First();
}

void TMemDataSet::SetIndexFieldNames(const std::string& v) {
    if (v == FIndexFieldNames && FIndexName.empty()) return;
    if (GetActive()) {
        std::vector<TMemSortKey> keys = ParseIndexFieldNames(v);  // raises, nothing changed
        FIndexFieldNames = v;
        FIndexName.clear();
        ReorderKeepingRecord(keys);
    } else {
        FIndexFieldNames = v;
        FIndexName.clear();
    }
}

void TMemDataSet::SetIndexName(const std::string& v) {
    if (Utf8SameText(v, FIndexName) && (v.empty() || FIndexFieldNames.empty())) {
        FIndexName = v;
        return;
    }
    if (GetActive()) {
        std::vector<TMemSortKey> keys = v.empty() ? std::vector<TMemSortKey>{} : KeysOfIndex(*FIndexDefs.Find(v));
        FIndexName = v;
        FIndexFieldNames.clear();
        ReorderKeepingRecord(keys);
    } else {
        // Checked when the table opens: the definitions may come from its file.
        FIndexName = v;
        FIndexFieldNames.clear();
    }
}

void TMemDataSet::AddIndex(const std::string& name, const std::string& fields, TIndexOptions options,
                           const std::string& descFields, const std::string& caseInsFields) {
    if (name.empty()) DatabaseError("Index name missing", GetName());
    if (SplitFieldNames(fields).empty()) DatabaseError("Index '" + name + "' has no fields", GetName());
    if (GetActive())
        for (const std::string& n : SplitFieldNames(fields)) ColumnOf(n);
    TIndexDef* d = FIndexDefs.Add(name, fields, options);
    d->SetDescFields(descFields);
    d->SetCaseInsFields(caseInsFields);
}

void TMemDataSet::DeleteIndex(const std::string& name) {
    int i = FIndexDefs.IndexOf(name);
    if (i < 0) DatabaseError("Index '" + name + "' not found", GetName());
    if (Utf8SameText(name, FIndexName)) SetIndexName("");
    FIndexDefs.Delete(i);
}

void TMemDataSet::FilterChanged() {
    CheckBrowseMode();
    RebuildView();
    First();
}

void TMemDataSet::InternalRefresh() {
    if (FViewFiltered || HasFilter()) RebuildView();
}

// ---------------------------------------------------------------- rows read on demand

void TMemDataSet::JoinOrder(std::uint32_t from) {
    const std::uint32_t to = FStore.RowCapacityUsed();
    if (from >= to) return;
    if (!FKeys.empty()) {
        // Packets asked for explicitly while ordered: each row finds its place.
        for (std::uint32_t id = from; id < to; ++id)
            if (FStore.IsLive(id)) PlaceInOrder(id, true);
        return;
    }
    if (FPosOf.size() < to) FPosOf.resize(to, kNoPos);
    for (std::uint32_t id = from; id < to; ++id) {
        if (!FStore.IsLive(id)) continue;
        FPosOf[id] = static_cast<std::uint32_t>(FOrder.size());
        FOrder.push_back(id);
        if (FViewFiltered && RowAccepted(id)) FView.push_back(id);
    }
}

std::size_t TMemDataSet::FetchPacket() {
    const std::uint32_t from = FStore.RowCapacityUsed();
    {
        // Rows read before a failure are kept.
        TScopeExit join([&] {
            RowsMoved();
            JoinOrder(from);
        });
        FetchNextRows();
    }
    return FStore.RowCapacityUsed() - from;
}

void TMemDataSet::FetchAllRows() {
    while (MoreToFetch()) FetchPacket();
}

// ---------------------------------------------------------------- buffers and cursor

TRecordBuffer TMemDataSet::AllocRecordBuffer() {
    std::size_t n = kHeaderSize + static_cast<std::size_t>(FStore.RowSize()) + GetCalcFieldsSize();
    auto* b = new std::uint8_t[n]();
    Hdr(b).Values = RowImage(b);
    return b;
}

void TMemDataSet::FreeRecordBuffer(TRecordBuffer& buffer) {
    delete[] buffer;
    buffer = nullptr;
}

TGetResult TMemDataSet::GetRecord(TRecordBuffer buffer, TGetMode mode, bool) {
    const auto& view = View();
    int size = static_cast<int>(view.size());
    switch (mode) {
        case TGetMode::gmNext:
            // Past the rows read so far: read on until one more is in view or none is left.
            while (FCursor + 1 >= size && MoreToFetch()) {
                FetchPacket();
                size = static_cast<int>(view.size());
            }
            if (FCursor < size) ++FCursor;
            if (FCursor >= size) {
                FCursor = size;
                return TGetResult::grEOF;
            }
            break;
        case TGetMode::gmPrior:
            if (FCursor >= 0) --FCursor;
            if (FCursor < 0) {
                FCursor = -1;
                return TGetResult::grBOF;
            }
            break;
        case TGetMode::gmCurrent:
            if (FCursor < 0 || FCursor >= size) return TGetResult::grError;
            break;
    }
    const std::uint32_t id = view[FCursor];
    SetHeader(buffer, id, true);
    GetCalcFields(buffer);
    return TGetResult::grOK;
}

void TMemDataSet::InternalFirst() {
    FCursor = -1;
    // Safe to move text now: no buffer holds a row image.
    if (GetBufferedRecordCount() == 0 && GetState() == TDataSetState::dsBrowse) FStore.CompactIfWasteful();
}

void TMemDataSet::InternalLast() {
    FetchAllRows();
    FCursor = static_cast<int>(View().size());
}

void TMemDataSet::InternalGotoBookmark(const std::uint8_t* bookmark) {
    std::uint32_t id;
    std::memcpy(&id, bookmark, 4);
    FCursor = PosInView(id);
}

void TMemDataSet::InternalSetToRecord(TRecordBuffer buffer) { FCursor = PosInView(Hdr(buffer).RowId); }

void TMemDataSet::GetBookmarkData(TRecordBuffer buffer, std::uint8_t* data) const {
    std::memcpy(data, &Hdr(buffer).RowId, 4);
}

void TMemDataSet::SetBookmarkData(TRecordBuffer buffer, const std::uint8_t* data) {
    std::memcpy(&Hdr(buffer).RowId, data, 4);
    if (Hdr(buffer).InPlace) Hdr(buffer).Values = FStore.Row(Hdr(buffer).RowId);
}

TBookmarkFlag TMemDataSet::GetBookmarkFlag(TRecordBuffer buffer) const {
    return static_cast<TBookmarkFlag>(Hdr(buffer).Flag);
}

void TMemDataSet::SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag) {
    Hdr(buffer).Flag = static_cast<std::uint8_t>(flag);
}

bool TMemDataSet::BookmarkValid(const TBookmark& b) {
    if (!FCursorOpen || b.size() != 4) return false;
    std::uint32_t id;
    std::memcpy(&id, b.data(), 4);
    if (!FStore.IsLive(id)) return false;
    bool exact;
    PosInView(id, &exact);
    return exact;
}

int TMemDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) {
    if (a.empty() && b.empty()) return 0;
    if (a.empty()) return 1;
    if (b.empty()) return -1;
    std::uint32_t x = 0, y = 0;
    std::memcpy(&x, a.data(), std::min<std::size_t>(4, a.size()));
    std::memcpy(&y, b.data(), std::min<std::size_t>(4, b.size()));
    std::uint32_t px = x < FPosOf.size() ? FPosOf[x] : kNoPos;
    std::uint32_t py = y < FPosOf.size() ? FPosOf[y] : kNoPos;
    if (px != py) return px < py ? -1 : 1;
    return x < y ? -1 : x > y ? 1 : 0;
}

int TMemDataSet::GetRecordCount() const {
    CheckActive();
    const_cast<TMemDataSet*>(this)->FetchAllRows();
    return static_cast<int>(View().size());
}

int TMemDataSet::GetRecNo() const {
    CheckActive();
    TRecordBuffer b = GetState() == TDataSetState::dsCalcFields ? GetCalcBuffer() : ActiveBuffer();
    if (!b || GetBufferedRecordCount() == 0 || GetBookmarkFlag(b) != TBookmarkFlag::bfCurrent) return -1;
    bool exact;
    int p = PosInView(Hdr(b).RowId, &exact);
    return exact ? p + 1 : -1;
}

void TMemDataSet::SetRecNo(int v) {
    CheckBrowseMode();
    CheckBiDirectional();
    while (static_cast<int>(View().size()) < v && MoreToFetch()) FetchPacket();
    int size = static_cast<int>(View().size());
    if (size == 0) return;
    v = std::clamp(v, 1, size);
    if (v == GetRecNo()) return;
    DoBeforeScroll();
    FCursor = v - 1;
    Resync(TResyncMode{TResyncModeItem::rmCenter});
    DoAfterScroll();
}

// ---------------------------------------------------------------- field data

void TMemDataSet::ClearCalcFields(TRecordBuffer buffer) {
    if (GetCalcFieldsSize() > 0) std::memset(CalcArea(buffer), 0, GetCalcFieldsSize());
}

const std::uint8_t* TMemDataSet::ImageOf(TRecordBuffer b) const {
    return Hdr(b).InPlace ? FStore.Row(Hdr(b).RowId) : RowImage(b);
}

std::uint8_t* TMemDataSet::CopyOnWrite(TRecordBuffer b) {
    if (Hdr(b).InPlace) {
        std::memcpy(RowImage(b), FStore.Row(Hdr(b).RowId), FStore.RowSize());
        Hdr(b).InPlace = 0;
        Hdr(b).Values = RowImage(b);
    }
    return RowImage(b);
}

bool TMemDataSet::GetFieldData(TField* field, void* out) {
    TRecordBuffer b = GetFieldAccessBuffer();
    if (!b) return false;
    TFieldKind kind = field->GetFieldKind();
    if (kind == TFieldKind::fkCalculated || kind == TFieldKind::fkLookup)
        return ReadCalcField(CalcArea(b), field, out);
    int col = field->GetOffset();
    const std::uint8_t* row = ImageOf(b);
    if (FStore.IsNull(row, col)) return false;
    if (!out) return true;
    const TMemColumn& c = FStore.Columns()[col];
    const std::uint8_t* p = row + c.Offset;
    switch (c.Kind) {
        case TMemColKind::I16:
        case TMemColKind::U16: std::memcpy(out, p, 2); break;
        case TMemColKind::I32: std::memcpy(out, p, 4); break;
        case TMemColKind::I64:
        case TMemColKind::F64:
        case TMemColKind::Cur: std::memcpy(out, p, 8); break;
        case TMemColKind::Bool: {
            std::uint16_t w = p[0] ? 1 : 0;
            std::memcpy(out, &w, 2);
            break;
        }
        case TMemColKind::Str: {
            std::string_view t = FStore.Text(row, col);
            if (IsWide(field->GetDataType())) {
                ToUtf16(t, static_cast<char16_t*>(out), static_cast<std::size_t>(field->GetSize()));
            } else {
                std::size_t n = std::min<std::size_t>(t.size(), field->GetSize());
                while (n > 0 && n < t.size() && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
                if (n) std::memcpy(out, t.data(), n);  // empty text has no data pointer
                static_cast<char*>(out)[n] = 0;
            }
            break;
        }
        case TMemColKind::Blob: return true;
    }
    return true;
}

// Text is copied once, straight from the store, instead of through a buffer of the field's
// size (8 KB for an unsized SQL text column).
bool TMemDataSet::GetFieldString(TField* field, std::string& out, bool wide) {
    const TFieldKind kind = field->GetFieldKind();
    const bool calc = kind == TFieldKind::fkCalculated || kind == TFieldKind::fkLookup;
    if (wide != IsWide(field->GetDataType()) || (calc && wide))
        return TDataSet::GetFieldString(field, out, wide);
    out.clear();
    TRecordBuffer b = GetFieldAccessBuffer();
    if (!b) return false;
    if (calc) {
        const auto* p = reinterpret_cast<const char*>(CalcArea(b) + field->GetOffset());
        if (!p[0]) return false;
        out.assign(p + 1, strnlen(p + 1, static_cast<std::size_t>(field->GetDataSize())));
        return true;
    }
    const int col = field->GetOffset();
    if (FStore.Columns()[static_cast<std::size_t>(col)].Kind != TMemColKind::Str)
        return TDataSet::GetFieldString(field, out, wide);
    const std::uint8_t* row = ImageOf(b);
    if (FStore.IsNull(row, col)) return false;
    const std::string_view t = FStore.Text(row, col);
    const auto size = static_cast<std::size_t>(field->GetSize());
    if (!wide) {
        out.assign(NarrowCut(t, size));
        return true;
    }
    // As the UTF-16 native data reads back: at most Size units, up to a NUL.
    std::u16string w(std::min(size, t.size()) + 1, u'\0');
    ToUtf16(t, w.data(), std::min(size, t.size()));
    for (std::size_t i = 0; w[i]; ++i) {
        char32_t cp = w[i];
        if (cp >= 0xD800 && cp < 0xDC00 && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
        }
        Utf8Append(out, cp);
    }
    return true;
}

void TMemDataSet::SetFieldData(TField* field, const void* in) {
    TDataSetState st = GetState();
    if (!WriteState(st)) DatabaseError("Dataset not in edit or insert mode", GetName());
    TRecordBuffer b = GetFieldAccessBuffer();
    if (!b) DatabaseError("Dataset not in edit or insert mode", GetName());
    TFieldKind kind = field->GetFieldKind();
    if (kind == TFieldKind::fkCalculated || kind == TFieldKind::fkLookup) {
        WriteCalcField(CalcArea(b), field, in);
    } else {
        if (field->GetReadOnly() && st != TDataSetState::dsSetKey && st != TDataSetState::dsFilter &&
            st != TDataSetState::dsCalcFields)
            DatabaseError("Field '" + field->GetDisplayName() + "' cannot be modified", GetName());
        field->Validate(in);
        int col = field->GetOffset();
        const TMemColumn& c = FStore.Columns()[col];
        std::uint8_t* row = CopyOnWrite(b);
        TMemStore::SetNullBit(row, c.NullBit, in == nullptr);
        if (in) {
            std::uint8_t* p = row + c.Offset;
            switch (c.Kind) {
                case TMemColKind::I16:
                case TMemColKind::U16: std::memcpy(p, in, 2); break;
                case TMemColKind::I32: std::memcpy(p, in, 4); break;
                case TMemColKind::I64:
                case TMemColKind::F64:
                case TMemColKind::Cur: std::memcpy(p, in, 8); break;
                case TMemColKind::Bool: {
                    std::uint16_t w;
                    std::memcpy(&w, in, 2);
                    p[0] = w ? 1 : 0;
                    break;
                }
                case TMemColKind::Str: {
                    std::string text;
                    if (IsWide(field->GetDataType())) {
                        const auto* w = static_cast<const char16_t*>(in);
                        for (std::size_t i = 0; w[i] && i < static_cast<std::size_t>(field->GetSize()); ++i) {
                            char32_t cp = w[i];
                            if (cp >= 0xD800 && cp < 0xDC00 && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000) {
                                cp = 0x10000 + ((cp - 0xD800) << 10) + (w[i + 1] - 0xDC00);
                                ++i;
                            }
                            Utf8Append(text, cp);
                        }
                    } else {
                        const char* s = static_cast<const char*>(in);
                        text.assign(s, strnlen(s, field->GetSize()));
                    }
                    FStore.PutText(row, col, text);
                    break;
                }
                case TMemColKind::Blob: break;
            }
        }
    }
    if (st != TDataSetState::dsCalcFields && st != TDataSetState::dsFilter &&
        st != TDataSetState::dsNewValue && st != TDataSetState::dsInternalCalc)
        DataEvent(TDataEvent::deFieldChange, reinterpret_cast<std::intptr_t>(field));
}

bool TMemDataSet::GetBlobFieldData(TField* field, std::string& out) {
    out.clear();
    TRecordBuffer b = GetFieldAccessBuffer();
    if (!b || field->GetFieldKind() == TFieldKind::fkCalculated || field->GetFieldKind() == TFieldKind::fkLookup)
        return false;
    const std::uint8_t* row = ImageOf(b);
    if (FStore.IsNull(row, field->GetOffset())) return false;
    out.assign(FStore.Text(row, field->GetOffset()));
    return true;
}

void TMemDataSet::SetBlobFieldData(TField* field, const std::string& value) {
    TDataSetState st = GetState();
    if (st != TDataSetState::dsEdit && st != TDataSetState::dsInsert && st != TDataSetState::dsCalcFields)
        DatabaseError("Dataset not in edit or insert mode", GetName());
    if (field->GetReadOnly() && st != TDataSetState::dsCalcFields)
        DatabaseError("Field '" + field->GetDisplayName() + "' cannot be modified", GetName());
    TRecordBuffer b = GetFieldAccessBuffer();
    std::uint8_t* row = CopyOnWrite(b);
    const TMemColumn& c = FStore.Columns()[field->GetOffset()];
    TMemStore::SetNullBit(row, c.NullBit, value.empty());
    if (!value.empty()) FStore.PutText(row, field->GetOffset(), value);
    if (st != TDataSetState::dsCalcFields)
        DataEvent(TDataEvent::deFieldChange, reinterpret_cast<std::intptr_t>(field));
}

// Text and blobs live in an append-only arena, so the stored row still points at the old
// contents while the edit buffer points at new ones. Calculated fields have no stored value.
TRecordBuffer TMemDataSet::GetStoredRecordBuffer() {
    TRecordBuffer b = ActiveBuffer();
    std::uint32_t id = Hdr(b).RowId;
    if (!FStore.IsLive(id)) return nullptr;
    if (!FStoredBuffer) FStoredBuffer = AllocRecordBuffer();
    std::memcpy(RowImage(FStoredBuffer), FStore.Row(id), FStore.RowSize());
    Hdr(FStoredBuffer) = Hdr(b);
    Hdr(FStoredBuffer).InPlace = 0;
    Hdr(FStoredBuffer).Values = RowImage(FStoredBuffer);
    ClearCalcFields(FStoredBuffer);
    return FStoredBuffer;
}

// ---------------------------------------------------------------- searching

int TMemDataSet::FindRow(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) {
    std::vector<TField*> fields = FieldsOf(keyFields);
    std::vector<Variant> keys = KeyList(fields.size(), keyValues);
    struct Key {
        int Col;
        bool Null, Text, Partial, CI;
        std::string Str;
        double Num;
    };
    std::vector<Key> ks;
    bool ci = options.Contains(TLocateOption::loCaseInsensitive);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        TField* f = fields[i];
        if (f->GetFieldKind() != TFieldKind::fkData && f->GetFieldKind() != TFieldKind::fkInternalCalc)
            return -2;
        const TMemColumn& c = FStore.Columns()[f->GetOffset()];
        Key k{f->GetOffset(), keys[i].IsNull() || keys[i].IsEmpty(), false, false, false, {}, 0};
        if (!k.Null) {
            if (c.Kind == TMemColKind::Str || c.Kind == TMemColKind::Blob) {
                k.Text = true;
                k.CI = ci;
                k.Partial = options.Contains(TLocateOption::loPartialKey) && i + 1 == fields.size();
                k.Str = VarToStr(keys[i]);
                if (ci) k.Str = Utf8LowerCase(k.Str);
            } else if (c.Kind == TMemColKind::Cur) {
                k.Num = static_cast<double>(keys[i].AsCurrency().Value) / 10000.0;
            } else if (c.Kind == TMemColKind::Bool) {
                k.Num = keys[i].AsBoolean() ? 1 : 0;
            } else if (IsDateTimeType(c.Type)) {
                k.Num = keys[i].AsDateTime();
            } else {
                k.Num = keys[i].AsFloat();
            }
        }
        ks.push_back(std::move(k));
    }
    TMemFilterRow row(FStore);
    const auto& view = View();
    std::string low;
    for (std::size_t p = 0;; ++p) {
        while (p >= view.size() && MoreToFetch()) FetchPacket();
        if (p >= view.size()) break;
        row.SetRow(FStore.Row(view[p]));
        bool match = true;
        for (const Key& k : ks) {
            TFilterValue v = row.Get(k.Col);
            if (k.Null || v.Kind == TFilterValueKind::Null) {
                match = k.Null && v.Kind == TFilterValueKind::Null;
            } else if (k.Text) {
                std::string_view s = v.Str;
                if (k.CI) {
                    low = Utf8LowerCase(s);
                    s = low;
                }
                if (k.Partial) s = s.substr(0, k.Str.size());
                match = s == k.Str;
            } else {
                double x = v.Kind == TFilterValueKind::Float ? v.Float : static_cast<double>(v.Int);
                match = x == k.Num;
            }
            if (!match) break;
        }
        if (match) return static_cast<int>(p);
    }
    return -1;
}

bool TMemDataSet::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) {
    CheckBrowseMode();
    CheckBiDirectional();
    int p = FindRow(keyFields, keyValues, options);
    if (p == -2) return TDataSet::Locate(keyFields, keyValues, options);
    if (p < 0) return false;
    DoBeforeScroll();
    FCursor = p;
    Resync(TResyncMode{TResyncModeItem::rmExact, TResyncModeItem::rmCenter});
    DoAfterScroll();
    return true;
}

Variant TMemDataSet::Lookup(const std::string& keyFields, const Variant& keyValues,
                            const std::string& resultFields) {
    CheckBrowseMode();
    CheckBiDirectional();
    std::vector<TField*> results = FieldsOf(resultFields);
    int p = FindRow(keyFields, keyValues, {});
    if (p == -2) return TDataSet::Lookup(keyFields, keyValues, resultFields);
    if (p < 0) return Variant::Null();
    if (!FFilterBuffer) FFilterBuffer = AllocRecordBuffer();
    std::uint32_t id = View()[p];
    std::memcpy(RowImage(FFilterBuffer), FStore.Row(id), FStore.RowSize());
    SetHeader(FFilterBuffer, id, false);
    GetCalcFields(FFilterBuffer);
    return ReadFromBuffer(FFilterBuffer, results);
}

// ---------------------------------------------------------------- editing

void TMemDataSet::InternalInitRecord(TRecordBuffer buffer) {
    Hdr(buffer).InPlace = 0;
    Hdr(buffer).Values = RowImage(buffer);
    std::uint8_t* row = RowImage(buffer);
    std::memset(row, 0, FStore.RowSize());
    for (const TMemColumn& c : FStore.Columns()) TMemStore::SetNullBit(row, c.NullBit, true);
}

void TMemDataSet::AssignAutoInc(std::uint8_t* image) {
    const auto& cols = FStore.Columns();
    for (std::size_t c = 0; c < cols.size(); ++c) {
        if (cols[c].Type != TFieldType::ftAutoInc || !FStore.IsNull(image, static_cast<int>(c))) continue;
        std::int32_t next = 0;
        for (std::uint32_t id = 0; id < FStore.RowCapacityUsed(); ++id) {
            const std::uint8_t* r = FStore.Row(id);
            if (FStore.IsNull(r, static_cast<int>(c))) continue;
            std::int32_t v;
            std::memcpy(&v, r + cols[c].Offset, 4);
            next = std::max(next, v);
        }
        ++next;
        std::memcpy(image + cols[c].Offset, &next, 4);
        TMemStore::SetNullBit(image, cols[c].NullBit, false);
    }
}

void TMemDataSet::InternalPost() {
    TDataSet::InternalPost();
    TRecordBuffer b = ActiveBuffer();
    std::uint32_t id;
    std::uint8_t* image = CopyOnWrite(b);
    if (GetState() == TDataSetState::dsEdit) {
        id = Hdr(b).RowId;
        FStore.ReplaceRow(id, image);
        PlaceInOrder(id, false);
    } else {
        AssignAutoInc(image);
        id = FStore.AppendRow(image);
        RowsMoved();
        PlaceInOrder(id, true);
    }
    Hdr(b).RowId = id;
    FCursor = PosInView(id);
}

void TMemDataSet::InternalAddRecord(TRecordBuffer buffer, bool) {
    std::uint8_t* image = CopyOnWrite(buffer);
    AssignAutoInc(image);
    std::uint32_t id = FStore.AppendRow(image);
    RowsMoved();
    PlaceInOrder(id, true);
    FCursor = PosInView(id);
}

void TMemDataSet::InternalDelete() {
    const auto& view = View();
    if (FCursor < 0 || FCursor >= static_cast<int>(view.size()))
        DatabaseError("Record not found", GetName());
    std::uint32_t id = view[FCursor];
    RemoveFromOrder(id);
    FStore.DeleteRow(id);
}

}  // namespace vel
