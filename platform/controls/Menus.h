#pragma once
// Menu items, popup menus and shortcuts.
//
// A TPopupMenu shows its item tree as top-level, topmost popup windows on the desktop, one per
// open level. While a menu is open it holds the mouse capture and reads the keyboard through an
// application message hook, so the keyboard focus stays where it was (an open editor keeps it).
// Choosing an item closes every level first and then raises the item's OnClick.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

class TCustomImageList;
class TPopupMenu;
class TMenuWindow;

VEL_DECLARE_EXCEPTION(EMenuError, Exception)

// A shortcut: the virtual key in the low byte, the modifiers above it.
using TShortCut = std::uint16_t;
constexpr TShortCut scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;

TShortCut ShortCut(unsigned Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, unsigned& Key, TShiftState& Shift);
// "Shift+Ctrl+F5", "Alt+X", "Del"; empty for scNone.
std::string ShortCutToText(TShortCut ShortCut);
// The reverse, case-insensitive; empty text gives scNone, an unknown key name raises
// EConvertError.
TShortCut TextToShortCut(const std::string& Text);

// Caption helpers: the character after a single '&' (lower-cased, 0 for none) and the caption
// without its accelerator marks.
char32_t GetHotkey(const std::string& Caption);
std::string StripHotkey(const std::string& Caption);

class TMenuItem : public TComponent {
    VEL_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* AOwner);
    // Frees the sub-items and leaves the parent.
    ~TMenuItem() override;

    // The tree. Add/Insert take an item that has no parent yet; Delete and Remove detach an
    // item without freeing it (its owner still frees it); Clear frees every sub-item.
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    void Clear();
    int Count() const { return int(FItems.size()); }
    TMenuItem* GetItem(int Index) const;
    TMenuItem* operator[](int Index) const { return GetItem(Index); }
    int IndexOf(const TMenuItem* Item) const;
    // The sub-item whose caption, without accelerator marks, matches (case-insensitive).
    TMenuItem* Find(const std::string& ACaption) const;
    TMenuItem* GetParent() const { return FParent; }
    int GetMenuIndex() const;
    void SetMenuIndex(int Value);
    // The popup menu the tree belongs to (nullptr for a free-standing tree).
    TPopupMenu* GetMenu() const;

    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    // A caption of "-" makes the item a separator.
    bool IsLine() const { return FCaption == "-"; }
    TShortCut GetShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut v) { FShortCut = v; }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    bool GetChecked() const { return FChecked; }
    // Checking a radio item unchecks the radio items of the same group under the same parent.
    void SetChecked(bool v);
    bool GetRadioItem() const { return FRadioItem; }
    void SetRadioItem(bool v);
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool GetDefault() const { return FDefault; }
    void SetDefault(bool v) { FDefault = v; }
    bool GetAutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool v) { FAutoCheck = v; }
    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }

    const TNotifyEvent& GetOnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent e) { FOnClick = std::move(e); }

    // AutoCheck toggles the check mark, then OnClick runs.
    virtual void Click();
    // Visible and enabled, searched depth-first through visible, enabled sub-menus.
    TMenuItem* FindShortCut(TShortCut ShortCut);

private:
    friend class TPopupMenu;
    void CheckInsert(int Index, TMenuItem* Item) const;
    void TurnSiblingsOff();

    TMenuItem* FParent = nullptr;
    TPopupMenu* FMenu = nullptr;  // set on the root item only
    std::vector<TMenuItem*> FItems;
    std::string FCaption;
    TShortCut FShortCut = scNone;
    bool FVisible = true;
    bool FEnabled = true;
    bool FChecked = false;
    bool FRadioItem = false;
    bool FDefault = false;
    bool FAutoCheck = false;
    int FGroupIndex = 0;
    int FImageIndex = -1;
    std::string FHint;
    TNotifyEvent FOnClick;
};

