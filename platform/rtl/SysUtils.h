#pragma once
// Formatting and conversion of numbers and strings, string helpers and file-name helpers.
//
// Number conversions follow a TFormatSettings: the overloads without one use the process
// default FormatSettings(). Doubles are shown with at most 15 significant digits (what a
// double reliably holds) and then rounded half away from zero at the requested decimal, so
// FormatFloat("0.00", 1.005) is "1.01", as a user reading "1.005" expects. Currency values
// are formatted exactly.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SafeFile.h"  // FileExists
#include "platform/rtl/TSet.h"
#include "platform/rtl/Types.h"

namespace vel {

class Variant;

// One argument of Format. It only refers to strings and variants, so it must not outlive the
// call it is built for (which is how an initializer list is used).
class TFormatArg {
public:
    enum class TKind { Int, UInt, Int64, UInt64, Float, Currency, Bool, String, Pointer, Variant };

    TFormatArg(int v) : FKind(TKind::Int), FInt(v) {}
    TFormatArg(unsigned v) : FKind(TKind::UInt), FUInt(v) {}
    TFormatArg(long v) : FKind(TKind::Int64), FInt(v) {}
    TFormatArg(unsigned long v) : FKind(TKind::UInt64), FUInt(v) {}
    TFormatArg(long long v) : FKind(TKind::Int64), FInt(v) {}
    TFormatArg(unsigned long long v) : FKind(TKind::UInt64), FUInt(v) {}
    TFormatArg(double v) : FKind(TKind::Float), FFloat(v) {}
    TFormatArg(long double v) : FKind(TKind::Float), FFloat(static_cast<double>(v)) {}
    TFormatArg(Currency v) : FKind(TKind::Currency), FInt(v.Value) {}
    TFormatArg(bool v) : FKind(TKind::Bool), FInt(v ? 1 : 0) {}
    TFormatArg(const char* v) : FKind(TKind::String), FString(v ? v : "") {}
    TFormatArg(const std::string& v) : FKind(TKind::String), FString(v) {}
    TFormatArg(std::string_view v) : FKind(TKind::String), FString(v) {}
    TFormatArg(const void* v) : FKind(TKind::Pointer), FPointer(v) {}
    // Read as the directive asks: %s as VarToStr, %d as an integer, %f as a number.
    TFormatArg(const Variant& v) : FKind(TKind::Variant), FVariant(&v) {}

    TKind Kind() const { return FKind; }
    std::int64_t IntValue() const { return FInt; }
    std::uint64_t UIntValue() const { return FUInt; }
    double FloatValue() const { return FFloat; }
    std::string_view StringValue() const { return FString; }
    const void* PointerValue() const { return FPointer; }
    const Variant& VariantValue() const { return *FVariant; }

private:
    TKind FKind;
    union {
        std::int64_t FInt;
        std::uint64_t FUInt;
        double FFloat;
        const void* FPointer;
        const Variant* FVariant;
    };
    std::string_view FString;
};

// Directives: %[index:][-][width][.precision]type with type d u x e f g n m s p, and %%.
// Width, precision and index may be '*' (taken from the next argument). An indexed directive
// makes the following plain ones continue after that index. Bad directives, a missing
// argument or an argument of the wrong kind raise EConvertError naming the format.
std::string Format(const std::string& fmt, std::initializer_list<TFormatArg> args);
std::string Format(const std::string& fmt, std::initializer_list<TFormatArg> args,
                   const TFormatSettings& settings);
// For argument lists built at run time.
std::string FormatArgs(std::string_view fmt, std::span<const TFormatArg> args,
                       const TFormatSettings& settings);

// ---- integers ---------------------------------------------------------------------------

std::string IntToStr(std::int64_t value);
std::string UIntToStr(std::uint64_t value);
// Upper-case hex, zero-padded to at least digits; negative values as their two's complement.
std::string IntToHex(std::int64_t value, int digits = 0);
// Decimal or hex ("$FF", "0xFF", "-$10"); leading blanks are skipped. Raises EConvertError
// "'abc' is not a valid integer value." for anything else or out of range.
std::int32_t StrToInt(std::string_view s);
std::int64_t StrToInt64(std::string_view s);
std::int32_t StrToIntDef(std::string_view s, std::int32_t def);
std::int64_t StrToInt64Def(std::string_view s, std::int64_t def);
bool TryStrToInt(std::string_view s, std::int32_t& value);
bool TryStrToInt64(std::string_view s, std::int64_t& value);

// ---- floating point ---------------------------------------------------------------------

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// General format, 15 significant digits: "0.3", "1E20", "1.23456789012346E17", "1E-5".
// Negative zero gives "0"; NaN gives "NAN", infinities "INF" and "-INF".
std::string FloatToStr(double value);
std::string FloatToStr(double value, const TFormatSettings& settings);
// precision: significant digits (at most 17 are meaningful); digits: decimals for fixed,
// number and currency, minimum exponent digits (0..4) for general and exponent.
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings);
// Picture formats: 0 # . , E+ E- e+ e- 'literal' "literal", sections positive;negative;zero.
// An empty picture means FloatToStr.
std::string FormatFloat(std::string_view format, double value);
std::string FormatFloat(std::string_view format, double value, const TFormatSettings& settings);

