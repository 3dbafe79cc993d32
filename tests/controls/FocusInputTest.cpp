// Focus and tab order, mouse capture, cancel mode, popups and the mouse and key events.
#include "platform/classes/Errors.h"
#include "platform/classes/PropAccess.h"
#include "platform/controls/Menus.h"
#include "tests/controls/ControlsTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

class FocusInputTest : public ControlsTest {
protected:
    FocusInputTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        A = Add("A", 10, 10);
        B = Add("B", 10, 50);
        C = Add("C", 10, 90);
    }
    TLogControl* Add(const std::string& name, int x, int y, TWinControl* parent = nullptr) {
        auto* c = new TLogControl(Form.get(), &Log, name);
        c->SetName(name);
        c->SetBounds(x, y, 100, 30);
        c->SetParent(parent ? parent : Form.get());
        return c;
    }
    std::vector<std::string> Log;
    std::unique_ptr<TForm> Form;
    TLogControl *A, *B, *C;
};

TEST_F(FocusInputTest, ShowingFocusesTheFirstTabStopThenFocusMovesWithExitAndEnter) {
    Form->Show();
    EXPECT_TRUE(A->Focused());
    EXPECT_EQ(Form->GetActiveControl(), A);
    EXPECT_EQ(Screen().GetActiveControl(), A);
    EXPECT_EQ(Screen().GetActiveForm(), Form.get());
    Log.clear();
    C->SetFocus();
    EXPECT_EQ(Log, (std::vector<std::string>{"A:killfocus", "C:setfocus", "A:exit", "C:enter"}));
    EXPECT_TRUE(C->Focused());
    EXPECT_FALSE(A->Focused());
    EXPECT_EQ(GetFocus(), C->GetHandle());
}

TEST_F(FocusInputTest, EnterAndExitOnlyForControlsActuallyLeftOrEntered) {
    auto* panel = new TLogControl(Form.get(), &Log, "P");
    panel->SetBounds(150, 10, 200, 200);
    panel->SetParent(Form.get());
    auto* inner1 = Add("I1", 5, 5, panel);
    auto* inner2 = Add("I2", 5, 50, panel);
    Form->SetActiveControl(inner1);
    Form->Show();
    EXPECT_TRUE(inner1->Focused());
    Log.clear();
    inner2->SetFocus();
    // The panel contains both: it is neither left nor entered.
    EXPECT_EQ(Log, (std::vector<std::string>{"I1:killfocus", "I2:setfocus", "I1:exit", "I2:enter"}));
    Log.clear();
    A->SetFocus();
    EXPECT_EQ(Log, (std::vector<std::string>{"I2:killfocus", "A:setfocus", "I2:exit", "P:exit", "A:enter"}));
}

TEST_F(FocusInputTest, TabKeysWalkTheTabOrderAndSkipWhatCannotFocus) {
    Form->Show();
    B->SetTabOrder(0);  // B, A, C
    EXPECT_EQ(A->GetTabOrder(), 1);
    B->SetFocus();
    InjectKey(VK_TAB);
    Process();
    EXPECT_TRUE(A->Focused());
    C->SetEnabled(false);
    InjectKey(VK_TAB);
    Process();
    EXPECT_TRUE(B->Focused());  // wrapped past the disabled one
    InjectKey(VK_TAB, {TShiftStateFlag::ssShift});
    Process();
    EXPECT_TRUE(A->Focused());
    A->SetTabStop(false);
    B->SetFocus();
    InjectKey(VK_TAB);
    Process();
    EXPECT_TRUE(B->Focused());  // the only tab stop left
}

TEST_F(FocusInputTest, CannotFocusHiddenOrDisabledControls) {
    Form->Show();
    B->SetVisible(false);
    EXPECT_FALSE(B->CanFocus());
    EXPECT_THROW(B->SetFocus(), EInvalidOperation);
    C->SetEnabled(false);
    EXPECT_THROW(Form->SetActiveControl(C), EInvalidOperation);
    TForm hidden(nullptr);
    auto* x = new TLogControl(&hidden);
    x->SetParent(&hidden);
    EXPECT_FALSE(x->CanFocus());
}

TEST_F(FocusInputTest, HidingOrFreeingTheFocusedControlMovesTheFocusToTheForm) {
    Form->Show();
    B->SetFocus();
    B->SetVisible(false);
    EXPECT_FALSE(B->Focused());
    EXPECT_EQ(Form->GetActiveControl(), nullptr);
    EXPECT_EQ(GetFocus(), Form->GetHandle());
    C->SetFocus();
    delete C;
    EXPECT_EQ(Form->GetActiveControl(), nullptr);
    EXPECT_EQ(Screen().GetActiveControl(), nullptr);
    EXPECT_EQ(GetFocus(), Form->GetHandle());
    InjectKey('X');  // goes to the form, nobody crashes
    Process();
}

