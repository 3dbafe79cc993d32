#include <gtest/gtest.h>

#include <filesystem>

#include "platform/classes/Errors.h"
#include "platform/classes/Registry.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/Exceptions.h"
#include "tests/classes/FileSizeLimit.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace {

using V = std::vector<std::string>;

// Points the registry at a per-test folder, never at the user's settings.
class RegistryTest : public ::testing::Test {
protected:
    veltest::TempDir Dir;
    void SetUp() override { SetRegistryRoot((Dir.Path() / "config").string()); }
    void TearDown() override { SetRegistryRoot(""); }
    std::string StoreFile() const { return (Dir.Path() / "config" / "registry.txt").string(); }
};

const V kAwkward = {"  spaces  ",
                    "\"quoted\"",
                    "a=b",
                    "back\\slash\\",
                    "two\nlines\r\nand\rmore",
                    "tab\tand \x01\x7F control",
                    "\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80",
                    "",
                    "; , [x]",
                    std::string("nul\0inside", 10),
                    "\xFF invalid utf-8"};

}  // namespace

TEST_F(RegistryTest, AwkwardValuesAndNamesRoundTrip) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Pimworks\\VelDBGrid", true));
        for (std::size_t i = 0; i < kAwkward.size(); ++i) {
            reg.WriteString("v" + std::to_string(i), kAwkward[i]);
            reg.WriteString(kAwkward[i] + "#name", "n" + std::to_string(i));  // odd value names
        }
        reg.WriteInteger("int", -2147483647 - 1);
        ASSERT_TRUE(reg.OpenKey("Sub \xC3\xA9 key", true));  // relative to the open key
        EXPECT_EQ(reg.GetCurrentPath(), "Software\\Pimworks\\VelDBGrid\\Sub \xC3\xA9 key");
    }
    TRegistry reg;  // a fresh object reads the file
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\SOFTWARE\\pimworks\\veldbgrid"));
    for (std::size_t i = 0; i < kAwkward.size(); ++i) {
        EXPECT_EQ(reg.ReadString("V" + std::to_string(i)), kAwkward[i]) << i;
        EXPECT_EQ(reg.ReadString(kAwkward[i] + "#NAME"), "n" + std::to_string(i)) << i;
    }
    EXPECT_EQ(reg.ReadInteger("int"), -2147483647 - 1);
    EXPECT_TRUE(reg.KeyExists("SUB \xC3\x89 KEY"));  // case-insensitive beyond ASCII
    TStringList names;
    reg.GetKeyNames(&names);
    EXPECT_EQ(names.ToStringArray(), V{"Sub \xC3\xA9 key"});
}

TEST_F(RegistryTest, KeysValuesAndTypes) {
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("\\A\\B", false));
    EXPECT_FALSE(std::filesystem::exists(StoreFile()));           // nothing written by looking
    EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);  // no key open
    ASSERT_TRUE(reg.CreateKey("\\A\\B\\C"));
    EXPECT_TRUE(std::filesystem::exists(StoreFile()));
    ASSERT_TRUE(reg.OpenKey("\\a\\b", false));
    reg.WriteString("s", "text");
    reg.WriteInteger("i", 5);
    reg.WriteBool("flag", true);
    reg.WriteString("S", "replaced");  // same value, other case
    EXPECT_EQ(reg.GetDataType("s"), TRegDataType::rdString);
    EXPECT_EQ(reg.GetDataType("missing"), TRegDataType::rdUnknown);
    EXPECT_EQ(reg.ReadString("s"), "replaced");
    EXPECT_TRUE(reg.ReadBool("flag"));
    EXPECT_EQ(reg.ReadString("missing"), "");
    EXPECT_THROW(reg.ReadInteger("missing"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("s"), ERegistryException);
    EXPECT_THROW(reg.ReadString("i"), ERegistryException);
    TStringList names;
    reg.GetValueNames(&names);
    EXPECT_EQ(names.ToStringArray(), (V{"s", "i", "flag"}));
    EXPECT_TRUE(reg.HasSubKeys());
    EXPECT_TRUE(reg.DeleteValue("I"));
    EXPECT_FALSE(reg.DeleteValue("i"));
    EXPECT_FALSE(reg.ValueExists("i"));

    // Roots are separate trees.
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.GetKeyOpen());
    EXPECT_FALSE(reg.KeyExists("\\A"));
    EXPECT_THROW(reg.SetRootKey(0x1234), ERegistryException);
    reg.SetRootKey(HKEY_CURRENT_USER);

    // Deleting is recursive; the key that was open is gone for writes.
    ASSERT_TRUE(reg.OpenKey("\\A\\B\\C", false));
    EXPECT_TRUE(reg.DeleteKey("\\a"));
    EXPECT_FALSE(reg.KeyExists("\\A\\B\\C"));
    EXPECT_FALSE(reg.DeleteKey("\\a"));
    EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);
    EXPECT_THROW(reg.DeleteKey("\\"), ERegistryException);
}

