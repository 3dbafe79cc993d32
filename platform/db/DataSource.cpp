#include "platform/db/DataSource.h"

#include <algorithm>

#include "platform/classes/TypInfo.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

VEL_DEFINE_CREATABLE_CLASS(TDataSource, TComponent)
VEL_DEFINE_CLASS(TDataLink, TPersistent)
VEL_DEFINE_CLASS(TFieldDataLink, TDataLink)

VEL_PUBLISHED(TDataSource) {
    Prop("DataSet", &T::GetDataSet, &T::SetDataSet);
    Prop("Enabled", &T::GetEnabled, &T::SetEnabled, true);
    Prop("AutoEdit", &T::GetAutoEdit, &T::SetAutoEdit, true);
}

namespace {
bool InEditModes(TDataSetState s) {
    return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert ||
           s == TDataSetState::dsSetKey;
}
}  // namespace

// ---------------------------------------------------------------- TDataSource

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    FOnStateChange = nullptr;
    FOnDataChange = nullptr;
    SetDataSet(nullptr);
    for (TDataLink* l : std::vector<TDataLink*>(FDataLinks)) l->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* v) {
    if (v == FDataSet) return;
    if (FDataSet) {
        FDataSet->RemoveDataSource(this);
        // Links see the old dataset go before the new one comes, even when both are open.
        FDataSet = nullptr;
        UpdateState();
    }
    FDataSet = v;
    if (v) v->AddDataSource(this);
    UpdateState();
}

void TDataSource::DataSetDestroyed() {
    FDataSet = nullptr;
    UpdateState();
}

void TDataSource::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    NotifyLinks(TDataEvent::deDisabledStateChange, v ? 1 : 0);
    UpdateState();
}

void TDataSource::Edit() {
    if (FAutoEdit && FState == TDataSetState::dsBrowse && FDataSet) FDataSet->Edit();
}

void TDataSource::UpdateState() {
    SetState(FEnabled && FDataSet ? FDataSet->GetState() : TDataSetState::dsInactive);
}

void TDataSource::SetState(TDataSetState v) {
    if (v == FState) return;
    TDataSetState prior = FState;
    FState = v;
    NotifyLinks(TDataEvent::deUpdateState, 0);
    StateChange();
    if (prior == TDataSetState::dsInactive) DataChange(nullptr);
}

void TDataSource::StateChange() {
    if (FOnStateChange) FOnStateChange(this);
}
void TDataSource::DataChange(TField* field) {
    if (FOnDataChange) FOnDataChange(this, field);
}
void TDataSource::UpdateData() {
    if (FOnUpdateData) FOnUpdateData(this);
}

void TDataSource::NotifyLinks(TDataEvent event, std::intptr_t info) {
    // Visual controls first, then the others (field links, master links).
    std::vector<TDataLink*> links = FDataLinks;
    for (int pass = 0; pass < 2; ++pass)
        for (TDataLink* l : links)
            if (l->GetVisualControl() == (pass == 0) &&
                std::find(FDataLinks.begin(), FDataLinks.end(), l) != FDataLinks.end())
                l->DataEvent(event, info);
}

void TDataSource::DataEvent(TDataEvent event, std::intptr_t info) {
    if (event == TDataEvent::deUpdateState) {
        UpdateState();
        return;
    }
    if (FState == TDataSetState::dsInactive) return;
    NotifyLinks(event, info);
    switch (event) {
        case TDataEvent::deFieldChange: DataChange(reinterpret_cast<TField*>(info)); break;
        case TDataEvent::deRecordChange:
        case TDataEvent::deDataSetChange:
        case TDataEvent::deDataSetScroll:
        case TDataEvent::deLayoutChange: DataChange(nullptr); break;
        case TDataEvent::deUpdateRecord: UpdateData(); break;
        default: break;
    }
}

void TDataSource::AddDataLink(TDataLink* l) {
    FDataLinks.push_back(l);
    l->FDataSource = this;
    if (FDataSet) FDataSet->UpdateBufferCount();
    l->UpdateState();
}

void TDataSource::RemoveDataLink(TDataLink* l) {
    FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), l), FDataLinks.end());
    l->FDataSource = nullptr;
    l->UpdateState();
    if (FDataSet) FDataSet->UpdateBufferCount();
}

// ---------------------------------------------------------------- TDataLink

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
    if (FDataSource) {
        FDataSource->FDataLinks.erase(
            std::remove(FDataSource->FDataLinks.begin(), FDataSource->FDataLinks.end(), this),
            FDataSource->FDataLinks.end());
        if (FDataSource->GetDataSet()) FDataSource->GetDataSet()->UpdateBufferCount();
    }
}

void TDataLink::SetDataSource(TDataSource* v) {
    if (v == FDataSource) return;
    if (FDataSource) FDataSource->RemoveDataLink(this);
    if (v) v->AddDataLink(this);
}

TDataSet* TDataLink::GetDataSet() const { return FDataSource ? FDataSource->GetDataSet() : nullptr; }

void TDataLink::SetReadOnly(bool v) {
    if (v == FReadOnly) return;
    FReadOnly = v;
    UpdateState();
}

void TDataLink::UpdateState() {
    SetActive(FDataSource && FDataSource->GetState() != TDataSetState::dsInactive);
    SetEditing(FDataSource && InEditModes(FDataSource->GetState()) && !FReadOnly);
}

