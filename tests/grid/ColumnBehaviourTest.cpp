// Column behaviour against a dataset: defaults and what default columns pass to their fields,
// widths, expansion groups and moves, linked partner columns, lookups, check boxes and
// multiple values, automatic columns and header bands.
#include <string>

#include "platform/classes/Streams.h"
#include "platform/classes/Strings.h"
#include "platform/db/DataSource.h"
#include "tests/grid/ColumnTestUtil.h"
#include "tests/grid/GridTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

class ColumnBehaviourTest : public DBGridTest {
protected:
    TDataSource* Attach(TDataSet* DataSet, TVelCustomDBGrid* G = nullptr) {
        auto* source = new TDataSource(Form.get());
        source->SetDataSet(DataSet);
        (G ? G : Grid)->SetDataSource(source);
        return source;
    }
    TVelDBGridColumns* Cols() { return Grid->GetColumns(); }
    TVelColumn* Persistent(const std::string& FieldName) {
        TVelColumn* c = Cols()->Add();
        c->SetFieldName(FieldName);
        return c;
    }
    std::string Names() {
        std::string s;
        for (int i = 0; i < Cols()->Count(); ++i)
            s += (i ? "," : "") + Cols()->GetColumn(i)->GetFieldName();
        return s;
    }
};

TEST_F(ColumnBehaviourTest, DefaultColumnsPassTheirSettingsToTheField) {
    auto table = MakeTable(2);
    Attach(table.get());
    ASSERT_EQ(Cols()->GetState(), TDBGridColumnsState::csDefault);
    TVelColumn* name = Cols()->GetColumn(1);
    TField* field = table->FieldByName("Name");
    name->SetAlignment(TAlignment::taCenter);
    name->GetTitle()->SetCaption("Customer");
    name->SetReadOnly(true);
    EXPECT_EQ(field->GetAlignment(), TAlignment::taCenter);
    EXPECT_EQ(field->GetDisplayLabel(), "Customer");
    EXPECT_TRUE(field->GetReadOnly());
    // Nothing is recorded in the column: it reads the field's values.
    EXPECT_TRUE(name->GetAssignedValues().Empty());
    EXPECT_EQ(name->GetTitle()->GetCaption(), "Customer");
    EXPECT_EQ(name->GetAlignment(), TAlignment::taCenter);

    // A default column set to its default width stays unassigned; nothing is streamed.
    const int w = name->GetWidth();
    name->SetWidth(w);
    EXPECT_FALSE(name->GetAssignedValues().Contains(TVelColumnValue::cvWidth));
    EXPECT_FALSE(name->IsWidthStored());

    // A persistent column keeps its own values, and the field is left alone.
    TVelColumn* own = Persistent("Name");
    own->SetAlignment(TAlignment::taRightJustify);
    EXPECT_EQ(field->GetAlignment(), TAlignment::taCenter);
    EXPECT_TRUE(own->IsAlignmentStored());
    own->SetAlignment(TAlignment::taCenter);
    // Equal to the default again: assigned, but not worth storing.
    EXPECT_FALSE(own->IsAlignmentStored());
    // A persistent column's width of 64 is stored even when 64 is its default.
    Grid->SetDefaultWidthMin(64);
    Grid->SetDefaultWidthMax(64);
    EXPECT_EQ(own->DefaultWidth(), 64);
    own->SetWidth(65);
    own->SetWidth(64);
    EXPECT_TRUE(own->IsWidthStored());
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnBehaviourTest, DefaultsFollowFieldAndGridOnEveryRead) {
    auto table = MakeTable(1);
    Attach(table.get());
    TVelColumn* c = Persistent("Price");
    TField* price = table->FieldByName("Price");
    EXPECT_EQ(c->GetAlignment(), TAlignment::taRightJustify);
    price->SetAlignment(TAlignment::taLeftJustify);
    EXPECT_EQ(c->GetAlignment(), TAlignment::taLeftJustify);
    price->SetDisplayLabel("Cost");
    EXPECT_EQ(c->GetTitle()->GetCaption(), "Cost");
    EXPECT_FALSE(c->GetTitle()->IsCaptionStored());
    // The default width grows with the field's display width.
    const int narrow = c->DefaultWidth();
    price->SetDisplayWidth(40);
    EXPECT_GT(c->GetWidth(), narrow);
    Grid->SetDefaultWidthMax(70);
    EXPECT_EQ(c->GetWidth(), 70);
    // Fonts follow the grid's until assigned; then they stay.
    Grid->Font().SetSize(13);
    EXPECT_EQ(c->GetFont()->GetSize(), 13);
    Grid->GetTitleFont()->SetSize(15);
    EXPECT_EQ(c->GetTitle()->GetFont()->GetSize(), 15);
    EXPECT_FALSE(c->IsFontStored());
    c->GetFont()->SetSize(9);
    Grid->Font().SetSize(11);
    EXPECT_EQ(c->GetFont()->GetSize(), 9);
    EXPECT_TRUE(c->IsFontStored());
    Grid->SetFixedColor(clGray);
    EXPECT_EQ(c->GetTitle()->GetColor(), clGray);
    // RestoreDefaults returns every value to what the field and grid give.
    c->SetColor(clRed);
    c->GetTitle()->SetCaption("X");
    c->SetVisible(false);
    c->RestoreDefaults();
    EXPECT_TRUE(c->GetAssignedValues().Empty());
    EXPECT_EQ(c->GetFont()->GetSize(), 11);
    EXPECT_EQ(c->GetTitle()->GetCaption(), "Cost");
    EXPECT_EQ(c->GetColor(), Grid->GetColor());
    EXPECT_TRUE(c->GetVisible());
    EXPECT_EQ(c->GetFieldName(), "Price");
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnBehaviourTest, AColumnAddedAfterTheTitleFontChangedStillFollowsIt) {
    Grid->GetTitleFont()->SetColor(clNavy);
    TVelColumn* c = Cols()->Add();
    EXPECT_FALSE(c->GetTitle()->IsFontStored());
    EXPECT_EQ(c->GetTitle()->GetFont()->GetColor(), clNavy);
    Grid->GetTitleFont()->SetColor(clRed);
    EXPECT_EQ(c->GetTitle()->GetFont()->GetColor(), clRed);
}

