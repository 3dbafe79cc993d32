// Menu item trees, shortcuts, and popup menus driven by keys and the mouse.
#include "platform/controls/Menus.h"
#include "tests/controls/ControlsTestUtil.h"

using namespace vel;

namespace veltest {
namespace {

using enum TShiftStateFlag;

class MenusTest : public ControlsTest {
protected:
    MenusTest() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Target = new TLogControl(Form.get(), nullptr, "T");
        Target->SetBounds(10, 10, 200, 100);
        Target->SetParent(Form.get());
        Menu = std::make_unique<TPopupMenu>(Form.get());
        Open = AddItem(Menu->Items(), "&Open");
        AddItem(Menu->Items(), "-");
        Locked = AddItem(Menu->Items(), "&Locked");
        Locked->SetEnabled(false);
        Hidden = AddItem(Menu->Items(), "&Hidden");
        Hidden->SetVisible(false);
        Save = AddItem(Menu->Items(), "&Save");
        Save->SetShortCut(ShortCut('S', {ssCtrl}));
        More = AddItem(Menu->Items(), "&More");
        Deep = AddItem(More, "&Deep");
        Deeper = AddItem(More, "D&eeper");
    }
    TMenuItem* AddItem(TMenuItem* parent, const std::string& caption) {
        auto* item = new TMenuItem(Form.get());
        item->SetCaption(caption);
        item->SetOnClick([this, caption](TObject*) {
            Clicks.push_back(caption);
            OpenWhenClicked = Menu->IsOpen();
        });
        parent->Add(item);
        return item;
    }
    void Key(unsigned vk) {
        InjectKey(vk);
        Process();
    }
    TPoint ItemPoint(int level, TMenuItem* item) {
        TMenuWindow* w = Menu->OpenLevel(level);
        for (int i = 0; i < w->ShownCount(); ++i)
            if (w->ShownItem(i) == item) {
                const TRect r = w->ItemRect(i);
                return w->ClientToScreen(Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
            }
        ADD_FAILURE() << "item not shown";
        return {};
    }
    std::unique_ptr<TForm> Form;
    TLogControl* Target;
    std::unique_ptr<TPopupMenu> Menu;
    TMenuItem *Open, *Locked, *Hidden, *Save, *More, *Deep, *Deeper;
    std::vector<std::string> Clicks;
    bool OpenWhenClicked = true;
};

TEST_F(MenusTest, TreeEditingKeepsParentsAndRejectsBadInserts) {
    TMenuItem* root = Menu->Items();
    EXPECT_EQ(root->Count(), 6);
    EXPECT_EQ(root->IndexOf(Save), 4);
    EXPECT_EQ(root->Find("save"), Save);
    EXPECT_EQ(root->Find("More")->Find("Deeper"), Deeper);
    EXPECT_EQ(Deep->GetParent(), More);
    EXPECT_EQ(Deep->GetMenu(), Menu.get());

    // An item already in a tree, the tree into itself, or a bad index: refused, nothing moves.
    EXPECT_THROW(More->Add(Save), EMenuError);
    EXPECT_THROW(Deep->Add(More), EMenuError);
    auto* loose = new TMenuItem(Form.get());
    EXPECT_THROW(root->Insert(7, loose), EMenuError);
    EXPECT_THROW(root->GetItem(6), EMenuError);
    EXPECT_EQ(root->Count(), 6);
    EXPECT_EQ(Save->GetParent(), root);
    EXPECT_EQ(loose->GetParent(), nullptr);

    root->Insert(0, loose);
    EXPECT_EQ(root->IndexOf(Open), 1);
    loose->SetMenuIndex(99);
    EXPECT_EQ(root->IndexOf(loose), root->Count() - 1);
    root->Delete(root->Count() - 1);
    EXPECT_EQ(loose->GetParent(), nullptr);
    EXPECT_EQ(root->IndexOf(loose), -1);

    // Freeing an item frees its sub-items and takes it out of its parent.
    delete More;
    EXPECT_EQ(root->Find("More"), nullptr);
    root->Clear();
    EXPECT_EQ(root->Count(), 0);
}

TEST_F(MenusTest, RadioItemsOfOneGroupExcludeEachOtherAndAutoCheckToggles) {
    TMenuItem* root = Menu->Items();
    root->Clear();
    auto radio = [&](const std::string& c, int group) {
        TMenuItem* i = AddItem(root, c);
        i->SetRadioItem(true);
        i->SetGroupIndex(group);
        return i;
    };
    TMenuItem *a = radio("a", 1), *b = radio("b", 1), *c = radio("c", 2);
    TMenuItem* plain = AddItem(root, "plain");
    plain->SetGroupIndex(1);
    a->SetChecked(true);
    c->SetChecked(true);
    plain->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->GetChecked());
    EXPECT_TRUE(b->GetChecked());
    EXPECT_TRUE(c->GetChecked()) << "another group";
    EXPECT_TRUE(plain->GetChecked()) << "not a radio item";

