#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

using namespace vel;

static_assert(!std::is_constructible_v<Variant, int*>, "a pointer must not become a Boolean");

namespace {
Currency Curr(const char* s) {
    return StrToCurr(s, TFormatSettings::Invariant());
}
}  // namespace

TEST(Variant, UnassignedAndNullStayApart) {
    const Variant empty, null = Variant::Null();
    EXPECT_TRUE(VarIsEmpty(empty));
    EXPECT_FALSE(VarIsNull(empty));
    EXPECT_TRUE(VarIsNull(null));
    EXPECT_FALSE(VarIsClear(null));
    EXPECT_EQ(VarToStr(empty), "");
    EXPECT_EQ(VarToStr(null), "");
    EXPECT_EQ(VarToStrDef(null, "(null)"), "(null)");
    // Unassigned reads as nothing; Null cannot be read at all.
    EXPECT_EQ(empty.AsInteger(), 0);
    EXPECT_EQ(empty.AsString(), "");
    EXPECT_FALSE(empty.AsBoolean());
    EXPECT_THROW(null.AsString(), EVariantError);
    EXPECT_THROW(null.AsInteger(), EVariantTypeCastError);
    EXPECT_THROW(null.AsFloat(), EVariantTypeCastError);
    try {
        null.AsDateTime();
        FAIL();
    } catch (const EVariantTypeCastError& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (Null) into type (Date).");
    }
    EXPECT_TRUE(empty == Variant());
    EXPECT_TRUE(null == Variant::Null());
    EXPECT_FALSE(empty == null);
    EXPECT_FALSE(null == Variant(0));
    EXPECT_FALSE(empty == Variant(""));
    EXPECT_EQ(VarCompareValue(null, Variant(1)), TVariantRelationship::vrNotEqual);
    EXPECT_EQ(VarCompareValue(Variant(1), empty), TVariantRelationship::vrNotEqual);
    EXPECT_EQ(VarCompareValue(null, Variant::Null()), TVariantRelationship::vrEqual);
}

TEST(Variant, NumberConversions) {
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_EQ(Variant(true).AsString(), "True");
    EXPECT_EQ(Variant(0.1 + 0.2).AsString(), "0.3");
    EXPECT_EQ(Variant(2.5).AsInteger(), 3);  // halves away from zero
    EXPECT_EQ(Variant(-2.5).AsInt64(), -3);
    EXPECT_EQ(Variant(Curr("2.5")).AsInteger(), 3);
    EXPECT_EQ(Variant(Curr("-1.4999")).AsInteger(), -1);
    EXPECT_EQ(Variant(Curr("12.34")).AsString(), "12.34");
    EXPECT_EQ(Variant(Curr("12.34")).AsFloat(), 12.34);
    EXPECT_EQ(Variant(12.345).AsCurrency(), Curr("12.345"));
    EXPECT_EQ(Variant(std::int64_t{1} << 40).AsString(), "1099511627776");
    EXPECT_EQ(Variant(std::int64_t{1} << 40).AsCurrency().Value, (std::int64_t{1} << 40) * 10000);
    EXPECT_THROW(Variant(std::int64_t{1} << 40).AsInteger(), EVariantTypeCastError);
    EXPECT_THROW(Variant(3e9).AsInteger(), EVariantTypeCastError);
    EXPECT_THROW(Variant(1e19).AsInt64(), EVariantTypeCastError);
    EXPECT_THROW(Variant(std::numeric_limits<double>::quiet_NaN()).AsInt64(),
                 EVariantTypeCastError);
    EXPECT_THROW(Variant(std::int64_t{1} << 62).AsCurrency(), EVariantTypeCastError);
    EXPECT_EQ(Variant(18446744073709551615ull).VarType(), TVarType::varDouble);
    EXPECT_EQ(Variant(5u).VarType(), TVarType::varInt64);
}

TEST(Variant, StringConversionsFollowTheLocale) {
    EXPECT_EQ(Variant("42").AsInteger(), 42);
    EXPECT_EQ(Variant(" $10").AsInteger(), 16);
    EXPECT_EQ(Variant("1.5").AsInteger(), 2);
    EXPECT_EQ(Variant("1.5").AsFloat(), 1.5);
    EXPECT_EQ(Variant("0.0001").AsCurrency().Value, 1);
    EXPECT_TRUE(Variant("true").AsBoolean());
    EXPECT_TRUE(Variant("-1").AsBoolean());
    try {
        Variant("abc").AsFloat();
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value.");
    }
    try {
        Variant("12x").AsInteger();
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'12x' is not a valid integer value.");
    }
    EXPECT_THROW(Variant("3000000000").AsInteger(), EVariantTypeCastError);
    TFormatSettingsScope scope(TFormatSettings::Create("de-DE"));
    EXPECT_EQ(Variant("1,25").AsFloat(), 1.25);
    EXPECT_EQ(Variant(1.25).AsString(), "1,25");
    EXPECT_THROW(Variant("1.25").AsFloat(), EConvertError);
}

