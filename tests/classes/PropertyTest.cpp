#include <gtest/gtest.h>

#include "platform/classes/ColorNames.h"
#include "platform/classes/Errors.h"
#include "platform/classes/PropAccess.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"
#include "tests/classes/TestClasses.h"

using namespace vel;
using namespace vel::testcls;

namespace {

struct DataSetFixture : ::testing::Test {
    TComponent Form{nullptr};
    TTestDataSet* DataSet = new TTestDataSet(&Form);
    TTestDataSource* Source = new TTestDataSource(&Form);
    TTestGrid* Grid = new TTestGrid(&Form);
    DataSetFixture() {
        DataSet->SetName("Table1");
        Source->SetDataSet(DataSet);
        Grid->SetDataSource(Source);
    }
};

}  // namespace

TEST_F(DataSetFixture, StringsEnumerationsAndObjectsByName) {
    SetStrProp(DataSet, "CommandText", "select * from t");
    EXPECT_EQ(DataSet->GetCommandText(), "select * from t");
    EXPECT_EQ(GetStrProp(DataSet, "commandtext"), "select * from t");

    DataSet->SetCommandType(TCommandType::cmdTable);
    EXPECT_EQ(GetEnumProp(DataSet, "CommandType"), "cmdTable");
    SetEnumProp(DataSet, "CommandType", "CMDSTOREDPROC");
    EXPECT_EQ(DataSet->GetCommandType(), TCommandType::cmdStoredProc);
    EXPECT_EQ(GetEnumProp(DataSet, "Active"), "False");
    SetEnumProp(DataSet, "Active", "True");
    EXPECT_TRUE(DataSet->GetActive());
    try {
        SetEnumProp(DataSet, "CommandType", "cmdQuery");
        FAIL();
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Message(), "'cmdQuery' is not a valid TCommandType value for property CommandType.");
    }
    EXPECT_EQ(DataSet->GetCommandType(), TCommandType::cmdStoredProc);

    EXPECT_EQ(GetObjectProp(DataSet, "SQL"), DataSet->GetSQL());
    EXPECT_EQ(GetObjectProp(Source, "DataSet"), DataSet);
    EXPECT_EQ(GetObjectProp(Source, "DataSet", TTestDataSource::StaticClass()), nullptr);
    EXPECT_EQ(GetObjectProp(DataSet, "CommandText"), nullptr);  // not an object
    EXPECT_TRUE(PropIsType(DataSet, "SQL", TTypeKind::tkClass));
    EXPECT_TRUE(PropIsType(DataSet, "MaxRows", TTypeKind::tkInt64));
    EXPECT_EQ(GetOrdProp(DataSet, "RecordCount"), 42);
}

TEST_F(DataSetFixture, DottedPathsWalkObjectProperties) {
    SetStrProp(Grid, "DataSource.DataSet.CommandText", "select 1");
    EXPECT_EQ(DataSet->GetCommandText(), "select 1");
    EXPECT_EQ(GetStrProp(Source, "DataSet.CommandText"), "select 1");
    SetStrProp(Grid, "Font.Name", "Arial");
    EXPECT_EQ(Grid->GetFont()->GetName(), "Arial");
    EXPECT_EQ(GetPropText(Grid, "Font.Color"), "clWindowText");
    // A nil object on the way: not published rather than a crash.
    Source->SetDataSet(nullptr);
    EXPECT_FALSE(IsPublishedProp(Grid, "DataSource.DataSet.CommandText"));
    EXPECT_EQ(GetPropInfo(Grid, "DataSource.DataSet"), GetPropInfo(Source, "DataSet"));
    // A value property in the middle of a path.
    EXPECT_FALSE(IsPublishedProp(Grid, "ReadOnly.Foo"));
}