    // Moving a checked radio item into the group takes the check from the others.
    c->SetGroupIndex(1);
    EXPECT_FALSE(b->GetChecked());
    EXPECT_TRUE(c->GetChecked());

    a->SetAutoCheck(true);
    plain->SetAutoCheck(true);
    a->Click();
    plain->Click();
    EXPECT_TRUE(a->GetChecked());
    EXPECT_FALSE(c->GetChecked());
    EXPECT_FALSE(plain->GetChecked());
    a->Click();
    EXPECT_TRUE(a->GetChecked()) << "a radio item stays checked when clicked again";
    EXPECT_EQ(Clicks, (std::vector<std::string>{"a", "plain", "a"}));
}

TEST_F(MenusTest, ShortCutTextRoundTrips) {
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F5, {ssCtrl, ssShift})), "Shift+Ctrl+F5");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, {})), "Del");
    EXPECT_EQ(ShortCutToText(ShortCut('X', {ssAlt})), "Alt+X");
    EXPECT_EQ(ShortCutToText(scNone), "");
    EXPECT_EQ(TextToShortCut("ctrl+alt+pgdn"), ShortCut(VK_NEXT, {ssCtrl, ssAlt}));
    EXPECT_EQ(TextToShortCut("Alt+Shift+A"), ShortCut('A', {ssAlt, ssShift}));
    EXPECT_EQ(TextToShortCut(""), scNone);
    int named = 0;
    for (unsigned key = 1; key < 256; ++key) {
        for (TShortCut mods :
             {0, int(scShift), int(scCtrl | scAlt), int(scShift | scCtrl | scAlt)}) {
            const TShortCut sc = TShortCut(key | mods);
            const std::string text = ShortCutToText(sc);
            if (text.empty()) continue;
            ++named;
            EXPECT_EQ(TextToShortCut(text), sc) << text;
        }
    }
    EXPECT_GT(named, 4 * 60);
    EXPECT_THROW(TextToShortCut("Ctrl+Banana"), EConvertError);
    EXPECT_THROW(TextToShortCut("Ctrl+"), EConvertError);
    EXPECT_EQ(GetHotkey("Save &As"), U'a');
    EXPECT_EQ(GetHotkey("Fish && Chips"), char32_t(0));
    EXPECT_EQ(StripHotkey("Fish && &Chips"), "Fish & Chips");
}

TEST_F(MenusTest, ShortCutsFindEnabledItemsAndReachTheFocusedControlsMenu) {
    Deeper->SetShortCut(ShortCut(VK_F2, {}));
    Locked->SetShortCut(ShortCut(VK_F3, {}));
    EXPECT_TRUE(Menu->IsShortCut('S', {ssCtrl}));
    EXPECT_TRUE(Menu->IsShortCut(VK_F2, {}));
    EXPECT_FALSE(Menu->IsShortCut(VK_F3, {})) << "disabled";
    EXPECT_FALSE(Menu->IsShortCut('S', {}));
    More->SetEnabled(false);
    EXPECT_FALSE(Menu->IsShortCut(VK_F2, {})) << "inside a disabled sub-menu";
    EXPECT_EQ(Clicks, (std::vector<std::string>{"&Save", "D&eeper"}));

    Target->SetPopupMenu(Menu.get());
    Form->Show();
    Target->SetFocus();
    InjectKey('S', {ssCtrl});
    Process();
    EXPECT_EQ(Clicks.back(), "&Save");
    EXPECT_EQ(Clicks.size(), 3u);
}

