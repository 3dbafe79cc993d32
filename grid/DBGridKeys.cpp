// Keyboard and wheel: keys move the record and the column, start and end edits, insert and
// delete records; the wheel scrolls the record window.
#include <algorithm>

#include "grid/DBGrid.h"
#include "grid/GridColumns.h"
#include "grid/GridConsts.h"
#include "grid/GridDataLink.h"
#include "grid/GridSearch.h"
#include "grid/ResStrings.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/SystemProfile.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

using O = TVelDBGridOption;
using OEx = TVelDBGridOptionEx;

VEL_RESOURCESTRING(SDeleteRecordQuestion, "Delete record?")
VEL_RESOURCESTRING(SDeleteMultipleRecordsQuestion, "Delete all selected records?")

namespace {

bool Has(TShiftState s, TShiftStateFlag f) { return s.Contains(f); }

// A record the user appended or inserted but has not typed into yet.
bool UntouchedInsert(TDataSet* ds, const TVelGridDataLink* link) {
    return ds->GetState() == TDataSetState::dsInsert && !ds->GetModified() && !link->GetModified();
}

}  // namespace

// The grid's in-place editor: Escape belongs to the grid, which takes back the typed text
// first and cancels the record's edit the second time.
class TVelInplaceEdit : public TInplaceEdit {
public:
    using TInplaceEdit::TInplaceEdit;

protected:
    void KeyDown(unsigned& Key, TShiftState Shift) override {
        auto* grid = dynamic_cast<TVelCustomDBGrid*>(GetGrid());
        if (Key != VK_ESCAPE || !grid) {
            TInplaceEdit::KeyDown(Key, Shift);
            return;
        }
        grid->KeyDown(Key, Shift);
        Key = 0;
    }
};

TInplaceEdit* TVelCustomDBGrid::CreateEditor() { return new TVelInplaceEdit(this); }

void TVelCustomDBGrid::KeyUp(unsigned& Key, TShiftState Shift) {
    FLastShiftState = Shift;
    TCustomGrid::KeyUp(Key, Shift);
}

