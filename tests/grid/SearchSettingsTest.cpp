#include <gtest/gtest.h>

#include <vector>

#include "grid/GridSearch.h"

namespace vel {
namespace {

struct TSearchFixture : ::testing::Test {
    TVelDBGridSearch Search;
    std::vector<TSearchChange> Changes;
    void SetUp() override {
        Search.SetOnChange([this](TVelDBGridSearch*, TSearchChange c) { Changes.push_back(c); });
    }
};

TEST_F(TSearchFixture, VisibilityAndFilterFollowTextActiveAndOptions) {
    using enum TSearchChange;
    EXPECT_FALSE(Search.GetVisible());
    Search.SetActive(false);  // no text yet: nothing to redo
    EXPECT_TRUE(Changes.empty());
    Search.SetIncremental(true);
    Search.SetText("abc");
    EXPECT_TRUE(Search.GetVisible()) << "incremental also highlights";
    EXPECT_FALSE(Search.GetFilterActive());
    EXPECT_TRUE(Changes.empty()) << "inactive, no row filter";
    Search.SetActive(true);
    EXPECT_EQ(Changes, std::vector<TSearchChange>{scLayout});
    Changes.clear();

    Search.SwitchOptions({TVelSearchOption::soFilterRows}, true);
    EXPECT_TRUE(Search.GetFilterActive());
    EXPECT_EQ(Changes, (std::vector<TSearchChange>{scFilter, scRepaint}));
    Changes.clear();
    // With the row filter on, matching rules change the filtered rows.
    Search.SwitchOptions({TVelSearchOption::soWholeWords}, true);
    EXPECT_EQ(Changes, (std::vector<TSearchChange>{scFilter, scRepaint}));
    Changes.clear();
    Search.SwitchOptions({TVelSearchOption::soWrapAround}, true);
    EXPECT_EQ(Changes, std::vector<TSearchChange>{scRepaint});
    Changes.clear();
    Search.SetText("abd");
    EXPECT_EQ(Changes, (std::vector<TSearchChange>{scFilter, scRepaint}));
    Changes.clear();
    Search.SetText("abd");
    EXPECT_TRUE(Changes.empty());
    EXPECT_FALSE(Search.GetPanelOnTop(false));
    Search.SetPanelOnTop(true);
    EXPECT_TRUE(Search.GetPanelOnTop(false));
    EXPECT_FALSE(Search.GetPanelOnTop(true)) << "a custom style keeps the panel at the bottom";
}

TEST_F(TSearchFixture, ListWidthBoundsAndVisibleOptionsWithoutSkipMessage) {
    Search.SetListWidth(0);
    EXPECT_EQ(Search.GetListWidth(), 104);
    Search.SetListWidth(-5);
    EXPECT_EQ(Search.GetListWidth(), 104);
    Search.SetListWidth(20);
    EXPECT_EQ(Search.GetListWidth(), 80);
    Search.SetListWidth(300);
    EXPECT_EQ(Search.GetListWidth(), 300);
    Search.SwitchVisibleOptions({TVelSearchOption::soSkipMessage}, true);
    EXPECT_FALSE(Search.GetVisibleOptions().Contains(TVelSearchOption::soSkipMessage));
    EXPECT_EQ(Search.GetVisibleOptions(), TVelDBGridSearch::DefaultVisibleOptions());
    Search.SwitchVisibleOptions({TVelSearchOption::soFilterRows}, false);
    EXPECT_FALSE(Search.GetVisibleOptions().Contains(TVelSearchOption::soFilterRows));
}

TEST_F(TSearchFixture, PanelVisibilityIsNotActedOnWhileLoading) {
    TComponent grid(nullptr);
    TVelDBGridSearch search(&grid);
    int shown = 0;
    search.SetOnChange([&](TVelDBGridSearch*, TSearchChange c) {
        if (c == TSearchChange::scPanelVisible) ++shown;
    });
    search.SetPanelVisible(true);
    EXPECT_EQ(shown, 1);
    grid.SetComponentStateFlag(TComponentStateFlag::csLoading, true);
    search.SetPanelVisible(false);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(search.GetPanelVisible());
}

}  // namespace
}  // namespace vel
