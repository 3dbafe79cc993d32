#include "platform/classes/Object.h"

#include <map>

#include "platform/classes/Errors.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

namespace vel {

namespace {

struct TLessText {
    bool operator()(const std::string& a, const std::string& b) const {
        return Utf8CompareText(a, b) < 0;
    }
};

std::map<std::string, const TClassInfo*, TLessText>& ClassRegistry() {
    static std::map<std::string, const TClassInfo*, TLessText> registry;
    return registry;
}

}  // namespace

void RegisterClass(const TClassInfo* cls) {
    auto& reg = ClassRegistry();
    auto it = reg.find(cls->Name);
    if (it != reg.end()) {
        if (it->second == cls) return;
        throw EInvalidOperation(std::string("A class named ") + cls->Name + " already exists.");
    }
    reg.emplace(cls->Name, cls);
}

void RegisterClasses(std::initializer_list<const TClassInfo*> classes) {
    for (const TClassInfo* c : classes) RegisterClass(c);
}

void UnRegisterClass(const TClassInfo* cls) {
    auto& reg = ClassRegistry();
    auto it = reg.find(cls->Name);
    if (it != reg.end() && it->second == cls) reg.erase(it);
}

const TClassInfo* GetClass(std::string_view className) {
    auto& reg = ClassRegistry();
    auto it = reg.find(std::string(className));
    return it == reg.end() ? nullptr : it->second;
}

const TClassInfo* FindClass(std::string_view className) {
    if (const TClassInfo* c = GetClass(className)) return c;
    throw EClassNotFound("Class " + std::string(className) + " not found.");
}

std::vector<std::string> TClassInfo::ClassNameChain() const {
    std::vector<std::string> names;
    for (const TClassInfo* c = this; c; c = c->Parent) names.emplace_back(c->Name);
    return names;
}

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (c == other) return true;
    return false;
}

bool TClassInfo::InheritsFrom(std::string_view className) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (Utf8SameText(c->Name, className)) return true;
    return false;
}

const TClassInfo* TObject::StaticClass() {
    static TClassInfo info{"TObject", nullptr};
    return &info;
}

std::string TObject::ClassParentName() const {
    const TClassInfo* p = ClassType()->Parent;
    return p ? p->Name : std::string();
}

bool TObject::ClassNameIs(std::string_view name) const { return Utf8SameText(ClassType()->Name, name); }

VEL_DEFINE_CLASS(TPersistent, TObject)

void TPersistent::Assign(const TPersistent* Source) {
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError("Cannot assign a nil to a " + ClassName() + ".");
}

void TPersistent::AssignTo(TPersistent* Dest) const {
    throw EConvertError("Cannot assign a " + ClassName() + " to a " + Dest->ClassName() + ".");
}

void TPersistent::DefineProperties(TFiler&) {}

std::string TPersistent::GetNamePath() const {
    return ClassName();
}

}  // namespace vel