enum class TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TComponent {
    VEL_CLASS(TPopupMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    TMenuItem* Items() const { return FItems.get(); }
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* v);
    TPopupAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment v) { FAlignment = v; }
    // Right click and the context key pop the menu up only with AutoPopup.
    bool GetAutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool v) { FAutoPopup = v; }
    // The control the menu was last popped up for.
    TComponent* GetPopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* v);
    void SetOnPopup(TNotifyEvent e) { FOnPopup = std::move(e); }
    void SetOnClose(TNotifyEvent e) { FOnClose = std::move(e); }

    // Raises OnPopup, then shows the menu at a desktop point (X is its left edge, right edge or
    // centre by Alignment), moved so that it stays on the desktop. Returns at once: the menu
    // lives on until an item is chosen or it is cancelled.
    virtual void Popup(int X, int Y);
    bool IsOpen() const;
    // Closes every level without choosing anything.
    void CloseMenu();
    // Chooses the enabled, visible item with this shortcut; false when there is none.
    bool IsShortCut(unsigned Key, TShiftState Shift);

    // The open levels, root first (for tests and painting).
    int OpenLevelCount() const { return int(FLevels.size()); }
    TMenuWindow* OpenLevel(int Index) const { return FLevels.at(std::size_t(Index)); }

protected:
    virtual void DoPopup(TObject* Sender);
    virtual void DoClose();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TMenuWindow;
    friend struct TMenuTracking;
    TMenuWindow* OpenLevelFor(TMenuItem* Parent, int Level, TPoint Pos, bool SubMenu,
                              const TRect& ParentItem);
    void CloseLevelsFrom(int Level);
    void Choose(TMenuItem* Item);
    bool HandleMessage(TMsg& Msg);
    bool HandleKey(unsigned Key);
    bool HandleChar(char32_t Ch);
    void MouseAt(TPoint Screen, bool Moved);
    void MouseRelease(TPoint Screen);

    std::unique_ptr<TMenuItem> FItems;
    TCustomImageList* FImages = nullptr;
    TPopupAlignment FAlignment = TPopupAlignment::paLeft;
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
    TNotifyEvent FOnPopup, FOnClose;
    std::vector<TMenuWindow*> FWindows;  // one per level, kept for reuse
    std::vector<TMenuWindow*> FLevels;   // the open ones
    TPoint FOpenedAt;
    bool FPressedInside = false;
    bool FMovedSinceOpen = false;
};

// One open level of a popup menu: the visible sub-items of one item.
class TMenuWindow : public TCustomControl {
    VEL_CLASS(TMenuWindow)
public:
    TMenuWindow(TPopupMenu* Menu);
    void Dispatch(TMessage& Message) override;

    TMenuItem* GetParentItem() const { return FParentItem; }
    // The shown items (visible ones, separators included) and their rectangles (client).
    int ShownCount() const { return int(FShown.size()); }
    TMenuItem* ShownItem(int Index) const { return FShown.at(std::size_t(Index)); }
    TRect ItemRect(int Index) const;
    // The highlighted shown item, -1 for none.
    int GetSelected() const { return FSelected; }
    void SetSelected(int Index);
    TMenuItem* SelectedItem() const { return FSelected >= 0 ? ShownItem(FSelected) : nullptr; }
    int ItemAtPos(TPoint ClientPos) const;
    // Highlightable: visible, not a separator, enabled.
    static bool CanSelect(const TMenuItem* Item);
    static bool HasVisibleItems(const TMenuItem* Item);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    friend class TPopupMenu;
    void Build(TMenuItem* Parent);
    void DrawItem(TCanvas& C, int Index);

    TPopupMenu* FMenu;
    TMenuItem* FParentItem = nullptr;
    std::vector<TMenuItem*> FShown;
    std::vector<int> FTops;
    int FSelected = -1;
    int FGutter = 0;
    int FShortCutX = 0;
};

}  // namespace vel
