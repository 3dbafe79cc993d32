// What a cursor step and a field read rely on: the field name index, records read in place
// from the store and copied only when written, text read without a buffer of the field's size,
// values read once as Variants.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rtl/Utf8.h"
#include "tests/db/DbTestUtil.h"

using namespace vel;
using veltest::Ids;
using veltest::MakeTable;
using veltest::TRecordingLink;

namespace {

TEST(CursorRead, FieldByNameFollowsFieldsAddedRenamedRemovedAndMoved) {
    auto ds = MakeTable(2);
    TField* id = ds->FieldByName("ID");
    EXPECT_EQ(ds->FindField("id"), id);
    EXPECT_EQ(ds->FindField("NAME"), ds->GetFields()[1]);
    EXPECT_EQ(ds->FindField("Nam"), nullptr);
    EXPECT_EQ(ds->FindField(""), nullptr);
    EXPECT_THROW(ds->FieldByName("Missing"), EDatabaseError);

    // Persistent fields of a closed table: renames and removals are seen at once.
    TClientDataSet closed;
    auto field = [&](const std::string& n) {
        auto* f = new TIntegerField(&closed);
        f->SetFieldName(n);
        f->SetDataSet(&closed);
        return f;
    };
    TField* key = field("Key");
    TField* extra = field("Extra");
    EXPECT_EQ(closed.FindField("EXTRA"), extra);
    EXPECT_EQ(closed.FindField("Extra"), extra);  // the name last found is remembered
    extra->SetFieldName("Other");
    EXPECT_EQ(closed.FindField("Extra"), nullptr);
    EXPECT_EQ(closed.FindField("oTHER"), extra);
    // A rename onto a name that folds like another field's is refused; the old name stays.
    EXPECT_THROW(extra->SetFieldName("kEY"), EDatabaseError);
    EXPECT_EQ(closed.FindField("other"), extra);
    EXPECT_EQ(closed.FindField("KEY"), key);
    EXPECT_EQ(closed.FindField("Other"), extra);
    delete extra;
    EXPECT_EQ(closed.FindField("Other"), nullptr);
    EXPECT_EQ(closed.FieldByName("key"), key);
    key->SetDataSet(nullptr);
    EXPECT_EQ(closed.FindField("Key"), nullptr);
    delete key;

    // Many fields, short and long names alike at both ends: every one found under either
    // spelling.
    for (int i = 0; i < 40; ++i) {
        field("Column_" + std::to_string(i) + "_of_a_long_name");
        field("C" + std::to_string(i));
    }
    for (int i = 0; i < 40; ++i)
        for (const std::string& n :
             {"Column_" + std::to_string(i) + "_of_a_long_name", "C" + std::to_string(i)}) {
            ASSERT_NE(closed.FindField(n), nullptr) << n;
            EXPECT_EQ(closed.FindField(Utf8LowerCase(n)), closed.FindField(n));
            EXPECT_EQ(closed.FindField(n)->GetFieldName(), n);
        }
    EXPECT_EQ(closed.FindField("Column_4_of_a_long_nam"), nullptr);
}

TEST(CursorRead, NamesMatchCaseInsensitivelyBeyondAsciiAndTheFirstOfAlikeNamesWins) {
    TClientDataSet ds;
    ds.GetFieldDefs().Add("Größe", TFieldType::ftInteger);
    ds.GetFieldDefs().Add("Цена", TFieldType::ftFloat);
    ds.GetFieldDefs().Add("Τιμή", TFieldType::ftString, 10);
    ds.CreateDataSet();
    EXPECT_EQ(ds.FindField("GRÖßE"), ds.GetFields()[0]);
    EXPECT_EQ(ds.FindField("ЦЕНА"), ds.GetFields()[1]);
    EXPECT_EQ(ds.FindField("τιμή"), ds.GetFields()[2]);
    EXPECT_EQ(ds.FindField("Grosse"), nullptr);

    // An ADT's children are not checked for duplicates: the first in order answers, under
    // the other one's spelling too, and a move changes which is first.
    TFields list(nullptr);
    TIntegerField a, b;
    a.SetFieldName("Code");
    b.SetFieldName("CODE");
    list.Add(&a);
    list.Add(&b);
    EXPECT_EQ(list.FindField("CODE"), &a);
    EXPECT_EQ(list.FindField("code"), &a);
    list.SetFieldIndex(&b, 0);
    EXPECT_EQ(list.FindField("Code"), &b);
    list.Remove(&b);
    EXPECT_EQ(list.FindField("CODE"), &a);
    list.Clear();
    EXPECT_EQ(list.FindField("Code"), nullptr);
}

TEST(CursorRead, StringFieldsReadTheirTextCutAsTheirSizeHoldsIt) {
    TClientDataSet ds;
    ds.GetFieldDefs().Add("Memo", TFieldType::ftString, 8192);
    ds.GetFieldDefs().Add("Short", TFieldType::ftString, 4);
    ds.GetFieldDefs().Add("Wide", TFieldType::ftWideString, 3);
    ds.CreateDataSet();
    TField* memo = ds.FieldByName("Memo");
    TField* shrt = ds.FieldByName("Short");
    TField* wide = ds.FieldByName("Wide");
    ds.Append();
    memo->SetAsString(std::string(9000, 'x'));
    shrt->SetAsString("abcdef");
    wide->SetAsString("a\xF0\x9F\x98\x80" "bc");  // a, an emoji (two UTF-16 units), b, c
    ds.Post();
    ds.Append();
    memo->SetAsString("short text");
    shrt->SetAsString("\xC3\xA9t\xC3\xA9");  // "été": 5 bytes, cut before the second é
    wide->SetAsString("\xF0\x9F\x98\x80\xF0\x9F\x98\x80");
    ds.Post();
    ds.Append();
    ds.Post();
    ds.First();
    EXPECT_EQ(memo->GetAsString(), std::string(8192, 'x'));
    EXPECT_EQ(shrt->GetAsString(), "abcd");
    EXPECT_EQ(wide->GetAsString(), "a\xF0\x9F\x98\x80");
    ds.Next();
    EXPECT_EQ(memo->GetAsString(), "short text");
    EXPECT_EQ(memo->GetAsVariant(), Variant("short text"));
    EXPECT_EQ(shrt->GetAsString(), "\xC3\xA9t");
    EXPECT_EQ(wide->GetAsString(), "\xF0\x9F\x98\x80");
    ds.Next();
    for (TField* f : {memo, shrt, wide}) {
        EXPECT_EQ(f->GetAsString(), "");
        EXPECT_TRUE(f->GetAsVariant().IsNull());
    }
}

TEST(CursorRead, GetAsVariantGivesEachTypeItsVariantAndNullForNoValue) {
    TClientDataSet ds;
    using enum TFieldType;
    for (auto [name, type] : {std::pair{"I", ftInteger}, {"S", ftSmallint}, {"W", ftWord},
                              {"L", ftLargeint}, {"F", ftFloat}, {"C", ftCurrency},
                              {"B", ftBCD}, {"Y", ftBoolean}, {"D", ftDate}, {"T", ftDateTime},
                              {"M", ftMemo}, {"X", ftBlob}})
        ds.GetFieldDefs().Add(name, type);
    ds.CreateDataSet();
    ds.Append();
    ds.FieldByName("I")->SetAsInteger(-7);
    ds.FieldByName("S")->SetAsInteger(-300);
    ds.FieldByName("W")->SetAsInteger(65535);
    ds.FieldByName("L")->SetAsLargeInt(1LL << 40);
    ds.FieldByName("F")->SetAsFloat(2.5);
    ds.FieldByName("C")->SetAsFloat(1.25);
    ds.FieldByName("B")->SetAsCurrency(Currency::FromScaled(123456));
    ds.FieldByName("Y")->SetAsBoolean(true);
    ds.FieldByName("D")->SetAsDateTime(45000);
    ds.FieldByName("T")->SetAsDateTime(45000.5);
    ds.FieldByName("M")->SetAsString("memo");
    ds.FieldByName("X")->SetAsString(std::string("\x00\x01", 2));
    ds.Post();
    auto type = [&](const char* n) { return ds.FieldByName(n)->GetAsVariant().VarType(); };
    EXPECT_EQ(ds.FieldByName("I")->GetAsVariant(), Variant(-7));
    EXPECT_EQ(type("I"), TVarType::varInteger);
    EXPECT_EQ(ds.FieldByName("S")->GetAsVariant(), Variant(-300));
    EXPECT_EQ(ds.FieldByName("W")->GetAsVariant(), Variant(65535));
    EXPECT_EQ(type("L"), TVarType::varInt64);
    EXPECT_EQ(ds.FieldByName("L")->GetAsVariant().AsInt64(), 1LL << 40);
    EXPECT_EQ(type("F"), TVarType::varDouble);
    EXPECT_EQ(ds.FieldByName("F")->GetAsVariant().AsFloat(), 2.5);
    EXPECT_EQ(type("C"), TVarType::varCurrency);
    EXPECT_EQ(ds.FieldByName("C")->GetAsVariant().AsCurrency().Value, 12500);
    EXPECT_EQ(type("B"), TVarType::varCurrency);
    EXPECT_EQ(ds.FieldByName("B")->GetAsVariant().AsCurrency().Value, 123456);
    EXPECT_EQ(ds.FieldByName("Y")->GetAsVariant(), Variant(true));
    EXPECT_EQ(type("D"), TVarType::varDate);
    EXPECT_EQ(ds.FieldByName("T")->GetAsVariant().AsDateTime(), 45000.5);
    EXPECT_EQ(ds.FieldByName("M")->GetAsVariant(), Variant("memo"));
    EXPECT_EQ(type("X"), TVarType::varBytes);
    EXPECT_EQ(ds.FieldByName("X")->GetAsVariant().AsBytes(), (std::vector<std::uint8_t>{0, 1}));
    ds.Append();
    ds.Post();
    for (TField* f : ds.GetFields()) EXPECT_TRUE(f->GetAsVariant().IsNull()) << f->GetFieldName();
}

TEST(CursorRead, RecordsReadInPlaceAreCopiedWhenWrittenAndKeepTheirStoredValues) {
    auto ds = MakeTable(5);
    TField* name = ds->FieldByName("Name");
    ds->Next();
    ds->Edit();
    name->SetAsString("edited");
    EXPECT_EQ(name->GetOldValue(), Variant("N2"));
    EXPECT_EQ(name->GetAsString(), "edited");
    ds->Cancel();
    EXPECT_EQ(name->GetAsString(), "N2");
    // A Post with nothing changed writes back what the record holds.
    ds->Edit();
    ds->Post();
    EXPECT_EQ(name->GetAsString(), "N2");
    EXPECT_EQ(ds->FieldByName("Price")->GetAsFloat(), 3.0);
    ds->Edit();
    name->SetAsString("posted");
    ds->Post();
    ds->First();
    ds->Next();
    EXPECT_EQ(name->GetAsString(), "posted");
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 2);