void TVelCustomDBGrid::KeyDown(unsigned& Key, TShiftState Shift) {
    FLastShiftState = Shift;
    // The application's handler first; the base grid's own navigation is replaced below.
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0 || !FDataLink->GetActive()) return;
    TDataSet* ds = GetDataSet();
    const bool ctrl = Has(Shift, TShiftStateFlag::ssCtrl);
    const bool shift = Has(Shift, TShiftStateFlag::ssShift);
    const bool rowSelect = FOptions.Contains(O::dgRowSelect);
    const bool rowScroll = rowSelect && FOptions.Contains(O::dgRowScroll);
    const bool multi = FOptions.Contains(O::dgMultiSelect);
    const bool extended = multi && FOptions.Contains(O::dgExtendedSelect);
    unsigned key = Key;
    if (UseRightToLeftAlignment()) {
        if (key == VK_LEFT)
            key = VK_RIGHT;
        else if (key == VK_RIGHT)
            key = VK_LEFT;
    }
    const int firstCol = FIndicatorOffset;
    const int lastCol = GetColCount() - 1;
    const int visibleRows = std::max(1, GetDataRowCount());
    auto clearSelection = [&] {
        if (!multi) return;
        if (!FOptions.Contains(O::dgAutoUnselectOff)) ClearSelection();
        SetSelectionAnchor({});
    };
    auto toColumn = [&](int raw) {
        raw = std::clamp(raw, firstCol, std::max(firstCol, lastCol));
        if (raw != GetCol()) MoveColRow(raw, GetRow(), true, true);
    };
    auto canAppend = [&] {
        return !FOptions.Contains(O::dgAllowInsertOff) && !FReadOnly && FOptions.Contains(O::dgEditing) &&
               ds->GetCanModify();
    };
    // Down, Tab past the last column: the next record, or a new one after the last.
    auto nextRecord = [&] {
        if (UntouchedInsert(ds, FDataLink)) {
            if (!ds->GetEOF()) FDataLink->Cancel();
            return;
        }
        MoveBy(1);
        if (ds->GetEOF() && canAppend()) {
            PerformDelayed();
            ds->Append();
        }
    };
    auto priorRecord = [&] {
        if (UntouchedInsert(ds, FDataLink) && ds->GetEOF())
            FDataLink->Cancel();
        else
            MoveBy(-1);
    };
    auto firstRecord = [&] {
        ds->CheckBrowseMode();
        HideEditor();
        ds->First();
        AlwaysShowEditor();
    };
    auto lastRecord = [&] {
        ds->CheckBrowseMode();
        HideEditor();
        ds->Last();
        AlwaysShowEditor();
    };

    if (extended && shift && ExtendSelectionByKey(key, Shift)) {
        Key = 0;
        return;
    }
    bool handled = true;
    switch (key) {
        case 'F':
            if (!ctrl) return;
            SearchKey(Key, Shift);
            break;
        case VK_F3:
            SearchKey(Key, Shift);
            break;
        case 'C':
        case VK_INSERT:
            if (ctrl) {
                if (extended) CopyToClipboard(shift);
                break;
            }
            if (key == 'C') return;
            // Insert: a new record before the current one.
            if (FOptions.Contains(O::dgAllowInsertOff) || FReadOnly || !ds->GetCanModify() ||
                !FOptions.Contains(O::dgEditing))
                break;
            clearSelection();
            PerformDelayed();
            ds->Insert();
            break;
        case 'A':
            if (!ctrl) return;
            if (extended) SelectAll();
            break;
        case 'Z':
            if (!ctrl) return;
            if (extended) ClearSelection();
            break;
        case VK_DELETE: {
            if (!ctrl) return;
            if (FOptions.Contains(O::dgAllowDeleteOff) || GetColsSelected() || FReadOnly || ds->IsEmpty() ||
                !ds->GetCanModify())
                break;
            if (FOptions.Contains(O::dgConfirmDelete)) {
                const std::string& text =
                    FBookmarks->Count() < 2 ? SDeleteRecordQuestion.Get() : SDeleteMultipleRecordsQuestion.Get();
                if (MessageDlg(text, TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel}, 0) !=
                    mrOk)
                    break;
            }
            if (FBookmarks->Count() > 0)
                DeleteSelectedRows();
            else
                ds->Delete();
            break;
        }
        case VK_HOME:
            if (ctrl || lastCol == firstCol || rowSelect) {
                if (ctrl && InGridScrollMode()) {
                    MoveBy(-FRecCount);
                    break;
                }
                firstRecord();
            } else {
                toColumn(firstCol);
            }
            break;
        case VK_END:
            if (ctrl || lastCol == firstCol || rowSelect) {
                if (ctrl && InGridScrollMode()) {
                    MoveBy(FRecCount);
                    break;
                }
                lastRecord();
            } else {
                toColumn(lastCol);
            }
            break;
        case VK_PRIOR:
            if (ctrl) {
                FDataLink->MoveBy(-FDataLink->GetActiveRecord());
                break;
            }
            if (GetRowsSelected()) clearSelection();
            MoveBy(-visibleRows);
            break;
        case VK_NEXT:
            if (ctrl) {
                FDataLink->MoveBy(FDataLink->GetBufferCount() - FDataLink->GetActiveRecord() - 1);
                break;
            }
            if (GetRowsSelected()) clearSelection();
            MoveBy(visibleRows);
            break;
        case VK_UP:
            clearSelection();
            priorRecord();
            break;
        case VK_DOWN:
            clearSelection();
            nextRecord();
            break;
        case VK_LEFT:
            if (ctrl) {
                if (rowScroll)
                    SetLeftCol(std::max(GetFixedCols(), GetLeftCol() - 1));
                else
                    toColumn(firstCol);
            } else if (rowScroll) {
                SetLeftCol(std::max(GetFixedCols(), GetLeftCol() - 1));
            } else if (rowSelect) {
                clearSelection();
                priorRecord();
            } else {
                toColumn(GetCol() - 1);
            }
            break;
        case VK_RIGHT:
            if (ctrl) {
                if (rowScroll)
                    SetLeftCol(std::min(lastCol, GetLeftCol() + 1));
                else
                    toColumn(lastCol);
            } else if (rowScroll) {
                SetLeftCol(std::min(lastCol, GetLeftCol() + 1));
            } else if (rowSelect) {
                clearSelection();
                nextRecord();
            } else {
                toColumn(GetCol() + 1);
            }
            break;
        case VK_TAB: {
            if (!FOptions.Contains(O::dgTabs) || Has(Shift, TShiftStateFlag::ssAlt)) return;
            if (GetColsSelected()) ClearSelection();
            BeginUpdate();
            TScopeExit end([&] { EndUpdate(); });
            // Every showing column is a tab stop.
            const int firstScroll = std::max(firstCol, GetFixedCols());
            int col = GetCol() + (shift ? -1 : 1);
            if (shift && col < firstScroll) {
                if (ds->GetBOF()) break;
                priorRecord();
                col = lastCol;
            } else if (!shift && col > lastCol) {
                nextRecord();
                col = firstScroll;
            }
            toColumn(col);
            break;
        }
        case VK_F2:
            if (FOptions.Contains(O::dgEditing) && CanEditShow()) {
                SetEditorMode(true);
                if (TInplaceEdit* e = GetInplaceEditor()) e->Deselect();
            }
            break;
        case VK_F4:
            DropDownFilter(shift);
            break;
        case VK_ESCAPE: {
            if (FSearch->GetPanelVisible() && !ds->GetModified() && !FDataLink->GetModified() && !HasSelection())
                SearchKey(Key, Shift);
            if (SystemProfile().UILanguage == LANG_KOREAN) FIsESCKey = true;
            FDataLink->Reset();
            clearSelection();
            if (!FOptions.Contains(O::dgAlwaysShowEditor)) HideEditor();
            break;
        }
        default: handled = false;
    }
    if (handled) Key = 0;
}