TEST_F(FocusInputTest, KeyPreviewLetsTheFormSeeKeysFirst) {
    Form->Show();
    B->SetFocus();
    std::vector<std::string> keys;
    Form->SetKeyPreview(true);
    Form->SetOnKeyDown([&](TObject*, unsigned& k, TShiftState) {
        keys.push_back("form:" + std::to_string(k));
        if (k == VK_F3) k = 0;  // swallowed
    });
    Form->SetOnKeyPress([&](TObject*, char32_t& c) {
        if (c == U'a') c = U'b';
    });
    B->SetOnKeyDown([&](TObject*, unsigned& k, TShiftState) { keys.push_back("B:" + std::to_string(k)); });
    B->SetOnKeyPress([&](TObject*, char32_t& c) { keys.push_back(std::string("B:char ") + char(c)); });
    InjectKey(VK_F2);
    InjectKey(VK_F3);
    InjectKey('A');
    Process();
    EXPECT_EQ(keys, (std::vector<std::string>{"form:113", "B:113", "form:114", "form:65", "B:65", "B:char b"}));
}

TEST_F(FocusInputTest, MouseDownCapturesUntilTheButtonGoesUp) {
    Form->Show();
    std::vector<std::string> ev;
    A->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, int x, int y) {
        ev.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    });
    A->SetOnMouseMove([&](TObject*, TShiftState s, int x, int) {
        ev.push_back("move " + std::to_string(x) + (s.Contains(TShiftStateFlag::ssLeft) ? " L" : ""));
    });
    A->SetOnMouseUp([&](TObject*, TMouseButton, TShiftState, int x, int) { ev.push_back("up " + std::to_string(x)); });
    A->SetOnClick([&](TObject*) { ev.push_back("click"); });
    const TPoint inA = ScreenPointOf(A, Point(5, 5));
    InjectMouseDown(TMouseButton::mbLeft, inA);
    Process();
    EXPECT_EQ(GetCaptureControl(), A);
    EXPECT_EQ(GetCapture(), A->GetHandle());
    // Outside A (over B) the moves still go to A, in A's coordinates.
    const TPoint overB = ScreenPointOf(B, Point(5, 5));
    InjectMouseMove(overB);
    InjectMouseUp(TMouseButton::mbLeft, overB);
    Process();
    EXPECT_EQ(GetCaptureControl(), nullptr);
    // Released outside: no click.
    EXPECT_EQ(ev, (std::vector<std::string>{"down 5,5", "move 5 L", "up 5"}));
    ev.clear();
    FClock->Advance(1000);  // not a double click
    InjectClick(inA);
    Process();
    EXPECT_EQ(ev, (std::vector<std::string>{"move 5", "down 5,5", "click", "up 5"}));
}

TEST_F(FocusInputTest, CancelModeReleasesCaptureAndReachesTheActiveControl) {
    Form->Show();
    A->SetFocus();
    // A press on C: the active control hears that C took over; C captures on its press.
    Log.clear();
    InjectMouseDown(TMouseButton::mbLeft, ScreenPointOf(C));
    Process();
    EXPECT_EQ(Log, (std::vector<std::string>{"A:cancelmode"}));
    EXPECT_EQ(GetCaptureControl(), C);
    // WM_CANCELMODE ends the capture.
    C->Perform(WM_CANCELMODE);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    InjectMouseUp(TMouseButton::mbLeft, ScreenPointOf(C));
    Process();
    // While B holds the capture, a press over C goes to B, in B's coordinates.
    SetCaptureControl(B);
    int bx = -1000;
    B->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState, int x, int) { bx = x; });
    Log.clear();
    FClock->Advance(1000);
    InjectMouseDown(TMouseButton::mbLeft, ScreenPointOf(C, Point(3, 3)));
    Process();
    EXPECT_EQ(bx, C->GetLeft() + 3 - B->GetLeft());
    EXPECT_EQ(Log, (std::vector<std::string>{"A:cancelmode"}));
    SetCaptureControl(A);
    EXPECT_EQ(GetCaptureControl(), A);
    B->Perform(WM_CANCELMODE);  // not B's capture: nothing happens to A's
    EXPECT_EQ(GetCaptureControl(), A);
    InjectMouseUp(TMouseButton::mbLeft, ScreenPointOf(C));
    Process();
}

