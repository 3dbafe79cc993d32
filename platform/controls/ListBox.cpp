// TCustomListBox: items, selection, painting, scrolling, mouse and keyboard, item dragging.
#include <algorithm>

#include "platform/classes/Errors.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/SystemProfile.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

namespace vel {

// The Items of a list box: the strings live in the list box's item records.
class TListBoxStrings : public TStrings {
    VEL_CLASS(TListBoxStrings)
public:
    explicit TListBoxStrings(TCustomListBox* ListBox) : FListBox(ListBox) {}
    int GetCount() const override { return FListBox->Count(); }
    std::string Get(int Index) const override { return FListBox->Item(Index).Text; }
    void Put(int Index, const std::string& S) override {
        if (FListBox->FSorted) {
            // The changed item moves to its sorted place.
            TListBoxItem item = FListBox->Item(Index);
            item.Text = S;
            FListBox->DeleteItem(Index);
            FListBox->InsertItem(FListBox->SortedIndexOf(S), std::move(item));
            return;
        }
        FListBox->ItemRef(Index).Text = S;
        FListBox->ItemsChanged();
    }
    TObject* GetObject(int Index) const override { return FListBox->Item(Index).Object; }
    void PutObject(int Index, TObject* AObject) override {
        FListBox->ItemRef(Index).Object = AObject;
    }
    int Add(const std::string& S) override {
        const int i = FListBox->FSorted ? FListBox->SortedIndexOf(S) : GetCount();
        Insert(i, S);
        return i;
    }
    void Insert(int Index, const std::string& S) override {
        if (Index < 0 || Index > GetCount()) IndexError(Index);
        TListBoxItem item;
        item.Text = S;
        FListBox->InsertItem(Index, std::move(item));
    }
    void Delete(int Index) override {
        if (Index < 0 || Index >= GetCount()) IndexError(Index);
        FListBox->DeleteItem(Index);
    }
    void Clear() override { FListBox->Clear(); }
    void Exchange(int Index1, int Index2) override {
        if (Index1 < 0 || Index1 >= GetCount()) IndexError(Index1);
        if (Index2 < 0 || Index2 >= GetCount()) IndexError(Index2);
        std::swap(FListBox->ItemRef(Index1), FListBox->ItemRef(Index2));
        FListBox->ItemsChanged();
    }
    void Move(int CurIndex, int NewIndex) override {
        if (CurIndex < 0 || CurIndex >= GetCount()) IndexError(CurIndex);
        if (NewIndex < 0 || NewIndex >= GetCount()) IndexError(NewIndex);
        FListBox->MoveItem(CurIndex, NewIndex);
    }
    int CompareStrings(const std::string& S1, const std::string& S2) const override {
        return Utf8CompareText(S1, S2);
    }

protected:
    void SetUpdateState(bool Updating) override {
        FListBox->FUpdating = Updating;
        if (!Updating) FListBox->ItemsChanged();
    }

private:
    TCustomListBox* FListBox;
};

VEL_DEFINE_CLASS(TListBoxStrings, TStrings)
VEL_DEFINE_CLASS(TCustomListBox, TCustomControl)
VEL_DEFINE_CREATABLE_CLASS(TListBox, TCustomListBox)

VEL_ENUM_INFO(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)

VEL_PUBLISHED(TCustomListBox) {
    Prop("BorderStyle", &T::GetBorderStyle, &T::SetBorderStyle, TBorderStyle::bsSingle);
    Prop("ExtendedSelect", &T::GetExtendedSelect, &T::SetExtendedSelect, true);
    Prop("ItemHeight", &T::GetItemHeight, &T::SetItemHeight).Stored(&T::IsItemHeightStored);
    Prop("Items", &T::GetItemsObject, &T::SetItemsObject);
    Prop("MultiSelect", &T::GetMultiSelect, &T::SetMultiSelect, false);
    Prop("Sorted", &T::GetSorted, &T::SetSorted, false);
    Prop("Style", &T::GetStyle, &T::SetStyle, TListBoxStyle::lbStandard);
}

namespace {

constexpr int kTextIndent = 2;
}  // namespace

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TListBoxStrings>(this)) {
    // OnClick comes from selection changes the user makes, not from every press.
    FControlStyle -= TControlStyle{TControlStyleFlag::csClickEvents};
    FControlStyle += TControlStyle{TControlStyleFlag::csOpaque};
    FWidth = 121;
    FHeight = 97;
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == TBorderStyle::bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

// A new window starts from CreateParams: the scroll bar is shown again when needed.
void TCustomListBox::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollBar();
}

