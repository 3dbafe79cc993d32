// List boxes and check list boxes: items, selection by keyboard and mouse, scrolling, owner
// drawing, checks and dragging items.
#include "platform/classes/Errors.h"
#include "platform/controls/CheckLst.h"
#include "platform/controls/StdCtrls.h"
#include "tests/controls/ControlsTestUtil.h"
#include "tests/controls/PixelChecks.h"

using namespace vel;

namespace veltest {
namespace {

class ListBoxTest : public ControlsTest {
protected:
    ListBoxTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBorderStyle(TFormBorderStyle::bsNone);
        Form->SetBounds(0, 0, 300, 300);
    }
    template <class T = TListBox>
    T* Make(int count, int height = 104) {
        auto* l = new T(Form.get());
        l->SetParent(Form.get());
        l->SetBounds(10, 10, 150, height);
        l->SetItemHeight(20);
        for (int i = 0; i < count; ++i) l->Items().Add("Item " + std::to_string(i));
        return l;
    }
    TPoint At(TCustomListBox* l, int index) {
        const TRect r = l->ItemRect(index);
        return ScreenPointOf(l, Point(40, r.Top + r.Height() / 2));
    }
    static std::vector<int> Selection(TCustomListBox* l) {
        std::vector<int> s;
        for (int i = 0; i < l->Count(); ++i)
            if (l->GetSelected(i)) s.push_back(i);
        return s;
    }
    std::unique_ptr<TForm> Form;
};

TEST_F(ListBoxTest, ItemIndexFollowsInsertionsDeletionsAndSorting) {
    auto* l = Make(5);
    l->SetItemIndex(2);
    TObject tag;
    l->Items().InsertObject(0, "First", &tag);
    EXPECT_EQ(l->GetItemIndex(), 3);
    EXPECT_EQ(l->Items()[3], "Item 2");
    l->Items().Delete(1);
    EXPECT_EQ(l->GetItemIndex(), 2);
    l->Items().Delete(2);
    EXPECT_EQ(l->GetItemIndex(), -1);  // the focused item is gone
    EXPECT_THROW(l->SetItemIndex(4), EListError);
    EXPECT_THROW(l->Items().Delete(9), EListError);
    EXPECT_EQ(l->GetItemIndex(), -1);
    // Sorting moves the objects and the focus with their items; later adds go in order.
    l->Items().Add("apple");
    l->SetItemIndex(l->Items().IndexOf("Item 3"));
    l->SetSorted(true);
    EXPECT_EQ(l->Items().GetCommaText(), "apple,First,\"Item 1\",\"Item 3\",\"Item 4\"");
    EXPECT_EQ(l->Items()[l->GetItemIndex()], "Item 3");
    EXPECT_EQ(l->Items().Objects(1), &tag);
    EXPECT_EQ(l->Items().Add("Banana"), 1);
    EXPECT_EQ(l->Items()[l->GetItemIndex()], "Item 3");
    l->Items().Move(0, 4);
    EXPECT_EQ(l->Items()[4], "apple");
    EXPECT_EQ(l->Items()[l->GetItemIndex()], "Item 3");
    l->Items().Clear();
    EXPECT_EQ(l->GetItemIndex(), -1);
    EXPECT_EQ(l->Count(), 0);
    EXPECT_THROW(l->SetItemHeight(0), EInvalidArgument);
    EXPECT_EQ(l->GetItemHeight(), 20);
}

TEST_F(ListBoxTest, KeyboardAndMouseSelectionInSingleMode) {
    auto* l = Make(20);  // 104 - 4 border = 100: five rows of 20
    int clicks = 0;
    l->SetOnClick([&](TObject*) { ++clicks; });
    Form->Show();
    l->SetFocus();
    Process();
    EXPECT_EQ(l->VisibleCount(), 5);
    // Twenty items need the scroll bar: it takes its width from the client area.
    EXPECT_NE(l->TWinControl::GetStyle() & WS_VSCROLL, 0U);
    EXPECT_EQ(l->GetClientWidth(), 150 - 4 - GetSystemMetrics(SM_CXVSCROLL));
    InjectKey(VK_DOWN);
    Process();
    EXPECT_EQ(l->GetItemIndex(), 0);
    InjectKey(VK_DOWN);
    InjectKey(VK_DOWN);
    Process();
    EXPECT_EQ(l->GetItemIndex(), 2);
    EXPECT_EQ(clicks, 3);
    InjectKey(VK_NEXT);
    Process();
    EXPECT_EQ(l->GetItemIndex(), 6);
    EXPECT_EQ(l->GetTopIndex(), 2);  // scrolled to show it at the bottom
    InjectKey(VK_END);
    Process();
    EXPECT_EQ(l->GetItemIndex(), 19);
    EXPECT_EQ(l->GetTopIndex(), 15);
    EXPECT_EQ(l->GetScrollInfo(SB_VERT).nPos, 15);
    InjectKey(VK_DOWN);  // at the end: nothing changes, no click
    Process();
    EXPECT_EQ(clicks, 5);
    InjectKey(VK_HOME);
    Process();
    EXPECT_EQ(l->GetTopIndex(), 0);
    // A typed letter finds the next item starting with it.
    l->Items().Put(7, "Zebra");
    InjectChar(U'z');
    Process();
    EXPECT_EQ(l->GetItemIndex(), 7);
    // Mouse: press selects, dragging with the button down follows the pointer.
    l->SetTopIndex(0);
    InjectMouseDown(TMouseButton::mbLeft, At(l, 1));
    Process();
    EXPECT_EQ(l->GetItemIndex(), 1);
    InjectMouseMove(At(l, 3));
    InjectMouseUp(TMouseButton::mbLeft, At(l, 3));
    Process();
    EXPECT_EQ(l->GetItemIndex(), 3);
    EXPECT_EQ(Selection(l), (std::vector<int>{3}));
    int doubles = 0;
    l->SetOnDblClick([&](TObject*) { ++doubles; });
    InjectClick(At(l, 4));
    InjectClick(At(l, 4));
    Process();
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(l->GetItemIndex(), 4);
    EXPECT_EQ(l->ItemAtPos(Point(5, 45), true), 2);
    EXPECT_EQ(l->ItemAtPos(Point(5, 500), true), -1);
    // Wheel scrolls three lines per notch.
    InjectMouseWheel(-120, At(l, 2));
    Process();
    EXPECT_EQ(l->GetTopIndex(), 3);
    // The bar's down arrow scrolls one line.
    InjectClick(ScreenPointOf(l, Point(l->GetClientWidth() + 5, l->GetClientHeight() - 5)));
    Process();
    EXPECT_EQ(l->GetTopIndex(), 4);
    EXPECT_EQ(l->GetItemIndex(), 4);
    // Few enough items: the bar goes and the list scrolls back to the top.
    while (l->Count() > 5) l->Items().Delete(l->Count() - 1);
    EXPECT_EQ(l->TWinControl::GetStyle() & WS_VSCROLL, 0U);
    EXPECT_EQ(l->GetTopIndex(), 0);
}

TEST_F(ListBoxTest, HeldScrollArrowRepeatsWhileThePointerStaysOnIt) {
    auto* l = Make(30);
    Form->Show();
    Process();
    const TPoint arrow = ScreenPointOf(l, Point(l->GetClientWidth() + 5, l->GetClientHeight() - 5));
    InjectMouseDown(TMouseButton::mbLeft, arrow);
    Process();
    EXPECT_EQ(l->GetTopIndex(), 1);
    FClock->Advance(399);
    Process();
    EXPECT_EQ(l->GetTopIndex(), 1);
    FClock->Advance(1);
    Process();
    EXPECT_EQ(l->GetTopIndex(), 2);
    for (int i = 0; i < 3; ++i) {
        FClock->Advance(100);
        Process();
    }
    EXPECT_EQ(l->GetTopIndex(), 5);
    // Off the arrow it pauses (the list does not see the mouse meanwhile).
    InjectMouseMove(ScreenPointOf(l, Point(20, 20)));
    Process();
    FClock->Advance(300);
    Process();
    EXPECT_EQ(l->GetTopIndex(), 5);
    EXPECT_EQ(l->GetItemIndex(), -1);
    InjectMouseMove(arrow);
    Process();
    FClock->Advance(100);
    Process();
    EXPECT_EQ(l->GetTopIndex(), 6);
    // The release ends it.
    InjectMouseUp(TMouseButton::mbLeft, arrow);
    Process();
    EXPECT_EQ(GetCaptureControl(), nullptr);
    FClock->Advance(1000);
    Process();
    EXPECT_EQ(l->GetTopIndex(), 6);
    EXPECT_EQ(l->GetItemIndex(), -1);
}

TEST_F(ListBoxTest, MultiAndExtendedSelection) {
    auto* l = Make(10);
    l->SetMultiSelect(true);
    Form->Show();
    Process();
    InjectClick(At(l, 1));
    InjectClick(At(l, 3), TMouseButton::mbLeft, {TShiftStateFlag::ssShift});
    Process();
    EXPECT_EQ(Selection(l), (std::vector<int>{1, 2, 3}));
    InjectClick(At(l, 2), TMouseButton::mbLeft, {TShiftStateFlag::ssCtrl});
    Process();
    EXPECT_EQ(Selection(l), (std::vector<int>{1, 3}));
    EXPECT_EQ(l->GetSelCount(), 2);
    // Shift with the keyboard extends from the anchor (the last item clicked).
    InjectKey(VK_DOWN, {TShiftStateFlag::ssShift});
    InjectKey(VK_DOWN, {TShiftStateFlag::ssShift});
    Process();
    EXPECT_EQ(Selection(l), (std::vector<int>{2, 3, 4}));
    // A plain click selects one again.
    InjectClick(At(l, 0));
    Process();
    EXPECT_EQ(Selection(l), (std::vector<int>{0}));
    // Without extended selection every click toggles one item; space toggles too.
    l->SetExtendedSelect(false);
    InjectClick(At(l, 2));
    InjectClick(At(l, 4));
    InjectClick(At(l, 0));
    Process();
    EXPECT_EQ(Selection(l), (std::vector<int>{2, 4}));
    InjectKey(VK_SPACE);
    Process();
    EXPECT_EQ(Selection(l), (std::vector<int>{0, 2, 4}));
    // Back to single selection: only the focused item stays selected.
    l->SetMultiSelect(false);
    EXPECT_EQ(Selection(l), (std::vector<int>{0}));
    EXPECT_EQ(l->GetSelCount(), -1);
}

TEST_F(ListBoxTest, PaintsSelectionFocusAndOwnerDrawnItems) {
    auto* l = Make(3);
    l->SetItemIndex(1);
    Form->Show();
    l->SetFocus();
    Process();
    auto img = l->CaptureImage();
    // The client area starts 2 pixels in (client edge).
    EXPECT_EQ(img->GetPixelColor(2 + 100, 2 + 10), Rgb(clWindow));
    EXPECT_EQ(img->GetPixelColor(2 + 100, 2 + 30), Rgb(clHighlight));
    EXPECT_NE(img->GetPixelColor(2 + 0, 2 + 20),
              Rgb(clHighlight));  // a focus rectangle dot or its gap
    // Variable owner draw: heights from OnMeasureItem, painting from OnDrawItem.
    std::vector<int> drawn;
    l->SetOnMeasureItem([](TWinControl*, int index, int& h) { h = 10 + 10 * index; });
    l->SetOnDrawItem([&](TWinControl* c, int index, TRect r, TOwnerDrawState state) {
        drawn.push_back(index);
        TCanvas& cv = static_cast<TCustomListBox*>(c)->Canvas();
        cv.Brush().SetColor(state.Contains(TOwnerDrawStateFlag::odSelected) ? clRed : clLime);
        cv.FillRect(r);
    });
    l->SetStyle(TListBoxStyle::lbOwnerDrawVariable);
    EXPECT_EQ(l->ItemRect(2), Rect(0, 30, 146, 60));
    EXPECT_EQ(l->ItemAtPos(Point(5, 25), true), 1);
    img = l->CaptureImage();
    EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(img->GetPixelColor(2 + 50, 2 + 5), Rgb(clLime));
    EXPECT_EQ(img->GetPixelColor(2 + 50, 2 + 20), Rgb(clRed));
    EXPECT_EQ(img->GetPixelColor(2 + 50, 2 + 70), Rgb(clWindow));
}

class CheckListBoxTest : public ListBoxTest {};

TEST_F(CheckListBoxTest, ClicksOnTheBoxAndSpaceToggleEnabledItems) {
    auto* l = Make<TCheckListBox>(4);
    int checks = 0;
    l->SetOnClickCheck([&](TObject*) { ++checks; });
    l->SetItemEnabled(2, false);
    Form->Show();
    Process();
    const TRect box = l->CheckRect(1);
    InjectClick(ScreenPointOf(l, Point(box.Left + 6, box.Top + 6)));
    Process();
    EXPECT_TRUE(l->GetChecked(1));
    EXPECT_EQ(l->GetItemIndex(), 1);
    // A click on the text selects without toggling.
    InjectClick(At(l, 0));
    Process();
    EXPECT_FALSE(l->GetChecked(0));
    InjectKey(VK_SPACE);
    Process();
    EXPECT_TRUE(l->GetChecked(0));
    EXPECT_EQ(checks, 2);
    // The disabled item keeps its check whatever the user does; the code may set it.
    InjectKey(VK_DOWN);
    InjectKey(VK_DOWN);
    InjectKey(VK_SPACE);
    Process();
    EXPECT_EQ(l->GetItemIndex(), 2);
    EXPECT_FALSE(l->GetChecked(2));
    EXPECT_EQ(checks, 2);
    l->SetChecked(2, true);
    EXPECT_TRUE(l->GetChecked(2));
    // Grayed only when allowed; the cycle then passes through it.
    EXPECT_THROW(l->SetState(3, TCheckBoxState::cbGrayed), EInvalidArgument);
    EXPECT_EQ(l->GetState(3), TCheckBoxState::cbUnchecked);
    l->SetAllowGrayed(true);
    l->ToggleItem(3);
    EXPECT_EQ(l->GetState(3), TCheckBoxState::cbGrayed);
    l->ToggleItem(3);
    EXPECT_EQ(l->GetState(3), TCheckBoxState::cbChecked);
    EXPECT_THROW(l->GetChecked(4), EListError);
    // Checks travel with their items.
    l->Items().Move(0, 3);
    EXPECT_EQ(l->Items()[3], "Item 0");
    EXPECT_TRUE(l->GetChecked(3));
    EXPECT_FALSE(l->GetItemEnabled(1));
    // The mark is drawn inside the box of a checked item only, gray when it is disabled.
    l->SetChecked(0, false);
    auto img = l->CaptureImage();
    auto marks = [&](int index, TColor ink) {
        const TRect b = l->CheckRect(index);
        int n = 0;
        for (int y = b.Top + 2; y < b.Bottom - 2; ++y)
            for (int x = b.Left + 2; x < b.Right - 2; ++x)
                n += img->GetPixelColor(x + 2, y + 2) == Rgb(ink);
        return n;
    };
    EXPECT_GE(marks(3, clWindowText), 7);
    EXPECT_EQ(marks(0, clWindowText), 0);
    EXPECT_EQ(marks(1, clWindowText), 0);  // "Item 2", disabled
    EXPECT_GE(marks(1, clGrayText), 7);
}

TEST_F(CheckListBoxTest, DraggingAnItemDropsItWhereTheHandlerAccepts) {
    auto* l = Make<TCheckListBox>(5);
    l->SetDragMode(TDragMode::dmAutomatic);
    l->SetChecked(0, true);
    std::vector<int> overs;
    l->SetOnDragOver([&](TObject*, TObject* source, int x, int y, TDragState, bool& accept) {
        const int target = l->ItemAtPos(Point(x, y), true);
        overs.push_back(target);
        accept = source == l && target >= 0 && target != 4;  // item 4 refuses drops
    });
    l->SetOnDragDrop([&](TObject*, TObject*, int x, int y) {
        const int target = l->ItemAtPos(Point(x, y), true);
        l->Items().Move(l->GetItemIndex(), target);
        l->SetItemIndex(target);
    });
    Form->Show();
    Process();
    // A press without moving is a plain selection, not a drag.
    InjectClick(At(l, 1));
    Process();
    EXPECT_FALSE(l->Dragging());
    EXPECT_TRUE(overs.empty());
    // Drag item 0 onto item 3.
    InjectMouseDown(TMouseButton::mbLeft, At(l, 0));
    InjectMouseMove(At(l, 2));
    Process();
    EXPECT_TRUE(l->Dragging());
    EXPECT_EQ(l->GetDropIndex(), 2);
    EXPECT_EQ(l->GetCursor(), crDrag);
    InjectMouseMove(At(l, 3));
    InjectMouseUp(TMouseButton::mbLeft, At(l, 3));
    Process();
    EXPECT_FALSE(l->Dragging());
    EXPECT_FALSE(l->GetMouseCapture());
    EXPECT_EQ(l->Items().GetCommaText(), "\"Item 1\",\"Item 2\",\"Item 3\",\"Item 0\",\"Item 4\"");
    EXPECT_TRUE(l->GetChecked(3));
    EXPECT_EQ(l->GetItemIndex(), 3);
    // A refused target drops nothing; neither does Escape.
    InjectMouseDown(TMouseButton::mbLeft, At(l, 0));
    InjectMouseMove(At(l, 4));
    Process();
    EXPECT_EQ(l->GetCursor(), crNoDrop);
    InjectMouseUp(TMouseButton::mbLeft, At(l, 4));
    InjectMouseDown(TMouseButton::mbLeft, At(l, 0));
    InjectMouseMove(At(l, 2));
    InjectKey(VK_ESCAPE);
    InjectMouseUp(TMouseButton::mbLeft, At(l, 2));
    Process();
    EXPECT_EQ(l->Items().GetCommaText(), "\"Item 1\",\"Item 2\",\"Item 3\",\"Item 0\",\"Item 4\"");
    EXPECT_EQ(l->GetCursor(), crDefault);
}

}  // namespace
}  // namespace veltest