TEST_F(DataSetFixture, UnknownNamesAnswerNotPublished) {
    EXPECT_FALSE(IsPublishedProp(DataSet, "IndexFieldNames"));
    EXPECT_EQ(GetPropInfo(DataSet, "IndexFieldNames"), nullptr);
    EXPECT_EQ(GetObjectProp(DataSet, "IndexDefs"), nullptr);
    EXPECT_FALSE(PropIsType(DataSet, "IndexDefs", TTypeKind::tkClass));
    EXPECT_FALSE(IsPublishedProp(static_cast<TObject*>(nullptr), "Name"));
    try {
        GetStrProp(DataSet, "IndexFieldNames");
        FAIL();
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Message(), "Property IndexFieldNames is not published by TTestDataSet.");
    }
    EXPECT_THROW(SetStrProp(DataSet, "SQL.Text", "x"), EPropertyError);
    EXPECT_THROW(PropType(DataSet, "Nope"), EPropertyError);
}

TEST_F(DataSetFixture, WrongKindsAndReadOnlyPropertiesAreRefused) {
    EXPECT_THROW(GetStrProp(DataSet, "Active"), EPropertyError);
    EXPECT_THROW(SetOrdProp(DataSet, "RecordCount", 1), EPropertyError);
    EXPECT_THROW(SetOrdProp(DataSet, "CommandType", 3), ERangeError);
    EXPECT_EQ(DataSet->GetCommandType(), TCommandType::cmdText);
    EXPECT_THROW(SetOrdProp(Grid, "Options", 1 << 5), ERangeError);
    // An object of the wrong class is refused and the reference kept.
    EXPECT_THROW(SetObjectProp(Grid, "DataSource", DataSet), EPropertyError);
    EXPECT_EQ(Grid->GetDataSource(), Source);
    EXPECT_THROW(SetPropText(Grid, "LinesCount", "3000000000"), ERangeError);
    EXPECT_THROW(SetPropText(Grid, "LinesCount", "12x"), EPropertyError);
    EXPECT_EQ(Grid->GetLinesCount(), 1);
}

TEST_F(DataSetFixture, InheritedPropertiesComeFirstAndKeepTheirOrder) {
    std::vector<std::string> names;
    for (const TPropInfo* p : GetPropList(Grid)) names.push_back(p->Name);
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(names[0], "Name");
    EXPECT_EQ(names[1], "Tag");
    EXPECT_EQ(names[2], "Left");  // TTestControl
    EXPECT_EQ(names[3], "DataSource");
    SetOrdProp(Grid, "Tag", 7);
    EXPECT_EQ(Grid->GetTag(), 7);
    EXPECT_TRUE(IsPublishedProp(TTestPanel::StaticClass(), "Left"));
    EXPECT_FALSE(IsPublishedProp(TTestPanel::StaticClass(), "DataSource"));
}

TEST_F(DataSetFixture, SetsAndColoursAsText) {
    EXPECT_EQ(GetSetProp(Grid, "Options"), "dgEditing,dgTitles");
    EXPECT_EQ(GetSetProp(Grid, "Options", true), "[dgEditing, dgTitles]");
    SetSetProp(Grid, "Options", " [ dgIndicator , dgRowLines ] ");
    EXPECT_EQ(Grid->GetOptions(), (TGridOptions{TGridOption::dgIndicator, TGridOption::dgRowLines}));
    SetSetProp(Grid, "Options", "[]");
    EXPECT_TRUE(Grid->GetOptions().Empty());
    try {
        SetSetProp(Grid, "Options", "[dgTitles, dgBogus]");
        FAIL();
    } catch (const EPropertyError& e) {
        EXPECT_EQ(e.Message(), "'dgBogus' is not a value of TGridOption.");
    }
    EXPECT_TRUE(Grid->GetOptions().Empty());
    EXPECT_EQ(GetPropText(Grid, "Options"), "[]");

    EXPECT_EQ(GetPropText(Grid, "FixedColor"), "clBtnFace");
    SetPropText(Grid, "Color", "clNone");
    EXPECT_EQ(Grid->GetColor(), 0x1FFFFFFF);
    SetPropText(Grid, "Color", "clDefault");
    EXPECT_EQ(Grid->GetColor(), 0x20000000);
    SetPropText(Grid, "Color", "123456");
    EXPECT_EQ(GetPropText(Grid, "Color"), "123456");
    EXPECT_EQ(GetOrdProp(Grid, "FixedColor"), static_cast<std::int32_t>(0xFF00000F));
}