void TCustomListBox::SetItemsObject(TStrings* v) {
    FItems->Assign(v);
}

const TListBoxItem& TCustomListBox::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ").");
    return FList[std::size_t(Index)];
}

TListBoxItem& TCustomListBox::ItemRef(int Index) {
    return const_cast<TListBoxItem&>(Item(Index));
}

void TCustomListBox::Clear() {
    FList.clear();
    FItemIndex = -1;
    FAnchor = -1;
    FTopIndex = 0;
    ItemsChanged();
}

void TCustomListBox::InsertItem(int Index, TListBoxItem Item) {
    if (FStyle == TListBoxStyle::lbOwnerDrawVariable) {
        int h = FItemHeight;
        FList.insert(FList.begin() + Index, std::move(Item));
        MeasureItem(Index, h);
        FList[std::size_t(Index)].Height = std::max(1, h);
    } else {
        FList.insert(FList.begin() + Index, std::move(Item));
    }
    if (FItemIndex >= Index) ++FItemIndex;
    if (FAnchor >= Index) ++FAnchor;
    ItemsChanged();
}

void TCustomListBox::DeleteItem(int Index) {
    FList.erase(FList.begin() + Index);
    // The focused item going away leaves none, as the classic list does.
    if (FItemIndex == Index)
        FItemIndex = -1;
    else if (FItemIndex > Index)
        --FItemIndex;
    if (FAnchor == Index)
        FAnchor = -1;
    else if (FAnchor > Index)
        --FAnchor;
    ItemsChanged();
}

void TCustomListBox::MoveItem(int From, int To) {
    if (From == To) return;
    TListBoxItem item = std::move(FList[std::size_t(From)]);
    FList.erase(FList.begin() + From);
    FList.insert(FList.begin() + To, std::move(item));
    auto follow = [&](int& i) {
        if (i == From)
            i = To;
        else if (From < i && i <= To)
            --i;
        else if (To <= i && i < From)
            ++i;
    };
    follow(FItemIndex);
    follow(FAnchor);
    ItemsChanged();
}

int TCustomListBox::SortedIndexOf(const std::string& S) const {
    // After equal items, so that equal strings keep the order they were added in.
    auto it = std::upper_bound(
        FList.begin(), FList.end(), S,
        [](const std::string& s, const TListBoxItem& i) { return Utf8CompareText(s, i.Text) < 0; });
    return int(it - FList.begin());
}

void TCustomListBox::SortItems() {
    const TListBoxItem* focused = FItemIndex >= 0 ? &FList[std::size_t(FItemIndex)] : nullptr;
    std::vector<std::size_t> order(FList.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return Utf8CompareText(FList[a].Text, FList[b].Text) < 0;
    });
    std::vector<TListBoxItem> sorted;
    sorted.reserve(FList.size());
    int newIndex = -1;
    for (std::size_t i : order) {
        if (focused == &FList[i]) newIndex = int(sorted.size());
        sorted.push_back(std::move(FList[i]));
    }
    FList = std::move(sorted);
    FItemIndex = newIndex;
    FAnchor = newIndex;
    ItemsChanged();
}

void TCustomListBox::ItemsChanged() {
    if (FUpdating) return;
    FTopIndex = std::clamp(FTopIndex, 0, std::max(0, Count() - 1));
    UpdateScrollBar();
    Invalidate();
}

// ---- Properties.