TEST_F(RegistryTest, ReadOnlyKeysRefuseWrites) {
    TRegistry reg;
    reg.CreateKey("\\K");
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\K"));
    try {
        reg.WriteString("name", "v");
        FAIL();
    } catch (const ERegistryException& e) {
        EXPECT_NE(e.Message().find("read-only"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(reg.ValueExists("name"));
}

TEST_F(RegistryTest, ObjectsSeeEachOthersWrites) {
    TRegistry a, b;
    a.OpenKey("\\K", true);
    b.OpenKey("\\K", true);
    a.WriteString("one", "1");
    b.WriteString("two", "2");  // b reloads first and keeps a's value
    EXPECT_EQ(a.ReadString("two"), "2");
    EXPECT_EQ(b.ReadString("one"), "1");
}

TEST_F(RegistryTest, RegistryIniFileMapsSectionsToSubkeys) {
    TRegistryIniFile ini("\\Software\\Pimworks\\VelDBGrid");
    EXPECT_FALSE(ini.SectionExists("Form1.Grid1"));
    EXPECT_EQ(ini.ReadString("Form1.Grid1", "Columns", "none"), "none");
    EXPECT_FALSE(std::filesystem::exists(StoreFile()));
    ini.WriteString("Form1.Grid1", "Columns", "3");
    ini.WriteString("Form1.Grid1", "Column1", "\"ID\",64, visible");
    ini.WriteInteger("Form1.Grid1", "LinesCount", 2);
    ini.WriteBool("Other", "On", true);
    EXPECT_EQ(ini.ReadInteger("form1.grid1", "columns", 0), 3);       // strings read as integers
    EXPECT_EQ(ini.ReadString("Form1.Grid1", "LinesCount", ""), "2");  // and integers as text
    TStringList l;
    ini.ReadSectionValues("Form1.Grid1", &l);
    EXPECT_EQ(l.ToStringArray(), (V{"Columns=3", "Column1=\"ID\",64, visible", "LinesCount=2"}));
    ini.ReadSections(&l);
    EXPECT_EQ(l.ToStringArray(), (V{"Form1.Grid1", "Other"}));
    ini.DeleteKey("Form1.Grid1", "columns");
    EXPECT_FALSE(ini.ValueExists("Form1.Grid1", "Columns"));
    ini.EraseSection("FORM1.GRID1");
    EXPECT_FALSE(ini.SectionExists("Form1.Grid1"));
    EXPECT_TRUE(ini.ReadBool("Other", "On", false));

    // The same data through TRegistry, as the settings code's key path says.
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Pimworks\\VelDBGrid\\Other"));
    EXPECT_EQ(reg.ReadInteger("On"), 1);
}

TEST_F(RegistryTest, StoreTextEscapesEverything) {
    TRegistryStore store;
    TRegistryStore::TKey& k = store.CreateKey(HKEY_CURRENT_USER, {"Soft\"ware", "Empty"});
    (void)k;
    store.CreateKey(HKEY_LOCAL_MACHINE, {"X"})
        .Values.push_back({"na\\me", TRegDataType::rdString, "line1\nline2 \"q\" \x01", 0});
    const std::string text = store.SaveToText();
    EXPECT_EQ(text,
              "velgrid-registry 1\n"
              "key \"HKEY_CURRENT_USER\"\n"
              "key \"HKEY_CURRENT_USER\" \"Soft\\\"ware\"\n"
              "key \"HKEY_CURRENT_USER\" \"Soft\\\"ware\" \"Empty\"\n"
              "key \"HKEY_LOCAL_MACHINE\"\n"
              "key \"HKEY_LOCAL_MACHINE\" \"X\"\n"
              "string \"na\\\\me\" \"line1\\nline2 \\\"q\\\" \\x01\"\n");
    TRegistryStore back;
    EXPECT_EQ(back.LoadFromText(text), 0);
    EXPECT_EQ(back.SaveToText(), text);
    ASSERT_NE(back.FindKey(HKEY_CURRENT_USER, {"soft\"WARE", "empty"}), nullptr);
}

TEST_F(RegistryTest, DamagedStoreLoadsWhatItCanAndKeepsACopy) {
    std::filesystem::create_directories(Dir.Path() / "config");
    const std::string damaged =
        "velgrid-registry 1\n"
        "key \"HKEY_CURRENT_USER\" \"Good\"\n"
        "string \"a\" \"1\"\n"
        "string \"b\" \"unterminated\n"
        "integer \"c\" 12x\n"
        "integer \"big\" 99999999999\n"
        "key \"NO_SUCH_ROOT\" \"X\"\n"
        "string \"lost\" \"after a bad key\"\n"
        "key \"HKEY_CURRENT_USER\" \"\"\n"
        "what is this\n"
        "string \"bad escape\" \"\\q\"\n"
        "key \"HKEY_CURRENT_USER\" \"Good\"\r\n"
        "integer \"d\" -4\r\n"
        "string \"e\" \"x\" trailing\n";
    veltest::WriteFileText(StoreFile(), damaged);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Good", false));
    EXPECT_EQ(reg.ReadString("a"), "1");
    EXPECT_EQ(reg.ReadInteger("d"), -4);
    TStringList names;
    reg.GetValueNames(&names);
    EXPECT_EQ(names.ToStringArray(), (V{"a", "d"}));
    EXPECT_FALSE(reg.KeyExists("\\X"));
    EXPECT_EQ(veltest::ReadFileText(StoreFile()), damaged);  // reading never rewrites

    reg.WriteString("new", "v");
    EXPECT_EQ(veltest::ReadFileText(StoreFile() + ".damaged"), damaged);
    TRegistry again;
    ASSERT_TRUE(again.OpenKey("\\Good", false));
    EXPECT_EQ(again.ReadString("new"), "v");
    EXPECT_EQ(again.ReadString("a"), "1");
}

TEST_F(RegistryTest, UnreadableOrNewerStoreRaises) {
    std::filesystem::create_directories(Dir.Path() / "config");
    veltest::WriteFileText(StoreFile(), "velgrid-registry 7\nkey \"HKEY_CURRENT_USER\" \"K\"\n");
    TRegistry reg;
    try {
        reg.OpenKey("\\K", true);
        FAIL();
    } catch (const ERegistryException& e) {
        EXPECT_NE(e.Message().find("version 7"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(veltest::ReadFileText(StoreFile()),
              "velgrid-registry 7\nkey \"HKEY_CURRENT_USER\" \"K\"\n");

    std::filesystem::remove(StoreFile());
    std::filesystem::create_directory(StoreFile());
    TRegistry dirReg;
    EXPECT_THROW(dirReg.KeyExists("\\K"), ERegistryException);
}

TEST_F(RegistryTest, FailedSaveKeepsOldFileAndState) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\K", true));
    reg.WriteString("a", "old");
    const std::string before = veltest::ReadFileText(StoreFile());
    {
        veltest::TFileSizeLimit limit(static_cast<rlim_t>(before.size() + 16));
        EXPECT_THROW(reg.WriteString("a", std::string(500, 'n')), ERegistryException);
        EXPECT_THROW(reg.CreateKey("\\Another\\Long\\Path\\That\\Does\\Not\\Fit"),
                     ERegistryException);
    }
    EXPECT_EQ(veltest::ReadFileText(StoreFile()), before);
    EXPECT_EQ(reg.ReadString("a"), "old");
    EXPECT_FALSE(reg.KeyExists("\\Another"));

    // A root folder that runs through a regular file cannot be created.
    veltest::WriteFileText(Dir.File("file"), "x");
    SetRegistryRoot(Dir.File("file") + "/config");
    TRegistry blocked;
    EXPECT_FALSE(blocked.KeyExists("\\K"));
    EXPECT_THROW(blocked.CreateKey("\\K"), ERegistryException);
    EXPECT_EQ(veltest::ReadFileText(Dir.File("file")), "x");
}
