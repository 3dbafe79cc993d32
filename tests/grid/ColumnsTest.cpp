// Columns on their own: defaults that follow the field or the grid, assignment, and the
// column list written as text and read back.
#include <string>

#include "platform/classes/Streaming.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/Exceptions.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

using ColumnsTest = DBGridTest;

TEST_F(ColumnsTest, ColumnListRoundTripsWithOnlyChangedValues) {
    TVelColumn* c = Grid->GetColumns()->Add();
    c->SetFieldName("Name");
    c->SetCheckBox(true);
    c->SetCheckBoxValues("Yes;No");
    c->SetListOptions(DefaultListOptions() + TVelListOption::loMultiSelectList);
    c->SetImageDraw(TImageDraw::idStretch);
    c->SetTransparentColor(clFuchsia);
    c->SetCharCase(TEditCharCase::ecUpperCase);
    c->GetPickList()->Add("a");
    c->GetPickList()->Add("b");
    c->GetTitle()->SetHeader("Group|Sub");
    c->GetTitle()->SetAutoFilters({TFilterStyle::fsFilterList});
    Grid->GetColumns()->Add()->SetFieldName("ID");
    const std::string text = CollectionToText(Grid->GetColumns());
    for (const char* expected :
         {"CheckBox = True", "CheckBoxValues = 'Yes;No'", "loMultiSelectList",
          "ImageDraw = idStretch", "TransparentColor = clFuchsia", "CharCase = ecUpperCase", "'a'",
          "'b'", "Title.Header = 'Group|Sub'", "Title.AutoFilters = [fsFilterList]"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    for (const char* absent : {"WordWrap", "VAlignment", "PickOptions", "CalendarDepth",
                               "Title.Button", "Title.ImageIndex", "PickText"})
        EXPECT_EQ(text.find(absent), std::string::npos) << absent << "\n" << text;

    auto* other = NewGrid("Other");
    ReadCollectionText(text, other->GetColumns(), Form.get());
    ASSERT_EQ(other->GetColumns()->Count(), 2);
    TVelColumn* r = other->GetColumns()->GetColumn(0);
    EXPECT_EQ(r->GetCheckBoxValues(), "Yes;No");
    EXPECT_EQ(r->GetImageDraw(), TImageDraw::idStretch);
    EXPECT_EQ(r->GetPickList()->Count(), 2);
    EXPECT_EQ(r->GetTitle()->GetHeader(), "Group|Sub");
    EXPECT_EQ(CollectionToText(other->GetColumns()), text);

    // Assign copies everything; RestoreDefaults returns it all.
    TVelColumn* copy = Grid->GetColumns()->Add();
    copy->Assign(r);
    EXPECT_EQ(copy->GetCheckBoxValues(), "Yes;No");
    EXPECT_EQ(copy->GetTransparentColor(), clFuchsia);
    EXPECT_TRUE(copy->GetListOptions().Contains(TVelListOption::loMultiSelectList));
    EXPECT_EQ(copy->GetTitle()->GetAutoFilters(), TFilterStyles{TFilterStyle::fsFilterList});
    copy->RestoreDefaults();
    EXPECT_FALSE(copy->GetCheckBox());
    EXPECT_EQ(copy->GetCheckBoxValues(), TVelColumn::DefaultCheckBoxValues());
    EXPECT_EQ(copy->GetTitle()->GetHeader(), "");
    EXPECT_EQ(copy->GetListOptions().ToMask(), 24637u);
    EXPECT_EQ(copy->GetPickOptions().ToMask(), 20u);
}

TEST_F(ColumnsTest, WidthLimitsAndIgnoredValues) {
    TVelColumn* c = Grid->GetColumns()->Add();
    EXPECT_THROW(c->SetExpandCols(-2), EInvalidArgument);
    // A width below zero (what a hidden column reads) changes nothing.
    c->SetWidth(80);
    c->SetWidth(-1);
    EXPECT_EQ(c->GetWidth(), 80);
    // Limits clamp the width, now and later; a limit below -1 is ignored.
    c->SetWidthMax(50);
    EXPECT_EQ(c->GetWidth(), 50);
    c->SetWidth(200);
    EXPECT_EQ(c->GetWidth(), 50);
    c->SetWidthMax(-5);
    EXPECT_EQ(c->GetWidthMax(), 50);
    c->SetWidthMax(-1);
    c->SetWidthMin(60);
    EXPECT_EQ(c->GetWidth(), 60);
    // A maximum below the minimum becomes the minimum, and the other way round.
    c->SetWidthMin(50);
    c->SetWidthMax(40);
    EXPECT_EQ(c->GetWidthMax(), 50);
    c->SetWidthMax(70);
    c->SetWidthMin(90);
    EXPECT_EQ(c->GetWidthMin(), 70);
    EXPECT_EQ(c->GetWidth(), 70);
}

}  // namespace
}  // namespace veltest