TEST(Variant, DatesConvertThroughTheLocaleFormats) {
    const TDateTime d = EncodeDateTime(2024, 3, 9, 14, 5, 0, 0);
    const Variant v = Variant::FromDateTime(d);
    EXPECT_EQ(v.VarType(), TVarType::varDate);
    EXPECT_EQ(v.AsString(), DateTimeToStr(d));
    EXPECT_EQ(Variant(v.AsString()).AsDateTime(), d);
    EXPECT_EQ(v.AsFloat(), d);
    EXPECT_EQ(Variant(EncodeDate(2024, 3, 9)).AsString(), FloatToStr(EncodeDate(2024, 3, 9)));
    {
        TFormatSettingsScope scope(TFormatSettings::Create("de-DE"));
        EXPECT_EQ(Variant::FromDateTime(EncodeDate(2024, 3, 9)).AsString(), "09.03.2024");
        EXPECT_EQ(Variant("09.03.2024").AsDateTime(), EncodeDate(2024, 3, 9));
    }
    EXPECT_THROW(Variant("not a date").AsDateTime(), EConvertError);
    // A date equals the same day number and a string naming the same date.
    EXPECT_TRUE(v == Variant(d));
    EXPECT_TRUE(Variant::FromDateTime(EncodeDate(2024, 3, 9)) == Variant("3/9/2024"));
    EXPECT_EQ(VarCompareValue(Variant::FromDateTime(EncodeDate(2024, 3, 9)), Variant("3/10/2024")),
              TVariantRelationship::vrLessThan);
}

TEST(Variant, EqualityAcrossNumericKinds) {
    const Variant one[] = {Variant(1), Variant(std::int64_t{1}), Variant(1.0),
                           Variant(CurrFromInt(1)), Variant("1")};
    for (const Variant& a : one)
        for (const Variant& b : one) EXPECT_TRUE(a == b) << a.AsString() << " vs " << b.AsString();
    EXPECT_TRUE(Variant("1.0") == Variant(1));
    EXPECT_FALSE(Variant("1.0") == Variant("1"));  // two strings compare as text
    EXPECT_TRUE(Variant(0.1) == Variant(Curr("0.1")));
    EXPECT_TRUE(Variant(true) == Variant(-1));
    EXPECT_FALSE(Variant(1) == Variant(1.5));
    EXPECT_FALSE(Variant("abc") == Variant(0));
    // Integers beyond a double's precision still compare exactly.
    const std::int64_t big = (std::int64_t{1} << 53) + 1;
    EXPECT_FALSE(Variant(big) == Variant(static_cast<double>(big)));
    EXPECT_EQ(VarCompareValue(Variant(big), Variant(9007199254740992.0)),
              TVariantRelationship::vrGreaterThan);
    EXPECT_EQ(VarCompareValue(Variant(-3), Variant(-2.5)), TVariantRelationship::vrLessThan);
    EXPECT_EQ(VarCompareValue(Variant(Curr("-0.0001")), Variant(0)),
              TVariantRelationship::vrLessThan);
    EXPECT_EQ(VarCompareValue(Variant("10"), Variant(9)), TVariantRelationship::vrGreaterThan);
    EXPECT_EQ(VarCompareValue(Variant("b"), Variant("a")), TVariantRelationship::vrGreaterThan);
    EXPECT_EQ(VarCompareValue(Variant("B"), Variant("a")), TVariantRelationship::vrLessThan);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(VarCompareValue(Variant(nan), Variant(nan)), TVariantRelationship::vrNotEqual);
    EXPECT_EQ(VarCompareValue(Variant::FromBytes({1, 2}), Variant(1)),
              TVariantRelationship::vrNotEqual);
}