TEST_F(MenusTest, ArrowKeysSkipWhatCannotBeChosenAndEnterChoosesAfterClosing) {
    Form->Show();
    Target->SetFocus();
    Menu->Popup(300, 200);
    ASSERT_TRUE(Menu->IsOpen());
    TMenuWindow* w = Menu->OpenLevel(0);
    EXPECT_TRUE(w->GetVisible());
    EXPECT_TRUE(w->IsTopLevel());
    EXPECT_TRUE(w->GetExStyle() & WS_EX_TOPMOST);
    EXPECT_EQ(w->GetBoundsRect().TopLeft(), Point(300, 200));
    EXPECT_EQ(w->ShownCount(), 5) << "the invisible item is not shown";
    EXPECT_EQ(GetTopLevelWindows().front(), w);

    Open->SetHint("Open|Opens a file");
    Key(VK_DOWN);
    EXPECT_EQ(w->SelectedItem(), Open);
    EXPECT_EQ(Application().GetHint(), "Opens a file");
    Key(VK_DOWN);
    EXPECT_EQ(w->SelectedItem(), Save) << "separator, disabled and hidden items are skipped";
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(w->SelectedItem(), Open) << "wraps";
    Key(VK_UP);
    EXPECT_EQ(w->SelectedItem(), More);
    Key(VK_UP);
    Key(VK_RETURN);
    EXPECT_FALSE(Menu->IsOpen());
    EXPECT_FALSE(w->GetVisible());
    EXPECT_EQ(Clicks, std::vector<std::string>{"&Save"});
    EXPECT_FALSE(OpenWhenClicked);
    EXPECT_EQ(Application().GetHint(), "");
    EXPECT_TRUE(Target->Focused()) << "the menu never took the focus";

    // Keys go back to the focused control once the menu is closed.
    std::vector<unsigned> keys;
    Target->SetOnKeyDown([&](TObject*, unsigned& k, TShiftState) { keys.push_back(k); });
    Key('Q');
    EXPECT_EQ(keys, std::vector<unsigned>{'Q'});
}

TEST_F(MenusTest, SubMenusOpenToTheSideAndLettersChoose) {
    Form->Show();
    Menu->Popup(300, 200);
    Key(VK_END);
    EXPECT_EQ(Menu->OpenLevel(0)->SelectedItem(), More);
    Key(VK_RIGHT);
    ASSERT_EQ(Menu->OpenLevelCount(), 2);
    TMenuWindow* sub = Menu->OpenLevel(1);
    EXPECT_EQ(sub->SelectedItem(), Deep);
    EXPECT_GE(sub->GetLeft(), Menu->OpenLevel(0)->GetBoundsRect().Right - 4);
    Key(VK_LEFT);
    EXPECT_EQ(Menu->OpenLevelCount(), 1);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Menu->IsOpen());
    EXPECT_TRUE(Clicks.empty());

    // Near the right edge of the desktop the menu and its sub-menu turn to the left.
    const TRect desk = Screen().GetDesktopRect();
    Menu->Popup(desk.Right - 5, desk.Bottom - 5);
    TMenuWindow* root = Menu->OpenLevel(0);
    EXPECT_LE(root->GetBoundsRect().Right, desk.Right);
    EXPECT_LE(root->GetBoundsRect().Bottom, desk.Bottom);
    InjectChar(U'm');
    Process();
    ASSERT_EQ(Menu->OpenLevelCount(), 2);
    EXPECT_LE(Menu->OpenLevel(1)->GetBoundsRect().Right, root->GetLeft() + 4);
    InjectChar(U'E');
    Process();
    EXPECT_FALSE(Menu->IsOpen());
    EXPECT_EQ(Clicks, std::vector<std::string>{"D&eeper"});

    // The letter of a disabled item does nothing.
    Menu->Popup(300, 200);
    InjectChar(U'l');
    Process();
    EXPECT_TRUE(Menu->IsOpen());
    EXPECT_EQ(Clicks.size(), 1u);
}

