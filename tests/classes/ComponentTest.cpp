#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Errors.h"
#include "platform/rtl/Exceptions.h"

using namespace vel;

namespace {

// Holds a non-owned reference cleared by the removal notification.
class TRefHolder : public TComponent {
    VEL_CLASS(TRefHolder)
public:
    explicit TRefHolder(TComponent* AOwner) : TComponent(AOwner) {}
    ~TRefHolder() override {
        // A stale pointer here would be caught by AddressSanitizer.
        if (FRef) LastSeenName = FRef->GetName();
    }
    void SetRef(TComponent* Value) {
        if (FRef == Value) return;
        if (FRef) FRef->RemoveFreeNotification(this);
        FRef = Value;
        if (FRef) FRef->FreeNotification(this);
    }
    // Sets the reference without asking for free notification (relies on the owner's news).
    void SetRefNoLink(TComponent* Value) { FRef = Value; }
    TComponent* Ref() const { return FRef; }
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == TOperation::opRemove) {
            Removed.push_back(AComponent);
            RemovedWhileDestroying = AComponent->IsDestroying();
            if (AComponent == FRef) FRef = nullptr;
        } else {
            Inserted.push_back(AComponent);
        }
    }
    std::vector<TComponent*> Removed, Inserted;
    bool RemovedWhileDestroying = false;
    static inline std::string LastSeenName;

private:
    TComponent* FRef = nullptr;
};
VEL_DEFINE_CREATABLE_CLASS(TRefHolder, TComponent)

class TOtherHolder : public TRefHolder {
    VEL_CLASS(TOtherHolder)
public:
    using TRefHolder::TRefHolder;
};
VEL_DEFINE_CREATABLE_CLASS(TOtherHolder, TRefHolder)

}  // namespace

TEST(Component, OwnerFreesWhatItOwnsAndChildLeavesOwnerWhenDeleted) {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* a = new TComponent(owner.get());
    auto* b = new TComponent(owner.get());
    auto* c = new TComponent(b);  // grandchild
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(a->GetOwner(), owner.get());
    EXPECT_EQ(b->GetComponentIndex(), 1);
    delete a;
    ASSERT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->GetComponent(0), b);
    EXPECT_EQ(b->GetComponentIndex(), 0);
    EXPECT_EQ(c->GetOwner(), b);
    EXPECT_THROW(owner->GetComponent(1), EListError);
    owner.reset();  // frees b and c; leaks would show under the sanitizer
}

TEST(Component, NamesAreUniqueWithinTheOwnerAndValidIdentifiers) {
    TComponent owner(nullptr);
    owner.SetName("Form1");
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Button1");
    try {
        b->SetName("BUTTON1");
        FAIL() << "duplicate name accepted";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named BUTTON1 already exists in Form1.");
    }
    EXPECT_EQ(b->GetName(), "");
    a->SetName("BUTTON1");  // a case change of its own name is fine
    EXPECT_EQ(owner.FindComponent("button1"), a);
    EXPECT_THROW(b->SetName("1abc"), EComponentError);
    EXPECT_THROW(b->SetName("a b"), EComponentError);
    b->SetName("_ok2");
    EXPECT_EQ(owner.FindComponent("_OK2"), b);
    EXPECT_EQ(owner.FindComponent("missing"), nullptr);
    // Two unnamed components may share an owner.
    new TComponent(&owner);
    EXPECT_EQ(owner.ComponentCount(), 3);
}

TEST(Component, InsertingANamedComponentChecksTheNewOwner) {
    TComponent o1(nullptr), o2(nullptr);
    auto* a = new TComponent(&o1);
    a->SetName("X");
    auto* b = new TComponent(&o2);
    b->SetName("X");
    EXPECT_THROW(o1.InsertComponent(b), EComponentError);
    EXPECT_EQ(b->GetOwner(), &o2);
    b->SetName("Y");
    o1.InsertComponent(b);
    EXPECT_EQ(b->GetOwner(), &o1);
    EXPECT_EQ(o2.ComponentCount(), 0);
    EXPECT_EQ(o1.ComponentCount(), 2);
}

TEST(Component, RemovalNotificationClearsReferencesOnTheSameOwner) {
    TComponent owner(nullptr);
    auto* holder = new TRefHolder(&owner);
    auto* target = new TComponent(&owner);
    holder->SetRefNoLink(target);  // the owner's news alone must reach it
    delete target;
    EXPECT_EQ(holder->Ref(), nullptr);
    ASSERT_EQ(holder->Removed.size(), 1u);
    EXPECT_TRUE(holder->RemovedWhileDestroying);
}

