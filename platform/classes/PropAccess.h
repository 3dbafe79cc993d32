#pragma once
// Published properties by name: the property descriptors and typed access by (dotted) name.
//
// Properties are registered beside their class with VEL_PUBLISHED (classes/TypInfo.h, for the
// registering .cpp only). A descendant inherits its ancestors' properties and may redeclare
// one (for another default). Unknown names answer "not published": GetPropInfo gives
// nullptr, IsPublishedProp false, GetObjectProp nullptr; the typed getters and setters raise
// EPropertyError naming the property and the class.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Errors.h"
#include "platform/classes/Object.h"

namespace vel {

class Variant;

// tkChar: one character (a code point), an ordinal written in form text as '*' or #NNN.
enum class TTypeKind {
    tkUnknown,
    tkInteger,
    tkInt64,
    tkEnumeration,
    tkFloat,
    tkString,
    tkSet,
    tkClass,
    tkChar
};

// Value names of one enumeration, in value order (value i is Names[i]).
struct TEnumInfo {
    std::string TypeName;
    std::vector<std::string> Names;
    // Empty for a value out of range.
    std::string GetName(std::int64_t Value) const;
    // -1 for an unknown name; names compare case-insensitively.
    int GetValue(std::string_view Name) const;
};
// False, True.
const TEnumInfo* BooleanEnumInfo();

// Integers that have names (colours): the name is written instead of the number when known.
struct TIdentMapInfo {
    bool (*ToIdent)(std::int64_t Value, std::string& Ident);
    bool (*FromIdent)(std::string_view Ident, std::int64_t& Value);
};

struct TPropInfo {
    std::string Name;
    TTypeKind Kind = TTypeKind::tkUnknown;
    const TEnumInfo* EnumType = nullptr;  // enumerations (and Boolean) and set elements
    const TIdentMapInfo* Idents = nullptr;
    const TClassInfo* PropClass = nullptr;  // declared class of a tkClass property
    bool IsBoolean = false;

