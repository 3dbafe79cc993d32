#include "platform/rtl/Variant.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace vel {

struct Variant::THeap {
    std::vector<std::uint8_t> Bytes;
    std::vector<Variant> Array;
};

// ---- construction -----------------------------------------------------------------------------

Variant Variant::Null() {
    Variant v;
    v.FType = TVarType::varNull;
    return v;
}

Variant::Variant(unsigned long long v) : FType(TVarType::varInt64), FInt64(0) {
    if (v <= static_cast<unsigned long long>(INT64_MAX)) {
        FInt64 = static_cast<std::int64_t>(v);
    } else {
        FType = TVarType::varDouble;
        FDouble = static_cast<double>(v);
    }
}

Variant Variant::FromDateTime(TDateTime value) {
    Variant v(value);
    v.FType = TVarType::varDate;
    return v;
}

Variant Variant::FromBytes(std::vector<std::uint8_t> bytes) {
    Variant v;
    v.FType = TVarType::varBytes;
    v.FHeap = new THeap;
    v.FHeap->Bytes = std::move(bytes);
    return v;
}

Variant Variant::FromArray(std::vector<Variant> items) {
    Variant v;
    v.FType = TVarType::varArray;
    v.FHeap = new THeap;
    v.FHeap->Array = std::move(items);
    return v;
}

Variant::Variant(const Variant& other)
    : FType(other.FType),
      FInt64(other.FInt64),
      FString(other.FString),
      FHeap(other.FHeap ? new THeap(*other.FHeap) : nullptr) {}

Variant::Variant(Variant&& other) noexcept
    : FType(other.FType),
      FInt64(other.FInt64),
      FString(std::move(other.FString)),
      FHeap(other.FHeap) {
    other.FHeap = nullptr;
    other.FType = TVarType::varEmpty;
    other.FString.clear();
}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) *this = Variant(other);
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this == &other) return *this;
    FType = other.FType;
    FInt64 = other.FInt64;
    FString = std::move(other.FString);
    delete FHeap;
    FHeap = other.FHeap;
    other.FHeap = nullptr;
    other.FType = TVarType::varEmpty;
    other.FString.clear();
    return *this;
}

Variant::~Variant() {
    delete FHeap;
}

bool Variant::IsNumeric() const {
    switch (FType) {
        case TVarType::varBoolean:
        case TVarType::varInteger:
        case TVarType::varInt64:
        case TVarType::varDouble:
        case TVarType::varCurrency:
        case TVarType::varDate:
            return true;
        default:
            return false;
    }
}

const char* VarTypeAsText(TVarType type) {
    switch (type) {
        case TVarType::varEmpty:
            return "Empty";
        case TVarType::varNull:
            return "Null";
        case TVarType::varBoolean:
            return "Boolean";
        case TVarType::varInteger:
            return "Integer";
        case TVarType::varInt64:
            return "Int64";
        case TVarType::varDouble:
            return "Double";
        case TVarType::varCurrency:
            return "Currency";
        case TVarType::varDate:
            return "Date";
        case TVarType::varString:
            return "String";
        case TVarType::varBytes:
            return "Bytes";
        case TVarType::varArray:
            return "Array";
    }
    return "Unknown";
}

void Variant::CastError(TVarType to) const {
    throw EVariantTypeCastError(std::string("Could not convert variant of type (") +
                                VarTypeAsText(FType) + ") into type (" + VarTypeAsText(to) + ").");
}

// ---- conversions --------------------------------------------------------------------------------

namespace {

[[noreturn]] void OutOfRange(const std::string& value, TVarType to) {
    throw EVariantTypeCastError("Value " + value + " is out of the range of type (" +
                                VarTypeAsText(to) + ").");
}

// Halves away from zero, within [lo, hi].
std::int64_t RoundToInt(double d, std::int64_t lo, std::int64_t hi, TVarType to) {
    const double r = std::round(d);
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (!(r >= static_cast<double>(lo) && r < 9223372036854775808.0) ||
        static_cast<std::int64_t>(r) > hi)
        OutOfRange(FloatToStr(d), to);
    return static_cast<std::int64_t>(r);
}

std::int64_t RoundCurrency(Currency c) {  // to whole units, halves away from zero
    const std::int64_t q = c.Value / 10000, r = c.Value % 10000;
    if (r >= 5000) return q + 1;
    if (r <= -5000) return q - 1;
    return q;
}

std::int64_t StringToInt64(const std::string& s, std::int64_t lo, std::int64_t hi, TVarType to) {
    std::int64_t i;
    if (TryStrToInt64(s, i)) {
        if (i < lo || i > hi) OutOfRange(s, to);
        return i;
    }
    double d;
    if (TryStrToFloat(s, d)) return RoundToInt(d, lo, hi, to);
    throw EConvertError("'" + s + "' is not a valid integer value.");
}

}  // namespace

