#include <gtest/gtest.h>

#include "tests/db/DbTestUtil.h"

using namespace vel;

namespace {

TEST(FindRecord, WalksTheFilteredViewAndPostsFirst) {
    auto ds = veltest::MakeTable(6);
    ds->SetFilter("ID > 2");
    ds->SetFiltered(true);
    auto id = [&] { return ds->FieldByName("ID")->GetAsInteger(); };
    EXPECT_TRUE(ds->FindLast());
    EXPECT_EQ(id(), 6);
    EXPECT_FALSE(ds->FindNext());
    EXPECT_FALSE(ds->GetFound());
    EXPECT_TRUE(ds->FindFirst());
    EXPECT_EQ(id(), 3);
    EXPECT_FALSE(ds->FindPrior());
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("posted");
    EXPECT_TRUE(ds->FindNext());
    EXPECT_EQ(id(), 4);
    EXPECT_EQ(ds->Lookup("ID", 3, "Name"), Variant("posted"));
    ds->SetFilter("ID > 100");
    EXPECT_FALSE(ds->FindFirst());
    EXPECT_FALSE(ds->FindLast());
}

}  // namespace