TEST(Component, FreeNotificationClearsReferencesAcrossOwners) {
    auto form1 = std::make_unique<TComponent>(nullptr);
    auto form2 = std::make_unique<TComponent>(nullptr);
    auto* holder = new TRefHolder(form1.get());
    auto* target = new TComponent(form2.get());
    target->SetName("Table1");
    holder->SetRef(target);
    EXPECT_TRUE(target->GetComponentState().Contains(TComponentStateFlag::csFreeNotification));
    form2.reset();  // frees target
    EXPECT_EQ(holder->Ref(), nullptr);

    // The holder dies first: the target must not notify a freed holder later.
    auto form3 = std::make_unique<TComponent>(nullptr);
    auto* target2 = new TComponent(form3.get());
    holder->SetRef(target2);
    form1.reset();
    delete target2;  // would touch freed memory if the link had survived
    EXPECT_EQ(form3->ComponentCount(), 0);
}

TEST(Component, RemoveFreeNotificationStopsTheNews) {
    TComponent form1(nullptr), form2(nullptr);
    auto* holder = new TRefHolder(&form1);
    auto* target = new TComponent(&form2);
    holder->SetRef(target);
    target->RemoveFreeNotification(holder);
    delete target;
    EXPECT_TRUE(holder->Removed.empty());
    holder->SetRefNoLink(nullptr);
}

TEST(Component, OwnerDestructionTellsSurvivingSiblings) {
    // Components are freed last first: the target goes before the holder, whose destructor
    // then must see a cleared reference.
    TRefHolder::LastSeenName.clear();
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* holder = new TRefHolder(owner.get());
    auto* target = new TComponent(owner.get());
    target->SetName("Target");
    holder->SetRefNoLink(target);
    owner.reset();
    EXPECT_EQ(TRefHolder::LastSeenName, "");
}

TEST(Component, InsertNotificationReachesEveryOwnedComponent) {
    TComponent owner(nullptr);
    auto* holder = new TRefHolder(&owner);
    auto* added = new TComponent(&owner);
    ASSERT_EQ(holder->Inserted.size(), 1u);
    EXPECT_EQ(holder->Inserted[0], added);
}

TEST(Component, DesigningFlagsPropagateToOwnedComponents) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    owner.SetDesigning(true);
    EXPECT_TRUE(a->IsDesigning());
    auto* b = new TComponent(&owner);
    EXPECT_TRUE(b->IsDesigning());
    owner.SetComponentStateFlag(TComponentStateFlag::csLoading, true);
    owner.Loaded();
    EXPECT_FALSE(owner.IsLoading());
}

TEST(Component, ComponentIndexMovesWithinOwner) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    auto* c = new TComponent(&owner);
    c->SetComponentIndex(0);
    EXPECT_EQ(owner.GetComponent(0), c);
    EXPECT_EQ(owner.GetComponent(1), a);
    a->SetComponentIndex(99);  // clamped to the end
    EXPECT_EQ(owner.GetComponent(2), a);
    EXPECT_EQ(b->GetComponentIndex(), 1);
}

TEST(ClassRegistry, RegistersFindsAndCreatesByName) {
    // Creatable classes register themselves when the program starts.
    EXPECT_EQ(GetClass("TRefHolder"), TRefHolder::StaticClass());
    UnRegisterClass(TRefHolder::StaticClass());
    UnRegisterClass(TOtherHolder::StaticClass());
    EXPECT_EQ(GetClass("TRefHolder"), nullptr);
    try {
        FindClass("TRefHolder");
        FAIL();
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), "Class TRefHolder not found.");
    }
    RegisterClasses({TRefHolder::StaticClass(), TOtherHolder::StaticClass()});
    RegisterClass(TRefHolder::StaticClass());  // twice is harmless
    const TClassInfo* cls = FindClass("trefholder");
    ASSERT_EQ(cls, TRefHolder::StaticClass());
    TComponent owner(nullptr);
    TObject* obj = cls->Factory(&owner);
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(obj->ClassName(), "TRefHolder");

    TOtherHolder other(nullptr);
    EXPECT_EQ(other.ClassType()->ClassNameChain(),
              (std::vector<std::string>{"TOtherHolder", "TRefHolder", "TComponent", "TPersistent",
                                        "TObject"}));
    EXPECT_TRUE(other.InheritsFrom("trefholder"));
    EXPECT_FALSE(static_cast<TObject&>(owner).InheritsFrom(TRefHolder::StaticClass()));

    // Another class under a taken name is refused.
    static TClassInfo fake{"TRefHolder", TComponent::StaticClass()};
    EXPECT_THROW(RegisterClass(&fake), EInvalidOperation);
    UnRegisterClass(TRefHolder::StaticClass());
    UnRegisterClass(TOtherHolder::StaticClass());
    EXPECT_EQ(GetClass("TRefHolder"), nullptr);
    RegisterClasses({TRefHolder::StaticClass(), TOtherHolder::StaticClass()});
}

