#include <gtest/gtest.h>

#include <filesystem>

#include "platform/classes/Errors.h"
#include "platform/classes/IniFiles.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/classes/FileSizeLimit.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace {

using V = std::vector<std::string>;

// Values a settings file must carry unchanged.
const V kAwkward = {"  leading and trailing  ",
                    "\"quoted at both ends\"",
                    "a=b=c",
                    "; not a comment",
                    "# nor this",
                    "x,y;z",
                    "[not a section]",
                    "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
                    "",
                    "tab\tinside",
                    "back\\slash"};

V Lines(TStrings& l) {
    return l.ToStringArray();
}

}  // namespace

TEST(IniFile, AwkwardValuesRoundTripVerbatim) {
    veltest::TempDir dir;
    const std::string file = dir.File("s.ini");
    {
        TMemIniFile ini(file);
        for (std::size_t i = 0; i < kAwkward.size(); ++i)
            ini.WriteString("Form1.Grid1", "Key" + std::to_string(i), kAwkward[i]);
        ini.UpdateFile();
    }
    TMemIniFile mem(file);
    TIniFile disk(file);
    for (std::size_t i = 0; i < kAwkward.size(); ++i) {
        const std::string key = "Key" + std::to_string(i);
        EXPECT_EQ(mem.ReadString("Form1.Grid1", key, "<default>"), kAwkward[i]) << key;
        EXPECT_EQ(disk.ReadString("Form1.Grid1", key, "<default>"), kAwkward[i]) << key;
    }
    // An empty value exists and differs from a missing one.
    EXPECT_TRUE(mem.ValueExists("Form1.Grid1", "Key8"));
    EXPECT_EQ(mem.ReadString("Form1.Grid1", "Missing", "<default>"), "<default>");
}

TEST(IniFile, NamesAreCaseInsensitiveAndValuesUntrimmed) {
    TMemIniFile ini("");
    ini.SetText(
        "; settings\n"
        "[Grid]\n"
        "  Width = 12 \n"
        "Title=\"A, B\"\n"
        "\n"
        "[\xC3\x89T\xC3\x89]\n"
        "K=v\n");
    EXPECT_EQ(ini.ReadString("grid", "WIDTH", ""), " 12 ");  // key trimmed, value verbatim
    EXPECT_EQ(ini.ReadInteger("GRID", "width", -1), 12);
    EXPECT_EQ(ini.ReadString("Grid", "title", ""), "\"A, B\"");
    EXPECT_EQ(ini.ReadString("\xC3\xA9t\xC3\xA9", "k", ""), "v");  // non-ASCII case folding
    ini.WriteString("GRID", "width", "13");
    TStringList keys;
    ini.ReadSection("grid", &keys);
    EXPECT_EQ(Lines(keys), (V{"Width", "Title"}));  // the stored spelling is kept
    EXPECT_EQ(ini.ReadString("Grid", "Width", ""), "13");
    // The comment, the blank line and untouched lines survive the rewrite.
    EXPECT_EQ(ini.GetText(),
              "; settings\n[Grid]\nWidth=13\nTitle=\"A, B\"\n\n[\xC3\x89T\xC3\x89]\nK=v\n");
}

TEST(IniFile, SectionOperations) {
    TMemIniFile ini("");
    ini.SetText("[A]\nx=1\n; about y\ny=2\n\n[B]\n[C]\nz=3\n");
    TStringList l;
    ini.ReadSections(&l);
    EXPECT_EQ(Lines(l), (V{"A", "B", "C"}));
    ini.ReadSectionValues("a", &l);
    EXPECT_EQ(Lines(l), (V{"x=1", "y=2"}));
    EXPECT_EQ(l.GetValue("Y"), "2");
    EXPECT_TRUE(ini.SectionExists("c"));
    EXPECT_FALSE(ini.SectionExists("B"));  // a section without keys does not count
    ini.WriteString("A", "w", "new");      // goes after the last key, before the blank line
    ini.DeleteKey("a", "X");
    ini.EraseSection("c");
    ini.WriteString("D", "k", "v");
    EXPECT_EQ(ini.GetText(), "[A]\n; about y\ny=2\nw=new\n\n[B]\n\n[D]\nk=v\n");
    ini.EraseSection("nothing");
    ini.DeleteKey("nothing", "x");
}