TEST_F(MenusTest, MouseHoverHighlightsClickChoosesAndDisabledItemsStayOpen) {
    Form->Show();
    Menu->Popup(300, 200);
    InjectMouseMove(ItemPoint(0, Open));
    Process();
    EXPECT_EQ(Menu->OpenLevel(0)->SelectedItem(), Open);
    InjectMouseMove(ItemPoint(0, Locked));
    Process();
    EXPECT_EQ(Menu->OpenLevel(0)->GetSelected(), -1);
    InjectClick(ItemPoint(0, Locked));
    Process();
    EXPECT_TRUE(Menu->IsOpen());
    EXPECT_TRUE(Clicks.empty());

    // Hovering a sub-menu item opens it; the click lands in the sub-menu.
    InjectMouseMove(ItemPoint(0, More));
    Process();
    ASSERT_EQ(Menu->OpenLevelCount(), 2);
    InjectClick(ItemPoint(1, Deep));
    Process();
    EXPECT_FALSE(Menu->IsOpen());
    EXPECT_EQ(Clicks, std::vector<std::string>{"&Deep"});
}

TEST_F(MenusTest, ClickOutsideClosesWithoutChoosing) {
    Form->Show();
    bool closed = false;
    Menu->SetOnClose([&](TObject*) { closed = true; });
    Menu->Popup(300, 200);
    Key(VK_DOWN);
    InjectClick(Point(20, 900));
    Process();
    EXPECT_FALSE(Menu->IsOpen());
    EXPECT_TRUE(closed);
    EXPECT_TRUE(Clicks.empty());
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(MenusTest, RightClickPopsUpTheControlsMenuAtThePointer) {
    Form->Show();
    Target->SetPopupMenu(Menu.get());
    int popups = 0;
    Menu->SetOnPopup([&](TObject*) { ++popups; });
    const TPoint at = ScreenPointOf(Target, Point(30, 40));
    InjectClick(at, TMouseButton::mbRight);
    Process();
    ASSERT_TRUE(Menu->IsOpen());
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(Menu->GetPopupComponent(), Target);
    EXPECT_EQ(Menu->OpenLevel(0)->GetBoundsRect().TopLeft(), at);
    // The release that opened it chose nothing; a click on an item does.
    EXPECT_TRUE(Clicks.empty());
    InjectClick(ItemPoint(0, Open));
    Process();
    EXPECT_EQ(Clicks, std::vector<std::string>{"&Open"});

    // The context key opens it too; without AutoPopup neither does.
    Target->SetFocus();
    Key(VK_APPS);
    EXPECT_TRUE(Menu->IsOpen());
    Key(VK_ESCAPE);
    Menu->SetAutoPopup(false);
    InjectClick(at, TMouseButton::mbRight);
    Process();
    EXPECT_FALSE(Menu->IsOpen());
    EXPECT_EQ(popups, 2);

    // Freeing the control clears the menu's reference.
    delete Target;
    EXPECT_EQ(Menu->GetPopupComponent(), nullptr);
}

TEST_F(MenusTest, PaintsHighlightChecksAndEtchedSeparators) {
    Form->Show();
    Open->SetChecked(true);
    Menu->Popup(300, 200);
    Key(VK_DOWN);
    TMenuWindow* w = Menu->OpenLevel(0);
    auto img = w->CaptureImage();
    const TRect open = w->ItemRect(0), sep = w->ItemRect(1);
    const TColorRef highlight = ColorToRGB(clHighlight), menu = ColorToRGB(clMenu);
    EXPECT_EQ(ColorToRGB(img->GetPixelColor(open.Right - 3, open.Top + 1)), highlight);
    // A check mark in the gutter of the highlighted item, in the highlight text colour.
    bool mark = false;
    for (int y = open.Top; y < open.Bottom; ++y)
        for (int x = open.Left; x < open.Left + 20; ++x)
            mark = mark || ColorToRGB(img->GetPixelColor(x, y)) == ColorToRGB(clHighlightText);
    EXPECT_TRUE(mark);
    int shadowRow = -1;
    for (int y = sep.Top; y < sep.Bottom; ++y)
        if (ColorToRGB(img->GetPixelColor(sep.Left + 10, y)) == ColorToRGB(clBtnShadow))
            shadowRow = y;
    ASSERT_GE(shadowRow, 0);
    EXPECT_EQ(ColorToRGB(img->GetPixelColor(sep.Left + 10, shadowRow + 1)),
              ColorToRGB(clBtnHighlight));
    EXPECT_EQ(ColorToRGB(img->GetPixelColor(w->ItemRect(3).Right - 3, w->ItemRect(3).Top + 1)),
              menu);
}

}  // namespace
}  // namespace veltest