// Optional sign, digits with the locale's decimal separator, optional exponent; surrounding
// blanks are ignored; thousands separators are not accepted. "NAN", "INF" and "-INF" read
// back what FloatToStr writes. Raises EConvertError
// "'1,2.3' is not a valid floating point value.".
double StrToFloat(std::string_view s);
double StrToFloat(std::string_view s, const TFormatSettings& settings);
double StrToFloatDef(std::string_view s, double def);
double StrToFloatDef(std::string_view s, double def, const TFormatSettings& settings);
bool TryStrToFloat(std::string_view s, double& value);
bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& settings);

// ---- currency ---------------------------------------------------------------------------

// Rounds to the nearest 0.0001, halves away from zero (after reading the double with 15
// significant digits, so 0.00005 becomes 0.0001). Out of range raises EConvertError.
Currency CurrFromDouble(double value);
double CurrToDouble(Currency value);
Currency CurrFromInt(std::int64_t value);
// Arithmetic rounds halves away from zero; overflow raises EIntOverflow and division by
// zero EZeroDivide.
Currency operator+(Currency a, Currency b);
Currency operator-(Currency a, Currency b);
Currency operator-(Currency a);
Currency operator*(Currency a, Currency b);
Currency operator/(Currency a, Currency b);
Currency operator*(Currency a, std::int64_t b);

// General format without trailing zeros: "1.5", "-0.0001".
std::string CurrToStr(Currency value);
std::string CurrToStr(Currency value, const TFormatSettings& settings);
std::string CurrToStrF(Currency value, TFloatFormat format, int digits);
std::string CurrToStrF(Currency value, TFloatFormat format, int digits,
                       const TFormatSettings& settings);
std::string FormatCurr(std::string_view format, Currency value);
std::string FormatCurr(std::string_view format, Currency value, const TFormatSettings& settings);
// Read like StrToFloat and rounded to four decimals; "'x' is not a valid floating point
// value." for bad text.
Currency StrToCurr(std::string_view s);
Currency StrToCurr(std::string_view s, const TFormatSettings& settings);
Currency StrToCurrDef(std::string_view s, Currency def);
bool TryStrToCurr(std::string_view s, Currency& value);
bool TryStrToCurr(std::string_view s, Currency& value, const TFormatSettings& settings);

// ---- booleans ---------------------------------------------------------------------------

// "True"/"False" when useBoolStrs, else "-1"/"0" as the classic routine writes them.
std::string BoolToStr(bool value, bool useBoolStrs = false);
// Accepts "True"/"False" (any case) and numbers (non-zero is true); else EConvertError
// "'x' is not a valid boolean value.".
bool StrToBool(std::string_view s);
bool StrToBoolDef(std::string_view s, bool def);
bool TryStrToBool(std::string_view s, bool& value);

// ---- strings ----------------------------------------------------------------------------

// Trimming removes bytes up to and including the blank (control characters and blanks).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
// ASCII only; other bytes stay.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Full UTF-8 case mapping.
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
// Ordinal (byte) and ASCII case-insensitive comparisons: <0, 0, >0.
int CompareStr(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);
bool SameStr(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// UTF-8 aware comparisons (code points, case folded for the Text forms).
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameStr(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

// 'it''s' style quoting.
std::string QuotedStr(std::string_view s);
std::string AnsiQuotedStr(std::string_view s, char quote);
// Takes a quoted string from the front of s: inner doubled quotes become one, pos (a byte
// offset) moves past the closing quote. Returns "" and leaves pos when s[pos] is not quote;
// an unterminated string returns what was read up to the end.
std::string AnsiExtractQuotedStr(std::string_view s, std::size_t& pos, char quote);
// The unquoted text when s is entirely quoted, else s unchanged.
std::string AnsiDequotedStr(std::string_view s, char quote);

enum class TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
// rfIgnoreCase compares UTF-8 text case-insensitively.
std::string StringReplace(std::string_view s, std::string_view oldPattern,
                          std::string_view newPattern, TReplaceFlags flags);

// ---- file names (POSIX, '/' separated) -----------------------------------------------------

constexpr char PathDelim = '/';
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
std::string ExtractFileName(std::string_view fileName);  // after the last '/'
std::string ExtractFilePath(std::string_view fileName);  // up to and including the last '/'
std::string ExtractFileDir(std::string_view fileName);   // without the trailing '/'
std::string ExtractFileExt(std::string_view fileName);   // ".txt", "" when none
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path);
bool DirectoryExists(const std::string& dir);
// Creates dir and missing parents; true when it exists afterwards.
bool ForceDirectories(const std::string& dir);
bool DeleteFile(const std::string& fileName);
bool RenameFile(const std::string& oldName, const std::string& newName);

}  // namespace vel
