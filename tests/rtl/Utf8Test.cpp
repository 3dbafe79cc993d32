#include <gtest/gtest.h>

#include "platform/rtl/TSet.h"
#include "platform/rtl/Utf8.h"

using namespace vel;

TEST(Utf8, CodePointStepping) {
    const std::string s = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a é € 😀 z
    EXPECT_EQ(Utf8Length(s), 5u);
    std::size_t p = 0;
    std::vector<std::size_t> starts;
    while (p < s.size()) {
        starts.push_back(p);
        p = Utf8Next(s, p);
    }
    EXPECT_EQ(starts, (std::vector<std::size_t>{0, 1, 3, 6, 10}));
    // Walking back visits the same boundaries.
    std::vector<std::size_t> back;
    for (std::size_t q = s.size(); q > 0;) back.insert(back.begin(), q = Utf8Prev(s, q));
    EXPECT_EQ(back, starts);
    EXPECT_EQ(Utf8Copy(s, 1, 2), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(Utf8CharIndex(s, 7), 3u);
}

TEST(Utf8, MalformedBytesAdvanceOneAtATime) {
    const std::string bad = "\xC3" "a\xE2\x82" "\xFF";  // truncated, truncated, invalid lead
    std::size_t p = 0;
    int n = 0;
    while (p < bad.size()) {
        Utf8Decode(bad, p);
        ++n;
    }
    EXPECT_EQ(n, 5);
    EXPECT_FALSE(Utf8IsValid(bad));
    EXPECT_TRUE(Utf8IsValid("\xEF\xBF\xBD ok"));
    EXPECT_EQ(Utf8Prev(bad, bad.size()), bad.size() - 1);
    // Overlong encodings and surrogates are not accepted.
    EXPECT_FALSE(Utf8IsValid("\xC0\xAF"));
    EXPECT_FALSE(Utf8IsValid("\xED\xA0\x80"));
    // Case mapping keeps malformed bytes untouched.
    EXPECT_EQ(Utf8UpperCase(bad), "\xC3" "A\xE2\x82" "\xFF");
}

TEST(Utf8, CaseMappingOfEuropeanLetters) {
    EXPECT_EQ(Utf8UpperCase("stra\xC3\x9F" "e \xC3\xA4\xC3\xB6\xC3\xBC \xC5\x82\xC3\xB3\xC5\xBC"),
              "STRA\xC3\x9F" "E \xC3\x84\xC3\x96\xC3\x9C \xC5\x81\xC3\x93\xC5\xBB");
    EXPECT_EQ(Utf8LowerCase("\xCE\x91\xCE\x98\xCE\x97\xCE\x9D\xCE\x91"), "\xCE\xB1\xCE\xB8\xCE\xB7\xCE\xBD\xCE\xB1");
    EXPECT_EQ(Utf8LowerCase("\xD0\x9C\xD0\x9E\xD0\xA1\xD0\x9A\xD0\x92\xD0\x90"),
              "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0");
    EXPECT_EQ(UnicodeToUpper(0xFF), 0x178u);
    EXPECT_EQ(UnicodeToLower(0x178), 0xFFu);
    EXPECT_EQ(UnicodeToUpper(0xF7), 0xF7u);  // division sign has no case
    // Every cased letter of Latin Extended-A round-trips, except the dotted/dotless i and long s.
    for (char32_t c = 0x100; c < 0x180; ++c) {
        if (c == 0x130 || c == 0x131 || c == 0x17F) continue;
        const char32_t u = UnicodeToUpper(c), l = UnicodeToLower(c);
        if (u != c) {
            EXPECT_EQ(UnicodeToLower(u), c) << unsigned(c);
        }
        if (l != c) {
            EXPECT_EQ(UnicodeToUpper(l), c) << unsigned(c);
        }
    }
}

TEST(Utf8, CaseInsensitiveCompare) {
    EXPECT_EQ(Utf8CompareText("\xC3\x84pfel", "\xC3\xA4PFEL"), 0);
    EXPECT_LT(Utf8CompareText("abc", "ABD"), 0);
    EXPECT_GT(Utf8CompareText("abcd", "ABC"), 0);
    EXPECT_LT(Utf8CompareText("", "a"), 0);
    EXPECT_TRUE(Utf8SameText("\xD0\x9C\xD0\xB8\xD1\x80", "\xD0\xBC\xD0\x98\xD0\xA0"));
    EXPECT_LT(Utf8CompareStr("B", "a"), 0);
}

namespace {
enum class TColorOpt { coRed, coGreen, coBlue, coAlpha };
}

TEST(TSet, MaskConversionAndAlgebra) {
    using enum TColorOpt;
    TSet<TColorOpt> s{coRed, coBlue};
    EXPECT_EQ(s.ToMask(), 5u);
    EXPECT_EQ(TSet<TColorOpt>::FromMask(10), (TSet<TColorOpt>{coGreen, coAlpha}));
    EXPECT_EQ((s + coGreen).ToMask(), 7u);
    EXPECT_EQ((s - TSet<TColorOpt>{coRed}).ToMask(), 4u);
    EXPECT_EQ((s * TSet<TColorOpt>{coBlue, coAlpha}).ToMask(), 4u);
    EXPECT_TRUE(TSet<TColorOpt>{coRed} <= s);
    EXPECT_FALSE(s <= TSet<TColorOpt>{coRed});
    s.Exclude(coRed).Include(coAlpha);
    EXPECT_TRUE(s.Contains(coAlpha));
    EXPECT_FALSE(s.Contains(coRed));
    EXPECT_EQ(s.Count(), 2);
}
