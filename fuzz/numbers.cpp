// Number text: parsing arbitrary text may only succeed or raise EConvertError; what the
// formatting writes reads back; any picture formats any value.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

using namespace vel;

// Input: one byte choosing the locale, eight bytes of a double, then text that is both
// parsed as a number and used as a FormatFloat/FormatCurr picture.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const kLocales[] = {"en-US", "en-GB", "de-DE", "fr-FR",
                                           "nl-NL", "ko-KR", "ja-JP", "invariant"};
    if (size < 9) return 0;
    const TFormatSettings fs = TFormatSettings::Create(kLocales[data[0] % 8]);
    double value;
    std::memcpy(&value, data + 1, sizeof value);
    const std::string text(reinterpret_cast<const char*>(data + 9), size - 9);

    try {
        const double d = StrToFloat(text, fs);
        (void)FloatToStr(d, fs);
    } catch (const EConvertError&) {
    }
    try {
        const Currency c = StrToCurr(text, fs);
        if (StrToCurr(CurrToStr(c, fs), fs) != c) __builtin_trap();
    } catch (const EConvertError&) {
    }
    std::int64_t i;
    if (TryStrToInt64(text, i) && StrToInt64(IntToStr(i)) != i) __builtin_trap();

    // FloatToStr's fifteen digits read back to a value that prints the same.
    const std::string shown = FloatToStr(value, fs);
    if (StrToFloat(shown, fs) != value && FloatToStr(StrToFloat(shown, fs), fs) != shown)
        __builtin_trap();
    if (std::isnan(value) != std::isnan(StrToFloat(shown, fs))) __builtin_trap();

    (void)FormatFloat(text, value, fs);
    std::int64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    (void)FormatCurr(text, Currency{bits}, fs);
    for (TFloatFormat f : {TFloatFormat::ffGeneral, TFloatFormat::ffExponent, TFloatFormat::ffFixed,
                           TFloatFormat::ffNumber, TFloatFormat::ffCurrency})
        (void)FloatToStrF(value, f, data[0] % 25, (data[0] >> 3) % 20, fs);
    return 0;
}