void TCustomListBox::SetItemIndex(int v) {
    if (v < -1 || v >= Count())
        throw EListError("Item index " + std::to_string(v) + " is out of range (0.." +
                         std::to_string(Count() - 1) + ").");
    if (!FMultiSelect) {
        for (auto& i : FList) i.Selected = false;
        if (v >= 0) FList[std::size_t(v)].Selected = true;
    }
    FItemIndex = v;
    FAnchor = v;
    if (v >= 0) MakeVisible(v);
    Invalidate();
}

void TCustomListBox::SetMultiSelect(bool v) {
    if (v == FMultiSelect) return;
    FMultiSelect = v;
    // Back to single selection: only the focused item stays selected.
    if (!v) {
        for (auto& i : FList) i.Selected = false;
        if (FItemIndex >= 0) FList[std::size_t(FItemIndex)].Selected = true;
    }
    Invalidate();
}

bool TCustomListBox::GetSelected(int Index) const {
    return Item(Index).Selected;
}

void TCustomListBox::SetSelected(int Index, bool v) {
    TListBoxItem& item = ItemRef(Index);
    if (!FMultiSelect) {
        if (v) {
            SetItemIndex(Index);
        } else if (FItemIndex == Index) {
            item.Selected = false;
            FItemIndex = -1;
            Invalidate();
        }
        return;
    }
    if (item.Selected == v) return;
    item.Selected = v;
    Invalidate();
}

int TCustomListBox::GetSelCount() const {
    if (!FMultiSelect) return -1;  // as the classic list answers for single selection
    return int(std::count_if(FList.begin(), FList.end(),
                             [](const TListBoxItem& i) { return i.Selected; }));
}

void TCustomListBox::ClearSelection() {
    for (auto& i : FList) i.Selected = false;
    if (!FMultiSelect) FItemIndex = -1;
    Invalidate();
}

void TCustomListBox::SelectAll() {
    if (!FMultiSelect) return;
    for (auto& i : FList) i.Selected = true;
    Invalidate();
}

void TCustomListBox::SetSorted(bool v) {
    if (v == FSorted) return;
    FSorted = v;
    if (v) SortItems();
}

void TCustomListBox::SetStyle(TListBoxStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    if (v == TListBoxStyle::lbOwnerDrawVariable)
        for (int i = 0; i < Count(); ++i) {
            int h = FItemHeight;
            MeasureItem(i, h);
            FList[std::size_t(i)].Height = std::max(1, h);
        }
    ItemsChanged();
}

int TCustomListBox::GetItemHeight() const {
    if (FStyle == TListBoxStyle::lbStandard && !FItemHeightSet) {
        if (FFontLineHeight == 0) {
            TCanvas& c = TextMeasureCanvas();
            c.SetFont(Font());
            FFontLineHeight = c.TextHeight("Wg") + 1;
        }
        return FFontLineHeight;
    }
    return FItemHeight;
}

void TCustomListBox::SetItemHeight(int v) {
    if (v < 1 || v > 255)
        throw EInvalidArgument("Item height " + std::to_string(v) + " is out of range (1..255).");
    FItemHeight = v;
    FItemHeightSet = true;
    ItemsChanged();
}

void TCustomListBox::SetBorderStyle(TBorderStyle v) {
    if (v == FBorderStyle) return;
    FBorderStyle = v;
    RecreateWnd();
}

void TCustomListBox::FontChanged() {
    TCustomControl::FontChanged();
    FFontLineHeight = 0;
    ItemsChanged();
}

// ---- Geometry.

int TCustomListBox::ItemTop(int Index) const {
    if (FStyle != TListBoxStyle::lbOwnerDrawVariable) return (Index - FTopIndex) * GetItemHeight();
    int y = 0;
    if (Index >= FTopIndex)
        for (int i = FTopIndex; i < Index; ++i) y += FList[std::size_t(i)].Height;
    else
        for (int i = Index; i < FTopIndex; ++i) y -= FList[std::size_t(i)].Height;
    return y;
}