void TVelCustomDBGrid::KeyPress(char32_t& Key) {
    FIsESCKey = false;
    TVelColumn* column = GetSelectedColumn();
    const bool enterOrSpace = Key == U'\r' || Key == U' ';
    if (column && enterOrSpace && !GetEditorMode()) {
        if (column->GetCheckBox() && column->GetCheckBoxToggle() != TCheckBoxToggle::ctCustomToggle) {
            // The toggle itself checks that the column may change.
            if (!column->GetField() || FOptions.Contains(O::dgEditing)) column->ToggleCheckBoxValue();
            Key = 0;
            return;
        }
        if (column->GetExpandBox() && column->GetExpandBoxToggle() != TExpandBoxToggle::etCustomToggle) {
            column->ToggleExpandBox();
            Key = 0;
            return;
        }
    }
    if (Key == U'\r' && !FOptions.Contains(O::dgAlwaysShowEditor)) FDataLink->UpdateRecord();
    // Typing with soFilterRows belongs to the search feature.
    TCustomGrid::KeyPress(Key);
}

bool TVelCustomDBGrid::CanEditShow() {
    if (FLayoutLock > 0 || !TCustomGrid::CanEditShow()) return false;
    TVelColumn* c = GetSelectedColumn();
    return c && static_cast<const TVelCustomDBGrid*>(this)->CanColumnModify(c) && !c->GetCheckBox();
}

void TVelCustomDBGrid::ColEnter() {
    if (FOptions.Contains(O::dgAlwaysShowEditor)) {
        HideEditor();
        if (CanEditShow()) ShowEditor();
    }
    if (FOnColEnter) FOnColEnter(this);
}

void TVelCustomDBGrid::ColExit() {
    if (FOnColExit) FOnColExit(this);
}

// ---- The wheel.

int TVelCustomDBGrid::MouseWheelScrollRows(TShiftState Shift) const {
    if (Has(Shift, TShiftStateFlag::ssCtrl)) return 1;
    if (Has(Shift, TShiftStateFlag::ssShift)) return std::max(1, GetDataRowCount());
    if (FWheelScrollRows >= 1) return FWheelScrollRows;
    if (FWheelScrollRows == 0) return std::max(1, GetWheelScrollLines());
    return FDataLink->GetActive() ? std::max(1, FDataLink->GetBufferCount()) : 1;
}

bool TVelCustomDBGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (TControl::DoMouseWheelDown(Shift, MousePos)) return true;
    if (!FDataLink->GetActive()) return true;
    TDataSet* ds = GetDataSet();
    if (UntouchedInsert(ds, FDataLink)) {
        if (!ds->GetEOF()) FDataLink->Cancel();
        return true;
    }
    MoveBy(MouseWheelScrollRows(Shift), FMultiSelect == TMultiSelection::msRows);
    return true;
}

bool TVelCustomDBGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (TControl::DoMouseWheelUp(Shift, MousePos)) return true;
    if (!FDataLink->GetActive()) return true;
    TDataSet* ds = GetDataSet();
    if (UntouchedInsert(ds, FDataLink)) {
        if (ds->GetEOF()) FDataLink->Cancel();
        return true;
    }
    MoveBy(-MouseWheelScrollRows(Shift), FMultiSelect == TMultiSelection::msRows);
    return true;
}

}  // namespace vel
