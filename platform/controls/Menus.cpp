#include "platform/controls/Menus.h"

#include <algorithm>

#include "platform/controls/Application.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Hints.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_DEFINE_CREATABLE_CLASS(TMenuItem, TComponent)
VEL_DEFINE_CREATABLE_CLASS(TPopupMenu, TComponent)
VEL_DEFINE_CLASS(TMenuWindow, TCustomControl)

// ---- Shortcuts.

namespace {

struct TKeyName {
    unsigned Key;
    const char* Name;
};
constexpr TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},    {VK_END, "End"},
    {VK_HOME, "Home"},   {VK_LEFT, "Left"},  {VK_UP, "Up"},        {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},   {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

std::string KeyName(unsigned key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
    if (key >= VK_F1 && key <= VK_F1 + 23) return "F" + std::to_string(key - VK_F1 + 1);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9)
        return "Num " + std::to_string(key - VK_NUMPAD0);
    for (const TKeyName& k : KeyNames)
        if (k.Key == key) return k.Name;
    return std::string();
}

// Whichever popup menu is open: only one can be, as with the real thing.
TPopupMenu* GOpenMenu = nullptr;
int GShortCutHookKey = 0;

TShiftState CurrentShift() {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(TShiftStateFlag::ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(TShiftStateFlag::ssCtrl);
    if (GetKeyState(VK_MENU) < 0) s.Include(TShiftStateFlag::ssAlt);
    return s;
}

// Keys that reach no open menu: the context key pops up the focused control's menu, and the
// popup menus of the focused control and its parents answer their shortcuts.
bool ShortCutHook(TMsg& Msg) {
    if (GOpenMenu) return false;  // the open menu's own hook reads the keys
    if (Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN) return false;
    TWinControl* focused = FindControl(Msg.hwnd);
    if (!focused) return false;
    const unsigned key = unsigned(Msg.wParam);
    const TShiftState shift = CurrentShift();
    if (key == VK_APPS || (key == VK_F10 && shift == TShiftState{TShiftStateFlag::ssShift}))
        return focused->Perform(WM_CONTEXTMENU, WPARAM(focused->GetHandle()), MakeLParam(-1, -1)) !=
               0;
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return false;
    for (TControl* c = focused; c; c = c->GetParent())
        if (auto* menu = c->GetPopupMenu())
            if (menu->IsShortCut(key, shift)) return true;
    return false;
}

bool PopupMenuHandler(TComponent* Menu, TControl* Control, TPoint ScreenPos) {
    auto* menu = dynamic_cast<TPopupMenu*>(Menu);
    if (!menu || !menu->GetAutoPopup()) return false;
    menu->SetPopupComponent(Control);
    menu->Popup(ScreenPos.X, ScreenPos.Y);
    return true;
}

}  // namespace

TShortCut ShortCut(unsigned Key, TShiftState Shift) {
    if (Key > 0xFF) return scNone;
    TShortCut r = TShortCut(Key);
    if (Shift.Contains(TShiftStateFlag::ssShift)) r |= scShift;
    if (Shift.Contains(TShiftStateFlag::ssCtrl)) r |= scCtrl;
    if (Shift.Contains(TShiftStateFlag::ssAlt)) r |= scAlt;
    return r;
}

void ShortCutToKey(TShortCut ShortCut, unsigned& Key, TShiftState& Shift) {
    Key = ShortCut & 0xFF;
    Shift = {};
    if (ShortCut & scShift) Shift.Include(TShiftStateFlag::ssShift);
    if (ShortCut & scCtrl) Shift.Include(TShiftStateFlag::ssCtrl);
    if (ShortCut & scAlt) Shift.Include(TShiftStateFlag::ssAlt);
}

std::string ShortCutToText(TShortCut ShortCut) {
    const std::string name = KeyName(ShortCut & 0xFF);
    if (name.empty()) return std::string();
    std::string r;
    if (ShortCut & scShift) r += "Shift+";
    if (ShortCut & scCtrl) r += "Ctrl+";
    if (ShortCut & scAlt) r += "Alt+";
    return r + name;
}

