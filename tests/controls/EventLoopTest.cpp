// The queue, timers, the release message, modal loops and the key state.
#include "tests/controls/ControlsTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

constexpr UINT WM_DEFERRED = WM_USER + 100;
static_assert(WM_DEFERRED == 1124);

class EventLoopTest : public ControlsTest {};

TEST_F(EventLoopTest, PeekWithRemovalTakesAMessageOutOfTheQueue) {
    std::vector<WPARAM> got;
    HWND h = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_DEFERRED) got.push_back(m.WParam);
    });
    ASSERT_TRUE(PostMessage(h, WM_DEFERRED, 1));
    ASSERT_TRUE(PostMessage(h, WM_USER + 1, 9));
    ASSERT_TRUE(PostMessage(h, WM_DEFERRED, 2));

    TMsg msg;
    // Looking without removing leaves it; the range skips the other message.
    ASSERT_TRUE(PeekMessage(msg, h, WM_DEFERRED, WM_DEFERRED, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessage(msg, h, WM_DEFERRED, WM_DEFERRED, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessage(msg, h, WM_DEFERRED, WM_DEFERRED, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 2u);

    Process();
    EXPECT_EQ(got, std::vector<WPARAM>{2});
    EXPECT_FALSE(PeekMessage(msg, 0, 0, 0, PM_NOREMOVE));
    DeallocateHWnd(h);
    // Posting to a window that is gone fails; a message queued for it is dropped.
    EXPECT_FALSE(PostMessage(h, WM_DEFERRED, 3));
}

TEST_F(EventLoopTest, MessagesForAFreedWindowAreSkipped) {
    int calls = 0;
    HWND h = AllocateHWnd([&](TMessage&) { ++calls; });
    PostMessage(h, WM_DEFERRED);
    DeallocateHWnd(h);
    Process();
    EXPECT_EQ(calls, 0);
}

TEST_F(EventLoopTest, TimerFiresOnlyWhenTheVirtualClockHasAdvanced) {
    TTimer timer(nullptr);
    int fired = 0;
    timer.SetInterval(200);
    timer.SetOnTimer([&](TObject* s) {
        EXPECT_EQ(s, &timer);
        ++fired;
    });
    Process();
    EXPECT_EQ(fired, 0);
    FClock->Advance(199);
    Process();
    EXPECT_EQ(fired, 0);
    FClock->Advance(1);
    Process();
    EXPECT_EQ(fired, 1);
    Process();
    EXPECT_EQ(fired, 1);
    // Several intervals passing between two passes give one WM_TIMER, as classically.
    FClock->Advance(1000);
    Process();
    EXPECT_EQ(fired, 2);
    FClock->Advance(150);
    timer.SetEnabled(false);
    FClock->Advance(500);
    Process();
    EXPECT_EQ(fired, 2);
    // Re-enabling starts a whole interval again.
    timer.SetEnabled(true);
    FClock->Advance(199);
    Process();
    EXPECT_EQ(fired, 2);
    FClock->Advance(1);
    Process();
    EXPECT_EQ(fired, 3);
}

TEST_F(EventLoopTest, TimerFreedInsideItsHandlerStopsCleanly) {
    auto* timer = new TTimer(nullptr);
    int fired = 0;
    timer->SetInterval(200);
    timer->SetOnTimer([&](TObject*) {
        ++fired;
        delete timer;
    });
    FClock->Advance(400);
    Process();
    FClock->Advance(400);
    Process();
    EXPECT_EQ(fired, 1);
}

// A form that releases itself from a handler and keeps using itself afterwards.
class TSelfReleasingForm : public TForm {
public:
    explicit TSelfReleasingForm(TComponent* o, bool* destroyed) : TForm(o), FDestroyed(destroyed) {}
    ~TSelfReleasingForm() override { *FDestroyed = true; }
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_USER + 1) {
            Release();
            // Still alive here, and after more messages are sent to it.
            StillAliveInHandler = !*FDestroyed;
            Perform(WM_USER + 2);
            SetCaption("released");
            StillAliveInHandler = StillAliveInHandler && !*FDestroyed;
            return;
        }
        TForm::Dispatch(m);
    }
    bool StillAliveInHandler = false;

private:
    bool* FDestroyed;
};

