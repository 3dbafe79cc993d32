// Format with an arbitrary format string over a fixed argument list may only succeed or
// raise EConvertError.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

using namespace vel;

// Input: one byte choosing the locale, then the format string.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const kLocales[] = {"en-US", "en-GB", "de-DE", "fr-FR",
                                           "nl-NL", "ko-KR", "ja-JP", "invariant"};
    if (size < 1) return 0;
    TFormatSettings fs = TFormatSettings::Create(kLocales[data[0] % 8]);
    fs.NegCurrFormat = data[0] % 16;
    fs.CurrencyFormat = (data[0] >> 4) % 4;
    const std::string fmt(reinterpret_cast<const char*>(data + 1), size - 1);
    const Variant text("12.5"), null = Variant::Null(), array = VarArrayOf({Variant(1)});
    const int local = 0;
    try {
        const std::string out =
            Format(fmt,
                   {42, -7, 3.25, "text \xC3\xA4\xC3\xB6", Currency{-123456789}, INT64_MIN,
                    UINT64_MAX, 1e300, -4.9e-324, static_cast<const void*>(&local), true, text,
                    null, array, std::string_view("view"), 0.0 / 0.0},
                   fs);
        (void)out;
    } catch (const EConvertError&) {
    }
    return 0;
}
