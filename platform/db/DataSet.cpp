#include "platform/db/DataSet.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/TypInfo.h"
#include "platform/db/BlobStream.h"
#include "platform/db/DataSource.h"
#include "platform/db/FilterExpr.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_DEFINE_CLASS(TDataSet, TComponent)

VEL_PUBLISHED(TDataSet) {
    Prop("Active", &T::GetActive, &T::SetActive, false);
    Prop("Filter", &T::GetFilter, &T::SetFilter).Default(std::string());
    Prop("Filtered", &T::GetFiltered, &T::SetFiltered, false);
    Prop("FilterOptions", &T::GetFilterOptions, &T::SetFilterOptions, TFilterOptions{});
    Prop("AutoCreateMode", &T::GetAutoCreateMode, &T::SetAutoCreateMode, TAutoCreateMode::acExclusive);
    Prop("FieldDefs", &T::GetFieldDefList);
}

namespace {
bool InWriteModes(TDataSetState s) {
    return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert;
}
}  // namespace

TDataSet::TDataSet(TComponent* owner) : TComponent(owner), FFields(this), FFieldDefs(this) {}

TDataSet::~TDataSet() {
    // Links must not call back into a half-destroyed dataset.
    if (GetActive()) {
        try {
            FState = TDataSetState::dsInactive;
            CloseCursor();
        } catch (...) {
        }
    }
    for (TDataSource* s : std::vector<TDataSource*>(FDataSources)) s->DataSetDestroyed();
    // Fields owned by another component are left to it, merely detached.
    std::vector<TField*> fields = FFields.List();
    FFields.Clear();
    for (TField* f : fields) {
        f->FDataSet = nullptr;
        if (!f->GetOwner() || f->GetOwner() == this) delete f;
    }
}

void TDataSet::CheckActive() const {
    if (!GetActive()) DatabaseError("Cannot perform this operation on a closed dataset", GetName());
}

void TDataSet::CheckInactive() const {
    if (GetActive()) DatabaseError("Cannot perform this operation on an open dataset", GetName());
}

void TDataSet::CheckBiDirectional() const {
    if (FIsUniDirectional)
        DatabaseError("Operation not allowed on a unidirectional dataset", GetName());
}

// ---------------------------------------------------------------- open / close

void TDataSet::SetActive(bool v) {
    if (GetActive() == v) return;
    if (v) {
        Fire(FBeforeOpen, this);
        OpenCursor();
        SetState(TDataSetState::dsBrowse);
        Fire(FAfterOpen, this);
    } else {
        Fire(FBeforeClose, this);
        SetState(TDataSetState::dsInactive);
        CloseCursor();
        Fire(FAfterClose, this);
    }
}

void TDataSet::OpenCursor() {
    FState = TDataSetState::dsOpening;
    try {
        FDefaultFields = FFields.Count() == 0;
        InternalOpen();
        FFieldListValid = false;
        if (FFilterExpr) FFilterExpr->Unbind();
        BindCalcFields();
        if (FFiltered && FFilterExpr) CompileFilter();
        FBookmarkSize = std::max(FBookmarkSize, 0);
        FCalcBuffer = nullptr;
        FTempBuffer = AllocRecordBuffer();
        FBuffers.assign(1, AllocRecordBuffer());
        FBufferCount = 0;
        ClearBuffers();
        FState = TDataSetState::dsInactive;
        UpdateBufferCount();
        FBOF = true;
    } catch (...) {
        FState = TDataSetState::dsInactive;
        try {
            CloseCursor();
        } catch (...) {
        }
        throw;
    }
}

void TDataSet::CloseCursor() {
    FreeBuffers();
    if (IsCursorOpen()) InternalClose();
    if (FFilterExpr) FFilterExpr->Unbind();
    FBOF = FEOF = true;
    FModified = false;
    FFieldListValid = false;
}

void TDataSet::FreeBuffers() {
    for (TRecordBuffer& b : FBuffers)
        if (b) FreeRecordBuffer(b);
    FBuffers.clear();
    if (FTempBuffer) FreeRecordBuffer(FTempBuffer);
    FTempBuffer = nullptr;
    FBufferCount = FRecordCount = FActiveRecord = 0;
    FCurrentRecord = -1;
}

