#include "platform/db/BlobStream.h"

#include "platform/db/DataSet.h"

namespace vel {

VEL_DEFINE_CLASS(TBlobStream, TMemoryStream)

TBlobStream::TBlobStream(TBlobField* field, TBlobStreamMode mode) : FField(field), FMode(mode) {
    if (!field) DatabaseError("No field given for a blob stream");
    TDataSet* ds = field->GetDataSet();
    if (!ds) DatabaseError("Field '" + field->GetDisplayName() + "' has no dataset");
    ds->CheckActive();
    if (mode != TBlobStreamMode::bmRead) {
        TDataSetState st = ds->GetState();
        if (st != TDataSetState::dsEdit && st != TDataSetState::dsInsert)
            DatabaseError("Dataset not in edit or insert mode", ds->GetName());
        if (field->GetReadOnly())
            DatabaseError("Field '" + field->GetDisplayName() + "' cannot be modified", ds->GetName());
    }
    if (mode != TBlobStreamMode::bmWrite) {
        std::string s;
        ds->GetBlobFieldData(field, s);
        FData.assign(s.begin(), s.end());
    } else {
        // Opening for writing empties the value, as truncating a file would.
        FModified = true;
    }
}

TBlobStream::~TBlobStream() {
    try {
        Flush();
    } catch (...) {
        // The record moved on or the dataset closed: nothing left to write into.
    }
}

void TBlobStream::CheckWritable() const {
    if (FMode == TBlobStreamMode::bmRead)
        DatabaseError("Cannot write to a read-only blob stream of field '" + FField->GetDisplayName() + "'");
}

std::int64_t TBlobStream::Write(const void* buffer, std::int64_t count) {
    CheckWritable();
    std::int64_t n = TMemoryStream::Write(buffer, count);
    if (n > 0) FModified = true;
    return n;
}

void TBlobStream::SetSize(std::int64_t newSize) {
    CheckWritable();
    TMemoryStream::SetSize(newSize);
    FModified = true;
}

void TBlobStream::Flush() {
    if (!FModified || FMode == TBlobStreamMode::bmRead) return;
    FField->SetAsString(std::string(FData.begin(), FData.end()));
    FModified = false;
}

}  // namespace vel