bool Variant::AsBoolean() const {
    switch (FType) {
        case TVarType::varEmpty:
            return false;
        case TVarType::varBoolean:
            return FBool;
        case TVarType::varInteger:
            return FInt != 0;
        case TVarType::varInt64:
        case TVarType::varCurrency:
            return FInt64 != 0;
        case TVarType::varDouble:
        case TVarType::varDate:
            return FDouble != 0;
        case TVarType::varString:
            return StrToBool(FString);
        default:
            CastError(TVarType::varBoolean);
    }
}

std::int64_t Variant::AsInt64() const {
    constexpr TVarType to = TVarType::varInt64;
    switch (FType) {
        case TVarType::varEmpty:
            return 0;
        case TVarType::varBoolean:
            return FBool ? -1 : 0;
        case TVarType::varInteger:
            return FInt;
        case TVarType::varInt64:
            return FInt64;
        case TVarType::varCurrency:
            return RoundCurrency(Currency{FInt64});
        case TVarType::varDouble:
        case TVarType::varDate:
            return RoundToInt(FDouble, INT64_MIN, INT64_MAX, to);
        case TVarType::varString:
            return StringToInt64(FString, INT64_MIN, INT64_MAX, to);
        default:
            CastError(to);
    }
}

std::int32_t Variant::AsInteger() const {
    constexpr TVarType to = TVarType::varInteger;
    switch (FType) {
        case TVarType::varDouble:
        case TVarType::varDate:
            return static_cast<std::int32_t>(RoundToInt(FDouble, INT32_MIN, INT32_MAX, to));
        case TVarType::varString:
            return static_cast<std::int32_t>(StringToInt64(FString, INT32_MIN, INT32_MAX, to));
        case TVarType::varNull:
        case TVarType::varBytes:
        case TVarType::varArray:
            CastError(to);
        default: {
            const std::int64_t v = AsInt64();
            if (v < INT32_MIN || v > INT32_MAX) OutOfRange(IntToStr(v), to);
            return static_cast<std::int32_t>(v);
        }
    }
}

double Variant::AsFloat() const {
    switch (FType) {
        case TVarType::varEmpty:
            return 0;
        case TVarType::varBoolean:
            return FBool ? -1 : 0;
        case TVarType::varInteger:
            return FInt;
        case TVarType::varInt64:
            return static_cast<double>(FInt64);
        case TVarType::varCurrency:
            return CurrToDouble(Currency{FInt64});
        case TVarType::varDouble:
        case TVarType::varDate:
            return FDouble;
        case TVarType::varString:
            return StrToFloat(FString);
        default:
            CastError(TVarType::varDouble);
    }
}

Currency Variant::AsCurrency() const {
    switch (FType) {
        case TVarType::varEmpty:
            return Currency{};
        case TVarType::varCurrency:
            return Currency{FInt64};
        case TVarType::varBoolean:
        case TVarType::varInteger:
        case TVarType::varInt64:
            try {
                return CurrFromInt(AsInt64());
            } catch (const EIntOverflow&) {
                OutOfRange(IntToStr(AsInt64()), TVarType::varCurrency);
            }
        case TVarType::varDouble:
        case TVarType::varDate:
            try {
                return CurrFromDouble(FDouble);
            } catch (const EConvertError&) {
                OutOfRange(FloatToStr(FDouble), TVarType::varCurrency);
            }
        case TVarType::varString:
            return StrToCurr(FString);
        default:
            CastError(TVarType::varCurrency);
    }
}

TDateTime Variant::AsDateTime() const {
    switch (FType) {
        case TVarType::varString:
            return StrToDateTime(FString);
        case TVarType::varNull:
        case TVarType::varBytes:
        case TVarType::varArray:
            CastError(TVarType::varDate);
        default:
            return AsFloat();
    }
}

