#include <gtest/gtest.h>

#include <memory>

#include "platform/classes/Alignment.h"
#include "platform/classes/Errors.h"
#include "platform/classes/Streaming.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Exceptions.h"
#include "tests/classes/TestClasses.h"
#include "tests/support/TempDir.h"

using namespace vel;
using namespace vel::testcls;

namespace {

// A second top-level form that cross references point into.
struct StreamingFixture : ::testing::Test {
    std::unique_ptr<TTestForm> Other = std::make_unique<TTestForm>(nullptr);
    TComponent* Menu = nullptr;
    TTestDataSource* OtherSource = nullptr;
    int Finder = 0;

    StreamingFixture() {
        Other->SetName("Form2");
        Menu = new TComponent(Other.get());
        Menu->SetName("Menu1");
        OtherSource = new TTestDataSource(Other.get());
        OtherSource->SetName("Source2");
        Finder = RegisterFindGlobalComponentProc([this](std::string_view n) -> TComponent* {
            return Other && n == "Form2" ? Other.get() : nullptr;
        });
    }
    ~StreamingFixture() override { UnregisterFindGlobalComponentProc(Finder); }

    // A form using every kind of property.
    std::unique_ptr<TTestForm> MakeForm() {
        auto form = std::make_unique<TTestForm>(nullptr);
        form->SetName("Form1");
        form->SetCaption("It's \"mine\"\r\nÜber");
        auto* ds = new TTestDataSet(form.get());
        ds->SetName("Table1");
        ds->SetCommandText("select *\nfrom t");
        ds->SetCommandType(TCommandType::cmdTable);
        ds->SetRatio(0.1);
        ds->SetMaxRows(5000000000LL);
        ds->SetMasterSource(OtherSource);
        ds->GetSQL()->AddStrings(std::vector<std::string>{"select", "it's", ""});
        auto* src = new TTestDataSource(form.get());
        src->SetName("Source1");
        src->SetDataSet(ds);
        src->SetEnabled(false);
        auto* panel = new TTestPanel(form.get());
        panel->SetName("Panel1");
        panel->SetCaption("Top");
        auto* grid = new TTestGrid(form.get());
        grid->SetName("Grid1");
        grid->SetParent(panel);
        grid->SetLeft(8);
        grid->SetDataSource(src);
        grid->SetOptions({TGridOption::dgTitles, TGridOption::dgColLines});
        grid->SetColor(clNone);
        grid->SetFixedColor(0x123456);
        grid->GetFont()->SetName("Arial");
        grid->GetFont()->SetSize(10);
        grid->SetReadOnly(true);
        grid->GetItems()->AddStrings(std::vector<std::string>{"a", "b"});
        grid->OrderFields = "ID;Name";
        auto* c1 = static_cast<TTestColumn*>(grid->GetColumns()->Add());
        c1->SetFieldName("ID");
        c1->SetWidth(40);
        c1->SetAlignment(TAlignment::taRightJustify);
        c1->GetTitle()->SetCaption("Key");
        c1->GetTitle()->GetFont()->SetColor(clRed);
        c1->SetPopupMenu(Menu);
        auto* c2 = static_cast<TTestColumn*>(grid->GetColumns()->Add());
        c2->SetFieldName("Name");
        c2->SetVisible(false);
        auto* grid2 = new TTestGrid(form.get());
        grid2->SetName("Grid2");
        grid2->SetMasterGrid(grid);
        grid->SetMasterGrid(grid2);  // a reference to a component read later
        return form;
    }
};

const char* const kFormText = R"(object Form1: TTestForm
  Caption = 'It''s "mine"'#13#10'Über'
  object Table1: TTestDataSet
    CommandText = 'select *'#10'from t'
    CommandType = cmdTable
    Ratio = 0.1
    MaxRows = 5000000000
    SQL.Strings = (
      'select'
      'it''s'
      '')
    MasterSource = Form2.Source2
  end
  object Source1: TTestDataSource
    DataSet = Table1
    Enabled = False
  end
  object Panel1: TTestPanel
    Caption = 'Top'
    object Grid1: TTestGrid
      Left = 8
      DataSource = Source1
      Columns = <
        item
          FieldName = 'ID'
          Width = 40
          Alignment = taRightJustify
          Title.Caption = 'Key'
          Title.Font.Color = clRed
          PopupMenu = Form2.Menu1
        end
        item
          FieldName = 'Name'
          Visible = False
        end>
      Options = [dgTitles, dgColLines]
      Color = clNone
      FixedColor = 1193046
      Font.Name = 'Arial'
      Font.Size = 10
      ReadOnly = True
      Items.Strings = (
        'a'
        'b')
      MasterGrid = Grid2
      OrderFields = 'ID;Name'
    end
  end
  object Grid2: TTestGrid
    Columns = <>
    MasterGrid = Grid1
  end
end
)";

}  // namespace

