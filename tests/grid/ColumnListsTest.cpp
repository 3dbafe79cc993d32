// A column's lists and boxes against data: pick lists and pick texts loaded from a dataset,
// formatted pick texts, which list a cell offers, and the expand box of each record.
#include <string>

#include "platform/classes/Strings.h"
#include "platform/db/DataSource.h"
#include "tests/grid/ColumnTestUtil.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

// Code and Name for each record, in this order.
std::unique_ptr<TClientDataSet> MakePairs(
    std::initializer_list<std::pair<const char*, const char*>> Rows) {
    auto ds = std::make_unique<TClientDataSet>();
    ds->GetFieldDefs().Add("Code", TFieldType::ftString, 5);
    ds->GetFieldDefs().Add("Name", TFieldType::ftString, 20);
    ds->CreateDataSet();
    for (const auto& [code, name] : Rows) {
        ds->Append();
        if (*code) ds->FieldByName("Code")->SetAsString(code);
        if (*name) ds->FieldByName("Name")->SetAsString(name);
        ds->Post();
    }
    ds->First();
    return ds;
}

class ColumnListsTest : public DBGridTest {
protected:
    void Attach(TDataSet* DataSet) {
        auto* source = new TDataSource(Form.get());
        source->SetDataSet(DataSet);
        Grid->SetDataSource(source);
    }
    TVelColumn* Persistent(const std::string& FieldName) {
        TVelColumn* c = Grid->GetColumns()->Add();
        c->SetFieldName(FieldName);
        return c;
    }
};

