// Character properties: access by name and text, form text ('*' or #NNN), bad values.
#include <gtest/gtest.h>

#include <memory>

#include "platform/classes/Errors.h"
#include "platform/classes/Streaming.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"
#include "tests/classes/TestClasses.h"

using namespace vel;
using namespace vel::testcls;

namespace {

TEST(CharProperty, AccessByNameTextAndVariant) {
    TTestPanel panel(nullptr);
    EXPECT_TRUE(PropIsType(&panel, "Mark", TTypeKind::tkChar));
    SetOrdProp(&panel, "Mark", 'x');
    EXPECT_EQ(panel.GetMark(), U'x');
    EXPECT_EQ(GetPropText(&panel, "Mark"), "x");
    SetPropText(&panel, "Mark", "\xC3\xA9");  // é
    EXPECT_EQ(GetOrdProp(&panel, "Mark"), 0xE9);
    EXPECT_EQ(GetPropValue(&panel, "Mark").AsString(), "\xC3\xA9");
    EXPECT_EQ(GetPropValue(&panel, "Mark", false).AsInteger(), 0xE9);
    SetPropValue(&panel, "Mark", Variant(std::string("*")));
    EXPECT_EQ(panel.GetMark(), U'*');
    SetPropValue(&panel, "Mark", Variant(35));
    EXPECT_EQ(panel.GetMark(), U'#');

    // More than one character, a broken byte or a code beyond Unicode is refused, naming the
    // property, and the value stays.
    for (const char* bad : {"ab", "\xC3", "x "}) {
        try {
            SetPropText(&panel, "Mark", bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EPropertyError& e) {
            EXPECT_NE(e.Message().find("Mark"), std::string::npos) << e.Message();
        }
    }
    EXPECT_THROW(SetOrdProp(&panel, "Mark", 0x110000), ERangeError);
    EXPECT_THROW(SetOrdProp(&panel, "Mark", -1), ERangeError);
    EXPECT_THROW(SetOrdProp(&panel, "Mark", 0xD800), ERangeError);
    EXPECT_EQ(panel.GetMark(), U'#');
    // Nothing is #0.
    SetPropText(&panel, "Mark", "");
    EXPECT_EQ(panel.GetMark(), 0U);
    EXPECT_EQ(GetPropText(&panel, "Mark"), "");
}

TEST(CharProperty, FormTextWritesPrintableQuotedOthersByCodeAndReadsBack) {
    struct Case {
        char32_t Mark;
        const char* Written;  // nullptr: not written
    };
    const Case cases[] = {
        {U'*', "Mark = '*'"}, {U'\'', "Mark = ''''"}, {9, "Mark = #9"},
        {127, "Mark = #127"}, {0x85, "Mark = #133"},  {0x25CF, "Mark = '\xE2\x97\x8F'"},
        {0, nullptr},
    };
    for (const Case& c : cases) {
        TTestForm form(nullptr);
        form.SetName("F");
        auto* panel = new TTestPanel(&form);
        panel->SetName("P");
        panel->SetMark(c.Mark);
        const std::string text = ComponentToText(&form);
        if (c.Written)
            EXPECT_NE(text.find(std::string(c.Written) + "\n"), std::string::npos) << text;
        else
            EXPECT_EQ(text.find("Mark"), std::string::npos) << text;
        std::unique_ptr<TComponent> back(ReadComponentText(text));
        auto* read = dynamic_cast<TTestPanel*>(back->FindComponent("P"));
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->GetMark(), c.Mark) << text;
    }
    // The other spellings of one character read too.
    std::unique_ptr<TComponent> c(ReadComponentText(
        "object F: TTestForm\n  object P: TTestPanel\n    Mark = #$2A\n  end\nend"));
    EXPECT_EQ(dynamic_cast<TTestPanel*>(c->FindComponent("P"))->GetMark(), U'*');
}

TEST(CharProperty, BadFormTextNamesTheProperty) {
    const std::pair<const char*, const char*> cases[] = {
        {"Mark = 'ab'", "Line 3: Invalid value 'ab' (not one character) for property Mark"},
        {"Mark = ''", "Line 3: Invalid value '' (not one character) for property Mark"},
        {"Mark = 42", "Line 3: Property Mark expects a character, not an integer"},
        {"Mark = #1114112", "Line 3: Bad character code after '#'"},
    };
    for (const auto& [prop, message] : cases) {
        const std::string text = std::string("object F: TTestForm\n  object P: TTestPanel\n    ") +
                                 prop + "\n  end\nend";
        try {
            std::unique_ptr<TComponent> r(ReadComponentText(text));
            ADD_FAILURE() << "accepted: " << prop;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), message);
        }
    }
}

}  // namespace
