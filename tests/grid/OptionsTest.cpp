#include <gtest/gtest.h>

#include "grid/VelDBGrids.h"
#include "platform/classes/PropAccess.h"

namespace vel {
namespace {

TEST(GridOptions, DefaultMasksAreTheStoredNumbers) {
    EXPECT_EQ(DefaultVelDBGridOptions().ToMask(), 169864445u);
    EXPECT_EQ(DefaultVelDBGridOptionsEx().ToMask(), 74949568u);
    EXPECT_EQ(DefaultVelDBGridOptionsExt().ToMask(), 24696u);
    EXPECT_EQ(DefaultVelHintOptions().ToMask(), 4119u);
    EXPECT_EQ(DefaultSystemStyleElements().ToMask(), 31u);
    EXPECT_EQ(DefaultVelResizeOptions().ToMask(), 15u);
    EXPECT_EQ(DefaultMultiSelectOptions().ToMask(), 2u);
    EXPECT_EQ(DefaultGridDrawingOptions().ToMask(), 127u);
}

// Names are what a form stores: the table must list every value, in bit order.
TEST(GridOptions, ValueNamesFollowBitOrder) {
    const TEnumInfo* opt = EnumTypeInfo(static_cast<TVelDBGridOption*>(nullptr));
    ASSERT_EQ(opt->Names.size(), 32u);
    EXPECT_EQ(opt->GetName(8), "dgRowSelect");
    EXPECT_EQ(opt->GetName(31), "dgRightMoving");
    const TEnumInfo* ex = EnumTypeInfo(static_cast<TVelDBGridOptionEx*>(nullptr));
    ASSERT_EQ(ex->Names.size(), 29u);
    EXPECT_EQ(ex->GetValue("dgSelectedAutoHidden"), 26);
    const TEnumInfo* ext = EnumTypeInfo(static_cast<TVelDBGridOptionExt*>(nullptr));
    ASSERT_EQ(ext->Names.size(), 18u);
    EXPECT_EQ(ext->GetName(17), "dgIncrementalList");
    EXPECT_EQ(EnumTypeInfo(static_cast<TGridDrawingOption*>(nullptr))->Names.size(), 9u);
    EXPECT_EQ(EnumTypeInfo(static_cast<TVelHintOption*>(nullptr))->Names.size(), 13u);
    EXPECT_EQ(EnumTypeInfo(static_cast<TSystemStyleElement*>(nullptr))->GetName(7), "sseSearch");
    EXPECT_EQ(EnumTypeInfo(static_cast<TMultiSelection*>(nullptr))->GetName(4), "msFixed");

    EXPECT_EQ(SetToString(ext, DefaultVelDBGridOptionsExt().ToMask(), true),
              "[dgAutoUpdateListItems, dgDelayUpdateListItems, dgGridStyleLists, "
              "dgMouseScrolling, dgForceSystemButton, dgForceSystemMarker]");
}

TEST(GridOptions, RowSelectDropsEditing) {
    using enum TVelDBGridOption;
    TVelDBGridOptions o = DefaultVelDBGridOptions() + dgAlwaysShowEditor + dgRowSelect;
    TVelDBGridOptions n = NormalizeOptions(o);
    EXPECT_FALSE(n.Contains(dgEditing));
    EXPECT_FALSE(n.Contains(dgAlwaysShowEditor));
    EXPECT_EQ(n, (o - TVelDBGridOptions{dgEditing, dgAlwaysShowEditor}));
    EXPECT_EQ(NormalizeOptions(DefaultVelDBGridOptions()), DefaultVelDBGridOptions());
}

TEST(GridOptions, TotalRowsForceBlankRowAndSelectedRowsDropCalcSelected) {
    using enum TVelDBGridOptionEx;
    const TVelDBGridOptionsEx base = DefaultVelDBGridOptionsEx();
    EXPECT_EQ(NormalizeOptionsEx(base), base);
    for (auto row : {dgTotalHeader, dgTotalValues, dgTotalFields, dgTotalFooter}) {
        TVelDBGridOptionsEx n = NormalizeOptionsEx(base + row);
        EXPECT_TRUE(n.Contains(dgBlankRow)) << static_cast<int>(row);
        EXPECT_TRUE(n.Contains(dgCalcSelectedRows));
    }
    for (auto sel : {dgTotalHeaderSelected, dgTotalValuesSelected, dgTotalFooterSelected}) {
        TVelDBGridOptionsEx n = NormalizeOptionsEx(base + sel);
        EXPECT_FALSE(n.Contains(dgCalcSelectedRows)) << static_cast<int>(sel);
        EXPECT_FALSE(n.Contains(dgBlankRow));
        EXPECT_EQ(n, base + sel - dgCalcSelectedRows);
    }
    // Column lines and boxes alone need no blank row.
    EXPECT_FALSE(NormalizeOptionsEx(base + dgTotalColLines).Contains(dgBlankRow));
}

TEST(GridOptions, ResizeWithoutColumnResizeDropsWidthOptions) {
    using enum TVelResizeOption;
    EXPECT_EQ(NormalizeResizeOptions({roOptimalWidth, roDefaultWidth, roColumnMoving}),
              TVelResizeOptions{roColumnMoving});
    EXPECT_EQ(NormalizeResizeOptions({roColumnResize, roOptimalWidth}),
              (TVelResizeOptions{roColumnResize, roOptimalWidth}));
}

TEST(GridOptions, ChangeGroupsAreSubsetsOfTheLayoutGroup) {
    // Every option that invalidates the editor or re-stretches also runs a layout.
    EXPECT_TRUE(EditorOptions() <= LayoutOptions());
    EXPECT_TRUE(StretchOptions() <= LayoutOptions());
    EXPECT_TRUE(BorderOptions() <= LayoutOptions());
    EXPECT_TRUE((MarkerOptions() * LayoutOptions()).Empty());
}

}  // namespace
}  // namespace vel
