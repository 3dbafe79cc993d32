#include <gtest/gtest.h>

#include "platform/db/BlobStream.h"
#include "platform/db/DBTypes.h"
#include "tests/db/DbTestUtil.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace {

// ID, Data (blob), Notes (memo), Pic (graphic); one record with ID 1 and Data "old\0bytes".
std::unique_ptr<TClientDataSet> BlobTable() {
    auto ds = std::make_unique<TClientDataSet>();
    ds->GetFieldDefs().Add("ID", TFieldType::ftInteger);
    ds->GetFieldDefs().Add("Data", TFieldType::ftBlob);
    ds->GetFieldDefs().Add("Notes", TFieldType::ftMemo);
    ds->GetFieldDefs().Add("Pic", TFieldType::ftGraphic);
    ds->CreateDataSet();
    ds->Append();
    ds->FieldByName("ID")->SetAsInteger(1);
    ds->FieldByName("Data")->SetAsString(std::string("old\0bytes", 9));
    ds->Post();
    return ds;
}

std::string ReadAll(TStream& s) {
    s.SetPosition(0);
    return s.ReadToEnd();
}

TEST(BlobStreams, WritingReachesTheRecordOnFlushAndDestruction) {
    auto ds = BlobTable();
    TDataSource src;
    src.SetDataSet(ds.get());
    veltest::TRecordingLink link;
    link.SetDataSource(&src);
    TField* data = ds->FieldByName("Data");
    ds->Edit();
    link.Clear();
    {
        auto w = ds->CreateBlobStream(data, TBlobStreamMode::bmWrite);
        w->WriteString(std::string("\x01\x00\x02", 3));
        EXPECT_EQ(data->GetAsString(), std::string("old\0bytes", 9));  // not yet stored
        EXPECT_TRUE(link.Events.empty());
    }
    EXPECT_EQ(data->GetAsString(), std::string("\x01\x00\x02", 3));
    EXPECT_EQ(link.Events, std::vector<std::string>{"field"});
    EXPECT_TRUE(ds->GetModified());
    EXPECT_EQ(data->GetOldValue().AsBytes().size(), 9u);  // the stored bytes until Post

    auto rw = ds->CreateBlobStream(data, TBlobStreamMode::bmReadWrite);
    EXPECT_EQ(ReadAll(*rw), std::string("\x01\x00\x02", 3));
    rw->Seek(0, TSeekOrigin::soEnd);
    rw->WriteString("++");
    static_cast<TBlobStream*>(rw.get())->Flush();
    EXPECT_EQ(static_cast<TBlobField*>(data)->GetBlobSize(), 5);
    ds->Post();
    EXPECT_EQ(data->GetAsString(), std::string("\x01\x00\x02++", 5));
    EXPECT_EQ(data->GetOldValue().AsBytes().size(), 5u);
}

TEST(BlobStreams, CancelRestoresAndAnEmptyWriteClears) {
    auto ds = BlobTable();
    TField* data = ds->FieldByName("Data");
    ds->Edit();
    ds->CreateBlobStream(data, TBlobStreamMode::bmWrite)->WriteString("new");
    EXPECT_EQ(data->GetAsString(), "new");
    ds->Cancel();
    EXPECT_EQ(data->GetAsString(), std::string("old\0bytes", 9));

    ds->Edit();
    ds->CreateBlobStream(data, TBlobStreamMode::bmWrite);  // opened for writing, nothing written
    ds->Post();
    EXPECT_TRUE(data->IsNull());
}

TEST(BlobStreams, BadUseRaisesAndChangesNothing) {
    auto ds = BlobTable();
    TField* data = ds->FieldByName("Data");
    // Writing needs edit or insert mode.
    EXPECT_THROW(ds->CreateBlobStream(data, TBlobStreamMode::bmWrite), EDatabaseError);
    EXPECT_THROW(ds->CreateBlobStream(ds->FieldByName("ID"), TBlobStreamMode::bmRead), EDatabaseError);
    auto r = ds->CreateBlobStream(data, TBlobStreamMode::bmRead);
    EXPECT_EQ(r->GetSize(), 9);
    ds->Edit();
    EXPECT_THROW(r->WriteString("x"), EDatabaseError);
    EXPECT_THROW(r->SetSize(0), EDatabaseError);
    data->SetReadOnly(true);
    EXPECT_THROW(ds->CreateBlobStream(data, TBlobStreamMode::bmReadWrite), EDatabaseError);
    data->SetReadOnly(false);
    ds->Cancel();
    r.reset();
    EXPECT_EQ(data->GetAsString(), std::string("old\0bytes", 9));
}

TEST(BlobFields, StreamAndFileRoundTripsKeepEveryByte) {
    veltest::TempDir dir;
    auto ds = BlobTable();
    auto* data = static_cast<TBlobField*>(ds->FieldByName("Data"));
    std::string bytes;
    for (int i = 0; i < 300; ++i) bytes += static_cast<char>(i * 7);
    TStringStream in(bytes);
    in.SetPosition(100);  // loading takes the stream from its start
    ds->Edit();
    data->LoadFromStream(&in);
    ds->Post();
    TMemoryStream out;
    out.WriteString("xx");
    data->SaveToStream(&out);
    EXPECT_EQ(ReadAll(out), "xx" + bytes);

    data->SaveToFile(dir.File("blob.bin"));
    ds->Edit();
    data->Clear();
    data->LoadFromFile(dir.File("blob.bin"));
    ds->Post();
    EXPECT_EQ(data->GetAsString(), bytes);

    ds->Edit();
    EXPECT_THROW(data->LoadFromFile(dir.File("missing.bin")), Exception);
    EXPECT_EQ(data->GetAsString(), bytes);
    ds->Cancel();
    // Loading outside edit mode raises.
    EXPECT_THROW(data->LoadFromStream(&in), EDatabaseError);
}

TEST(BlobFields, MemoAndGraphicFaces) {
    veltest::TempDir dir;
    auto ds = BlobTable();
    TField* notes = ds->FieldByName("Notes");
    auto* pic = static_cast<TBlobField*>(ds->FieldByName("Pic"));
    EXPECT_TRUE(notes->IsBlob());
    EXPECT_FALSE(ds->FieldByName("ID")->IsBlob());
    EXPECT_EQ(pic->GetDataType(), TFieldType::ftGraphic);
    EXPECT_EQ(pic->ClassName(), "TGraphicField");
    ds->Edit();
    notes->SetAsString("line 1\nline 2 ü");
    pic->SetAsBytes({0x89, 'P', 'N', 'G', 0, 0});
    ds->Post();
    EXPECT_EQ(notes->GetAsString(), "line 1\nline 2 ü");
    EXPECT_EQ(notes->GetText(), "line 1\nline 2 ü");
    EXPECT_EQ(notes->GetDisplayText(), "(MEMO)");
    EXPECT_EQ(pic->GetAsBytes(), (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', 0, 0}));
    EXPECT_EQ(pic->GetBlobSize(), 6);

    // The table's own file keeps blob bytes.
    ds->SaveToFile(dir.File("t.vmt"));
    TClientDataSet back;
    back.SetFileName(dir.File("t.vmt"));
    back.Open();
    EXPECT_EQ(back.FieldByName("Data")->GetAsString(), std::string("old\0bytes", 9));
    EXPECT_EQ(static_cast<TBlobField*>(back.FieldByName("Pic"))->GetAsBytes(), pic->GetAsBytes());
    EXPECT_EQ(back.FieldByName("Notes")->GetAsString(), "line 1\nline 2 ü");
}

}  // namespace