void TDataSet::CreateFields() {
    for (int i = 0; i < FFieldDefs.Count(); ++i) {
        TFieldDef* d = FFieldDefs[i];
        if (FFields.FindField(d->GetName())) continue;
        if (d->GetDataType() == TFieldType::ftUnknown) continue;
        TField* f = d->CreateField(this);
        f->SetAutomatic(true);
    }
    FFieldListValid = false;
}

void TDataSet::DestroyFields() {
    std::vector<TField*> fields = FFields.List();
    for (TField* f : fields) {
        if (!f->GetAutomatic()) continue;
        FFields.Remove(f);
        f->FDataSet = nullptr;
        delete f;
    }
    FFieldListValid = false;
}

void TDataSet::RebuildFieldList() const {
    FFieldList.clear();
    std::function<void(const TFields&)> add = [&](const TFields& fs) {
        for (TField* f : fs) {
            FFieldList.push_back(f);
            if (auto* o = dynamic_cast<TObjectField*>(f)) add(o->GetFields());
        }
    };
    add(FFields);
    FFieldListValid = true;
}

const std::vector<TField*>& TDataSet::GetFieldList() const {
    if (!FFieldListValid) RebuildFieldList();
    return FFieldList;
}

// "Parent.Child" names reach into ADT fields.
TField* TDataSet::FindNestedField(std::string_view name) const {
    if (name.find('.') != std::string_view::npos)
        for (TField* f : GetFieldList())
            if (f->GetParentField() && Utf8SameText(f->GetFullName(), name)) return f;
    return nullptr;
}

TField* TDataSet::NestedFieldByName(std::string_view name) const {
    TField* f = FindNestedField(name);
    if (!f) DatabaseError("Field '" + std::string(name) + "' not found", GetName());
    return f;
}

void TDataSet::InitFieldDefsFromFields() {
    std::function<void(TFieldDefs&, const TFields&)> add = [&](TFieldDefs& defs, const TFields& fields) {
        for (TField* f : fields) {
            TFieldKind k = f->GetFieldKind();
            if (k != TFieldKind::fkData && k != TFieldKind::fkInternalCalc) continue;
            TFieldDef* d = defs.Add(f->GetFieldName(), f->GetDataType(),
                                    IsStringType(f->GetDataType()) ? f->GetSize() : 0, f->GetRequired());
            d->SetInternalCalcField(k == TFieldKind::fkInternalCalc);
            if (auto* o = dynamic_cast<TObjectField*>(f)) add(d->GetChildDefs(), o->GetFields());
        }
    };
    add(FFieldDefs, FFields);
}

namespace {

TFieldDef* DefinitionOf(TFieldDefs& defs, const TField* f) {
    if (TObjectField* parent = f->GetParentField()) {
        TFieldDef* d = DefinitionOf(defs, parent);
        return d && d->HasChildDefs() ? d->GetChildDefs().FindDef(f->GetFieldName()) : nullptr;
    }
    return defs.FindDef(f->GetFieldName());
}

// Types whose native data has the same layout: narrow text, wide text, or the type itself.
bool SameNativeType(TFieldType a, TFieldType b) {
    using enum TFieldType;
    auto narrow = [](TFieldType t) { return t == ftString || t == ftFixedChar || t == ftGuid; };
    auto wide = [](TFieldType t) { return t == ftWideString || t == ftFixedWideChar; };
    return a == b || (narrow(a) && narrow(b)) || (wide(a) && wide(b));
}

}  // namespace

void TDataSet::BindFields(bool binding) {
    for (TField* f : GetFieldList()) {
        TFieldKind k = f->GetFieldKind();
        if (!binding) {
            f->SetFieldNo(0);
        } else if (k == TFieldKind::fkCalculated || k == TFieldKind::fkLookup) {
            f->SetFieldNo(-1);
        } else if (k == TFieldKind::fkData || k == TFieldKind::fkInternalCalc) {
            TFieldDef* d = DefinitionOf(FFieldDefs, f);
            if (!d) DatabaseError("Field '" + f->GetDisplayName() + "' not found", GetName());
            if (!SameNativeType(d->GetDataType(), f->GetDataType()))
                DatabaseError("Type mismatch for field '" + f->GetDisplayName() + "', expecting: " +
                                  FieldTypeName(f->GetDataType()) +
                                  " actual: " + FieldTypeName(d->GetDataType()),
                              GetName());
            f->SetFieldNo(d->GetFieldNo());
        }
    }
}

