#include <fstream>

#include <gtest/gtest.h>

#include "tests/db/DbTestUtil.h"
#include "tests/support/TempDir.h"

using namespace vel;
using veltest::Ids;
using veltest::MakeTable;

namespace {

std::unique_ptr<TClientDataSet> People() {
    auto ds = std::make_unique<TClientDataSet>();
    ds->GetFieldDefs().Add("ID", TFieldType::ftInteger);
    ds->GetFieldDefs().Add("Name", TFieldType::ftString, 20);
    ds->GetFieldDefs().Add("City", TFieldType::ftString, 20);
    ds->CreateDataSet();
    const char* rows[][2] = {{"bob", "Rome"}, {"Alice", "Oslo"}, {"carl", "Rome"}, {"Bea", "Oslo"}, {"adam", "Bonn"}};
    int id = 1;
    for (auto& r : rows) {
        ds->Append();
        ds->FieldByName("ID")->SetAsInteger(id++);
        ds->FieldByName("Name")->SetAsString(r[0]);
        ds->FieldByName("City")->SetAsString(r[1]);
        ds->Post();
    }
    return ds;
}

TEST(MemTable, ReportsItsClassNames) {
    TClientDataSet cds;
    TFDMemTable fd;
    EXPECT_EQ(cds.ClassName(), "TClientDataSet");
    EXPECT_EQ(fd.ClassName(), "TFDMemTable");
    EXPECT_TRUE(cds.InheritsFrom("TDataSet"));
    EXPECT_FALSE(fd.InheritsFrom("TClientDataSet"));
}

TEST(MemTable, IndexFieldNamesSortsAndKeepsTheCurrentRecord) {
    auto ds = People();
    ds->First();
    ds->Next();  // Alice, ID 2
    ds->SetIndexFieldNames("Name");
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 2);
    EXPECT_EQ(Ids(*ds), (std::vector<int>{2, 4, 5, 1, 3}));  // byte order: upper case first
    ds->SetIndexFieldNames("City;Name");
    EXPECT_EQ(Ids(*ds), (std::vector<int>{5, 2, 4, 1, 3}));
    EXPECT_THROW(ds->SetIndexFieldNames("Nope"), EDatabaseError);
    EXPECT_EQ(ds->GetIndexFieldNames(), "City;Name");
    EXPECT_EQ(Ids(*ds), (std::vector<int>{5, 2, 4, 1, 3}));
}

