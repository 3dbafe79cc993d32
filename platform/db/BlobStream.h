#pragma once
// A stream over the blob value of the active record. Read streams hold a copy taken when they
// are made; write streams hand their bytes to the dataset on Flush and when destroyed.
#include "platform/classes/Streams.h"
#include "platform/db/DBTypes.h"
#include "platform/db/Fields.h"

namespace vel {

class TBlobStream : public TMemoryStream {
    VEL_CLASS(TBlobStream)
public:
    // bmWrite starts empty, bmReadWrite with the value; both need the dataset in edit or insert
    // mode and a field that can be modified, or raise EDatabaseError.
    TBlobStream(TBlobField* field, TBlobStreamMode mode);
    // Flushes; errors are lost here, so callers wanting them call Flush first.
    ~TBlobStream() override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    void SetSize(std::int64_t newSize) override;
    // Stores the bytes in the record when they changed (a field change reaches the links).
    void Flush();
    TBlobStreamMode GetMode() const { return FMode; }

private:
    void CheckWritable() const;
    TBlobField* FField;
    TBlobStreamMode FMode;
    bool FModified = false;
};

}  // namespace vel
