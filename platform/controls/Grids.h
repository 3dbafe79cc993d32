#pragma once
// TCustomGrid: the classic cell grid every grid of the library derives from. Rows and columns
// of varying size (a negative size hides a row or column: it takes no space), fixed rows and
// columns, scrolling by whole cells, sizing and moving with the mouse, keyboard navigation, a
// DrawCell paint loop and an in-place editor (TInplaceEdit) driven by overridable hooks.
//
// Geometry is always computed left to right; right-to-left mode mirrors the rectangles
// (pixel x becomes ClientWidth - 1 - x) when they leave the grid and the points when they come
// in, so CellRect and MouseCoord always agree.
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/Mask.h"

namespace vel {

// Too many columns, circular links and other misuse of a grid.
VEL_DECLARE_EXCEPTION(EInvalidGridOperation, Exception)

class TCustomGrid;

enum class TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking,
    goFixedHotTrack
};
using TGridOptions = TSet<TGridOption>;

enum class TGridDrawStateFlag { gdSelected, gdFocused, gdFixed, gdRowSelected, gdHotTrack, gdPressed };
using TGridDrawState = TSet<TGridDrawStateFlag>;

enum class TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
VEL_DECLARE_ENUM_INFO(TScrollStyle)
enum class TGridScrollDirection { sdLeft, sdRight, sdUp, sdDown };
using TGridScrollDirections = TSet<TGridScrollDirection>;

struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

// One axis of the visible layout. Sizes below zero take no space and draw no line.
struct TGridAxisDrawInfo {
    int EffectiveLineWidth = 0;
    int FixedBoundary = 0;       // end of the fixed cells (after their lines)
    int GridBoundary = 0;        // end of the last cell drawn (after its line)
    int GridExtent = 0;          // client size along the axis
    int LastFullVisibleCell = 0;
    int FullVisBoundary = 0;     // end of the last fully visible cell
    int FixedCellCount = 0;
    int FirstGridCell = 0;       // LeftCol / TopRow
    int GridCellCount = 0;
    const std::vector<int>* Extents = nullptr;
    int DefaultExtent = 0;
    int GetExtent(int Index) const {
        return Extents && std::size_t(Index) < Extents->size() ? (*Extents)[std::size_t(Index)]
                                                               : DefaultExtent;
    }
    // Space one cell takes: its size and its line, nothing for a hidden one.
    int Step(int Index) const {
        const int e = GetExtent(Index);
        return e < 0 ? 0 : e + EffectiveLineWidth;
    }
};
struct TGridDrawInfo {
    TGridAxisDrawInfo Horz;
    TGridAxisDrawInfo Vert;
};

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

// The cell editor: a borderless masked edit that the grid moves over the current cell. It
// takes text, mask and limit from the grid (UpdateContents) and gives every change back
// through the grid's SetEditText. Keys that move between cells go to the grid; Escape
// restores the text the editor was shown with.
class TInplaceEdit : public TCustomMaskEdit {
    VEL_CLASS(TInplaceEdit)
public:
    explicit TInplaceEdit(TComponent* AOwner);
    TCustomGrid* GetGrid() const { return FGrid; }
    // Moves over a rectangle of the grid's client area and shows.
    void Move(const TRect& Loc);
    void UpdateLoc(const TRect& Loc);
    void Hide();
    void Invalidate() override;
    // Reloads text, mask and limit from the grid.
    virtual void UpdateContents();
    bool IsVisibleEdit() const { return GetVisible(); }
    // The caret to the end without a selection.
    void Deselect();
    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;

protected:
    friend class TCustomGrid;
    void Dispatch(TMessage& Message) override;
    void DoExit() override;
    void Change() override;
    bool EditCanModify() override;
    // Lays the text out inside the new bounds (the formatting rectangle).
    virtual void BoundsChanged();
    void SetGrid(TCustomGrid* G) { FGrid = G; }

    TCustomGrid* FGrid = nullptr;
    std::string FOriginal;  // text when shown, for Escape
    bool FUpdating = false;  // loading from the grid: no changes go back
};

