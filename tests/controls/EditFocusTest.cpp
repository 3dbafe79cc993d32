// What edits do around the focus: a masked edit that is left incomplete keeps the focus
// and reports through the application; the focused edit's caret blinks on the clock.
#include "platform/controls/Mask.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/StdEdit.h"
#include "tests/controls/ControlsTestUtil.h"
#include "tests/controls/PixelChecks.h"

using namespace vel;

namespace veltest {
namespace {

class EditFocusTest : public ControlsTest {
protected:
    EditFocusTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBorderStyle(TFormBorderStyle::bsNone);
        Form->SetBounds(100, 100, 400, 200);
        Phone = AddMask(10);
        Other = new TEdit(Form.get());
        Other->SetBounds(10, 80, 120, 21);
        Other->SetParent(Form.get());
        Ok = new TButton(Form.get());
        Ok->SetCaption("&OK");
        Ok->SetBounds(200, 10, 75, 25);
        Ok->SetParent(Form.get());
        Ok->SetOnClick([this](TObject*) { Log.push_back("ok:click"); });
        Watch(Phone, "phone");
        Watch(Other, "other");
        Application().SetOnException([this](TObject*, const std::exception& e) {
            auto* err = dynamic_cast<const EDBEditError*>(&e);
            Errors.push_back(err ? err->Message() : std::string("other: ") + e.what());
        });
    }
    ~EditFocusTest() override { Application().SetOnException(nullptr); }
    TMaskEdit* AddMask(int top) {
        auto* m = new TMaskEdit(Form.get());
        m->SetEditMask("000-000;0;_");
        m->SetBounds(10, top, 120, 21);
        m->SetParent(Form.get());
        return m;
    }
    void Watch(TWinControl* c, const std::string& name) {
        c->SetOnEnter([this, name](TObject*) { Log.push_back(name + ":enter"); });
        c->SetOnExit([this, name](TObject*) { Log.push_back(name + ":exit"); });
    }
    void Show(TWinControl* focus) {
        Form->SetActiveControl(focus);
        Form->Show();
        Process();
        Log.clear();
    }
    std::unique_ptr<TForm> Form;
    TMaskEdit* Phone;
    TEdit* Other;
    TButton* Ok;
    std::vector<std::string> Log;
    std::vector<std::string> Errors;
};

TEST_F(EditFocusTest, LeavingAnIncompleteMaskRaisesThroughTheApplicationAndKeepsTheFocus) {
    Show(Phone);
    InjectText("12");
    Process();
    ASSERT_EQ(Phone->GetEditText(), "12_-___");
    // Tab: the focus comes back, the caret sits on the first empty slot, the text stays.
    InjectKey(VK_END);
    InjectKey(VK_TAB);
    Process();
    ASSERT_EQ(Errors.size(), 1U);
    EXPECT_NE(Errors[0].find("12_-___"), std::string::npos) << Errors[0];
    EXPECT_TRUE(Phone->Focused());
    EXPECT_EQ(Form->GetActiveControl(), Phone);
    EXPECT_EQ(Phone->GetSelStart(), 2);
    EXPECT_EQ(Phone->GetSelLength(), 0);
    EXPECT_EQ(Phone->GetEditText(), "12_-___");
    // A mouse press on a button neither clicks it nor keeps the mouse captured.
    InjectClick(ScreenPointOf(Ok));
    Process();
    EXPECT_EQ(Errors.size(), 2U);
    EXPECT_TRUE(Phone->Focused());
    EXPECT_EQ(GetCaptureControl(), nullptr);
    // Nobody entered or left on the way: the user never left the edit.
    EXPECT_TRUE(Log.empty()) << Log.front();
    // Typing goes on where the caret was put; once complete the edit lets the focus go.
    InjectText("3456");
    InjectKey(VK_TAB);
    Process();
    EXPECT_EQ(Errors.size(), 2U);
    EXPECT_EQ(Phone->GetText(), "123456");
    EXPECT_TRUE(Other->Focused());
    EXPECT_EQ(Log, (std::vector<std::string>{"phone:exit", "other:enter"}));
}

TEST_F(EditFocusTest, EscapeAbandonsWhatWasTypedSinceEntering) {
    Phone->SetText("555123");
    Show(Phone);
    InjectKey(VK_DELETE);  // everything is selected on entry: the slots go blank
    InjectKey(VK_TAB);
    Process();
    ASSERT_EQ(Errors.size(), 1U);
    EXPECT_EQ(Phone->GetEditText(), "___-___");
    InjectKey(VK_ESCAPE);
    Process();
    EXPECT_EQ(Phone->GetEditText(), "555-123");
    EXPECT_FALSE(Phone->GetModified());
    InjectKey(VK_TAB);
    Process();
    EXPECT_EQ(Errors.size(), 1U);
    EXPECT_TRUE(Other->Focused());
}

TEST_F(EditFocusTest, TwoIncompleteMasksDoNotFightAndCodeGetsTheException) {
    auto* fax = AddMask(40);
    Watch(fax, "fax");
    Show(Phone);
    InjectText("1");
    InjectClick(ScreenPointOf(fax));
    Process();
    // Only the edit being left complains; the other is neither entered nor left.
    EXPECT_EQ(Errors.size(), 1U);
    EXPECT_TRUE(Phone->Focused());
    EXPECT_TRUE(Log.empty()) << Log.front();
    // A focus change made by code raises to the code.
    EXPECT_THROW(Other->SetFocus(), EDBEditError);
    EXPECT_TRUE(Phone->Focused());
    // Hiding the edit is no exit: nothing is raised, the focus goes to the form.
    Phone->SetVisible(false);
    Process();
    EXPECT_EQ(Errors.size(), 1U);
    EXPECT_FALSE(Phone->Focused());
    // An empty mask is incomplete too.
    fax->SetFocus();
    Process();
    InjectKey(VK_TAB);
    Process();
    EXPECT_EQ(Errors.size(), 2U);
    EXPECT_TRUE(fax->Focused());
}

TEST_F(EditFocusTest, CaretBlinksOnTheClockOnlyWhileFocusedWithoutSelection) {
    auto advance = [&](std::uint64_t ms) {
        FClock->Advance(ms);
        Process();
    };
    Show(Other);
    EXPECT_TRUE(Other->GetCaretVisible());
    EXPECT_FALSE(Phone->GetCaretVisible());
    auto inkOf = [&] {
        auto img = Other->CaptureImage();
        int n = 0;
        for (int y = 0; y < img->GetHeight(); ++y)
            for (int x = 0; x < img->GetWidth(); ++x)
                n += img->GetPixelColor(x, y) == Rgb(clWindowText);
        return n;
    };
    const int inkShown = inkOf();
    advance(529);
    EXPECT_TRUE(Other->GetCaretVisible());
    advance(1);
    EXPECT_FALSE(Other->GetCaretVisible());
    EXPECT_LT(inkOf(), inkShown);
    advance(530);
    EXPECT_TRUE(Other->GetCaretVisible());
    advance(530);
    // Typing shows it at once and starts the interval again; so does moving it.
    InjectText("ab");
    Process();
    EXPECT_TRUE(Other->GetCaretVisible());
    advance(529);
    EXPECT_TRUE(Other->GetCaretVisible());
    advance(1);
    EXPECT_FALSE(Other->GetCaretVisible());
    InjectKey(VK_LEFT);
    Process();
    EXPECT_TRUE(Other->GetCaretVisible());
    // A selection holds it steady.
    Other->SelectAll();
    advance(530 * 3);
    EXPECT_TRUE(Other->GetCaretVisible());
    InjectKey(VK_END);
    Process();
    advance(530);
    EXPECT_FALSE(Other->GetCaretVisible());
    // Losing the focus hides it for good.
    Phone->SetFocus();
    Process();
    EXPECT_FALSE(Other->GetCaretVisible());
    advance(530 * 3);
    EXPECT_FALSE(Other->GetCaretVisible());
    EXPECT_TRUE(Phone->GetCaretVisible());
}

TEST_F(EditFocusTest, BlinkIntervalComesFromTheSystemProfile) {
    TSystemProfileScope profile;
    profile->CaretBlinkTime = 200;
    Show(Other);
    FClock->Advance(200);
    Process();
    EXPECT_FALSE(Other->GetCaretVisible());
    // No blinking at all: a steady caret.
    profile->CaretBlinkTime = 0;
    InjectKey(VK_HOME);
    Process();
    FClock->Advance(5000);
    Process();
    EXPECT_TRUE(Other->GetCaretVisible());
}

}  // namespace
}  // namespace veltest
