// DelimitedText must read back what it writes: parse(get(parse(x))) == parse(x) for every
// delimiter, quote character and strictness, except the combinations that cannot work (a
// quote equal to the delimiter, or a blank quote that non-strict parsing skips).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/classes/Strings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const char delim = static_cast<char>(data[0]);
    const char quote = (data[2] & 2) ? '\0' : static_cast<char>(data[1]);
    const bool strict = data[2] & 1;
    if (quote != '\0' && quote == delim) return 0;
    if (quote != '\0' && !strict && static_cast<unsigned char>(quote) <= ' ') return 0;
    std::string_view text(reinterpret_cast<const char*>(data + 3), size - 3);

    vel::TStringList first, second;
    for (vel::TStringList* l : {&first, &second}) {
        l->SetDelimiter(delim);
        l->SetQuoteChar(quote);
        l->SetStrictDelimiter(strict);
    }
    first.SetDelimitedText(text);
    second.SetDelimitedText(first.GetDelimitedText());
    if (!second.Equals(&first)) __builtin_trap();

    first.SetCommaText(text);
    second.SetCommaText(first.GetCommaText());
    if (!second.Equals(&first)) __builtin_trap();
    return 0;
}