TEST(GlobalComponents, FinderProcsAreAskedInTurn) {
    TComponent form(nullptr);
    form.SetName("Form2");
    int h = RegisterFindGlobalComponentProc(
        [&](std::string_view n) { return n == "Form2" ? &form : nullptr; });
    EXPECT_EQ(FindGlobalComponent("Form2"), &form);
    EXPECT_EQ(FindGlobalComponent("Form3"), nullptr);
    UnregisterFindGlobalComponentProc(h);
    EXPECT_EQ(FindGlobalComponent("Form2"), nullptr);
}

// ---- collections ----

namespace {

class TTestItem : public TCollectionItem {
    VEL_CLASS(TTestItem)
public:
    explicit TTestItem(TCollection* c) : TCollectionItem(c) {}
    int Value = 0;
    void Assign(const TPersistent* Source) override {
        if (auto* s = dynamic_cast<const TTestItem*>(Source)) {
            Value = s->Value;
            return;
        }
        TCollectionItem::Assign(Source);
    }
    void Touch() { Changed(false); }
};
VEL_DEFINE_ITEM_CLASS(TTestItem, TCollectionItem)

class TTestCollection : public TCollection {
public:
    TTestCollection() : TCollection(TTestItem::StaticClass()) {}
    std::vector<std::string> Log;
    TTestItem* Item(int i) const { return static_cast<TTestItem*>(GetItem(i)); }

protected:
    void Update(TCollectionItem* Item) override {
        Log.push_back(Item ? "update " + std::to_string(Item->GetID()) : "update all");
    }
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
        static const char* names[] = {"added", "extracting", "deleting"};
        Log.push_back(std::string(names[static_cast<int>(Action)]) + " " +
                      std::to_string(Item->GetID()));
    }
};

std::vector<int> Values(const TTestCollection& c) {
    std::vector<int> v;
    for (int i = 0; i < c.Count(); ++i) v.push_back(c.Item(i)->Value);
    return v;
}

}  // namespace

TEST(Collection, AddInsertDeleteAndIndexMoves) {
    TTestCollection c;
    for (int i = 0; i < 3; ++i) static_cast<TTestItem*>(c.Add())->Value = i;
    auto* ins = static_cast<TTestItem*>(c.Insert(1));
    ins->Value = 9;
    EXPECT_EQ(Values(c), (std::vector<int>{0, 9, 1, 2}));
    EXPECT_EQ(ins->GetIndex(), 1);
    EXPECT_EQ(ins->GetID(), 3);
    c.Item(0)->SetIndex(3);
    EXPECT_EQ(Values(c), (std::vector<int>{9, 1, 2, 0}));
    EXPECT_THROW(c.Item(0)->SetIndex(4), EListError);
    EXPECT_THROW(c.Insert(9), EListError);
    c.Delete(0);
    EXPECT_EQ(Values(c), (std::vector<int>{1, 2, 0}));
    // IDs are never reused.
    EXPECT_EQ(c.Add()->GetID(), 4);
    EXPECT_EQ(c.FindItemID(1), c.GetItem(0));
    EXPECT_EQ(c.FindItemID(3), nullptr);
    // An item deleted directly leaves its collection.
    delete c.GetItem(0);
    EXPECT_EQ(c.Count(), 3);
}

TEST(Collection, NotificationsAndUpdateCallbacks) {
    TTestCollection c;
    c.Add();
    auto* item = static_cast<TTestItem*>(c.Add());
    item->Touch();
    c.Delete(0);
    EXPECT_EQ(c.Log, (std::vector<std::string>{"added 0", "update all", "added 1", "update all",
                                               "update 1", "deleting 0", "extracting 0",
                                               "update all"}));
    c.Log.clear();
    c.BeginUpdate();
    c.BeginUpdate();
    c.Add();
    item->Touch();
    item->SetIndex(1);
    c.EndUpdate();
    EXPECT_EQ(c.Log, (std::vector<std::string>{"added 2"}));
    c.EndUpdate();
    EXPECT_EQ(c.Log, (std::vector<std::string>{"added 2", "update all"}));
    c.EndUpdate();  // never below 0: the next change reports at once
    EXPECT_EQ(c.UpdateCount(), 0);
    c.Log.clear();
    c.Clear();
    EXPECT_EQ(c.Log, (std::vector<std::string>{"extracting 1", "extracting 2", "update all"}));
}

TEST(Collection, AssignCopiesItemsAndRefusesStrangers) {
    TTestCollection a, b;
    for (int i = 0; i < 3; ++i) static_cast<TTestItem*>(a.Add())->Value = i * 10;
    b.Add();
    b.Log.clear();
    b.Assign(&a);
    EXPECT_EQ(Values(b), (std::vector<int>{0, 10, 20}));
    EXPECT_EQ(b.Log.back(), "update all");
    EXPECT_EQ(std::count(b.Log.begin(), b.Log.end(), "update all"), 1);
    TComponent comp(nullptr);
    try {
        b.Assign(&comp);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TComponent to a TCollection.");
    }
    EXPECT_EQ(b.Count(), 3);
    EXPECT_EQ(b.GetItem(1)->GetNamePath(), "TCollection[1]");
}