TEST_F(ColumnBehaviourTest, HiddenColumnsReadANegativeWidth) {
    TVelColumn* c = Cols()->Add();
    c->SetWidth(90);
    c->SetVisible(false);
    EXPECT_EQ(c->GetWidth(), -Grid->GetGridLineWidth());
    EXPECT_EQ(c->GetWidthBase(), 90);
    Grid->SetGridLineWidth(2);
    EXPECT_EQ(c->GetWidth(), -2);
    // A column file holds the real width.
    TMemoryStream stream;
    Cols()->SaveToStream(&stream);
    const std::string text(reinterpret_cast<const char*>(stream.GetMemory()), stream.GetSize());
    EXPECT_NE(text.find("Width = 90"), std::string::npos) << text;
    EXPECT_NE(text.find("Visible = False"), std::string::npos) << text;
    stream.SetPosition(0);
    auto* other = NewGrid("Other");
    other->GetColumns()->LoadFromStream(&stream);
    ASSERT_EQ(other->GetColumns()->Count(), 1);
    EXPECT_EQ(other->GetColumns()->GetColumn(0)->GetWidthBase(), 90);
    EXPECT_FALSE(other->GetColumns()->GetColumn(0)->GetVisible());
}

TEST_F(ColumnBehaviourTest, RebuildColumnsFollowsAdtFieldsAndAddsAutomaticColumns) {
    auto table = MakeAddressTable();
    Attach(table.get());
    Grid->SwitchOptionsExt(
        {TVelDBGridOptionExt::dgAutoNumberColumn, TVelDBGridOptionExt::dgAutoSelectColumn,
         TVelDBGridOptionExt::dgAutoExpandColumn},
        true);
    Cols()->RebuildColumns();
    EXPECT_EQ(Cols()->GetState(), TDBGridColumnsState::csCustomized);
    EXPECT_EQ(Names(), ",,,ID,Addr,Addr.City,Addr.Zip,Name");
    EXPECT_EQ(Cols()->GetColumn(0)->GetTitle()->GetCaption(), "No.");
    EXPECT_EQ(Cols()->GetColumn(1)->GetTitle()->GetCaption(), "Select");
    EXPECT_EQ(Cols()->GetColumn(2)->GetTitle()->GetCaption(), "Expand");
    EXPECT_TRUE(Cols()->GetColumn(0)->GetAutoNumber());
    EXPECT_EQ(Cols()->GetColumn(0)->GetAlignment(), TAlignment::taRightJustify);
    EXPECT_TRUE(Cols()->GetColumn(1)->GetCheckBox());
    EXPECT_TRUE(Cols()->GetColumn(2)->GetExpandBox());
    EXPECT_EQ(Cols()->GetColumn(2)->GetWidth(), 48);
    EXPECT_TRUE(Cols()->GetColumn(0)->GetSuppressRTL());

    // The ADT column is expandable; its sub-field columns are its group.
    TVelColumn* addr = Cols()->GetColumn(4);
    TVelColumn* city = Cols()->GetColumn(5);
    EXPECT_TRUE(addr->GetExpandable());
    EXPECT_EQ(city->GetParentColumn(), addr);
    EXPECT_EQ(city->GetDepth(), 1);
    EXPECT_EQ(addr->GetExpandIndex(), 6);
    EXPECT_EQ(city->GetDisplayName(), "Addr.City");
    // Expanded: the children show instead of the column; collapsed the other way round.
    EXPECT_FALSE(addr->GetShowing());
    EXPECT_TRUE(city->GetShowing());
    addr->SetExpanded(false);
    EXPECT_TRUE(addr->GetShowing());
    EXPECT_FALSE(city->GetShowing());
    EXPECT_EQ(Grid->GetColCount(), 1 + 6);
    // An invisible parent hides its children.
    addr->SetVisible(false);
    EXPECT_FALSE(city->GetVisible());
    addr->SetVisible(true);

    // Default columns: the same order, built by the layout.
    Cols()->SetState(TDBGridColumnsState::csDefault);
    EXPECT_EQ(Cols()->GetState(), TDBGridColumnsState::csDefault);
    EXPECT_EQ(Names(), ",,,ID,Addr,Addr.City,Addr.Zip,Name");
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnBehaviourTest, MovingKeepsGroupsTogether) {
    for (const char* n : {"A", "B", "C", "D", "E"}) Persistent(n);
    Cols()->GetColumn(1)->SetExpandCols(2);  // B owns C and D
    EXPECT_EQ(Cols()->GetColumn(3)->GetParentColumn(), Cols()->GetColumn(1));
    EXPECT_EQ(Cols()->GetColumn(1)->GetExpandIndex(), 3);
    // A move into the own group is refused.
    Cols()->GetColumn(1)->SetIndex(2);
    EXPECT_EQ(Names(), "A,B,C,D,E");
    // To the right the group ends at the new index, to the left it starts there.
    Cols()->GetColumn(1)->SetIndex(4);
    EXPECT_EQ(Names(), "A,E,B,C,D");
    Cols()->GetColumn(2)->SetIndex(0);
    EXPECT_EQ(Names(), "B,C,D,A,E");
    // Indexes past the end are clamped; a negative one does nothing.
    Cols()->GetColumn(3)->SetIndex(99);
    EXPECT_EQ(Names(), "B,C,D,E,A");
    Cols()->GetColumn(3)->SetIndex(-1);
    EXPECT_EQ(Names(), "B,C,D,E,A");
}

