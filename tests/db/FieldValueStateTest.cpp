#include <gtest/gtest.h>

#include "platform/db/DBTypes.h"
#include "tests/db/DbTestUtil.h"

using namespace vel;
using veltest::MakeTable;

namespace {

TEST(FieldValueStates, EditKeepsTheStoredValueAsOldUntilPostOrCancel) {
    auto ds = MakeTable(3);
    ds->Next();
    TField* name = ds->FieldByName("Name");
    TField* price = ds->FieldByName("Price");
    ds->Edit();
    name->SetAsString("changed");
    price->Clear();
    EXPECT_EQ(name->GetOldValue().AsString(), "N2");
    EXPECT_EQ(name->GetCurValue().AsString(), "N2");
    EXPECT_EQ(name->GetNewValue().AsString(), "changed");
    EXPECT_EQ(name->GetValue().AsString(), "changed");
    EXPECT_DOUBLE_EQ(price->GetOldValue().AsFloat(), 3.0);
    EXPECT_TRUE(price->GetNewValue().IsNull());
    EXPECT_EQ(ds->GetState(), TDataSetState::dsEdit);

    ds->Post();
    EXPECT_EQ(name->GetOldValue().AsString(), "changed");
    EXPECT_TRUE(price->GetOldValue().IsNull());

    ds->Edit();
    name->SetAsString("again");
    EXPECT_EQ(name->GetOldValue().AsString(), "changed");
    ds->Cancel();
    EXPECT_EQ(name->GetValue().AsString(), "changed");
    EXPECT_EQ(name->GetOldValue().AsString(), "changed");
}

TEST(FieldValueStates, NullBeforeEditAndWhileInserting) {
    auto ds = MakeTable(2);
    ds->Edit();
    ds->FieldByName("Price")->Clear();
    ds->Post();
    ds->Edit();
    ds->FieldByName("Price")->SetAsFloat(7);
    EXPECT_TRUE(ds->FieldByName("Price")->GetOldValue().IsNull());
    ds->Cancel();

    ds->Insert();
    ds->FieldByName("ID")->SetAsInteger(9);
    EXPECT_TRUE(ds->FieldByName("ID")->GetOldValue().IsNull());
    EXPECT_TRUE(ds->FieldByName("ID")->GetCurValue().IsNull());
    EXPECT_EQ(ds->FieldByName("ID")->GetNewValue().AsInteger(), 9);
    ds->Post();
    EXPECT_EQ(ds->FieldByName("ID")->GetOldValue().AsInteger(), 9);

    auto empty = MakeTable(0);
    EXPECT_TRUE(empty->FieldByName("ID")->GetOldValue().IsNull());
    EXPECT_TRUE(empty->FieldByName("ID")->GetNewValue().IsNull());
    empty->Close();
    EXPECT_THROW(empty->FieldByName("ID")->GetOldValue(), EDatabaseError);
}

TEST(FieldValueStates, ReadingOldValuesIsSilentAndKeepsTheState) {
    auto ds = MakeTable(3);
    TDataSource src;
    src.SetDataSet(ds.get());
    veltest::TRecordingLink link;
    link.SetDataSource(&src);
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("x");
    link.Clear();
    for (TField* f : ds->GetFields()) {
        f->GetOldValue();
        f->GetCurValue();
        f->GetNewValue();
    }
    EXPECT_TRUE(link.Events.empty());
    EXPECT_EQ(ds->GetState(), TDataSetState::dsEdit);
    EXPECT_FALSE(ds->ControlsDisabled());
    // The edit still goes on after the reads.
    ds->FieldByName("Name")->SetAsString("y");
    ds->Post();
    EXPECT_EQ(ds->FieldByName("Name")->GetAsString(), "y");
}

TEST(FieldValueStates, UpdateStatusFollowsThePendingEdit) {
    auto ds = MakeTable(2);
    EXPECT_EQ(ds->GetUpdateStatus(), TUpdateStatus::usUnmodified);
    ds->Edit();
    EXPECT_EQ(ds->GetUpdateStatus(), TUpdateStatus::usUnmodified);
    ds->FieldByName("ID")->SetAsInteger(5);
    EXPECT_EQ(ds->GetUpdateStatus(), TUpdateStatus::usModified);
    ds->Post();
    EXPECT_EQ(ds->GetUpdateStatus(), TUpdateStatus::usUnmodified);
    ds->Append();
    EXPECT_EQ(ds->GetUpdateStatus(), TUpdateStatus::usInserted);
    ds->Cancel();
    EXPECT_EQ(ds->GetUpdateStatus(), TUpdateStatus::usUnmodified);
}

TEST(DatabaseErrorFmt, FormatsAndPrefixesTheComponent) {
    try {
        DatabaseErrorFmt("Value %d out of range for '%s'", {42, "Qty"}, "Orders");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Orders: Value 42 out of range for 'Qty'");
    }
    try {
        DatabaseErrorFmt("%s missing", {"Key"});
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Key missing");
    }
    EXPECT_THROW(DatabaseErrorFmt("%d", {"text"}), EConvertError);
}

}  // namespace
