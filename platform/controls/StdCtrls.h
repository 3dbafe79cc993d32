#pragma once
// The standard controls with the classic, unthemed look: labels, push buttons, check boxes,
// radio buttons, group boxes and list boxes. Each is drawn by the library itself with the
// canvas' 3-D edge and frame-control routines, so it looks the same on every backend.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/classes/Errors.h"
#include "platform/classes/Strings.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"

namespace vel {

class TTimer;

enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
VEL_DECLARE_ENUM_INFO(TTextLayout)
VEL_DECLARE_ENUM_INFO(TCheckBoxState)

// Draws a caption as a disabled control does: in the highlight colour one pixel right and
// down, then in the shadow colour.
void DrawEmbossedText(TCanvas& Canvas, const std::string& Text, TRect R, unsigned Flags);
// A canvas for measuring text outside painting (a control's own canvas needs a surface).
TCanvas& TextMeasureCanvas();
// The character after the single '&' of a caption (lower case), 0 for none.
char32_t GetAccelChar(const std::string& Caption);
// Whether a typed character (either case) is the caption's accelerator.
bool IsAccel(char32_t Key, const std::string& Caption);

// ---- Labels.

class TCustomLabel : public TGraphicControl {
    VEL_CLASS(TCustomLabel)
public:
    explicit TCustomLabel(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TTextLayout GetLayout() const { return FLayout; }
    void SetLayout(TTextLayout v);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    // Transparent labels leave the parent's background; opaque ones fill with Color.
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool v);
    bool GetShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v);
    // The control that gets the focus when the caption's accelerator is typed.
    TWinControl* GetFocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v);

    // Resizes to the caption when AutoSize is on (keeps the right edge of right-aligned text).
    virtual void AdjustBounds();
    // The DrawText flags the label paints with.
    unsigned TextFlags() const;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    void FontChanged() override;
    // Draws (or measures, with DT_CALCRECT) the caption.
    virtual void DoDrawText(TCanvas& Canvas, TRect& R, unsigned Flags);
    // The control the accelerator focuses.
    virtual TWinControl* AccelControl() const { return FFocusControl; }

private:
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TTextLayout FLayout = TTextLayout::tlTop;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
    VEL_CLASS(TLabel)
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

enum class TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };
VEL_DECLARE_ENUM_INFO(TLabelPosition)

// A label kept next to a control (by default the control that owns it, as a labelled editor
// owns its label): LabelPosition and LabelSpacing say where. The control calls
// UpdatePosition whenever its own bounds change.
class TBoundLabel : public TCustomLabel {
    VEL_CLASS(TBoundLabel)
public:
    explicit TBoundLabel(TComponent* AOwner);
    TLabelPosition GetLabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition v);
    // Pixels between the label and its control; negative values raise EInvalidArgument.
    int GetLabelSpacing() const { return FLabelSpacing; }
    void SetLabelSpacing(int v);
    // The control the label follows (not owned).
    TControl* GetBoundControl() const { return FBoundControl; }
    void SetBoundControl(TControl* v);
    // Moves the label next to the bound control, in the control's parent.
    void UpdatePosition();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void AdjustBounds() override;
    // Without a FocusControl the accelerator focuses the bound control.
    TWinControl* AccelControl() const override;

private:
    TLabelPosition FLabelPosition = TLabelPosition::lpAbove;
    int FLabelSpacing = 3;
    TControl* FBoundControl = nullptr;
    bool FPositioning = false;
};

// ---- Buttons.

