#include <gtest/gtest.h>

#include <cstdint>

#include "platform/rtl/SysUtils.h"

using namespace vel;

namespace {
std::string ErrorOf(const std::string& fmt, std::initializer_list<TFormatArg> args) {
    try {
        Format(fmt, args);
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "no error";
}
}  // namespace

TEST(Format, IndexSpecifiersReorderAndContinue) {
    EXPECT_EQ(Format("%1:s - %0:s", {"key", "text"}), "text - key");
    // A plain directive continues after the last index used.
    EXPECT_EQ(Format("%1:s %s %0:s %s", {"a", "b", "c"}), "b c a b");
    EXPECT_EQ(Format("%s=%d", {"Columns", 3}), "Columns=3");
    EXPECT_EQ(Format("100%% %s", {"done"}), "100% done");
}

TEST(Format, IntegersWidthPrecisionAndHex) {
    EXPECT_EQ(Format("%.2d", {5}), "05");
    EXPECT_EQ(Format("%.2d", {-5}), "-05");
    EXPECT_EQ(Format("%.2d", {123}), "123");
    EXPECT_EQ(Format("%4d|%-4d|", {7, 7}), "   7|7   |");
    EXPECT_EQ(Format("%.8x", {255}), "000000FF");
    // Negative 32-bit values show their 32-bit pattern, 64-bit ones their 64-bit pattern.
    EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
    EXPECT_EQ(Format("%x", {std::int64_t{-1}}), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format("%.16x", {std::uint64_t{0x8000000000000001ull}}), "8000000000000001");
    EXPECT_EQ(Format("%u", {-1}), "4294967295");
    EXPECT_EQ(Format("%d", {INT64_MIN}), "-9223372036854775808");
    EXPECT_EQ(Format("%d", {UINT64_MAX}), "18446744073709551615");
    // Width and precision taken from the arguments.
    EXPECT_EQ(Format("%*.*d", {6, 3, 42}), "   042");
    EXPECT_EQ(Format("%-*s|", {4, "ab"}), "ab  |");
    // Booleans count as 1/0 for numbers and read as words for %s.
    EXPECT_EQ(Format("AutoFilter=%d %s", {true, false}), "AutoFilter=1 False");
}

TEST(Format, StringsPadAndTruncateByCodePoints) {
    EXPECT_EQ(Format("[%5s]", {"abc"}), "[  abc]");
    EXPECT_EQ(Format("[%-5s]", {"abc"}), "[abc  ]");
    EXPECT_EQ(Format("[%2s]", {"abcd"}), "[abcd]");  // width never cuts
    EXPECT_EQ(Format("[%.3s]", {"abcdef"}), "[abc]");
    // "äöüß" is 8 bytes but 4 characters.
    EXPECT_EQ(Format("[%6s]", {"\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F"}),
              "[  \xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F]");
    EXPECT_EQ(Format("[%.2s]", {"\xC3\xA4\xC3\xB6\xC3\xBC"}), "[\xC3\xA4\xC3\xB6]");
    const std::string s = "std::string";
    EXPECT_EQ(Format("%s/%s", {s, std::string_view("view")}), "std::string/view");
}

TEST(Format, FloatingDirectives) {
    EXPECT_EQ(Format("%f", {3.14159}), "3.14");
    EXPECT_EQ(Format("%.0f", {2.5}), "3");  // halves away from zero
    EXPECT_EQ(Format("%.3f", {-0.0004}), "0.000");
    EXPECT_EQ(Format("%e", {1234.5}), "1.23450000000000E+003");
    EXPECT_EQ(Format("%.3e", {-0.000123456}), "-1.23E-004");
    EXPECT_EQ(Format("%g", {0.1 + 0.2}), "0.3");
    EXPECT_EQ(Format("%g", {1e20}), "1E20");
    EXPECT_EQ(Format("%.3g", {1234.5}), "1.23E3");
    EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
    EXPECT_EQ(Format("%.0n", {-999.5}), "-1,000");
    EXPECT_EQ(Format("%8.1f|", {-1.25}), "    -1.3|");
    // Integers and currency are accepted where a float is expected, and are exact.
    EXPECT_EQ(Format("%.2f", {123456789012345678LL}), "123456789012345678.00");
    EXPECT_EQ(Format("%f", {Currency{12350}}), "1.24");  // 1.235 exactly, rounded up
    EXPECT_EQ(Format("%.4f", {Currency{-12345}}), "-1.2345");
}

// The filter list builds sort keys of numbers with "%31.15f".
TEST(Format, WideFixedKeysKeepNumericOrder) {
    EXPECT_EQ(Format("%31.15f", {123.456}), "            123.456000000000000");
    EXPECT_EQ(Format("%31.15f", {0.1}), "              0.100000000000000");
    const double values[] = {0, 1e-10, 0.5, 1, 9.75, 10, 1234.5678, 1e12, 9.99e14};
    std::string previous;
    for (double v : values) {
        const std::string key = Format("%31.15f", {v});
        EXPECT_EQ(key.size(), 31u) << key;
        EXPECT_LT(previous, key) << v;
        previous = key;
    }
}

TEST(Format, CurrencyDirectiveFollowsTheLocale) {
    EXPECT_EQ(Format("%m", {1234.5}), "$1,234.50");
    EXPECT_EQ(Format("%m", {-1234.5}), "($1,234.50)");
    EXPECT_EQ(Format("%.0m", {Currency{5000}}), "$1");
    const TFormatSettings de = TFormatSettings::Create("de-DE");
    EXPECT_EQ(Format("%m", {1234.5}, de), "1.234,50 \xE2\x82\xAC");
    EXPECT_EQ(Format("%m", {-1234.5}, de), "-1.234,50 \xE2\x82\xAC");
    EXPECT_EQ(Format("%n|%f", {1234.5, 0.25}, de), "1.234,50|0,25");
    // The process settings are what the short overload uses.
    TFormatSettingsScope scope(TFormatSettings::Create("ja-JP"));
    EXPECT_EQ(Format("%m", {1234.5}),
              "\xC2\xA5"
              "1,235");
}

TEST(Format, AllSixteenNegativeCurrencyLayouts) {
    TFormatSettings fs;
    fs.CurrencyString = "$";
    const char* expected[16] = {"($1.50)", "-$1.50",  "$-1.50",   "$1.50-",  "(1.50$)", "-1.50$",
                                "1.50-$",  "1.50$-",  "-1.50 $",  "-$ 1.50", "1.50 $-", "$ 1.50-",
                                "$ -1.50", "1.50- $", "($ 1.50)", "(1.50 $)"};
    for (int i = 0; i < 16; ++i) {
        fs.NegCurrFormat = i;
        EXPECT_EQ(Format("%m", {-1.5}, fs), expected[i]) << i;
    }
    const char* positive[4] = {"$1.50", "1.50$", "$ 1.50", "1.50 $"};
    for (int i = 0; i < 4; ++i) {
        fs.CurrencyFormat = i;
        EXPECT_EQ(Format("%m", {1.5}, fs), positive[i]) << i;
    }
}

TEST(Format, PointersAsFixedWidthHex) {
    const void* p = reinterpret_cast<const void*>(std::uintptr_t{0xABC});
    EXPECT_EQ(Format("%p", {p}), std::string(sizeof(void*) * 2 - 3, '0') + "ABC");
}

TEST(Format, ErrorsNameTheFormat) {
    EXPECT_EQ(ErrorOf("%s and %s", {"one"}), "No argument for format '%s and %s'.");
    EXPECT_EQ(ErrorOf("%d", {"text"}), "Format '%d' invalid or incompatible with argument.");
    EXPECT_EQ(ErrorOf("%s", {42}), "Format '%s' invalid or incompatible with argument.");
    EXPECT_EQ(ErrorOf("%d", {1.5}), "Format '%d' invalid or incompatible with argument.");
    EXPECT_EQ(ErrorOf("%f", {"1.5"}), "Format '%f' invalid or incompatible with argument.");
    EXPECT_EQ(ErrorOf("%p", {1}), "Format '%p' invalid or incompatible with argument.");
    EXPECT_EQ(ErrorOf("50%", {}), "Format '50%' invalid or incompatible with argument.");
    EXPECT_EQ(ErrorOf("%k", {1}), "Format '%k' invalid or incompatible with argument.");
    EXPECT_EQ(ErrorOf("%5:s", {"a"}), "No argument for format '%5:s'.");
    EXPECT_EQ(ErrorOf("%*d", {"w", 1}), "Format '%*d' invalid or incompatible with argument.");
    // Arguments left over are not an error.
    EXPECT_EQ(Format("%d.", {5, 6}), "5.");
}

TEST(Format, ArgumentListsBuiltAtRunTime) {
    // The totals row formats a caption from however many values it has.
    const std::vector<std::string> names = {"Qty", "Price"};
    std::vector<TFormatArg> args;
    for (const std::string& n : names) args.emplace_back(n);
    args.emplace_back(2);
    EXPECT_EQ(FormatArgs("%s/%s: %d", args, FormatSettings()), "Qty/Price: 2");
    args.pop_back();
    EXPECT_THROW(FormatArgs("%s/%s: %d", args, FormatSettings()), EConvertError);
}
