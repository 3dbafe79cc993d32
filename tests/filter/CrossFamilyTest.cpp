// The texts composed for a client dataset, a BDE-style query and an ADO-style query over the
// same rows select the same records (or are refused by all of them alike).
#include <map>
#include <string>
#include <vector>

#include "platform/db/sqlite/ADODB.h"
#include "platform/db/sqlite/SQLDataSets.h"
#include "platform/rtl/SysUtils.h"
#include "tests/filter/FilterTestUtil.h"
#include "tests/support/TempDir.h"

using namespace vel;
using enum vel::TVelDBGridFilterClause;

namespace veltest {
namespace {

const char* const Names[] = {"ab", "abc", "xaby", "b", "c", "Ab", "a_b", "50%", nullptr, "b c"};

class CrossFamilyTest : public FilterFormTest {
protected:
    void SetUp() override {
        using enum TFieldType;
        auto cds = std::make_unique<TClientDataSet>();
        cds->GetFieldDefs().Add("ID", ftInteger);
        cds->GetFieldDefs().Add("Name", ftString, 30);
        cds->GetFieldDefs().Add("Price", ftFloat);
        cds->GetFieldDefs().Add("Day", ftDate);
        cds->CreateDataSet();
        Conn = std::make_unique<TADOConnection>();
        Conn->SetFileName(Dir.File("rows.db"));
        Conn->SetCreateIfMissing(true);
        std::string sql = "CREATE TABLE t (ID INTEGER, Name VARCHAR(30), Price DOUBLE, Day DATE);";
        for (int i = 0; i < 30; ++i) {
            const char* name = Names[i % 10];
            const bool noPrice = i % 7 == 3, noDay = i % 5 == 4;
            const double price = 0.5 * (i % 9);
            const TDateTime day = EncodeDate(2026, 5, 1) + i % 12;
            cds->Append();
            cds->FieldByName("ID")->SetAsInteger(i);
            if (name) cds->FieldByName("Name")->SetAsString(name);
            if (!noPrice) cds->FieldByName("Price")->SetAsFloat(price);
            if (!noDay) cds->FieldByName("Day")->SetAsDateTime(day);
            cds->Post();
            sql += "INSERT INTO t VALUES (" + std::to_string(i) + ", " +
                   (name ? "'" + StringReplace(name, "'", "''", {TReplaceFlag::rfReplaceAll}) + "'"
                         : std::string("NULL")) +
                   ", " + (noPrice ? std::string("NULL") : FloatToStr(price, TFormatSettings::Invariant())) +
                   ", " + (noDay ? std::string("NULL") : "'" + FormatDateTime("yyyy-MM-dd", day) + "'") +
                   ");";
        }
        Conn->ExecSQL(sql);
        Cds = std::move(cds);
        Bde = Open<TQuery>();
        Ado = Open<TADOQuery>();
    }
    void TearDown() override { Source->SetDataSet(Table.get()); }

    template <class T>
    T* Open() {
        auto* q = new T(Form.get());
        q->SetConnection(Conn.get());
        q->GetSQL()->SetText("SELECT * FROM t");
        q->Open();
        return q;
    }

    // The IDs the composed filter selects, or "refused"; empty when the family lacks the clause.
    std::string Select(TDataSet* ds, TVelColumn* column, TVelDBGridFilterClause clause,
                       const std::string& value, std::string& text) {
        Source->SetDataSet(ds);
        TVelDBGridFilterForm f(column);
        if (!f.GetFilterClauses().Contains(clause)) return {};
        f.SetClause1(clause);
        f.Value1 = value;
        try {
            f.SaveFilterForm();
        } catch (const EDatabaseError&) {
            text = f.ComposeFilterText();
            return "refused";
        }
        text = ds->GetFilter();
        std::string ids = "rows:";
        for (ds->First(); !ds->GetEOF(); ds->Next())
            ids += ds->FieldByName("ID")->GetAsString() + " ";
        // Leave the dataset unfiltered for the next condition.
        f.Value1.clear();
        f.SetClause1(fcNoFilter);
        f.SaveFilterForm();
        return ids;
    }

    TempDir Dir;
    std::unique_ptr<TADOConnection> Conn;
    std::unique_ptr<TClientDataSet> Cds;
    TQuery* Bde = nullptr;
    TADOQuery* Ado = nullptr;
};

TEST_F(CrossFamilyTest, EveryFamilySelectsTheSameRecords) {
    const std::map<std::string, std::vector<std::string>> values = {
        {"Name", {"ab", "b", "a_b", "%", "50%", "a, b ,c", "b c", "x'y", "AB", "b;--"}},
        {"ID", {"3", "0", "2, 5 ,7", "abc", "1.5", "-1"}},
        {"Price", {"1.5", "0", "2, 1.5 ,4", "x", "3.25"}},
        {"Day", {"5/3/2026", "5/12/2026", "5/1/2026, 5/9/2026", "13/13/2026", "5/3/2026'"}},
    };
    int compared = 0, agreedRefusals = 0;
    std::map<std::string, TVelColumn*> columns;
    for (const auto& [field, list] : values) {
        TVelColumn* c = Grid->GetColumns()->Add();
        c->SetFieldName(field);
        columns[field] = c;
    }
    for (const auto& [field, list] : values)
        for (const std::string& value : list)
            for (int c = 1; c <= 16; ++c) {
                const auto clause = static_cast<TVelDBGridFilterClause>(c);
                std::string t1, t2, t3;
                const std::string a = Select(Cds.get(), columns[field], clause, value, t1);
                const std::string b = Select(Bde, columns[field], clause, value, t2);
                const std::string d = Select(Ado, columns[field], clause, value, t3);
                const std::string ctx = field + " " + FilterCaption(clause) + " '" + value +
                                        "': " + t1 + " | " + t2 + " | " + t3;
                ASSERT_FALSE(a.empty()) << ctx;  // the client dataset offers every clause
                if (!b.empty()) {
                    EXPECT_EQ(a, b) << ctx;
                }
                if (!d.empty()) {
                    EXPECT_EQ(a, d) << ctx;
                }
                ++compared;
                if (a == "refused") ++agreedRefusals;
            }
    EXPECT_GE(compared, 400);
    // Most conditions filter; the refusals are the ones no family can read.
    EXPECT_LT(agreedRefusals, compared / 2);
}

}  // namespace
}  // namespace veltest
