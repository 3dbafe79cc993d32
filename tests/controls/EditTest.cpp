// The single-line edit: typing, caret and selection, mouse, undo, clipboard, limits, case,
// password painting, read-only and the classic edit messages.
#include "tests/controls/ControlsTestUtil.h"

#include "platform/classes/Alignment.h"
#include "platform/classes/Streaming.h"
#include "platform/controls/Clipbrd.h"
#include "platform/controls/Mask.h"
#include "platform/controls/StdEdit.h"

using namespace vel;

namespace veltest {
namespace {

const TShiftState kShift{TShiftStateFlag::ssShift};
const TShiftState kCtrl{TShiftStateFlag::ssCtrl};
const TShiftState kCtrlShift{TShiftStateFlag::ssCtrl, TShiftStateFlag::ssShift};

class EditTest : public ControlsTest {
protected:
    EditTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 400, 200);
        Edit = AddEdit(10, 10);
        Edit->SetOnChange([this](TObject*) { ++Changes; });
        Form->Show();
        Process();
    }
    TEdit* AddEdit(int x, int y, int w = 200) {
        auto* e = new TEdit(Form.get());
        e->SetBounds(x, y, w, 24);
        e->SetParent(Form.get());
        return e;
    }
    void Keys(std::initializer_list<unsigned> keys, TShiftState shift = {}) {
        for (unsigned k : keys) InjectKey(k, shift);
        Process();
    }
    void Type(std::string_view s) {
        InjectText(s);
        Process();
    }
    TPoint At(TEdit* e, int index) { return ScreenPointOf(e, TPoint{e->CharPosX(index) + 1, 10}); }
    std::unique_ptr<TForm> Form;
    TEdit* Edit;
    int Changes = 0;
};

TEST_F(EditTest, TypingAndCaretMovesStepOverWholeCodePoints) {
    ASSERT_TRUE(Edit->Focused());
    Edit->SetText(
        "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E"
        "b");  // a é € 𝄞 b
    EXPECT_EQ(Changes, 1);
    EXPECT_FALSE(Edit->GetModified());
    EXPECT_EQ(Edit->GetCaretPos(), 0);
    Keys({VK_RIGHT, VK_RIGHT});
    Type("x");
    EXPECT_EQ(Edit->GetText(),
              "a\xC3\xA9x\xE2\x82\xAC\xF0\x9D\x84\x9E"
              "b");
    EXPECT_TRUE(Edit->GetModified());
    EXPECT_EQ(Edit->GetCaretPos(), 3);
    // Shift extends over the 3- and 4-byte characters, Backspace removes exactly them.
    Keys({VK_RIGHT, VK_RIGHT}, kShift);
    EXPECT_EQ(Edit->GetSelStart(), 3);
    EXPECT_EQ(Edit->GetSelLength(), 2);
    EXPECT_EQ(Edit->GetSelText(), "\xE2\x82\xAC\xF0\x9D\x84\x9E");
    Keys({VK_BACK});
    EXPECT_EQ(Edit->GetText(), "a\xC3\xA9xb");
    Keys({VK_LEFT});
    Keys({VK_DELETE});
    EXPECT_EQ(Edit->GetText(),
              "a\xC3\xA9"
              "b");
    // Shift+Home from the end selects everything back to the start, the caret at the start.
    Keys({VK_END});
    Keys({VK_HOME}, kShift);
    EXPECT_EQ(Edit->GetSelLength(), 3);
    EXPECT_EQ(Edit->GetCaretPos(), 0);
    // A plain arrow collapses a selection to its side.
    Keys({VK_RIGHT});
    EXPECT_EQ(Edit->GetCaretPos(), 3);
    EXPECT_EQ(Edit->GetSelLength(), 0);
}

TEST_F(EditTest, CtrlArrowsMoveByWordsAndCtrlBackspaceDeletesOne) {
    Edit->SetText("one two  three");
    Keys({VK_RIGHT}, kCtrl);
    EXPECT_EQ(Edit->GetCaretPos(), 4);
    Keys({VK_RIGHT}, kCtrl);
    EXPECT_EQ(Edit->GetCaretPos(), 9);
    Keys({VK_RIGHT}, kCtrlShift);
    EXPECT_EQ(Edit->GetSelText(), "three");
    Keys({VK_END});
    Keys({VK_LEFT}, kCtrl);
    EXPECT_EQ(Edit->GetCaretPos(), 9);
    Keys({VK_LEFT}, kCtrl);
    EXPECT_EQ(Edit->GetCaretPos(), 4);
    InjectChar(0x7F);
    Process();
    EXPECT_EQ(Edit->GetText(), "two  three");
}

