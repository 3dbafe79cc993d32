// Opening, reading through the hooks, the value cache and native conversions.
#include <gtest/gtest.h>

#include <memory>

#include "tests/data/RowsData.h"

using namespace vel;
using veltest::TCountingData;
using veltest::TRowsData;
using veltest::TWindowLink;

namespace {

TEST(CustomDataOpen, BaseClassIsAnEmptyDatasetWithoutRecordNumber) {
    TVelDBCustomData ds;
    EXPECT_THROW(ds.GetRecNo(), EDatabaseError);  // closed
    ds.Open();
    EXPECT_EQ(ds.GetRecordCount(), 0);
    EXPECT_EQ(ds.GetRecNo(), -1);
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_TRUE(ds.GetBOF() && ds.GetEOF());
    EXPECT_THROW(ds.Locate("X", 1, {}), EDatabaseError);
    ds.Insert();  // the base hooks take the row and give nothing back
    ds.Post();
    EXPECT_EQ(ds.GetRecordCount(), 1);
    EXPECT_EQ(ds.GetRecNo(), 1);
}

TEST(CustomDataOpen, RecordCountIsFixedWhileOpen) {
    TRowsData ds(3);
    ds.Open();
    EXPECT_EQ(ds.CountCalls, 1);
    EXPECT_EQ(ds.GetRecordCount(), 3);
    EXPECT_THROW(ds.SetRecordCount(10), EDatabaseError);
    // A source that grows behind the dataset's back is seen after reopening.
    ds.Rows.push_back(ds.Rows[0]);
    ds.Refresh();
    EXPECT_EQ(ds.GetRecordCount(), 3);
    ds.Close();
    EXPECT_EQ(ds.GetRecordCount(), 0);
    ds.SetRecordCount(-5);
    EXPECT_EQ(ds.GetRecordCount(), 0);
    ds.Open();
    EXPECT_EQ(ds.GetRecordCount(), 4);
}

TEST(CustomDataOpen, PersistentFieldsDefineTheDatasetAndAreBound) {
    TRowsData ds(2);
    ds.DefineFields = false;
    auto* id = new TIntegerField(&ds);
    id->SetFieldName("ID");
    id->SetDataSet(&ds);
    auto* name = new TStringField(&ds);
    name->SetFieldName("Name");
    name->SetSize(8);
    name->SetDataSet(&ds);
    ds.Open();
    ASSERT_EQ(ds.GetFieldDefs().Count(), 2);
    EXPECT_EQ(ds.GetFieldDefs()[1]->GetSize(), 8);
    EXPECT_GT(id->GetFieldNo(), 0);
    EXPECT_EQ(name->GetAsString(), "N1");
    ds.Close();
    EXPECT_EQ(id->GetFieldNo(), 0);
    EXPECT_EQ(ds.GetFieldCount(), 2);  // persistent fields outlive the cursor
}

TEST(CustomDataOpen, AFieldTheDefinitionsDoNotMatchKeepsTheDatasetClosed) {
    TRowsData ds(2);
    auto* id = new TStringField(&ds);
    id->SetFieldName("ID");
    id->SetDataSet(&ds);
    auto* extra = new TIntegerField(&ds);
    extra->SetFieldName("Extra");
    extra->SetDataSet(&ds);
    // The descendant defines ID, Name, Wide; ID is text here and Extra has no definition.
    try {
        ds.Open();
        FAIL() << "opened";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("ID"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(ds.GetActive());
    delete id;
    try {
        ds.Open();
        FAIL() << "opened";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Field 'Extra' not found");
    }
    EXPECT_FALSE(ds.GetActive());
}

TEST(CustomDataRead, EachValueIsFetchedOncePerBufferFill) {
    TRowsData ds(3);
    ds.Open();
    EXPECT_EQ(ds.GetCalls, 0);  // opening asks for no value
    TField* name = ds.FieldByName("Name");
    EXPECT_EQ(name->GetAsString(), "N1");
    EXPECT_EQ(name->GetAsString(), "N1");
    EXPECT_FALSE(name->IsNull());
    EXPECT_EQ(ds.GetCalls, 1);
    EXPECT_EQ(ds.Fetched[0], std::make_pair(0, std::string("Name")));
    // Refresh fills the buffer again, so the source is read again.
    ds.Rows[0][1] = "changed";
    ds.Refresh();
    EXPECT_EQ(name->GetAsString(), "changed");
    EXPECT_EQ(ds.GetCalls, 2);
    ds.Next();
    EXPECT_EQ(ds.FieldByName("ID")->GetAsInteger(), 2);
    EXPECT_EQ(ds.Fetched.back(), std::make_pair(1, std::string("ID")));
}

TEST(CustomDataRead, NullsConversionsAndWideText) {
    TRowsData ds(2);
    ds.Rows[0] = {Variant::Null(), Variant(42), Variant("a\xF0\x9F\x98\x80")};  // Name from an integer
    ds.Rows[1] = {Variant("17"), Variant::Null(), Variant::Null()};
    ds.Open();
    EXPECT_TRUE(ds.FieldByName("ID")->IsNull());
    EXPECT_TRUE(ds.FieldByName("ID")->GetAsVariant().IsNull());
    EXPECT_EQ(ds.FieldByName("Name")->GetAsString(), "42");
    EXPECT_EQ(ds.FieldByName("Wide")->GetAsString(), "a\xF0\x9F\x98\x80");  // a surrogate pair
    ds.Next();
    EXPECT_EQ(ds.FieldByName("ID")->GetAsInteger(), 17);
    EXPECT_TRUE(ds.FieldByName("Name")->IsNull());
    EXPECT_EQ(ds.FieldByName("Wide")->GetAsString(), "");
}

// The buffers here are exactly the field's data size, so AddressSanitizer sees any byte
// written past it.
TEST(CustomDataRead, TextLongerThanTheFieldStaysInsideTheCallersBuffer) {
    TRowsData ds(1);
    ds.Rows[0] = {Variant(1), Variant("ABCDEFGHIJKLMNOP"), Variant("abcdefgh")};
    ds.Open();
    TField* name = ds.FieldByName("Name");  // size 8, data size 9
    auto narrow = std::make_unique<char[]>(static_cast<std::size_t>(name->GetDataSize()));
    ASSERT_TRUE(ds.GetFieldData(name, narrow.get()));
    EXPECT_STREQ(narrow.get(), "ABCDEFGH");
    EXPECT_EQ(name->GetAsString(), "ABCDEFGH");

    TField* wide = ds.FieldByName("Wide");  // size 4, data size 10
    auto units = std::make_unique<char16_t[]>(static_cast<std::size_t>(wide->GetDataSize()) / 2);
    ASSERT_TRUE(ds.GetFieldData(wide, units.get()));
    EXPECT_EQ(std::u16string(units.get()), u"abcd");

    // Never inside a character: a two-byte letter across the end is dropped whole, and so
    // is a surrogate pair that does not fit.
    ds.Rows[0] = {Variant(1), Variant("abcdefg\xC3\xA9"), Variant("abc\xF0\x9F\x98\x80")};
    ds.Refresh();
    EXPECT_EQ(name->GetAsString(), "abcdefg");
    EXPECT_EQ(wide->GetAsString(), "abc");
}

TEST(CustomDataRead, TextWrittenFromAnUnterminatedBufferStopsAtTheFieldSize) {
    TRowsData ds(1);
    ds.Open();
    ds.Edit();
    TField* name = ds.FieldByName("Name");
    std::vector<char> full(static_cast<std::size_t>(name->GetDataSize()), 'x');  // no terminator
    ds.SetFieldData(name, full.data());
    EXPECT_EQ(name->GetAsString(), "xxxxxxxx");
    TField* wide = ds.FieldByName("Wide");
    std::vector<char16_t> units(static_cast<std::size_t>(wide->GetDataSize()) / 2, u'y');
    ds.SetFieldData(wide, units.data());
    EXPECT_EQ(wide->GetAsString(), "yyyy");
    ds.Post();
    EXPECT_EQ(ds.Rows[0][1], Variant("xxxxxxxx"));
    EXPECT_EQ(ds.Rows[0][2], Variant("yyyy"));
}

TEST(CustomDataRead, OtherFieldTypesAreRefusedNamingTheField) {
    TRowsData ds(1);
    ds.DefineFields = false;
    ds.Columns = {"Price", "Raw"};
    ds.Rows[0] = {Variant(1.5), Variant("x")};
    ds.GetFieldDefs().Add("Price", TFieldType::ftFloat);
    auto* raw = new TField(&ds);  // a field of no known type
    raw->SetFieldName("Raw");
    raw->SetDataSet(&ds);
    ds.GetFieldDefs().Add("Raw", TFieldType::ftUnknown);
    ds.SetAutoCreateMode(TAutoCreateMode::acCombineAlways);
    ds.Open();
    try {
        ds.FieldByName("Price")->GetAsFloat();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Unsupported field type (Float) in field Price");
    }
    std::uint8_t sink[8];
    try {
        ds.GetFieldData(raw, sink);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Field 'Raw' is of an unknown type");
    }
    ds.Edit();
    EXPECT_THROW(ds.FieldByName("Price")->SetAsFloat(2), EDatabaseError);
    ds.Cancel();
    EXPECT_EQ(ds.Rows[0][0], Variant(1.5));
}

TEST(CustomDataRead, CalculatedFieldsAreComputedNotFetched) {
    TRowsData ds(3);
    ds.GetFieldDefs().Add("ID", TFieldType::ftInteger);
    ds.GetFieldDefs().Add("Name", TFieldType::ftString, 8);
    ds.GetFieldDefs().Add("Wide", TFieldType::ftWideString, 4);
    ds.SetAutoCreateMode(TAutoCreateMode::acCombineAlways);
    auto* twice = new TIntegerField(&ds);
    twice->SetFieldName("Twice");
    twice->SetFieldKind(TFieldKind::fkCalculated);
    twice->SetDataSet(&ds);
    ds.SetOnCalcFields([&](TDataSet* d) {
        TField* id = d->FieldByName("ID");
        if (!id->IsNull()) d->FieldByName("Twice")->SetAsInteger(id->GetAsInteger() * 2);
    });
    ds.Open();
    ASSERT_EQ(ds.GetFieldCount(), 4);
    EXPECT_EQ(twice->GetFieldNo(), -1);
    EXPECT_EQ(twice->GetAsInteger(), 2);
    ds.Next();
    EXPECT_EQ(twice->GetAsInteger(), 4);
    for (const auto& [row, field] : ds.Fetched) EXPECT_NE(field, "Twice");
    // Changing the key recomputes the calculated field before the post.
    ds.Edit();
    ds.FieldByName("ID")->SetAsInteger(10);
    EXPECT_EQ(twice->GetAsInteger(), 20);
    ds.Post();
    EXPECT_EQ(ds.Log, std::vector<std::string>{"set 1 ID=10"});
    EXPECT_EQ(ds.Lookup("ID", 3, "Twice"), Variant(6));
}

// A million rows: opening asks for no value, and moving asks only for the rows that end up
// in the record buffers (one screen of them), each once.
TEST(CustomDataRead, AMillionRowsCostOnlyWhatIsBuffered) {
    TCountingData ds(1000000);
    ds.SetAutoCreateMode(TAutoCreateMode::acCombineAlways);
    auto* label = new TStringField(&ds);  // a calculated field reads ID of every buffered row
    label->SetFieldName("Label");
    label->SetFieldKind(TFieldKind::fkCalculated);
    label->SetDataSet(&ds);
    ds.SetOnCalcFields([](TDataSet* d) {
        d->FieldByName("Label")->SetAsString("#" + d->FieldByName("ID")->GetAsString());
    });
    TDataSource source;
    source.SetDataSet(&ds);
    TWindowLink link;
    link.SetDataSource(&source);
    link.SetBufferCount(20);
    ds.Open();
    EXPECT_EQ(ds.CountCalls, 1);
    EXPECT_EQ(ds.GetRecordCount(), 1000000);
    EXPECT_EQ(ds.RowsAsked, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));

    ds.RowsAsked.clear();
    ds.GetCalls = 0;
    ds.SetRecNo(500000);
    EXPECT_EQ(ds.GetRecNo(), 500000);
    EXPECT_EQ(ds.FieldByName("Label")->GetAsString(), "#499999");
    std::set<int> window;
    for (int i = 0; i < link.GetRecordCount(); ++i) {
        link.SetActiveRecord(i);
        window.insert(ds.FieldByName("ID")->GetAsInteger());
        EXPECT_FALSE(ds.FieldByName("Name")->IsNull());
    }
    EXPECT_EQ(window.size(), 20u);
    EXPECT_EQ(*window.begin(), 499999 - 9);  // centred
    EXPECT_EQ(ds.RowsAsked, window);
    EXPECT_EQ(ds.GetCalls, 40);  // ID and Name of twenty rows, nothing twice

    ds.RowsAsked.clear();
    ds.Last();
    EXPECT_EQ(ds.RowsAsked.size(), 20u);
    EXPECT_EQ(*ds.RowsAsked.begin(), 1000000 - 20);
}

}  // namespace