TEST_F(StreamingFixture, WritesOnlyNonDefaultValuesInReadableText) {
    auto form = MakeForm();
    EXPECT_EQ(ComponentToText(form.get()), kFormText);

    TTestForm plain(nullptr);
    new TTestGrid(&plain);  // unnamed, all defaults
    EXPECT_EQ(ComponentToText(&plain), "object TTestForm\n  object TTestGrid\n    Columns = <>\n  end\nend\n");
}

TEST_F(StreamingFixture, WriteReadWriteGivesIdenticalText) {
    std::unique_ptr<TComponent> read(ReadComponentText(kFormText));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(ComponentToText(read.get()), kFormText);

    auto* form = dynamic_cast<TTestForm*>(read.get());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetCaption(), "It's \"mine\"\r\nÜber");
    auto* grid = dynamic_cast<TTestGrid*>(form->FindComponent("Grid1"));
    auto* grid2 = dynamic_cast<TTestGrid*>(form->FindComponent("Grid2"));
    auto* panel = dynamic_cast<TTestPanel*>(form->FindComponent("Panel1"));
    auto* table = dynamic_cast<TTestDataSet*>(form->FindComponent("Table1"));
    ASSERT_TRUE(grid && grid2 && panel && table);
    EXPECT_EQ(grid->GetOwner(), form);
    EXPECT_EQ(grid->GetParent(), panel);
    EXPECT_EQ(grid->GetMasterGrid(), grid2);
    EXPECT_EQ(grid2->GetMasterGrid(), grid);
    EXPECT_EQ(grid->GetDataSource()->GetDataSet(), table);
    EXPECT_EQ(table->GetMasterSource(), OtherSource);
    EXPECT_EQ(grid->Column(0)->GetPopupMenu(), Menu);
    EXPECT_EQ(grid->Column(0)->GetTitle()->GetFont()->GetColor(), clRed);
    EXPECT_EQ(grid->Column(1)->GetWidth(), 64);  // not stored, so still the default
    EXPECT_EQ(table->GetSQL()->ToStringArray(), (std::vector<std::string>{"select", "it's", ""}));
    EXPECT_EQ(grid->OrderFields, "ID;Name");
    EXPECT_DOUBLE_EQ(table->GetRatio(), 0.1);

    // Loaded ran once per component, after every reference was resolved.
    EXPECT_EQ(form->LoadedCount, 1);
    EXPECT_EQ(grid->LoadedCount, 1);
    EXPECT_EQ(grid2->LoadedCount, 1);
    EXPECT_EQ(panel->LoadedCount, 1);
    EXPECT_TRUE(grid->DataSourceSetAtLoaded);
    for (int i = 0; i < form->ComponentCount(); ++i) {
        EXPECT_FALSE(form->GetComponent(i)->IsLoading());
        EXPECT_FALSE(form->GetComponent(i)->GetComponentState().Contains(TComponentStateFlag::csReading));
    }
    EXPECT_FALSE(form->IsLoading());
}

TEST(Streaming, WholeNumbersBeyondSixtyFourBitsReadBackAsNumbers) {
    for (double v : {1.6830076907473193e19, -1.2345678901234567e19, 1e300, 123456789012345678.0}) {
        TTestDataSet table(nullptr);
        table.SetName("Table1");
        table.SetRatio(v);
        const std::string text = ComponentToText(&table);
        std::unique_ptr<TComponent> read;
        ASSERT_NO_THROW(read.reset(ReadComponentText(text))) << text;
        EXPECT_EQ(dynamic_cast<TTestDataSet*>(read.get())->GetRatio(), v) << text;
        EXPECT_EQ(ComponentToText(read.get()), text);
    }
}