TEST_F(ColumnBehaviourTest, MovingADefaultColumnMovesItsField) {
    auto table = MakeTable(1);
    Attach(table.get());
    ASSERT_EQ(Names(), "ID,Name,Price");
    Cols()->GetColumn(2)->SetIndex(0);
    EXPECT_EQ(table->GetFields()[0], table->FieldByName("Price"));
    EXPECT_EQ(Names(), "Price,ID,Name");
    EXPECT_EQ(Cols()->GetState(), TDBGridColumnsState::csDefault);
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnBehaviourTest, LinkedGridsMoveAndSynchronizePartnerColumns) {
    auto* follower = NewGrid("Follower");
    for (TVelCustomDBGrid* g :
         {static_cast<TVelCustomDBGrid*>(Grid), static_cast<TVelCustomDBGrid*>(follower)})
        for (const char* n : {"A", "B", "C"}) g->GetColumns()->Add()->SetFieldName(n);
    follower->SetMasterGrid(Grid);
    ASSERT_EQ(Grid->GetManageGrid(), follower);
    Cols()->GetColumn(0)->MoveTo(2);
    EXPECT_EQ(Names(), "B,C,A");
    std::string other;
    for (int i = 0; i < 3; ++i) other += follower->GetColumns()->GetColumn(i)->GetFieldName();
    EXPECT_EQ(other, "BCA");
    // Width and visibility go to the partner column of the same index.
    Cols()->GetColumn(1)->SetWidth(77);
    EXPECT_EQ(follower->GetColumns()->GetColumn(1)->GetWidth(), 77);
    Cols()->GetColumn(1)->SetVisible(false);
    EXPECT_FALSE(follower->GetColumns()->GetColumn(1)->GetVisible());
    // The follower's own changes come back round the ring without looping.
    follower->GetColumns()->GetColumn(0)->SetWidth(55);
    EXPECT_EQ(Cols()->GetColumn(0)->GetWidth(), 55);
}

