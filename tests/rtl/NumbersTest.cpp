#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/SysUtils.h"

using namespace vel;

namespace {
template <typename F>
std::string ConvertMessage(F&& f) {
    try {
        f();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "no error";
}
}  // namespace

TEST(FloatToStr, FifteenSignificantDigitsGeneralFormat) {
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToStr(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FloatToStr(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(-12.5), "-12.5");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(123456789012345678.0), "1.23456789012346E17");
    // Fifteen integer digits still print in full; sixteen switch to the exponent form.
    EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    // 0.0001 is the smallest magnitude written without an exponent.
    EXPECT_EQ(FloatToStr(0.0001), "0.0001");
    EXPECT_EQ(FloatToStr(0.00001), "1E-5");
    EXPECT_EQ(FloatToStr(-0.000012345), "-1.2345E-5");
    // Rounding to fifteen digits can carry into a new leading digit.
    EXPECT_EQ(FloatToStr(9.999999999999998), "10");
    EXPECT_EQ(FloatToStr(999999999999999.9), "1E15");
}

TEST(FloatToStr, ExtremesAndSpecialValues) {
    EXPECT_EQ(FloatToStr(0.0), "0");
    EXPECT_EQ(FloatToStr(-0.0), "0");
    EXPECT_EQ(FloatToStr(1e-300), "1E-300");
    EXPECT_EQ(FloatToStr(4.9e-324), "4.94065645841247E-324");  // the smallest subnormal
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::max()), "1.79769313486232E308");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FloatToStr(HUGE_VAL), "INF");
    EXPECT_EQ(FloatToStr(-HUGE_VAL), "-INF");
    EXPECT_EQ(FloatToStr(1234.5, TFormatSettings::Create("de-DE")), "1234,5");
}

TEST(FloatToStrF, EveryLayout) {
    EXPECT_EQ(FloatToStrF(1234.5678, TFloatFormat::ffGeneral, 6, 0), "1234.57");
    EXPECT_EQ(FloatToStrF(1234.5678, TFloatFormat::ffGeneral, 3, 2), "1.23E03");
    EXPECT_EQ(FloatToStrF(1234.5678, TFloatFormat::ffExponent, 4, 2), "1.235E+03");
    EXPECT_EQ(FloatToStrF(0.0, TFloatFormat::ffExponent, 3, 0), "0.00E+0");
    EXPECT_EQ(FloatToStrF(1234.5678, TFloatFormat::ffFixed, 15, 2), "1234.57");
    EXPECT_EQ(FloatToStrF(0.5, TFloatFormat::ffFixed, 15, 0), "1");
    EXPECT_EQ(FloatToStrF(-0.001, TFloatFormat::ffFixed, 15, 2), "0.00");  // no "-0.00"
    EXPECT_EQ(FloatToStrF(1234567.891, TFloatFormat::ffNumber, 15, 1), "1,234,567.9");
    EXPECT_EQ(FloatToStrF(-1234.5, TFloatFormat::ffCurrency, 15, 2), "($1,234.50)");
    // More integer digits than the precision: the general format takes over.
    EXPECT_EQ(FloatToStrF(123456.0, TFloatFormat::ffFixed, 4, 2), "1.235E5");
    // A fixed layout shows no more than fifteen digits of a double.
    EXPECT_EQ(FloatToStrF(0.1, TFloatFormat::ffFixed, 18, 18), "0.100000000000000000");
    EXPECT_EQ(FloatToStrF(1.005, TFloatFormat::ffFixed, 18, 2), "1.01");
}

TEST(FormatFloat, PicturePlaceholders) {
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1,234,567.89");
    EXPECT_EQ(FormatFloat("#,##0.00", 0.5), "0.50");
    EXPECT_EQ(FormatFloat("#,##0.00", -1234.5), "-1,234.50");
    EXPECT_EQ(FormatFloat("0.###", 3.14159), "3.142");
    EXPECT_EQ(FormatFloat("0.###", 2.5), "2.5");
    EXPECT_EQ(FormatFloat("0.###", 2.0), "2");
    EXPECT_EQ(FormatFloat("#.##", 0.5), ".5");
    EXPECT_EQ(FormatFloat("000", 7), "007");
    EXPECT_EQ(FormatFloat("0", 123456), "123456");  // digits beyond the placeholders stay
    EXPECT_EQ(FormatFloat("0.00", 1.005), "1.01");  // as the text "1.005" reads
    EXPECT_EQ(FormatFloat("0.00", 0.125), "0.13");
    EXPECT_EQ(FormatFloat("0", -0.4), "0");  // rounds to zero: no sign
    EXPECT_EQ(FormatFloat("", 0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, TFormatSettings::Create("fr-FR")), "1 234,50");
}

