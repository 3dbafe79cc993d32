// Columns written and read: form text with persistent columns, column files, the layout
// text (also damaged), and the display text of every field type in two locales.
#include <string>

#include "platform/classes/Streaming.h"
#include "platform/classes/Streams.h"
#include "platform/classes/Strings.h"
#include "platform/controls/Menus.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SafeFile.h"
#include "tests/grid/ColumnTestUtil.h"
#include "tests/grid/GridTestUtil.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace veltest {
namespace {

class ColumnStreamingTest : public DBGridTest {
protected:
    TVelDBGridColumns* Cols() { return Grid->GetColumns(); }
    std::string Names(TVelDBGridColumns* C = nullptr) {
        C = C ? C : Cols();
        std::string s;
        for (int i = 0; i < C->Count(); ++i) s += (i ? "," : "") + C->GetColumn(i)->GetFieldName();
        return s;
    }
    // A grid with a lookup table, a menu and customised, nested columns.
    void BuildColumns() {
        auto* lookup = new TClientDataSet(Form.get());
        lookup->SetName("Lookup1");
        auto* menu = new TPopupMenu(Form.get());
        menu->SetName("Menu1");
        TVelColumn* id = Cols()->Add();
        id->SetFieldName("ID");
        id->SetWidth(70);
        id->GetTitle()->SetCaption("Number");
        id->GetTitle()->GetFont()->SetStyle(TFontStyles{TFontStyle::fsBold});
        id->SetPopupMenu(menu);
        TVelColumn* group = Cols()->Add();
        group->GetTitle()->SetCaption("Details");
        group->SetExpandCols(2);
        group->SetExpanded(false);
        TVelColumn* name = Cols()->Add();
        name->SetFieldName("Name");
        name->GetFont()->SetColor(clMaroon);
        name->GetPickList()->SetCommaText("N1,N2");
        name->GetPickText()->SetCommaText("One,Two");
        name->SetLookupDataSet(lookup);
        name->SetLookupKeyField("Code");
        name->SetLookupResultField("Title");
        name->GetTitle()->SetHeader("Group|Sub");
        TVelColumn* price = Cols()->Add();
        price->SetFieldName("Price");
        price->SetVisible(false);
        price->SetCheckBoxValues("Y;N");
    }
};

TEST_F(ColumnStreamingTest, FormWithPersistentColumnsRoundTrips) {
    BuildColumns();
    const std::string text = ComponentToText(Form.get());
    for (const char* expected :
         {"FieldName = 'ID'", "Width = 70", "Title.Caption = 'Number'",
          "Title.Font.Style = [fsBold]", "PopupMenu = Menu1", "ExpandCols = 2", "Expanded = False",
          "Font.Color = clMaroon", "'N1'", "'Two'", "LookupDataSet = Lookup1",
          "LookupKeyField = 'Code'", "LookupResultField = 'Title'", "Title.Header = 'Group|Sub'",
          "Visible = False", "CheckBoxValues = 'Y;N'"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    // Derived and default values stay out.
    for (const char* absent : {" KeyField = ", "LookupListFields", "Title.Color", "Title.Alignment",
                               "ReadOnly", "Alignment = ", "DelimiterChar", "WordWrap"})
        EXPECT_EQ(text.find(absent), std::string::npos) << absent << "\n" << text;

    TForm read(nullptr);
    ReadComponentText(text, &read);
    auto* grid = static_cast<TVelDBGrid*>(read.FindComponent("Grid1"));
    ASSERT_NE(grid, nullptr);
    TVelDBGridColumns* cols = grid->GetColumns();
    ASSERT_EQ(cols->Count(), 4);
    EXPECT_EQ(cols->GetColumn(0)->GetTitle()->GetCaption(), "Number");
    EXPECT_EQ(cols->GetColumn(0)->GetPopupMenu(), read.FindComponent("Menu1"));
    EXPECT_EQ(cols->GetColumn(0)->GetDesignedWidth(), 70);
    EXPECT_EQ(cols->GetColumn(2)->GetParentColumn(), cols->GetColumn(1));
    EXPECT_FALSE(cols->GetColumn(1)->GetExpanded());
    EXPECT_EQ(cols->GetColumn(2)->GetLookupDataSet(), read.FindComponent("Lookup1"));
    EXPECT_EQ(cols->GetColumn(2)->GetPickText()->GetCommaText(), "One,Two");
    EXPECT_EQ(cols->GetColumn(3)->GetWidthBase(), Cols()->GetColumn(3)->GetWidthBase());
    EXPECT_EQ(ComponentToText(&read), text);
}

TEST_F(ColumnStreamingTest, GridWritesItsColumnsLastAndDropsOrderFieldsOnRead) {
    // Default columns are not the form's: nothing is written.
    auto table = MakeTable(1);
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(table.get());
    Grid->SetDataSource(source);
    ASSERT_EQ(Cols()->GetState(), TDBGridColumnsState::csDefault);
    ASSERT_GT(Cols()->Count(), 0);
    Grid->SetOrderFields("Name DESC");
    std::string text = ComponentToText(Form.get());
    EXPECT_EQ(text.find("Columns"), std::string::npos) << text;
    EXPECT_NE(text.find("OrderFields = 'Name DESC'"), std::string::npos) << text;
    Grid->SetDataSource(nullptr);

    BuildColumns();
    Grid->SetDoubleBuffered(false);
    text = ComponentToText(Form.get());
    const std::size_t columns = text.find("Columns = <");
    ASSERT_NE(columns, std::string::npos) << text;
    // After every published property of the grid.
    EXPECT_GT(columns, text.find("DoubleBuffered = False"));
    EXPECT_GT(text.find("OrderFields = 'Name DESC'"), columns);

    TForm read(nullptr);
    ReadComponentText(text, &read);
    auto* grid = static_cast<TVelDBGrid*>(read.FindComponent("Grid1"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(Names(grid->GetColumns()), "ID,,Name,Price");
    EXPECT_EQ(grid->GetOrderFields(), "");
    // A damaged value is an error naming its line.
    std::string bad = text;
    bad.replace(bad.find("OrderFields = 'Name DESC'"), 25, "OrderFields = [x]");
    TForm broken(nullptr);
    EXPECT_THROW(ReadComponentText(bad, &broken), EReadError);
}

TEST_F(ColumnStreamingTest, ColumnFilesRoundTripAndBadFilesChangeNothing) {
    BuildColumns();
    Grid->SetOrderFields("Name");
    TempDir dir;
    const std::string file = dir.File("grid.clm");
    Cols()->SaveToFile(file);
    const std::string saved = ReadFileBytes(file);
    EXPECT_EQ(saved.rfind("object", 0), 0u) << saved;
    EXPECT_NE(saved.find("OrderFields = 'Name'"), std::string::npos) << saved;

    auto* other = NewGrid("Other");
    other->GetColumns()->LoadFromFile(file);
    EXPECT_EQ(Names(other->GetColumns()), "ID,,Name,Price");
    EXPECT_EQ(other->GetOrderFields(), "Name");
    // References to the form's components are found again.
    EXPECT_EQ(other->GetColumns()->GetColumn(2)->GetLookupDataSet(),
              Form->FindComponent("Lookup1"));
    EXPECT_EQ(CollectionToText(other->GetColumns()), CollectionToText(Cols()));

    // Damaged files: an error naming the file; the columns stay as they were.
    const std::string before = CollectionToText(other->GetColumns());
    for (const std::string& bad :
         {saved.substr(0, saved.size() / 2), std::string("object X: TForm\nend\n"),
          std::string("garbage"), std::string(""),
          saved.substr(0, saved.find("FieldName")) + "Nonsense = 1\n" +
              saved.substr(saved.find("FieldName"))}) {
        const std::string damaged = dir.File("bad.clm");
        WriteFileAtomic(damaged, bad);
        try {
            other->GetColumns()->LoadFromFile(damaged);
            ADD_FAILURE() << "read: " << bad;
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find("bad.clm"), std::string::npos) << e.Message();
        }
        EXPECT_EQ(CollectionToText(other->GetColumns()), before);
        EXPECT_EQ(other->GetOrderFields(), "Name");
    }
    EXPECT_THROW(other->GetColumns()->LoadFromFile(dir.File("missing.clm")), Exception);
}

TEST_F(ColumnStreamingTest, LayoutTextRoundTripsAndAppliesLineByLine) {
    for (const char* n : {"A", "B", "C", "D"}) Cols()->Add()->SetFieldName(n);
    Cols()->GetColumn(1)->SetWidth(80);
    Cols()->GetColumn(2)->SetVisible(false);
    const std::string text = Cols()->GetSettings()->GetText();
    EXPECT_EQ(text,
              "Columns=4\nColumn1=A,64,1,0\nColumn2=B,80,1,0\nColumn3=C,64,0,0\n"
              "Column4=D,64,1,0\n");

    auto* other = NewGrid("Other");
    for (const char* n : {"D", "C", "B", "A"}) other->GetColumns()->Add()->SetFieldName(n);
    other->GetColumns()->SetSettingsText(text);
    EXPECT_EQ(Names(other->GetColumns()), "A,B,C,D");
    EXPECT_EQ(other->GetColumns()->GetSettings()->GetText(), text);

    // Damaged: a count past the lines, an unknown field, a width that is not a number, a
    // missing value; what can be applied is, the rest stays.
    other->GetColumns()->SetSettingsText(
        "Columns=9\nColumn1=C,50,1,0\nColumn2=Nope,10,1\nColumn3=B,wide,0,0\nColumn4=A\n");
    EXPECT_EQ(Names(other->GetColumns()), "C,A,B,D");
    EXPECT_EQ(other->GetColumns()->GetColumn(0)->GetWidth(), 50);
    EXPECT_TRUE(other->GetColumns()->GetColumn(0)->GetVisible());
    EXPECT_EQ(other->GetColumns()->GetColumn(2)->GetWidthBase(), 80);
    EXPECT_FALSE(other->GetColumns()->GetColumn(2)->GetVisible());
    // No count at all: nothing moves.
    other->GetColumns()->SetSettingsText("Column1=D,1,1,1\n");
    EXPECT_EQ(Names(other->GetColumns()), "C,A,B,D");
    // The stretch mode travels only with soStretchMode.
    other->GetSettings()->SetOptions(other->GetSettings()->GetOptions() +
                                     TVelSettingsOption::soStretchMode);
    EXPECT_NE(other->GetColumns()->GetSettings()->GetText().find("StretchMode=0"),
              std::string::npos);
    other->GetColumns()->SetSettingsText("Columns=0\nStretchMode=1\n");
    EXPECT_TRUE(other->GetStretchMode());
    other->GetColumns()->SetSettingsText("Columns=0\n");
    EXPECT_TRUE(other->GetStretchMode());
    // ApplySettings applies the last text again.
    other->GetColumns()->SetSettingsText("Columns=1\nColumn1=D,33,1,0\n");
    other->GetColumns()->GetColumn(0)->SetIndex(3);
    other->GetColumns()->ApplySettings();
    EXPECT_EQ(other->GetColumns()->GetColumn(0)->GetFieldName(), "D");
}

// Every field type the in-memory table stores, one record of values.
std::unique_ptr<TClientDataSet> MakeAllTypesTable() {
    using enum TFieldType;
    auto ds = std::make_unique<TClientDataSet>();
    const std::pair<const char*, TFieldType> types[] = {{"String", ftString},
                                                        {"WideString", ftWideString},
                                                        {"FixedChar", ftFixedChar},
                                                        {"Guid", ftGuid},
                                                        {"Smallint", ftSmallint},
                                                        {"Shortint", ftShortint},
                                                        {"Byte", ftByte},
                                                        {"Word", ftWord},
                                                        {"Integer", ftInteger},
                                                        {"LongWord", ftLongWord},
                                                        {"AutoInc", ftAutoInc},
                                                        {"Largeint", ftLargeint},
                                                        {"Float", ftFloat},
                                                        {"Extended", ftExtended},
                                                        {"Single", ftSingle},
                                                        {"Currency", ftCurrency},
                                                        {"BCD", ftBCD},
                                                        {"FMTBcd", ftFMTBcd},
                                                        {"Boolean", ftBoolean},
                                                        {"Date", ftDate},
                                                        {"Time", ftTime},
                                                        {"DateTime", ftDateTime},
                                                        {"TimeStamp", ftTimeStamp},
                                                        {"Memo", ftMemo},
                                                        {"WideMemo", ftWideMemo},
                                                        {"FmtMemo", ftFmtMemo},
                                                        {"Blob", ftBlob},
                                                        {"Graphic", ftGraphic},
                                                        {"Bytes", ftBytes}};
    for (const auto& [name, type] : types)
        ds->GetFieldDefs().Add(name, type, IsStringType(type) ? 40 : 0);
    ds->CreateDataSet();
    ds->Append();
    for (TField* f : ds->GetFields()) {
        switch (f->GetDataType()) {
            case ftString:
            case ftWideString:
            case ftFixedChar:
                f->SetAsString("Grüße");
                break;
            case ftGuid:
                f->SetAsString("{00000000-0000-0000-0000-000000000001}");
                break;
            case ftBoolean:
                f->SetAsBoolean(true);
                break;
            case ftDate:
            case ftTime:
            case ftDateTime:
            case ftTimeStamp:
                f->SetAsDateTime(EncodeDate(2024, 3, 9) + EncodeTime(14, 5, 6, 0));
                break;
            case ftFloat:
            case ftExtended:
            case ftSingle:
                f->SetAsFloat(1234.5);
                break;
            case ftCurrency:
            case ftBCD:
            case ftFMTBcd:
                f->SetAsFloat(1234.25);
                break;
            case ftMemo:
            case ftWideMemo:
            case ftFmtMemo:
                f->SetAsString("line");
                break;
            case ftBlob:
            case ftGraphic:
            case ftBytes:
                f->SetAsString("\x01\x02");
                break;
            case ftAutoInc:
                break;
            default:
                f->SetAsInteger(42);
        }
    }
    ds->Post();
    return ds;
}

TEST_F(ColumnStreamingTest, DisplayTextOfEveryFieldTypeInTwoLocales) {
    auto table = MakeAllTypesTable();
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(table.get());
    Grid->SetDataSource(source);
    ASSERT_EQ(Cols()->Count(), table->GetFieldCount());
    auto texts = [&] {
        std::string s;
        for (int i = 0; i < Cols()->Count(); ++i)
            s += Cols()->GetColumn(i)->GetFieldName() + "=" +
                 Cols()->GetColumn(i)->GetDisplayText() + "\n";
        return s;
    };
    std::string us, de;
    {
        TFormatSettingsScope scope(TFormatSettings::Create("en-US"));
        us = texts();
    }
    {
        TFormatSettingsScope scope(TFormatSettings::Create("de-DE"));
        de = texts();
    }
    EXPECT_EQ(us,
              "String=Grüße\nWideString=Grüße\nFixedChar=Grüße\n"
              "Guid={00000000-0000-0000-0000-000000000001}\nSmallint=42\nShortint=42\n"
              "Byte=42\nWord=42\nInteger=42\nLongWord=42\nAutoInc=1\nLargeint=42\n"
              "Float=1234.5\nExtended=1234.5\nSingle=1234.5\nCurrency=$1,234.25\n"
              "BCD=1234.25\nFMTBcd=1234.25\nBoolean=True\nDate=3/9/2024\n"
              "Time=2:05:06 PM\nDateTime=3/9/2024 2:05:06 PM\n"
              "TimeStamp=3/9/2024 2:05:06 PM\nMemo=(MEMO)\nWideMemo=(WIDEMEMO)\n"
              "FmtMemo=(FMTMEMO)\nBlob=(BLOB)\nGraphic=(GRAPHIC)\nBytes=(BYTES)\n");
    EXPECT_EQ(de,
              "String=Grüße\nWideString=Grüße\nFixedChar=Grüße\n"
              "Guid={00000000-0000-0000-0000-000000000001}\nSmallint=42\nShortint=42\n"
              "Byte=42\nWord=42\nInteger=42\nLongWord=42\nAutoInc=1\nLargeint=42\n"
              "Float=1234,5\nExtended=1234,5\nSingle=1234,5\nCurrency=1.234,25 €\n"
              "BCD=1234,25\nFMTBcd=1234,25\nBoolean=True\nDate=09.03.2024\n"
              "Time=14:05:06\nDateTime=09.03.2024 14:05:06\n"
              "TimeStamp=09.03.2024 14:05:06\nMemo=(MEMO)\nWideMemo=(WIDEMEMO)\n"
              "FmtMemo=(FMTMEMO)\nBlob=(BLOB)\nGraphic=(GRAPHIC)\nBytes=(BYTES)\n");
    // The grid's text hook has the last word, before the multi-value rule.
    Grid->SetOnColGetText([](TVelColumn*, std::string& Text, TTextKind Kind) {
        if (Kind == TTextKind::tkDisplay) Text = "<" + Text + ">";
    });
    EXPECT_EQ(Cols()->GetColumn(0)->GetDisplayText(), "<Grüße>");
    Grid->SetDataSource(nullptr);
}

}  // namespace
}  // namespace veltest
