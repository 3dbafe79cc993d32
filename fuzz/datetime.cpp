// Date and time text: parsing and formatting with arbitrary text may only succeed or raise
// EConvertError.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"

using namespace vel;

// Input: one byte choosing the locale, eight bytes of a TDateTime, then the text to parse
// and, after a NUL, a format.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const kLocales[] = {"en-US", "en-GB", "de-DE", "fr-FR",
                                           "nl-NL", "ko-KR", "ja-JP", "invariant"};
    if (size < 9) return 0;
    const TFormatSettings fs = TFormatSettings::Create(kLocales[data[0] % 8]);
    double value;
    std::memcpy(&value, data + 1, sizeof value);
    const std::string rest(reinterpret_cast<const char*>(data + 9), size - 9);
    const std::size_t nul = rest.find('\0');
    const std::string text = rest.substr(0, nul);
    const std::string format = nul == std::string::npos ? std::string() : rest.substr(nul + 1);
    try {
        const TDateTime parsed = StrToDateTime(text, fs);
        // What parses prints and parses back to the same second.
        const std::string again = DateTimeToStr(parsed, fs);
        if (StrToDateTime(again, fs) != RecodeMilliSecond(parsed, 0)) __builtin_trap();
        (void)FormatDateTime(format, parsed, fs);
    } catch (const EConvertError&) {
    }
    try {
        (void)StrToDate(text, fs);
    } catch (const EConvertError&) {
    }
    try {
        (void)StrToTime(text, fs);
    } catch (const EConvertError&) {
    }
    try {
        const TDateTime iso = ISO8601ToDate(text);
        if (ISO8601ToDate(DateToISO8601(iso)) != iso) __builtin_trap();
    } catch (const EConvertError&) {
    }
    try {
        (void)FormatDateTime(format, value, fs);
    } catch (const EConvertError&) {
    }
    return 0;
}
