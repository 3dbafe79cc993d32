#pragma once
// TDataSource connects a dataset to data links; TDataLink is a control's view of the
// dataset's record window (its own first record, BufferCount and ActiveRecord).
#include <functional>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/db/DBTypes.h"

namespace vel {

class TDataSet;
class TDataSource;
class TField;
class TDataLink;

using TNotifyEvent = std::function<void(TObject* sender)>;
using TDataChangeEvent = std::function<void(TObject* sender, TField* field)>;

class TDataSource : public TComponent {
    VEL_CLASS(TDataSource)
public:
    explicit TDataSource(TComponent* owner = nullptr);
    ~TDataSource() override;

    TDataSet* GetDataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* v);
    TDataSetState GetState() const { return FState; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool v);
    bool GetAutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool v) { FAutoEdit = v; }
    // Puts the dataset into edit state when AutoEdit allows it.
    void Edit();
    bool IsLinkedTo(const TDataSet* ds) const { return FDataSet == ds; }

    const TNotifyEvent& GetOnStateChange() const { return FOnStateChange; }
    void SetOnStateChange(TNotifyEvent v) { FOnStateChange = std::move(v); }
    const TDataChangeEvent& GetOnDataChange() const { return FOnDataChange; }
    void SetOnDataChange(TDataChangeEvent v) { FOnDataChange = std::move(v); }
    const TNotifyEvent& GetOnUpdateData() const { return FOnUpdateData; }
    void SetOnUpdateData(TNotifyEvent v) { FOnUpdateData = std::move(v); }

    // Called by the dataset.
    void DataEvent(TDataEvent event, std::intptr_t info);
    void AddDataLink(TDataLink* l);
    void RemoveDataLink(TDataLink* l);
    const std::vector<TDataLink*>& GetDataLinks() const { return FDataLinks; }
    void DataSetDestroyed();

protected:
    virtual void StateChange();
    virtual void DataChange(TField* field);
    virtual void UpdateData();

private:
    void UpdateState();
    void SetState(TDataSetState v);
    void NotifyLinks(TDataEvent event, std::intptr_t info);
    friend class TDataLink;

    TDataSet* FDataSet = nullptr;
    TDataSetState FState = TDataSetState::dsInactive;
    bool FEnabled = true, FAutoEdit = true;
    std::vector<TDataLink*> FDataLinks;
    TNotifyEvent FOnStateChange, FOnUpdateData;
    TDataChangeEvent FOnDataChange;
};

class TDataLink : public TPersistent {
    VEL_CLASS(TDataLink)
public:
    TDataLink();
    ~TDataLink() override;
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* GetDataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* v);
    TDataSet* GetDataSet() const;
    bool GetActive() const { return FActive; }
    bool GetEditing() const { return FEditing; }
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    // The link of a visual control is told before the links of non-visual ones.
    bool GetVisualControl() const { return FVisualControl; }
    void SetVisualControl(bool v) { FVisualControl = v; }

    // The link's record window: BufferCount rows of the dataset's buffers from its own first.
    int GetBufferCount() const { return FBufferCount; }
    void SetBufferCount(int v);
    int GetActiveRecord() const;
    void SetActiveRecord(int v);
    int GetRecordCount() const;
    int MoveBy(int distance);
    bool Edit();
    void UpdateRecord();
    int GetFirstRecord() const { return FFirstRecord; }

    // Called by the data source.
    void DataEvent(TDataEvent event, std::intptr_t info);

protected:
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int /*distance*/) { DataSetChanged(); }
    virtual void FocusControl(TField** /*field*/) {}
    virtual void EditingChanged() {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* /*field*/) {}
    virtual void UpdateData() {}
    virtual void DisabledStateChanged(bool /*enabled*/) {}

private:
    friend class TDataSource;
    void UpdateState();
    void SetActive(bool v);
    void SetEditing(bool v);
    void UpdateRange();

    TDataSource* FDataSource = nullptr;
    int FFirstRecord = 0, FBufferCount = 1;
    bool FActive = false, FEditing = false, FReadOnly = false, FUpdating = false;
    bool FVisualControl = false;
};

// A link to one field of the active record, for single-field editors.
class TFieldDataLink : public TDataLink {
    VEL_CLASS(TFieldDataLink)
public:
    const std::string& GetFieldName() const { return FFieldName; }
    void SetFieldName(const std::string& v);
    TField* GetField() const { return FField; }
    bool GetCanModify() const;
    bool GetModified() const { return FModified; }
    void Modified() { FModified = true; }
    void Reset();

    void SetOnDataChange(TNotifyEvent v) { FOnDataChange = std::move(v); }
    void SetOnEditingChange(TNotifyEvent v) { FOnEditingChange = std::move(v); }
    void SetOnUpdateData(TNotifyEvent v) { FOnUpdateData = std::move(v); }
    void SetOnActiveChange(TNotifyEvent v) { FOnActiveChange = std::move(v); }

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void FocusControl(TField** field) override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    void UpdateField();
    std::string FFieldName;
    TField* FField = nullptr;
    bool FModified = false;
    TNotifyEvent FOnDataChange, FOnEditingChange, FOnUpdateData, FOnActiveChange;
};

}  // namespace vel