TEST(MemTable, IndexDefsWithDescendingAndCaseInsensitiveFields) {
    auto ds = People();
    ds->AddIndex("ByCityDescName", "City;Name", {}, "City", "Name");
    ds->GetIndexDefs().Update();
    TIndexDef* d = ds->GetIndexDefs().Find("bycitydescname");
    EXPECT_EQ(d->GetDescFields(), "City");
    ds->SetIndexName("ByCityDescName");
    EXPECT_EQ(Ids(*ds), (std::vector<int>{1, 3, 2, 4, 5}));
    ds->AddIndex("NameCI", "Name", {TIndexOption::ixCaseInsensitive, TIndexOption::ixDescending});
    ds->SetIndexName("NameCI");
    EXPECT_EQ(Ids(*ds), (std::vector<int>{3, 1, 4, 2, 5}));
    EXPECT_TRUE(ds->GetIndexFieldNames().empty());
    ds->DeleteIndex("NameCI");
    EXPECT_TRUE(ds->GetIndexName().empty());
    EXPECT_EQ(Ids(*ds), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_THROW(ds->GetIndexDefs().Find("NameCI"), EDatabaseError);
    EXPECT_THROW(ds->SetIndexName("NameCI"), EDatabaseError);
}

TEST(MemTable, FDMemTableSuffixes) {
    TFDMemTable t;
    t.GetFieldDefs().Add("Name", TFieldType::ftString, 10);
    t.GetFieldDefs().Add("N", TFieldType::ftInteger);
    t.CreateDataSet();
    const char* names[] = {"b", "A", "a", "C"};
    int n = 0;
    for (const char* s : names) {
        t.Append();
        t.FieldByName("Name")->SetAsString(s);
        t.FieldByName("N")->SetAsInteger(n++);
        t.Post();
    }
    t.SetIndexFieldNames("Name:D");
    EXPECT_EQ(Ids(t, "N"), (std::vector<int>{0, 2, 3, 1}));
    t.SetIndexFieldNames("Name:N;N:D");
    EXPECT_EQ(Ids(t, "N"), (std::vector<int>{2, 1, 0, 3}));
    t.SetIndexFieldNames("Name:A");
    EXPECT_EQ(Ids(t, "N"), (std::vector<int>{1, 3, 2, 0}));
    EXPECT_THROW(t.SetIndexFieldNames("Name:X"), EDatabaseError);
}

TEST(MemTable, BookmarksFollowTheIndexAndDieWithTheirRecord) {
    auto ds = People();
    ds->SetIndexFieldNames("Name");
    ds->First();
    TBookmark alice = ds->GetBookmark();  // first by name
    ds->Last();
    TBookmark carl = ds->GetBookmark();
    EXPECT_EQ(ds->CompareBookmarks(alice, carl), -1);
    EXPECT_EQ(ds->CompareBookmarks(carl, alice), 1);
    EXPECT_EQ(ds->CompareBookmarks(carl, carl), 0);
    EXPECT_EQ(ds->CompareBookmarks({}, carl), 1);
    ds->AddIndex("Desc", "Name", {TIndexOption::ixDescending});
    ds->SetIndexName("Desc");
    EXPECT_EQ(ds->CompareBookmarks(alice, carl), 1);
    ds->GotoBookmark(alice);
    EXPECT_EQ(ds->FieldByName("Name")->GetAsString(), "Alice");
    EXPECT_EQ(ds->GetRecNo(), 5);
    ds->Delete();
    EXPECT_FALSE(ds->BookmarkValid(alice));
    EXPECT_TRUE(ds->BookmarkValid(carl));
    EXPECT_THROW(ds->GotoBookmark(alice), EDatabaseError);
    // A new record never takes a deleted record's identity.
    ds->Append();
    ds->FieldByName("Name")->SetAsString("Alice");
    ds->Post();
    EXPECT_FALSE(ds->BookmarkValid(alice));
}

TEST(MemTable, RecNoAndEditRepositionsInTheIndex) {
    auto ds = MakeTable(10);
    ds->SetIndexFieldNames("ID");
    ds->SetRecNo(4);
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 4);
    ds->Edit();
    ds->FieldByName("ID")->SetAsInteger(100);
    ds->Post();
    EXPECT_EQ(ds->GetRecNo(), 10);
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 100);
    ds->Prior();
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 10);
}

TEST(MemTable, InternalCalcFieldsAreWrittenThroughPostAndSortedOn) {
    auto ds = People();
    ds->Close();
    // The tree view adds its fields this way: persistent internal calculated fields.
    ds->SetAutoCreateMode(TAutoCreateMode::acCombineAlways);
    TFieldDef* def = ds->GetFieldDefs().Add("RowOrder", TFieldType::ftString, 80);
    def->SetInternalCalcField(true);
    TField* order = def->CreateField(ds.get());
    order->SetVisible(false);
    ds->Open();
    EXPECT_EQ(order->GetFieldKind(), TFieldKind::fkInternalCalc);
    EXPECT_EQ(ds->GetRecordCount(), 5);
    const char* keys[] = {" 3", " 1 2", " 1", " 1 2 5", " 4"};
    ds->First();
    for (const char* k : keys) {
        EXPECT_TRUE(order->IsNull());
        ds->Edit();
        order->SetAsString(k);
        ds->Post();
        ds->Next();
    }
    ds->SetIndexFieldNames("RowOrder");
    EXPECT_EQ(Ids(*ds), (std::vector<int>{3, 2, 4, 1, 5}));
    // Values survive a close and reopen of the table.
    ds->Close();
    ds->Open();
    EXPECT_EQ(Ids(*ds), (std::vector<int>{3, 2, 4, 1, 5}));
}

