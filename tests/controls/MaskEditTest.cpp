// Edit masks: the language, typing into a masked edit, literals, paste and validation.
#include "tests/controls/ControlsTestUtil.h"

#include "platform/controls/Clipbrd.h"
#include "platform/controls/Mask.h"

using namespace vel;

namespace veltest {
namespace {

TEST(EditMaskTest, ValuesGoIntoTheMaskAndComeBackByTheSaveRules) {
    struct Case {
        const char* Mask;
        const char* Value;
        const char* Edit;
        const char* Back;
    };
    const Case cases[] = {
        // Literals not saved: the value is the input characters only, trailing blanks trimmed.
        {"(999) 000-0000;0;_", "5551234567", "(555) 123-4567", "5551234567"},
        {"(999) 000-0000;0;_", "55", "(55_) ___-____", "55"},
        // Saved literals: a value with them is matched; blanks read as spaces.
        {"(999) 000-0000;1;_", "(555) 123-4567", "(555) 123-4567", "(555) 123-4567"},
        {"(999) 000-0000;1;*", "(5", "(5**) ***-****", "(5  )    -    "},
        // Case directives, escaped literals, '_' as a blank literal, '!' right-justifies.
        {">LL<ll<>c;0", "abCDe", "ABcde", "ABcde"},
        {"\\0\\9_00;0;_", "12", "09 12", "12"},
        {"!9999;0;_", "12", "__12", "12"},
        // Characters a slot refuses leave it blank.
        {"000;0;_", "1x3", "1_3", "1 3"},
        // An edit text given back keeps its shape.
        {"00-00;0;_", "12-3_", "12-3_", "123"},
    };
    for (const Case& c : cases) {
        const TEditMask m(c.Mask);
        SCOPED_TRACE(c.Mask);
        const std::string edit = m.FormatText(c.Value);
        EXPECT_EQ(edit, c.Edit);
        EXPECT_EQ(m.ExtractText(edit), c.Back);
    }
    const TEditMask time("00:00;1;_");
    EXPECT_EQ(time.EmptyEditText(), "__:__");
    EXPECT_EQ(time.Accept(0, U'x'), 0u);
    EXPECT_EQ(time.Accept(0, U'7'), U'7');
    EXPECT_EQ(time.FindIncomplete("12:3_"), 4);
    EXPECT_EQ(time.FindIncomplete("12:34"), -1);
    // Optional slots may stay blank.
    EXPECT_EQ(TEditMask("0999;0;_").FindIncomplete("1___"), -1);
    EXPECT_FALSE(TEditMask("").IsMasked());
}

class MaskEditTest : public ControlsTest {
protected:
    MaskEditTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 400, 200);
        Edit = new TMaskEdit(Form.get());
        Edit->SetBounds(10, 10, 200, 24);
        Edit->SetParent(Form.get());
        Edit->SetEditMask("(999) 000-0000;0;_");
        Form->Show();
        Process();
    }
    void Keys(std::initializer_list<unsigned> keys, TShiftState shift = {}) {
        for (unsigned k : keys) InjectKey(k, shift);
        Process();
    }
    void Type(std::string_view s) {
        InjectText(s);
        Process();
    }
    std::unique_ptr<TForm> Form;
    TMaskEdit* Edit;
};

