// TVelCustomDBGrid: the data source, linked grids, references to other components and their
// removal, loading, focus.
#include <set>

#include "grid/DBGrid.h"
#include "platform/controls/Grids.h"
#include "platform/controls/Hints.h"
#include "platform/controls/Menus.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

namespace vel {

TDataSource* TVelCustomDBGrid::GetDataSource() const {
    return FDataLink ? FDataLink->GetDataSource() : nullptr;
}

TDataSet* TVelCustomDBGrid::GetDataSet() const {
    return FDataLink ? FDataLink->GetDataSet() : nullptr;
}

void TVelCustomDBGrid::SetDataSource(TDataSource* Value) {
    if (Value == GetDataSource()) return;
    if (Value && Value == FTotals->GetDataSource()) {
        if (IsLoading()) return;
        throw EInvalidGridOperation("Circular data link: data source " + Value->GetName() +
                                    " already feeds the grid's totals.");
    }
    if (Value && Value->GetDataSet()) Value->GetDataSet()->CheckBiDirectional();
    ClearSelection();
    FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
    LayoutChanged();
}

// ---- Field lists.

std::string TVelCustomDBGrid::NormalizeFields(const std::string& Value) const {
    // Commas separate as well as semicolons; only fields the dataset has are kept. Without
    // fields to check against (no dataset yet, or loading) the names stay as given.
    std::string text = Value;
    for (char& ch : text)
        if (ch == ',') ch = ';';
    TDataSet* ds = GetDataSet();
    const bool check = ds && ds->GetFieldCount() > 0 && !IsLoading();
    std::string result;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        std::string name = Trim(text.substr(start, end - start));
        if (!name.empty() && (!check || ds->FindField(name))) {
            if (!result.empty()) result += ';';
            result += name;
        }
        start = end + 1;
    }
    return result;
}

void TVelCustomDBGrid::SetDetailFields(const std::string& Value) {
    const std::string v = NormalizeFields(Value);
    if (v == FDetailFields) return;
    FDetailFields = v;
    if (!IsLoading()) UpdateOrder();
}

void TVelCustomDBGrid::SetKeyFields(const std::string& Value) {
    const std::string v = NormalizeFields(Value);
    if (v == FKeyFields) return;
    FKeyFields = v;
    if (!IsLoading()) ++FWork.TreeViewRefreshes;
}

// ---- Linked grids: a ring through FManageGrid; a follower has FMasterGrid set.

TVelCustomDBGrid* TVelCustomDBGrid::ChainEnd() {
    TVelCustomDBGrid* e = this;
    std::set<TVelCustomDBGrid*> seen{e};
    while (e->FManageGrid && e->FManageGrid->FMasterGrid && seen.insert(e->FManageGrid).second)
        e = e->FManageGrid;
    return e;
}

void TVelCustomDBGrid::SetManageGrid(TVelCustomDBGrid* Value) {
    if (Value == this) Value = nullptr;
    FManageGrid = Value;
    // A grid that drives another keeps its columns whatever the dataset does.
    if (Value) FColumns->SetState(TDBGridColumnsState::csCustomized);
}

void TVelCustomDBGrid::SetMasterGrid(TVelCustomDBGrid* Value) {
    if (Value == FMasterGrid) return;
    if (Value) {
        std::set<TVelCustomDBGrid*> seen;
        for (TVelCustomDBGrid* m = Value; m && seen.insert(m).second; m = m->FMasterGrid)
            if (m == this) {
                if (IsLoading()) return;
                throw EInvalidGridOperation("Circular data link: grid " + Value->GetName() +
                                            " follows grid " + GetName() + ".");
            }
        FStretchMode = false;
    }
    if (TVelCustomDBGrid* old = FMasterGrid) {
        TVelCustomDBGrid* e = ChainEnd();
        old->SetManageGrid(e->FManageGrid);
        e->SetManageGrid(this);
        FMasterGrid = nullptr;
        old->RemoveFreeNotification(this);
    }
    if (Value) {
        TVelCustomDBGrid* e = ChainEnd();
        if (TVelCustomDBGrid* g = Value->FManageGrid) {
            e->SetManageGrid(g);
            if (g->FMasterGrid) {
                g->FMasterGrid = e;
                e->FreeNotification(g);
            }
        } else {
            e->SetManageGrid(Value);
        }
        Value->SetManageGrid(this);
        FMasterGrid = Value;
        Value->FreeNotification(this);
        Value->Synchronize();
    }
}

void TVelCustomDBGrid::LeaveLinkedGrids() {
    if (FMasterGrid) SetMasterGrid(nullptr);
    // What is left is this grid's own ring: close it without this grid.
    std::set<TVelCustomDBGrid*> seen{this};
    for (TVelCustomDBGrid* g = FManageGrid; g && seen.insert(g).second;) {
        TVelCustomDBGrid* next = g->FManageGrid;
        if (g->FMasterGrid == this) g->FMasterGrid = nullptr;
        if (next == this) g->FManageGrid = FManageGrid == g ? nullptr : FManageGrid;
        g = next;
    }
    FManageGrid = nullptr;
}