TEST_F(StreamingFixture, ReferencesFromALoadedFormAreClearedWhenTargetsDie) {
    std::unique_ptr<TComponent> form(ReadComponentText(kFormText));
    auto* grid = static_cast<TTestGrid*>(form->FindComponent("Grid1"));
    auto* table = static_cast<TTestDataSet*>(form->FindComponent("Table1"));
    Other.reset();  // frees Menu1 and Source2 on the other form
    EXPECT_EQ(grid->Column(0)->GetPopupMenu(), nullptr);
    EXPECT_EQ(table->GetMasterSource(), nullptr);
    delete form->FindComponent("Source1");
    EXPECT_EQ(grid->GetDataSource(), nullptr);
    delete form->FindComponent("Grid2");
    EXPECT_EQ(grid->GetMasterGrid(), nullptr);
    form.reset();  // the panel and the rest go without touching freed memory
}

TEST_F(StreamingFixture, ReadsIntoAnExistingInstance) {
    TTestForm form(nullptr);
    EXPECT_EQ(ReadComponentText("object Main: TTestForm\n  Color = clRed\n"
                                "  object Ds: TTestDataSet\n  end\nend\n",
                                &form),
              &form);
    EXPECT_EQ(form.GetName(), "Main");
    EXPECT_EQ(form.GetColor(), clRed);
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.LoadedCount, 1);
    // The instance must be of the text's class.
    TTestDataSet ds(nullptr);
    EXPECT_THROW(ReadComponentText("object X: TTestForm\nend", &ds), EReadError);
}

TEST_F(StreamingFixture, TextSyntaxVariantsAreAccepted) {
    std::unique_ptr<TComponent> c(ReadComponentText(
        "OBJECT F: ttestform\r\n"
        "  Caption = 'a' +\n    'b'#$41#1055\n"
        "  object G: TTestGrid Options = [] FixedColor = $00FF0000 Color = -16777211\n"
        "    Columns = < item [0] FieldName = 'x' end >\n"
        "    DataSource = nil\n"
        "  End\n"
        "end"));
    auto* f = static_cast<TTestForm*>(c.get());
    EXPECT_EQ(f->GetCaption(), "abA\xD0\x9F");
    auto* g = static_cast<TTestGrid*>(f->FindComponent("G"));
    EXPECT_TRUE(g->GetOptions().Empty());
    EXPECT_EQ(g->GetFixedColor(), clBlue);
    EXPECT_EQ(g->GetColor(), clWindow);
    EXPECT_EQ(g->Column(0)->GetFieldName(), "x");
}

TEST(FormStrings, Quoting) {
    EXPECT_EQ(QuoteFormString(""), "''");
    EXPECT_EQ(QuoteFormString("It's"), "'It''s'");
    EXPECT_EQ(QuoteFormString("\t"), "#9");
    EXPECT_EQ(QuoteFormString("a\r\nb\x7f"), "'a'#13#10'b'#127");
}