void TDataSet::GetFieldNames(std::vector<std::string>& names) const {
    names.clear();
    for (TField* f : FFields) names.push_back(f->GetFieldName());
}

void TDataSet::BindCalcFields() {
    FCalcFieldsSize = 0;
    FInternalCalcFields = false;
    for (TField* f : GetFieldList()) {
        TFieldKind k = f->GetFieldKind();
        if (k == TFieldKind::fkCalculated || k == TFieldKind::fkLookup) {
            f->SetOffset(FCalcFieldsSize);
            FCalcFieldsSize += 1 + f->GetDataSize();
        } else if (k == TFieldKind::fkInternalCalc) {
            FInternalCalcFields = true;
        }
    }
    UpdateStepHeard();
}

void TDataSet::FieldAdded(TField*) { FFieldListValid = false; }
void TDataSet::FieldRemoved(TField*) { FFieldListValid = false; }

void TDataSet::FieldIndexChanged() {
    FFieldListValid = false;
    DataEvent(TDataEvent::deFieldListChange, 0);
    DataEvent(TDataEvent::deLayoutChange, 0);
}

// ---------------------------------------------------------------- buffers

void TDataSet::UpdateBufferCount() {
    if (!IsCursorOpen()) return;
    int count = 1;
    if (!FIsUniDirectional)
        for (TDataSource* s : FDataSources)
            for (TDataLink* l : s->GetDataLinks()) count = std::max(count, l->GetBufferCount());
    SetBufferCount(count);
}

void TDataSet::SetBufferCount(int v) {
    if (FBufferCount == v) return;
    // Shrinking keeps the active record inside the window.
    if (v < FBufferCount && FRecordCount > v) {
        int drop = std::max(0, FActiveRecord - (v - 1));
        for (int i = 0; i < drop; ++i) MoveBuffer(0, FRecordCount - 1);
        FActiveRecord -= drop;
        if (FCurrentRecord >= 0) FCurrentRecord -= drop;
        FRecordCount = std::min(FRecordCount - drop, v);
        if (FCurrentRecord >= FRecordCount || FCurrentRecord < 0) FCurrentRecord = -1;
    }
    int old = static_cast<int>(FBuffers.size());
    if (v + 1 < old) {
        for (int i = v + 1; i < old; ++i) FreeRecordBuffer(FBuffers[i]);
        FBuffers.resize(v + 1);
    } else {
        for (int i = old; i < v + 1; ++i) FBuffers.push_back(AllocRecordBuffer());
    }
    FBufferCount = v;
    if (IsCursorOpen()) {
        GetNextRecords();
        if (FRecordCount > 0) GetPriorRecords();
    }
}

void TDataSet::RotateBuffer(int from, int to) {
    TRecordBuffer b = FBuffers[from];
    if (from < to)
        std::rotate(FBuffers.begin() + from, FBuffers.begin() + from + 1, FBuffers.begin() + to + 1);
    else
        std::rotate(FBuffers.begin() + to, FBuffers.begin() + from, FBuffers.begin() + from + 1);
    FBuffers[to] = b;
}

void TDataSet::ClearBuffers() {
    FRecordCount = 0;
    FActiveRecord = 0;
    FCurrentRecord = -1;
    FBOF = FEOF = true;
}

void TDataSet::ActivateBuffers() {
    FRecordCount = 1;
    FActiveRecord = 0;
    FCurrentRecord = 0;
    FBOF = FEOF = false;
}

void TDataSet::SetCurrentRecord(int i) {
    if (FCurrentRecord == i) return;
    TRecordBuffer b = FBuffers[i];
    switch (GetBookmarkFlag(b)) {
        case TBookmarkFlag::bfCurrent:
        case TBookmarkFlag::bfInserted: InternalSetToRecord(b); break;
        case TBookmarkFlag::bfBOF: InternalFirst(); break;
        case TBookmarkFlag::bfEOF: InternalLast(); break;
    }
    FCurrentRecord = i;
}

