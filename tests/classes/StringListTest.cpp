#include <gtest/gtest.h>

#include "platform/classes/Errors.h"
#include "platform/classes/Streams.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"
#include "tests/support/TempDir.h"

using namespace vel;

namespace {

std::vector<std::string> Items(const TStrings& l) {
    return l.ToStringArray();
}
using V = std::vector<std::string>;

}  // namespace

TEST(StringList, DelimitedTextQuotesOnlyWhatNeedsIt) {
    TStringList l;
    l.AddStrings(V{"plain", "two words", "a,b", "say \"hi\"", "", "tab\there"});
    EXPECT_EQ(l.GetCommaText(), "plain,\"two words\",\"a,b\",\"say \"\"hi\"\"\",,\"tab\there\"");
    l.SetStrictDelimiter(true);
    // Strict: spaces and control characters are ordinary.
    EXPECT_EQ(l.GetDelimitedText(), "plain,two words,\"a,b\",\"say \"\"hi\"\"\",,tab\there");
    // A single empty item must not read back as an empty list.
    TStringList one;
    one.Add("");
    EXPECT_EQ(one.GetDelimitedText(), "\"\"");
    one.SetDelimitedText(one.GetDelimitedText());
    EXPECT_EQ(Items(one), V{""});
}

TEST(StringList, DelimitedTextParsing) {
    TStringList l;
    // Not strict: blanks separate too and surround items; quotes hold delimiters and blanks.
    l.SetDelimitedText("  a b ,  \"c, d\" ,\"e \"\"q\"\"\",");
    EXPECT_EQ(Items(l), (V{"a", "b", "c, d", "e \"q\"", ""}));
    l.SetStrictDelimiter(true);
    l.SetDelimitedText(" a b ,\"c,d\",,x");
    EXPECT_EQ(Items(l), (V{" a b ", "c,d", "", "x"}));
    // An unterminated quote takes the rest of the text.
    l.SetDelimitedText("\"abc,def");
    EXPECT_EQ(Items(l), V{"abc,def"});
    // No quote character: quotes are plain text, delimiters always split.
    l.SetQuoteChar('\0');
    l.SetDelimiter(';');
    l.SetDelimitedText("\"a;b\";c");
    EXPECT_EQ(Items(l), (V{"\"a", "b\"", "c"}));
    EXPECT_EQ(l.GetDelimitedText(), "\"a;b\";c");
    l.SetDelimitedText("");
    EXPECT_EQ(l.Count(), 0);
}

TEST(StringList, DelimitedTextRoundTripsWithBlankDelimiter) {
    TStringList l;
    l.SetDelimiter(' ');
    l.AddStrings(V{"a", "", "b c", "d"});
    const std::string text = l.GetDelimitedText();
    TStringList back;
    back.SetDelimiter(' ');
    back.SetDelimitedText(text);
    EXPECT_EQ(Items(back), Items(l)) << text;
    // Runs of blanks count as one separator, as in the classic rules.
    back.SetDelimitedText("x   y");
    EXPECT_EQ(Items(back), (V{"x", "y"}));
}

TEST(StringList, TextAcceptsEveryLineBreak) {
    TStringList l;
    l.SetText("a\r\nb\nc\rd\n\ne\n");
    EXPECT_EQ(Items(l), (V{"a", "b", "c", "d", "", "e"}));
    EXPECT_EQ(l.GetText(), "a\nb\nc\nd\n\ne\n");
    l.SetTrailingLineBreak(false);
    EXPECT_EQ(l.GetText(), "a\nb\nc\nd\n\ne");
    l.SetText("\n");
    EXPECT_EQ(Items(l), V{""});
}

TEST(StringList, NamesAndValues) {
    TStringList l;
    l.AddStrings(V{"Width=10", "Title=a=b", "novalue", "=empty name", "Empty="});
    EXPECT_EQ(l.GetValue("width"), "10");  // names are case-insensitive by default
    EXPECT_EQ(l.GetValue("Title"), "a=b");
    EXPECT_EQ(l.GetName(2), "");
    EXPECT_EQ(l.GetValueFromIndex(2), "");
    EXPECT_EQ(l.GetName(3), "");
    EXPECT_EQ(l.GetValue(""), "empty name");
    EXPECT_EQ(l.IndexOfName("Empty"), 4);
    EXPECT_EQ(l.IndexOfName("novalue"), -1);
    l.SetValue("WIDTH", "20");
    EXPECT_EQ(l[0], "WIDTH=20");
    l.SetValue("New", "x");
    EXPECT_EQ(l[l.Count() - 1], "New=x");
    l.SetValue("Title", "");  // an empty value removes the item
    EXPECT_EQ(l.IndexOfName("Title"), -1);
    l.SetValueFromIndex(0, "30");
    EXPECT_EQ(l[0], "WIDTH=30");

    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOfName("width"), -1);

    TStringList c;
    c.SetNameValueSeparator(':');
    c.Add("k:v=w");
    EXPECT_EQ(c.GetValue("K"), "v=w");
}