void TVelCustomDBGrid::Synchronize() {
    // A grid already in a pass (driving or taking values) pushes nothing: a setter run while
    // it takes the driver's values would otherwise send its old ones back round the ring.
    if (FManagement) return;
    TVelCustomDBGrid* g = FManageGrid;
    if (!g || g->FManagement || g->IsDestroying()) return;
    bool& self = FManagement;
    self = true;
    TScopeExit endPass([&self] { self = false; });
    {
        g->FManagement = true;
        TScopeExit cleanup([g] { g->FManagement = false; });
        g->FColumns->BeginUpdate();
        const int n = std::min(FColumns->Count(), g->FColumns->Count());
        for (int i = 0; i < n; ++i) {
            TVelColumn* src = FColumns->GetColumn(i);
            TVelColumn* dst = g->FColumns->GetColumn(i);
            if (src->GetExpandCols() > 0 && dst->GetExpandCols() > 0)
                dst->SetExpanded(src->GetExpanded());
            dst->SetVisible(src->GetVisible());
            dst->SetWidth(src->GetWidth());
        }
        g->FColumns->EndUpdate();
        g->SetIndicatorWidth(FIndicatorWidth);
        g->SetFixedCols(FFixedCols);
        if (g->GetBiDiMode() != GetBiDiMode()) g->SetBiDiMode(GetBiDiMode());
        const int left = GetLeftCol();
        if (left >= g->TCustomGrid::GetFixedCols() && left < g->GetColCount()) g->SetLeftCol(left);
    }
    // The pass goes on round the ring and stops at this grid, which is still marked.
    g->Synchronize();
}

// ---- References that are not owned.

namespace {
template <class T>
void SetReference(TVelCustomDBGrid* Grid, T*& Field, T* Value) {
    if (Value == Field) return;
    Field = Value;
    if (Value) Value->FreeNotification(Grid);
}
}  // namespace

void TVelCustomDBGrid::SetTitleImages(TCustomImageList* Value) {
    if (Value == FTitleImages) return;
    SetReference(this, FTitleImages, Value);
    LayoutChanged();
}

void TVelCustomDBGrid::SetTitleMarkers(TCustomImageList* Value) {
    if (Value == FTitleMarkers) return;
    SetReference(this, FTitleMarkers, Value);
    LayoutChanged();
}

void TVelCustomDBGrid::SetIndicatorImages(TCustomImageList* Value) {
    if (Value == FIndicatorImages) return;
    SetReference(this, FIndicatorImages, Value);
    Invalidate();
}

void TVelCustomDBGrid::SetFillerPopupMenu(TPopupMenu* Value) {
    SetReference(this, FFillerPopupMenu, Value);
}

void TVelCustomDBGrid::SetIndicatorPopupMenu(TPopupMenu* Value) {
    SetReference(this, FIndicatorPopupMenu, Value);
}

void TVelCustomDBGrid::SetCustomHint(TCustomHint* Value) {
    SetReference(this, FCustomHint, Value);
    if (Value) FParentCustomHint = false;
}

void TVelCustomDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomGrid::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove || !AComponent) return;
    if (AComponent == FMasterGrid) FMasterGrid = nullptr;
    if (AComponent == FManageGrid) FManageGrid = nullptr;
    if (AComponent == FCustomHint) FCustomHint = nullptr;
    if (AComponent == FIndicatorImages) FIndicatorImages = nullptr;
    if (AComponent == FTitleMarkers) FTitleMarkers = nullptr;
    if (AComponent == FTitleImages) FTitleImages = nullptr;
    if (AComponent == FFillerPopupMenu) FFillerPopupMenu = nullptr;
    if (AComponent == FIndicatorPopupMenu) FIndicatorPopupMenu = nullptr;
    if (AComponent == GetPopupMenu()) SetPopupMenu(nullptr);
    if (FTotals) {
        if (AComponent == FTotals->FImages) FTotals->FImages = nullptr;
        if (AComponent == FTotals->GetDataSource()) FTotals->FDataLink->SetDataSource(nullptr);
    }
    if (FDataLink && AComponent == GetDataSource()) FDataLink->SetDataSource(nullptr);
    if (!FColumns) return;

    // A removed component is only a TComponent by now, so a field is recognised by the
    // columns that were bound to it (always fields of the grid's dataset).
    BeginLayout();
    bool fieldGone = false;
    for (int i = 0; i < FColumns->Count(); ++i) {
        TVelColumn* c = FColumns->GetColumn(i);
        fieldGone = c->FField == AComponent || fieldGone;
        c->RemoveReference(AComponent);
    }
    if (!fieldGone) {
        CancelLayout();
        return;
    }
    // Relayout now only when the dataset can take it; otherwise a little later.
    TDataSet* ds = GetDataSet();
    if (ds && !ds->IsDestroying() && !ds->ControlsDisabled() && !IsDestroying()) {
        EndLayout();
    } else {
        CancelLayout();
        if (!IsDestroying()) DeferLayout();
    }
}

void TVelCustomDBGrid::Loaded() {
    TCustomGrid::Loaded();
    if (FColumns->Count() > 0)
        SetColCount(FIndicatorOffset + FColumns->Count() > 1 ? FIndicatorOffset + FColumns->Count()
                                                             : 2);
    LayoutChanged();
}

bool TVelCustomDBGrid::AcquireFocus() {
    if (!FAcquireFocus || !CanFocus() || IsDesigning()) return true;
    SetFocus();
    TInplaceEdit* editor = GetInplaceEditor();
    return Focused() || (editor && editor->Focused());
}

}  // namespace vel
