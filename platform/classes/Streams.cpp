#include "platform/classes/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SafeFile.h"

namespace vel {

VEL_DEFINE_CLASS(TStream, TObject)
VEL_DEFINE_CLASS(THandleStream, TStream)
VEL_DEFINE_CLASS(TFileStream, THandleStream)
VEL_DEFINE_CLASS(TMemoryStream, TStream)
VEL_DEFINE_CLASS(TBytesStream, TMemoryStream)
VEL_DEFINE_CLASS(TStringStream, TBytesStream)

// ---- TStream ----

std::int64_t TStream::GetSize() {
    std::int64_t pos = Seek(0, TSeekOrigin::soCurrent);
    std::int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(pos, TSeekOrigin::soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t) {
    throw EStreamError("The size of a " + ClassName() + " cannot be changed.");
}

void TStream::ReadBuffer(void* Buffer, std::int64_t Count) {
    auto* p = static_cast<char*>(Buffer);
    while (Count > 0) {
        std::int64_t n = Read(p, Count);
        if (n <= 0) throw EReadError("Stream read error");
        p += n;
        Count -= n;
    }
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count) {
    auto* p = static_cast<const char*>(Buffer);
    while (Count > 0) {
        std::int64_t n = Write(p, Count);
        if (n <= 0) throw EWriteError("Stream write error");
        p += n;
        Count -= n;
    }
}

std::string TStream::ReadToEnd() {
    std::string out;
    char buf[65536];
    for (;;) {
        std::int64_t n = Read(buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

std::int64_t TStream::CopyFrom(TStream* Source, std::int64_t Count) {
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->GetSize();
    }
    std::int64_t done = 0;
    std::vector<char> buf(static_cast<std::size_t>(std::min<std::int64_t>(Count, 1 << 16)) + 1);
    while (done < Count) {
        std::int64_t chunk =
            std::min<std::int64_t>(Count - done, static_cast<std::int64_t>(buf.size()));
        Source->ReadBuffer(buf.data(), chunk);
        WriteBuffer(buf.data(), chunk);
        done += chunk;
    }
    return done;
}

// ---- THandleStream / TFileStream ----

THandleStream::~THandleStream() {
    if (FHandle >= 0) ::close(FHandle);
}

std::int64_t THandleStream::Read(void* Buffer, std::int64_t Count) {
    if (Count <= 0) return 0;
    for (;;) {
        ssize_t n = ::read(FHandle, Buffer, static_cast<std::size_t>(Count));
        if (n < 0 && errno == EINTR) continue;
        return n < 0 ? 0 : n;
    }
}

std::int64_t THandleStream::Write(const void* Buffer, std::int64_t Count) {
    if (Count <= 0) return 0;
    for (;;) {
        ssize_t n = ::write(FHandle, Buffer, static_cast<std::size_t>(Count));
        if (n < 0 && errno == EINTR) continue;
        return n < 0 ? 0 : n;
    }
}

std::int64_t THandleStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    int whence = Origin == TSeekOrigin::soBeginning ? SEEK_SET
                 : Origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                    : SEEK_END;
    off_t r = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
    if (r < 0)
        throw EStreamError("Cannot seek to " + std::to_string(Offset) + ": " +
                           std::strerror(errno) + ".");
    return r;
}

void THandleStream::SetSize(std::int64_t NewSize) {
    if (NewSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
        throw EStreamError("Cannot set the stream size to " + std::to_string(NewSize) + ".");
    if (GetPosition() > NewSize) Seek(NewSize, TSeekOrigin::soBeginning);
}

namespace {

int OpenFile(const std::string& FileName, std::uint16_t Mode) {
    if (Mode >= fmCreate) {
        int fd = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0)
            throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno) +
                                ".");
        return fd;
    }
    int flags;
    switch (Mode & 0x3) {
        case fmOpenWrite:
            flags = O_WRONLY;
            break;
        case fmOpenReadWrite:
            flags = O_RDWR;
            break;
        default:
            flags = O_RDONLY;
            break;
    }
    int fd = ::open(FileName.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(errno) + ".");
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw EFOpenError("Cannot open file \"" + FileName + "\". It is a folder.");
    }
    return fd;
}

}  // namespace

TFileStream::TFileStream(const std::string& FileName, std::uint16_t Mode)
    : THandleStream(OpenFile(FileName, Mode)), FFileName(FileName) {}

// ---- TMemoryStream ----

std::int64_t TMemoryStream::Read(void* Buffer, std::int64_t Count) {
    std::int64_t size = GetSize();
    if (Count <= 0 || FPosition >= size) return 0;
    std::int64_t n = std::min(Count, size - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* Buffer, std::int64_t Count) {
    if (Count <= 0) return 0;
    std::int64_t end = FPosition + Count;
    if (end > GetSize()) FData.resize(static_cast<std::size_t>(end));
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
    FPosition = end;
    return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    std::int64_t base = Origin == TSeekOrigin::soBeginning ? 0
                        : Origin == TSeekOrigin::soCurrent ? FPosition
                                                           : GetSize();
    std::int64_t pos = base + Offset;
    if (pos < 0)
        throw EStreamError("Cannot seek to " + std::to_string(pos) +
                           ", before the start of the stream.");
    FPosition = pos;  // past the end is allowed; a write there fills the gap with zeros
    return FPosition;
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
    if (NewSize < 0) throw EStreamError("Invalid stream size " + std::to_string(NewSize) + ".");
    FData.resize(static_cast<std::size_t>(NewSize));
    if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    Stream->SetPosition(0);
    std::int64_t size = Stream->GetSize();
    TBytes data(static_cast<std::size_t>(size));
    if (size > 0) Stream->ReadBuffer(data.data(), size);
    FData = std::move(data);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    std::string bytes = ReadFileBytes(FileName);
    FData.assign(bytes.begin(), bytes.end());
    FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream* Stream) const {
    if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

void TMemoryStream::SaveToFile(const std::string& FileName) const {
    WriteFileAtomic(FileName,
                    std::string_view(reinterpret_cast<const char*>(FData.data()), FData.size()));
}

// ---- TStringStream ----

std::string TStringStream::ReadString(std::int64_t Count) {
    std::int64_t n = std::max<std::int64_t>(0, std::min(Count, GetSize() - FPosition));
    std::string s;
    if (n > 0) s.assign(FData.begin() + FPosition, FData.begin() + FPosition + n);
    FPosition += n;
    return s;
}

}  // namespace vel