TEST_F(EventLoopTest, ReleasedFormIsFreedOnlyAfterTheHandlerReturns) {
    bool destroyed = false;
    auto* form = new TSelfReleasingForm(nullptr, &destroyed);
    form->Show();
    PostMessage(form->GetHandle(), WM_USER + 1);
    // Pulling only the first message: the handler runs, the release message waits.
    ASSERT_TRUE(Application().ProcessMessage());
    EXPECT_TRUE(form->StillAliveInHandler);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(form->GetCaption(), "released");
    Process();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(Screen().FormCount(), 0);
}

TEST_F(EventLoopTest, CloseWithFreeActionReleasesTheForm) {
    bool destroyed = false;
    auto* form = new TSelfReleasingForm(nullptr, &destroyed);
    form->SetOnClose([](TObject*, TCloseAction& a) { a = TCloseAction::caFree; });
    form->Show();
    form->Close();
    EXPECT_FALSE(destroyed);
    EXPECT_FALSE(form->GetVisible());
    Process();
    EXPECT_TRUE(destroyed);
}

TEST_F(EventLoopTest, CloseQueryCanRefuse) {
    TForm form(nullptr);
    bool allow = false;
    form.SetOnCloseQuery([&](TObject*, bool& can) { can = allow; });
    form.Show();
    form.Close();
    EXPECT_TRUE(form.GetVisible());
    allow = true;
    form.Close();
    EXPECT_FALSE(form.GetVisible());
}

TEST_F(EventLoopTest, ShowModalEndsWithTheModalResult) {
    TForm main(nullptr);
    main.Show();
    TForm dlg(nullptr);
    std::vector<std::string> events;
    dlg.SetOnShow([&](TObject*) { events.push_back("show"); });
    dlg.SetOnClose([&](TObject*, TCloseAction&) { events.push_back("close"); });
    Application().SetModalResponder([&](TCustomForm& f) {
        EXPECT_EQ(&f, &dlg);
        EXPECT_FALSE(main.GetEnabled());  // other forms are disabled while it runs
        EXPECT_EQ(Application().GetModalLevel(), 1);
        f.SetModalResult(mrOk);
    });
    EXPECT_EQ(dlg.ShowModal(), mrOk);
    EXPECT_EQ(events, (std::vector<std::string>{"show", "close"}));
    EXPECT_FALSE(dlg.GetVisible());
    EXPECT_TRUE(main.GetEnabled());
    EXPECT_EQ(Application().GetModalLevel(), 0);
    EXPECT_EQ(Screen().GetActiveForm(), &main);
    // Without a responder nobody answers: Cancel.
    Application().SetModalResponder(nullptr);
    EXPECT_EQ(dlg.ShowModal(), mrCancel);
    // A visible form cannot become modal.
    dlg.Show();
    EXPECT_THROW(dlg.ShowModal(), EInvalidOperation);
}

TEST_F(EventLoopTest, ModalLoopProcessesInputThatAHandlerAnswers) {
    TForm dlg(nullptr);
    dlg.SetKeyPreview(true);
    dlg.SetOnKeyDown([&](TObject*, unsigned& key, TShiftState) {
        if (key == VK_F2) dlg.SetModalResult(mrYes);
    });
    int answered = 0;
    Application().SetModalResponder([&](TCustomForm&) {
        ++answered;
        InjectKey(VK_F2);
    });
    EXPECT_EQ(dlg.ShowModal(), mrYes);
    EXPECT_EQ(answered, 1);
    // A close query that refuses keeps the loop going until the next answer.
    int queries = 0;
    dlg.SetOnCloseQuery([&](TObject*, bool& can) { can = ++queries > 1; });
    EXPECT_EQ(dlg.ShowModal(), mrYes);
    EXPECT_EQ(queries, 2);
}

TEST_F(EventLoopTest, RunEndsOnTerminateAndOnQuit) {
    int idle = 0;
    HWND h = AllocateHWnd([](TMessage& m) {
        if (m.Msg == WM_DEFERRED) Application().Terminate();
    });
    // The first idle pass posts what ends the loop.
    Application().SetOnIdle([&](TObject*, bool& done) {
        if (++idle == 1) PostMessage(h, WM_DEFERRED);
        done = true;
    });
    Application().Run();
    EXPECT_TRUE(Application().GetTerminated());
    PostQuitMessage(0);
    Application().SetTerminated(false);
    Application().HandleMessage();
    EXPECT_TRUE(Application().GetTerminated());
    DeallocateHWnd(h);
    EXPECT_EQ(idle, 1);
}

