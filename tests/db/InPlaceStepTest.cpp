// A plain cursor over the in-memory table steps in place and its fields read the stored row
// where it lies. Whatever changes between two steps (events, links, order, filter, edits, rows
// added) must be seen at the next step and read exactly as the classic path reads it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "tests/db/DbTestUtil.h"

using namespace vel;
using veltest::Ids;
using veltest::MakeTable;
using veltest::TRecordingLink;

namespace {

// One field of each type a stored slot holds natively, and text; every third record Null.
std::unique_ptr<TClientDataSet> MakeTypedTable(int n) {
    auto ds = std::make_unique<TClientDataSet>();
    ds->GetFieldDefs().Add("I", TFieldType::ftInteger);
    ds->GetFieldDefs().Add("L", TFieldType::ftLargeint);
    ds->GetFieldDefs().Add("F", TFieldType::ftFloat);
    ds->GetFieldDefs().Add("C", TFieldType::ftBCD);
    ds->GetFieldDefs().Add("B", TFieldType::ftBoolean);
    ds->GetFieldDefs().Add("D", TFieldType::ftDate);
    ds->GetFieldDefs().Add("S", TFieldType::ftString, 8);
    ds->GetFieldDefs().Add("W", TFieldType::ftSmallint);
    ds->CreateDataSet();
    for (int i = 1; i <= n; ++i) {
        ds->Append();
        if (i % 3 != 0) {
            ds->FieldByName("I")->SetAsInteger(-i);
            ds->FieldByName("L")->SetAsLargeInt(std::int64_t{i} << 40);
            ds->FieldByName("F")->SetAsFloat(i + 0.25);
            ds->FieldByName("C")->SetAsCurrency(Currency::FromScaled(i * 12345));
            ds->FieldByName("B")->SetAsBoolean(i % 2 == 0);
            ds->FieldByName("D")->SetAsDateTime(EncodeDate(2020, 1, i));
            ds->FieldByName("S")->SetAsString("s" + std::to_string(i));
            ds->FieldByName("W")->SetAsInteger(i * 100);
        }
        ds->Post();
    }
    ds->First();
    return ds;
}

// Every field of the record as the typed getters, Variants and texts give it.
std::string RecordText(TDataSet& ds) {
    std::string out;
    for (TField* f : ds.GetFields()) {
        out += f->GetFieldName() + "=";
        if (f->IsNull()) {
            out += "null";
            EXPECT_TRUE(f->GetAsVariant().IsNull()) << f->GetFieldName();
        } else {
            out += f->GetAsString() + "/" + f->GetAsVariant().AsString();
        }
        out += ";";
    }
    TField* i = ds.FieldByName("I");
    out += std::to_string(i->GetAsInteger()) + "," + std::to_string(ds.FieldByName("L")->GetAsLargeInt()) +
           "," + std::to_string(ds.FieldByName("F")->GetAsFloat()) + "," +
           std::to_string(ds.FieldByName("C")->GetAsCurrency().Value) + "," +
           std::to_string(ds.FieldByName("B")->GetAsBoolean()) + "," +
           std::to_string(ds.FieldByName("B")->GetAsInteger()) + "," +
           std::to_string(ds.FieldByName("D")->GetAsDateTime()) + "," +
           std::to_string(ds.FieldByName("W")->GetAsInteger()) + "," +
           std::to_string(i->GetAsFloat()) + "," +
           // Getters that are not the slot's native value convert it.
           std::to_string(ds.FieldByName("F")->GetAsInteger()) + "," +
           std::to_string(ds.FieldByName("F")->GetAsCurrency().Value) + "," +
           std::to_string(ds.FieldByName("C")->GetAsFloat()) + "," +
           std::to_string(ds.FieldByName("D")->GetAsFloat());
    return out;
}

std::vector<std::string> Records(TDataSet& ds) {
    std::vector<std::string> out;
    for (ds.First(); !ds.GetEOF(); ds.Next()) out.push_back(RecordText(ds));
    return out;
}

TEST(InPlaceStep, ReadsEveryTypeAndNullAsTheClassicPathDoes) {
    auto ds = MakeTypedTable(7);
    const std::vector<std::string> inPlace = Records(*ds);
    ASSERT_EQ(inPlace.size(), 7u);
    EXPECT_NE(inPlace[0].find("I=-1/-1;"), std::string::npos) << inPlace[0];
    EXPECT_NE(inPlace[2].find("I=null;"), std::string::npos) << inPlace[2];
    EXPECT_NE(inPlace[2].find("0,0,0.000000,0,0,0,"), std::string::npos) << inPlace[2];
    // 1.25 rounds to 1 and is 12500 in ten-thousandths; 12345 ten-thousandths read as 1.2345;
    // 2020-01-01 is day 43831.
    EXPECT_NE(inPlace[0].find(",1,12500,1.234500,43831.000000"), std::string::npos) << inPlace[0];
    // The last record stays readable past the end.
    EXPECT_EQ(RecordText(*ds), inPlace.back());

    // A link makes every step go the classic way, through GetFieldData.
    TDataSource src;
    src.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetDataSource(&src);
    EXPECT_EQ(Records(*ds), inPlace);
    link.SetDataSource(nullptr);

    // Record by record of a window of several buffers, as a grid paints them.
    link.SetBufferCount(4);
    link.SetDataSource(&src);
    ds->First();
    for (int i = 0; i < ds->GetBufferedRecordCount(); ++i) {
        ds->SetActiveRecord(i);
        EXPECT_EQ(RecordText(*ds), inPlace[static_cast<std::size_t>(i)]) << i;
    }
    ds->SetActiveRecord(0);
    link.SetDataSource(nullptr);
}

TEST(InPlaceStep, EventsLinksAndCalculationsSetBetweenStepsAreHeardAtTheNextStep) {
    auto ds = MakeTable(8);
    int after = 0, calcs = 0;
    ds->Next();
    ds->SetAfterScroll([&](TDataSet*) { ++after; });
    ds->Next();
    EXPECT_EQ(after, 1);
    ds->SetAfterScroll(nullptr);
    ds->Next();
    EXPECT_EQ(after, 1);
    ds->SetBeforeScroll([&](TDataSet*) { ++after; });
    ds->Next();
    EXPECT_EQ(after, 2);
    ds->SetBeforeScroll(nullptr);
    ds->SetOnCalcFields([&](TDataSet* d) {
        ++calcs;
        EXPECT_EQ(d->GetState(), TDataSetState::dsCalcFields);
    });
    ds->Next();
    EXPECT_EQ(calcs, 1);
    ds->SetOnCalcFields(nullptr);
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 6);