TEST(Variant, TotalOrderForSortingAndMinMax) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<Variant> values = {Variant("b"),
                                   Variant(2.5),
                                   Variant::Null(),
                                   Variant(true),
                                   Variant(nan),
                                   Variant(),
                                   Variant(-7),
                                   Variant(CurrFromInt(2)),
                                   Variant("A"),
                                   Variant(false),
                                   Variant::FromBytes({0x01}),
                                   Variant::FromDateTime(3.0)};
    std::stable_sort(values.begin(), values.end(),
                     [](const Variant& a, const Variant& b) { return VarCompare(a, b) < 0; });
    std::vector<std::string> order;
    for (const Variant& v : values) {
        if (v.IsEmpty())
            order.push_back("<empty>");
        else if (v.IsNull())
            order.push_back("<null>");
        else if (v.VarType() == TVarType::varBytes)
            order.push_back("<bytes>");
        else if (v.VarType() == TVarType::varDate)
            order.push_back("<date 3>");
        else
            order.push_back(v.AsString());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"<empty>", "<null>", "False", "True", "-7", "2",
                                               "2.5", "<date 3>", "NAN", "A", "b", "<bytes>"}));
    // Min and max of a column's values skip nothing: Null is the smallest.
    const std::vector<Variant> column = {Variant(3), Variant::Null(), Variant(1.5), Variant(10)};
    auto less = [](const Variant& a, const Variant& b) { return VarCompare(a, b) < 0; };
    EXPECT_TRUE(VarIsNull(*std::min_element(column.begin(), column.end(), less)));
    EXPECT_EQ(std::max_element(column.begin(), column.end(), less)->AsInteger(), 10);
    EXPECT_EQ(VarCompare(Variant(1), Variant(1.0)), 0);
    EXPECT_GT(VarCompare(Variant("10"), Variant(99)), 0);  // kinds are not converted here
}

TEST(Variant, ArraysAsMultiFieldKeysAndBytes) {
    const Variant key = VarArrayOf({Variant(1), Variant("Smith")});
    EXPECT_TRUE(VarIsArray(key));
    EXPECT_TRUE(key == VarArrayOf({Variant(1.0), Variant("Smith")}));
    EXPECT_FALSE(key == VarArrayOf({Variant(1), Variant("smith")}));
    EXPECT_FALSE(key == VarArrayOf({Variant(1)}));
    EXPECT_EQ(VarCompareValue(key, VarArrayOf({Variant(1), Variant("Zed")})),
              TVariantRelationship::vrLessThan);
    EXPECT_EQ(VarCompareValue(key, VarArrayOf({Variant(1), Variant::Null()})),
              TVariantRelationship::vrNotEqual);
    EXPECT_LT(VarCompare(VarArrayOf({Variant(1)}), key), 0);  // a prefix sorts first
    EXPECT_THROW(key.AsString(), EVariantTypeCastError);
    EXPECT_THROW(Variant(1).AsArray(), EVariantTypeCastError);

    // Copies are deep; a moved-from variant is Unassigned.
    Variant copy = key;
    Variant moved = std::move(copy);
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_EQ(moved.AsArray()[1].AsString(), "Smith");
    copy = moved;
    moved = Variant(5);
    EXPECT_EQ(copy.AsArray().size(), 2u);

    const Variant bytes = Variant::FromBytes({0x00, 0xFF});
    EXPECT_EQ(bytes.AsBytes(), (std::vector<std::uint8_t>{0x00, 0xFF}));
    EXPECT_TRUE(bytes == Variant::FromBytes({0x00, 0xFF}));
    EXPECT_LT(VarCompare(bytes, Variant::FromBytes({0x01})), 0);
    EXPECT_GT(VarCompare(bytes, Variant::FromBytes({0x00})), 0);
    EXPECT_THROW(Variant("x").AsBytes(), EVariantTypeCastError);
}

TEST(Variant, FormatReadsVariantsAsTheDirectiveNeeds) {
    const Variant total(CurrFromInt(1234) + Curr("0.5"));
    EXPECT_EQ(Format("%m", {total}), "$1,234.50");
    EXPECT_EQ(Format("%s|%d|%.1f", {Variant("x"), Variant("12"), Variant(2)}), "x|12|2.0");
    EXPECT_EQ(Format("[%s]", {Variant::Null()}), "[]");
    EXPECT_THROW(Format("%d", {Variant::Null()}), EConvertError);
    EXPECT_THROW(Format("%d", {Variant("abc")}), EConvertError);
    EXPECT_THROW(Format("%p", {Variant(1)}), EConvertError);
}
