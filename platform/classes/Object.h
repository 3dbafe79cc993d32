#pragma once
// Class identity: every platform and library class knows its class name and the chain of its
// ancestors' names, because datasets and graphics are recognised by class name.
#include <string>
#include <string_view>

namespace vel {

class TObject;
class TComponent;
struct TPropertyTable;  // published properties of one class (classes/TypInfo.h)

struct TClassInfo {
    const char* Name;
    const TClassInfo* Parent;
    // Creates an instance for streaming; null for classes that cannot be created by name.
    TObject* (*Factory)(TComponent* owner) = nullptr;
    // Published properties declared by this class itself (ancestors' are reached via Parent).
    TPropertyTable* Properties = nullptr;

    bool InheritsFrom(const TClassInfo* other) const;
    bool InheritsFrom(std::string_view className) const;
};

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
// streaming (the class needs a constructor taking TComponent*).
#define VEL_DEFINE_CLASS(Self, Parent)                                      \
    const ::vel::TClassInfo* Self::StaticClass() {                          \
        static ::vel::TClassInfo info{#Self, Parent::StaticClass()};        \
        return &info;                                                       \
    }
#define VEL_DEFINE_CREATABLE_CLASS(Self, Parent)                            \
    const ::vel::TClassInfo* Self::StaticClass() {                          \
        static ::vel::TClassInfo info{#Self, Parent::StaticClass(),         \
            [](::vel::TComponent* owner) -> ::vel::TObject* { return new Self(owner); }}; \
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

protected:
    virtual void AssignTo(TPersistent* Dest) const;
    virtual TPersistent* GetOwner() const { return nullptr; }
};

}  // namespace vel