TRect TCustomListBox::ItemRect(int Index) const {
    if (Index < 0 || Index > Count()) return TRect{};
    const int h = Index < Count() && FStyle == TListBoxStyle::lbOwnerDrawVariable
                      ? FList[std::size_t(Index)].Height
                      : GetItemHeight();
    const int top = ItemTop(Index);
    return TRect{0, top, GetClientWidth(), top + h};
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) const {
    const TRect client = GetClientRect();
    if (Pos.X < client.Left || Pos.X >= client.Right || Pos.Y < 0) return -1;
    int y = 0;
    for (int i = FTopIndex; i < Count(); ++i) {
        const int h = FStyle == TListBoxStyle::lbOwnerDrawVariable ? FList[std::size_t(i)].Height
                                                                   : GetItemHeight();
        if (Pos.Y < y + h) return i;
        y += h;
        if (y >= client.Bottom) break;
    }
    return Existing ? -1 : Count();
}

int TCustomListBox::VisibleCount() const {
    const int ch = GetClientHeight();
    if (FStyle != TListBoxStyle::lbOwnerDrawVariable)
        return std::max(1, ch / std::max(1, GetItemHeight()));
    int n = 0, y = 0;
    for (int i = FTopIndex; i < Count(); ++i) {
        y += FList[std::size_t(i)].Height;
        if (y > ch) break;
        ++n;
    }
    return std::max(1, n);
}

namespace {
// The largest top index that still fills the client area from the last item up.
int MaxTop(const std::vector<TListBoxItem>& list, bool variable, int itemHeight, int clientHeight) {
    const int count = int(list.size());
    if (!variable) return std::max(0, count - std::max(1, clientHeight / std::max(1, itemHeight)));
    int y = 0, top = count;
    while (top > 0 && y + list[std::size_t(top - 1)].Height <= clientHeight)
        y += list[std::size_t(--top)].Height;
    return std::min(top, std::max(0, count - 1));
}
}  // namespace

void TCustomListBox::SetTopIndex(int v) {
    const int maxTop = MaxTop(FList, FStyle == TListBoxStyle::lbOwnerDrawVariable, GetItemHeight(),
                              GetClientHeight());
    v = std::clamp(v, 0, maxTop);
    if (v == FTopIndex) return;
    FTopIndex = v;
    UpdateScrollBar();
    Invalidate();
}

void TCustomListBox::MakeVisible(int Index) {
    if (Index < 0 || Index >= Count()) return;
    if (Index < FTopIndex) {
        SetTopIndex(Index);
        return;
    }
    // The lowest top that still shows the whole item, walking up from it.
    const int ch = GetClientHeight();
    int top = Index;
    if (FStyle != TListBoxStyle::lbOwnerDrawVariable) {
        top = Index - std::max(1, ch / std::max(1, GetItemHeight())) + 1;
    } else {
        int y = FList[std::size_t(Index)].Height;
        while (top > 0 && y + FList[std::size_t(top - 1)].Height <= ch)
            y += FList[std::size_t(--top)].Height;
    }
    if (top > FTopIndex) SetTopIndex(top);
}

void TCustomListBox::UpdateScrollBar() {
    if (FUpdatingScroll) return;
    FUpdatingScroll = true;
    const bool variable = FStyle == TListBoxStyle::lbOwnerDrawVariable;
    const bool needed = MaxTop(FList, variable, GetItemHeight(), GetClientHeight()) > 0;
    ShowScrollBar(SB_VERT, needed);
    // The client height may have changed with the bar (not its height, only the width, but
    // the top index must stay valid either way).
    const int maxTop = MaxTop(FList, variable, GetItemHeight(), GetClientHeight());
    FTopIndex = std::clamp(FTopIndex, 0, maxTop);
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, Count() - 1);
    si.nPage = unsigned(std::max(1, VisibleCount()));
    si.nPos = FTopIndex;
    SetScrollInfo(SB_VERT, si, true);
    FUpdatingScroll = false;
}