class TCustomGrid : public TCustomControl {
    VEL_CLASS(TCustomGrid)
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    // Size. FixedCols / FixedRows must stay below ColCount / RowCount (EInvalidArgument).
    int GetColCount() const { return FColCount; }
    void SetColCount(int v);
    int GetRowCount() const { return FRowCount; }
    void SetRowCount(int v);
    int GetFixedCols() const { return FFixedCols; }
    void SetFixedCols(int v);
    int GetFixedRows() const { return FFixedRows; }
    void SetFixedRows(int v);
    int GetColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int GetRowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    int GetDefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int v);
    int GetDefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int v);
    int GetGridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int v);
    TGridOptions GetOptions() const { return FOptions; }
    void SetOptions(TGridOptions v);
    TScrollStyle GetScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    TColor GetFixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor v);
    bool GetDefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool v) { FDefaultDrawing = v; }

    // Current cell and selection.
    int GetCol() const { return FCurrent.X; }
    void SetCol(int v);
    int GetRow() const { return FCurrent.Y; }
    void SetRow(int v);
    TGridRect GetSelection() const;
    void SetSelection(const TGridRect& v);
    void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
    int GetLeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int v);
    int GetTopRow() const { return FTopLeft.Y; }
    void SetTopRow(int v);
    int GetVisibleColCount() const;
    int GetVisibleRowCount() const;
    TGridState GetGridState() const { return FGridState; }

    // Geometry (client coordinates; an empty rectangle for cells that cannot be seen).
    TRect CellRect(int ACol, int ARow) const;
    TRect BoxRect(int ALeft, int ATop, int ARight, int ABottom) const;
    // The cell under a client point; -1 on an axis outside the cells.
    TGridCoord MouseCoord(int X, int Y) const;
    void CalcDrawInfo(TGridDrawInfo& DrawInfo) const;
    void CalcFixedInfo(TGridDrawInfo& DrawInfo) const;
    void InvalidateCell(int ACol, int ARow);
    void InvalidateRow(int ARow);
    void InvalidateCol(int ACol);
    void InvalidateGrid() { Invalidate(); }

    // Editor.
    bool GetEditorMode() const { return FEditorMode; }
    void SetEditorMode(bool v);
    void ShowEditor();
    void HideEditor();
    void InvalidateEditor();
    TInplaceEdit* GetInplaceEditor() const { return FInplaceEdit; }

    // Moves a column (widths go with it) and calls ColumnMoved.
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);

    void SetOnSelectCell(TSelectCellEvent e) { FOnSelectCell = std::move(e); }
    void SetOnTopLeftChanged(TNotifyEvent e) { FOnTopLeftChanged = std::move(e); }
    void SetOnColumnMoved(TMovedEvent e) { FOnColumnMoved = std::move(e); }
    void SetOnRowMoved(TMovedEvent e) { FOnRowMoved = std::move(e); }

    void KeyDown(unsigned& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // Hooks the editor calls.
    virtual std::string GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const std::string& Value);
    virtual std::string GetEditMask(int ACol, int ARow);
    virtual int GetEditLimit();
    // Whether the editor may change the text (read-only cells show it without changes).
    virtual bool CanEditModify() { return true; }