void TDataLink::SetActive(bool v) {
    if (v == FActive) return;
    FActive = v;
    if (v)
        UpdateRange();
    else
        FFirstRecord = 0;
    ActiveChanged();
}

void TDataLink::SetEditing(bool v) {
    if (v == FEditing) return;
    FEditing = v;
    EditingChanged();
}

// Keeps the link's window inside the dataset's buffers and around the active record.
void TDataLink::UpdateRange() {
    TDataSet* ds = GetDataSet();
    if (!ds) return;
    int active = ds->GetActiveRecord();
    int lo = std::max(0, active - FBufferCount + 1);
    int hi = std::max(0, std::min(active, ds->GetBufferCount() - FBufferCount));
    if (FFirstRecord < lo) FFirstRecord = lo;
    if (FFirstRecord > hi) FFirstRecord = std::max(lo, hi);
}

void TDataLink::SetBufferCount(int v) {
    if (v < 1) v = 1;
    if (v == FBufferCount) return;
    FBufferCount = v;
    if (FActive) {
        UpdateRange();
        GetDataSet()->UpdateBufferCount();
        UpdateRange();
    }
}

int TDataLink::GetActiveRecord() const {
    if (!FActive) return 0;
    if (FDataSource->GetState() == TDataSetState::dsSetKey) return 0;
    return GetDataSet()->GetActiveRecord() - FFirstRecord;
}

void TDataLink::SetActiveRecord(int v) {
    if (!FActive || FDataSource->GetState() == TDataSetState::dsSetKey) return;
    GetDataSet()->SetActiveRecord(v + FFirstRecord);
}

int TDataLink::GetRecordCount() const {
    if (!FActive) return 0;
    if (FDataSource->GetState() == TDataSetState::dsSetKey) return 1;
    int n = GetDataSet()->GetBufferedRecordCount() - FFirstRecord;
    return std::clamp(n, 0, FBufferCount);
}

int TDataLink::MoveBy(int distance) { return GetDataSet()->MoveBy(distance); }

bool TDataLink::Edit() {
    if (!FReadOnly && FDataSource) FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord() {
    FUpdating = true;
    TScopeExit cleanup([&] { FUpdating = false; });
    UpdateData();
}

void TDataLink::DataEvent(TDataEvent event, std::intptr_t info) {
    if (event == TDataEvent::deUpdateState) {
        UpdateState();
        return;
    }
    if (event == TDataEvent::deDisabledStateChange) {
        DisabledStateChanged(info != 0);
        return;
    }
    if (!FActive) return;
    switch (event) {
        case TDataEvent::deFieldChange:
        case TDataEvent::deRecordChange:
            if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(info));
            break;
        case TDataEvent::deDataSetChange:
        case TDataEvent::deDataSetScroll:
        case TDataEvent::deLayoutChange: {
            int count = 0;
            if (FDataSource->GetState() != TDataSetState::dsSetKey) {
                int active = GetDataSet()->GetActiveRecord();
                int first = FFirstRecord + static_cast<int>(info);
                int last = first + FBufferCount - 1;
                if (active > last)
                    count = active - last;
                else if (active < first)
                    count = active - first;
                FFirstRecord = first + count;
                // After a refill the window never starts before the first buffer.
                if (event != TDataEvent::deDataSetScroll && FFirstRecord < 0) FFirstRecord = 0;
            }
            if (event == TDataEvent::deDataSetChange)
                DataSetChanged();
            else if (event == TDataEvent::deDataSetScroll)
                DataSetScrolled(count);
            else
                LayoutChanged();
            break;
        }
        case TDataEvent::deUpdateRecord: UpdateRecord(); break;
        case TDataEvent::deCheckBrowseMode: CheckBrowseMode(); break;
        case TDataEvent::deFocusControl: FocusControl(reinterpret_cast<TField**>(info)); break;
        default: break;
    }
}

// ---------------------------------------------------------------- TFieldDataLink

void TFieldDataLink::SetFieldName(const std::string& v) {
    if (v == FFieldName) return;
    FFieldName = v;
    UpdateField();
}

void TFieldDataLink::UpdateField() {
    TField* f = nullptr;
    if (GetActive() && !FFieldName.empty()) f = GetDataSet()->FieldByName(FFieldName);
    if (f != FField) {
        FField = f;
        FModified = false;
        if (FOnDataChange) FOnDataChange(this);
    }
}

bool TFieldDataLink::GetCanModify() const {
    return !GetReadOnly() && FField && FField->GetCanModify();
}

void TFieldDataLink::Reset() { RecordChanged(nullptr); }

void TFieldDataLink::ActiveChanged() {
    UpdateField();
    if (FOnActiveChange) FOnActiveChange(this);
}

void TFieldDataLink::EditingChanged() {
    if (FOnEditingChange) FOnEditingChange(this);
}

void TFieldDataLink::FocusControl(TField** field) {
    // Editors decide whether they take the focus; the link only matches the field.
    (void)field;
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::RecordChanged(TField* field) {
    if (!field || field == FField) {
        if (FOnDataChange) FOnDataChange(this);
        FModified = false;
    }
}

void TFieldDataLink::UpdateData() {
    if (FModified) {
        if (FField && FOnUpdateData) FOnUpdateData(this);
        FModified = false;
    }
}

}  // namespace vel
