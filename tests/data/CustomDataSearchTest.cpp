// Bookmarks, record numbers, filtering through OnFilterRecord, Locate, Lookup and Find.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/controls/Application.h"
#include "tests/data/RowsData.h"

using namespace vel;
using veltest::TRowsData;
using veltest::TWindowLink;

namespace {

int Id(TDataSet& ds) { return ds.FieldByName("ID")->GetAsInteger(); }

std::vector<int> Ids(TDataSet& ds) {
    std::vector<int> out;
    ds.First();
    while (!ds.GetEOF()) {
        out.push_back(Id(ds));
        ds.Next();
    }
    return out;
}

TBookmark Mark(int index) {
    TBookmark b(4);
    std::memcpy(b.data(), &index, 4);
    return b;
}

// Rows with ID 1..10, Name "N1".."N10"; the filter keeps odd IDs.
struct CustomDataFiltered : ::testing::Test {
    TRowsData ds{10};
    void SetUp() override {
        ds.SetOnFilterRecord([](TDataSet* d, bool& accept) { accept = Id(*d) % 2 == 1; });
        ds.Open();
    }
};

TEST(CustomDataBookmarks, RowIndexesInCursorOrder) {
    TRowsData ds(10);
    ds.Open();
    ds.MoveBy(3);
    TBookmark b = ds.GetBookmark();
    EXPECT_EQ(b, Mark(3));
    ds.Last();
    ds.GotoBookmark(b);
    EXPECT_EQ(Id(ds), 4);
    EXPECT_EQ(ds.CompareBookmarks(Mark(2), Mark(7)), -1);
    EXPECT_EQ(ds.CompareBookmarks(Mark(7), Mark(2)), 1);
    EXPECT_EQ(ds.CompareBookmarks(Mark(7), Mark(7)), 0);
    // An absent bookmark sorts after every present one.
    EXPECT_EQ(ds.CompareBookmarks(TBookmark(), Mark(0)), 1);
    EXPECT_EQ(ds.CompareBookmarks(Mark(0), TBookmark()), -1);
    EXPECT_EQ(ds.CompareBookmarks(TBookmark(), TBookmark()), 0);
    EXPECT_TRUE(ds.BookmarkValid(Mark(9)));
    EXPECT_FALSE(ds.BookmarkValid(Mark(10)));
    EXPECT_FALSE(ds.BookmarkValid(Mark(-1)));
    EXPECT_FALSE(ds.BookmarkValid(TBookmark{1, 0}));
    ds.Last();
    ds.Delete();
    EXPECT_FALSE(ds.BookmarkValid(Mark(9)));
    EXPECT_THROW(ds.GotoBookmark(Mark(9)), EDatabaseError);
    EXPECT_EQ(Id(ds), 9);
}

TEST(CustomDataRecNo, SetRecNoCentresTheWindowAndPostsFirst) {
    TRowsData ds(100);
    TDataSource source;
    source.SetDataSet(&ds);
    TWindowLink link;
    link.SetDataSource(&source);
    link.SetBufferCount(9);
    ds.Open();
    ds.SetRecNo(50);
    EXPECT_EQ(Id(ds), 50);
    EXPECT_EQ(link.GetActiveRecord(), 4);
    ds.Edit();
    ds.FieldByName("Name")->SetAsString("edited");
    ds.SetRecNo(60);
    EXPECT_EQ(ds.Rows[49][1], Variant("edited"));
    EXPECT_EQ(ds.GetRecNo(), 60);
    // Past either end goes to that end.
    ds.SetRecNo(1000);
    EXPECT_EQ(ds.GetRecNo(), 100);
    ds.SetRecNo(-3);
    EXPECT_EQ(ds.GetRecNo(), 1);
    EXPECT_FALSE(ds.IsEmpty());
}

TEST_F(CustomDataFiltered, OnlyAcceptedRowsAreVisibleButAllAreCounted) {
    EXPECT_EQ(Ids(ds), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));  // not filtered yet
    ds.SetFiltered(true);
    EXPECT_EQ(Ids(ds), (std::vector<int>{1, 3, 5, 7, 9}));
    EXPECT_EQ(ds.GetRecordCount(), 10);
    ds.Last();
    EXPECT_EQ(ds.GetRecNo(), 9);
    // A record number on a rejected row lands on the next accepted one.
    ds.SetRecNo(4);
    EXPECT_EQ(Id(ds), 5);
    ds.SetFiltered(false);
    EXPECT_EQ(Id(ds), 1);  // a change of filter goes to the first row
}

