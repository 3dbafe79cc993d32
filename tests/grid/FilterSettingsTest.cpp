#include <gtest/gtest.h>

#include "grid/GridFilter.h"

namespace vel {
namespace {

TEST(FilterSettings, ClausesAndPeriodsAlwaysOfferTheirNoneValue) {
    TVelDBGridFilter filter;
    EXPECT_EQ(filter.GetClauses().Count(), 17);
    EXPECT_FALSE(filter.GetPeriods().Contains(TVelDBGridFilterPeriod::fpOthers));
    EXPECT_EQ(filter.GetPeriods().Count(), 23);
    filter.SetClauses({TVelDBGridFilterClause::fcIsEqual});
    EXPECT_EQ(filter.GetClauses(), (TVelDBGridFilterClauses{TVelDBGridFilterClause::fcNoFilter,
                                                            TVelDBGridFilterClause::fcIsEqual}));
    filter.SwitchPeriods(TVelDBGridFilter::DefaultPeriods(), false);
    EXPECT_EQ(filter.GetPeriods(), TVelDBGridFilterPeriods{TVelDBGridFilterPeriod::fpNoPeriod});
    filter.SetDropDownRows(-4);
    EXPECT_EQ(filter.GetDropDownRows(), 0);
    filter.SetDropDownWidth(-1);
    EXPECT_EQ(filter.GetDropDownWidth(), 0);
    EXPECT_FALSE(filter.GetVisible());
    filter.SetAutoFilter(true);
    EXPECT_TRUE(filter.GetVisible());
}

TEST(FilterSettings, ChangeBracketsApplyOnceAndNeverGoBelowZero) {
    TVelDBGridFilter filter;
    int applied = 0;
    filter.SetOnFilterChanged([&](TObject*) { ++applied; });
    filter.BeginFilterChange();
    filter.BeginFilterChange();
    filter.SetFiltered(false);
    filter.EndFilterChange();
    EXPECT_EQ(applied, 0);
    filter.EndFilterChange();
    EXPECT_EQ(applied, 1);
    filter.CancelFilterChange();
    filter.CancelFilterChange();
    EXPECT_EQ(filter.GetChangeLock(), 0);
    filter.BeginFilterChange();
    filter.CancelFilterChange();
    EXPECT_EQ(applied, 1) << "cancelling does not apply";
}

TEST(FilterSettings, JoinFilterPutsTheDataSetFilterFirst) {
    TVelDBGridFilter filter;
    EXPECT_EQ(filter.JoinFilter(true, "A > 1"), "A > 1");
    EXPECT_EQ(filter.JoinFilter(false, "A > 1"), "");
    filter.SetFilterText("(B = 2) AND (C = 3)");
    EXPECT_EQ(filter.JoinFilter(true, "A > 1"), "(A > 1) AND (B = 2) AND (C = 3)");
    EXPECT_EQ(filter.JoinFilter(true, ""), "(B = 2) AND (C = 3)");
    EXPECT_EQ(filter.JoinFilter(false, "A > 1"), "(B = 2) AND (C = 3)");
}

}  // namespace
}  // namespace vel