TEST_F(EditTest, MouseSetsTheCaretDragsASelectionAndDoubleClickSelectsAWord) {
    Edit->SetText("alpha beta gamma");
    InjectClick(At(Edit, 2));
    Process();
    EXPECT_EQ(Edit->GetCaretPos(), 2);
    EXPECT_EQ(Edit->GetSelLength(), 0);
    InjectMouseDown(TMouseButton::mbLeft, At(Edit, 6));
    InjectMouseMove(At(Edit, 8), TShiftState{TShiftStateFlag::ssLeft});
    InjectMouseMove(At(Edit, 10), TShiftState{TShiftStateFlag::ssLeft});
    InjectMouseUp(TMouseButton::mbLeft, At(Edit, 10));
    Process();
    EXPECT_EQ(Edit->GetSelText(), "beta");
    // Shift+click extends from the anchor.
    InjectClick(At(Edit, 16), TMouseButton::mbLeft, kShift);
    Process();
    EXPECT_EQ(Edit->GetSelText(), "beta gamma");
    FClock->Advance(1000);
    InjectClick(At(Edit, 12));
    InjectClick(At(Edit, 12));
    Process();
    EXPECT_EQ(Edit->GetSelText(), "gamma");
}

TEST_F(EditTest, UndoStepsBackThroughEditsWithTypingAsOneStep) {
    EXPECT_FALSE(Edit->CanUndo());
    Type("abc");
    Clipboard().SetAsText("XYZ");
    Keys({'V'}, kCtrl);
    EXPECT_EQ(Edit->GetText(), "abcXYZ");
    Keys({VK_LEFT});
    Keys({VK_BACK});
    EXPECT_EQ(Edit->GetText(), "abcXZ");
    Keys({'Z'}, kCtrl);
    EXPECT_EQ(Edit->GetText(), "abcXYZ");
    EXPECT_EQ(Edit->GetCaretPos(), 5);
    Edit->Undo();
    EXPECT_EQ(Edit->GetText(), "abc");
    EXPECT_EQ(Edit->Perform(EM_UNDO), 1);
    EXPECT_EQ(Edit->GetText(), "");
    EXPECT_FALSE(Edit->CanUndo());
    EXPECT_EQ(Edit->Perform(EM_UNDO), 0);
    // Text set by code starts a new history.
    Type("q");
    Edit->SetText("new");
    EXPECT_FALSE(Edit->CanUndo());
}

TEST_F(EditTest, ClipboardKeysAndMaxLengthCutPastesAtTheLimit) {
    Edit->SetText("hello world");
    Edit->SetSel(6, 11);
    Keys({'C'}, kCtrl);
    EXPECT_EQ(Clipboard().GetAsText(), "world");
    EXPECT_TRUE(Clipboard().HasFormat(CF_TEXT));
    Keys({'X'}, kCtrl);
    EXPECT_EQ(Edit->GetText(), "hello ");
    Edit->SetSel(0, 5);
    Keys({VK_INSERT}, kCtrl);
    EXPECT_EQ(Clipboard().GetAsText(), "hello");
    Keys({VK_END});
    Keys({VK_INSERT}, kShift);
    EXPECT_EQ(Edit->GetText(), "hello hello");
    Edit->SetSel(0, 6);
    Keys({VK_DELETE}, kShift);
    EXPECT_EQ(Edit->GetText(), "hello");
    EXPECT_EQ(Clipboard().GetAsText(), "hello ");

    // The limit counts code points; a paste is cut, typing at the limit does nothing.
    Edit->SetMaxLength(7);
    Clipboard().SetAsText(
        "\xC3\xA9\xC3\xA9\xC3\xA9"
        "abc");
    Keys({VK_END});
    Edit->PasteFromClipboard();
    EXPECT_EQ(Edit->GetText(), "hello\xC3\xA9\xC3\xA9");
    const int before = Changes;
    Type("z");
    EXPECT_EQ(Edit->GetText(), "hello\xC3\xA9\xC3\xA9");
    EXPECT_EQ(Changes, before);
    // Replacing a selection makes room; only the first line of a paste is taken.
    Edit->SetSel(0, 5);
    Clipboard().SetAsText("ab\r\ncd");
    Edit->PasteFromClipboard();
    EXPECT_EQ(Edit->GetText(), "ab\xC3\xA9\xC3\xA9");
    // Text set by code is not cut, and a negative limit is refused.
    Edit->SetText("0123456789");
    EXPECT_EQ(Edit->GetText(), "0123456789");
    EXPECT_THROW(Edit->SetMaxLength(-1), EInvalidArgument);
    EXPECT_EQ(Edit->GetMaxLength(), 7);
    Edit->Perform(EM_LIMITTEXT, 3);
    EXPECT_EQ(Edit->GetMaxLength(), 3);
}

