// The hint machinery on the virtual clock, hint windows and balloon hints.
#include "platform/controls/Hints.h"
#include "tests/controls/ControlsTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

// Answers CM_HINTSHOW like a grid: one hint per 50-pixel cell, none for the third cell.
class TCellControl : public TCustomControl {
public:
    explicit TCellControl(TComponent* owner) : TCustomControl(owner) {}
    void Dispatch(TMessage& m) override {
        if (m.Msg == CM_HINTSHOW) {
            auto* info = reinterpret_cast<THintInfo*>(m.LParam);
            const int cell = info->CursorPos.X / 50;
            ++Asked;
            Seen = info->HintStr;
            info->CursorRect = Rect(cell * 50, 0, cell * 50 + 50, GetClientHeight());
            if (cell == 2) {
                m.Result = 1;
                return;
            }
            info->HintStr = "cell " + std::to_string(cell);
            info->HintPos = ClientToScreen(Point(cell * 50, 0));
            info->HideTimeout = KeepShowing ? 0 : info->HideTimeout;
            if (WindowClass) info->HintWindowClass = WindowClass;
            m.Result = 0;
            return;
        }
        TCustomControl::Dispatch(m);
    }
    int Asked = 0;
    std::string Seen;
    bool KeepShowing = false;
    const TClassInfo* WindowClass = nullptr;
};

class TWideHintWindow : public THintWindow {
    VEL_CLASS(TWideHintWindow)
public:
    explicit TWideHintWindow(TComponent* owner) : THintWindow(owner) {}
    TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) override {
        TRect r = THintWindow::CalcHintRect(MaxWidth, AHint, AData);
        r.Right += 100;
        return r;
    }
};
VEL_DEFINE_CREATABLE_CLASS(TWideHintWindow, THintWindow)

class HintsTest : public ControlsTest {
protected:
    HintsTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 500, 300);
        Plain = new TLogControl(Form.get());
        Plain->SetBounds(10, 10, 100, 40);
        Plain->SetParent(Form.get());
        Plain->SetHint("Plain tip|The long plain text");
        Plain->SetShowHint(true);
        Other = new TLogControl(Form.get());
        Other->SetBounds(10, 60, 100, 40);
        Other->SetParent(Form.get());
        Other->SetHint("Other tip");
        Other->SetShowHint(true);
        Cells = new TCellControl(Form.get());
        Cells->SetBounds(10, 120, 200, 40);
        Cells->SetParent(Form.get());
        Cells->SetHint("grid");
        Cells->SetShowHint(true);
        Form->Show();
    }
    void MoveTo(const TControl* c, TPoint p) {
        InjectMouseMove(ScreenPointOf(c, p));
        Process();
    }
    void Wait(std::uint64_t ms) {
        FClock->Advance(ms);
        Process();
    }
    std::string Shown() {
        return IsHintShowing() ? GetHintWindow()->GetHintText() : std::string("(none)");
    }
    std::unique_ptr<TForm> Form;
    TLogControl *Plain, *Other;
    TCellControl* Cells;
};

TEST_F(HintsTest, ShortAndLongHintsSplitAtTheFirstBar) {
    EXPECT_EQ(GetShortHint("Open|Opens a file|3"), "Open");
    EXPECT_EQ(GetLongHint("Open|Opens a file|3"), "Opens a file|3");
    EXPECT_EQ(GetShortHint("Open"), "Open");
    EXPECT_EQ(GetLongHint("Open"), "Open");
    EXPECT_EQ(GetShortHint("|Only long"), "");
}