TShortCut TextToShortCut(const std::string& Text) {
    if (Text.empty()) return scNone;
    std::string_view rest = Text;
    TShortCut mods = 0;
    auto eat = [&](std::string_view prefix, TShortCut flag) {
        if (rest.size() > prefix.size() && SameText(rest.substr(0, prefix.size()), prefix)) {
            rest.remove_prefix(prefix.size());
            mods |= flag;
            return true;
        }
        return false;
    };
    while (eat("Shift+", scShift) || eat("Ctrl+", scCtrl) || eat("Alt+", scAlt)) {
    }
    for (unsigned key = 1; key <= 0xFF; ++key) {
        const std::string name = KeyName(key);
        if (!name.empty() && SameText(name, rest)) return TShortCut(mods | key);
    }
    throw EConvertError("'" + Text + "' is not a valid shortcut.");
}

char32_t GetHotkey(const std::string& Caption) {
    std::size_t p = 0;
    while (p < Caption.size()) {
        char32_t c = Utf8Decode(Caption, p);
        if (c != U'&' || p >= Caption.size()) continue;
        char32_t next = Utf8Decode(Caption, p);
        if (next != U'&') return UnicodeToLower(next);
    }
    return 0;
}

std::string StripHotkey(const std::string& Caption) {
    std::string r;
    for (std::size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] != '&') {
            r += Caption[i];
        } else if (i + 1 < Caption.size() && Caption[i + 1] == '&') {
            r += '&';
            ++i;
        }
    }
    return r;
}

// ---- TMenuItem.

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    if (GOpenMenu && GetMenu() == GOpenMenu) GOpenMenu->CloseMenu();
    while (!FItems.empty()) delete FItems.back();
    if (FParent) FParent->Remove(this);
}

void TMenuItem::CheckInsert(int Index, TMenuItem* Item) const {
    if (!Item) throw EMenuError("Cannot insert a null menu item.");
    if (Item->FParent)
        throw EMenuError("Menu item '" + Item->FCaption + "' is already inserted in a menu.");
    for (const TMenuItem* p = this; p; p = p->FParent)
        if (p == Item)
            throw EMenuError("Menu item '" + Item->FCaption + "' cannot be inserted into itself.");
    if (Index < 0 || Index > Count())
        throw EMenuError("Menu index " + std::to_string(Index) + " out of range (0.." +
                         std::to_string(Count()) + ").");
}

void TMenuItem::Add(TMenuItem* Item) {
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    CheckInsert(Index, Item);
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    if (Item->FChecked && Item->FRadioItem) Item->TurnSiblingsOff();
}

void TMenuItem::Delete(int Index) {
    TMenuItem* item = GetItem(Index);
    FItems.erase(FItems.begin() + Index);
    item->FParent = nullptr;
}

void TMenuItem::Remove(TMenuItem* Item) {
    const int i = IndexOf(Item);
    if (i < 0)
        throw EMenuError("Menu item '" + (Item ? Item->FCaption : std::string()) +
                         "' is not in this menu.");
    Delete(i);
}

void TMenuItem::Clear() {
    while (!FItems.empty()) delete FItems.back();
}

