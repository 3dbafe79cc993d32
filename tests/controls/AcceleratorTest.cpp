// Accelerators typed on the keyboard: Alt+letter anywhere, a plain letter where the focused
// control does not type; which control takes it (tab order, hidden, disabled, containers).
#include "platform/controls/Buttons.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/StdEdit.h"
#include "tests/controls/ControlsTestUtil.h"
#include "tests/controls/PixelChecks.h"

using namespace vel;

namespace veltest {
namespace {

class AcceleratorTest : public ControlsTest {
protected:
    AcceleratorTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBorderStyle(TFormBorderStyle::bsNone);
        Form->SetBounds(100, 100, 400, 300);
        Edit = new TEdit(Form.get());
        Edit->SetBounds(10, 10, 120, 21);
        Edit->SetParent(Form.get());
    }
    template <class T>
    T* Add(const std::string& caption, int top, TWinControl* parent = nullptr) {
        auto* c = new T(Form.get());
        c->SetCaption(caption);
        c->SetBounds(150, top, 100, 22);
        c->SetParent(parent ? parent : Form.get());
        return c;
    }
    void Show(TWinControl* focus) {
        Form->SetActiveControl(focus);
        Form->Show();
        Process();
    }
    std::unique_ptr<TForm> Form;
    TEdit* Edit;
};

TEST_F(AcceleratorTest, AltLetterReachesTheFormWhileAPlainLetterIsTypedIntoAnEdit) {
    auto* ok = Add<TButton>("&OK", 10);
    int clicks = 0;
    ok->SetOnClick([&](TObject*) { ++clicks; });
    Show(Edit);
    InjectKey('O');
    Process();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(Edit->GetText(), "o");
    // Alt+O (either case) clicks the button; a push button leaves the focus where it was.
    InjectKey('O', TShiftState{TShiftStateFlag::ssAlt});
    InjectKey('O', TShiftState{TShiftStateFlag::ssAlt, TShiftStateFlag::ssShift});
    Process();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(Edit->GetText(), "o");
    EXPECT_TRUE(Edit->Focused());
    // A letter nobody takes changes nothing.
    InjectKey('Q', TShiftState{TShiftStateFlag::ssAlt});
    Process();
    EXPECT_EQ(Edit->GetText(), "o");
    EXPECT_EQ(clicks, 2);
}

TEST_F(AcceleratorTest, PlainLetterWorksWhenTheFocusedControlDoesNotTypeCharacters) {
    auto* ok = Add<TButton>("&OK", 10);
    auto* check = Add<TCheckBox>("Save && &close", 40);
    auto* literal = Add<TButton>("Fish && chips", 70);
    int okClicks = 0, literalClicks = 0;
    ok->SetOnClick([&](TObject*) { ++okClicks; });
    literal->SetOnClick([&](TObject*) { ++literalClicks; });
    Show(ok);
    // "&&" is a literal ampersand, not an accelerator: 's' and ' ' take nothing.
    InjectText("s c");
    Process();
    EXPECT_EQ(literalClicks, 0);
    EXPECT_TRUE(check->Focused());
    EXPECT_TRUE(check->GetChecked());
    // The check box now has the focus and does not type: 'c' toggles it again, 'o' clicks.
    InjectText("co");
    Process();
    EXPECT_FALSE(check->GetChecked());
    EXPECT_EQ(okClicks, 1);
    // Control characters are never accelerators (Enter on a check box clicks nothing).
    ok->SetCaption("&\r");
    InjectKey(VK_RETURN);
    Process();
    EXPECT_EQ(okClicks, 1);
}

TEST_F(AcceleratorTest, TabOrderDecidesAndHiddenOrDisabledControlsNeverTakeIt) {
    auto* first = Add<TButton>("&Go", 10);
    auto* second = Add<TButton>("&Go on", 40);
    auto* group = Add<TGroupBox>("Box", 80);
    group->SetBounds(150, 80, 200, 100);
    auto* inner = Add<TButton>("&Go inside", 30, group);
    std::vector<std::string> clicked;
    for (auto* b : {first, second, inner})
        b->SetOnClick([&clicked, b](TObject*) { clicked.push_back(b->GetCaption()); });
    second->SetTabOrder(0);
    Show(Edit);
    auto altG = [&] {
        InjectKey('G', TShiftState{TShiftStateFlag::ssAlt});
        Process();
    };
    altG();
    first->SetTabOrder(0);
    altG();
    first->SetVisible(false);
    altG();
    second->SetEnabled(false);
    altG();
    // Inside a disabled or hidden container nothing takes it either.
    group->SetEnabled(false);
    altG();
    group->SetEnabled(true);
    group->SetVisible(false);
    altG();
    EXPECT_EQ(clicked, (std::vector<std::string>{"&Go on", "&Go", "&Go on", "&Go inside"}));
}

TEST_F(AcceleratorTest, EachKindOfControlDoesItsOwnThing) {
    auto* radio1 = Add<TRadioButton>("&Red", 10);
    auto* radio2 = Add<TRadioButton>("&Blue", 40);
    radio1->SetChecked(true);
    auto* group = Add<TGroupBox>("&Size", 80);
    group->SetBounds(150, 80, 200, 120);
    auto* notStop = Add<TCheckBox>("Large", 10, group);
    notStop->SetTabStop(false);
    auto* small = Add<TCheckBox>("Small", 40, group);
    auto* label = Add<TLabel>("&Name", 220);
    label->SetFocusControl(Edit);
    auto* bound = new TBoundLabel(Edit);
    bound->SetCaption("&Edit me");
    auto* speed = Add<TSpeedButton>("&Print", 250);
    int speedClicks = 0;
    speed->SetOnClick([&](TObject*) { ++speedClicks; });
    Show(radio1);
    auto alt = [&](unsigned key) {
        InjectKey(key, TShiftState{TShiftStateFlag::ssAlt});
        Process();
    };
    // A radio button is focused and checked; its sibling unchecks.
    alt('B');
    EXPECT_TRUE(radio2->Focused());
    EXPECT_TRUE(radio2->GetChecked());
    EXPECT_FALSE(radio1->GetChecked());
    // A group box hands the focus to its first tab stop and changes nothing.
    alt('S');
    EXPECT_TRUE(small->Focused());
    EXPECT_FALSE(small->GetChecked());
    // A label focuses its FocusControl; a bound label its control.
    alt('N');
    EXPECT_TRUE(Edit->Focused());
    small->SetFocus();
    alt('E');
    EXPECT_TRUE(Edit->Focused());
    // A speed button clicks, unless disabled; the focus stays.
    alt('P');
    speed->SetEnabled(false);
    alt('P');
    EXPECT_EQ(speedClicks, 1);
    EXPECT_TRUE(Edit->Focused());
    // A disabled label gives the focus to nobody.
    small->SetFocus();
    label->SetEnabled(false);
    alt('N');
    EXPECT_TRUE(small->Focused());
}

TEST_F(AcceleratorTest, AMessageDialogIsAnsweredByTheLetterOfAButton) {
    // The focus is on a button, which types nothing: the plain letter is enough.
    std::vector<unsigned> keys{'N', 'R', 'I'};
    Application().SetModalResponder([&](TCustomForm&) {
        if (keys.empty()) return;
        InjectKey(keys.front());
        keys.erase(keys.begin());
    });
    EXPECT_EQ(MessageDlg("Save?", TMsgDlgType::mtConfirmation, mbYesNoCancel, 0), mrNo);
    EXPECT_EQ(MessageDlg("Failed.", TMsgDlgType::mtError, mbAbortRetryIgnore, 0), mrRetry);
    EXPECT_EQ(MessageDlg("Failed.", TMsgDlgType::mtError, mbAbortRetryIgnore, 0), mrIgnore);
    Application().SetModalResponder(nullptr);
}

TEST_F(AcceleratorTest, EveryCaptionUnderlinesItsAcceleratorLetter) {
    std::vector<TControl*> controls{Add<TButton>("", 10),      Add<TCheckBox>("", 40),
                                    Add<TRadioButton>("", 70), Add<TGroupBox>("", 100),
                                    Add<TLabel>("", 130),      Add<TSpeedButton>("", 160)};
    Show(Edit);
    auto darkPixels = [](TControl* c) {
        auto img = c->CaptureImage();
        int n = 0;
        for (int y = 0; y < img->GetHeight(); ++y)
            for (int x = 0; x < img->GetWidth(); ++x)
                n += Luminance(img->GetPixelColor(x, y)) < 100;
        return n;
    };
    for (TControl* c : controls) {
        SCOPED_TRACE(c->ClassName());
        c->SetCaption("Hat");
        const int plain = darkPixels(c);
        c->SetCaption("&Hat");
        EXPECT_GT(darkPixels(c), plain);
    }
}

}  // namespace
}  // namespace veltest
