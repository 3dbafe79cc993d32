// Binary data of defined properties in the text form: { hex } blocks.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "platform/classes/Streaming.h"
#include "platform/rtl/Exceptions.h"
#include "tests/classes/TestClasses.h"

using namespace vel;
using namespace vel::testcls;

namespace {

std::vector<std::uint8_t> Bytes(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return v;
}

std::unique_ptr<TTestForm> FormWithBlob(const std::vector<std::uint8_t>& blob) {
    auto form = std::make_unique<TTestForm>(nullptr);
    form->SetName("F");
    auto* grid = new TTestGrid(form.get());
    grid->SetName("G");
    grid->Blob = blob;
    return form;
}

TTestGrid* GridOf(TComponent* form) {
    return dynamic_cast<TTestGrid*>(form->FindComponent("G"));
}

std::string ReadError(const std::string& text) {
    try {
        std::unique_ptr<TComponent> r(ReadComponentText(text));
    } catch (const EReadError& e) {
        return e.Message();
    }
    return "accepted";
}

}  // namespace

TEST(BinaryData, RoundTripsAcrossLineBreaks) {
    // One byte, exactly one line, one more than a line, and every byte value.
    for (std::size_t n : {1, 32, 33, 256}) {
        auto bytes = Bytes(n);
        if (n == 256)
            for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i);
        auto form = FormWithBlob(bytes);
        const std::string text = ComponentToText(form.get());
        std::unique_ptr<TComponent> read(ReadComponentText(text));
        ASSERT_NE(GridOf(read.get()), nullptr);
        EXPECT_EQ(GridOf(read.get())->Blob, bytes) << n;
        EXPECT_EQ(ComponentToText(read.get()), text);
    }
    // Lines of 32 bytes, indented one step deeper than the property, closed on the last line.
    const std::string text = ComponentToText(FormWithBlob(Bytes(33)).get());
    const auto at = text.find("    Blob = {\n      030A1118");
    ASSERT_NE(at, std::string::npos) << text;
    const auto second = text.find('\n', at + 13);
    EXPECT_EQ(second - (at + 13), 6u + 64u);
    EXPECT_EQ(text.substr(second, 10), "\n      E3}");
    // Nothing is written for empty data.
    EXPECT_EQ(ComponentToText(FormWithBlob({}).get()).find("Blob"), std::string::npos);
}

TEST(BinaryData, ReaderAcceptsLowerCaseAndFreeLayout) {
    std::unique_ptr<TComponent> read(
        ReadComponentText("object F: TTestForm\n  object G: TTestGrid\n    Blob = {0a Ff\n\t 10}\n"
                          "    Left = 4\n  end\nend"));
    EXPECT_EQ(GridOf(read.get())->Blob, (std::vector<std::uint8_t>{0x0A, 0xFF, 0x10}));
    EXPECT_EQ(GridOf(read.get())->GetLeft(), 4);  // parsing goes on after the block
}

TEST(BinaryData, BadBlocksNameTheLineThePropertyAndTheProblem) {
    const std::string head = "object F: TTestForm\n  object G: TTestGrid\n";
    struct Case {
        std::string Text;
        const char* Message;
    };
    const Case cases[] = {
        {head + "    Blob = {0A1}\n  end\nend",
         "Line 3: Bad binary data in G.Blob: odd number of hex digits"},
        {head + "    Blob = {0A\n 1G}\n  end\nend",
         "Line 3: Bad binary data in G.Blob: bad hex digit 'G'"},
        {head + "    Blob = {0A'}\n  end\nend",
         "Line 3: Bad binary data in G.Blob: bad hex digit '''"},
        {head + "    Blob = {0A1B\n  end\nend", "Line 3: Bad binary data in G.Blob: missing '}'"},
        {head + "    Blob = '0A'\n  end\nend",
         "Line 3: Property Blob expects binary data, not a string"},
        {head + "    OrderFields = {0A}\n  end\nend",
         "Line 3: Property OrderFields expects a string, not binary data"},
        {head + "    Left = {0A}\n  end\nend",
         "Line 3: Property Left expects an integer, not binary data"},
        {head + "    {0A}\n  end\nend", "Line 3: Expected a property name but found binary data"},
        {"object F: TTestForm\n  Caption = {}\nend",
         "Line 2: Property Caption expects a string, not binary data"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadError(c.Text), c.Message) << c.Text;
}
