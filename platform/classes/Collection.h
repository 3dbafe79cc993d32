#pragma once
// TCollection / TCollectionItem: an owned, ordered list of items of one class (grid columns,
// total rows). Items are created through their class's ItemFactory, so a collection can be
// read from a stream knowing only its item class.
#include <string>
#include <vector>

#include "platform/classes/Object.h"

namespace vel {

class TCollection;

enum class TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
    VEL_CLASS(TCollectionItem)
public:
    // Adds the item to Collection (when given).
    explicit TCollectionItem(TCollection* Collection);
    // Removes the item from its collection.
    ~TCollectionItem() override;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* GetCollection() const { return FCollection; }
    // Moves the item to another collection (or out of any with nullptr).
    virtual void SetCollection(TCollection* Value);
    // Unique within the collection for the collection's lifetime; never reused.
    int GetID() const { return FID; }
    int GetIndex() const;
    // Moves the item within its collection; the whole collection changes.
    virtual void SetIndex(int Value);
    virtual std::string GetDisplayName() const;
    virtual void SetDisplayName(const std::string& Value);
    std::string GetNamePath() const override;

protected:
    // Tells the collection this item (or with AllItems, the whole collection) changed.
    void Changed(bool AllItems);
    TPersistent* GetOwner() const override;

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
    VEL_CLASS(TCollection)
public:
    // ItemClass must be defined with VEL_DEFINE_ITEM_CLASS.
    explicit TCollection(const TClassInfo* ItemClass, TPersistent* Owner = nullptr);
    ~TCollection() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    const TClassInfo* GetItemClass() const { return FItemClass; }
    TPersistent* Owner() const { return FOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* GetItem(int Index) const;
    // Assigns Value to the item at Index.
    void SetItem(int Index, const TCollectionItem* Value);
    TCollectionItem* operator[](int Index) const { return GetItem(Index); }

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    TCollectionItem* FindItemID(int ID) const;

    // Changes inside a bracket call Update once, with nullptr, when the outermost bracket
    // closes. The counter never goes below 0.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Replaces the items by copies of a collection's items (each assigned from its source).
    void Assign(const TPersistent* Source) override;
    std::string GetNamePath() const override;

protected:
    TPersistent* GetOwner() const override { return FOwner; }
    // Called after a change of one item (Item) or of the whole collection (nullptr), outside
    // update brackets.
    virtual void Update(TCollectionItem* Item);
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    const TClassInfo* FItemClass;
    TPersistent* FOwner;
    std::vector<TCollectionItem*> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
};

}  // namespace vel
