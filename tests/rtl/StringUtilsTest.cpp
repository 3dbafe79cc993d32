#include <gtest/gtest.h>

#include "platform/rtl/StrUtils.h"
#include "platform/rtl/SysUtils.h"
#include "tests/support/TempDir.h"

using namespace vel;

TEST(StringUtils, TrimAndCase) {
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(Trim("   "), "");
    // Non-ASCII bytes are never taken for blanks.
    EXPECT_EQ(Trim("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0");
    EXPECT_EQ(UpperCase("stra\xC3\x9F"
                        "e \xC3\xA4"),
              "STRA\xC3\x9F"
              "E \xC3\xA4");
    EXPECT_EQ(AnsiUpperCase("\xC3\xA4pfel"), "\xC3\x84PFEL");
    EXPECT_EQ(AnsiLowerCase("\xC3\x84PFEL"), "\xC3\xA4pfel");
}

TEST(StringUtils, Comparisons) {
    EXPECT_LT(CompareStr("B", "a"), 0);  // ordinal
    EXPECT_LT(CompareText("a", "B"), 0);
    EXPECT_EQ(CompareText("Name", "NAME"), 0);
    EXPECT_GT(CompareText("ab", "a"), 0);
    EXPECT_TRUE(SameText("OrderDate", "orderdate"));
    EXPECT_FALSE(SameText("\xC3\xA4", "\xC3\x84"));  // ASCII only
    EXPECT_TRUE(AnsiSameText("\xC3\xA4rger", "\xC3\x84RGER"));
    EXPECT_EQ(AnsiCompareText("\xC3\xA4", "\xC3\x84"), 0);
    EXPECT_LT(AnsiCompareStr("z", "\xC3\xA4"), 0);  // code-point order
}

TEST(StringUtils, Quoting) {
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
    std::size_t pos = 0;
    EXPECT_EQ(AnsiExtractQuotedStr("'a''b' rest", pos, '\''), "a'b");
    EXPECT_EQ(pos, 6u);
    pos = 0;
    EXPECT_EQ(AnsiExtractQuotedStr("'open", pos, '\''), "open");
    EXPECT_EQ(pos, 5u);
    pos = 0;
    EXPECT_EQ(AnsiExtractQuotedStr("plain", pos, '\''), "");
    EXPECT_EQ(pos, 0u);
    EXPECT_EQ(AnsiDequotedStr("'it''s'", '\''), "it's");
    EXPECT_EQ(AnsiDequotedStr("'a' and 'b'", '\''), "'a' and 'b'");  // not quoted as a whole
    EXPECT_EQ(AnsiDequotedStr("'", '\''), "'");
    EXPECT_EQ(AnsiDequotedStr(QuotedStr("x''y"), '\''), "x''y");
}

TEST(StringUtils, ReplaceAndSearch) {
    EXPECT_EQ(StringReplace("a,b,c", ",", ";", {}), "a;b,c");
    EXPECT_EQ(StringReplace("a,b,c", ",", ";", {TReplaceFlag::rfReplaceAll}), "a;b;c");
    EXPECT_EQ(StringReplace("Name DESC, Date desc", " desc", "",
                            {TReplaceFlag::rfReplaceAll, TReplaceFlag::rfIgnoreCase}),
              "Name, Date");
    // Case-insensitive matches replace the original bytes, whatever their case.
    EXPECT_EQ(ReplaceText("\xC3\x84rger \xC3\xA4RGER x", "\xC3\xA4rger", "joy"), "joy joy x");
    EXPECT_EQ(StringReplace("aaa", "aa", "b", {TReplaceFlag::rfReplaceAll}), "ba");
    EXPECT_EQ(StringReplace("abc", "", "x", {TReplaceFlag::rfReplaceAll}), "abc");
    EXPECT_EQ(Pos("b", "abcb"), 1u);
    EXPECT_EQ(PosEx("b", "abcb", 2), 3u);
    EXPECT_EQ(Pos("x", "abc"), std::string::npos);
    EXPECT_EQ(Pos("", "abc"), std::string::npos);
    EXPECT_TRUE(StartsText("ORDER by", "order BY x"));
    EXPECT_TRUE(EndsText(";", "SELECT 1;"));
    EXPECT_TRUE(ContainsText("Hello World", "o w"));
    EXPECT_FALSE(StartsStr("Order", "order"));
    EXPECT_EQ(SplitString("a;b,,c", ";,"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(SplitString("", ";"), (std::vector<std::string>{""}));
    EXPECT_EQ(LeftStr("\xC3\xA4\xC3\xB6\xC3\xBC", 2), "\xC3\xA4\xC3\xB6");
    EXPECT_EQ(RightStr("\xC3\xA4\xC3\xB6\xC3\xBC", 1), "\xC3\xBC");
}

TEST(FileNames, Parts) {
    EXPECT_EQ(ExtractFileName("/home/u/grid.clm"), "grid.clm");
    EXPECT_EQ(ExtractFilePath("/home/u/grid.clm"), "/home/u/");
    EXPECT_EQ(ExtractFileDir("/home/u/grid.clm"), "/home/u");
    EXPECT_EQ(ExtractFileDir("/grid.clm"), "/");
    EXPECT_EQ(ExtractFileExt("/home/u/grid.clm"), ".clm");
    EXPECT_EQ(ExtractFileExt("/home/u.d/grid"), "");  // a dot in a folder is no extension
    EXPECT_EQ(ChangeFileExt("/home/u.d/grid", ".ini"), "/home/u.d/grid.ini");
    EXPECT_EQ(ChangeFileExt("a.tar.gz", ""), "a.tar");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp"), "/tmp/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp/"), "/tmp/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/tmp/"), "/tmp");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}

TEST(FileNames, FileSystem) {
    veltest::TempDir tmp;
    const std::string dir = tmp.File("a/b/c");
    EXPECT_FALSE(DirectoryExists(dir));
    EXPECT_TRUE(ForceDirectories(dir));
    EXPECT_TRUE(DirectoryExists(dir));
    EXPECT_FALSE(FileExists(dir));  // a folder is not a file
    const std::string f = dir + "/x.txt", g = dir + "/y.txt";
    veltest::WriteFileText(f, "1");
    EXPECT_TRUE(FileExists(f));
    EXPECT_TRUE(RenameFile(f, g));
    EXPECT_FALSE(FileExists(f));
    veltest::WriteFileText(f, "2");
    EXPECT_FALSE(RenameFile(f, g));  // never replaces
    EXPECT_EQ(veltest::ReadFileText(g), "1");
    EXPECT_TRUE(DeleteFile(g));
    EXPECT_FALSE(DeleteFile(g));
    EXPECT_FALSE(DeleteFile(dir));
    EXPECT_TRUE(DirectoryExists(dir));
}