// Base of push buttons, check boxes and radio buttons: a focusable control that clicks.
class TButtonControl : public TCustomControl {
    VEL_CLASS(TButtonControl)
public:
    explicit TButtonControl(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

protected:
    // The pressed look while the mouse or the space bar holds the button.
    bool IsPressed() const { return FPressed; }
    void SetPressed(bool v);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyUp(unsigned& Key, TShiftState Shift) override;
    // What a click by the user does (mouse released over it, space, accelerator).
    virtual void UserClick() { Click(); }
    // The focus rectangle and the text, shared by the descendants' painting.
    void DrawCaption(TCanvas& Canvas, TRect R, unsigned Flags, bool Disabled);
    // Check boxes and radio buttons: the 13-pixel box (DrawFrameControl state) beside the
    // caption, the focus rectangle around the caption.
    void PaintCheckLayout(TCanvas& Canvas, unsigned FrameState, TAlignment Alignment);

private:
    bool FPressed = false;
    bool FMouseHeld = false;
    bool FSpaceHeld = false;
};

class TButton : public TButtonControl {
    VEL_CLASS(TButton)
public:
    explicit TButton(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    // The default button answers Enter unless another button has the focus.
    bool GetDefault() const { return FDefault; }
    void SetDefault(bool v);
    // The cancel button answers Escape.
    bool GetCancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    // Given to the parent form on click (ending a modal form).
    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    // Whether Enter would click this button now (it is focused, or it is the default and
    // no other button is focused).
    bool GetActive() const { return FActive; }

    void Click() override;

protected:
    void Paint() override;

private:
    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = mrNone;
};

// ---- Check boxes and radio buttons.

class TCustomCheckBox : public TButtonControl {
    VEL_CLASS(TCustomCheckBox)
public:
    explicit TCustomCheckBox(TComponent* AOwner);

    // Any change of State raises OnClick, whether the user or the code made it.
    TCheckBoxState GetState() const { return FState; }
    void SetState(TCheckBoxState v);
    bool GetChecked() const { return FState == TCheckBoxState::cbChecked; }
    void SetChecked(bool v) {
        SetState(v ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked);
    }
    // The user's clicks pass through the grayed state too.
    bool GetAllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool v) { FAllowGrayed = v; }
    // taRightJustify (the default) puts the caption right of the box, taLeftJustify left of it;
    // taCenter raises EInvalidArgument.
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    // Unchecked -> checked (-> grayed) -> unchecked.
    virtual void Toggle();

protected:
    void UserClick() override { Toggle(); }
    void Paint() override;

private:
    TCheckBoxState FState = TCheckBoxState::cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = TAlignment::taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
    VEL_CLASS(TCheckBox)
public:
    explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// Checking a radio button unchecks the other radio buttons of the same parent.
class TRadioButton : public TButtonControl {
    VEL_CLASS(TRadioButton)
public:
    explicit TRadioButton(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    bool GetChecked() const { return FChecked; }
    void SetChecked(bool v);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);

protected:
    void UserClick() override { SetChecked(true); }
    void Paint() override;

private:
    bool FChecked = false;
    TAlignment FAlignment = TAlignment::taRightJustify;
};

// ---- Group box.

// A container drawn as an etched frame with its caption in the top edge.
class TCustomGroupBox : public TCustomControl {
    VEL_CLASS(TCustomGroupBox)
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    void AdjustClientRect(TRect& Rect) const override;
    // The caption's accelerator focuses the first tab stop inside.
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    void FontChanged() override;
};

class TGroupBox : public TCustomGroupBox {
    VEL_CLASS(TGroupBox)
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// ---- List boxes.

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum class TOwnerDrawStateFlag {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault
};
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
VEL_DECLARE_ENUM_INFO(TListBoxStyle)

class TCustomListBox;
using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;
// Accept starts true; a control without OnDragOver accepts nothing.
using TDragOverEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y,
                                          TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

// What a list box keeps per item; the check list box uses the check fields.
struct TListBoxItem {
    std::string Text;
    TObject* Object = nullptr;
    bool Selected = false;
    TCheckBoxState State = TCheckBoxState::cbUnchecked;
    bool Enabled = true;
    int Height = 0;  // lbOwnerDrawVariable: measured when added
};

// A scrolling list of strings with single, multiple or extended selection. Items is a
// TStrings that lives in the list box: every change repaints and keeps ItemIndex and the
// selection on the items they were on.
class TCustomListBox : public TCustomControl {
    VEL_CLASS(TCustomListBox)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;
    void Dispatch(TMessage& Message) override;

    TStrings& Items() { return *FItems; }
    TStrings* GetItemsObject() const { return FItems.get(); }
    void SetItemsObject(TStrings* v);
    int Count() const { return int(FList.size()); }
    void Clear();