TEST_F(ColumnListsTest, PickListLoadsEachTextOnceAndKeepsTheCursor) {
    auto table = MakePairs({{"b", "N2"}, {"a", "N1"}, {"c", "N2"}, {"d", ""}, {"e", "n1"}});
    Attach(table.get());
    TVelColumn* c = Persistent("Name");
    c->GetPickText()->SetCommaText("old");
    table->MoveBy(2);
    int moves = 0;
    table->SetAfterScroll([&](TDataSet*) { ++moves; });
    c->LoadPickList();
    EXPECT_EQ(c->GetPickList()->GetCommaText(), "N2,N1,n1");
    EXPECT_EQ(c->GetPickText()->Count(), 0);
    EXPECT_EQ(table->GetRecNo(), 3);
    EXPECT_FALSE(table->ControlsDisabled());

    // Sorted; appended to what there was; from another field of the dataset.
    c->LoadPickList(nullptr, true);
    EXPECT_EQ(c->GetPickList()->GetCommaText(), "N1,n1,N2");
    c->GetPickList()->SetCommaText("z,N2");
    c->SwitchPickOptions({TVelPickOption::poAppendToList}, true);
    c->LoadPickList();
    EXPECT_EQ(c->GetPickList()->GetCommaText(), "z,N2,N1,n1");
    c->SwitchPickOptions({TVelPickOption::poAppendToList}, false);
    c->LoadPickList(table->FieldByName("Code"), false);
    EXPECT_EQ(c->GetPickList()->GetCommaText(), "b,a,c,d,e");

    // No field: the lists go.
    c->GetPickText()->SetCommaText("x");
    TVelColumn* unbound = Persistent("");
    unbound->GetPickList()->SetCommaText("1,2");
    unbound->GetPickText()->SetCommaText("One,Two");
    unbound->LoadPickList();
    EXPECT_EQ(unbound->GetPickList()->Count(), 0);
    EXPECT_EQ(unbound->GetPickText()->Count(), 0);
    EXPECT_FALSE(unbound->GetPickDataActive());
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnListsTest, PickTextPairsKeysWithTexts) {
    auto table = MakePairs(
        {{"b", "Beta"}, {"a", "Alpha"}, {"b", "Bis"}, {"", ""}, {"c", ""}, {"", "Nameless"}});
    Attach(table.get());
    TVelColumn* c = Persistent("Code");
    TField* code = table->FieldByName("Code");
    TField* name = table->FieldByName("Name");
    // The first text of a key wins; a record with neither is skipped.
    c->LoadPickText(code, name);
    EXPECT_EQ(c->GetPickList()->GetCommaText(), "b,a,c,");
    EXPECT_EQ(c->GetPickText()->GetCommaText(), "Beta,Alpha,,Nameless");
    // Sorted by key, or by text.
    c->LoadPickText(code, name, true);
    EXPECT_EQ(c->GetPickList()->GetCommaText(), ",a,b,c");
    EXPECT_EQ(c->GetPickText()->GetCommaText(), "Nameless,Alpha,Beta,");
    c->SwitchPickOptions({TVelPickOption::poSortedByText}, true);
    c->LoadPickText(code, name, true);
    EXPECT_EQ(c->GetPickList()->GetCommaText(), "c,a,b,");
    // Appended: the pairs there were come first and keep their keys.
    c->GetPickList()->SetCommaText("b,z");
    c->GetPickText()->SetCommaText("Old");
    c->SwitchPickOptions({TVelPickOption::poAppendToList}, true);
    c->SwitchPickOptions({TVelPickOption::poSortedByText}, false);
    c->LoadPickText(code, name);
    EXPECT_EQ(c->GetPickList()->GetCommaText(), "b,z,a,c,");
    EXPECT_EQ(c->GetPickText()->GetCommaText(), "Old,,Alpha,,Nameless");

    // Fields of two datasets are refused and change nothing.
    auto other = MakeLookupTable();
    EXPECT_THROW(c->LoadPickText(code, other->FieldByName("Title")), EDatabaseError);
    EXPECT_EQ(c->GetPickList()->GetCommaText(), "b,z,a,c,");
    c->LoadPickText(nullptr, name);
    EXPECT_EQ(c->GetPickList()->Count(), 0);
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnListsTest, FormattedPickTextsFollowTheirLists) {
    TVelColumn* c = Persistent("");
    using enum TVelPickOption;
    c->SwitchPickOptions({poSelectPickText, poFormatPickText}, true);
    c->GetPickList()->SetCommaText("1,2");
    c->GetPickText()->SetCommaText("One,Two,Three");
    // Extra texts format with an empty key.
    EXPECT_EQ(c->GetPickDataList()->GetCommaText(), "\"1 - One\",\"2 - Two\",\" - Three\"");
    EXPECT_EQ(c->GetPickData(), c->GetPickDataList());
    c->SwitchPickOptions({poFormatListOnly}, true);
    EXPECT_EQ(c->GetPickData()->GetCommaText(), "One,Two,Three");
    EXPECT_EQ(c->GetPickDataList()->Strings(0), "1 - One");
    // A change of either list or of the format is seen at once.
    c->GetPickList()->Put(0, "9");
    EXPECT_EQ(c->GetPickDataList()->Strings(0), "9 - One");
    c->SetPickTextFormat("%0:s (%1:s)");
    EXPECT_EQ(c->GetPickDataList()->Strings(1), "Two (2)");
    c->UpdatePickData();
    EXPECT_EQ(c->GetPickDataList()->Count(), 3);
    EXPECT_TRUE(c->GetPickListActive());
    c->GetPickList()->Clear();
    EXPECT_FALSE(c->GetPickListActive());
    EXPECT_EQ(c->GetPickDataList()->Strings(0), "One ()");
}