TEST_F(CustomDataFiltered, SwitchingTheFilterPostsAPendingEdit) {
    ds.MoveBy(1);
    ds.Edit();
    ds.FieldByName("ID")->SetAsInteger(22);
    ds.SetFiltered(true);
    EXPECT_EQ(ds.GetState(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds.Rows[1][0], Variant(22));
    EXPECT_EQ(Id(ds), 1);
    // A posted row the filter rejects leaves the view; the cursor goes on to the next.
    ds.MoveBy(1);  // ID 3
    ds.Edit();
    ds.FieldByName("ID")->SetAsInteger(4);
    ds.Post();
    EXPECT_EQ(Id(ds), 5);
    EXPECT_EQ(Ids(ds), (std::vector<int>{1, 5, 7, 9}));
}

TEST_F(CustomDataFiltered, AFailingFilterReachesTheApplicationAndRestoresTheState) {
    ds.SetOnFilterRecord([](TDataSet* d, bool& accept) {
        if (Id(*d) == 4) throw EConvertError("bad row 4");
        accept = true;
    });
    std::vector<std::string> reported;
    Application().SetOnException([&](TObject*, const std::exception& e) { reported.push_back(e.what()); });
    ds.SetFiltered(true);
    ds.MoveBy(2);
    EXPECT_EQ(Id(ds), 3);
    ds.Next();  // row 4 fails: no further record
    EXPECT_TRUE(ds.GetEOF());
    EXPECT_EQ(reported, std::vector<std::string>{"bad row 4"});
    EXPECT_EQ(ds.GetState(), TDataSetState::dsBrowse);
    EXPECT_FALSE(ds.ControlsDisabled());
    // Without a handler the error goes on to the caller, the state still restored.
    Application().SetOnException(nullptr);
    ds.First();
    EXPECT_THROW(ds.MoveBy(3), EConvertError);
    EXPECT_EQ(ds.GetState(), TDataSetState::dsBrowse);
    EXPECT_FALSE(ds.ControlsDisabled());
}

TEST(CustomDataLocate, KeysOptionsAndArrays) {
    TRowsData ds(0);
    ds.Rows = {{Variant(1), Variant("Abc"), Variant("Cde")},
               {Variant(2), Variant("Ab"), Variant("Cdx")},
               {Variant(3), Variant("ab"), Variant("cd")},
               {Variant(4), Variant("Ab"), Variant("Cd")},
               {Variant(5), Variant::Null(), Variant("q")}};
    ds.Open();
    EXPECT_TRUE(ds.Locate("ID", 3, {}));
    EXPECT_EQ(ds.GetRecNo(), 3);
    EXPECT_TRUE(ds.Locate("Name", "Ab", {}));
    EXPECT_EQ(Id(ds), 2);
    EXPECT_TRUE(ds.Locate("Name", "AB", TLocateOptions{TLocateOption::loCaseInsensitive}));
    EXPECT_EQ(Id(ds), 2);
    EXPECT_TRUE(ds.Locate("Name", "A", TLocateOptions{TLocateOption::loPartialKey}));
    EXPECT_EQ(Id(ds), 1);
    EXPECT_TRUE(ds.Locate("Name", Variant::Null(), {}));
    EXPECT_EQ(Id(ds), 5);
    // With two keys only the last one matches by prefix: "Ab" must equal the name.
    const TLocateOptions partial{TLocateOption::loPartialKey};
    EXPECT_TRUE(ds.Locate("Name;Wide", VarArrayOf({"Ab", "Cd"}), partial));
    EXPECT_EQ(Id(ds), 2);
    EXPECT_TRUE(ds.Locate("Name;Wide", VarArrayOf({"ab", "cd"}), partial));
    EXPECT_EQ(Id(ds), 3);
    EXPECT_TRUE(ds.Locate("Name;Wide", VarArrayOf({"ab", "cd"}),
                          TLocateOptions{TLocateOption::loPartialKey, TLocateOption::loCaseInsensitive}));
    EXPECT_EQ(Id(ds), 2);
    EXPECT_FALSE(ds.Locate("Name;Wide", VarArrayOf({"A", "C"}), partial));
    // Keys that do not have the shape of the field list match nothing.
    EXPECT_FALSE(ds.Locate("ID", VarArrayOf({3}), {}));
    EXPECT_FALSE(ds.Locate("ID;Name", 3, {}));
    EXPECT_FALSE(ds.Locate("ID;Name", VarArrayOf({3, "ab", "x"}), {}));
    EXPECT_EQ(Id(ds), 2);
    EXPECT_THROW(ds.Locate("Nope", 1, {}), EDatabaseError);
}

TEST_F(CustomDataFiltered, LocateNeverFindsARejectedRowAndStaysWhenNothingMatches) {
    ds.Rows[1][1] = "same";  // ID 2, rejected
    ds.Rows[4][1] = "same";  // ID 5, accepted
    ds.SetFiltered(true);
    ds.MoveBy(1);  // ID 3
    int scrolls = 0;
    ds.SetAfterScroll([&](TDataSet*) { ++scrolls; });
    EXPECT_TRUE(ds.Locate("Name", "same", {}));
    EXPECT_EQ(Id(ds), 5);
    EXPECT_EQ(scrolls, 1);
    EXPECT_FALSE(ds.Locate("ID", 4, {}));
    EXPECT_EQ(Id(ds), 5);
    EXPECT_EQ(scrolls, 1);
    ds.Next();
    EXPECT_EQ(Id(ds), 7);  // the cursor really stayed
}

TEST_F(CustomDataFiltered, LookupReadsWithoutMovingAndPostsFirst) {
    ds.MoveBy(5);  // ID 6
    EXPECT_EQ(ds.Lookup("Name", "N4", "ID"), Variant(4));
    EXPECT_EQ(ds.Lookup("ID", 9, "Name;Wide"), VarArrayOf({"N9", "w9"}));
    EXPECT_TRUE(ds.Lookup("ID", 99, "Name").IsNull());
    EXPECT_EQ(Id(ds), 6);
    ds.Edit();
    ds.FieldByName("Name")->SetAsString("posted");
    EXPECT_EQ(ds.Lookup("ID", 6, "Name"), Variant("posted"));
    EXPECT_EQ(ds.GetState(), TDataSetState::dsBrowse);
    ds.SetFiltered(true);
    EXPECT_TRUE(ds.Lookup("ID", 4, "Name").IsNull());
    EXPECT_EQ(ds.Lookup("ID", 5, "Name"), Variant("N5"));
}

TEST_F(CustomDataFiltered, FindWalksTheVisibleRows) {
    ds.SetFiltered(true);
    EXPECT_TRUE(ds.FindLast());
    EXPECT_EQ(Id(ds), 9);
    EXPECT_FALSE(ds.FindNext());
    EXPECT_FALSE(ds.GetFound());
    EXPECT_TRUE(ds.FindPrior());
    EXPECT_EQ(Id(ds), 7);
    EXPECT_TRUE(ds.FindFirst());
    EXPECT_EQ(Id(ds), 1);
    ds.SetOnFilterRecord([](TDataSet*, bool& accept) { accept = false; });
    EXPECT_FALSE(ds.FindFirst());
}

}  // namespace