std::string Variant::AsString() const {
    switch (FType) {
        case TVarType::varEmpty:
            return {};
        case TVarType::varBoolean:
            return FBool ? "True" : "False";
        case TVarType::varInteger:
            return IntToStr(FInt);
        case TVarType::varInt64:
            return IntToStr(FInt64);
        case TVarType::varDouble:
            return FloatToStr(FDouble);
        case TVarType::varCurrency:
            return CurrToStr(Currency{FInt64});
        case TVarType::varDate:
            return DateTimeToStr(FDouble);
        case TVarType::varString:
            return FString;
        default:
            CastError(TVarType::varString);
    }
}

const std::vector<std::uint8_t>& Variant::AsBytes() const {
    if (FType != TVarType::varBytes) CastError(TVarType::varBytes);
    return FHeap->Bytes;
}

const std::vector<Variant>& Variant::AsArray() const {
    if (FType != TVarType::varArray) CastError(TVarType::varArray);
    return FHeap->Array;
}

// ---- comparison ---------------------------------------------------------------------------------

namespace {

enum class TClass { Empty, Null, Boolean, Number, String, Bytes, Array };

TClass ClassOf(const Variant& v) {
    switch (v.VarType()) {
        case TVarType::varEmpty:
            return TClass::Empty;
        case TVarType::varNull:
            return TClass::Null;
        case TVarType::varBoolean:
            return TClass::Boolean;
        case TVarType::varString:
            return TClass::String;
        case TVarType::varBytes:
            return TClass::Bytes;
        case TVarType::varArray:
            return TClass::Array;
        default:
            return TClass::Number;
    }
}

constexpr int kUnordered = 2;

int Cmp(auto a, auto b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Exact comparison of an integer with a double; kUnordered for NaN.
int CompareIntDouble(std::int64_t i, double d) {
    if (std::isnan(d)) return kUnordered;
    if (d >= 9223372036854775808.0) return -1;
    if (d < -9223372036854775808.0) return 1;
    const double t = std::trunc(d);
    const auto ti = static_cast<std::int64_t>(t);
    if (i != ti) return Cmp(i, ti);
    return Cmp(0.0, d - t);
}

// Numbers of any kind (Booleans as -1/0); kUnordered when a NaN is involved.
int CompareNumbers(const Variant& a, const Variant& b) {
    const TVarType ta = a.VarType(), tb = b.VarType();
    const bool fa = ta == TVarType::varDouble || ta == TVarType::varDate;
    const bool fb = tb == TVarType::varDouble || tb == TVarType::varDate;
    const bool ca = ta == TVarType::varCurrency, cb = tb == TVarType::varCurrency;
    if (fa || fb) {
        if (fa && fb) {
            const double x = a.AsFloat(), y = b.AsFloat();
            if (std::isnan(x) || std::isnan(y)) return kUnordered;
            return Cmp(x, y);
        }
        const Variant& other = fa ? b : a;
        const double d = fa ? a.AsFloat() : b.AsFloat();
        int r;
        if (other.VarType() == TVarType::varCurrency) {
            if (std::isnan(d)) return kUnordered;
            r = Cmp(other.AsFloat(), d);
        } else {
            r = CompareIntDouble(other.AsInt64(), d);
        }
        if (r == kUnordered) return r;
        return fa ? -r : r;
    }
    // Integers and currency compare exactly in units of 1/10000.
    const __int128 x = ca ? a.AsCurrency().Value : static_cast<__int128>(a.AsInt64()) * 10000;
    const __int128 y = cb ? b.AsCurrency().Value : static_cast<__int128>(b.AsInt64()) * 10000;
    return Cmp(x, y);
}

int CompareBytes(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
    if (less) return -1;
    return a == b ? 0 : 1;
}

TVariantRelationship FromInt(int c) {
    if (c == kUnordered) return TVariantRelationship::vrNotEqual;
    return c < 0 ? TVariantRelationship::vrLessThan
                 : (c > 0 ? TVariantRelationship::vrGreaterThan : TVariantRelationship::vrEqual);
}

// A string against a number, Boolean or date: the string is converted when it reads as one,
// else the two compare as text.
int CompareStringWith(const std::string& s, const Variant& other) {
    switch (other.VarType()) {
        case TVarType::varBoolean: {
            bool b;
            if (TryStrToBool(s, b)) return Cmp(b, other.AsBoolean());
            break;
        }
        case TVarType::varDate: {
            TDateTime d;
            if (TryStrToDateTime(s, d)) return CompareNumbers(Variant::FromDateTime(d), other);
            break;
        }
        default: {
            double d;
            if (TryStrToFloat(s, d)) return CompareNumbers(Variant(d), other);
            break;
        }
    }
    try {
        return Utf8CompareStr(s, other.AsString());
    } catch (const Exception&) {
        return kUnordered;  // a date that has no text
    }
}

int CompareValue(const Variant& a, const Variant& b) {
    const TClass ca = ClassOf(a), cb = ClassOf(b);
    if (ca == TClass::Empty || ca == TClass::Null || cb == TClass::Empty || cb == TClass::Null)
        return ca == cb ? 0 : kUnordered;
    if (ca == TClass::Boolean && cb == TClass::Boolean) return Cmp(a.AsBoolean(), b.AsBoolean());
    if ((ca == TClass::Boolean || ca == TClass::Number) &&
        (cb == TClass::Boolean || cb == TClass::Number))
        return CompareNumbers(a, b);
    if (ca == TClass::String && cb == TClass::String)
        return Utf8CompareStr(a.AsString(), b.AsString());
    if (ca == TClass::String && (cb == TClass::Boolean || cb == TClass::Number))
        return CompareStringWith(a.AsString(), b);
    if (cb == TClass::String && (ca == TClass::Boolean || ca == TClass::Number)) {
        const int r = CompareStringWith(b.AsString(), a);
        return r == kUnordered ? r : -r;
    }
    if (ca == TClass::Bytes && cb == TClass::Bytes) return CompareBytes(a.AsBytes(), b.AsBytes());
    if (ca == TClass::Array && cb == TClass::Array) {
        const auto& x = a.AsArray();
        const auto& y = b.AsArray();
        const std::size_t n = std::min(x.size(), y.size());
        for (std::size_t i = 0; i < n; ++i) {
            const int r = CompareValue(x[i], y[i]);
            if (r != 0) return r;
        }
        return Cmp(x.size(), y.size());
    }
    return kUnordered;
}

}  // namespace

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
    return FromInt(CompareValue(a, b));
}