TEST_F(EditTest, CharCaseConvertsTheTextAndEverythingTyped) {
    Edit->SetText("Mixed \xD0\xB4");  // Cyrillic small de
    Edit->SetCharCase(TEditCharCase::ecUpperCase);
    EXPECT_EQ(Edit->GetText(), "MIXED \xD0\x94");
    Keys({VK_END});
    Type("ab\xCE\xB1");  // Greek small alpha
    EXPECT_EQ(Edit->GetText(),
              "MIXED \xD0\x94"
              "AB\xCE\x91");
    Edit->SetText("set by code");
    EXPECT_EQ(Edit->GetText(), "SET BY CODE");
    Edit->SetCharCase(TEditCharCase::ecLowerCase);
    EXPECT_EQ(Edit->GetText(), "set by code");
    Clipboard().SetAsText("PASTED");
    Edit->SelectAll();
    Edit->PasteFromClipboard();
    EXPECT_EQ(Edit->GetText(), "pasted");
}

TEST_F(EditTest, ReadOnlyRefusesEditsButCopiesAndSelects) {
    Edit->SetText("fixed");
    Edit->SetReadOnly(true);
    Clipboard().SetAsText("other");
    Keys({VK_END});
    Type("x");
    Keys({VK_BACK});
    Keys({VK_HOME});
    Keys({VK_DELETE});
    Keys({'V'}, kCtrl);
    Edit->SelectAll();
    Keys({'X'}, kCtrl);
    EXPECT_EQ(Edit->GetText(), "fixed");
    EXPECT_FALSE(Edit->GetModified());
    // Cut still copies; copy and selection work.
    EXPECT_EQ(Clipboard().GetAsText(), "fixed");
    Keys({VK_HOME});
    Keys({VK_RIGHT, VK_RIGHT}, kShift);
    Keys({'C'}, kCtrl);
    EXPECT_EQ(Clipboard().GetAsText(), "fi");
    EXPECT_EQ(Edit->Perform(EM_SETREADONLY, 0), 1);
    Type("x");
    EXPECT_EQ(Edit->GetText(), "xxed");
}

TEST_F(EditTest, PasswordCharPaintsNoTextAndRefusesCopying) {
    auto* plain = AddEdit(10, 50);
    AddEdit(10, 90)->SetFocus();
    Edit->SetText("secret");
    Edit->SetPasswordChar(U'*');
    plain->SetText("******");
    Process();
    // The password edit looks exactly like an edit showing the stars.
    auto a = Edit->CaptureImage();
    auto b = plain->CaptureImage();
    ASSERT_EQ(a->GetWidth(), b->GetWidth());
    int differing = 0;
    for (int y = 0; y < a->GetHeight(); ++y)
        for (int x = 0; x < a->GetWidth(); ++x)
            differing += a->GetPixelColor(x, y) != b->GetPixelColor(x, y);
    EXPECT_EQ(differing, 0);
    plain->SetText("secret");
    auto c = plain->CaptureImage();
    differing = 0;
    for (int y = 0; y < a->GetHeight(); ++y)
        for (int x = 0; x < a->GetWidth(); ++x)
            differing += a->GetPixelColor(x, y) != c->GetPixelColor(x, y);
    EXPECT_GT(differing, 0);
    Clipboard().SetAsText("before");
    Edit->SelectAll();
    Edit->CopyToClipboard();
    Edit->CutToClipboard();
    EXPECT_EQ(Clipboard().GetAsText(), "before");
    EXPECT_EQ(Edit->GetText(), "secret");
}