class TTestPopup : public TPopupWindow {
public:
    using TPopupWindow::TPopupWindow;
    std::vector<bool> Closes;
    void CloseUp(bool accept) override {
        if (GetVisible()) Closes.push_back(accept);
        TPopupWindow::CloseUp(accept);
    }
};

TEST_F(FocusInputTest, PopupIsTopLevelAndAClickOutsideClosesIt) {
    Form->Show();
    A->SetFocus();
    auto* popup = new TTestPopup(Form.get());
    popup->SetParent(A);
    popup->SetBounds(0, 0, 120, 80);
    auto* inside = new TLogControl(popup, &Log, "in");
    inside->SetBounds(10, 10, 50, 20);
    inside->SetParent(popup);
    popup->Popup(Point(700, 500));
    ASSERT_TRUE(popup->GetVisible());
    EXPECT_TRUE(popup->IsTopLevel());
    EXPECT_EQ(popup->GetClientOrigin(), Point(701, 501));  // desktop coordinates, inside the border
    EXPECT_EQ(GetTopLevelWindows().front(), popup);        // topmost
    EXPECT_TRUE(A->Focused());                             // showing it took no focus
    // Clicking inside it keeps it open and leaves the focus where it was.
    InjectClick(ScreenPointOf(inside));
    Process();
    EXPECT_TRUE(popup->GetVisible());
    EXPECT_TRUE(A->Focused());
    EXPECT_EQ(FindVCLWindow(Point(705, 505)), popup);
    // A click on the form closes it, rejecting.
    InjectClick(ScreenPointOf(B));
    Process();
    EXPECT_FALSE(popup->GetVisible());
    EXPECT_EQ(popup->Closes, std::vector<bool>{false});
    // So does a click on the empty desktop; it also takes the focus away from the application.
    popup->Popup(Point(700, 500));
    InjectClick(Point(1200, 20));
    Process();
    EXPECT_FALSE(popup->GetVisible());
    EXPECT_EQ(popup->Closes, (std::vector<bool>{false, false}));
    EXPECT_EQ(GetFocus(), 0u);
    EXPECT_FALSE(Form->GetActive());
    // Presses on its owner leave it to the owner.
    popup->SetPopupOwner(B);
    popup->Popup(Point(700, 500));
    FClock->Advance(1000);
    InjectClick(ScreenPointOf(B));
    Process();
    EXPECT_TRUE(popup->GetVisible());
    InjectClick(ScreenPointOf(C));
    Process();
    EXPECT_FALSE(popup->GetVisible());
}

TEST_F(FocusInputTest, ReparentingToTheDesktopKeepsTheScreenPositionAndTheHandle) {
    Form->Show();
    const TPoint before = B->ClientToScreen(Point(0, 0));
    const HWND h = B->GetHandle();
    SetParent(h, 0);
    EXPECT_TRUE(B->IsTopLevel());
    EXPECT_EQ(B->GetHandle(), h);
    EXPECT_EQ(B->ClientToScreen(Point(0, 0)), before);
    EXPECT_EQ(GetParent(h), 0u);
    EXPECT_EQ(FindVCLWindow(before), B);
    Process();
    ASSERT_NE(B->GetSurface(), nullptr);
    EXPECT_EQ(PixelAt(*B->GetSurface(), 1, 1), clWhite);
    SetParent(h, Form->GetHandle());
    EXPECT_FALSE(B->IsTopLevel());
    EXPECT_EQ(B->GetLeft(), 10);
    EXPECT_EQ(B->GetSurface(), nullptr);
}

TEST_F(FocusInputTest, DoubleClickNeedsTimeAndDistanceAndGivesSsDouble) {
    Form->Show();
    std::vector<std::string> ev;
    A->SetOnMouseDown([&](TObject*, TMouseButton, TShiftState s, int, int) {
        ev.push_back(s.Contains(TShiftStateFlag::ssDouble) ? "down2" : "down");
    });
    A->SetOnDblClick([&](TObject*) { ev.push_back("dbl"); });
    A->SetOnClick([&](TObject*) { ev.push_back("click"); });
    TPoint p = ScreenPointOf(A, Point(10, 10));
    InjectClick(p);
    Process();
    FClock->Advance(300);
    InjectClick(Point(p.X + 1, p.Y + 1));
    Process();
    EXPECT_EQ(ev, (std::vector<std::string>{"down", "click", "dbl", "down2"}));
    ev.clear();
    // Too late, then too far.
    FClock->Advance(1000);
    InjectClick(p);
    Process();
    FClock->Advance(501);
    InjectClick(p);
    Process();
    FClock->Advance(10);
    InjectClick(Point(p.X + 5, p.Y));
    Process();
    EXPECT_EQ(ev, (std::vector<std::string>{"down", "click", "down", "click", "down", "click"}));
    // Without csDoubleClicks the second press is a plain one.
    ev.clear();
    A->SetControlStyle(A->GetControlStyle() - TControlStyleFlag::csDoubleClicks);
    FClock->Advance(1000);
    InjectClick(p);
    InjectClick(p);
    Process();
    EXPECT_EQ(ev, (std::vector<std::string>{"down", "click", "down", "click"}));
}