bool operator==(const Variant& a, const Variant& b) {
    return CompareValue(a, b) == 0;
}

int VarCompare(const Variant& a, const Variant& b) {
    const TClass ca = ClassOf(a), cb = ClassOf(b);
    if (ca != cb) return Cmp(static_cast<int>(ca), static_cast<int>(cb));
    switch (ca) {
        case TClass::Empty:
        case TClass::Null:
            return 0;
        case TClass::Boolean:
            return Cmp(a.AsBoolean(), b.AsBoolean());
        case TClass::Number: {
            const int r = CompareNumbers(a, b);
            if (r != kUnordered) return r;
            // NaN sorts after every number and equal to itself.
            const bool na = std::isnan(a.AsFloat()), nb = std::isnan(b.AsFloat());
            return Cmp(na, nb);
        }
        case TClass::String:
            return Utf8CompareStr(a.AsString(), b.AsString());
        case TClass::Bytes:
            return CompareBytes(a.AsBytes(), b.AsBytes());
        case TClass::Array: {
            const auto& x = a.AsArray();
            const auto& y = b.AsArray();
            const std::size_t n = std::min(x.size(), y.size());
            for (std::size_t i = 0; i < n; ++i)
                if (const int r = VarCompare(x[i], y[i])) return r;
            return Cmp(x.size(), y.size());
        }
    }
    return 0;
}

// ---- helpers ------------------------------------------------------------------------------------

bool VarIsNull(const Variant& v) {
    return v.IsNull();
}
bool VarIsEmpty(const Variant& v) {
    return v.IsEmpty();
}
bool VarIsClear(const Variant& v) {
    return v.IsEmpty();
}
bool VarIsArray(const Variant& v) {
    return v.IsArray();
}
bool VarIsNumeric(const Variant& v) {
    return v.IsNumeric();
}
bool VarIsStr(const Variant& v) {
    return v.VarType() == TVarType::varString;
}

std::string VarToStr(const Variant& v) {
    return VarToStrDef(v, std::string());
}

std::string VarToStrDef(const Variant& v, const std::string& def) {
    if (v.IsNull() || v.IsEmpty()) return def;
    return v.AsString();
}

Variant VarArrayOf(std::vector<Variant> items) {
    return Variant::FromArray(std::move(items));
}

}  // namespace vel
