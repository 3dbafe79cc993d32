#include <gtest/gtest.h>

#include "grid/GridTreeView.h"

namespace vel {
namespace {

TEST(TreeViewSettings, FieldNamesReadAsDefaultsAndAreStoredOnlyWhenOther) {
    TVelDBGridTreeView tree;
    EXPECT_EQ(tree.GetRowLevelFieldName(), "RowLevel");
    EXPECT_FALSE(tree.IsRowLevelFieldNameStored());
    tree.SetRowLevelFieldName("ROWLEVEL");
    EXPECT_FALSE(tree.IsRowLevelFieldNameStored()) << "the default in other case";
    tree.SetRowStateFieldName("Flags");
    EXPECT_TRUE(tree.IsRowStateFieldNameStored());
    EXPECT_EQ(tree.GetRowStateFieldName(), "Flags");
    tree.SetRowStateFieldName("");
    EXPECT_EQ(tree.GetRowStateFieldName(), "RowState");
}

TEST(TreeViewSettings, SizesLevelsAndFieldLists) {
    TVelDBGridTreeView tree;
    tree.SetRowOrderFieldSize(0);
    EXPECT_EQ(tree.GetRowOrderFieldSize(), 80);
    tree.SetRowOrderFieldSize(1);
    EXPECT_EQ(tree.GetRowOrderFieldSize(), 20);
    tree.SetRowOrderFieldSize(19);
    EXPECT_EQ(tree.GetRowOrderFieldSize(), 20);
    EXPECT_TRUE(tree.IsRowOrderFieldSizeStored());
    tree.SetRowOrderFieldSize(-3);
    EXPECT_FALSE(tree.IsRowOrderFieldSizeStored());
    tree.SetOpenToLevel(-7);
    EXPECT_EQ(tree.GetOpenToLevel(), -1);
    tree.SetOpenToLevel(2);
    EXPECT_EQ(tree.GetOpenToLevel(), 2);
    tree.SetParentFields("ParentID,Kind");
    EXPECT_EQ(tree.GetParentFields(), "ParentID;Kind");
    tree.SetColumnNames("Name,Code;Title");
    EXPECT_EQ(tree.GetColumnNames(), "Name;Code;Title");
}

}  // namespace
}  // namespace vel