bool TDataSet::GetNextRecord() {
    TGetMode mode = TGetMode::gmNext;
    if (FRecordCount > 0) {
        if (FCurrentRecord != FRecordCount - 1) SetCurrentRecord(FRecordCount - 1);
        if (FState == TDataSetState::dsInsert && FCurrentRecord == FActiveRecord &&
            GetBookmarkFlag(ActiveBuffer()) == TBookmarkFlag::bfCurrent)
            mode = TGetMode::gmCurrent;
    }
    bool ok = GetRecord(FBuffers[FRecordCount], mode, true) == TGetResult::grOK;
    if (ok) {
        if (FRecordCount == 0)
            ActivateBuffers();
        else if (FRecordCount < FBufferCount)
            ++FRecordCount;
        else
            MoveBuffer(0, FRecordCount);
        FCurrentRecord = FRecordCount - 1;
    } else {
        CursorPosChanged();
    }
    return ok;
}

bool TDataSet::GetPriorRecord() {
    if (FRecordCount > 0 && FCurrentRecord != 0) SetCurrentRecord(0);
    bool ok = GetRecord(FBuffers[FRecordCount], TGetMode::gmPrior, true) == TGetResult::grOK;
    if (ok) {
        if (FRecordCount == 0) {
            ActivateBuffers();
        } else {
            MoveBuffer(FRecordCount, 0);
            if (FRecordCount < FBufferCount) {
                ++FRecordCount;
                ++FActiveRecord;
            }
        }
        FCurrentRecord = 0;
    } else {
        CursorPosChanged();
    }
    return ok;
}

int TDataSet::GetNextRecords() {
    int n = 0;
    while (FRecordCount < FBufferCount && GetNextRecord()) ++n;
    return n;
}

int TDataSet::GetPriorRecords() {
    int n = 0;
    while (FRecordCount < FBufferCount && GetPriorRecord()) ++n;
    return n;
}

TRecordBuffer TDataSet::ActiveBuffer() const {
    if (FBuffers.empty()) return nullptr;
    return FBuffers[FActiveRecord];
}

void TDataSet::SetActiveRecord(int v) {
    if (v < 0 || v >= std::max(FRecordCount, 1) || v >= static_cast<int>(FBuffers.size())) return;
    FActiveRecord = v;
}

void TDataSet::UpdateCursorPos() {
    if (FRecordCount > 0) SetCurrentRecord(FActiveRecord);
}

bool TDataSet::IsEmpty() const {
    return !GetActive() || (FRecordCount == 0 && FState != TDataSetState::dsInsert) ||
           (FBOF && FEOF && FRecordCount == 0);
}

// ---------------------------------------------------------------- navigation

void TDataSet::DoBeforeScroll() { Fire(FBeforeScroll, this); }
void TDataSet::DoAfterScroll() { Fire(FAfterScroll, this); }

void TDataSet::First() {
    CheckBrowseMode();
    if (FIsUniDirectional) {
        // A one-way cursor starts again by running again; on its first record there is
        // nothing to do.
        if (FBOF) return;
        DoBeforeScroll();
        SetActive(false);
        SetActive(true);
        DoAfterScroll();
        return;
    }
    DoBeforeScroll();
    ClearBuffers();
    {
        TScopeExit cleanup([&] {
            FBOF = true;
            DataEvent(TDataEvent::deDataSetChange, 0);
        });
        InternalFirst();
        GetNextRecord();
        GetNextRecords();
    }
    DoAfterScroll();
}

void TDataSet::Last() {
    CheckBrowseMode();
    CheckBiDirectional();
    DoBeforeScroll();
    ClearBuffers();
    {
        TScopeExit cleanup([&] {
            FEOF = true;
            DataEvent(TDataEvent::deDataSetChange, 0);
        });
        InternalLast();
        GetPriorRecord();
        GetPriorRecords();
    }
    DoAfterScroll();
}