    // An insert among records shown in place by a window of buffers.
    TDataSource src;
    src.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetDataSource(&src);
    link.SetBufferCount(4);
    ds->First();
    ds->Next();
    ds->Insert();
    ds->FieldByName("ID")->SetAsInteger(10);
    name->SetAsString("new");
    ds->Post();
    EXPECT_EQ(name->GetAsString(), "new");
    std::vector<std::string> window;
    for (int i = 0; i < link.GetRecordCount(); ++i) {
        link.SetActiveRecord(i);
        window.push_back(name->GetAsString());
    }
    EXPECT_EQ(window.size(), 4u);
    EXPECT_NE(std::find(window.begin(), window.end(), "new"), window.end());
    EXPECT_EQ(ds->GetRecordCount(), 6);
    EXPECT_EQ(Ids(*ds), (std::vector<int>{1, 2, 3, 4, 5, 10}));
}

TEST(CursorRead, ValuesComputedForARecordOnShowAreNotStored) {
    auto ds = MakeTable(4);
    ds->Close();
    ds->SetAutoCreateMode(TAutoCreateMode::acCombineAlways);
    TFieldDef* def = ds->GetFieldDefs().Add("Twice", TFieldType::ftFloat);
    def->SetInternalCalcField(true);
    TField* twice = def->CreateField(ds.get());
    int calcs = 0;
    ds->SetOnCalcFields([&](TDataSet* d) {
        ++calcs;
        d->FieldByName("Twice")->SetAsFloat(d->FieldByName("Price")->GetAsFloat() * 2);
    });
    ds->Open();
    calcs = 0;
    std::vector<double> seen;
    for (ds->First(); !ds->GetEOF(); ds->Next()) seen.push_back(twice->GetAsFloat());
    EXPECT_EQ(seen, (std::vector<double>{3, 6, 9, 12}));
    EXPECT_EQ(calcs, 4);  // once per record reached
    // The stored rows never took the values: a filter on the stored column sees none.
    ds->SetFilter("Twice IS NULL");
    ds->SetFiltered(true);
    EXPECT_EQ(ds->GetRecordCount(), 4);
}

