#pragma once
// Class identity: every platform and library class knows its class name and the chain of its
// ancestors' names, because datasets and graphics are recognised by class name.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Errors.h"

namespace vel {

class TObject;
class TComponent;
class TCollection;
class TCollectionItem;
class TFiler;
struct TPropertyTable;  // published properties of one class (classes/TypInfo.h)

struct TClassInfo {
    const char* Name;
    const TClassInfo* Parent;
    // Creates an instance for streaming; null for classes that cannot be created by name.
    TObject* (*Factory)(TComponent* owner) = nullptr;
    // Published properties declared by this class itself (ancestors' are reached via Parent).
    TPropertyTable* Properties = nullptr;
    // Creates a collection item inside the given collection; set for item classes.
    TCollectionItem* (*ItemFactory)(TCollection* collection) = nullptr;

    bool InheritsFrom(const TClassInfo* other) const;
    bool InheritsFrom(std::string_view className) const;
    // This class's name followed by its ancestors' names, up to "TObject".
    std::vector<std::string> ClassNameChain() const;
};

// The class registry that streaming uses to create objects by class name. Names compare
// case-insensitively. Registering the same class twice is harmless; a different class under a
// taken name raises EInvalidOperation.
void RegisterClass(const TClassInfo* cls);
void RegisterClasses(std::initializer_list<const TClassInfo*> classes);
void UnRegisterClass(const TClassInfo* cls);
// GetClass answers nullptr for an unknown name; FindClass raises EClassNotFound.
const TClassInfo* GetClass(std::string_view className);
const TClassInfo* FindClass(std::string_view className);

class TObject {
public:
    virtual ~TObject() = default;
    static const TClassInfo* StaticClass();
    virtual const TClassInfo* ClassType() const { return StaticClass(); }
    std::string ClassName() const { return ClassType()->Name; }
    // Name of the direct ancestor, empty for TObject.
    std::string ClassParentName() const;
    bool InheritsFrom(std::string_view className) const { return ClassType()->InheritsFrom(className); }
    bool InheritsFrom(const TClassInfo* cls) const { return ClassType()->InheritsFrom(cls); }
    bool ClassNameIs(std::string_view name) const;
};

// In a class body: declares the class's identity.
#define VEL_CLASS(Self)                                                     \
public:                                                                     \
    static const ::vel::TClassInfo* StaticClass();                          \
    const ::vel::TClassInfo* ClassType() const override { return Self::StaticClass(); }

// In the class's source file: defines the identity. VEL_DEFINE_CLASS is for classes that are not
// created by name; VEL_DEFINE_CREATABLE_CLASS gives the factory `new Self(owner)` used by
// streaming (the class needs a constructor taking TComponent*) and registers the class when the
// program starts, so every class form text can create is found by name without further calls.
#define VEL_DEFINE_CLASS(Self, Parent)                                      \
    const ::vel::TClassInfo* Self::StaticClass() {                          \
        static ::vel::TClassInfo info{#Self, Parent::StaticClass()};        \
        return &info;                                                       \
    }
#define VEL_DEFINE_CREATABLE_CLASS(Self, Parent)                                          \
    const ::vel::TClassInfo* Self::StaticClass() {                                        \
        static ::vel::TClassInfo info{                                                    \
            #Self, Parent::StaticClass(),                                                 \
            [](::vel::TComponent* owner) -> ::vel::TObject* { return new Self(owner); }}; \
        return &info;                                                                     \
    }                                                                                     \
    [[maybe_unused]] static const bool VEL_CLASS_CONCAT(velRegistered, __LINE__) =        \
        (::vel::RegisterClass(Self::StaticClass()), true);
#define VEL_CLASS_CONCAT(a, b) VEL_CLASS_CONCAT2(a, b)
#define VEL_CLASS_CONCAT2(a, b) a##b
// For collection item classes: the collection creates items with `new Self(collection)`.
#define VEL_DEFINE_ITEM_CLASS(Self, Parent)                                 \
    const ::vel::TClassInfo* Self::StaticClass() {                          \
        static ::vel::TClassInfo info{#Self, Parent::StaticClass(), nullptr, nullptr, \
            [](::vel::TCollection* c) -> ::vel::TCollectionItem* { return new Self(c); }}; \
        return &info;                                                       \
    }

// Base of everything that can be assigned and streamed.
class TPersistent : public TObject {
    VEL_CLASS(TPersistent)
public:
    // Copies Source into this object; when this class does not know Source, Source's AssignTo
    // is asked, and failing that EConvertError "Cannot assign a X to a Y." is raised.
    virtual void Assign(const TPersistent* Source);
    virtual std::string GetNamePath() const;
    // Stream data that is not a published property ("Strings" of a string list, a grid's
    // "Columns"): override and call Filer.DefineProperty (classes/Streaming.h).
    virtual void DefineProperties(TFiler& Filer);

protected:
    virtual void AssignTo(TPersistent* Dest) const;
    virtual TPersistent* GetOwner() const { return nullptr; }
};

}  // namespace vel