TEST_F(StreamingFixture, BadTextNamesTheLineAndTheProblem) {
    struct Case {
        const char* Text;
        const char* Message;
    };
    const Case cases[] = {
        {"object F: TTestForm\n  object X: TNoSuchClass\n  end\nend", "Line 2: Class TNoSuchClass not found"},
        {"object F: TTestForm\n  Caption = 'x'\n  Bogus = 1\nend",
         "Line 3: Property Bogus does not exist in F (TTestForm)"},
        {"object F: TTestForm\n  Caption = 12\nend", "Line 2: Property Caption expects a string, not an integer"},
        {"object F: TTestForm\n  Color = 'red'\nend", "Line 2: Property Color expects an integer, not a string"},
        {"object F: TTestForm\n  Color = clPink\nend", "Line 2: Invalid value 'clPink' for property Color"},
        {"object F: TTestForm\n  object G: TTestGrid\n    Options = [dgTitles, dgNope]\n  end\nend",
         "Line 3: Invalid value 'dgNope' for property Options"},
        {"object F: TTestForm\n  object G: TTestGrid\n    ReadOnly = Maybe\n  end\nend",
         "Line 3: Invalid value 'Maybe' for property ReadOnly"},
        {"object F: TTestForm\n  object G: TTestGrid\n    LinesCount = 9999999999\n  end\nend",
         "Line 3: Value 9999999999 is out of range for property LinesCount"},
        {"object F: TTestForm\n  object G: TTestGrid\n    Left = 1\n", "Line 4: Unterminated object G begun on line 2: missing 'end'"},
        {"object F: TTestForm\n  Caption = 'abc\nend", "Line 2: Unterminated string"},
        {"object F: TTestForm\n  object G: TTestGrid\n    DataSource = Source9\n  end\nend",
         "Line 3: Property DataSource refers to Source9, which does not exist"},
        {"object F: TTestForm\n  object G: TTestGrid\n    DataSource = Form2.Nothing\n  end\nend",
         "Line 3: Property DataSource refers to Form2.Nothing, which does not exist"},
        {"object F: TTestForm\n  object T: TTestDataSet\n  end\n  object G: TTestGrid\n    DataSource = T\n  end\nend",
         "Line 5: Error setting DataSource to T: A TTestDataSet cannot be assigned to property DataSource of type TTestDataSource."},
        {"object F: TTestForm\n  object A: TTestGrid\n  end\n  object A: TTestGrid\n  end\nend",
         "Line 4: A component named A already exists in F."},
        {"object F: TTestForm\n  object G: TTestGrid\n    Columns = < item Bogus = 1 end >\n  end\nend",
         "Line 3: Property Bogus does not exist in TTestColumn (TTestColumn)"},
        {"object F: TTestForm\n  object G: TTestGrid\n    Columns = < item FieldName = 'a'\n  end\nend",
         "Line 5: Expected 'item' or '>' in a collection but found 'end'"},
        {"object F: TTestForm\n  object G: TTestGrid\n    Font = 1\n  end\nend",
         "Line 3: Property Font expects a component name, not an integer"},
        {"object F: TTestForm\n  object G: TTestGrid\n    Items.Strings = ( 'a' 1 )\n  end\nend",
         "Line 3: Property Strings expects strings in its list, not an integer"},
        {"object F: TTestForm\n  object G: TTestGrid\n    OrderFields = 1\n  end\nend",
         "Line 3: Property OrderFields expects a string, not an integer"},
        {"object F: TTestForm\n  object D: TTestDataSet\n    RecordCount = 3\n  end\nend",
         "Line 3: Property RecordCount is read-only"},
        {"object F: TTestForm\nend\nobject", "Line 3: Unexpected 'object' after the last 'end'"},
        {"object F: TTestForm\n  Caption = @\nend", "Line 2: Unexpected character '@'"},
        {"object F: TComponent\n  object P: TTestPanel\n    DataSource = x\n  end\nend",
         "Line 3: Property DataSource does not exist in P (TTestPanel)"},
    };
    for (const Case& c : cases) {
        try {
            std::unique_ptr<TComponent> r(ReadComponentText(c.Text));
            ADD_FAILURE() << "accepted: " << c.Text;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), c.Message) << c.Text;
        }
    }
    EXPECT_THROW(ReadComponentText("object X: TNoSuchClass\nend"), EClassNotFound);
}

TEST_F(StreamingFixture, AFailedReadIntoAnInstanceFreesWhatItCreated) {
    TTestForm form(nullptr);
    auto* kept = new TTestGrid(&form);
    kept->SetName("Kept");
    EXPECT_THROW(ReadComponentText("object F: TTestForm\n  object A: TTestGrid\n  end\n"
                                   "  object B: TTestGrid\n    MasterGrid = Missing\n  end\nend",
                                   &form),
                 EReadError);
    ASSERT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.GetComponent(0), kept);
    EXPECT_FALSE(form.IsLoading());
}

TEST_F(StreamingFixture, ACollectionReplacedLaterDropsItsPendingReferences) {
    std::unique_ptr<TComponent> form(ReadComponentText(
        "object F: TTestForm\n  object G: TTestGrid\n"
        "    Columns = < item PopupMenu = Form2.Menu1 end item end >\n"
        "    Columns = < item FieldName = 'only' end >\n  end\nend"));
    auto* g = static_cast<TTestGrid*>(form->FindComponent("G"));
    ASSERT_EQ(g->GetColumns()->Count(), 1);
    EXPECT_EQ(g->Column(0)->GetPopupMenu(), nullptr);
}

