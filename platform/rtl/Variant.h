#pragma once
// A value of one of the kinds a field or a key can hold. Unassigned (varEmpty: no value was
// ever given) and Null (the value is known to be missing) stay apart.
//
// Conversions follow the classic variant rules: Unassigned reads as 0, false or ""; Null
// cannot be read as anything (EVariantTypeCastError; VarToStr gives ""); a Boolean reads as
// -1/0 as a number and "True"/"False" as text; floating values read as integers are rounded
// half away from zero; strings are read with the process FormatSettings(), and a string that
// is not a number raises EConvertError naming it; dates convert through DateTimeToStr and
// StrToDateTime.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Types.h"

namespace vel {

enum class TVarType {
    varEmpty,
    varNull,
    varBoolean,
    varInteger,
    varInt64,
    varDouble,
    varCurrency,
    varDate,
    varString,
    varBytes,
    varArray
};

enum class TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

class Variant {
public:
    Variant() : FType(TVarType::varEmpty), FInt64(0) {}
    static Variant Null();
    Variant(bool v) : FType(TVarType::varBoolean), FInt64(0) { FBool = v; }
    Variant(int v) : FType(TVarType::varInteger), FInt64(0) { FInt = v; }
    Variant(unsigned v) : FType(TVarType::varInt64), FInt64(v) {}
    Variant(long v) : FType(TVarType::varInt64), FInt64(v) {}
    Variant(long long v) : FType(TVarType::varInt64), FInt64(v) {}
    // Beyond the int64 range an unsigned value is kept as a double.
    Variant(unsigned long v) : Variant(static_cast<unsigned long long>(v)) {}
    Variant(unsigned long long v);
    Variant(double v) : FType(TVarType::varDouble), FDouble(v) {}
    Variant(Currency v) : FType(TVarType::varCurrency), FInt64(v.Value) {}
    Variant(std::string v) : FType(TVarType::varString), FInt64(0), FString(std::move(v)) {}
    Variant(std::string_view v) : FType(TVarType::varString), FInt64(0), FString(v) {}
    Variant(const char* v) : FType(TVarType::varString), FInt64(0), FString(v ? v : "") {}
    Variant(char* v) : Variant(static_cast<const char*>(v)) {}
    // Pointers would otherwise turn into Booleans.
    template <typename T>
    Variant(T*) = delete;
    static Variant FromDateTime(TDateTime value);
    static Variant FromBytes(std::vector<std::uint8_t> bytes);
    static Variant FromArray(std::vector<Variant> items);

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    TVarType VarType() const { return FType; }
    bool IsEmpty() const { return FType == TVarType::varEmpty; }
    bool IsNull() const { return FType == TVarType::varNull; }
    bool IsArray() const { return FType == TVarType::varArray; }
    // Boolean, integer, floating, currency or date.
    bool IsNumeric() const;

    bool AsBoolean() const;
    std::int32_t AsInteger() const;
    std::int64_t AsInt64() const;
    double AsFloat() const;
    Currency AsCurrency() const;
    TDateTime AsDateTime() const;
    std::string AsString() const;  // Null -> EVariantTypeCastError; use VarToStr for ""
    const std::vector<std::uint8_t>& AsBytes() const;
    const std::vector<Variant>& AsArray() const;

private:
    struct THeap;
    [[noreturn]] void CastError(TVarType to) const;

    TVarType FType;
    union {
        bool FBool;
        std::int32_t FInt;
        std::int64_t FInt64;  // also Currency's scaled value
        double FDouble;       // also TDateTime
    };
    std::string FString;
    THeap* FHeap = nullptr;  // bytes or array items, owned
};

// "Empty", "Null", "Boolean", "Integer", "Int64", "Double", "Currency", "Date", "String",
// "Bytes", "Array".
const char* VarTypeAsText(TVarType type);

// Value equality: numbers across kinds (1 == 1.0 == Currency 1), a string against a number or
// date by converting the string when it reads as one; Unassigned and Null equal only
// themselves; arrays item by item.
bool operator==(const Variant& a, const Variant& b);
// As operator== with order; vrNotEqual when either is Null or Unassigned (unless both are the
// same), or when the kinds cannot be ordered against each other.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
// A total order for sorting, min and max: Unassigned, then Null, then Booleans (false before
// true), numbers and dates by value (NaN last), strings by code point, bytes, arrays item by
// item. Kinds are never converted into each other here, so "10" sorts after every number.
int VarCompare(const Variant& a, const Variant& b);

bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsClear(const Variant& v);
bool VarIsArray(const Variant& v);
bool VarIsNumeric(const Variant& v);
bool VarIsStr(const Variant& v);
// "" for Null and Unassigned, otherwise AsString.
std::string VarToStr(const Variant& v);
std::string VarToStrDef(const Variant& v, const std::string& def);
Variant VarArrayOf(std::vector<Variant> items);

}  // namespace vel