TEST_F(EditTest, LongTextScrollsToKeepTheCaretInsideTheFormattingRect) {
    auto* narrow = AddEdit(10, 50, 60);
    narrow->SetText("a fairly long line of text that cannot fit");
    narrow->SetFocus();
    Keys({VK_END});
    const TRect fr = narrow->GetFormatRect();
    EXPECT_GT(narrow->GetScrollOffset(), 0);
    const int caretX = narrow->CharPosX(narrow->GetTextLen());
    EXPECT_GE(caretX, fr.Left);
    EXPECT_LT(caretX, fr.Right);
    Keys({VK_HOME});
    EXPECT_EQ(narrow->GetScrollOffset(), 0);
    EXPECT_EQ(narrow->CharPosX(0), fr.Left);
    // A formatting rectangle set by message moves the text and is read back the same way.
    TRect r{20, 4, 50, 20};
    narrow->Perform(EM_SETRECT, 0, LPARAM(&r));
    TRect got;
    narrow->Perform(EM_GETRECT, 0, LPARAM(&got));
    EXPECT_EQ(got, r);
    EXPECT_EQ(narrow->CharPosX(0), 20);
    Keys({VK_END});
    EXPECT_LT(narrow->CharPosX(narrow->GetTextLen()), 50);
}

TEST_F(EditTest, SelectionAndTextMessagesCountCodePoints) {
    Edit->SetText("\xC3\xA9t\xC3\xA9");  // été
    Edit->Perform(EM_SETSEL, 1, -1);
    int a = -1, b = -1;
    const LRESULT r = Edit->Perform(EM_GETSEL, WPARAM(&a), LPARAM(&b));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 3);
    EXPECT_EQ(r, MakeLParam(1, 3));
    Edit->Perform(EM_SETSEL, WPARAM(-1), 0);
    EXPECT_EQ(Edit->GetSelLength(), 0);
    // A short buffer is cut before a partial character.
    char buf[5];
    EXPECT_EQ(Edit->Perform(WM_GETTEXT, sizeof buf, LPARAM(buf)), 3);
    EXPECT_STREQ(buf, "\xC3\xA9t");
    Edit->Perform(WM_SETTEXT, 0, LPARAM("new"));
    EXPECT_EQ(Edit->GetText(), "new");
    Edit->SelectAll();
    Edit->Perform(EM_REPLACESEL, 1, LPARAM("re"));
    EXPECT_EQ(Edit->GetText(), "re");
    EXPECT_TRUE(Edit->CanUndo());
    Edit->SetSelStart(1);
    Edit->SetSelText("X");
    EXPECT_EQ(Edit->GetText(), "rXe");
    EXPECT_EQ(Edit->Perform(EM_GETMODIFY), 1);
    Edit->Perform(EM_SETMODIFY, 0);
    EXPECT_FALSE(Edit->GetModified());
}

TEST_F(EditTest, AutoSelectOnKeyboardFocusOnly) {
    auto* other = AddEdit(10, 50);
    other->SetText("text");
    other->SetFocus();
    EXPECT_EQ(other->GetSelLength(), 4);
    Edit->SetFocus();
    other->SetAutoSelect(false);
    other->SetSelStart(1);
    other->SetFocus();
    EXPECT_EQ(other->GetSelLength(), 0);
    EXPECT_EQ(other->GetCaretPos(), 1);
    // A click places the caret instead of selecting all.
    Edit->SetFocus();
    other->SetAutoSelect(true);
    InjectClick(At(other, 2));
    Process();
    EXPECT_EQ(other->GetSelLength(), 0);
    EXPECT_EQ(other->GetCaretPos(), 2);
}