TEST(FormatFloat, ExponentsLiteralsAndSections) {
    EXPECT_EQ(FormatFloat("0.00E+00", 1234.5), "1.23E+03");
    EXPECT_EQ(FormatFloat("0.00E+00", 0.000123), "1.23E-04");
    EXPECT_EQ(FormatFloat("0.00E-00", 1234.5), "1.23E03");
    EXPECT_EQ(FormatFloat("00.0E+0", 1234.5), "12.3E+2");
    EXPECT_EQ(FormatFloat("0.00E+00", 0), "0.00E+00");
    EXPECT_EQ(FormatFloat("'Total: '#,##0", 1234), "Total: 1,234");
    EXPECT_EQ(FormatFloat("0.0\" kg\"", 12.34), "12.3 kg");
    EXPECT_EQ(FormatFloat("0 'it;s'", 5), "5 it;s");  // a quoted ';' does not split
    // positive;negative;zero
    const char* pic = "#,##0.00;(#,##0.00);'nil'";
    EXPECT_EQ(FormatFloat(pic, 1234.5), "1,234.50");
    EXPECT_EQ(FormatFloat(pic, -1234.5), "(1,234.50)");
    EXPECT_EQ(FormatFloat(pic, 0), "nil");
    EXPECT_EQ(FormatFloat(pic, 0.001), "nil");  // zero after rounding
    EXPECT_EQ(FormatFloat(pic, -0.001), "nil");
    // An empty negative section borrows the positive one, with a sign.
    EXPECT_EQ(FormatFloat("0.0;;zero", -2.25), "-2.3");
    EXPECT_EQ(FormatFloat("0.0;(0.0)", -0.01), "0.0");
    // Too large for a picture without exponent: general format.
    EXPECT_EQ(FormatFloat("#,##0", 1e25), "1E25");
    EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::quiet_NaN()), "NAN");
}

TEST(StrToFloat, LocaleSeparatorAndExponent) {
    EXPECT_DOUBLE_EQ(StrToFloat("3.25"), 3.25);
    EXPECT_DOUBLE_EQ(StrToFloat("  -1.5E3 "), -1500);
    EXPECT_DOUBLE_EQ(StrToFloat(".5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat("5."), 5);
    EXPECT_DOUBLE_EQ(StrToFloat("+2e-2"), 0.02);
    EXPECT_EQ(StrToFloat("4.9E-324"), 4.9e-324);
    EXPECT_EQ(StrToFloat("1e-400"), 0.0);
    EXPECT_EQ(StrToFloat("0.1"), 0.1);  // correctly rounded
    const TFormatSettings de = TFormatSettings::Create("de-DE");
    EXPECT_DOUBLE_EQ(StrToFloat("1234,5", de), 1234.5);
    EXPECT_EQ(ConvertMessage([&] { StrToFloat("1234.5", de); }),
              "'1234.5' is not a valid floating point value.");
    {
        TFormatSettingsScope scope(de);
        EXPECT_DOUBLE_EQ(StrToFloat("-0,25"), -0.25);
        EXPECT_EQ(FloatToStr(StrToFloat("0,1")), "0,1");
    }
    // What FloatToStr writes reads back.
    for (double v : {0.3, 1e20, 123456789012345678.0, 1e-5, -2.5e-300}) {
        EXPECT_EQ(FloatToStr(StrToFloat(FloatToStr(v))), FloatToStr(v));
    }
    EXPECT_EQ(StrToFloat("-1.79769313486232E308"), -std::numeric_limits<double>::max());
    EXPECT_THROW(StrToFloat("1.79769313486233E308"), EConvertError);
    EXPECT_TRUE(std::isnan(StrToFloat("NAN")));
    EXPECT_EQ(StrToFloat("-inf"), -HUGE_VAL);
}

TEST(StrToFloat, MalformedTextRaisesNamingIt) {
    EXPECT_EQ(ConvertMessage([] { StrToFloat("1,2.3"); }),
              "'1,2.3' is not a valid floating point value.");
    for (const char* bad : {"", " ", "abc", "1.2.3", "1e", "1e+", "--1", "1 2", "0x10", "1,000",
                            "1e400", "-", ".", "e5", "NAN1"}) {
        double v = 42;
        EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
        EXPECT_EQ(v, 42) << bad;
        EXPECT_THROW(StrToFloat(bad), EConvertError) << bad;
    }
    EXPECT_EQ(StrToFloatDef("x", -1), -1);
}

TEST(StrToInt, DecimalHexAndRange) {
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt("  -17"), -17);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("0x1f"), 31);
    EXPECT_EQ(StrToInt("-$10"), -16);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);  // hex fills the 32-bit pattern
    EXPECT_EQ(StrToInt("2147483647"), INT32_MAX);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64("$8000000000000000"), INT64_MIN);
    EXPECT_EQ(ConvertMessage([] { StrToInt("abc"); }), "'abc' is not a valid integer value.");
    for (const char* bad :
         {"", "12 ", "1.5", "2147483648", "-2147483649", "$", "0x", "$1G", "+-1", "$100000000"}) {
        std::int32_t v = 7;
        EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
        EXPECT_EQ(v, 7) << bad;
    }
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_EQ(StrToIntDef("x", -1), -1);
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFFFFFFFFFF");
}