TMenuItem* TMenuItem::GetItem(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EMenuError("Menu index " + std::to_string(Index) + " out of range (" +
                         std::to_string(Count()) + " items).");
    return FItems[std::size_t(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
    const std::string wanted = StripHotkey(ACaption);
    for (TMenuItem* i : FItems)
        if (AnsiSameText(StripHotkey(i->FCaption), wanted)) return i;
    return nullptr;
}

int TMenuItem::GetMenuIndex() const {
    return FParent ? FParent->IndexOf(this) : -1;
}

void TMenuItem::SetMenuIndex(int Value) {
    if (!FParent) return;
    TMenuItem* parent = FParent;
    const int count = parent->Count();
    Value = std::clamp(Value, 0, count - 1);
    parent->Delete(GetMenuIndex());
    parent->Insert(Value, this);
}

TPopupMenu* TMenuItem::GetMenu() const {
    const TMenuItem* p = this;
    while (p->FParent) p = p->FParent;
    return p->FMenu;
}

void TMenuItem::SetChecked(bool v) {
    if (v == FChecked) return;
    FChecked = v;
    if (v && FRadioItem) TurnSiblingsOff();
}

void TMenuItem::SetRadioItem(bool v) {
    if (v == FRadioItem) return;
    FRadioItem = v;
    if (FChecked && v) TurnSiblingsOff();
}

void TMenuItem::SetGroupIndex(int v) {
    if (v == FGroupIndex) return;
    FGroupIndex = v;
    if (FChecked && FRadioItem) TurnSiblingsOff();
}

void TMenuItem::TurnSiblingsOff() {
    if (!FParent) return;
    for (TMenuItem* i : FParent->FItems)
        if (i != this && i->FRadioItem && i->FGroupIndex == FGroupIndex) i->FChecked = false;
}

void TMenuItem::Click() {
    if (FAutoCheck) SetChecked(FRadioItem ? true : !FChecked);
    if (FOnClick) FOnClick(this);
}

TMenuItem* TMenuItem::FindShortCut(TShortCut ShortCut) {
    if (ShortCut == scNone) return nullptr;
    for (TMenuItem* i : FItems) {
        if (!i->FVisible || !i->FEnabled) continue;
        if (i->FShortCut == ShortCut && !i->IsLine()) return i;
        if (TMenuItem* sub = i->FindShortCut(ShortCut)) return sub;
    }
    return nullptr;
}

// ---- TPopupMenu.

TPopupMenu::TPopupMenu(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    FItems->FMenu = this;
    // Installed by every menu: a test may have replaced the handler in between.
    SetPopupMenuHandler(PopupMenuHandler);
    AddMessageHook(&GShortCutHookKey, ShortCutHook);
}

TPopupMenu::~TPopupMenu() {
    if (IsOpen()) {
        for (TMenuWindow* w : FLevels) w->SetVisible(false);
        FLevels.clear();
        if (TControl* cap = GetCaptureControl(); cap && dynamic_cast<TMenuWindow*>(cap))
            SetCaptureControl(nullptr);
    }
    if (GOpenMenu == this) {
        GOpenMenu = nullptr;
        RemoveMessageHook(this);
    }
    FItems.reset();
}

void TPopupMenu::SetImages(TCustomImageList* v) {
    if (v == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = v;
    if (v) v->FreeNotification(this);
}

void TPopupMenu::SetPopupComponent(TComponent* v) {
    if (v == FPopupComponent) return;
    if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = v;
    if (v) v->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FImages) FImages = nullptr;
    if (AComponent == FPopupComponent) FPopupComponent = nullptr;
    auto it = std::find(FWindows.begin(), FWindows.end(), AComponent);
    if (it != FWindows.end()) {
        FLevels.erase(std::remove(FLevels.begin(), FLevels.end(), *it), FLevels.end());
        FWindows.erase(it);
    }
}

void TPopupMenu::DoPopup(TObject* Sender) {
    if (FOnPopup) FOnPopup(Sender);
}

void TPopupMenu::DoClose() {
    if (FOnClose) FOnClose(this);
}

bool TPopupMenu::IsOpen() const {
    return !FLevels.empty();
}

void TPopupMenu::Popup(int X, int Y) {
    if (GOpenMenu) GOpenMenu->CloseMenu();
    DoPopup(this);
    if (!TMenuWindow::HasVisibleItems(FItems.get())) return;
    // Whoever tracked the mouse stops: the menu takes the capture.
    if (TControl* cap = GetCaptureControl()) {
        cap->Perform(WM_CANCELMODE);
        SetCaptureControl(nullptr);
    }
    Application().CancelHint();
    OpenLevelFor(FItems.get(), 0, Point(X, Y), false, TRect{});
    GOpenMenu = this;
    AddMessageHook(this, [this](TMsg& m) { return HandleMessage(m); });
    FOpenedAt = GetCursorPos();
    FPressedInside = false;
    FMovedSinceOpen = false;
    SetCaptureControl(FLevels.front());
}

TMenuWindow* TPopupMenu::OpenLevelFor(TMenuItem* Parent, int Level, TPoint Pos, bool SubMenu,
                                      const TRect& ParentItem) {
    while (int(FWindows.size()) <= Level) {
        auto* w = new TMenuWindow(this);
        FWindows.push_back(w);
    }
    TMenuWindow* w = FWindows[std::size_t(Level)];
    w->Build(Parent);
    const int width = w->GetWidth(), height = w->GetHeight();
    const TRect desk = Screen().GetDesktopRect();
    int x = Pos.X, y = Pos.Y;
    if (!SubMenu) {
        if (FAlignment == TPopupAlignment::paRight)
            x -= width;
        else if (FAlignment == TPopupAlignment::paCenter)
            x -= width / 2;
        if (x + width > desk.Right)
            x = (Pos.X - width >= desk.Left) ? Pos.X - width : desk.Right - width;
        if (y + height > desk.Bottom)
            y = (Pos.Y - height >= desk.Top) ? Pos.Y - height : desk.Bottom - height;
    } else {
        // Beside the parent level, overlapping its border; to the left when the right is full.
        const TRect parentWin = FLevels.back()->GetBoundsRect();
        x = parentWin.Right - 3;
        y = ParentItem.Top - 3;
        if (x + width > desk.Right) x = parentWin.Left - width + 3;
        if (x + width > desk.Right) x = desk.Right - width;
        if (y + height > desk.Bottom) y = desk.Bottom - height;
    }
    x = std::max(x, desk.Left);
    y = std::max(y, desk.Top);
    w->HandleNeeded();
    w->SetBounds(x, y, width, height);
    w->SetVisible(true);
    w->BringToFront();
    w->Invalidate();
    FLevels.push_back(w);
    return w;
}

void TPopupMenu::CloseLevelsFrom(int Level) {
    while (int(FLevels.size()) > Level) {
        TMenuWindow* w = FLevels.back();
        FLevels.pop_back();
        w->FSelected = -1;
        w->SetVisible(false);
    }
    if (Level == 0) {
        if (TControl* cap = GetCaptureControl();
            cap && std::find(FWindows.begin(), FWindows.end(), cap) != FWindows.end())
            SetCaptureControl(nullptr);
        if (GOpenMenu == this) GOpenMenu = nullptr;
        RemoveMessageHook(this);
        Application().SetHint(std::string());
        DoClose();
    }
}

void TPopupMenu::CloseMenu() {
    if (IsOpen()) CloseLevelsFrom(0);
}

void TPopupMenu::Choose(TMenuItem* Item) {
    CloseMenu();
    Item->Click();
}

bool TPopupMenu::IsShortCut(unsigned Key, TShiftState Shift) {
    TMenuItem* item = FItems->FindShortCut(ShortCut(Key, Shift));
    if (!item) return false;
    item->Click();
    return true;
}

bool TPopupMenu::HandleMessage(TMsg& Msg) {
    switch (Msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            HandleKey(unsigned(Msg.wParam));
            return true;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            return true;
        case WM_CHAR:
        case WM_SYSCHAR:
            HandleChar(char32_t(Msg.wParam));
            return true;
        default:
            return false;
    }
}

namespace {
// The next highlightable item from Start in direction Step, wrapping; -1 for none.
int NextSelectable(const TMenuWindow& w, int Start, int Step) {
    const int n = w.ShownCount();
    for (int k = 1; k <= n; ++k) {
        const int i = ((Start + Step * k) % n + n) % n;
        if (TMenuWindow::CanSelect(w.ShownItem(i))) return i;
    }
    return -1;
}
}  // namespace

bool TPopupMenu::HandleKey(unsigned Key) {
    if (!IsOpen()) return false;
    TMenuWindow* w = FLevels.back();
    const int level = int(FLevels.size()) - 1;
    auto openSub = [&](TMenuItem* item) {
        const TRect r = w->ClientToScreen(w->ItemRect(w->GetSelected()));
        TMenuWindow* sub = OpenLevelFor(item, level + 1, Point(r.Right, r.Top), true, r);
        sub->SetSelected(NextSelectable(*sub, -1, 1));
    };
    switch (Key) {
        case VK_DOWN:
            w->SetSelected(NextSelectable(*w, w->GetSelected() < 0 ? -1 : w->GetSelected(), 1));
            break;
        case VK_UP:
            w->SetSelected(
                NextSelectable(*w, w->GetSelected() < 0 ? w->ShownCount() : w->GetSelected(), -1));
            break;
        case VK_HOME:
            w->SetSelected(NextSelectable(*w, -1, 1));
            break;
        case VK_END:
            w->SetSelected(NextSelectable(*w, w->ShownCount(), -1));
            break;
        case VK_RIGHT:
            if (TMenuItem* item = w->SelectedItem(); item && TMenuWindow::HasVisibleItems(item))
                openSub(item);
            break;
        case VK_LEFT:
            if (level > 0) CloseLevelsFrom(level);
            break;
        case VK_RETURN:
            if (TMenuItem* item = w->SelectedItem()) {
                if (TMenuWindow::HasVisibleItems(item))
                    openSub(item);
                else if (item->GetEnabled())
                    Choose(item);
            }
            break;
        case VK_ESCAPE:
            CloseLevelsFrom(level > 0 ? level : 0);
            break;
        case VK_MENU:
        case VK_F10:
            CloseMenu();
            break;
        default:
            break;
    }
    return true;
}

bool TPopupMenu::HandleChar(char32_t Ch) {
    if (!IsOpen()) return false;
    TMenuWindow* w = FLevels.back();
    const char32_t wanted = UnicodeToLower(Ch);
    std::vector<int> matches;
    for (int i = 0; i < w->ShownCount(); ++i)
        if (TMenuWindow::CanSelect(w->ShownItem(i)) &&
            GetHotkey(w->ShownItem(i)->GetCaption()) == wanted)
            matches.push_back(i);
    if (matches.empty()) return true;
    if (matches.size() > 1) {
        // Several items share the letter: each press moves to the next of them.
        auto next = std::upper_bound(matches.begin(), matches.end(), w->GetSelected());
        w->SetSelected(next == matches.end() ? matches.front() : *next);
        return true;
    }
    w->SetSelected(matches.front());
    return HandleKey(VK_RETURN);
}

void TPopupMenu::MouseAt(TPoint ScreenPos, bool Moved) {
    if (Moved && ScreenPos != FOpenedAt) FMovedSinceOpen = true;
    for (int level = int(FLevels.size()) - 1; level >= 0; --level) {
        TMenuWindow* w = FLevels[std::size_t(level)];
        if (!w->GetBoundsRect().Contains(ScreenPos)) continue;
        const int idx = w->ItemAtPos(w->ScreenToClient(ScreenPos));
        TMenuItem* item = idx >= 0 ? w->ShownItem(idx) : nullptr;
        const bool selectable = item && TMenuWindow::CanSelect(item);
        w->SetSelected(selectable ? idx : -1);
        if (int(FLevels.size()) > level + 1 &&
            FLevels[std::size_t(level) + 1]->GetParentItem() != item)
            CloseLevelsFrom(level + 1);
        if (selectable && TMenuWindow::HasVisibleItems(item) && int(FLevels.size()) == level + 1) {
            const TRect r = w->ClientToScreen(w->ItemRect(idx));
            OpenLevelFor(item, level + 1, Point(r.Right, r.Top), true, r);
        }
        return;
    }
    // Outside every level: the deepest one drops its highlight unless a sub-menu hangs from it.
    TMenuWindow* last = FLevels.back();
    last->SetSelected(-1);
}

void TPopupMenu::MouseRelease(TPoint ScreenPos) {
    const bool armed = FPressedInside || FMovedSinceOpen;
    FPressedInside = false;
    for (int level = int(FLevels.size()) - 1; level >= 0; --level) {
        TMenuWindow* w = FLevels[std::size_t(level)];
        if (!w->GetBoundsRect().Contains(ScreenPos)) continue;
        const int idx = w->ItemAtPos(w->ScreenToClient(ScreenPos));
        if (idx < 0) return;
        TMenuItem* item = w->ShownItem(idx);
        if (armed && TMenuWindow::CanSelect(item) && !TMenuWindow::HasVisibleItems(item))
            Choose(item);
        return;
    }
}

// ---- TMenuWindow.

namespace {
constexpr int MenuBorder = 3;
constexpr int SeparatorHeight = 8;
constexpr int ArrowArea = 20;

TCanvas& MeasureCanvas() {
    static TBitmap* bmp = [] {
        auto* b = new TBitmap();
        b->SetSize(1, 1);
        return b;
    }();
    return bmp->Canvas();
}
}  // namespace

TMenuWindow::TMenuWindow(TPopupMenu* Menu) : TCustomControl(Menu), FMenu(Menu) {
    SetVisibleSilently(false);
    SetColor(clMenu);
    FControlStyle.Include(TControlStyleFlag::csOpaque);
    FControlStyle.Exclude(TControlStyleFlag::csCaptureMouse);
}

void TMenuWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_CLIPCHILDREN;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WindowClassStyle |= CS_SAVEBITS | CS_DROPSHADOW;
}

bool TMenuWindow::CanSelect(const TMenuItem* Item) {
    return Item && Item->GetVisible() && !Item->IsLine() && Item->GetEnabled();
}

bool TMenuWindow::HasVisibleItems(const TMenuItem* Item) {
    for (int i = 0; i < Item->Count(); ++i)
        if (Item->GetItem(i)->GetVisible()) return true;
    return false;
}

void TMenuWindow::Build(TMenuItem* Parent) {
    FParentItem = Parent;
    FShown.clear();
    FTops.clear();
    FSelected = -1;
    for (int i = 0; i < Parent->Count(); ++i)
        if (Parent->GetItem(i)->GetVisible()) FShown.push_back(Parent->GetItem(i));
    TCanvas& c = MeasureCanvas();
    c.Font().Assign(&Screen().MenuFont());
    TCustomImageList* images = FMenu->GetImages();
    const int textHeight = c.TextHeight("Wg");
    const int itemHeight = std::max(textHeight + 6, images ? images->GetHeight() + 4 : 0);
    FGutter = std::max(16, images ? images->GetWidth() + 4 : 0) + 4;
    int captionWidth = 0, shortcutWidth = 0, y = MenuBorder;
    for (TMenuItem* item : FShown) {
        FTops.push_back(y);
        if (item->IsLine()) {
            y += SeparatorHeight;
            continue;
        }
        y += itemHeight;
        TFontStyles style;
        if (item->GetDefault()) style.Include(TFontStyle::fsBold);
        c.Font().SetStyle(style);
        captionWidth = std::max(captionWidth, c.TextWidth(StripHotkey(item->GetCaption())));
        c.Font().SetStyle({});
        if (item->GetShortCut() != scNone)
            shortcutWidth =
                std::max(shortcutWidth, c.TextWidth(ShortCutToText(item->GetShortCut())));
    }
    FTops.push_back(y);
    FShortCutX = MenuBorder + FGutter + captionWidth + 24;
    const int width = FShortCutX + shortcutWidth + ArrowArea + MenuBorder;
    SetBounds(GetLeft(), GetTop(), width, y + MenuBorder);
}

TRect TMenuWindow::ItemRect(int Index) const {
    if (Index < 0 || Index >= ShownCount()) return TRect{};
    return Rect(MenuBorder, FTops[std::size_t(Index)], GetClientWidth() - MenuBorder,
                FTops[std::size_t(Index) + 1]);
}

int TMenuWindow::ItemAtPos(TPoint ClientPos) const {
    for (int i = 0; i < ShownCount(); ++i)
        if (ItemRect(i).Contains(ClientPos)) return i;
    return -1;
}

void TMenuWindow::SetSelected(int Index) {
    if (Index < -1 || Index >= ShownCount()) Index = -1;
    if (Index == FSelected) return;
    const TRect old = ItemRect(FSelected);
    FSelected = Index;
    InvalidateRect(&old);
    const TRect now = ItemRect(FSelected);
    InvalidateRect(&now);
    // The highlighted item's long hint goes to the application (status bars show it).
    Application().SetHint(FSelected >= 0 ? GetLongHint(ShownItem(FSelected)->GetHint()) : std::string());
}

void TMenuWindow::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_CANCELMODE: {
            // A press in one of this menu's own levels does not close it.
            TCMCancelMode c(Message);
            for (TMenuWindow* w : FMenu->FLevels)
                if (c.Sender && (c.Sender == w || w->ContainsControl(c.Sender))) return;
            FMenu->CloseMenu();
            return;
        }
        case WM_CANCELMODE:
            FMenu->CloseMenu();
            return;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP: {
            if (!FMenu->IsOpen()) return;
            TWMMouse m(Message);
            const TPoint screen = ClientToScreen(Point(m.XPos, m.YPos));
            if (Message.Msg == WM_MOUSEMOVE) {
                FMenu->MouseAt(screen, true);
            } else if (Message.Msg == WM_LBUTTONUP || Message.Msg == WM_RBUTTONUP) {
                FMenu->MouseRelease(screen);
            } else {
                FMenu->FPressedInside = true;
                FMenu->MouseAt(screen, false);
            }
            return;
        }
        default:
            break;
    }
    TCustomControl::Dispatch(Message);
}