TEST_F(EditTest, AlignmentPlacesAShortTextAndTheCaretFollows) {
    Edit->SetText("abc");
    const TRect fr = Edit->GetFormatRect();
    const int width = Edit->CharPosX(3) - Edit->CharPosX(0);
    Edit->SetAlignment(TAlignment::taRightJustify);
    EXPECT_EQ(Edit->CharPosX(3), fr.Right - 1);
    Edit->SetAlignment(TAlignment::taCenter);
    EXPECT_EQ(Edit->CharPosX(0), fr.Left + (fr.Width() - width) / 2);
    // Clicks find the characters where they are drawn.
    InjectClick(At(Edit, 1));
    Process();
    EXPECT_EQ(Edit->GetCaretPos(), 1);
    // A text wider than the rectangle scrolls as a left-aligned one does.
    Edit->SetText(std::string(80, 'w'));
    EXPECT_EQ(Edit->CharPosX(0), fr.Left);
}

TEST_F(EditTest, EditsAndMasksAreWrittenToAndReadFromForms) {
    Edit->SetName("Name");
    Edit->SetText("Ada");
    Edit->SetMaxLength(10);
    Edit->SetCharCase(TEditCharCase::ecUpperCase);
    Edit->SetReadOnly(true);
    Edit->SetPasswordChar(U'*');
    auto* phone = new TMaskEdit(Form.get());
    phone->SetName("Phone");
    phone->SetParent(Form.get());
    phone->SetEditMask("(999) 000-0000;0;_");
    phone->SetText("5551234567");
    const std::string text = ComponentToText(Form.get());
    EXPECT_NE(text.find("CharCase = ecUpperCase"), std::string::npos) << text;
    EXPECT_EQ(text.find("AutoSelect"), std::string::npos);
    // The password character is written quoted, and only where it is set.
    EXPECT_NE(text.find("PasswordChar = '*'\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("PasswordChar"), text.rfind("PasswordChar"));

    TForm read(nullptr);
    ReadComponentText(text, &read);
    auto* name = dynamic_cast<TEdit*>(read.FindComponent("Name"));
    auto* readPhone = dynamic_cast<TMaskEdit*>(read.FindComponent("Phone"));
    ASSERT_NE(name, nullptr);
    ASSERT_NE(readPhone, nullptr);
    EXPECT_EQ(name->GetText(), "ADA");
    EXPECT_EQ(name->GetMaxLength(), 10);
    EXPECT_TRUE(name->GetReadOnly());
    EXPECT_EQ(name->GetPasswordChar(), U'*');
    EXPECT_EQ(readPhone->GetPasswordChar(), 0U);
    EXPECT_EQ(readPhone->GetEditMask(), "(999) 000-0000;0;_");
    EXPECT_EQ(readPhone->GetText(), "5551234567");
    EXPECT_EQ(ComponentToText(readPhone), ComponentToText(phone));
    EXPECT_EQ(ComponentToText(name), ComponentToText(Edit));
}

TEST_F(EditTest, SunkenEdgeWindowColourAndASelectionShownOnlyWithFocus) {
    EXPECT_EQ(Edit->GetClientWidth(), 200 - 4);
    Edit->SetText("iiii    ");
    Edit->SetSel(4, 8);  // blanks: the highlight has no glyphs on it
    const TRect fr = Edit->GetFormatRect();
    auto countHighlight = [&](const TBitmap& img) {
        int n = 0;
        const TPoint o = Edit->ClientToParent(TPoint{0, 0}, Form.get());
        const TPoint w = TPoint{o.X - Edit->GetLeft(), o.Y - Edit->GetTop()};
        for (int x = Edit->CharPosX(4); x < Edit->CharPosX(8); ++x)
            n += img.GetPixelColor(w.X + x, w.Y + fr.Top + 2) == TColor(ColorToRGB(clHighlight));
        return n;
    };
    auto focused = Edit->CaptureImage();
    const int selWidth = Edit->CharPosX(8) - Edit->CharPosX(4);
    EXPECT_EQ(countHighlight(*focused), selWidth);
    // Window colour past the text, the classic edge colours at the corner.
    EXPECT_EQ(focused->GetPixelColor(focused->GetWidth() - 5, 12), TColor(ColorToRGB(clWindow)));
    EXPECT_EQ(focused->GetPixelColor(0, 0), TColor(ColorToRGB(clBtnShadow)));
    AddEdit(10, 50)->SetFocus();
    Process();
    EXPECT_EQ(countHighlight(*Edit->CaptureImage()), 0);
    Edit->SetHideSelection(false);
    EXPECT_EQ(countHighlight(*Edit->CaptureImage()), selWidth);
}

}  // namespace
}  // namespace veltest