    TDataSource src;
    src.SetDataSet(ds.get());
    TRecordingLink link;
    link.SetDataSource(&src);
    link.Clear();
    ds->Next();
    EXPECT_EQ(link.Scrolls.size(), 1u);
    link.SetDataSource(nullptr);
    src.SetDataSet(nullptr);
    ds->Next();
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 8);
    EXPECT_FALSE(ds->GetEOF());
    ds->Next();
    EXPECT_TRUE(ds->GetEOF());
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 8);
}

TEST(InPlaceStep, BookmarksRecNoAndEditsAfterStepsInPlace) {
    auto ds = MakeTable(6);
    ds->Next();
    ds->Next();
    EXPECT_EQ(ds->GetRecNo(), 3);
    EXPECT_FALSE(ds->GetBOF());
    const TBookmark third = ds->GetBookmark();
    ds->Next();
    ds->Next();
    ds->GotoBookmark(third);
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 3);

    // An edit reads the buffer being edited, then the stored row again once posted or
    // cancelled.
    ds->Edit();
    ds->FieldByName("Price")->SetAsFloat(99);
    EXPECT_EQ(ds->FieldByName("Price")->GetAsFloat(), 99);
    EXPECT_EQ(ds->FieldByName("Price")->GetOldValue().AsFloat(), 4.5);
    ds->Cancel();
    EXPECT_EQ(ds->FieldByName("Price")->GetAsFloat(), 4.5);
    ds->Edit();
    ds->FieldByName("Price")->Clear();
    ds->Post();
    EXPECT_TRUE(ds->FieldByName("Price")->IsNull());
    ds->Next();
    EXPECT_EQ(ds->FieldByName("Price")->GetAsFloat(), 6);

    // Inserted and deleted records: the next steps read the rows as they are now. Without an
    // index a posted record goes last.
    ds->Insert();
    ds->FieldByName("ID")->SetAsInteger(40);
    ds->FieldByName("Price")->SetAsFloat(0.5);
    ds->Post();
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 40);
    ds->Next();
    EXPECT_TRUE(ds->GetEOF());
    EXPECT_EQ(ds->FieldByName("Price")->GetAsFloat(), 0.5);
    ds->First();
    ds->Next();
    ds->Next();
    ds->Next();
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 4);
    ds->Delete();
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 5);
    ds->Next();
    EXPECT_EQ(ds->FieldByName("Price")->GetAsFloat(), 9);
    ds->Next();
    EXPECT_EQ(ds->FieldByName("ID")->GetAsInteger(), 40);
    EXPECT_EQ(Ids(*ds), (std::vector<int>{1, 2, 3, 5, 6, 40}));
}

TEST(InPlaceStep, OrderFilterAndRowsAddedBetweenStepsAreFollowed) {
    auto ds = MakeTable(5);
    ds->Next();
    ds->SetIndexFieldNames("Name");  // N1, N2, N3, N4, N5 as text: the same order here
    ds->SetFilter("ID <> 3");
    ds->SetFiltered(true);
    EXPECT_EQ(Ids(*ds), (std::vector<int>{1, 2, 4, 5}));
    ds->SetFiltered(false);
    EXPECT_EQ(Ids(*ds), (std::vector<int>{1, 2, 3, 4, 5}));

    // Enough rows that the store moves them all while the first record is on show.
    ds->SetIndexFieldNames("");
    ds->First();
    for (int i = 6; i <= 5000; ++i) {
        ds->Append();
        ds->FieldByName("ID")->SetAsInteger(i);
        ds->FieldByName("Price")->SetAsFloat(i * 1.5);
        ds->Post();
    }
    double sum = 0;
    int n = 0;
    TField* price = ds->FieldByName("Price");
    for (ds->First(); !ds->GetEOF(); ds->Next(), ++n) sum += price->GetAsFloat();
    EXPECT_EQ(n, 5000);
    EXPECT_EQ(sum, 1.5 * 5000 * 5001 / 2);

    // Emptied and filled again while open.
    ds->EmptyDataSet();
    EXPECT_TRUE(ds->GetEOF());
    ds->Append();
    ds->FieldByName("ID")->SetAsInteger(7);
    ds->Post();
    ds->Append();
    ds->FieldByName("ID")->SetAsInteger(8);
    ds->Post();
    EXPECT_EQ(Ids(*ds), (std::vector<int>{7, 8}));
}

}  // namespace