TEST_F(HintsTest, HintShowsAfterThePauseAndHidesAfterTheHidePause) {
    MoveTo(Plain, Point(5, 5));
    Wait(499);
    EXPECT_EQ(Shown(), "(none)");
    // Moving inside the control does not restart the wait.
    MoveTo(Plain, Point(20, 5));
    Wait(1);
    ASSERT_EQ(Shown(), "Plain tip");
    THintWindow* w = GetHintWindow();
    EXPECT_TRUE(w->IsTopLevel());
    EXPECT_TRUE(w->GetExStyle() & WS_EX_TOPMOST);
    EXPECT_EQ(w->GetColor(), Application().GetHintColor());
    const TPoint cursor = ScreenPointOf(Plain, Point(20, 5));
    EXPECT_EQ(w->GetBoundsRect().TopLeft(), Point(cursor.X, cursor.Y + 20));
    // The mouse passes through the hint window to what lies under it.
    EXPECT_EQ(FindVCLWindow(w->GetBoundsRect().TopLeft()), FindVCLWindow(cursor));

    Wait(2499);
    EXPECT_EQ(Shown(), "Plain tip");
    Wait(1);
    EXPECT_EQ(Shown(), "(none)");
    // Hidden for good while the pointer stays in the control.
    MoveTo(Plain, Point(30, 6));
    Wait(5000);
    EXPECT_EQ(Shown(), "(none)");

    // On to another control: the next hint waits the whole pause again.
    MoveTo(Other, Point(5, 5));
    Wait(499);
    EXPECT_EQ(Shown(), "(none)");
    Wait(1);
    EXPECT_EQ(Shown(), "Other tip");
    // While hints are showing, moving on waits only the short pause.
    MoveTo(Plain, Point(5, 5));
    EXPECT_EQ(Shown(), "(none)");
    Wait(Application().GetHintShortPause());
    EXPECT_EQ(Shown(), "Plain tip");

    // Off every hinted control: cancelled.
    InjectMouseMove(Point(1000, 900));
    Process();
    EXPECT_EQ(Shown(), "(none)");
    EXPECT_EQ(GetHintControl(), nullptr);
}

TEST_F(HintsTest, HintShowCanChangeTheTextCellAndCancel) {
    MoveTo(Cells, Point(10, 5));
    Wait(500);
    EXPECT_EQ(Cells->Seen, "grid");
    EXPECT_EQ(Shown(), "cell 0");
    EXPECT_EQ(GetHintWindow()->GetBoundsRect().TopLeft(), ScreenPointOf(Cells, Point(0, 0)));
    const int asked = Cells->Asked;
    MoveTo(Cells, Point(40, 20));
    Wait(1000);
    EXPECT_EQ(Cells->Asked, asked) << "same cell: no new request";
    // Leaving the cell's rectangle shows the next cell's hint after the short pause.
    MoveTo(Cells, Point(60, 5));
    EXPECT_EQ(Shown(), "(none)");
    Wait(Application().GetHintShortPause());
    EXPECT_EQ(Shown(), "cell 1");
    // A refused request shows nothing.
    MoveTo(Cells, Point(110, 5));
    Wait(Application().GetHintShortPause());
    EXPECT_EQ(Shown(), "(none)");
    EXPECT_GT(Cells->Asked, asked + 1);

    // A hide timeout of 0 keeps the hint until the pointer leaves its cell.
    Cells->KeepShowing = true;
    MoveTo(Cells, Point(170, 5));
    Wait(500);
    EXPECT_EQ(Shown(), "cell 3");
    Wait(60000);
    EXPECT_EQ(Shown(), "cell 3");

    // The answer may name the window class.
    Cells->WindowClass = TWideHintWindow::StaticClass();
    MoveTo(Cells, Point(10, 5));
    Wait(500);
    ASSERT_EQ(Shown(), "cell 0");
    EXPECT_TRUE(dynamic_cast<TWideHintWindow*>(GetHintWindow()));
    EXPECT_GT(GetHintWindow()->GetWidth(), 100);
}