TEST(Currency, TextIsExact) {
    EXPECT_EQ(CurrToStr(Currency{15000}), "1.5");
    EXPECT_EQ(CurrToStr(Currency{-1}), "-0.0001");
    EXPECT_EQ(CurrToStr(Currency{INT64_MAX}), "922337203685477.5807");
    EXPECT_EQ(CurrToStr(Currency{INT64_MIN}), "-922337203685477.5808");
    EXPECT_EQ(CurrToStrF(Currency{12345678}, TFloatFormat::ffCurrency, 2), "$1,234.57");
    EXPECT_EQ(CurrToStrF(Currency{12345678}, TFloatFormat::ffFixed, 4), "1234.5678");
    EXPECT_EQ(FormatCurr("#,##0.00;(#,##0.00)", Currency{-12345678}), "(1,234.57)");
    EXPECT_EQ(StrToCurr("1234.56785").Value, 12345679);  // fifth decimal rounds away
    EXPECT_EQ(StrToCurr("-0.00005").Value, -1);
    EXPECT_EQ(StrToCurr("1.5e3").Value, 15000000);
    EXPECT_EQ(StrToCurr("922337203685477.5807").Value, INT64_MAX);
    EXPECT_EQ(StrToCurr("-922337203685477.5808").Value, INT64_MIN);
    EXPECT_EQ(StrToCurr("12,5", TFormatSettings::Create("de-DE")).Value, 125000);
    EXPECT_EQ(ConvertMessage([] { StrToCurr("922337203685477.5808"); }),
              "'922337203685477.5808' is not a valid floating point value.");
    EXPECT_EQ(ConvertMessage([] { StrToCurr("12a"); }),
              "'12a' is not a valid floating point value.");
}

TEST(Currency, ArithmeticRoundsHalvesAway) {
    const Currency a = StrToCurr("10.0001"), b = StrToCurr("3");
    EXPECT_EQ(CurrToStr(a + b), "13.0001");
    EXPECT_EQ(CurrToStr(a - b), "7.0001");
    EXPECT_EQ(CurrToStr(-a), "-10.0001");
    EXPECT_EQ(CurrToStr(StrToCurr("0.0005") * StrToCurr("0.1")), "0.0001");  // 0.00005
    EXPECT_EQ(CurrToStr(StrToCurr("-0.0005") * StrToCurr("0.1")), "-0.0001");
    EXPECT_EQ(CurrToStr(StrToCurr("10") / b), "3.3333");
    EXPECT_EQ(CurrToStr(StrToCurr("20") / b), "6.6667");
    EXPECT_EQ(CurrToStr(StrToCurr("1.25") * std::int64_t{3}), "3.75");
    EXPECT_THROW(a / Currency{}, EZeroDivide);
    EXPECT_THROW(Currency{INT64_MAX} + Currency{1}, EIntOverflow);
    EXPECT_THROW(StrToCurr("900000000000000") * StrToCurr("2"), EIntOverflow);
    EXPECT_THROW(-Currency{INT64_MIN}, EIntOverflow);
    // From double: halves of the fourth decimal as the value's text reads them.
    EXPECT_EQ(CurrFromDouble(1.00005).Value, 10001);
    EXPECT_EQ(CurrFromDouble(-1.00005).Value, -10001);
    EXPECT_EQ(CurrFromDouble(0.1 + 0.2).Value, 3000);
    EXPECT_EQ(CurrFromDouble(123456789.12344).Value, 1234567891234);
    EXPECT_EQ(CurrToDouble(Currency{25000}), 2.5);
    EXPECT_THROW(CurrFromDouble(1e16), EConvertError);
    EXPECT_THROW(CurrFromDouble(std::numeric_limits<double>::quiet_NaN()), EConvertError);
}

TEST(Booleans, TextBothWays) {
    EXPECT_EQ(BoolToStr(true), "-1");
    EXPECT_EQ(BoolToStr(false, true), "False");
    EXPECT_TRUE(StrToBool("true"));
    EXPECT_FALSE(StrToBool("FALSE"));
    EXPECT_TRUE(StrToBool("-1"));
    EXPECT_TRUE(StrToBool("2"));
    EXPECT_FALSE(StrToBool("0"));
    EXPECT_EQ(ConvertMessage([] { StrToBool("yes"); }), "'yes' is not a valid boolean value.");
    EXPECT_TRUE(StrToBoolDef("maybe", true));
}
