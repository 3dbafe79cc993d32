// veldemo: until the grid exists, shows the run-time layer at work.
#include <cstdio>

#include "rtl/FormatSettings.h"
#include "rtl/TSet.h"
#include "rtl/Utf8.h"

using namespace vel;

int main() {
    std::printf("VelGrid demo: the run-time layer\n");
    const std::string word = "\xC3\xA4rger \xC3\xBC" "ber stra\xC3\x9F" "en";
    std::printf("  '%s' has %zu code points, upper case '%s'\n", word.c_str(), Utf8Length(word),
                Utf8UpperCase(word).c_str());
    for (const char* loc : {"en-US", "de-DE", "fr-FR"}) {
        const TFormatSettings fs = TFormatSettings::Create(loc);
        std::printf("  %-6s short date '%s', decimal '%c', thousands '%c'\n", loc,
                    fs.ShortDateFormat.c_str(), fs.DecimalSeparator, fs.ThousandSeparator);
    }
    return 0;
}