TEST_F(StreamingFixture, CollectionsAndComponentsOnTheirOwnAndInFiles) {
    auto form = MakeForm();
    auto* grid = static_cast<TTestGrid*>(form->FindComponent("Grid1"));
    std::string text = CollectionToText(grid->GetColumns());
    EXPECT_EQ(text.substr(0, 8), "<\n  item");

    TCollection copy(TTestColumn::StaticClass());
    ReadCollectionText(text, &copy);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(static_cast<TTestColumn*>(copy.GetItem(0))->GetPopupMenu(), Menu);
    EXPECT_EQ(CollectionToText(&copy), text);
    // A reference into the root given for the collection.
    TCollection local(TTestColumn::StaticClass());
    ReadCollectionText("<item PopupMenu = Grid2 end>", &local, form.get());
    EXPECT_EQ(static_cast<TTestColumn*>(local.GetItem(0))->GetPopupMenu(), form->FindComponent("Grid2"));
    EXPECT_THROW(ReadCollectionText("<item PopupMenu = Grid2 end>", &local), EReadError);
    EXPECT_THROW(ReadCollectionText("object X: TTestForm end", &local), EReadError);

    veltest::TempDir dir;
    std::string file = dir.File("columns.clm");
    SaveCollectionToFile(grid->GetColumns(), file);
    TCollection fromFile(TTestColumn::StaticClass());
    LoadCollectionFromFile(file, &fromFile);
    EXPECT_EQ(CollectionToText(&fromFile), text);

    std::string formFile = dir.File("form.txt");
    SaveComponentToFile(form.get(), formFile);
    std::unique_ptr<TComponent> loaded(LoadComponentFromFile(formFile));
    EXPECT_EQ(ComponentToText(loaded.get()), kFormText);
    EXPECT_FALSE(std::filesystem::exists(formFile + ".tmp"));
    EXPECT_THROW(LoadComponentFromFile(dir.File("missing.txt")), EFOpenError);

    TStringStream stream;
    WriteComponent(&stream, form.get());
    WriteCollection(&stream, grid->GetColumns());
    EXPECT_EQ(stream.GetDataString(), std::string(kFormText) + text);
    TStringStream formOnly(kFormText);
    std::unique_ptr<TComponent> fromStream(ReadComponent(&formOnly));
    EXPECT_EQ(ComponentToText(fromStream.get()), kFormText);
    TStringStream collOnly(text);
    TCollection fromStream2(TTestColumn::StaticClass());
    ReadCollection(&collOnly, &fromStream2);
    EXPECT_EQ(fromStream2.Count(), 2);
}

namespace {
// Publishes Mode but never writes it: the same name is stream data of its own, which reads
// the value back in capitals.
class TOwnDataControl : public TTestControl {
    VEL_CLASS(TOwnDataControl)
public:
    explicit TOwnDataControl(TComponent* AOwner) : TTestControl(AOwner) {}
    const std::string& GetMode() const { return FMode; }
    void SetMode(const std::string& Value) { FMode = Value; }
    const std::string& GetNote() const { return FNote; }
    void SetNote(const std::string& Value) { FNote = Value; }
    void DefineProperties(TFiler& Filer) override {
        TTestControl::DefineProperties(Filer);
        Filer.DefineProperty(
            "Mode", [this](TReader& R) { FMode = "<" + R.ReadString() + ">"; },
            [this](TWriter& W) { W.WriteString(FMode); }, !FMode.empty());
    }

private:
    std::string FMode, FNote;
};
}  // namespace

VEL_DEFINE_CREATABLE_CLASS(TOwnDataControl, TTestControl)
VEL_PUBLISHED(TOwnDataControl) {
    Prop("Mode", &T::GetMode, &T::SetMode).Stored(false);
    Prop("Note", &T::GetNote, &T::SetNote).Stored(false);
}

TEST(Streaming, APublishedPropertyNeverWrittenGivesWayToDefinedDataOfTheSameName) {
    TOwnDataControl c(nullptr);
    c.SetName("C");
    c.SetMode("m");
    c.SetNote("n");
    const std::string text = ComponentToText(&c);
    EXPECT_NE(text.find("Mode = 'm'"), std::string::npos) << text;
    EXPECT_EQ(text.find("Note"), std::string::npos) << text;
    TOwnDataControl read(nullptr);
    ReadComponentText("object C: TOwnDataControl\n  Mode = 'x'\n  Note = 'y'\nend", &read);
    // Mode went through the defined reader; Note, defined by nobody, through its setter.
    EXPECT_EQ(read.GetMode(), "<x>");
    EXPECT_EQ(read.GetNote(), "y");
}