protected:
    // Hooks.
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    virtual bool SelectCell(int ACol, int ARow);
    virtual bool CanEditShow();
    virtual TInplaceEdit* CreateEditor();
    virtual void TopLeftChanged();
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    virtual void RowMoved(int FromIndex, int ToIndex);
    virtual void SizeChanged(int OldColCount, int OldRowCount) {
        (void)OldColCount;
        (void)OldRowCount;
    }
    virtual bool BeginColumnDrag(int& Origin, int& Destination, TPoint MousePt);
    virtual bool CheckColumnDrag(int& Origin, int& Destination, TPoint MousePt);
    virtual bool EndColumnDrag(int& Origin, int& Destination, TPoint MousePt);
    // Which sizing or moving state a press at X, Y would start, with the index, the line
    // position and the offset of the press from it.
    virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos,
                                 int& SizingOfs, const TGridDrawInfo& FixedInfo);
    // Called while sizing as the mouse moves (the new line position).
    virtual void Sizing(int Index, int Position) {
        (void)Index;
        (void)Position;
    }
    // Scrolls one cell in each direction (dragging a selection outside the cells).
    virtual void TimedScroll(TGridScrollDirections Direction);
    virtual void ColEnter() {}
    virtual void ColExit() {}
    // Colour of the lines beside fixed cells (Fixed) or between the other cells, vertical or
    // horizontal; asked once per paint.
    virtual TColor GetLineColor(bool Fixed, bool Vertical) const {
        (void)Vertical;
        return Fixed ? clGray : clSilver;
    }
    virtual void DoExit() override;
    virtual void DoEnter() override;
    void Paint() override;
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void Resize() override;

    // Sets the bars' ranges; a bar shows only while cells lie beyond the window on its axis.
    void UpdateScrollRange();
    // The largest first scrollable column (row) that still leaves no room after the last one.
    int MaxTopLeft(bool Horizontal) const;
    void UpdateEdit();
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    int ClientExtentX() const { return GetClientWidth(); }
    // Mirror of a client x in right-to-left mode.
    int MirrorX(int X) const { return UseRightToLeftAlignment() ? GetClientWidth() - 1 - X : X; }
    TRect MirrorRect(const TRect& R) const;

    TGridState FGridState = TGridState::gsNormal;
    TGridCoord FCurrent, FAnchor, FTopLeft;
    TInplaceEdit* FInplaceEdit = nullptr;
    bool FEditorMode = false;
    bool FCanEditModify = true;
    TGridCoord FHotTrackCell{-1, -1};
    bool FHotTrackPressed = false;

private:
    void CalcAxis(TGridAxisDrawInfo& Axis, bool Horizontal) const;
    void SetTopLeft(int ALeft, int ATop);
    void ClampInView(TGridCoord Coord);
    void ChangeSize(int NewColCount, int NewRowCount);
    void ScrollBy(int OldLeft, int OldTop);
    void SelectionMoved(const TGridRect& Old);
    void MoveAndScroll(int Mouse, int CellHit, TGridDrawInfo& DrawInfo, bool Horizontal,
                       int ScrollBar, TPoint MousePt);
    void ModifyScrollBar(int Bar, unsigned ScrollCode, int Pos);
    void DrawMove();
    void StartTimer();
    void StopTimer();
    void ShowEditorChar(char32_t Ch);
    void PaintLines(TCanvas& C, const TGridDrawInfo& Info);

    int FColCount = 5, FRowCount = 5, FFixedCols = 1, FFixedRows = 1;
    int FDefaultColWidth = 64, FDefaultRowHeight = 24, FGridLineWidth = 1;
    std::vector<int> FColWidths, FRowHeights;  // empty while every size is the default
    TGridOptions FOptions{TGridOption::goFixedVertLine, TGridOption::goFixedHorzLine,
                          TGridOption::goVertLine, TGridOption::goHorzLine,
                          TGridOption::goRangeSelect};
    TScrollStyle FScrollBars = TScrollStyle::ssBoth;
    TColor FFixedColor = clBtnFace;
    bool FDefaultDrawing = true;
    // Sizing and moving.
    int FSizingIndex = 0, FSizingPos = 0, FSizingOfs = 0;
    int FMoveIndex = 0, FMovePos = 0;
    TPoint FHitTest;
    bool FMovePending = false;  // pressed on a title, waiting for the drag threshold
    bool FTimerActive = false;
    TPoint FLastMouse;
    TSelectCellEvent FOnSelectCell;
    TNotifyEvent FOnTopLeftChanged;
    TMovedEvent FOnColumnMoved, FOnRowMoved;
};

// The flat scroll bar calls: the grid's bars are the window's own, drawn by the controls core.
bool FlatSB_SetScrollInfo(TWinControl* Window, int Bar, const TScrollInfo& Info, bool Redraw);
bool FlatSB_GetScrollInfo(TWinControl* Window, int Bar, TScrollInfo& Info);
int FlatSB_SetScrollPos(TWinControl* Window, int Bar, int Pos, bool Redraw);
bool FlatSB_ShowScrollBar(TWinControl* Window, int Bar, bool Show);

}  // namespace vel
