#pragma once
// TComponent: ownership, names, state flags and the removal notification.
//
// An owner deletes what it owns. References that are not owned are plain pointers that the
// holder clears in Notification(component, opRemove): a dying component notifies its owner
// (which passes the news to everything it owns) and every component linked to it through
// FreeNotification, so references across owners are cleared too.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Errors.h"
#include "platform/classes/Object.h"
#include "platform/rtl/TSet.h"

namespace vel {

enum class TOperation { opInsert, opRemove };

enum class TComponentStateFlag {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateFlag>;

enum class TComponentStyleFlag { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleFlag>;

class TComponent;
using TGetChildProc = std::function<void(TComponent* Child)>;

// True for a name usable as a component name: a letter or '_' then letters, digits or '_'.
bool IsValidIdent(std::string_view name);

class TComponent : public TPersistent {
    VEL_CLASS(TComponent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* GetOwner() const override { return FOwner; }
    const std::string& GetName() const { return FName; }
    // Raises EComponentError for an invalid identifier or a name already used in the owner.
    virtual void SetName(const std::string& NewName);
    std::intptr_t GetTag() const { return FTag; }
    void SetTag(std::intptr_t Value) { FTag = Value; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* GetComponent(int Index) const;
    int GetComponentIndex() const;
    void SetComponentIndex(int Value);
    // Owned component with this name (case-insensitive), or nullptr.
    TComponent* FindComponent(std::string_view AName) const;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Deletes every owned component, last first.
    void DestroyComponents();
    // Sets csDestroying here and in every owned component.
    void Destroying();

    TComponentState GetComponentState() const { return FComponentState; }
    TComponentStyle GetComponentStyle() const { return FComponentStyle; }
    bool IsLoading() const { return FComponentState.Contains(TComponentStateFlag::csLoading); }
    bool IsDesigning() const { return FComponentState.Contains(TComponentStateFlag::csDesigning); }
    bool IsDestroying() const { return FComponentState.Contains(TComponentStateFlag::csDestroying); }
    void SetDesigning(bool Value, bool SetChildren = true);
    // A sub-component is owned by another component and streamed inside it, not by name.
    void SetSubComponent(bool Value);

    // Links this component and AComponent both ways: each is told when the other is destroyed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    std::string GetNamePath() const override;

    // Streaming hooks. GetChildren yields the components written inside this one; the
    // default yields, for the root, every owned component without a parent component.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    // Called by the reader with the component this one was nested in.
    virtual void SetParentComponent(TComponent* /*Value*/) {}

    // Used by the reader; everything else reads the state.
    void SetComponentStateFlag(TComponentStateFlag Flag, bool On);
    // Runs once after loading, when every reference is resolved; clears csLoading.
    virtual void Loaded();

    // Removal and insertion news. Overrides must call the base: it forwards the news to every
    // owned component and drops the free-notification link of a removed component.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

protected:
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName);

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void NotifyAll(TComponent* AComponent, TOperation Operation);

    TComponent* FOwner = nullptr;
    std::string FName;
    std::intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState;
    TComponentStyle FComponentStyle{TComponentStyleFlag::csInheritable};
};

// Global lookup of top-level components ("OtherForm" in "OtherForm.Table1" references).
using TFindGlobalComponent = std::function<TComponent*(std::string_view Name)>;
// Returns a handle for UnregisterFindGlobalComponentProc.
int RegisterFindGlobalComponentProc(TFindGlobalComponent Proc);
void UnregisterFindGlobalComponentProc(int Handle);
TComponent* FindGlobalComponent(std::string_view Name);

}  // namespace vel