int TDataSet::MoveBy(int distance) {
    // With no data source attached nobody hears the check and scroll events of a step: they
    // are not sent, and no guard is set up to send the scroll when the step fails.
    const bool heard = !FDataSources.empty();
    if (heard || FState != TDataSetState::dsBrowse) CheckBrowseMode();
    if (distance < 0) CheckBiDirectional();
    int result = 0;
    DoBeforeScroll();
    if ((distance > 0 && !FEOF) || (distance < 0 && !FBOF)) {
        FBOF = FEOF = false;
        // Buffers shifted out of the window; links move their first record by it.
        int shift = 0;
        auto step = [&] {
            while (distance > 0) {
                if (FActiveRecord < FRecordCount - 1) {
                    ++FActiveRecord;
                } else {
                    int full = FRecordCount < FBufferCount ? 0 : 1;
                    if (!GetNextRecord()) {
                        FEOF = true;
                        break;
                    }
                    shift -= full;
                    FActiveRecord = FRecordCount - 1;
                }
                --distance;
                ++result;
            }
            while (distance < 0) {
                if (FActiveRecord > 0) {
                    --FActiveRecord;
                } else {
                    int full = FRecordCount < FBufferCount ? 0 : 1;
                    if (!GetPriorRecord()) {
                        FBOF = true;
                        break;
                    }
                    shift += full;
                    FActiveRecord = 0;
                }
                ++distance;
                --result;
            }
        };
        if (heard) {
            TScopeExit cleanup([&] { DataEvent(TDataEvent::deDataSetScroll, shift); });
            step();
        } else {
            step();
        }
        DoAfterScroll();
    }
    return result;
}

bool TDataSet::FindRecord(bool restart, bool goForward) {
    CheckBrowseMode();
    FFound = false;
    UpdateCursorPos();
    CursorPosChanged();
    if (restart) {
        if (goForward)
            First();
        else
            Last();
        FFound = !IsEmpty();
    } else {
        FFound = MoveBy(goForward ? 1 : -1) != 0;
    }
    return FFound;
}