TEST(IniFile, TypedValues) {
    TFormatSettingsScope locale(TFormatSettings::Create("de-DE"));
    TMemIniFile ini("");
    ini.WriteInteger("S", "i", -42);
    ini.WriteBool("S", "b", true);
    ini.WriteFloat("S", "f", 1.5);
    EXPECT_EQ(ini.ReadString("S", "f", ""), "1.5");  // never the locale's comma
    EXPECT_EQ(ini.ReadInteger("S", "i", 0), -42);
    EXPECT_TRUE(ini.ReadBool("S", "b", false));
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "f", 0), 1.5);
    ini.SetText(
        "[S]\nhex=$1F\nhex2=0x10\nneg=$FFFFFFFF\nbad=12abc\nbig=99999999999\n"
        "comma=2,25\nyes=True\ntwo=2\nword=maybe\n");
    EXPECT_EQ(ini.ReadInteger("S", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "hex2", 0), 16);
    EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -1);
    EXPECT_EQ(ini.ReadInteger("S", "bad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "big", 7), 7);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "comma", 0), 2.25);
    EXPECT_TRUE(ini.ReadBool("S", "yes", false));
    EXPECT_TRUE(ini.ReadBool("S", "two", false));
    EXPECT_TRUE(ini.ReadBool("S", "word", true));
    EXPECT_FALSE(ini.ReadBool("S", "word", false));
}

TEST(IniFile, DatesMoveBetweenLocales) {
    TMemIniFile ini("");
    const TDateTime when = EncodeDateTime(2024, 2, 29, 13, 45, 30, 0);
    {
        TFormatSettingsScope locale(TFormatSettings::Create("de-DE"));
        ini.WriteDateTime("S", "when", when);
        ini.WriteDate("S", "day", when);
        ini.WriteTime("S", "time", when);
    }
    EXPECT_EQ(ini.ReadString("S", "when", ""), "02/29/2024 13:45:30");
    TFormatSettingsScope locale(TFormatSettings::Create("en-GB"));
    EXPECT_DOUBLE_EQ(ini.ReadDateTime("S", "when", 0), when);
    EXPECT_DOUBLE_EQ(ini.ReadDate("S", "day", 0), EncodeDate(2024, 2, 29));
    EXPECT_NEAR(ini.ReadTime("S", "time", 0), when - EncodeDate(2024, 2, 29), 1e-9);
    // A file written in the user's own locale still reads.
    ini.WriteString("S", "local", "31/12/2023");
    EXPECT_DOUBLE_EQ(ini.ReadDate("S", "local", 0), EncodeDate(2023, 12, 31));
    EXPECT_DOUBLE_EQ(ini.ReadDate("S", "garbage", -1), -1);
}

TEST(IniFile, UnrepresentableNamesAndValuesAreRefused) {
    TMemIniFile ini("");
    ini.WriteString("S", "k", "keep");
    const std::string before = ini.GetText();
    EXPECT_THROW(ini.WriteString("S", "k", "two\nlines"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S", "a=b", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S", "", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S", ";k", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S", " k", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("a]b", "k", "v"), EIniFileException);
    try {
        ini.WriteString("Sec", "k", "bad\rvalue");
        FAIL();
    } catch (const EIniFileException& e) {
        EXPECT_NE(e.Message().find("\"k\""), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("Sec"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(ini.GetText(), before);
}

TEST(IniFile, DamagedFilesLoadWhatTheyCan) {
    TMemIniFile ini("");
    ini.SetText(
        "orphan=before any section\n"
        "[First\n"  // missing ']'
        "a=1\n"
        "garbage line without equals\n"
        "=no key\n"
        "\xFF\xFE binary=\x01\x02\n"
        "[Second] trailing junk\r\n"
        "b=2\r"
        "[first]\n"  // the same section again continues it
        "c=3");
    TStringList l;
    ini.ReadSections(&l);
    EXPECT_EQ(Lines(l), (V{"First", "Second"}));
    ini.ReadSectionValues("First", &l);
    EXPECT_EQ(Lines(l), (V{"a=1", "\xFF\xFE binary=\x01\x02", "c=3"}));
    EXPECT_EQ(ini.ReadString("Second", "b", ""), "2");
    EXPECT_EQ(ini.ReadString("", "orphan", "none"), "none");
    // What was read is what is written back, and reads back the same.
    TMemIniFile again("");
    again.SetText(ini.GetText());
    EXPECT_EQ(again.GetText(), ini.GetText());
}

TEST(IniFile, UnreadableFileRaisesClearError) {
    veltest::TempDir dir;
    try {
        TMemIniFile ini(dir.Path().string());
        FAIL();
    } catch (const EIniFileException& e) {
        EXPECT_NE(e.Message().find(dir.Path().string()), std::string::npos) << e.Message();
    }
    EXPECT_THROW(TIniFile ini(dir.Path().string()), EIniFileException);
    // A missing file is simply empty.
    TIniFile missing(dir.File("none.ini"));
    EXPECT_EQ(missing.ReadString("a", "b", "d"), "d");
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.ini")));
}

TEST(IniFile, TIniFileWritesAtOnceAndSeesOtherWriters) {
    veltest::TempDir dir;
    const std::string file = dir.File("live.ini");
    TIniFile a(file), b(file);
    a.WriteString("S", "k", "1");
    EXPECT_EQ(veltest::ReadFileText(file), "[S]\nk=1\n");
    EXPECT_EQ(b.ReadString("S", "k", ""), "1");
    b.WriteString("S", "k2", "2");
    a.WriteString("T", "x", "y");  // must not lose b's write
    EXPECT_EQ(veltest::ReadFileText(file), "[S]\nk=1\nk2=2\n\n[T]\nx=y\n");
    a.EraseSection("s");
    EXPECT_EQ(b.ReadString("S", "k2", "gone"), "gone");
}

TEST(IniFile, FailedWriteLeavesOldFileAndState) {
    veltest::TempDir dir;
    const std::string file = dir.File("keep.ini");
    veltest::WriteFileText(file, "[S]\nk=old\n");
    TMemIniFile mem(file);
    // Replace the file by a folder holding a file: renaming over a non-empty folder fails.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    veltest::WriteFileText(file + "/inside", "x");
    mem.WriteString("S", "k", "new");
    EXPECT_THROW(mem.UpdateFile(), EIniFileException);
    EXPECT_EQ(veltest::ReadFileText(file + "/inside"), "x");

    // A path through a regular file: the temporary file cannot even be created.
    const std::string blocker = dir.File("blocker");
    veltest::WriteFileText(blocker, "not a folder");
    TMemIniFile through(blocker + "/s.ini");
    through.WriteString("S", "k", "v");
    try {
        through.UpdateFile();
        FAIL();
    } catch (const EIniFileException& e) {
        EXPECT_NE(e.Message().find("blocker/s.ini"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(veltest::ReadFileText(blocker), "not a folder");

    // TIniFile: a failed write changes neither the file nor what the object reads.
    std::filesystem::remove_all(file);
    veltest::WriteFileText(file, "[S]\nk=old\n");
    TIniFile live(file);
    {
        veltest::TFileSizeLimit limit(64);
        EXPECT_THROW(live.WriteString("S", "k", std::string(200, 'n')), EIniFileException);
    }
    EXPECT_EQ(veltest::ReadFileText(file), "[S]\nk=old\n");
    EXPECT_EQ(live.ReadString("S", "k", ""), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}
