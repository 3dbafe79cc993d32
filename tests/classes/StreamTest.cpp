#include <gtest/gtest.h>

#include <filesystem>

#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SafeFile.h"
#include "tests/classes/FileSizeLimit.h"
#include "tests/support/TempDir.h"

using namespace vel;

TEST(Stream, MemoryStreamReadWriteSeek) {
    TMemoryStream m;
    m.WriteString("hello");
    EXPECT_EQ(m.GetPosition(), 5);
    m.Seek(8, TSeekOrigin::soBeginning);
    m.WriteString("!");  // a write past the end fills the gap with zeros
    EXPECT_EQ(m.GetSize(), 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.GetMemory()), 9),
              std::string("hello\0\0\0!", 9));
    m.Seek(-4, TSeekOrigin::soEnd);
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 8), 4);
    EXPECT_EQ(m.Read(buf, 8), 0);
    m.SetPosition(1);
    EXPECT_THROW(m.ReadBuffer(buf, 20), EReadError);
    EXPECT_THROW(m.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
    m.SetPosition(7);
    m.SetSize(3);
    EXPECT_EQ(m.GetPosition(), 3);
    EXPECT_EQ(m.ReadToEnd(), "");
}

TEST(Stream, StringAndBytesStreams) {
    TStringStream s("abc\xC3\xA9");
    EXPECT_EQ(s.ReadString(2), "ab");
    EXPECT_EQ(s.ReadString(10), "c\xC3\xA9");
    s.SetPosition(1);
    s.WriteString("XYZW");
    EXPECT_EQ(s.GetDataString(), "aXYZW");
    TBytesStream b(TBytes{1, 2, 3});
    TMemoryStream dst;
    b.SetPosition(2);
    EXPECT_EQ(dst.CopyFrom(&b, 0), 3);  // 0 copies everything from the start
    EXPECT_EQ(dst.GetSize(), 3);
    b.SetPosition(1);
    dst.SetSize(0);
    EXPECT_EQ(dst.CopyFrom(&b, 2), 2);
    EXPECT_EQ(dst.GetMemory()[0], 2);
    EXPECT_THROW(dst.CopyFrom(&b, 1), EReadError);  // b is exhausted
}

TEST(Stream, FileStreamModesAndErrors) {
    veltest::TempDir dir;
    const std::string name = dir.File("data.bin");
    {
        TFileStream f(name, fmCreate);
        f.WriteString("0123456789");
        EXPECT_EQ(f.GetSize(), 10);
    }
    {
        TFileStream f(name, fmOpenReadWrite);
        f.Seek(-2, TSeekOrigin::soEnd);
        f.WriteString("AB");
        f.SetPosition(0);
        EXPECT_EQ(f.ReadToEnd(), "01234567AB");
        f.SetSize(4);
        EXPECT_EQ(f.GetSize(), 4);
    }
    {
        TFileStream f(name, fmOpenRead);
        EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
        TMemoryStream m;
        m.CopyFrom(&f, 0);
        EXPECT_EQ(m.GetSize(), 4);
    }
    try {
        TFileStream f(dir.File("none.bin"), fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message().find("none.bin"), std::string::npos) << e.Message();
    }
    // A path through a regular file cannot be created, even by root.
    try {
        TFileStream f(name + "/sub.bin", fmCreate);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_NE(e.Message().find("data.bin/sub.bin"), std::string::npos) << e.Message();
    }
    EXPECT_THROW(TFileStream(dir.Path().string(), fmOpenRead), EFOpenError);
}

TEST(Stream, MemoryStreamFiles) {
    veltest::TempDir dir;
    TMemoryStream m;
    m.WriteString(std::string("a\0b", 3));
    m.SaveToFile(dir.File("m.bin"));
    TMemoryStream back;
    back.LoadFromFile(dir.File("m.bin"));
    EXPECT_EQ(back.GetSize(), 3);
    EXPECT_EQ(back.GetMemory()[2], 'b');
    EXPECT_THROW(back.LoadFromFile(dir.File("nope")), EFOpenError);
    EXPECT_EQ(back.GetSize(), 3);
}

namespace {

std::vector<std::string> FolderEntries(const std::filesystem::path& p) {
    std::vector<std::string> r;
    for (auto& e : std::filesystem::directory_iterator(p)) r.push_back(e.path().filename());
    std::sort(r.begin(), r.end());
    return r;
}

}  // namespace

TEST(SafeFile, FailedWritesLeaveTheOldFile) {
    veltest::TempDir dir;
    const std::string file = dir.File("settings.ini");
    WriteFileAtomic(file, "old contents\n");
    {
        veltest::TFileSizeLimit limit(64);
        EXPECT_THROW(WriteFileAtomic(file, std::string(4096, 'x')), EWriteError);
    }
    EXPECT_EQ(veltest::ReadFileText(file), "old contents\n");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"settings.ini"});

    // The target is a folder: the rename fails, nothing is left behind.
    std::filesystem::create_directory(dir.Path() / "folder");
    EXPECT_THROW(WriteFileAtomic(dir.File("folder"), "x"), EWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "folder"));
    EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"folder", "settings.ini"}));

    // The folder is a regular file: no temporary file can be made.
    EXPECT_THROW(WriteFileAtomic(file + "/x.ini", "x"), EFCreateError);

    WriteFileAtomic(file, "new");
    EXPECT_EQ(veltest::ReadFileText(file), "new");
}

TEST(SafeFile, KeepsPermissionsAndNoticesReplacement) {
    veltest::TempDir dir;
    const std::string file = dir.File("p.txt");
    WriteFileAtomic(file, "1");
    std::filesystem::permissions(file, std::filesystem::perms(0640));
    TFileStamp before = GetFileStamp(file);
    WriteFileAtomic(file, "22");
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0640));
    EXPECT_FALSE(GetFileStamp(file) == before);
    EXPECT_TRUE(GetFileStamp(dir.File("none")) == TFileStamp{});
    EXPECT_THROW(ReadFileBytes(dir.Path().string()), EFOpenError);

    // Writing through a symbolic link replaces the file it points to, not the link.
    std::filesystem::create_symlink(file, dir.Path() / "link.txt");
    WriteFileAtomic(dir.File("link.txt"), "via link");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "link.txt"));
    EXPECT_EQ(veltest::ReadFileText(file), "via link");
}