TEST(CursorRead, EveryStepStillReachesLinksCalculatedFieldsAndFilters) {
    auto ds = MakeTable(6);
    ds->Close();
    ds->SetAutoCreateMode(TAutoCreateMode::acCombineAlways);
    auto* label = new TStringField(ds.get());
    label->SetFieldName("Label");
    label->SetFieldKind(TFieldKind::fkCalculated);
    label->SetDataSet(ds.get());
    int calcs = 0;
    ds->SetOnCalcFields([&](TDataSet* d) {
        ++calcs;
        d->FieldByName("Label")->SetAsString("#" + d->FieldByName("ID")->GetAsString());
    });
    int before = 0, after = 0;
    ds->SetBeforeScroll([&](TDataSet*) { ++before; });
    ds->SetAfterScroll([&](TDataSet*) { ++after; });
    ds->Open();
    ds->First();
    calcs = before = after = 0;
    ds->Next();
    ds->Next();
    EXPECT_EQ(label->GetAsString(), "#3");
    EXPECT_EQ(calcs, 2);
    EXPECT_EQ(before, 2);
    EXPECT_EQ(after, 2);
    ds->Prior();
    EXPECT_EQ(label->GetAsString(), "#2");
    EXPECT_EQ(ds->MoveBy(3), 3);
    EXPECT_EQ(label->GetAsString(), "#5");

    // With a link attached its events come as before.
    TDataSource src;
    src.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetDataSource(&src);
    link.RecordCheckBrowse = true;
    ds->First();
    link.Clear();
    ds->Next();
    EXPECT_EQ(link.Events, (std::vector<std::string>{"checkbrowse", "scroll"}));
    ds->Next();
    ds->Prior();
    EXPECT_EQ(link.Scrolls, (std::vector<int>{1, 1, -1}));
    link.SetDataSource(nullptr);

    // A filter: steps land on accepted records only, with their own values.
    ds->SetFilter("Price > 4");  // IDs 3..6
    ds->SetFiltered(true);
    std::vector<std::string> labels;
    for (ds->First(); !ds->GetEOF(); ds->Next()) labels.push_back(label->GetAsString());
    EXPECT_EQ(labels, (std::vector<std::string>{"#3", "#4", "#5", "#6"}));
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 6);  // the last record stays at EOF
    ds->Prior();
    EXPECT_EQ(ds->FieldByName("Price")->GetAsFloat(), 7.5);
}

}  // namespace