TEST(MemTable, CalculatedAndLookupFields) {
    auto cities = std::make_unique<TClientDataSet>();
    cities->GetFieldDefs().Add("Code", TFieldType::ftString, 10);
    cities->GetFieldDefs().Add("Country", TFieldType::ftString, 20);
    cities->CreateDataSet();
    for (auto [c, n] : {std::pair{"Rome", "Italy"}, std::pair{"Oslo", "Norway"}}) {
        cities->Append();
        cities->FieldByName("Code")->SetAsString(c);
        cities->FieldByName("Country")->SetAsString(n);
        cities->Post();
    }
    auto ds = People();
    ds->Close();
    ds->SetAutoCreateMode(TAutoCreateMode::acCombineAlways);
    auto* upper = new TStringField(ds.get());
    upper->SetFieldName("Upper");
    upper->SetFieldKind(TFieldKind::fkCalculated);
    upper->SetDataSet(ds.get());
    auto* country = new TStringField(ds.get());
    country->SetFieldName("Country");
    country->SetFieldKind(TFieldKind::fkLookup);
    country->SetLookupDataSet(cities.get());
    country->SetKeyFields("City");
    country->SetLookupKeyFields("Code");
    country->SetLookupResultField("Country");
    country->SetDataSet(ds.get());
    ds->SetOnCalcFields([](TDataSet* d) {
        EXPECT_EQ(d->GetState(), TDataSetState::dsCalcFields);
        std::string s = d->FieldByName("Name")->GetAsString();
        for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        d->FieldByName("Upper")->SetAsString(s);
    });
    ds->Open();
    ds->First();
    EXPECT_EQ(upper->GetAsString(), "BOB");
    EXPECT_EQ(country->GetAsString(), "Italy");
    ds->Last();
    EXPECT_EQ(upper->GetAsString(), "ADAM");
    EXPECT_TRUE(country->IsNull());  // Bonn is not in the lookup table
    ds->Edit();
    ds->FieldByName("City")->SetAsString("Oslo");
    EXPECT_EQ(country->GetAsString(), "Norway");  // recalculated on the field change
    ds->Cancel();
    // Calculated fields can be filtered on; they are evaluated per record.
    ds->SetFilter("Country = 'Norway'");
    ds->SetFiltered(true);
    EXPECT_EQ(Ids(*ds), (std::vector<int>{2, 4}));
    EXPECT_THROW(ds->SetIndexFieldNames("Upper"), EDatabaseError);
}

TEST(MemTable, FieldTextAndValidation) {
    TClientDataSet ds;
    ds.GetFieldDefs().Add("S", TFieldType::ftSmallint);
    ds.GetFieldDefs().Add("W", TFieldType::ftWideString, 4);
    ds.GetFieldDefs().Add("F", TFieldType::ftFloat);
    ds.GetFieldDefs().Add("B", TFieldType::ftBoolean);
    ds.GetFieldDefs().Add("Req", TFieldType::ftString, 5, true);
    ds.GetFieldDefs().Add("M", TFieldType::ftMemo);
    ds.CreateDataSet();
    ds.Append();
    EXPECT_THROW(ds.FieldByName("S")->SetAsInteger(40000), EDatabaseError);
    ds.FieldByName("W")->SetAsString("éèçàü");  // cut to 4 characters
    EXPECT_EQ(ds.FieldByName("W")->GetAsString(), "éèçà");
    auto* f = static_cast<TFloatField*>(ds.FieldByName("F"));
    f->SetAsFloat(1234.5);
    f->SetDisplayFormat("#,##0.00");
    EXPECT_EQ(f->GetDisplayText(), "1,234.50");
    EXPECT_EQ(f->GetText(), "1,234.50");  // the display format also edits without EditFormat
    f->SetEditFormat("0.0");
    EXPECT_EQ(f->GetText(), "1234.5");
    auto* b = static_cast<TBooleanField*>(ds.FieldByName("B"));
    b->SetDisplayValues("Yes;No");
    b->SetText("n");
    EXPECT_EQ(b->GetDisplayText(), "No");
    EXPECT_THROW(b->SetText("maybe"), EDatabaseError);
    ds.FieldByName("M")->SetAsString(std::string(1000, 'x'));
    EXPECT_THROW(ds.Post(), EDatabaseError);  // Req is required
    EXPECT_EQ(ds.GetState(), TDataSetState::dsInsert);
    int validated = 0;
    ds.FieldByName("Req")->SetOnValidate([&](TField*) { ++validated; });
    ds.FieldByName("Req")->SetOnGetText([](TField* s, std::string& t, bool display) {
        t = display ? "<" + s->GetAsString() + ">" : s->GetAsString();
    });
    ds.FieldByName("Req")->SetAsString("abcdefgh");
    EXPECT_EQ(validated, 1);
    EXPECT_EQ(ds.FieldByName("Req")->GetDisplayText(), "<abcde>");
    ds.Post();
    EXPECT_EQ(ds.FieldByName("M")->GetAsString().size(), 1000u);
    EXPECT_THROW(ds.FieldByName("Req")->SetAsString("x"), EDatabaseError);  // not editing
}