TEST_F(FocusInputTest, WheelGoesToTheFocusedControlThenToItsParents) {
    Form->Show();
    B->SetFocus();
    std::vector<std::string> ev;
    B->SetOnMouseWheelDown([&](TObject*, TShiftState s, TPoint pos, bool& handled) {
        ev.push_back("B down " + std::to_string(pos.X) + (s.Contains(TShiftStateFlag::ssCtrl) ? " ctrl" : ""));
        handled = false;
    });
    Form->SetOnMouseWheel([&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        ev.push_back("form " + std::to_string(delta));
        handled = true;
    });
    InjectMouseWheel(-240, Point(300, 200), {TShiftStateFlag::ssCtrl});
    Process();
    // Two notches, each unhandled by B; then the form takes the whole message.
    EXPECT_EQ(ev, (std::vector<std::string>{"B down 300 ctrl", "B down 300 ctrl", "form -240"}));
}

TEST_F(FocusInputTest, MouseEnterAndLeaveFollowThePointer) {
    Form->Show();
    std::vector<std::string> ev;
    A->SetOnMouseEnter([&](TObject*) { ev.push_back("A enter"); });
    A->SetOnMouseLeave([&](TObject*) { ev.push_back("A leave"); });
    B->SetOnMouseEnter([&](TObject*) { ev.push_back("B enter"); });
    InjectMouseMove(ScreenPointOf(A));
    InjectMouseMove(ScreenPointOf(A, Point(1, 1)));
    InjectMouseMove(ScreenPointOf(B));
    Process();
    EXPECT_EQ(ev, (std::vector<std::string>{"A enter", "A leave", "B enter"}));
    EXPECT_EQ(GetMouseControl(), B);
}

TEST_F(FocusInputTest, RightClickRaisesTheContextPopup) {
    Form->Show();
    TPopupMenu menu(nullptr);
    std::vector<std::string> ev;
    SetPopupMenuHandler([&](TComponent* m, TControl* c, TPoint p) {
        ev.push_back(c->GetName() + " menu at " + std::to_string(p.X) + (m == &menu ? "" : " ?"));
        return true;
    });
    A->SetPopupMenu(&menu);
    InjectClick(ScreenPointOf(A, Point(3, 4)), TMouseButton::mbRight);
    // B has none: its form is asked, and has none either.
    InjectClick(ScreenPointOf(B), TMouseButton::mbRight);
    Process();
    EXPECT_EQ(ev, std::vector<std::string>{"A menu at " + std::to_string(ScreenPointOf(A, Point(3, 4)).X)});
    B->SetOnContextPopup([&](TObject*, TPoint p, bool& handled) {
        ev.push_back("B popup " + std::to_string(p.X));
        handled = true;
    });
    InjectClick(ScreenPointOf(B, Point(7, 7)), TMouseButton::mbRight);
    Process();
    EXPECT_EQ(ev.back(), "B popup 7");
    SetPopupMenuHandler(nullptr);
    // Only a popup menu can be a control's popup menu, also when set by name.
    EXPECT_THROW(SetObjectProp(A, "PopupMenu", B), EPropertyError);
    EXPECT_EQ(A->GetPopupMenu(), &menu);
    A->SetPopupMenu(nullptr);
}

TEST_F(FocusInputTest, DisabledFormsTakeNoInputAndActivationFollowsClicks) {
    TForm other(nullptr);
    other.SetBounds(600, 100, 200, 200);
    auto* o = new TLogControl(&other, &Log, "O");
    o->SetBounds(10, 10, 50, 50);
    o->SetParent(&other);
    Form->Show();
    other.Show();
    EXPECT_EQ(Screen().GetActiveForm(), &other);
    EXPECT_TRUE(o->Focused());
    int clicks = 0;
    A->SetOnClick([&](TObject*) { ++clicks; });
    InjectClick(ScreenPointOf(A));
    Process();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Screen().GetActiveForm(), Form.get());
    EXPECT_TRUE(A->Focused());  // the form's active control got the focus back
    Form->SetEnabled(false);
    InjectClick(ScreenPointOf(A));
    Process();
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace veltest
