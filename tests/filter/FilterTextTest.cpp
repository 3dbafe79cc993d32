// Composing a column filter: captions and templates, families, value normalisation and
// quoting, joining and reversal, and installing the text with the previous one kept on error.
#include <string>

#include "platform/db/sqlite/ADODB.h"
#include "platform/db/sqlite/SQLDataSets.h"
#include "tests/filter/FilterTestUtil.h"
#include "tests/support/TempDir.h"

using namespace vel;
using enum vel::TVelDBGridFilterClause;

namespace veltest {
namespace {

TEST(FilterConstsTest, TemplatesAreAssignableAndFamiliesFollowTheExactClassName) {
    EXPECT_EQ(FilterCaption(fcIsGreaterThenOrEqual), "is greater then or equal");
    EXPECT_EQ(FilterFormat(fcDoesNotEndWith), "NOT %0:s LIKE '%2:s%1:s'");
    EXPECT_EQ(FilterFormat(static_cast<TVelDBGridFilterClause>(17)), "");
    const std::string saved = SFilterCaption7;
    SFilterCaption7 = "ist gleich";
    EXPECT_EQ(FilterCaption(fcIsEqual), "ist gleich");
    SFilterCaption7 = saved;

    EXPECT_EQ(FilterFamilyOf("TADOQuery"), TFilterFamily::ffADO);
    EXPECT_EQ(FilterFamilyOf("TQuery"), TFilterFamily::ffBDE);
    EXPECT_EQ(FilterFamilyOf("TTable"), TFilterFamily::ffBDE);
    EXPECT_EQ(FilterFamilyOf("TClientDataSet"), TFilterFamily::ffCDS);
    EXPECT_EQ(FilterFamilyOf("TFDMemTable"), TFilterFamily::ffFDX);
    // Ancestors do not count, and a name outside every list is "other".
    EXPECT_EQ(FilterFamilyOf("TCustomADODataSet"), TFilterFamily::ffOther);
    EXPECT_EQ(FilterFamilyOf("TSQLiteDataSet"), TFilterFamily::ffOther);
    EXPECT_EQ(FilterFamilyOf(""), TFilterFamily::ffOther);
}

TEST_F(FilterFormTest, OneConditionPerClauseWithBracketedNames) {
    EXPECT_EQ(One("Name", fcContains, "ab"), "Name LIKE '%ab%'");
    EXPECT_EQ(One("Name", fcDoesNotContain, "ab"), "NOT Name LIKE '%ab%'");
    EXPECT_EQ(One("Name", fcStartsFrom, "ab"), "Name LIKE 'ab%'");
    EXPECT_EQ(One("Name", fcEndsWith, "ab"), "Name LIKE '%ab'");
    EXPECT_EQ(One("Name", fcIsEqual, " ab "), "Name = 'ab'");
    EXPECT_EQ(One("Name", fcIsEmpty, "ignored"), "Name IS NULL");
    EXPECT_EQ(One("Name", fcIsNotEmpty, ""), "Name IS NOT NULL");
    EXPECT_EQ(One("Unit Price", fcIsGreaterThen, "2.5"), "[Unit Price] > 2.5");
    EXPECT_EQ(One("Unit Price", fcContains, "ab"), "[Unit Price] LIKE '%ab%'");
    EXPECT_EQ(One("ID", fcIsLessThenOrEqual, "3"), "ID <= 3");
    // A clause without a value is dropped; a quote is not doubled; wildcards stay wildcards.
    EXPECT_EQ(One("Name", fcIsEqual, "   "), "");
    EXPECT_EQ(One("Name", fcIsEqual, "it's"), "Name = 'it's'");
    EXPECT_EQ(One("Name", fcContains, "a_%"), "Name LIKE '%a_%%'");
}

TEST_F(FilterFormTest, ListsAreNormalisedByFieldType) {
    EXPECT_EQ(One("Name", fcIsOnTheList, "a, b ,c"), "Name IN ('a','b','c')");
    EXPECT_EQ(One("Name", fcIsNotOnTheList, "a ,  b"), "NOT Name IN ('a','b')");
    EXPECT_EQ(One("ID", fcIsOnTheList, "1, 2"), "ID IN (1,2)");
    // The column's delimiter applies to text fields only.
    TVelDBGridFilterForm f = FormOn("Name");
    f.GetColumn()->SetDelimiterChar(U';');
    f.SetClause1(fcIsOnTheList);
    f.Value1 = "a; b;c,d";
    EXPECT_EQ(f.ComposeFilterText(), "Name IN ('a','b','c,d')");
    TVelDBGridFilterForm g = FormOn("ID");
    g.GetColumn()->SetDelimiterChar(U';');
    EXPECT_EQ(g.GetDelimiterChar(), U',');
}

TEST_F(FilterFormTest, DecimalListsWithACommaLocaleKeepItemsApart) {
    TFormatSettingsScope comma(TFormatSettings::Create("de-DE"));
    ASSERT_EQ(FormatSettings().DecimalSeparator, ',');
    TVelDBGridFilterForm f = FormOn("Unit Price");
    EXPECT_EQ(f.GetDelimiterChar(), U' ');
    EXPECT_EQ(f.GetDecimalSeparator(), ',');  // client dataset: the locale's
    std::string v = "1,5 2,5";
    f.CheckFilterText(fcIsOnTheList, v);
    EXPECT_EQ(v, "1,5, 2,5");
    v = "1,5 ,  2,5";  // stray commas and blanks between the items collapse
    f.CheckFilterText(fcIsOnTheList, v);
    EXPECT_EQ(v, "1,5, 2,5");
    v = "1,5";
    f.CheckFilterText(fcIsGreaterThen, v);
    EXPECT_EQ(v, "1,5");
    // The dataset reads what it was given.
    f.SetClause1(fcIsOnTheList);
    f.Value1 = "1,5 3";
    f.SaveFilterForm();
    EXPECT_EQ(Table->GetFilter(), "[Unit Price] IN (1,5, 3)");
    EXPECT_EQ(Count(), 2);
}

TEST_F(FilterFormTest, DecimalSeparatorFollowsTheFamilyThenTheGridProperty) {
    TFormatSettingsScope comma(TFormatSettings::Create("de-DE"));
    TVelDBGridFilterForm f = FormOn("Unit Price");
    auto other = MakeTable(std::make_unique<TMemDataSet>());  // a class outside every family
    auto fdx = MakeTable(std::make_unique<TFDMemTable>());
    Source->SetDataSet(other.get());
    EXPECT_EQ(f.GetFamily(), TFilterFamily::ffOther);
    EXPECT_EQ(f.GetDecimalSeparator(), '.');
    Grid->GetFilterGrid()->SetDecimalSeparator(true);
    EXPECT_EQ(f.GetDecimalSeparator(), ',');
    std::string v = "1,5 2,5";
    f.CheckFilterText(fcIsNotOnTheList, v);
    EXPECT_EQ(v, "1,5, 2,5");
    // The family goes first: FireDAC keeps "." whatever the property says.
    Source->SetDataSet(fdx.get());
    EXPECT_EQ(f.GetDecimalSeparator(), '.');
    v = "1,5 2,5";
    f.CheckFilterText(fcIsNotOnTheList, v);
    EXPECT_EQ(v, "1.5,2.5");
    f.SetClause1(fcIsOnTheList);
    f.Value1 = "1,5 ,3";
    f.SaveFilterForm();
    EXPECT_EQ(fdx->GetFilter(), "[Unit Price] IN (1.5,3)");
    Source->SetDataSet(Table.get());
}

TEST_F(FilterFormTest, JoinAndReverse) {
    TVelDBGridFilterForm f = FormOn("ID");
    f.SetClause1(fcIsGreaterThen);
    f.Value1 = "1";
    f.SetClause2(fcIsLessThen);
    f.Value2 = "0";
    f.AndSelected = false;
    f.Reverse = true;
    EXPECT_EQ(f.ComposeFilterText(), "NOT (ID > 1 OR ID < 0)");
    f.AndSelected = true;
    f.Reverse = false;
    EXPECT_EQ(f.ComposeFilterText(), "ID > 1 AND ID < 0");
    // A second condition alone stands alone; no condition gives no text even when reversed.
    f.Value1 = "";
    EXPECT_EQ(f.ComposeFilterText(), "ID < 0");
    f.Value2 = "";
    f.Reverse = true;
    EXPECT_EQ(f.ComposeFilterText(), "");
    // Key texts that are not numbers are no clause.
    f.Clause1 = "x";
    f.Value1 = "3";
    EXPECT_EQ(f.ComposeFilterText(), "");
}

TEST_F(FilterFormTest, SavingInstallsTheTextAndEmptyRemovesIt) {
    TVelDBGridFilterForm f = FormOn("Name");
    f.GetColumn()->GetFilterList()->Add("ab");
    f.SetClause1(fcContains);
    f.Value1 = "ab";
    f.SetClause2(fcIsNotEqual);
    f.Value2 = "abc";
    f.SaveFilterForm();
    EXPECT_EQ(f.GetColumn()->GetFilterText(), "Name LIKE '%ab%' AND Name <> 'abc'");
    EXPECT_EQ(f.GetColumn()->GetFilterList()->Count(), 0);
    EXPECT_TRUE(Table->GetFiltered());
    EXPECT_EQ(Count(), 2);  // ab, xaby
    f.Value1 = f.Value2 = "";
    f.SaveFilterForm();
    EXPECT_EQ(f.GetColumn()->GetFilterText(), "");
    EXPECT_FALSE(Table->GetFiltered());
    EXPECT_EQ(Count(), 6);
}

TEST_F(FilterFormTest, ARejectedTextKeepsThePreviousFilter) {
    TVelDBGridFilterForm f = FormOn("Name");
    f.SetClause1(fcStartsFrom);
    f.Value1 = "a";
    f.SaveFilterForm();
    const std::string good = f.GetColumn()->GetFilterText();
    ASSERT_EQ(Count(), 2);
    // An unbalanced quote, then a number the integer field cannot take.
    for (const char* bad : {"x'y", "ab'); DROP TABLE t; --"}) {
        f.SetClause1(fcIsEqual);
        f.Value1 = bad;
        try {
            f.SaveFilterForm();
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Invalid filter expression: Name = '" + std::string(bad) + "'");
        }
        EXPECT_EQ(f.GetColumn()->GetFilterText(), good);
        EXPECT_EQ(Table->GetFilter(), good);
        EXPECT_TRUE(Table->GetFiltered());
        EXPECT_EQ(Count(), 2);
    }
    TVelDBGridFilterForm n = FormOn("ID");
    n.SetClause1(fcIsEqual);
    n.Value1 = "abc";
    EXPECT_THROW(n.SaveFilterForm(), EDatabaseError);
    EXPECT_EQ(Table->GetFilter(), good);
    EXPECT_EQ(n.GetColumn()->GetFilterText(), "");
}

TEST_F(FilterFormTest, AMissingKeyFieldRaisesTheDatasetsError) {
    TVelDBGridFilterForm f = FormOn("Name");
    f.GetColumn()->SetKeyField("Nope");
    try {
        f.GetFilterField();
        ADD_FAILURE();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("Field 'Nope' not found"), std::string::npos);
    }
}

// The ADO and BDE families over one SQL table.
class SqlFamilyTest : public FilterFormTest {
protected:
    void SetUp() override {
        Conn = std::make_unique<TADOConnection>();
        Conn->SetFileName(Dir.File("f.db"));
        Conn->SetCreateIfMissing(true);
        Conn->ExecSQL(
            "CREATE TABLE t (ID INTEGER, Name VARCHAR(30), Price DOUBLE);"
            "INSERT INTO t VALUES (1, 'ab', 1.5); INSERT INTO t VALUES (2, NULL, 2.5);"
            "INSERT INTO t VALUES (3, 'c', 3.5);");
    }
    template <class T>
    T* Open() {
        auto* q = new T(Form.get());
        q->SetConnection(Conn.get());
        q->GetSQL()->SetText("SELECT * FROM t");
        q->Open();
        Source->SetDataSet(q);
        return q;
    }
    TempDir Dir;
    std::unique_ptr<TADOConnection> Conn;
};

TEST_F(SqlFamilyTest, AdoTestsForNullWithEqualsAndTakesPointDecimals) {
    TFormatSettingsScope comma(TFormatSettings::Create("de-DE"));
    TADOQuery* q = Open<TADOQuery>();
    TVelDBGridFilterForm f = FormOn("Name");
    EXPECT_FALSE(f.GetReverseAllowed());
    EXPECT_FALSE(f.GetFilterClauses().Contains(fcEndsWith));
    EXPECT_FALSE(f.GetFilterClauses().Contains(fcIsOnTheList));
    EXPECT_TRUE(f.GetFilterClauses().Contains(fcContains));
    f.SetClause1(fcIsEmpty);
    f.Reverse = true;  // hidden, so without effect
    f.SaveFilterForm();
    EXPECT_EQ(q->GetFilter(), "Name = NULL");
    EXPECT_EQ(q->FieldByName("ID")->GetAsInteger(), 2);
    EXPECT_EQ(q->GetRecordCount(), 1);
    f.SetClause1(fcIsNotEmpty);
    f.SaveFilterForm();
    EXPECT_EQ(q->GetFilter(), "Name <> NULL");

    TVelDBGridFilterForm p = FormOn("Price");
    EXPECT_EQ(p.GetDecimalSeparator(), '.');
    std::string v = "1,5 2,5";
    p.CheckFilterText(fcIsOnTheList, v);
    EXPECT_EQ(v, "1.5,2.5");
    p.SetClause1(fcIsLessThen);
    p.Value1 = "2,6";
    p.SaveFilterForm();
    EXPECT_EQ(q->GetFilter(), "Price < 2.6");
    Source->SetDataSet(nullptr);
}

TEST_F(SqlFamilyTest, BdeLosesTheLikeAndListClauses) {
    TQuery* q = Open<TQuery>();
    TVelDBGridFilterForm f = FormOn("Name");
    EXPECT_TRUE(f.GetReverseAllowed());
    const TVelDBGridFilterClauses c = f.GetFilterClauses();
    for (auto gone : {fcContains, fcDoesNotContain, fcStartsFrom, fcDoesNotStartFrom, fcEndsWith,
                      fcDoesNotEndWith, fcIsOnTheList, fcIsNotOnTheList})
        EXPECT_FALSE(c.Contains(gone));
    EXPECT_TRUE(c.Contains(fcIsEqual));
    f.SetClause1(fcIsEmpty);
    f.SaveFilterForm();
    EXPECT_EQ(q->GetFilter(), "Name IS NULL");
    EXPECT_EQ(q->FieldByName("ID")->GetAsInteger(), 2);
    Source->SetDataSet(nullptr);
}

}  // namespace
}  // namespace veltest
