#include "platform/classes/Component.h"

#include <algorithm>
#include <map>

#include "platform/classes/Errors.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

namespace vel {

using enum TComponentStateFlag;

bool IsValidIdent(std::string_view name) {
    if (name.empty()) return false;
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!alpha(name[0])) return false;
    for (char c : name)
        if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

VEL_DEFINE_CREATABLE_CLASS(TComponent, TPersistent)

// Name is written as the object's header, not as a property.
VEL_PUBLISHED(TComponent) {
    Prop("Name", &T::GetName, &T::SetName).Stored(false);
    Prop("Tag", &T::GetTag, &T::SetTag, std::intptr_t{0});
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Tell every linked partner; each drops its pointer to us.
    while (!FFreeNotifies.empty()) {
        TComponent* partner = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& theirs = partner->FFreeNotifies;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        partner->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::DestroyComponents() {
    // Each child removes itself through RemoveComponent, so its siblings hear of it.
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        delete c;
    }
}

TComponent* TComponent::GetComponent(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ").");
    return FComponents[static_cast<std::size_t>(Index)];
}

int TComponent::GetComponentIndex() const {
    if (!FOwner) return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value) {
    if (!FOwner) return;
    auto& list = FOwner->FComponents;
    int cur = GetComponentIndex();
    if (cur < 0) return;
    int last = static_cast<int>(list.size()) - 1;
    Value = std::clamp(Value, 0, last);
    if (Value == cur) return;
    list.erase(list.begin() + cur);
    list.insert(list.begin() + Value, this);
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (Utf8SameText(c->FName, AName)) return c;
    return nullptr;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName) {
    if (AComponent && !NewName.empty() && !Utf8SameText(CurName, NewName) &&
        FindComponent(NewName))
        throw EComponentError("A component named " + NewName + " already exists in " +
                              (FName.empty() ? ClassName() : FName) + ".");
}

void TComponent::SetName(const std::string& NewName) {
    if (FName == NewName) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("\"" + NewName + "\" is not a valid component name.");
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    FName = NewName;
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), AComponent),
                      FComponents.end());
    AComponent->FOwner = nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner == this) return;
    ValidateRename(AComponent, std::string(), AComponent->FName);
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
    Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner != this) return;
    Notification(AComponent, TOperation::opRemove);
    Remove(AComponent);
}

void TComponent::NotifyAll(TComponent* AComponent, TOperation Operation) {
    // A handler may free components of ours: walk by index and re-clamp after each call.
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        if (i >= ComponentCount()) {
            i = ComponentCount();
            continue;
        }
        TComponent* c = FComponents[static_cast<std::size_t>(i)];
        if (c != AComponent) c->Notification(AComponent, Operation);
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == TOperation::opRemove && AComponent) RemoveFreeNotification(AComponent);
    NotifyAll(AComponent, Operation);
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
        AComponent->FreeNotification(this);
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it == FFreeNotifies.end()) return;
    FFreeNotifies.erase(it);
    AComponent->RemoveFreeNotification(this);
    if (FFreeNotifies.empty()) FComponentState.Exclude(csFreeNotification);
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    SetComponentStateFlag(csDesigning, Value);
    if (SetChildren)
        for (TComponent* c : FComponents) c->SetDesigning(Value, true);
}

void TComponent::SetSubComponent(bool Value) {
    if (Value)
        FComponentStyle.Include(TComponentStyleFlag::csSubComponent);
    else
        FComponentStyle.Exclude(TComponentStyleFlag::csSubComponent);
}

void TComponent::SetComponentStateFlag(TComponentStateFlag Flag, bool On) {
    if (On)
        FComponentState.Include(Flag);
    else
        FComponentState.Exclude(Flag);
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

std::string TComponent::GetNamePath() const { return FName; }

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    if (Root != this) return;
    for (TComponent* c : FComponents)
        if (!c->HasParent() && !c->GetComponentStyle().Contains(TComponentStyleFlag::csSubComponent))
            Proc(c);
}

namespace {
std::map<int, TFindGlobalComponent>& GlobalFinders() {
    static std::map<int, TFindGlobalComponent> finders;
    return finders;
}
}  // namespace

int RegisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
    static int next = 0;
    GlobalFinders().emplace(++next, std::move(Proc));
    return next;
}

void UnregisterFindGlobalComponentProc(int Handle) { GlobalFinders().erase(Handle); }

TComponent* FindGlobalComponent(std::string_view Name) {
    for (auto& [handle, proc] : GlobalFinders())
        if (TComponent* c = proc(Name)) return c;
    return nullptr;
}

}  // namespace vel