TEST_F(ColumnBehaviourTest, ExpandingKeepsTheFocusOnAShowingColumn) {
    for (const char* n : {"A", "B", "C", "D"}) Persistent(n);
    TVelColumn* b = Cols()->GetColumn(1);
    b->SetExpandCols(2);
    int expands = 0;
    Grid->SetOnColExpand([&](TVelColumn* c) { expands += c == b; });
    b->SetExpanded(false);  // B shows, C and D hide: raw columns A, B, then the rest
    EXPECT_EQ(expands, 1);
    Grid->SetCol(Grid->DataToRawColumn(1));  // on B
    b->SetExpanded(true);                    // B gives way to C: the focus moves right onto it
    EXPECT_EQ(Grid->GetCol(), Grid->DataToRawColumn(1));
    EXPECT_EQ(Grid->GetVisibleColumns()[1], Cols()->GetColumn(2));
    Grid->SetCol(Grid->DataToRawColumn(2));  // on D
    b->SetExpanded(false);                   // D hides: the focus goes left to B
    EXPECT_EQ(Grid->GetVisibleColumns()[std::size_t(Grid->RawToDataColumn(Grid->GetCol()))], b);
    EXPECT_EQ(expands, 3);
}

TEST_F(ColumnBehaviourTest, LookupKindsAndDerivedKeys) {
    auto table = MakeTable(1);
    auto lookup = MakeLookupTable();
    Attach(table.get());
    TVelColumn* c = Persistent("Name");
    EXPECT_EQ(c->GetLookupColumn(), TVelLookupColumn::lcNotDefined);
    EXPECT_EQ(c->GetKeyField(), "Name");
    EXPECT_FALSE(c->IsKeyFieldStored());
    c->SetLookupDataSet(lookup.get());
    c->SetLookupKeyField("Code");
    // Key field = own field and result = key: the column edits the key itself.
    EXPECT_EQ(c->GetLookupResultField(), "Code");
    EXPECT_EQ(c->GetLookupListFields(), "Code");
    EXPECT_EQ(c->GetLookupColumn(), TVelLookupColumn::lcLookupKeyField);
    // A different result: the column stores the key and shows the result.
    c->SetLookupResultField("Title");
    EXPECT_EQ(c->GetLookupColumn(), TVelLookupColumn::lcLookupValueField);
    EXPECT_EQ(c->GetDisplayName(), "Title[Name]");
    EXPECT_EQ(c->GetTitle()->GetCaption(), "Title");
    table->Edit();
    table->FieldByName("Name")->SetAsString("b");
    table->Post();
    EXPECT_EQ(c->GetDisplayText(), "Beta");
    // Another key field: the column shows a result for a key elsewhere in the record.
    c->SetKeyField("ID");
    EXPECT_EQ(c->GetLookupColumn(), TVelLookupColumn::lcLookupResultField);
    c->SetLookupKeyField("");
    EXPECT_EQ(c->GetLookupColumn(), TVelLookupColumn::lcNotDefined);
    // A lookup dataset that goes away leaves the column without one.
    lookup.reset();
    EXPECT_EQ(c->GetLookupDataSet(), nullptr);
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnBehaviourTest, CheckBoxValuesAreComparedWithoutCaseAndToggle) {
    auto table = MakeTable(1);
    Attach(table.get());
    TVelColumn* c = Persistent("Name");
    c->SetCheckBox(true);
    c->SetCheckBoxValues("Y;N");
    table->Edit();
    table->FieldByName("Name")->SetAsString("y");
    table->Post();
    EXPECT_TRUE(c->IsCheckBoxValue(true));
    EXPECT_FALSE(c->IsCheckBoxValue(false));
    EXPECT_EQ(c->GetImageIndex(), 1);
    int changed = 0;
    Grid->SetOnColTextChanged([&](TObject*) { ++changed; });
    c->ToggleCheckBoxValue();
    EXPECT_EQ(table->FieldByName("Name")->GetAsString(), "N");
    EXPECT_EQ(changed, 1);
    c->ToggleCheckBoxValue();
    EXPECT_EQ(table->FieldByName("Name")->GetAsString(), "Y");
    // The grid's text hooks see both ways.
    Grid->SetOnColSetText([](TVelColumn*, std::string& Text) { Text += "es"; });
    c->ToggleCheckBoxValue();
    EXPECT_EQ(table->FieldByName("Name")->GetAsString(), "Nes");
    // A read-only column is not toggled; an empty value restores the default texts.
    c->SetReadOnly(true);
    c->ToggleCheckBoxValue();
    EXPECT_EQ(table->FieldByName("Name")->GetAsString(), "Nes");
    c->SetCheckBoxValues("");
    EXPECT_EQ(c->GetCheckBoxValues(), "True;False");
    c->SetCheckBoxValues("On");
    EXPECT_EQ(c->GetCheckedText(), "On");
    EXPECT_EQ(c->GetUncheckedText(), "");
    // The select column has no field: it toggles the row's selection.
    TVelColumn* select = Cols()->AddAutoSelect();
    EXPECT_EQ(Grid->GetSelectedRows()->Count(), 0);
    select->ToggleCheckBoxValue();
    EXPECT_EQ(Grid->GetSelectedRows()->Count(), 1);
    select->ToggleCheckBoxValue();
    EXPECT_EQ(Grid->GetSelectedRows()->Count(), 0);
    EXPECT_FALSE(select->CanEditShow());
    EXPECT_TRUE(select->CanCellTrack());
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnBehaviourTest, MultipleValuesShowTheirFirstValue) {
    auto table = MakeTable(1);
    Attach(table.get());
    TVelColumn* c = Persistent("Name");
    c->GetPickList()->SetCommaText("a,b,c");
    c->SwitchListOptions({TVelListOption::loMultiSelectList}, true);
    ASSERT_TRUE(c->GetMultiSelectList());
    EXPECT_EQ(c->FormatText("a,b,c"), "a ...");
    EXPECT_EQ(c->FormatText(""), "...");
    EXPECT_EQ(c->FormatText("a"), "a");
    c->SetMultiSelectText(TMultiSelectText::mstDefault);
    EXPECT_EQ(c->FormatText("a,b,c"), "a,b,c");
    c->SetMultiSelectText(TMultiSelectText::mstEllipsis);
    // The delimiter: a line break, else the text, else the character.
    c->SetDelimiterChar(U';');
    EXPECT_EQ(c->GetDelimiter(), ";");
    c->SetDelimiterText(" | ");
    EXPECT_EQ(c->GetDelimiter(), " | ");
    EXPECT_EQ(c->FormatText("a | b"), "a ...");
    c->SetDelimiterLine(true);
    EXPECT_EQ(c->GetDelimiter(), "\r\n");
    // Only string fields with a list take several values.
    TVelColumn* id = Persistent("ID");
    id->GetPickList()->SetCommaText("1,2");
    id->SwitchListOptions({TVelListOption::loMultiSelectList}, true);
    EXPECT_FALSE(id->GetMultiSelectList());
    EXPECT_EQ(id->FormatText(""), "");
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnBehaviourTest, PickTextsAreShownForStoredValues) {
    auto table = MakeTable(1);
    Attach(table.get());
    TVelColumn* c = Persistent("Name");
    c->GetPickList()->SetCommaText("N1,N2");
    c->GetPickText()->SetCommaText("One,Two");
    EXPECT_EQ(c->GetDisplayText(), "One");
    EXPECT_EQ(c->GetPickIndex(), 0);
    c->SwitchPickOptions({TVelPickOption::poFormatPickText}, true);
    EXPECT_EQ(c->GetDisplayText(), "N1 - One");
    c->SetPickTextFormat("%s (%s)");
    EXPECT_EQ(c->GetDisplayText(), "One (N1)");
    // Several stored values each show their text.
    c->SwitchListOptions({TVelListOption::loMultiSelectList}, true);
    c->SwitchPickOptions({TVelPickOption::poFormatPickText}, false);
    table->Edit();
    table->FieldByName("Name")->SetAsString("N2,N1");
    table->Post();
    c->SetMultiSelectText(TMultiSelectText::mstDefault);
    EXPECT_EQ(c->GetDisplayText(), "Two,One");
    c->SetMultiSelectText(TMultiSelectText::mstEllipsis);
    EXPECT_EQ(c->GetDisplayText(), "Two ...");
    // Without pick text the pick list is the data.
    c->GetPickText()->Clear();
    EXPECT_EQ(c->GetPickData(), c->GetPickList());
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnBehaviourTest, DisplayNamesAndImageIndexes) {
    TVelColumn* c = Cols()->Add();
    c->GetTitle()->SetCaption("A caption of 25 letters.");
    ASSERT_EQ(c->GetTitle()->GetCaption().size(), 24u);
    c->GetTitle()->SetCaption("A caption of 25 letters!!");
    EXPECT_EQ(c->GetDisplayName(), "(A caption of 25 lett...)");
    c->GetTitle()->SetCaption("Short");
    EXPECT_EQ(c->GetDisplayName(), "(Short)");
    c->GetTitle()->SetCaption("");
    EXPECT_EQ(c->GetDisplayName(), c->TCollectionItem::GetDisplayName());

    auto table = MakeTable(1);
    Attach(table.get());
    TVelColumn* id = Persistent("ID");
    EXPECT_EQ(id->GetImageIndex(), 1);
    Grid->SetOnCalcImageIndex([](TObject*, TVelColumn*, int& Index) { Index += 10; });
    EXPECT_EQ(id->GetImageIndex(), 11);
    Grid->SetOnCalcImageIndex(nullptr);
    TVelColumn* name = Persistent("Name");
    EXPECT_EQ(name->GetImageIndex(), -1);
    table->Edit();
    table->FieldByName("Name")->SetAsString("True");
    table->Post();
    EXPECT_EQ(name->GetImageIndex(), 1);
    // Editing gates.
    EXPECT_TRUE(name->CanEditShow());
    name->SetExpandBox(true);
    EXPECT_FALSE(name->CanEditShow());
    name->SetImageMargin(1);
    EXPECT_TRUE(name->CanEditShow());
    name->SetAutoNumber(true);
    EXPECT_FALSE(name->CanEditShow());
    Grid->SetDataSource(nullptr);
}