    // Type-erased accessors; the setter is empty for a read-only property.
    std::function<std::int64_t(const TObject*)> GetOrd;
    std::function<void(TObject*, std::int64_t)> SetOrd;
    std::function<std::string(const TObject*)> GetStr;
    std::function<void(TObject*, const std::string&)> SetStr;
    std::function<double(const TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<TObject*(const TObject*)> GetObject;
    std::function<void(TObject*, TObject*)> SetObject;

    // Writing to a form: a property is written when stored and not equal to its default.
    // Ordinals without a declared default are always written; strings default to empty and
    // floats to 0.
    bool HasDefault = false;
    std::int64_t OrdDefault = 0;
    double FloatDefault = 0;
    std::string StrDefault;
    bool StoredFlag = true;
    std::function<bool(const TObject*)> StoredFn;

    bool IsWritable() const;
    bool IsStored(const TObject* Instance) const;
    bool IsDefaultValue(const TObject* Instance) const;
    bool IsOrdinal() const;
};

// One class's own registrations, built on first use.
struct TPropertyTable {
    std::function<void(TPropertyTable&)> Builder;
    bool Built = false;
    std::vector<std::unique_ptr<TPropInfo>> Own;
    std::vector<const TPropInfo*> All;  // ancestors' first, redeclarations in place
};
// Called by VEL_PUBLISHED during static initialisation.
bool RegisterPublished(const TClassInfo* Class, std::function<void(TPropertyTable&)> Builder);

// All published properties of a class or object, ancestors' first.
const std::vector<const TPropInfo*>& GetPropList(const TClassInfo* Class);
const std::vector<const TPropInfo*>& GetPropList(const TObject* Instance);
// A simple name on a class.
const TPropInfo* GetPropInfo(const TClassInfo* Class, std::string_view Name);
// A simple or dotted name ("DataSet.CommandText") on an object; nullptr when not published
// or when an object on the way is nil.
const TPropInfo* GetPropInfo(const TObject* Instance, std::string_view Path);
// Resolves a dotted path: Instance becomes the object that holds the last property.
const TPropInfo* ResolvePropPath(const TObject*& Instance, std::string_view Path);
bool IsPublishedProp(const TObject* Instance, std::string_view Path);
bool IsPublishedProp(const TClassInfo* Class, std::string_view Name);
bool PropIsType(const TObject* Instance, std::string_view Path, TTypeKind Kind);
// Raises EPropertyError when not published.
TTypeKind PropType(const TObject* Instance, std::string_view Path);

std::string GetStrProp(const TObject* Instance, std::string_view Path);
void SetStrProp(TObject* Instance, std::string_view Path, const std::string& Value);
// Integers, characters (code points), enumerations, booleans and sets (as their mask).
std::int64_t GetOrdProp(const TObject* Instance, std::string_view Path);
void SetOrdProp(TObject* Instance, std::string_view Path, std::int64_t Value);
// Enumeration value names; booleans answer "False"/"True".
std::string GetEnumProp(const TObject* Instance, std::string_view Path);
void SetEnumProp(TObject* Instance, std::string_view Path, std::string_view Value);
// "a,b" (or "[a,b]" with Brackets); SetSetProp takes either, spaces allowed.
std::string GetSetProp(const TObject* Instance, std::string_view Path, bool Brackets = false);
void SetSetProp(TObject* Instance, std::string_view Path, std::string_view Value);
double GetFloatProp(const TObject* Instance, std::string_view Path);
void SetFloatProp(TObject* Instance, std::string_view Path, double Value);
// nullptr for an unpublished name, a non-object property or an object not of MinClass.
TObject* GetObjectProp(const TObject* Instance, std::string_view Path,
                       const TClassInfo* MinClass = nullptr);
void SetObjectProp(TObject* Instance, std::string_view Path, TObject* Value);
// Any non-object property as text: strings as they are, enumerations and colours by name,
// sets as "[a,b]", numbers in invariant notation, a character as itself (#0 as '').
// Setting a character takes exactly one character (or '' for #0).
std::string GetPropText(const TObject* Instance, std::string_view Path);
void SetPropText(TObject* Instance, std::string_view Path, std::string_view Value);

// As a Variant: integers, floats, strings and booleans as such; enumerations and sets by name
// ("[a, b]") when PreferStrings, else as ordinals. Object properties raise EPropertyError.
Variant GetPropValue(const TObject* Instance, std::string_view Path, bool PreferStrings = true);
// Strings go through SetPropText for non-string properties (names, set text, numbers).
void SetPropValue(TObject* Instance, std::string_view Path, const Variant& Value);

// Copies every stored, writable published property of Dest that Source publishes with the same
// name and kind: values, references, collections (assigned) and sub-objects (through their
// setter, else property by property). Useful for Assign of classes with many properties.
void CopyPublishedProperties(const TObject* Source, TObject* Dest);

std::string SetToString(const TEnumInfo* Info, std::uint64_t Mask, bool Brackets);
// Raises EPropertyError naming an unknown element.
std::uint64_t StringToSet(const TEnumInfo* Info, std::string_view Text);

// Builds the value-name table of an enumeration from the macro's text (used by VEL_ENUM_INFO).
TEnumInfo MakeEnumInfo(const char* TypeName, const char* NamesText,
                       const std::vector<std::int64_t>& Values);

}  // namespace vel

// Declares, next to an enumeration, that it has a value-name table (needed to publish it).
#define VEL_DECLARE_ENUM_INFO(E) const ::vel::TEnumInfo* EnumTypeInfo(E*);
// Defines the table in a .cpp, in the enumeration's namespace, listing every value in order:
// VEL_ENUM_INFO(TFixedStyle, fsDefault, fsSoft, fsGreat)
#define VEL_ENUM_INFO(E, ...)                                                             \
    const ::vel::TEnumInfo* EnumTypeInfo(E*) {                                            \
        static const ::vel::TEnumInfo info = ::vel::MakeEnumInfo(#E, #__VA_ARGS__, [] {   \
            using enum E;                                                                 \
            std::vector<std::int64_t> v;                                                  \
            for (E e : {__VA_ARGS__}) v.push_back(static_cast<std::int64_t>(e));          \
            return v;                                                                     \
        }());                                                                             \
        return &info;                                                                     \
    }