TEST_F(EventLoopTest, KeyStateFollowsTheInputAsItIsProcessed) {
    TForm form(nullptr);
    auto* c = new TLogControl(&form);
    c->SetParent(&form);
    form.Show();
    std::vector<std::pair<bool, bool>> seen;  // shift, ctrl as GetKeyState tells in OnKeyDown
    TShiftState shiftSeen;
    c->SetOnKeyDown([&](TObject*, unsigned&, TShiftState s) {
        seen.push_back({GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0});
        shiftSeen = s;
    });
    InjectKeyDown('A', {TShiftStateFlag::ssShift});
    InjectKeyDown('B', {TShiftStateFlag::ssCtrl});
    EXPECT_GE(GetKeyState('A'), 0);  // nothing processed yet
    Process();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(true, false));
    EXPECT_EQ(seen[1], std::make_pair(false, true));
    EXPECT_EQ(shiftSeen, TShiftState{TShiftStateFlag::ssCtrl});
    EXPECT_LT(GetKeyState('A'), 0);
    InjectKeyUp('A');
    Process();
    EXPECT_GE(GetKeyState('A'), 0);
    // Caps Lock toggles with each press.
    const int before = GetKeyState(VK_CAPITAL) & 1;
    InjectKey(VK_CAPITAL);
    Process();
    EXPECT_NE(GetKeyState(VK_CAPITAL) & 1, before);
}

TEST_F(EventLoopTest, ExceptionsInHandlersGoToOnExceptionOrPropagate) {
    HWND h = AllocateHWnd([](TMessage& m) {
        if (m.Msg == WM_DEFERRED) throw EConvertError("'x' is not a valid integer value.");
        if (m.Msg == WM_DEFERRED + 1) throw EAbort("");
    });
    PostMessage(h, WM_DEFERRED);
    EXPECT_THROW(Process(), EConvertError);
    std::string reported;
    Application().SetOnException([&](TObject*, const std::exception& e) { reported = e.what(); });
    PostMessage(h, WM_DEFERRED + 1);  // silent
    PostMessage(h, WM_DEFERRED);
    Process();
    EXPECT_EQ(reported, "'x' is not a valid integer value.");
    DeallocateHWnd(h);
}

TEST_F(EventLoopTest, RunReportsAnUnhandledErrorAndKeepsRunning) {
    int after = 0;
    HWND h = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_DEFERRED) throw EConvertError("'y' is not a valid date.");
        if (m.Msg == WM_DEFERRED + 1) {
            ++after;
            Application().Terminate();
        }
    });
    Application().SetTitle("Demo");
    PostMessage(h, WM_DEFERRED);
    PostMessage(h, WM_DEFERRED + 1);
    testing::internal::CaptureStderr();
    Application().Run();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(after, 1);  // the message after the failing one was still handled
    EXPECT_NE(err.find("Demo: 'y' is not a valid date."), std::string::npos) << err;
    DeallocateHWnd(h);
}

TEST_F(EventLoopTest, SystemProfileAnswersMetricsAndStyles) {
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_FALSE(StyleServices().Enabled());
    EXPECT_EQ(StyleServices().GetSystemColor(clBtnFace), clBtnFace);
    TSystemProfileScope p;
    p->Metrics[SM_CXVSCROLL] = 20;
    p->WheelScrollLines = 5;
    TStyleManager::SetStyle("Carbon");
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 20);
    EXPECT_EQ(GetWheelScrollLines(), 5);
    EXPECT_TRUE(StyleServices().Enabled());
    EXPECT_FALSE(StyleServices().IsSystemStyle());
    EXPECT_EQ(TStyleManager::ActiveStyleName(), "Carbon");
    EXPECT_NE(StyleServices().GetSystemColor(clBtnFace), clBtnFace);
    Screen().SetDesktop(Rect(0, 0, 800, 600), Rect(0, 0, 800, 560));
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    EXPECT_THROW(Screen().SetDesktop(Rect(0, 0, 0, 600), TRect{}), EInvalidArgument);
    EXPECT_EQ(Screen().GetDesktopRect(), Rect(0, 0, 800, 600));
}

}  // namespace
}  // namespace veltest