TEST_F(HintsTest, PressesAndKeysHideTheHintUntilThePointerLeaves) {
    MoveTo(Plain, Point(5, 5));
    Wait(500);
    ASSERT_EQ(Shown(), "Plain tip");
    InjectMouseDown(TMouseButton::mbLeft, ScreenPointOf(Plain, Point(5, 5)));
    InjectMouseUp(TMouseButton::mbLeft, ScreenPointOf(Plain, Point(5, 5)));
    Process();
    EXPECT_EQ(Shown(), "(none)");
    MoveTo(Plain, Point(8, 8));
    Wait(3000);
    EXPECT_EQ(Shown(), "(none)");
    MoveTo(Form.get(), Point(300, 250));
    MoveTo(Plain, Point(8, 8));
    Wait(500);
    EXPECT_EQ(Shown(), "Plain tip");
    InjectKey(VK_DOWN);
    Process();
    EXPECT_EQ(Shown(), "(none)");

    // Hints off for the application: nothing shows.
    Application().SetShowHint(false);
    MoveTo(Other, Point(5, 5));
    Wait(5000);
    EXPECT_EQ(Shown(), "(none)");
}

TEST_F(HintsTest, HintWindowMeasuresWrapsAndStaysOnTheDesktop) {
    THintWindow w(nullptr);
    const TRect one = w.CalcHintRect(1000, "short", nullptr);
    const TRect wrapped =
        w.CalcHintRect(100, "a rather long hint text that cannot fit on one line", nullptr);
    EXPECT_LE(wrapped.Width(), 106);
    EXPECT_GE(wrapped.Height(), 2 * (one.Height() - 4));
    EXPECT_EQ(one.TopLeft(), Point(0, 0));

    const TRect desk = Screen().GetDesktopRect();
    TRect r = one;
    r.Offset(desk.Right - 10, desk.Bottom - 5);
    w.ActivateHint(r, "short");
    EXPECT_TRUE(w.GetVisible());
    EXPECT_EQ(w.GetBoundsRect().Right, desk.Right);
    EXPECT_EQ(w.GetBoundsRect().Bottom, desk.Bottom);
    EXPECT_EQ(w.GetBoundsRect().Width(), one.Width());
    auto img = w.CaptureImage();
    EXPECT_EQ(ColorToRGB(img->GetPixelColor(one.Width() - 3, 1)),
              ColorToRGB(Application().GetHintColor()));
    w.ReleaseHandle();
    EXPECT_FALSE(w.GetVisible());
}

TEST_F(HintsTest, BalloonHintWaitsItsDelayAndHidesAfter) {
    TBalloonHint balloon(nullptr);
    balloon.SetTitle("Title");
    balloon.SetDescription("The description");
    EXPECT_THROW(balloon.SetDelay(-5), EInvalidArgument);
    EXPECT_EQ(balloon.GetDelay(), 500);
    balloon.SetDelay(300);
    balloon.SetHideAfter(1000);
    const TPoint at = Point(400, 300);
    balloon.ShowHint(at);
    EXPECT_TRUE(balloon.GetShowing());
    EXPECT_TRUE(balloon.GetPending());
    Wait(299);
    EXPECT_TRUE(!balloon.GetWindow() || !balloon.GetWindow()->GetVisible());
    Wait(1);
    ASSERT_TRUE(balloon.GetWindow());
    const TRect b = balloon.GetWindow()->GetBoundsRect();
    EXPECT_TRUE(balloon.GetWindow()->GetVisible());
    EXPECT_EQ(b.Top, at.Y) << "the stem starts at the point";
    EXPECT_TRUE(b.Left <= at.X && at.X < b.Right);
    EXPECT_GT(b.Height(), 20);
    Wait(999);
    EXPECT_TRUE(balloon.GetWindow()->GetVisible());
    Wait(1);
    EXPECT_FALSE(balloon.GetShowing());

    // Below a control's middle, and hidden on request before its delay ends.
    balloon.ShowHint(Plain);
    balloon.HideHint();
    Wait(1000);
    EXPECT_FALSE(balloon.GetShowing());
    balloon.SetDelay(0);
    balloon.ShowHint(Plain);
    const TRect pr = Plain->ClientToScreen(Plain->GetClientRect());
    EXPECT_EQ(balloon.GetShowPoint(), Point((pr.Left + pr.Right) / 2, pr.Bottom));
    EXPECT_TRUE(balloon.GetWindow()->GetVisible());
}

}  // namespace
}  // namespace veltest
