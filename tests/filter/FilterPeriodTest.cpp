// The period list: which entries a field type and a period set show, the captions of the
// generated items, and the exact range each period gives on the virtual clock.
#include <map>
#include <set>
#include <string>

#include "platform/rtl/DateTime.h"
#include "tests/filter/FilterTestUtil.h"

using namespace vel;
using enum vel::TVelDBGridFilterClause;
using enum vel::TVelDBGridFilterPeriod;

namespace veltest {
namespace {

class FilterPeriodTest : public FilterFormTest {
protected:
    FilterPeriodTest() { FormatSettings() = TFormatSettings::Create("en-GB"); }
    void At(int y, int m, int d, int h, int n, int s = 0) {
        FClock->SetNow(EncodeDateTime(y, m, d, h, n, s, 0));
    }
    std::set<int> Ids(const std::string& FieldName) {
        std::set<int> ids;
        for (const auto& item : FormOn(FieldName).LoadPeriodData()) ids.insert(item.ID);
        return ids;
    }
    // The two conditions a period gives, composed.
    std::string Period(const std::string& FieldName, int Id) {
        TVelDBGridFilterForm f = FormOn(FieldName);
        f.PeriodText = std::to_string(Id);
        f.SavePeriodData();
        return f.ComposeFilterText();
    }
};

TEST(FilterPeriodTableTest, TableOrderParentsAndOthers) {
    const auto& t = FilterPeriodTable();
    ASSERT_EQ(t.size(), 172u);
    EXPECT_EQ(t[0].ID, 0);
    EXPECT_EQ(*t[0].Caption, "Select period");
    EXPECT_EQ(t[2].ID, 11);
    EXPECT_EQ(t[3].ID, 111);
    EXPECT_EQ(t.back().ID, 9611);
    std::set<int> seen;
    int others = 0;
    for (const auto& e : t) {
        EXPECT_TRUE(seen.insert(e.ID).second) << e.ID;
        // A parent always comes before its children.
        if (e.ParentID >= 0) {
            EXPECT_TRUE(seen.count(e.ParentID)) << e.ID;
        }
        if (e.Others) {
            ++others;
            const std::string c = *e.Caption;
            EXPECT_TRUE(c.rfind("From start of this", 0) == 0 || c.rfind("To the end of this", 0) == 0)
                << c;
        }
    }
    EXPECT_EQ(others, 24);
    const auto* hours = FindFilterPeriod(2605);
    ASSERT_TRUE(hours);
    EXPECT_EQ(hours->ParentID, 26);
    EXPECT_EQ(hours->Period, fpHours);
    EXPECT_EQ(hours->Caption, nullptr);
}

TEST_F(FilterPeriodTest, OthersAreListedOnlyWithFpOthers) {
    auto captions = [&] {
        std::set<std::string> s;
        for (const auto& item : FormOn("Stamp").LoadPeriodData()) s.insert(item.Caption);
        return s;
    };
    auto isOther = [](const std::string& c) {
        return c.rfind("From start of this", 0) == 0 || c.rfind("To the end of this", 0) == 0;
    };
    EXPECT_EQ(Grid->GetFilterGrid()->GetPeriods(), TVelDBGridFilter::DefaultPeriods());
    int n = 0;
    for (const auto& c : captions()) n += isOther(c);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(Ids("Stamp").size(), 172u - 24u);
    Grid->GetFilterGrid()->SwitchPeriods({fpOthers}, true);
    for (const auto& c : captions()) n += isOther(c);
    EXPECT_EQ(n, 24);
    EXPECT_EQ(Ids("Stamp").size(), 172u);
    // A group left out takes its list and its entries with it.
    Grid->GetFilterGrid()->SwitchPeriods({fpMinute, fpMonths}, false);
    const auto ids = Ids("Stamp");
    for (int gone : {1, 11, 115, 145, 56, 5601, 5612}) EXPECT_FALSE(ids.count(gone)) << gone;
    for (int kept : {2, 21, 5, 51, 55}) EXPECT_TRUE(ids.count(kept)) << kept;
}

TEST_F(FilterPeriodTest, FieldTypesChooseTheGroups) {
    const auto date = Ids("Day");
    for (int id : date) {
        const auto* e = FindFilterPeriod(id);
        EXPECT_TRUE(e->Kind == 0 || e->Kind == 1) << id;
    }
    EXPECT_TRUE(date.count(0));
    EXPECT_TRUE(date.count(4) && date.count(9611));
    EXPECT_FALSE(date.count(3) || date.count(1) || date.count(2));
    const auto time = Ids("At");
    for (int id : time) {
        const auto* e = FindFilterPeriod(id);
        EXPECT_TRUE(e->Kind == 0 || e->Kind == 2) << id;
    }
    EXPECT_TRUE(time.count(1) && time.count(2623));
    EXPECT_FALSE(time.count(3) || time.count(4));
    const auto stamp = Ids("Stamp");
    for (int id : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}) EXPECT_TRUE(stamp.count(id)) << id;
}

TEST_F(FilterPeriodTest, GeneratedCaptionsFollowTheClockAndLocale) {
    At(2026, 5, 13, 14, 37);  // a Wednesday
    std::map<int, std::string> c;
    for (const auto& item : FormOn("Stamp").LoadPeriodData()) c[item.ID] = item.Caption;
    EXPECT_EQ(c[2600], "00:00");
    EXPECT_EQ(c[2623], "23:00");
    EXPECT_EQ(c[3601], "06/05/2026");
    EXPECT_EQ(c[3608], "13/05/2026");
    EXPECT_EQ(c[3615], "20/05/2026");
    EXPECT_EQ(c[4606], "11/05/2026 \u00F7 17");
    EXPECT_EQ(c[4601], "06/04/2026 \u00F7 12");
    EXPECT_EQ(c[5601], "January");
    EXPECT_EQ(c[8601], "2021");
    EXPECT_EQ(c[8611], "2031");
    EXPECT_EQ(c[9601], "1970 \u00F7 1979");
    EXPECT_EQ(c[9606], "2020 \u00F7 2029");
    EXPECT_EQ(c[33], "Today");
    // Month names are capitalised whatever the locale writes.
    FormatSettings().LongMonthNames[1] = "février";
    for (const auto& item : FormOn("Stamp").LoadPeriodData())
        if (item.ID == 5602) {
            EXPECT_EQ(item.Caption, "Février");
        }
}

TEST_F(FilterPeriodTest, HoursAroundMidnightOnATimeField) {
    At(2026, 5, 13, 23, 30);
    EXPECT_EQ(Period("At", 25), "At >= '00:00' AND At < '01:00'");
    // This hour ends at midnight: only the start condition is kept.
    EXPECT_EQ(Period("At", 23), "At >= '23:00'");
    EXPECT_EQ(Period("At", 21), "At >= '22:00' AND At < '23:00'");
    EXPECT_EQ(Period("At", 2623), "At >= '23:00'");
    EXPECT_EQ(Period("At", 2600), "At >= '00:00' AND At < '01:00'");
    // The same hour on a date-time field keeps both, the end on the next day.
    EXPECT_EQ(Period("Stamp", 23), "Stamp >= '13/05/2026 23:00' AND Stamp < '14/05/2026 00:00'");
}

TEST_F(FilterPeriodTest, MinuteBlocksHoursAndDays) {
    At(2026, 5, 13, 14, 37, 42);  // seconds are dropped
    EXPECT_EQ(Period("At", 111), "At >= '14:20' AND At < '14:30'");
    EXPECT_EQ(Period("At", 112), "At >= '14:30' AND At < '14:38'");
    EXPECT_EQ(Period("At", 123), "At >= '14:30' AND At < '14:45'");
    EXPECT_EQ(Period("At", 134), "At >= '14:37' AND At < '14:40'");
    EXPECT_EQ(Period("At", 145), "At >= '15:00' AND At < '15:30'");
    EXPECT_EQ(Period("At", 22), "At >= '14:00' AND At < '14:38'");
    EXPECT_EQ(Period("At", 24), "At >= '14:37' AND At < '15:00'");
    EXPECT_EQ(Period("Stamp", 31), "Stamp >= '12/05/2026' AND Stamp < '13/05/2026'");
    EXPECT_EQ(Period("Stamp", 32), "Stamp >= '13/05/2026' AND Stamp < '13/05/2026 14:38'");
    EXPECT_EQ(Period("Stamp", 34), "Stamp >= '13/05/2026 14:37' AND Stamp < '14/05/2026'");
    EXPECT_EQ(Period("Stamp", 35), "Stamp >= '14/05/2026' AND Stamp < '15/05/2026'");
    EXPECT_EQ(Period("Stamp", 3601), "Stamp >= '06/05/2026' AND Stamp < '07/05/2026'");
}

TEST_F(FilterPeriodTest, WeeksToDecadesOnADateField) {
    At(2026, 5, 13, 14, 37);
    auto range = [&](int id) { return Period("Day", id); };
    EXPECT_EQ(range(41), "Day >= '04/05/2026' AND Day < '11/05/2026'");
    EXPECT_EQ(range(42), "Day >= '11/05/2026' AND Day < '14/05/2026'");
    EXPECT_EQ(range(43), "Day >= '11/05/2026' AND Day < '18/05/2026'");
    EXPECT_EQ(range(44), "Day >= '13/05/2026' AND Day < '18/05/2026'");
    EXPECT_EQ(range(45), "Day >= '18/05/2026' AND Day < '25/05/2026'");
    EXPECT_EQ(range(4601), "Day >= '06/04/2026' AND Day < '13/04/2026'");
    EXPECT_EQ(range(51), "Day >= '01/04/2026' AND Day < '01/05/2026'");
    EXPECT_EQ(range(53), "Day >= '01/05/2026' AND Day < '01/06/2026'");
    EXPECT_EQ(range(54), "Day >= '13/05/2026' AND Day < '01/06/2026'");
    EXPECT_EQ(range(55), "Day >= '01/06/2026' AND Day < '01/07/2026'");
    EXPECT_EQ(range(5602), "Day >= '01/02/2026' AND Day < '01/03/2026'");
    EXPECT_EQ(range(61), "Day >= '01/01/2026' AND Day < '01/04/2026'");
    EXPECT_EQ(range(65), "Day >= '01/07/2026' AND Day < '01/10/2026'");
    EXPECT_EQ(range(664), "Day >= '01/10/2026' AND Day < '01/01/2027'");
    EXPECT_EQ(range(71), "Day >= '01/07/2025' AND Day < '01/01/2026'");
    EXPECT_EQ(range(75), "Day >= '01/07/2026' AND Day < '01/01/2027'");
    EXPECT_EQ(range(762), "Day >= '01/07/2026' AND Day < '01/01/2027'");
    EXPECT_EQ(range(81), "Day >= '01/01/2025' AND Day < '01/01/2026'");
    EXPECT_EQ(range(85), "Day >= '01/01/2027' AND Day < '01/01/2028'");
    EXPECT_EQ(range(8601), "Day >= '01/01/2021' AND Day < '01/01/2022'");
    EXPECT_EQ(range(91), "Day >= '01/01/2010' AND Day < '01/01/2020'");
    EXPECT_EQ(range(93), "Day >= '01/01/2020' AND Day < '01/01/2030'");
    EXPECT_EQ(range(95), "Day >= '01/01/2030' AND Day < '01/01/2040'");
    EXPECT_EQ(range(9611), "Day >= '01/01/2070' AND Day < '01/01/2080'");
}

TEST_F(FilterPeriodTest, YearEndsAndHeadersRemoveTheConditions) {
    At(2026, 12, 31, 23, 59);
    EXPECT_EQ(Period("Day", 35), "Day >= '01/01/2027' AND Day < '02/01/2027'");
    EXPECT_EQ(Period("Day", 55), "Day >= '01/01/2027' AND Day < '01/02/2027'");
    EXPECT_EQ(Period("Day", 45), "Day >= '04/01/2027' AND Day < '11/01/2027'");
    EXPECT_EQ(Period("At", 115), "At >= '00:00' AND At < '00:10'");
    for (const char* header : {"0", "5", "56", "66", "x", "12345"}) {
        TVelDBGridFilterForm f = FormOn("Day");
        f.PeriodText = header;
        f.SavePeriodData();
        EXPECT_EQ(f.ComposeFilterText(), "") << header;
    }
}

TEST_F(FilterPeriodTest, APeriodFiltersTheDataset) {
    At(2026, 5, 13, 9, 0);
    Table->First();
    for (int i = 0; !Table->GetEOF(); ++i, Table->Next()) {
        Table->Edit();
        Table->FieldByName("Day")->SetAsDateTime(EncodeDate(2026, 4, 20) + 7 * i);
        Table->Post();
    }
    // 20/4, 27/4, 4/5, 11/5, 18/5, 25/5: this month holds four of them.
    TVelDBGridFilterForm f = FormOn("Day");
    f.PeriodText = "53";
    f.SavePeriodData();
    f.SaveFilterForm();
    EXPECT_EQ(Table->GetFilter(), "Day >= '01/05/2026' AND Day < '01/06/2026'");
    EXPECT_EQ(Count(), 4);
}

}  // namespace
}  // namespace veltest