TEST_F(MaskEditTest, TypingFillsSlotsSkipsLiteralsAndRefusesWrongCharacters) {
    EXPECT_EQ(Edit->GetEditText(), "(___) ___-____");
    EXPECT_TRUE(Edit->GetMaskState().Contains(TMaskedState::msMasked));
    Keys({VK_HOME});
    EXPECT_EQ(Edit->GetCaretPos(), 1);  // past the opening literal
    Type("55x5");
    EXPECT_EQ(Edit->GetEditText(), "(555) ___-____");
    EXPECT_EQ(Edit->GetCaretPos(), 6);
    Type("12a3");
    EXPECT_EQ(Edit->GetEditText(), "(555) 123-____");
    EXPECT_EQ(Edit->GetCaretPos(), 10);
    // Typing the literal where it stands steps over it.
    Keys({VK_LEFT});
    EXPECT_EQ(Edit->GetCaretPos(), 8);
    Keys({VK_RIGHT});
    EXPECT_EQ(Edit->GetCaretPos(), 10);
    Type("4567");
    EXPECT_EQ(Edit->GetText(), "5551234567");
    // Backspace blanks the slot before the caret, crossing a literal.
    Keys({VK_HOME});
    Keys({VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT});
    EXPECT_EQ(Edit->GetCaretPos(), 7);
    Keys({VK_BACK, VK_BACK});
    EXPECT_EQ(Edit->GetEditText(), "(55_) _23-4567");
    EXPECT_EQ(Edit->GetCaretPos(), 3);
    Keys({VK_DELETE});
    EXPECT_EQ(Edit->GetEditText(), "(55_) _23-4567");
    Keys({VK_END});
    EXPECT_EQ(Edit->GetCaretPos(), 14);
    // Undo brings back the earlier text.
    Edit->Undo();
    EXPECT_EQ(Edit->GetEditText(), "(555) _23-4567");
}

TEST_F(MaskEditTest, PasteFillsTheSlotsOrIsRefusedWhole) {
    Clipboard().SetAsText("(555) 12");
    Edit->SetSelStart(0);
    Edit->PasteFromClipboard();
    EXPECT_EQ(Edit->GetEditText(), "(555) 12_-____");
    Clipboard().SetAsText("34z");
    Edit->PasteFromClipboard();
    EXPECT_EQ(Edit->GetEditText(), "(555) 12_-____");
    Clipboard().SetAsText("3-4");
    Edit->PasteFromClipboard();
    EXPECT_EQ(Edit->GetEditText(), "(555) 123-4___");
    // A selection is blanked first.
    Edit->SetSel(1, 4);
    Clipboard().SetAsText("9");
    Edit->PasteFromClipboard();
    EXPECT_EQ(Edit->GetEditText(), "(9__) 123-4___");
}

TEST_F(MaskEditTest, ValidateRaisesForAMissingRequiredCharacterAndPointsAtIt) {
    Edit->SetText("55512");
    EXPECT_EQ(Edit->GetEditText(), "(555) 12_-____");
    try {
        Edit->ValidateEdit();
        FAIL() << "no exception";
    } catch (const EDBEditError& e) {
        EXPECT_NE(e.Message().find("(555) 12_-____"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("position 9"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(Edit->GetCaretPos(), 8);
    EXPECT_EQ(Edit->GetEditText(), "(555) 12_-____");
    // The area code is optional; the number is not.
    Edit->SetText("   1234567");
    EXPECT_NO_THROW(Edit->ValidateEdit());
    EXPECT_EQ(Edit->GetText(), "   1234567");
}

TEST_F(MaskEditTest, EditTextMustFitAndMaskChangesCarryTheValue) {
    Edit->SetText("5551234567");
    EXPECT_THROW(Edit->SetEditText("555-1234"), EMaskError);
    EXPECT_EQ(Edit->GetEditText(), "(555) 123-4567");
    Edit->SetEditText("(___) 765-4321");
    EXPECT_EQ(Edit->GetText(), "   7654321");
    Edit->SetEditMask("");
    EXPECT_FALSE(Edit->IsMasked());
    EXPECT_EQ(Edit->GetText(), "   7654321");
    Edit->SetEditMask("000 0000;1;_");
    EXPECT_EQ(Edit->GetEditText(), "___ 7654");
    Edit->SetText("123 4567");
    EXPECT_EQ(Edit->GetText(), "123 4567");
    // Read-only refuses typing into the slots.
    Edit->SetReadOnly(true);
    Edit->SetSelStart(0);
    Type("9");
    EXPECT_EQ(Edit->GetText(), "123 4567");
}

}  // namespace
}  // namespace veltest