TEST(StringList, SortedListsAndDuplicates) {
    TStringList l;
    l.SetSorted(true);
    for (const char* s : {"pear", "Apple", "fig", "apple", "Banana"}) l.Add(s);
    // dupIgnore (the default) and case-insensitive: "apple" equals "Apple".
    EXPECT_EQ(Items(l), (V{"Apple", "Banana", "fig", "pear"}));
    int idx = -1;
    EXPECT_TRUE(l.Find("BANANA", idx));
    EXPECT_EQ(idx, 1);
    EXPECT_FALSE(l.Find("cherry", idx));
    EXPECT_EQ(idx, 2);
    EXPECT_EQ(l.IndexOf("FIG"), 2);
    EXPECT_THROW(l.Insert(0, "x"), EStringListError);
    EXPECT_THROW(l.Put(0, "x"), EStringListError);

    l.SetDuplicates(TDuplicates::dupError);
    try {
        l.Add("PEAR");
        FAIL() << "duplicate accepted";
    } catch (const EStringListError& e) {
        EXPECT_NE(e.Message().find("PEAR"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(l.Count(), 4);

    l.SetDuplicates(TDuplicates::dupAccept);
    l.Add("fig");
    l.AddObject("FIG", nullptr);
    EXPECT_EQ(Items(l), (V{"Apple", "Banana", "fig", "fig", "FIG", "pear"}));

    // Case sensitivity re-sorts: upper case sorts before lower case by code point.
    l.SetCaseSensitive(true);
    EXPECT_EQ(Items(l), (V{"Apple", "Banana", "FIG", "fig", "fig", "pear"}));
    EXPECT_EQ(l.IndexOf("fig"), 3);
}

TEST(StringList, UnsortedEditingKeepsObjectsWithTheirItems) {
    TStringList l;
    TObject a, b, c;
    l.AddObject("a", &a);
    l.AddObject("b", &b);
    l.AddObject("c", &c);
    l.Move(0, 2);
    EXPECT_EQ(Items(l), (V{"b", "c", "a"}));
    EXPECT_EQ(l.Objects(2), &a);
    l.Exchange(0, 1);
    EXPECT_EQ(l.Objects(0), &c);
    EXPECT_EQ(l.IndexOfObject(&b), 1);
    l.InsertObject(1, "x", &a);
    EXPECT_EQ(Items(l), (V{"c", "x", "b", "a"}));
    l.CustomSort([](TStringList* list, int i, int j) {
        return list->Get(j).compare(list->Get(i));  // descending
    });
    EXPECT_EQ(Items(l), (V{"x", "c", "b", "a"}));
    EXPECT_EQ(l.Objects(0), &a);
    l.Delete(0);
    EXPECT_EQ(l.IndexOfObject(&a), 2);
}

TEST(StringList, IndexOutOfBoundsNamesTheIndex) {
    TStringList l;
    l.AddStrings(V{"a", "b"});
    try {
        (void)l.Get(5);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (5)");
    }
    EXPECT_THROW(l.Delete(-1), EStringListError);
    EXPECT_THROW(l.Insert(3, "x"), EStringListError);
    EXPECT_THROW(l.Move(0, 2), EStringListError);
    EXPECT_EQ(Items(l), (V{"a", "b"}));
}

namespace {

struct TCounted : TObject {
    int* Alive;
    explicit TCounted(int* alive) : Alive(alive) { ++*Alive; }
    ~TCounted() override { --*Alive; }
};

}  // namespace

TEST(StringList, OwnedObjectsAreFreedWithTheirItems) {
    int alive = 0;
    {
        TStringList l(true);
        l.AddObject("a", new TCounted(&alive));
        l.AddObject("b", new TCounted(&alive));
        l.AddObject("c", new TCounted(&alive));
        l.Delete(1);
        EXPECT_EQ(alive, 2);
        l.Clear();
        EXPECT_EQ(alive, 0);
        l.AddObject("d", new TCounted(&alive));
    }
    EXPECT_EQ(alive, 0);
}

TEST(StringList, ChangeEventsFireOncePerOutermostBracket) {
    TStringList l;
    std::vector<std::string> log;
    l.SetOnChanging([&](TObject* sender) {
        EXPECT_EQ(sender, &l);
        log.push_back("changing");
    });
    l.SetOnChange([&](TObject*) { log.push_back("change:" + std::to_string(l.Count())); });
    l.Add("a");
    EXPECT_EQ(log, (V{"changing", "change:1"}));
    log.clear();

    l.BeginUpdate();
    l.BeginUpdate();
    l.Add("b");
    l.SetCommaText("x,y,z");  // brackets inside brackets
    l.EndUpdate();
    EXPECT_TRUE(log.size() == 1 && log[0] == "changing");
    l.Add("w");
    l.EndUpdate();
    EXPECT_EQ(log, (V{"changing", "change:4"}));
    log.clear();

    // Parsing a whole text is one change, not one per item.
    l.SetText("1\n2\n3\n");
    EXPECT_EQ(log, (V{"changing", "change:3"}));
    log.clear();
    l.EndUpdate();  // unbalanced End does nothing
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(l.GetUpdateCount(), 0);

    // An error inside an operation still closes its bracket.
    l.SetSorted(true);
    log.clear();
    EXPECT_THROW(l.Exchange(0, 9), EStringListError);
    EXPECT_EQ(l.GetUpdateCount(), 0);
}

TEST(StringList, AssignCopiesItemsAndSettings) {
    TStringList src;
    src.SetSorted(true);
    src.SetDuplicates(TDuplicates::dupAccept);
    src.SetDelimiter(';');
    src.AddStrings(V{"b", "a", "b"});
    TStringList dst;
    dst.Add("old");
    dst.Assign(&src);
    EXPECT_TRUE(dst.Equals(&src));
    EXPECT_TRUE(dst.GetSorted());
    EXPECT_EQ(dst.GetDelimitedText(), "a;b;b");
    dst.Add("c");
    EXPECT_FALSE(dst.Equals(&src));

    TPersistent notAList;
    EXPECT_THROW(dst.Assign(&notAList), EConvertError);
    EXPECT_EQ(dst.Count(), 4);
}

TEST(StringList, FilesAndStreams) {
    veltest::TempDir dir;
    const std::string file = dir.File("list.txt");
    veltest::WriteFileText(file, "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\r\nwinter\r\n");
    TStringList l;
    l.LoadFromFile(file);
    EXPECT_EQ(Items(l), (V{"\xC3\xA9t\xC3\xA9", "winter"}));
    l.Add("spring");
    l.SaveToFile(file);
    EXPECT_EQ(veltest::ReadFileText(file), "\xC3\xA9t\xC3\xA9\nwinter\nspring\n");

    TStringStream s;
    l.SaveToStream(&s);
    s.SetPosition(0);
    TStringList back;
    back.LoadFromStream(&s);
    EXPECT_TRUE(back.Equals(&l));

    try {
        l.LoadFromFile(dir.File("missing.txt"));
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message().find("missing.txt"), std::string::npos);
    }
    EXPECT_EQ(l.Count(), 3);  // a failed load keeps the items
}

TEST(StringList, LongListsMatchASimpleModel) {
    // Enough items and edits to split, shrink and drop many storage blocks.
    TStringList l;
    std::vector<std::string> model;
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    for (int step = 0; step < 20000; ++step) {
        const unsigned op = next(10);
        const int n = static_cast<int>(model.size());
        if (op < 6 || n < 2) {
            int at = static_cast<int>(next(static_cast<unsigned>(n) + 1));
            std::string s = "s" + std::to_string(step);
            l.Insert(at, s);
            model.insert(model.begin() + at, s);
        } else if (op < 8) {
            int at = static_cast<int>(next(static_cast<unsigned>(n)));
            l.Delete(at);
            model.erase(model.begin() + at);
        } else if (op < 9) {
            int from = static_cast<int>(next(static_cast<unsigned>(n)));
            int to = static_cast<int>(next(static_cast<unsigned>(n)));
            l.Move(from, to);
            std::string s = model[static_cast<std::size_t>(from)];
            model.erase(model.begin() + from);
            model.insert(model.begin() + to, s);
        } else {
            int a = static_cast<int>(next(static_cast<unsigned>(n)));
            int b = static_cast<int>(next(static_cast<unsigned>(n)));
            l.Exchange(a, b);
            std::swap(model[static_cast<std::size_t>(a)], model[static_cast<std::size_t>(b)]);
        }
    }
    ASSERT_EQ(l.ToStringArray(), model);
    EXPECT_EQ(l.IndexOf(model.back()), l.Count() - 1);

    l.Sort();
    std::sort(model.begin(), model.end(),
              [](const std::string& a, const std::string& b) { return Utf8CompareText(a, b) < 0; });
    EXPECT_EQ(l.ToStringArray(), model);

    // Sorted insertion in scrambled order, with deletions from the middle.
    TStringList sorted;
    sorted.SetSorted(true);
    for (unsigned i = 0; i < 5000; ++i) sorted.Add(std::to_string((i * 7919u) % 5000u + 10000u));
    for (int i = 0; i < 1000; ++i) sorted.Delete(sorted.Count() / 2);
    for (int i = 1; i < sorted.Count(); ++i) ASSERT_LT(sorted[i - 1], sorted[i]);
    EXPECT_EQ(sorted.Count(), 4000);
    int at = -1;
    EXPECT_TRUE(sorted.Find(sorted[3999], at));
    EXPECT_EQ(at, 3999);
    sorted.Clear();
    EXPECT_EQ(sorted.Count(), 0);
    sorted.Add("again");
    EXPECT_EQ(sorted[0], "again");
}