TEST(MemTable, SaveAndLoadRoundTripAndDamagedFilesChangeNothing) {
    veltest::TempDir dir;
    auto ds = People();
    ds->AddIndex("ByName", "Name", {TIndexOption::ixCaseInsensitive});
    ds->First();
    ds->Edit();
    ds->FieldByName("City")->Clear();
    ds->Post();
    std::string file = dir.File("people.vmt");
    ds->SaveToFile(file);

    TClientDataSet copy;
    copy.SetFileName(file);
    copy.SetIndexName("ByName");
    copy.Open();
    EXPECT_EQ(copy.GetFieldCount(), 3);
    EXPECT_EQ(Ids(copy), (std::vector<int>{5, 2, 4, 1, 3}));
    copy.SetIndexName("");
    copy.First();
    EXPECT_TRUE(copy.FieldByName("City")->IsNull());

    std::string bytes = veltest::ReadFileText(file);
    for (std::size_t cut : {std::size_t(0), std::size_t(7), bytes.size() / 2, bytes.size() - 1}) {
        std::string broken = bytes.substr(0, cut);
        veltest::WriteFileText(dir.File("bad.vmt"), broken);
        EXPECT_THROW(copy.LoadFromFile(dir.File("bad.vmt")), EDatabaseError);
        EXPECT_TRUE(copy.GetActive());
        EXPECT_EQ(copy.GetRecordCount(), 5);
    }
    std::string flipped = bytes;
    flipped[flipped.size() / 2] ^= 0x20;
    veltest::WriteFileText(dir.File("bad.vmt"), flipped);
    EXPECT_THROW(copy.LoadFromFile(dir.File("bad.vmt")), EDatabaseError);
    EXPECT_THROW(copy.LoadFromFile(dir.File("missing.vmt")), EDatabaseError);
    EXPECT_EQ(Ids(copy), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(std::ifstream(file + ".tmp").good());
}

TEST(MemTable, OpeningWithoutDataOrDefinitionsRaises) {
    TClientDataSet ds;
    EXPECT_THROW(ds.Open(), EDatabaseError);
    EXPECT_THROW(ds.CreateDataSet(), EDatabaseError);
    ds.GetFieldDefs().Add("X", TFieldType::ftInteger);
    EXPECT_THROW(ds.GetFieldDefs().Add("x", TFieldType::ftString, 3), EDatabaseError);
    EXPECT_THROW(ds.GetFieldDefs().Add("Y", TFieldType::ftString, 0), EDatabaseError);
    ds.CreateDataSet();
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_EQ(ds.GetRecNo(), -1);
    EXPECT_THROW(ds.Delete(), EDatabaseError);
    ds.SetReadOnly(true);
    EXPECT_THROW(ds.Append(), EDatabaseError);
}

TEST(MemTable, AutomaticFieldsGoOnClosePersistentOnesStay) {
    auto ds = People();
    TField* id = ds->FieldByName("ID");
    EXPECT_TRUE(id->GetAutomatic());
    ds->Close();
    EXPECT_EQ(ds->GetFieldCount(), 0);
    ds->Open();
    EXPECT_EQ(ds->GetFieldCount(), 3);
    ds->Close();
    auto* name = new TStringField(ds.get());
    name->SetFieldName("Name");
    name->SetDataSet(ds.get());
    ds->Open();
    EXPECT_EQ(ds->GetFieldCount(), 1);  // persistent fields only
    EXPECT_EQ(ds->GetFields()[0], name);
    ds->Close();
    EXPECT_EQ(ds->GetFieldCount(), 1);
}

}  // namespace

#include "platform/classes/PropAccess.h"
#include "platform/db/DBTypes.h"