TEST_F(ColumnListsTest, CalendarAndLookupActivity) {
    using enum TFieldType;
    auto table = std::make_unique<TClientDataSet>();
    for (auto [name, type] : {std::pair{"D", ftDate},
                              {"DT", ftDateTime},
                              {"TS", ftTimeStamp},
                              {"T", ftTime},
                              {"S", ftString},
                              {"I", ftInteger}})
        table->GetFieldDefs().Add(name, type, type == ftString ? 10 : 0);
    table->CreateDataSet();
    Attach(table.get());
    for (const char* n : {"D", "DT", "TS"}) EXPECT_TRUE(Persistent(n)->GetCalendarActive()) << n;
    for (const char* n : {"T", "S", "I", ""}) EXPECT_FALSE(Persistent(n)->GetCalendarActive()) << n;

    auto lookup = MakeLookupTable();
    TVelColumn* s = Persistent("S");
    EXPECT_FALSE(s->GetLookupActive());
    s->SetLookupDataSet(lookup.get());
    EXPECT_FALSE(s->GetLookupActive());  // no key in the lookup dataset yet
    s->SetLookupKeyField("Code");
    EXPECT_TRUE(s->GetLookupActive());  // the key itself
    s->SetLookupResultField("Title");
    EXPECT_TRUE(s->GetLookupActive());  // key stored, title shown
    s->SetKeyField("I");
    EXPECT_TRUE(s->GetLookupActive());  // title shown for a key elsewhere
    lookup.reset();
    EXPECT_FALSE(s->GetLookupActive());
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnListsTest, ExpandBoxesKeepOneStatePerRecord) {
    auto table = MakeTable(3);
    Attach(table.get());
    TVelColumn* c = Persistent("Name");
    EXPECT_FALSE(c->IsExpandableBox());
    c->SetExpandBox(true);
    c->SetExpandBoxSize(TExpandBoxSize::ebMedium);
    int cellExpands = 0;
    Grid->SetOnCellExpand([&](TVelColumn* Column) {
        EXPECT_EQ(Column, c);
        ++cellExpands;
    });
    ASSERT_TRUE(c->IsExpandableBox());
    EXPECT_FALSE(c->IsExpandedBox());
    EXPECT_EQ(c->GetImageIndex(), 0 + 3);
    table->MoveBy(1);
    c->ToggleExpandBox();
    EXPECT_TRUE(c->IsExpandedBox());
    EXPECT_EQ(c->GetImageIndex(), 1 + 3);
    EXPECT_EQ(cellExpands, 1);
    // Each record keeps its own state.
    table->First();
    EXPECT_FALSE(c->IsExpandedBox());
    table->Last();
    EXPECT_FALSE(c->IsExpandedBox());
    c->ToggleExpandBox();
    table->MoveBy(-1);
    EXPECT_TRUE(c->IsExpandedBox());
    c->ToggleExpandBox();
    EXPECT_FALSE(c->IsExpandedBox());
    table->Last();
    EXPECT_TRUE(c->IsExpandedBox());
    EXPECT_EQ(cellExpands, 3);

    // The grid may choose another of the three states.
    Grid->SetOnCalcImageIndex([](TObject*, TVelColumn*, int& Index) { Index = 2; });
    EXPECT_EQ(c->GetImageIndex(), 2 + 3);
    Grid->SetOnCalcImageIndex([](TObject*, TVelColumn*, int& Index) { Index = 7; });
    EXPECT_EQ(c->GetImageIndex(), 1 + 3);
    Grid->SetOnCalcImageIndex(nullptr);

    // A dataset opened again starts with every box closed.
    table->Close();
    EXPECT_FALSE(c->IsExpandableBox());
    EXPECT_EQ(c->GetImageIndex(), 2 + 3);
    c->ToggleExpandBox();
    EXPECT_EQ(cellExpands, 3);
    table->Open();
    table->Last();
    ASSERT_EQ(table->GetRecNo(), 3);
    EXPECT_FALSE(c->IsExpandedBox());

    // A record being inserted has no box state; a tree column's boxes are the tree's.
    table->Append();
    EXPECT_FALSE(c->IsExpandableBox());
    table->Cancel();
    c->SetExpandBoxTree(true);
    EXPECT_FALSE(c->IsExpandableBox());
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnListsTest, CheckBoxGlyphsFollowTheKind) {
    auto table = MakeTable(1);
    Attach(table.get());
    TVelColumn* c = Persistent("Name");
    c->SetCheckBox(true);
    c->SetCheckBoxValues("N1;N0");
    EXPECT_EQ(c->GetImageIndex(), 1);
    c->SetCheckBoxKind(TCheckBoxKind::cbBox);
    EXPECT_EQ(c->GetImageIndex(), 1 + 6);
    c->SetCheckBoxValues("Y;N1");
    EXPECT_EQ(c->GetImageIndex(), 0 + 6);
    c->SetCheckBoxValues("Y;N");
    EXPECT_EQ(c->GetImageIndex(), 2 + 6);
    Grid->SetDataSource(nullptr);
}

}  // namespace
}  // namespace veltest