void TCustomListBox::WMVScroll(TMessage& Message) {
    TWMScroll s(Message);
    const int page = VisibleCount();
    switch (s.ScrollCode) {
        case SB_LINEUP:
            SetTopIndex(FTopIndex - 1);
            break;
        case SB_LINEDOWN:
            SetTopIndex(FTopIndex + 1);
            break;
        case SB_PAGEUP:
            SetTopIndex(FTopIndex - page);
            break;
        case SB_PAGEDOWN:
            SetTopIndex(FTopIndex + page);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            SetTopIndex(s.Pos);
            break;
        case SB_TOP:
            SetTopIndex(0);
            break;
        case SB_BOTTOM:
            SetTopIndex(Count());
            break;
        default:
            break;
    }
}

// ---- Painting.

void TCustomListBox::MeasureItem(int Index, int& Height) {
    if (FOnMeasureItem) FOnMeasureItem(this, Index, Height);
}

void TCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    TCanvas& c = Canvas();
    const bool selected = State.Contains(TOwnerDrawStateFlag::odSelected);
    c.SetFont(Font());
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(selected ? clHighlight : GetColor());
    if (selected)
        c.Font().SetColor(clHighlightText);
    else if (State.Contains(TOwnerDrawStateFlag::odDisabled))
        c.Font().SetColor(clGrayText);
    if (FOnDrawItem && FStyle != TListBoxStyle::lbStandard) {
        FOnDrawItem(this, Index, Rect, State);
        return;
    }
    c.FillRect(Rect);
    TRect t = Rect;
    t.Left += kTextIndent;
    c.Brush().SetStyle(TBrushStyle::bsClear);
    unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (UseRightToLeftAlignment()) {
        flags |= DT_RIGHT | DT_RTLREADING;
        t.Left -= kTextIndent;
        t.Right -= kTextIndent;
    }
    c.DrawText(FList[std::size_t(Index)].Text, t, flags);
}

void TCustomListBox::Paint() {
    TCanvas& c = Canvas();
    const TRect client = GetClientRect();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(GetColor());
    c.FillRect(client);
    const bool focused = Focused();
    for (int i = FTopIndex; i < Count(); ++i) {
        const TRect r = ItemRect(i);
        if (r.Top >= client.Bottom) break;
        TOwnerDrawState state;
        if (FList[std::size_t(i)].Selected) state.Include(TOwnerDrawStateFlag::odSelected);
        if (!GetEnabled()) state.Include(TOwnerDrawStateFlag::odDisabled);
        if (focused && i == FItemIndex) state.Include(TOwnerDrawStateFlag::odFocused);
        c.SaveDC();
        c.IntersectClipRect(r);
        DrawItem(i, r, state);
        c.RestoreDC();
        if (focused && i == FItemIndex) {
            c.Brush().SetStyle(TBrushStyle::bsSolid);
            c.DrawFocusRect(r);
        }
    }
    if (FDragging && FDragAccepted && FDropIndex >= 0) {
        // The drop position: a bar across the top of the target item.
        const TRect r = ItemRect(FDropIndex);
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(clWindowText);
        c.FillRect(TRect{r.Left, std::max(r.Top - 1, 0), r.Right, r.Top + 1});
    }
}

// ---- Selection by the user.

void TCustomListBox::UserChange() {
    Click();
}

void TCustomListBox::SelectRange(int From, int To, bool Only) {
    if (From > To) std::swap(From, To);
    for (int i = 0; i < Count(); ++i) {
        const bool in = i >= From && i <= To;
        if (in)
            FList[std::size_t(i)].Selected = true;
        else if (Only)
            FList[std::size_t(i)].Selected = false;
    }
}