TEST_F(ColumnBehaviourTest, HeaderBandsJoinNeighboursWithTheSameRows) {
    for (const char* n : {"A", "B", "C", "D"}) Persistent(n);
    auto title = [&](int i) { return Cols()->GetColumn(i)->GetTitle(); };
    title(0)->SetHeader("Sales|Q1");
    title(1)->SetHeader("Sales|Q2");
    title(2)->SetHeader("Sales|Q2");
    title(3)->SetHeader("Cost");
    EXPECT_EQ(title(0)->HeaderRowCount(), 2);
    EXPECT_EQ(title(3)->HeaderRowCount(), 1);
    EXPECT_EQ(title(0)->HeaderRows(1), "Q1");
    EXPECT_EQ(title(0)->HeaderRows(5), "");
    EXPECT_EQ(title(0)->HeaderRight(0), Cols()->GetColumn(1));
    EXPECT_EQ(title(0)->HeaderRight(1), nullptr);
    EXPECT_EQ(title(2)->HeaderLeft(1), Cols()->GetColumn(1));
    EXPECT_EQ(title(2)->HeaderRight(0), nullptr);
    EXPECT_EQ(title(1)->HeaderLeft(2), nullptr);
    // A hidden column is passed over; the fixed-column boundary splits a band.
    Cols()->GetColumn(1)->SetVisible(false);
    EXPECT_EQ(title(2)->HeaderLeft(0), Cols()->GetColumn(0));
    Grid->SetFixedCols(1);
    EXPECT_EQ(title(2)->HeaderLeft(0), nullptr);
    title(0)->SetHeaderHint("Money|First");
    EXPECT_EQ(title(0)->HeaderHintRows(1), "First");
}