void TDataSet::Resync(TResyncMode mode) {
    TRecordBuffer scratch = FBuffers[FRecordCount];
    if (mode.Contains(TResyncModeItem::rmExact)) {
        CursorPosChanged();
        if (GetRecord(scratch, TGetMode::gmCurrent, true) != TGetResult::grOK)
            DatabaseError("Record not found", GetName());
    } else if (GetRecord(scratch, TGetMode::gmCurrent, false) != TGetResult::grOK &&
               GetRecord(scratch, TGetMode::gmNext, false) != TGetResult::grOK &&
               GetRecord(scratch, TGetMode::gmPrior, false) != TGetResult::grOK) {
        ClearBuffers();
        DataEvent(TDataEvent::deDataSetChange, 0);
        return;
    }
    int count = mode.Contains(TResyncModeItem::rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
    MoveBuffer(FRecordCount, 0);
    ActivateBuffers();
    TScopeExit cleanup([&] { DataEvent(TDataEvent::deDataSetChange, 0); });
    while (count > 0 && GetPriorRecord()) --count;
    GetNextRecords();
    GetPriorRecords();
}

void TDataSet::Refresh() {
    CheckBiDirectional();
    CheckBrowseMode();
    UpdateCursorPos();
    InternalRefresh();
    Resync({});
}

// ---------------------------------------------------------------- editing

void TDataSet::SetState(TDataSetState v) {
    if (FState == v) return;
    FState = v;
    FModified = false;
    DataEvent(TDataEvent::deUpdateState, 0);
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(TDataEvent::deCheckBrowseMode, 0);
    switch (FState) {
        case TDataSetState::dsEdit:
        case TDataSetState::dsInsert:
            UpdateRecord();
            if (FModified)
                Post();
            else
                Cancel();
            break;
        case TDataSetState::dsSetKey: Post(); break;
        default: break;
    }
}

void TDataSet::UpdateRecord() {
    if (!InWriteModes(FState) && FState != TDataSetState::dsSetKey)
        DatabaseError("Dataset not in edit or insert mode", GetName());
    DataEvent(TDataEvent::deUpdateRecord, 0);
}

void TDataSet::RaiseReadOnly() const {
    std::string reason = ReadOnlyReason();
    DatabaseError("Cannot modify a read-only dataset" + (reason.empty() ? "" : ": " + reason),
                  GetName());
}

void TDataSet::Edit() {
    if (InWriteModes(FState)) return;
    if (FRecordCount == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    if (!GetCanModify()) RaiseReadOnly();
    Fire(FBeforeEdit, this);
    UpdateCursorPos();
    InternalEdit();
    GetCalcFields(ActiveBuffer());
    SetState(TDataSetState::dsEdit);
    DataEvent(TDataEvent::deRecordChange, 0);
    Fire(FAfterEdit, this);
}

void TDataSet::BeginInsertAppend() {
    CheckBrowseMode();
    if (!GetCanModify()) RaiseReadOnly();
    Fire(FBeforeInsert, this);
    DoBeforeScroll();
}

void TDataSet::EndInsertAppend() {
    SetState(TDataSetState::dsInsert);
    try {
        DoOnNewRecord();
    } catch (...) {
        UpdateCursorPos();
        SetState(TDataSetState::dsBrowse);
        Resync({});
        throw;
    }
    FModified = false;
    DataEvent(TDataEvent::deDataSetChange, 0);
    Fire(FAfterInsert, this);
    DoAfterScroll();
}

void TDataSet::Insert() {
    BeginInsertAppend();
    TBookmark old = GetBookmark();
    MoveBuffer(FRecordCount, FActiveRecord);
    TRecordBuffer b = ActiveBuffer();
    InitRecord(b);
    if (FRecordCount == 0)
        SetBookmarkFlag(b, TBookmarkFlag::bfBOF);
    else if (!old.empty())
        SetBookmarkData(b, old.data());
    if (FRecordCount < FBufferCount) ++FRecordCount;
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Append() {
    BeginInsertAppend();
    ClearBuffers();
    TRecordBuffer b = FBuffers[0];
    InitRecord(b);
    SetBookmarkFlag(b, TBookmarkFlag::bfEOF);
    FRecordCount = 1;
    FBOF = false;
    GetPriorRecords();
    InternalLast();
    EndInsertAppend();
}

void TDataSet::InitRecord(TRecordBuffer buffer) {
    InternalInitRecord(buffer);
    ClearCalcFields(buffer);
    SetBookmarkFlag(buffer, TBookmarkFlag::bfInserted);
}

void TDataSet::DoOnNewRecord() { Fire(FOnNewRecord, this); }

void TDataSet::Post() {
    UpdateRecord();
    if (!InWriteModes(FState)) return;
    DataEvent(TDataEvent::deCheckBrowseMode, 0);
    Fire(FBeforePost, this);
    InternalPost();
    SetState(TDataSetState::dsBrowse);
    Resync({});
    Fire(FAfterPost, this);
}

void TDataSet::InternalPost() { CheckRequiredFields(); }

void TDataSet::CheckRequiredFields() {
    for (TField* f : GetFieldList()) {
        if (f->GetRequired() && !f->GetReadOnly() && f->GetFieldKind() == TFieldKind::fkData &&
            f->IsNull()) {
            f->FocusControl();
            DatabaseError("Field '" + f->GetDisplayName() + "' must have a value", GetName());
        }
    }
}

void TDataSet::Cancel() {
    if (!InWriteModes(FState)) {
        if (FState == TDataSetState::dsSetKey) SetState(TDataSetState::dsBrowse);
        return;
    }
    DataEvent(TDataEvent::deCheckBrowseMode, 0);
    Fire(FBeforeCancel, this);
    UpdateCursorPos();
    InternalCancel();
    SetState(TDataSetState::dsBrowse);
    Resync({});
    Fire(FAfterCancel, this);
}

void TDataSet::Delete() {
    CheckActive();
    if (FState == TDataSetState::dsInsert || FState == TDataSetState::dsSetKey) {
        Cancel();
        return;
    }
    if (FRecordCount == 0) DatabaseError("Cannot perform this operation on an empty dataset", GetName());
    if (!GetCanModify()) RaiseReadOnly();
    DataEvent(TDataEvent::deCheckBrowseMode, 0);
    Fire(FBeforeDelete, this);
    DoBeforeScroll();
    UpdateCursorPos();
    InternalDelete();
    SetState(TDataSetState::dsBrowse);
    Resync({});
    Fire(FAfterDelete, this);
    DoAfterScroll();
}

void TDataSet::ClearFields() {
    if (!InWriteModes(FState)) DatabaseError("Dataset not in edit or insert mode", GetName());
    DataEvent(TDataEvent::deCheckBrowseMode, 0);
    InternalInitRecord(ActiveBuffer());
    if (FState != TDataSetState::dsSetKey) GetCalcFields(ActiveBuffer());
    DataEvent(TDataEvent::deRecordChange, 0);
}

TUpdateStatus TDataSet::GetUpdateStatus() const {
    if (FState == TDataSetState::dsInsert) return TUpdateStatus::usInserted;
    if (FState == TDataSetState::dsEdit && FModified) return TUpdateStatus::usModified;
    return TUpdateStatus::usUnmodified;
}

Variant TDataSet::FieldValueInState(const TField* field, TDataSetState state) {
    CheckActive();
    TDataSetState outerBase = FValueBaseState;
    FValueBaseState = FState;
    TDataSetState saved = SetTempState(state);
    struct Restore {
        TDataSet* D;
        TDataSetState Saved, Base;
        ~Restore() {
            D->RestoreState(Saved);
            D->FValueBaseState = Base;
        }
    } restore{this, saved, outerBase};
    return field->GetAsVariant();
}

void TDataSet::InternalHandleException() { throw; }

bool TDataSet::GetFieldString(TField* field, std::string& out, bool wide) {
    out.clear();
    if (!wide) {
        std::vector<char> buf(static_cast<std::size_t>(field->GetDataSize()) + 1, 0);
        if (!GetFieldData(field, buf.data())) return false;
        out = buf.data();
        return true;
    }
    std::vector<char16_t> buf(static_cast<std::size_t>(field->GetSize()) + 2, 0);
    if (!GetFieldData(field, buf.data())) return false;
    for (std::size_t i = 0; buf[i]; ++i) {
        char32_t cp = buf[i];
        if (cp >= 0xD800 && cp < 0xDC00 && buf[i + 1] >= 0xDC00 && buf[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (buf[i + 1] - 0xDC00);
            ++i;
        }
        Utf8Append(out, cp);
    }
    return true;
}

bool TDataSet::GetBlobFieldData(TField*, std::string& out) {
    out.clear();
    return false;
}

std::unique_ptr<TStream> TDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode) {
    auto* blob = dynamic_cast<TBlobField*>(field);
    if (!blob)
        DatabaseError("Field '" + (field ? field->GetDisplayName() : std::string("(none)")) +
                          "' is not a blob field",
                      GetName());
    return std::make_unique<TBlobStream>(blob, mode);
}

void TDataSet::SetBlobFieldData(TField* f, const std::string&) {
    DatabaseError("Field '" + f->GetDisplayName() + "' cannot be modified", GetName());
}

// ---------------------------------------------------------------- calculated fields

void TDataSet::ClearCalcFields(TRecordBuffer) {}

void TDataSet::CalcFieldsOf(TRecordBuffer buffer) {
    TDataSetState saved = FState;
    TRecordBuffer savedCalc = FCalcBuffer;
    bool savedModified = FModified;
    FState = TDataSetState::dsCalcFields;
    FCalcBuffer = buffer;
    TScopeExit cleanup([&] {
        FState = saved;
        FCalcBuffer = savedCalc;
        FModified = savedModified;
    });
    CalculateFields(buffer);
}

void TDataSet::CalculateFields(TRecordBuffer buffer) {
    ClearCalcFields(buffer);
    for (TField* f : GetFieldList())
        if (f->GetFieldKind() == TFieldKind::fkLookup) CalcLookupValue(f);
    DoOnCalcFields();
}

void TDataSet::DoOnCalcFields() { Fire(FOnCalcFields, this); }

bool TDataSet::ReadCalcField(const std::uint8_t* area, TField* field, void* out) const {
    const std::uint8_t* p = area + field->GetOffset();
    if (!p[0]) return false;
    if (out) std::memcpy(out, p + 1, field->GetDataSize());
    return true;
}

void TDataSet::WriteCalcField(std::uint8_t* area, TField* field, const void* in) const {
    std::uint8_t* p = area + field->GetOffset();
    p[0] = in ? 1 : 0;
    if (in)
        std::memcpy(p + 1, in, field->GetDataSize());
    else
        std::memset(p + 1, 0, field->GetDataSize());
}

TRecordBuffer TDataSet::FieldAccessBufferInState() const {
    switch (FState) {
        case TDataSetState::dsBrowse:
        case TDataSetState::dsBlockRead:
            return FRecordCount == 0 ? nullptr : ActiveBuffer();
        case TDataSetState::dsEdit:
        case TDataSetState::dsInsert: return ActiveBuffer();
        case TDataSetState::dsNewValue:
            return FRecordCount == 0 ? nullptr : ActiveBuffer();
        case TDataSetState::dsOldValue:
        case TDataSetState::dsCurValue:
            if (FRecordCount == 0 || FValueBaseState == TDataSetState::dsInsert) return nullptr;
            if (FValueBaseState != TDataSetState::dsEdit) return ActiveBuffer();
            return const_cast<TDataSet*>(this)->GetStoredRecordBuffer();
        case TDataSetState::dsCalcFields:
        case TDataSetState::dsInternalCalc:
        case TDataSetState::dsFilter: return FCalcBuffer;
        default: return nullptr;
    }
}

// ---------------------------------------------------------------- bookmarks

bool TDataSet::BookmarkAvailable() const {
    return !FIsUniDirectional && GetActive() && FState != TDataSetState::dsSetKey &&
           FRecordCount > 0 && !FBuffers.empty() &&
           GetBookmarkFlag(ActiveBuffer()) == TBookmarkFlag::bfCurrent;
}

TBookmark TDataSet::GetBookmark() const {
    TBookmark b;
    if (!BookmarkAvailable() || FBookmarkSize <= 0) return b;
    b.resize(FBookmarkSize);
    GetBookmarkData(ActiveBuffer(), b.data());
    return b;
}

void TDataSet::GotoBookmark(const TBookmark& b) {
    CheckBiDirectional();
    if (b.empty()) return;
    CheckBrowseMode();
    if (static_cast<int>(b.size()) != FBookmarkSize || !BookmarkValid(b))
        DatabaseError("Bookmark not found for the dataset", GetName());
    DoBeforeScroll();
    InternalGotoBookmark(b.data());
    Resync(TResyncMode{TResyncModeItem::rmExact, TResyncModeItem::rmCenter});
    DoAfterScroll();
}

bool TDataSet::BookmarkValid(const TBookmark&) { return false; }

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) {
    if (a.empty() && b.empty()) return 0;
    if (a.empty()) return 1;
    if (b.empty()) return -1;
    return a == b ? 0 : (a < b ? -1 : 1);
}

// ---------------------------------------------------------------- events

void TDataSet::DisableControls() {
    if (FDisableCount == 0) {
        FDisableState = FState;
        FEnableEvent = TDataEvent::deDataSetChange;
    }
    ++FDisableCount;
}

void TDataSet::EnableControls() {
    if (FDisableCount == 0) return;
    if (--FDisableCount != 0) return;
    if (FDisableState != FState) DataEvent(TDataEvent::deUpdateState, 0);
    if (FDisableState != TDataSetState::dsInactive && FState != TDataSetState::dsInactive)
        DataEvent(FEnableEvent, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState v) {
    TDataSetState old = FState;
    FState = v;
    ++FDisableCount;
    return old;
}

void TDataSet::RestoreState(TDataSetState v) {
    FState = v;
    if (FDisableCount > 0) --FDisableCount;
}

void TDataSet::DataEvent(TDataEvent event, std::intptr_t info) {
    switch (event) {
        case TDataEvent::deFieldChange: {
            auto* f = reinterpret_cast<TField*>(info);
            if (f->GetFieldKind() == TFieldKind::fkData ||
                f->GetFieldKind() == TFieldKind::fkInternalCalc)
                FModified = true;
            if (FState != TDataSetState::dsSetKey) {
                if (FCalcFieldsSize > 0 || FOnCalcFields) GetCalcFields(ActiveBuffer());
                f->Change();
            }
            break;
        }
        case TDataEvent::deFieldListChange: FFieldListValid = false; break;
        case TDataEvent::dePropertyChange: FFieldDefs.SetUpdated(false); break;
        default: break;
    }
    if (!ControlsDisabled() && FState != TDataSetState::dsBlockRead) {
        if (!FDataSources.empty()) NotifySources(event, info);
    } else if ((event == TDataEvent::deUpdateState && FState == TDataSetState::dsInactive) ||
               event == TDataEvent::deLayoutChange) {
        FEnableEvent = TDataEvent::deLayoutChange;
    }
}

void TDataSet::NotifySources(TDataEvent event, std::intptr_t info) {
    std::vector<TDataSource*> sources = FDataSources;
    for (TDataSource* s : sources)
        if (std::find(FDataSources.begin(), FDataSources.end(), s) != FDataSources.end())
            s->DataEvent(event, info);
}

void TDataSet::AddDataSource(TDataSource* s) {
    FDataSources.push_back(s);
    UpdateStepHeard();
    UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* s) {
    FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), s),
                       FDataSources.end());
    UpdateStepHeard();
    UpdateBufferCount();
}

}  // namespace vel