TEST_F(DataSetFixture, VariantAccess) {
    SetPropValue(DataSet, "CommandText", Variant("x"));
    EXPECT_EQ(GetPropValue(DataSet, "CommandText").AsString(), "x");
    EXPECT_EQ(GetPropValue(DataSet, "CommandType").AsString(), "cmdText");
    EXPECT_EQ(GetPropValue(DataSet, "CommandType", false).AsInteger(), 0);
    SetPropValue(DataSet, "CommandType", Variant("cmdTable"));
    SetPropValue(DataSet, "Active", Variant(true));
    EXPECT_TRUE(GetPropValue(DataSet, "Active").AsBoolean());
    SetPropValue(DataSet, "Ratio", Variant(2));
    EXPECT_DOUBLE_EQ(DataSet->GetRatio(), 2.0);
    SetPropValue(Grid, "Color", Variant("$000000FF"));
    EXPECT_EQ(GetPropValue(Grid, "Color").AsInteger(), clRed);
    SetPropValue(Grid, "Options", Variant("[dgTitles]"));
    EXPECT_EQ(GetPropValue(Grid, "Options").AsString(), "[dgTitles]");
    EXPECT_THROW(GetPropValue(Grid, "Font"), EPropertyError);
    EXPECT_THROW(SetPropValue(DataSet, "MaxRows", Variant("many")), EPropertyError);
    EXPECT_EQ(DataSet->GetMaxRows(), 0);
}

TEST_F(DataSetFixture, CopyPublishedPropertiesCopiesValuesReferencesAndSubObjects) {
    Grid->SetOptions({TGridOption::dgRowLines});
    Grid->SetColor(clRed);
    Grid->SetTag(5);
    Grid->GetFont()->SetSize(14);
    Grid->GetItems()->Add("x");
    Grid->SetName("Grid1");
    static_cast<TTestColumn*>(Grid->GetColumns()->Add())->SetFieldName("ID");
    auto* copy = new TTestGrid(&Form);
    CopyPublishedProperties(Grid, copy);
    EXPECT_EQ(copy->GetName(), "");  // names are not copied
    EXPECT_EQ(copy->GetTag(), 5);
    EXPECT_EQ(copy->GetOptions(), TGridOptions{TGridOption::dgRowLines});
    EXPECT_EQ(copy->GetColor(), clRed);
    EXPECT_EQ(copy->GetDataSource(), Source);
    EXPECT_NE(copy->GetFont(), Grid->GetFont());
    EXPECT_EQ(copy->GetFont()->GetSize(), 14);
    EXPECT_EQ(copy->GetItems()->Count(), 1);
    ASSERT_EQ(copy->GetColumns()->Count(), 1);
    EXPECT_EQ(copy->Column(0)->GetFieldName(), "ID");
    // Between unrelated classes only the shared names and kinds go across.
    auto* panel = new TTestPanel(&Form);
    CopyPublishedProperties(Grid, panel);
    EXPECT_EQ(panel->GetTag(), 5);
}

TEST(ColorNames, StandardNamesBothWays) {
    std::string name;
    ASSERT_TRUE(FindColorName(clWindow, name));
    EXPECT_EQ(name, "clWindow");
    ASSERT_TRUE(FindColorName(static_cast<TColor>(0xFF00000D), name));
    EXPECT_EQ(name, "clHighlight");
    ASSERT_TRUE(FindColorName(0xC0C0C0, name));  // clLtGray's value: the first name wins
    EXPECT_EQ(name, "clSilver");
    EXPECT_FALSE(FindColorName(0x123456, name));
    TColor c = 0;
    ASSERT_TRUE(FindColorValue("CLBTNFACE", c));
    EXPECT_EQ(c, clBtnFace);
    ASSERT_TRUE(FindColorValue("clDefault", c));
    EXPECT_EQ(c, 536870912);
    ASSERT_TRUE(FindColorValue("clNone", c));
    EXPECT_EQ(c, 536870911);
    EXPECT_FALSE(FindColorValue("clPink", c));
    EXPECT_FALSE(FindColorValue("", c));
}