namespace {

TEST(MemTable, OrderingAndFilterPropertiesAreReachedByName) {
    auto ds = People();
    TFDMemTable fd;
    for (TObject* o : {static_cast<TObject*>(ds.get()), static_cast<TObject*>(&fd)})
        for (const char* p : {"IndexFieldNames", "IndexName", "IndexDefs", "Filter", "Filtered",
                              "Active"})
            EXPECT_TRUE(IsPublishedProp(o, p)) << p;
    // The command test of the ordering registry reads these on client datasets only.
    EXPECT_TRUE(IsPublishedProp(ds.get(), "CommandText"));
    EXPECT_TRUE(IsPublishedProp(ds.get(), "FileName"));
    EXPECT_FALSE(IsPublishedProp(&fd, "CommandText"));
    EXPECT_FALSE(IsPublishedProp(ds.get(), "SQL"));
    SetStrProp(ds.get(), "IndexFieldNames", "Name");
    EXPECT_EQ(Ids(*ds), (std::vector<int>{2, 4, 5, 1, 3}));
    EXPECT_EQ(GetStrProp(ds.get(), "IndexFieldNames"), "Name");
    ds->AddIndex("ByCity", "City", {});
    auto* defs = dynamic_cast<TIndexDefs*>(GetObjectProp(ds.get(), "IndexDefs"));
    ASSERT_NE(defs, nullptr);
    defs->Update();
    EXPECT_EQ(defs->Find("ByCity")->GetFields(), "City");
    SetStrProp(ds.get(), "IndexName", "ByCity");
    EXPECT_EQ(GetStrProp(ds.get(), "IndexFieldNames"), "");
    SetStrProp(ds.get(), "Filter", "City = 'Rome'");
    SetEnumProp(ds.get(), "Filtered", "True");
    EXPECT_EQ(ds->GetRecordCount(), 2);
    TDataSource src;
    src.SetDataSet(ds.get());
    EXPECT_EQ(GetStrProp(&src, "DataSet.IndexName"), "ByCity");
}

}  // namespace

namespace {

TEST(MemTable, LocateWithPartialAndCaseInsensitiveMultiFieldKeys) {
    auto ds = People();
    ds->SetIndexFieldNames("Name");
    ds->First();
    EXPECT_TRUE(ds->Locate("City;Name", VarArrayOf({"Rome", "carl"}), {}));
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 3);
    EXPECT_FALSE(ds->Locate("City;Name", VarArrayOf({"rome", "CA"}), {TLocateOption::loPartialKey}));
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 3);  // unchanged when nothing is found
    EXPECT_TRUE(ds->Locate("City;Name", VarArrayOf({"rome", "B"}),
                           {TLocateOption::loPartialKey, TLocateOption::loCaseInsensitive}));
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 1);
    // Only the last key is compared as a prefix.
    EXPECT_FALSE(ds->Locate("Name;City", VarArrayOf({"bo", "Rome"}), {TLocateOption::loPartialKey}));
    EXPECT_TRUE(ds->Locate("ID", 4, {}));
    EXPECT_EQ(ds->FieldByName("Name")->GetAsString(), "Bea");
    EXPECT_THROW(ds->Locate("City;Name", "Rome", {}), EDatabaseError);
    EXPECT_THROW(ds->Locate("Nope", 1, {}), EDatabaseError);
    // Under a filter only visible records are found.
    ds->SetFilter("City <> 'Rome'");
    ds->SetFiltered(true);
    EXPECT_FALSE(ds->Locate("ID", 1, {}));
    EXPECT_TRUE(ds->Locate("Name", "adam", {}));
}

TEST(MemTable, LookupAndFieldValuesLeaveTheCursorAlone) {
    auto ds = People();
    ds->First();
    Variant v = ds->Lookup("Name", "Bea", "ID;City");
    ASSERT_TRUE(v.IsArray());
    EXPECT_EQ(v.AsArray()[0].AsInteger(), 4);
    EXPECT_EQ(v.AsArray()[1].AsString(), "Oslo");
    EXPECT_TRUE(ds->Lookup("Name", "nobody", "ID").IsNull());
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 1);
    Variant pair = ds->GetFieldValues("Name;City");
    EXPECT_EQ(pair.AsArray()[0].AsString(), "bob");
    ds->Edit();
    ds->SetFieldValues("Name;City", VarArrayOf({"Bob", Variant::Null()}));
    ds->Post();
    EXPECT_TRUE(ds->FieldByName("City")->IsNull());
    EXPECT_TRUE(ds->Locate("City", Variant::Null(), {}));
    EXPECT_EQ(ds->FieldByName("Name")->GetValue().AsString(), "Bob");
}

}  // namespace