    // The focused item (-1: none). In single selection it is also the selected item. Out of
    // range raises EListError.
    int GetItemIndex() const { return FItemIndex; }
    void SetItemIndex(int v);
    bool GetMultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v);
    // With MultiSelect: Shift and Ctrl extend the selection (else a click toggles one item).
    bool GetExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool v) { FExtendedSelect = v; }
    bool GetSelected(int Index) const;
    void SetSelected(int Index, bool v);
    int GetSelCount() const;
    void ClearSelection();
    void SelectAll();
    bool GetSorted() const { return FSorted; }
    void SetSorted(bool v);
    TListBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TListBoxStyle v);
    // Standard lists measure a line of their font unless a height was set.
    int GetItemHeight() const;
    void SetItemHeight(int v);
    bool IsItemHeightStored() const { return FItemHeightSet; }
    int GetTopIndex() const { return FTopIndex; }
    void SetTopIndex(int v);
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);

    // The item at a client point; -1 when there is none (or Count below the last item
    // when Existing is false).
    int ItemAtPos(TPoint Pos, bool Existing) const;
    TRect ItemRect(int Index) const;
    // Rows that fit in the client area (whole ones, at least 1).
    int VisibleCount() const;
    // Scrolls so that the item is visible.
    void MakeVisible(int Index);

    // Dragging items: automatic drags start when the mouse moves a few pixels with the left
    // button held on an item.
    void BeginDrag(bool Immediate);
    void EndDrag(bool Drop);
    bool Dragging() const { return FDragging; }
    // The item under the pointer during a drag (-1 outside).
    int GetDropIndex() const { return FDropIndex; }

    void SetOnDrawItem(TDrawItemEvent e) { FOnDrawItem = std::move(e); }
    void SetOnMeasureItem(TMeasureItemEvent e) { FOnMeasureItem = std::move(e); }
    void SetOnDragOver(TDragOverEvent e) { FOnDragOver = std::move(e); }
    void SetOnDragDrop(TDragDropEvent e) { FOnDragDrop = std::move(e); }
    void SetOnEndDrag(TEndDragEvent e) { FOnEndDrag = std::move(e); }
    void SetOnStartDrag(TNotifyEvent e) { FOnStartDrag = std::move(e); }

    // The per-item record (checks, enabling) for descendants and tests.
    const TListBoxItem& Item(int Index) const;

protected:
    friend class TListBoxStrings;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void FontChanged() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    // Paints one item; the default fills it and writes the text (or calls OnDrawItem).
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    virtual bool DragOver(TObject* Source, int X, int Y, TDragState State);
    virtual void DragDrop(TObject* Source, int X, int Y);
    TListBoxItem& ItemRef(int Index);
    // Moves the focus to an item as the keyboard or mouse does (selecting per the mode).
    void MoveFocus(int Index, TShiftState Shift);
    // A change the user made: raises OnClick.
    void UserChange();
    // Items changed: heights, the scroll bar, a repaint.
    void ItemsChanged();

    std::vector<TListBoxItem> FList;

private:
    void UpdateScrollBar();
    void WMVScroll(TMessage& Message);
    int ItemTop(int Index) const;
    void InsertItem(int Index, TListBoxItem Item);
    void DeleteItem(int Index);
    void MoveItem(int From, int To);
    int SortedIndexOf(const std::string& S) const;
    void SortItems();
    void SelectRange(int From, int To, bool Only);

    std::unique_ptr<TStrings> FItems;
    int FItemIndex = -1;
    int FAnchor = -1;  // where a Shift selection starts
    int FTopIndex = 0;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    bool FSorted = false;
    TListBoxStyle FStyle = TListBoxStyle::lbStandard;
    int FItemHeight = 16;
    bool FItemHeightSet = false;
    mutable int FFontLineHeight = 0;  // measured once per font
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    bool FUpdatingScroll = false;
    bool FUpdating = false;  // inside Items.BeginUpdate / EndUpdate
    // Mouse selection and dragging.
    bool FMouseSelecting = false;
    bool FDragPending = false;
    bool FDragging = false;
    bool FDragAccepted = false;
    TPoint FDragStart;
    TPoint FDragPos;
    int FDropIndex = -1;
    TDrawItemEvent FOnDrawItem;
    TMeasureItemEvent FOnMeasureItem;
    TDragOverEvent FOnDragOver;
    TDragDropEvent FOnDragDrop;
    TEndDragEvent FOnEndDrag;
    TNotifyEvent FOnStartDrag;
};

class TListBox : public TCustomListBox {
    VEL_CLASS(TListBox)
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

}  // namespace vel