void TCustomListBox::MoveFocus(int Index, TShiftState Shift) {
    if (Count() == 0) return;
    Index = std::clamp(Index, 0, Count() - 1);
    if (!FMultiSelect) {
        if (Index == FItemIndex && FList[std::size_t(Index)].Selected) {
            MakeVisible(Index);
            return;
        }
        SetItemIndex(Index);
        UserChange();
        return;
    }
    if (FExtendedSelect) {
        if (Shift.Contains(TShiftStateFlag::ssShift) && FAnchor >= 0) {
            SelectRange(FAnchor, Index, !Shift.Contains(TShiftStateFlag::ssCtrl));
        } else if (Shift.Contains(TShiftStateFlag::ssCtrl)) {
            // Ctrl alone moves the focus; the mouse toggles (see MouseDown).
            FAnchor = Index;
        } else {
            SelectRange(Index, Index, true);
            FAnchor = Index;
        }
    } else {
        FAnchor = Index;
    }
    FItemIndex = Index;
    MakeVisible(Index);
    Invalidate();
    UserChange();
}

void TCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft) {
        if (CanFocus() && !Focused()) SetFocus();
        const int i = ItemAtPos(Point(X, Y), true);
        // Without csClickEvents the framework leaves double clicks to the control.
        if (Shift.Contains(TShiftStateFlag::ssDouble)) DblClick();
        if (i >= 0) {
            if (FMultiSelect && !FExtendedSelect) {
                FList[std::size_t(i)].Selected = !FList[std::size_t(i)].Selected;
                FItemIndex = FAnchor = i;
                Invalidate();
                UserChange();
            } else if (FMultiSelect && Shift.Contains(TShiftStateFlag::ssCtrl) &&
                       !Shift.Contains(TShiftStateFlag::ssShift)) {
                FList[std::size_t(i)].Selected = !FList[std::size_t(i)].Selected;
                FItemIndex = FAnchor = i;
                Invalidate();
                UserChange();
            } else {
                MoveFocus(i, Shift);
            }
            FMouseSelecting = !FMultiSelect || FExtendedSelect;
            if (GetDragMode() == TDragMode::dmAutomatic) {
                FDragPending = true;
                FDragStart = Point(X, Y);
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomListBox::MouseMove(TShiftState Shift, int X, int Y) {
    if (FDragPending && !FDragging &&
        (std::abs(X - FDragStart.X) >= GetSystemMetrics(SM_CXDRAG) ||
         std::abs(Y - FDragStart.Y) >= GetSystemMetrics(SM_CYDRAG))) {
        FMouseSelecting = false;
        BeginDrag(true);
    }
    if (FDragging) {
        FDragPos = Point(X, Y);
        const int target = ItemAtPos(FDragPos, true);
        const bool accepted = DragOver(this, X, Y, TDragState::dsDragMove);
        if (target != FDropIndex || accepted != FDragAccepted) {
            FDropIndex = target;
            FDragAccepted = accepted;
            Invalidate();
        }
        SetCursor(accepted ? crDrag : crNoDrop);
    } else if (FMouseSelecting && GetMouseCapture()) {
        // Dragging the selection: past the edges the list scrolls one item.
        int i;
        if (Y < 0)
            i = std::max(0, FTopIndex - 1);
        else if (Y >= GetClientHeight())
            i = std::min(Count() - 1, FTopIndex + VisibleCount());
        else
            i = ItemAtPos(Point(std::clamp(X, 0, GetClientWidth() - 1), Y), true);
        if (i >= 0 && i != FItemIndex)
            MoveFocus(i, FMultiSelect ? TShiftState{TShiftStateFlag::ssShift} : TShiftState{});
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft) {
        FMouseSelecting = false;
        FDragPending = false;
        if (FDragging) {
            FDragPos = Point(X, Y);
            EndDrag(true);
        }
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomListBox::KeyDown(unsigned& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_ESCAPE && FDragging) {
        EndDrag(false);
        Key = 0;
        return;
    }
    if (Count() == 0) return;
    const int cur = std::max(FItemIndex, 0);
    const int page = std::max(1, VisibleCount() - 1);
    int target = -1;
    switch (Key) {
        case VK_UP:
            target = FItemIndex < 0 ? 0 : cur - 1;
            break;
        case VK_DOWN:
            target = FItemIndex < 0 ? 0 : cur + 1;
            break;
        case VK_PRIOR:
            target = cur - page;
            break;
        case VK_NEXT:
            target = cur + page;
            break;
        case VK_HOME:
            target = 0;
            break;
        case VK_END:
            target = Count() - 1;
            break;
        case VK_SPACE:
            if (FMultiSelect && FItemIndex >= 0) {
                TListBoxItem& item = FList[std::size_t(FItemIndex)];
                item.Selected = FExtendedSelect && !Shift.Contains(TShiftStateFlag::ssCtrl)
                                    ? true
                                    : !item.Selected;
                FAnchor = FItemIndex;
                Invalidate();
                UserChange();
                Key = 0;
            }
            return;
        default:
            return;
    }
    MoveFocus(std::clamp(target, 0, Count() - 1), Shift);
    Key = 0;
}

void TCustomListBox::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key < U' ' || Count() == 0) return;
    // A typed character goes to the next item starting with it.
    const char32_t k = UnicodeToLower(Key);
    for (int n = 1; n <= Count(); ++n) {
        const int i = (std::max(FItemIndex, -1) + n) % Count();
        const std::string& t = FList[std::size_t(i)].Text;
        std::size_t pos = 0;
        if (!t.empty() && UnicodeToLower(Utf8Decode(t, pos)) == k) {
            MoveFocus(i, {});
            break;
        }
    }
}

// ---- Dragging.

void TCustomListBox::BeginDrag(bool Immediate) {
    if (FDragging) return;
    if (!Immediate) {
        FDragPending = true;
        FDragStart = ScreenToClient(GetCursorPos());
        return;
    }
    FDragPending = false;
    FDragging = true;
    FDragAccepted = false;
    FDropIndex = -1;
    if (!GetMouseCapture()) SetMouseCapture(true);
    if (FOnStartDrag) FOnStartDrag(this);
}

bool TCustomListBox::DragOver(TObject* Source, int X, int Y, TDragState State) {
    bool accept = true;
    if (!FOnDragOver) return false;
    FOnDragOver(this, Source, X, Y, State, accept);
    return accept;
}

void TCustomListBox::DragDrop(TObject* Source, int X, int Y) {
    if (FOnDragDrop) FOnDragDrop(this, Source, X, Y);
}

void TCustomListBox::EndDrag(bool Drop) {
    if (!FDragging) return;
    FDragging = false;
    const bool accepted = Drop && GetClientRect().Contains(FDragPos) &&
                          DragOver(this, FDragPos.X, FDragPos.Y, TDragState::dsDragMove);
    FDropIndex = -1;
    FDragAccepted = false;
    SetCursor(crDefault);
    if (GetMouseCapture()) SetMouseCapture(false);
    Invalidate();
    if (accepted) DragDrop(this, FDragPos.X, FDragPos.Y);
    if (FOnEndDrag) FOnEndDrag(this, accepted ? this : nullptr, FDragPos.X, FDragPos.Y);
}

void TCustomListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_GETDLGCODE:
            Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
            return;
        case WM_VSCROLL:
            WMVScroll(Message);
            return;
        case WM_SIZE:
            TCustomControl::Dispatch(Message);
            UpdateScrollBar();
            return;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Invalidate();
            TCustomControl::Dispatch(Message);
            return;
        case WM_CANCELMODE:
        case CM_CANCELMODE:
            if (Message.Msg == WM_CANCELMODE || TCMCancelMode(Message).Sender != this) {
                FMouseSelecting = false;
                FDragPending = false;
                EndDrag(false);
            }
            TCustomControl::Dispatch(Message);
            return;
        case CM_MOUSEWHEEL: {
            TCMMouseWheel w(Message);
            bool handled = false;
            if (FOnMouseWheel)
                FOnMouseWheel(this, w.ShiftState, w.WheelDelta, Point(w.XPos, w.YPos), handled);
            if (!handled) SetTopIndex(FTopIndex - w.WheelDelta / 120 * GetWheelScrollLines());
            Message.Result = 1;
            return;
        }
        default:
            TCustomControl::Dispatch(Message);
    }
}

}  // namespace vel