void TMenuWindow::Paint() {
    TCanvas& c = Canvas();
    TRect r = GetClientRect();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(clMenu);
    c.FillRect(r);
    DrawEdge(c, r, EDGE_RAISED, BF_RECT);
    c.Font().Assign(&Screen().MenuFont());
    for (int i = 0; i < ShownCount(); ++i) DrawItem(c, i);
}

void TMenuWindow::DrawItem(TCanvas& C, int Index) {
    TMenuItem* item = ShownItem(Index);
    const TRect r = ItemRect(Index);
    if (item->IsLine()) {
        // Etched: a shadow line over a highlight line.
        const int y = r.Top + SeparatorHeight / 2 - 1;
        C.Pen().SetStyle(TPenStyle::psSolid);
        C.Pen().SetColor(clBtnShadow);
        C.MoveTo(r.Left + 1, y);
        C.LineTo(r.Right - 1, y);
        C.Pen().SetColor(clBtnHighlight);
        C.MoveTo(r.Left + 1, y + 1);
        C.LineTo(r.Right - 1, y + 1);
        return;
    }
    const bool selected = Index == FSelected;
    const bool enabled = item->GetEnabled();
    const TColor back = selected ? clHighlight : clMenu;
    const TColor fore = selected ? clHighlightText : clMenuText;
    C.Brush().SetStyle(TBrushStyle::bsSolid);
    C.Brush().SetColor(back);
    C.FillRect(r);

    // Image or check mark in the gutter.
    const TRect gutter = Rect(r.Left, r.Top, r.Left + FGutter, r.Bottom);
    const int cx = (gutter.Left + gutter.Right) / 2, cy = (gutter.Top + gutter.Bottom) / 2;
    TCustomImageList* images = FMenu->GetImages();
    const bool hasImage =
        images && item->GetImageIndex() >= 0 && item->GetImageIndex() < images->GetCount();
    if (hasImage) {
        const int ix = cx - images->GetWidth() / 2, iy = cy - images->GetHeight() / 2;
        if (item->GetChecked()) {
            TRect f =
                Rect(ix - 2, iy - 2, ix + images->GetWidth() + 2, iy + images->GetHeight() + 2);
            DrawEdge(C, f, BDR_SUNKENOUTER, BF_RECT);
        }
        images->Draw(C, ix, iy, item->GetImageIndex(), enabled);
    } else if (item->GetChecked()) {
        const TColor mark = enabled ? fore : clGrayText;
        C.Pen().SetStyle(TPenStyle::psSolid);
        C.Pen().SetColor(mark);
        C.Brush().SetColor(mark);
        if (item->GetRadioItem()) {
            C.Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
        } else {
            // A tick three pixels thick.
            for (int k = 0; k < 3; ++k) {
                C.MoveTo(cx - 3, cy - 1 + k);
                C.LineTo(cx - 1, cy + 1 + k);
                C.LineTo(cx + 4, cy - 4 + k);
            }
        }
        C.Brush().SetColor(back);
    }

    TFontStyles style;
    if (item->GetDefault()) style.Include(TFontStyle::fsBold);
    C.Font().SetStyle(style);
    C.Brush().SetStyle(TBrushStyle::bsClear);
    auto text = [&](const std::string& s, TRect tr, unsigned align) {
        const unsigned flags =
            align | DT_SINGLELINE | DT_VCENTER | (align == DT_RIGHT ? DT_NOPREFIX : 0u);
        if (!enabled) {
            // Etched grey, as a disabled item classically is.
            TRect lit = tr;
            lit.Offset(1, 1);
            C.Font().SetColor(clBtnHighlight);
            C.DrawText(s, lit, flags);
            C.Font().SetColor(clBtnShadow);
        } else {
            C.Font().SetColor(fore);
        }
        C.DrawText(s, tr, flags);
    };
    text(item->GetCaption(), Rect(r.Left + FGutter, r.Top, FShortCutX, r.Bottom), DT_LEFT);
    C.Font().SetStyle({});
    if (item->GetShortCut() != scNone)
        text(ShortCutToText(item->GetShortCut()),
             Rect(FShortCutX, r.Top, r.Right - ArrowArea, r.Bottom), DT_RIGHT);
    C.Brush().SetStyle(TBrushStyle::bsSolid);

    if (HasVisibleItems(item)) {
        const TColor arrow = enabled ? fore : clGrayText;
        const int ax = r.Right - 12, ay = (r.Top + r.Bottom) / 2;
        C.Pen().SetColor(arrow);
        C.Brush().SetColor(arrow);
        C.Polygon({Point(ax, ay - 4), Point(ax + 4, ay), Point(ax, ay + 4)});
    }
}

}  // namespace vel
