#include "classes/Object.h"

#include "rtl/Exceptions.h"
#include "rtl/Utf8.h"

namespace vel {

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

std::string TPersistent::GetNamePath() const {
    return ClassName();
}

}  // namespace vel
