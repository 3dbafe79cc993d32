#include <gtest/gtest.h>

#include "platform/db/DBTypes.h"
#include "platform/db/FilterExpr.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/db/DbTestUtil.h"

using namespace vel;

namespace {

// Name, Unit Price, A, D (date), Q (float), Flag; row 6 has Nulls.
struct FilterFixture : ::testing::Test {
    TClientDataSet ds;
    void SetUp() override {
        ds.GetFieldDefs().Add("Name", TFieldType::ftString, 20);
        ds.GetFieldDefs().Add("Unit Price", TFieldType::ftFloat);
        ds.GetFieldDefs().Add("A", TFieldType::ftInteger);
        ds.GetFieldDefs().Add("D", TFieldType::ftDate);
        ds.GetFieldDefs().Add("Q", TFieldType::ftFloat);
        ds.GetFieldDefs().Add("Flag", TFieldType::ftBoolean);
        ds.CreateDataSet();
        Add("abc", 5, 1, EncodeDate(2024, 1, 15), 1.5, true);
        Add("xaby", 12, 2, EncodeDate(2024, 2, 1), 2.5, false);
        Add("a", 10, -1, EncodeDate(2024, 2, 29), 3, true);
        Add("b", 20.5, 0, EncodeDate(2023, 12, 31), 2.5, false);
        Add("it's", 11, 5, EncodeDate(2024, 3, 1), 7, true);
        ds.Append();
        ds.FieldByName("A")->SetAsInteger(3);
        ds.Post();
    }
    void Add(const char* name, double price, int a, TDateTime d, double q, bool flag) {
        ds.Append();
        ds.FieldByName("Name")->SetAsString(name);
        ds.FieldByName("Unit Price")->SetAsFloat(price);
        ds.FieldByName("A")->SetAsInteger(a);
        ds.FieldByName("D")->SetAsDateTime(d);
        ds.FieldByName("Q")->SetAsFloat(q);
        ds.FieldByName("Flag")->SetAsBoolean(flag);
        ds.Post();
    }
    std::vector<int> Rows(const std::string& filter) {
        ds.SetFilter(filter);
        ds.SetFiltered(true);
        std::vector<int> out = veltest::Ids(ds, "A");
        ds.SetFiltered(false);
        return out;
    }
};

TEST_F(FilterFixture, LikeFormsAndNegations) {
    EXPECT_EQ(Rows("Name LIKE '%ab%'"), (std::vector<int>{1, 2}));
    EXPECT_EQ(Rows("Name LIKE 'a%'"), (std::vector<int>{1, -1}));
    EXPECT_EQ(Rows("Name LIKE '%c'"), (std::vector<int>{1}));
    EXPECT_EQ(Rows("Name LIKE '_'"), (std::vector<int>{-1, 0}));
    EXPECT_EQ(Rows("Name LIKE 'x%b_'"), (std::vector<int>{2}));
    EXPECT_EQ(Rows("NOT Name LIKE '%ab%'"), (std::vector<int>{-1, 0, 5}));
    EXPECT_EQ(Rows("Name NOT LIKE 'a%' AND Name <> 'b'"), (std::vector<int>{2, 5}));
    EXPECT_EQ(Rows("Name LIKE '%ab%' AND Name <> 'abc'"), (std::vector<int>{2}));
    EXPECT_EQ(Rows("Name = 'it''s'"), (std::vector<int>{5}));
}

TEST_F(FilterFixture, ComparisonsListsAndNulls) {
    EXPECT_EQ(Rows("[Unit Price] > 10"), (std::vector<int>{2, 0, 5}));
    EXPECT_EQ(Rows("Name IN ('a','b','c')"), (std::vector<int>{-1, 0}));
    EXPECT_EQ(Rows("A IN (1,2)"), (std::vector<int>{1, 2}));
    EXPECT_EQ(Rows("NOT A IN (1, 2, 3)"), (std::vector<int>{-1, 0, 5}));
    EXPECT_EQ(Rows("NOT (A > 1 OR A < 0)"), (std::vector<int>{1, 0}));
    EXPECT_EQ(Rows("Name IS NULL"), (std::vector<int>{3}));
    EXPECT_EQ(Rows("Name IS NOT NULL AND A >= 2"), (std::vector<int>{2, 5}));
    EXPECT_EQ(Rows("Name = NULL"), (std::vector<int>{3}));
    EXPECT_EQ(Rows("Name <> NULL and a<=0"), (std::vector<int>{-1, 0}));
    // Null never satisfies a comparison, not even a negated one.
    EXPECT_EQ(Rows("NOT (Name = 'zz')"), (std::vector<int>{1, 2, -1, 0, 5}));
    EXPECT_EQ(Rows("Flag"), (std::vector<int>{1, -1, 5}));
    EXPECT_EQ(Rows("Flag = False"), (std::vector<int>{2, 0}));
    EXPECT_EQ(Rows("10 < [Unit Price]"), (std::vector<int>{2, 0, 5}));
    EXPECT_EQ(Rows("A > -1 and a < 1"), (std::vector<int>{0}));
}

TEST_F(FilterFixture, PartialCompareAndCaseOptions) {
    EXPECT_EQ(Rows("Name = 'a*'"), (std::vector<int>{1, -1}));
    ds.SetFilterOptions({TFilterOption::foNoPartialCompare});
    EXPECT_TRUE(Rows("Name = 'a*'").empty());
    ds.SetFilterOptions({TFilterOption::foCaseInsensitive});
    EXPECT_EQ(Rows("Name = 'ABC'"), (std::vector<int>{1}));
    EXPECT_EQ(Rows("Name LIKE 'A%'"), (std::vector<int>{1, -1}));
    EXPECT_EQ(Rows("Name IN ('B', 'IT''S')"), (std::vector<int>{0, 5}));
    ds.SetFilterOptions({});
    EXPECT_TRUE(Rows("Name = 'ABC'").empty());
}

TEST_F(FilterFixture, LocaleDatesAndDecimalCommas) {
    EXPECT_EQ(Rows("D >= '2/1/2024' AND D < '3/1/2024'"), (std::vector<int>{2, -1}));
    TFormatSettingsScope de(TFormatSettings::Create("de-DE"));
    EXPECT_EQ(Rows("D >= '01.02.2024' AND D < '01.03.2024'"), (std::vector<int>{2, -1}));
    EXPECT_EQ(Rows("Q IN (1,5, 2,5)"), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(Rows("Q IN (1.5,2.5)"), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(Rows("Q > 2,5"), (std::vector<int>{-1, 5}));
    // Integers keep their comma lists in a comma locale.
    EXPECT_EQ(Rows("A IN (1,2)"), (std::vector<int>{1, 2}));
}

TEST_F(FilterFixture, MalformedTextRaisesAndTheOldFilterStays) {
    ds.SetFilter("A > 1");
    ds.SetFiltered(true);
    ASSERT_EQ(ds.GetRecordCount(), 3);
    for (const char* bad : {"A >", "(A > 1", "A > 1)", "Name LIKE 5", "A IN ()", "A = 'x",
                            "AND A", "A > 1 OR", "[Unit Price > 3", "A IS 3", "Nope > 1",
                            "A = 'abc'", "Name", "D > 'not a date'", "A > 1 B"}) {
        EXPECT_THROW(ds.SetFilter(bad), EDatabaseError) << bad;
        EXPECT_EQ(ds.GetFilter(), "A > 1") << bad;
        EXPECT_EQ(ds.GetRecordCount(), 3) << bad;
    }
    try {
        ds.SetFilter("A > 1 AND");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().find("A > 1 AND"), std::string::npos);
        EXPECT_NE(e.Message().find("position 10"), std::string::npos);
    }
}

TEST_F(FilterFixture, SyntaxIsCheckedWhenSetOnAClosedDataSet) {
    ds.Close();
    EXPECT_THROW(ds.SetFilter("A >"), EDatabaseError);
    ds.SetFilter("Nope > 1");  // fields are only known when it goes into force
    ds.SetFiltered(true);
    EXPECT_THROW(ds.Open(), EDatabaseError);
    EXPECT_FALSE(ds.GetActive());
    ds.SetFilter("A = 5");
    ds.Open();
    EXPECT_EQ(ds.GetRecordCount(), 1);
}

TEST_F(FilterFixture, OnFilterRecordCombinesWithTheExpression) {
    int calls = 0;
    ds.SetOnFilterRecord([&](TDataSet* d, bool& accept) {
        ++calls;
        EXPECT_EQ(d->GetState(), TDataSetState::dsFilter);
        accept = d->FieldByName("A")->GetAsInteger() != 2;
    });
    EXPECT_EQ(Rows("A > 0"), (std::vector<int>{1, 5, 3}));
    EXPECT_GT(calls, 0);
    ds.SetFilter("");
    ds.SetFiltered(true);
    EXPECT_EQ(ds.GetRecordCount(), 5);
}

TEST_F(FilterFixture, PostedRecordLeavesAndJoinsTheFilteredView) {
    ds.SetFilter("A > 1");
    ds.SetFiltered(true);
    ds.First();
    ASSERT_EQ(ds.FieldByName("A")->GetAsInteger(), 2);
    ds.Edit();
    ds.FieldByName("A")->SetAsInteger(-5);
    ds.Post();
    EXPECT_EQ(ds.GetRecordCount(), 2);
    ds.Append();
    ds.FieldByName("A")->SetAsInteger(9);
    ds.Post();
    EXPECT_EQ(veltest::Ids(ds, "A"), (std::vector<int>{5, 3, 9}));
}

TEST_F(FilterFixture, ArithmeticOnFieldsAndValues) {
    using V = std::vector<int>;
    EXPECT_EQ(Rows("[Unit Price] * Q > 30"), (V{0, 5}));
    EXPECT_EQ(Rows("A + 1 = 2"), (V{1}));
    EXPECT_EQ(Rows("A * 2 - 1 > 2"), (V{2, 5, 3}));  // * before -, and the Null-named row counts
    EXPECT_EQ(Rows("(A + 1) * 2 = 4"), (V{1}));
    EXPECT_EQ(Rows("-A > 0"), (V{-1}));
    EXPECT_EQ(Rows("A - -1 = 0"), (V{-1}));
    EXPECT_EQ(Rows("A / 2 = 0.5"), (V{1}));  // division is never whole-number division
    EXPECT_EQ(Rows("A / 0 = 1 OR A / 0 <> 1"), (V{}));  // dividing by zero gives Null
    EXPECT_EQ(Rows("A + 1 IN (2, 3)"), (V{1, 2}));
    EXPECT_EQ(Rows("Name + '!' = 'abc!'"), (V{1}));
    EXPECT_EQ(Rows("'<' + Name + '>' = '<b>'"), (V{0}));
    EXPECT_EQ(Rows("Name + 'x' IS NULL"), (V{3}));
    EXPECT_EQ(Rows("D + 1 = D + 1.0 AND D - 1 < D"), (V{1, 2, -1, 0, 5}));
    EXPECT_EQ(Rows("D - [Unit Price] < D - 11"), (V{2, 0}));
    // Whole numbers that overflow continue as floating point.
    EXPECT_EQ(Rows("A * 9000000000000000000 > 1e18"), (V{1, 2, 5, 3}));
    // A date pushed past any calendar has no year.
    EXPECT_EQ(Rows("YEAR(D + 1e300) > 0 OR YEAR(D + 1e300) <= 0"), (V{}));
}

TEST_F(FilterFixture, TextAndDateFunctions) {
    using V = std::vector<int>;
    EXPECT_EQ(Rows("UPPER(Name) = 'ABC'"), (V{1}));
    EXPECT_EQ(Rows("lower(upper(Name)) LIKE '%ab%'"), (V{1, 2}));
    EXPECT_EQ(Rows("SUBSTRING(Name, 2, 2) = 'ab'"), (V{2}));
    EXPECT_EQ(Rows("SUBSTRING(Name, 4) = 's'"), (V{5}));
    EXPECT_EQ(Rows("SUBSTRING(Name, 0, 1) = 'a'"), (V{1, -1}));
    EXPECT_EQ(Rows("SUBSTRING(Name, 2, 0) = ''"), (V{1, 2, -1, 0, 5}));
    EXPECT_EQ(Rows("TRIM('  ' + Name + ' ') = Name AND TRIMLEFT(' ' + Name) = Name"),
              (V{1, 2, -1, 0, 5}));
    EXPECT_EQ(Rows("TRIMRIGHT(Name + '  ') + '|' = 'b|'"), (V{0}));
    EXPECT_EQ(Rows("YEAR(D) = 2023"), (V{0}));
    EXPECT_EQ(Rows("MONTH(D) = 2 AND DAY(D) = 29"), (V{-1}));
    EXPECT_EQ(Rows("HOUR(D) + MINUTE(D) + SECOND(D) = 0 AND TIME(D) = 0 AND DATE(D) = D"),
              (V{1, 2, -1, 0, 5}));
    {
        TVirtualClockScope clock(EncodeDateTime(2024, 2, 10, 13, 45, 0, 0));
        EXPECT_EQ(Rows("D < GETDATE()"), (V{1, 2, 0}));
        EXPECT_EQ(Rows("DATE(GETDATE()) - D = 26"), (V{1}));
        EXPECT_EQ(Rows("HOUR(GETDATE()) = 13 AND A = 1"), (V{1}));
        clock->SetNow(EncodeDate(2025, 1, 1));
        EXPECT_EQ(Rows("D < GETDATE()"), (V{1, 2, -1, 0, 5}));  // read as each filter runs
    }
    ds.SetFilterOptions(TFilterOptions{TFilterOption::foCaseInsensitive});
    EXPECT_EQ(Rows("UPPER(Name) = 'aBc'"), (V{1}));
    ds.SetFilterOptions({});
    // A field named like a function is still a field without parentheses.
    auto e = TFilterExpression::Parse("UPPER(Name) = 'X' and A + Q > 1 and Year = 1");
    EXPECT_EQ(e->FieldNames(), (std::vector<std::string>{"Name", "A", "Q", "Year"}));
}

TEST_F(FilterFixture, CalculationsOfTheWrongKindAreRefusedWhenBound) {
    for (const char* bad :
         {"Name + 1 > 0", "UPPER(A) = 'X'", "YEAR(Name) = 1", "SUBSTRING(Name, 'x') = 'a'",
          "A + 1", "UPPER(Name)", "Flag * 2 = 2", "D * 2 > 0", "Name - 'a' = 'b'", "-Name = 'a'",
          "A + NULL = 1", "A + 1 LIKE '1%'", "A + '1' = 2"}) {
        ds.SetFilter("A = 1");
        ds.SetFiltered(true);
        ds.SetFilter("");
        ds.SetFiltered(false);
        try {
            ds.SetFilter(bad);
            ds.SetFiltered(true);
            ADD_FAILURE() << bad;
        } catch (const EDatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find("Invalid filter expression"), std::string::npos)
                << bad << ": " << e.what();
        }
        ds.SetFiltered(false);
    }
    // Unknown functions and wrong argument counts are caught as the text is read.
    for (const char* bad : {"FOO(Name) = 1", "SUBSTRING(Name) = 'a'", "GETDATE(1) > 0",
                            "UPPER(Name, Name) = 'A'", "UPPER(Name = 'A'", "A * = 1", "A + "}) {
        EXPECT_THROW(TFilterExpression::Parse(bad), EDatabaseError) << bad;
    }
}

TEST(FilterExpression, ParsesDeeplyNestedAndOddInputWithoutCrashing) {
    std::string deep(150, '(');
    deep += "A = 1";
    deep += std::string(150, ')');
    EXPECT_NO_THROW(TFilterExpression::Parse(deep));
    EXPECT_THROW(TFilterExpression::Parse(std::string(5000, '(')), EDatabaseError);
    EXPECT_THROW(TFilterExpression::Parse(std::string(5000, '-') + "A = 1"), EDatabaseError);
    EXPECT_THROW(TFilterExpression::Parse("A = " + std::string(5000, '-') + "A"), EDatabaseError);
    EXPECT_THROW(TFilterExpression::Parse(""), EDatabaseError);
    EXPECT_THROW(TFilterExpression::Parse("'unterminated"), EDatabaseError);
    auto e = TFilterExpression::Parse("[Unit Price] > 1 and Name like 'x' or not B in (1)");
    EXPECT_EQ(e->FieldNames(), (std::vector<std::string>{"Unit Price", "Name", "B"}));
}

}  // namespace