TEST_F(ColumnBehaviourTest, CollectionNotificationsReachTheGrid) {
    TVelColumn* a = Cols()->Add();
    TVelColumn* b = Cols()->Add();
    // One column's change sets its grid column's width without a layout.
    const int layouts = Grid->GetWorkCounts().Layouts;
    b->SetWidth(91);
    EXPECT_EQ(Grid->GetColWidths(Grid->DataToRawColumn(1)), 91);
    EXPECT_EQ(Grid->GetWorkCounts().Layouts, layouts);
    // A column that leaves is no longer among the grid's shown columns.
    delete a;
    ASSERT_EQ(Grid->GetVisibleColumns().size(), 1u);
    EXPECT_EQ(Grid->GetVisibleColumns()[0], b);
    // Design updates nest and never go below zero.
    Cols()->BeginDesignUpdate();
    Cols()->BeginDesignUpdate();
    Cols()->EndDesignUpdate();
    EXPECT_EQ(Cols()->GetDesignUpdate(), 1);
    Cols()->EndDesignUpdate();
    Cols()->EndDesignUpdate();
    EXPECT_EQ(Cols()->GetDesignUpdate(), 0);
    EXPECT_EQ(Cols()->UpdateCount(), 0);
    // The enumerator walks every column once and can start again.
    auto e = Cols()->GetEnumerator();
    int n = 0;
    while (e.MoveNext()) n += e.GetCurrent() == b;
    e.Restart();
    EXPECT_TRUE(e.MoveNext());
    EXPECT_EQ(n, 1);
}

}  // namespace
}  // namespace veltest
