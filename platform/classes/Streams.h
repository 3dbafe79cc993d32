#pragma once
// Byte streams: the abstract TStream, files, memory, byte arrays and strings. Image decoders,
// form streaming and string lists read and write through these.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/Object.h"

namespace vel {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// File open modes, with their classic values; the share flags are accepted and ignored.
constexpr std::uint16_t fmCreate = 0xFF00;
constexpr std::uint16_t fmOpenRead = 0x0000;
constexpr std::uint16_t fmOpenWrite = 0x0001;
constexpr std::uint16_t fmOpenReadWrite = 0x0002;
constexpr std::uint16_t fmShareExclusive = 0x0010;
constexpr std::uint16_t fmShareDenyWrite = 0x0020;
constexpr std::uint16_t fmShareDenyNone = 0x0040;

using TBytes = std::vector<std::uint8_t>;

class TStream : public TObject {
    VEL_CLASS(TStream)
public:
    // Read and Write move at most Count bytes and return how many they moved.
    virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
    virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
    // Returns the new position. Seeking before the start raises EStreamError.
    virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;

    std::int64_t GetPosition() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(std::int64_t Pos) { Seek(Pos, TSeekOrigin::soBeginning); }
    virtual std::int64_t GetSize();
    virtual void SetSize(std::int64_t NewSize);

    // Exact transfers: EReadError "Stream read error" / EWriteError "Stream write error" when
    // fewer bytes than asked could be moved.
    void ReadBuffer(void* Buffer, std::int64_t Count);
    void WriteBuffer(const void* Buffer, std::int64_t Count);
    void WriteString(const std::string& S) {
        WriteBuffer(S.data(), static_cast<std::int64_t>(S.size()));
    }
    // Everything from the current position to the end.
    std::string ReadToEnd();
    // Copies Count bytes from Source's position; Count 0 copies all of Source from its start.
    // Returns the number of bytes copied.
    std::int64_t CopyFrom(TStream* Source, std::int64_t Count);
};

// A stream over an open file descriptor, which it closes.
class THandleStream : public TStream {
    VEL_CLASS(THandleStream)
public:
    explicit THandleStream(int Handle) : FHandle(Handle) {}
    ~THandleStream() override;
    int GetHandle() const { return FHandle; }
    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(std::int64_t NewSize) override;

protected:
    int FHandle = -1;
};

class TFileStream : public THandleStream {
    VEL_CLASS(TFileStream)
public:
    // fmCreate creates or truncates (EFCreateError on failure); the open modes need an existing
    // file (EFOpenError on failure). Both messages name the file and the system's reason.
    TFileStream(const std::string& FileName, std::uint16_t Mode);
    const std::string& GetFileName() const { return FFileName; }

private:
    std::string FFileName;
};

// A growable block of memory.
class TMemoryStream : public TStream {
    VEL_CLASS(TMemoryStream)
public:
    TMemoryStream() = default;
    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    std::int64_t GetSize() override { return static_cast<std::int64_t>(FData.size()); }
    // Growing fills with zeros; shrinking below the position moves the position to the end.
    void SetSize(std::int64_t NewSize) override;

    std::uint8_t* GetMemory() { return FData.data(); }
    const std::uint8_t* GetMemory() const { return FData.data(); }
    void Clear();
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const std::string& FileName);
    void SaveToStream(TStream* Stream) const;
    // Written atomically (rtl/SafeFile.h).
    void SaveToFile(const std::string& FileName) const;

protected:
    TBytes FData;
    std::int64_t FPosition = 0;
};

class TBytesStream : public TMemoryStream {
    VEL_CLASS(TBytesStream)
public:
    TBytesStream() = default;
    explicit TBytesStream(TBytes Bytes) { FData = std::move(Bytes); }
    const TBytes& GetBytes() const { return FData; }
};

class TStringStream : public TBytesStream {
    VEL_CLASS(TStringStream)
public:
    TStringStream() = default;
    explicit TStringStream(const std::string& S) { FData.assign(S.begin(), S.end()); }
    std::string GetDataString() const { return std::string(FData.begin(), FData.end()); }
    // Reads up to Count bytes from the position.
    std::string ReadString(std::int64_t Count);
};

}  // namespace vel
