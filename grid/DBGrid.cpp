// TVelCustomDBGrid: construction and destruction, the factories, brackets and layout.
#include "grid/DBGrid.h"

#include <algorithm>
#include <memory>

#include "platform/controls/Application.h"
#include "platform/controls/SystemProfile.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

namespace vel {

VEL_DEFINE_CLASS(TVelCustomDBGrid, TCustomGrid)
VEL_DEFINE_CREATABLE_CLASS(TVelDBGrid, TVelCustomDBGrid)

namespace {
// One off-screen drawing bitmap serves every grid of the process.
TBitmap* DrawBitmap = nullptr;
int DrawBitmapUsers = 0;

TBitmap* LoadGlyphs(const char* Name) {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromResourceName(Name);
    return b.release();
}
}  // namespace

TVelCustomDBGrid::TVelCustomDBGrid(TComponent* AOwner) : TCustomGrid(AOwner) {
    // The flags and counters take their starting values in the member initialisers; what
    // follows runs in the order later steps rely on (sub-objects see a grid with options).
    TCustomGrid::SetDefaultDrawing(false);
    SetDoubleBuffered(true);
    FSystemStyleElements = DefaultSystemStyleElements();

    FIndicators = LoadGlyphs("VELDBINDICATORS");
    FCheckBoxes = LoadGlyphs("VELDBCHECKBOXES");
    FExpandBoxes = LoadGlyphs("VELDBEXPANDBOXES");

    FDrawingOptions = DefaultGridDrawingOptions();
    FOptions = DefaultVelDBGridOptions();
    if (SystemProfile().UILanguage == LANG_KOREAN)
        FOptions.Include(TVelDBGridOption::dgAlwaysShowEditor);
    FOptionsEx = DefaultVelDBGridOptionsEx();
    FOptionsExt = DefaultVelDBGridOptionsExt();

    if (!DrawBitmap) DrawBitmap = new TBitmap;
    ++DrawBitmapUsers;
    TCustomGrid::SetScrollBars(TScrollStyle::ssHorizontal);

    FColumns = CreateColumns();
    FFilterGrid = CreateFilter();
    FSearch = CreateSearch();
    FTreeView = CreateTreeView();
    SetRowCount(2);
    SetColCount(2);
    FDataLink = CreateDataLink();

    SetColor(clWindow);
    SetParentColor(false);
    FTitleFont = new TFont;
    FTitleFont->Assign(&Font());
    FHeaderFont = new TFont;
    FHeaderFont->Assign(&Font());
    FHintOptions = DefaultVelHintOptions();

    FGridStyle = CreateGridStyle();
    FScrollProp = CreateScrollProp();
    FResizeOptions = DefaultVelResizeOptions();

    FSettings = CreateSettings();
    FGradient = CreateGradient();
    FTotals = CreateTotals();
    FMultiSelectOptions = DefaultMultiSelectOptions();
    FToolMenuItems = DefaultToolMenuItems();
    FToolMenuSubItems = DefaultToolMenuSubItems();
    FToolMenuSubItemsEx = DefaultToolMenuSubItemsEx();

    ConnectSubObjects();
    ApplyBaseOptions();
    InternalLayout();
    SetEnabled(GetEnabled());
    HideEditor();
}

void TVelCustomDBGrid::RecreateOwnedObjects() {
    TDataSource* source = GetDataSource();
    auto replace = [](auto*& field, auto* made) {
        delete field;
        field = made;
    };
    // Totals hold a link made by CreateTotalDataLink; they go before anything they reach.
    delete FTotals;
    FTotals = nullptr;
    replace(FColumns, CreateColumns());
    replace(FDataLink, CreateDataLink());
    replace(FFilterGrid, CreateFilter());
    replace(FGradient, CreateGradient());
    replace(FGridStyle, CreateGridStyle());
    replace(FScrollProp, CreateScrollProp());
    replace(FSearch, CreateSearch());
    replace(FSettings, CreateSettings());
    FTotals = CreateTotals();
    replace(FTreeView, CreateTreeView());
    if (source) FDataLink->SetDataSource(source);
    ConnectSubObjects();
    LayoutChanged();
}

void TVelCustomDBGrid::ConnectSubObjects() {
    FTitleFont->SetOnChange([this](TObject*) { LayoutChanged(); });
    FHeaderFont->SetOnChange([this](TObject*) { LayoutChanged(); });
    FGradient->SetOnChange([this](TObject*) { GradientChanged(); });
    FGridStyle->SetOnChange([this](TObject*) { LayoutChanged(); });
    FGridStyle->SetThemedQuery([this] { return IsGridThemed(); });
    FScrollProp->SetOnChange([this](TObject*) { UpdateScrollBar(); });
    FSearch->SetOnChange([this](TVelDBGridSearch*, TSearchChange Change) {
        if (Change == TSearchChange::scLayout)
            LayoutChanged();
        else
            Invalidate();
    });
}

TVelCustomDBGrid::~TVelCustomDBGrid() {
    Destroying();
    LeaveLinkedGrids();
    delete FSelectTimer;
    FSelectTimer = nullptr;
    delete FScrollTimer;
    FScrollTimer = nullptr;
    FTitleImages = FTitleMarkers = FIndicatorImages = nullptr;
    // The links go first: a dataset's news must not reach a half-freed grid.
    delete FDataLink;
    FDataLink = nullptr;
    delete FTotals;
    FTotals = nullptr;
    delete FColumns;
    FColumns = nullptr;
    delete FGradient;
    delete FSettings;
    delete FScrollProp;
    delete FGridStyle;
    delete FTreeView;
    delete FSearch;
    delete FFilterGrid;
    delete FHeaderFont;
    delete FTitleFont;
    delete FExpandBoxes;
    delete FCheckBoxes;
    delete FIndicators;
    if (--DrawBitmapUsers == 0) {
        delete DrawBitmap;
        DrawBitmap = nullptr;
    }
}

// ---- Factories.

TVelDBGridColumns* TVelCustomDBGrid::CreateColumns() {
    return new TVelDBGridColumns(this, TVelColumn::StaticClass());
}
TVelGridDataLink* TVelCustomDBGrid::CreateDataLink() {
    return new TVelGridDataLink(this);
}
TVelDBGridFilter* TVelCustomDBGrid::CreateFilter() {
    return new TVelDBGridFilter(this);
}
TVelDBGridGradient* TVelCustomDBGrid::CreateGradient() {
    return new TVelDBGridGradient(this);
}
TVelGridStyle* TVelCustomDBGrid::CreateGridStyle() {
    return new TVelGridStyle(this);
}
TVelScrollProp* TVelCustomDBGrid::CreateScrollProp() {
    return new TVelScrollProp(this);
}
TVelDBGridSearch* TVelCustomDBGrid::CreateSearch() {
    return new TVelDBGridSearch(this);
}
TVelDBGridSettings* TVelCustomDBGrid::CreateSettings() {
    return new TVelDBGridSettings(this);
}
TVelTotalDataLink* TVelCustomDBGrid::CreateTotalDataLink() {
    return new TVelTotalDataLink(this);
}
TVelDBGridTotals* TVelCustomDBGrid::CreateTotals() {
    return new TVelDBGridTotals(this);
}
TVelDBGridTreeView* TVelCustomDBGrid::CreateTreeView() {
    return new TVelDBGridTreeView(this);
}

// ---- Simple setters with effects.

void TVelCustomDBGrid::SetColumns(TVelDBGridColumns* Value) {
    FColumns->Assign(Value);
}

bool TVelCustomDBGrid::IsColumnsStored() const {
    return FColumns->GetState() == TDBGridColumnsState::csCustomized;
}

void TVelCustomDBGrid::SetSettings(TVelDBGridSettings* Value) {
    if (!Value) return;
    FSettings->SetActive(Value->GetActive());
    FSettings->SetExeName(Value->GetExeName());
    FSettings->SetIniFile(Value->GetIniFile());
    FSettings->SetFileName(Value->GetFileName());
    FSettings->SetOptions(Value->GetOptions());
    if (Value->IsSectionStored()) FSettings->SetSection(Value->GetSection());
}

void TVelCustomDBGrid::SetTreeView(TVelDBGridTreeView* Value) {
    if (!Value) return;
    CopyPublishedProperties(Value, FTreeView);
}

void TVelCustomDBGrid::SetReadOnly(bool Value) {
    if (Value == FReadOnly) return;
    FReadOnly = Value;
    InvalidateGridEditor();
}

void TVelCustomDBGrid::SetOrderFields(const std::string& Value) {
    if (Value == FOrderFields) return;
    FOrderFields = Value;
    if (!IsLoading()) UpdateOrder();
}

void TVelCustomDBGrid::SetFilter(const std::string& Value) {
    if (Value == FFilter) return;
    FFilter = Value;
    Invalidate();
}

void TVelCustomDBGrid::SetFiltered(bool Value) {
    if (Value == FFiltered) return;
    FFiltered = Value;
    Invalidate();
}

namespace {
int CheckCount(int Value, int Min, const char* Name) {
    if (Value < Min)
        throw EInvalidArgument(std::string(Name) + " " + std::to_string(Value) + " is below " +
                               std::to_string(Min) + ".");
    return Value;
}
}  // namespace

// The sizing setters with their bounds are in GridGeometry.cpp.

void TVelCustomDBGrid::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBarsOwn) return;
    FScrollBarsOwn = Value;
    // The base grid keeps only the horizontal bar; the vertical one is the grid's own.
    const bool horz = Value == TScrollStyle::ssHorizontal || Value == TScrollStyle::ssBoth;
    TCustomGrid::SetScrollBars(horz ? TScrollStyle::ssHorizontal : TScrollStyle::ssNone);
    UpdateScrollBar();
}

void TVelCustomDBGrid::SetWheelScrollRows(int Value) {
    // -1: a page per notch.
    FWheelScrollRows = CheckCount(Value, -1, "WheelScrollRows");
}

void TVelCustomDBGrid::SetGridLineWidth(int Value) {
    CheckCount(Value, 0, "GridLineWidth");
    if (Value == GetGridLineWidth()) return;
    TCustomGrid::SetGridLineWidth(Value);
    // The fixed lines depend on the width (see ApplyBaseOptions).
    ApplyBaseOptions();
}

void TVelCustomDBGrid::SetHeaderColor(TColor Value) {
    if (Value == FHeaderColor) return;
    FHeaderColor = Value;
    Invalidate();
}

void TVelCustomDBGrid::SetFixedStyle(TFixedStyle Value) {
    if (Value == FFixedStyle) return;
    FFixedStyle = Value;
    InvalidateBorder();
    LayoutChanged();
}

void TVelCustomDBGrid::SetFixedTheme(TFixedTheme Value) {
    if (Value == FFixedTheme) return;
    FFixedTheme = Value;
    // The built-in markers are drawn for the marker look in effect.
    if (!IsLoading()) RecreateMarkers();
    Invalidate();
}

void TVelCustomDBGrid::SetFocusRect(TFocusRect Value) {
    if (Value == FFocusRect) return;
    FFocusRect = Value;
    Invalidate();
}

void TVelCustomDBGrid::SetHotButtons(THotButtons Value) {
    if (Value == FHotButtons) return;
    FHotButtons = Value;
    Invalidate();
}

void TVelCustomDBGrid::SetMarkerStyle(TMarkerStyle Value) {
    if (Value == FMarkerStyle) return;
    FMarkerStyle = Value;
    // The built-in markers are drawn for the marker look in effect.
    if (!IsLoading()) RecreateMarkers();
    Invalidate();
}

void TVelCustomDBGrid::SetMarkerTransparent(TMarkerTransparent Value) {
    if (Value == FMarkerTransparent) return;
    FMarkerTransparent = Value;
    // The built-in markers are drawn for the marker look in effect.
    if (!IsLoading()) RecreateMarkers();
    Invalidate();
}

void TVelCustomDBGrid::SetDrawingStyle(TGridDrawingStyle Value) {
    if (Value == FDrawingStyle) return;
    FDrawingStyle = Value;
    Invalidate();
}

void TVelCustomDBGrid::SetCtl3D(bool Value) {
    FCtl3DAuto = false;
    TControl::SetCtl3D(Value);
}

void TVelCustomDBGrid::SetCtl3DAuto(bool Value) {
    if (Value == FCtl3DAuto) return;
    FCtl3DAuto = Value;
    InvalidateBorder();
}

void TVelCustomDBGrid::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    InvalidateBorder();
}

void TVelCustomDBGrid::SetFillerButton(bool Value) {
    if (Value == FFillerButton) return;
    FFillerButton = Value;
    Invalidate();
}

void TVelCustomDBGrid::SetFillerColor(TColor Value) {
    if (Value == FFillerColor) return;
    FFillerColor = Value;
    Invalidate();
}

void TVelCustomDBGrid::SetFillerIndex(int Value) {
    if (Value == FFillerIndex) return;
    FFillerIndex = Value;
    Invalidate();
}

void TVelCustomDBGrid::SetEnabled(bool Value) {
    TCustomGrid::SetEnabled(Value);
    Invalidate();
}

void TVelCustomDBGrid::GradientChanged() {
    Invalidate();
}

void TVelCustomDBGrid::InvalidateGridEditor() {
    ++FWork.EditorInvalidations;
    InvalidateEditor();
}

void TVelCustomDBGrid::TotalsChanged(TTotalResult Result, TField* Field) {
    (void)Result;
    (void)Field;
    if (FTotals && FTotals->GetActive() && !IsLoading() && !IsDestroying()) UpdateCalcValues();
}

// ---- Column text and editing.

void TVelCustomDBGrid::ColGetText(TVelColumn* Column, std::string& Text, TTextKind Kind) {
    if (FOnColGetText) FOnColGetText(Column, Text, Kind);
}

void TVelCustomDBGrid::ColSetText(TVelColumn* Column, std::string& Text) {
    if (FOnColSetText) FOnColSetText(Column, Text);
}

void TVelCustomDBGrid::ColTextChanged(TVelColumn* Column) {
    (void)Column;
    if (FOnColTextChanged) FOnColTextChanged(this);
}

void TVelCustomDBGrid::CellExpand(TVelColumn* Column) {
    if (FOnCellExpand) FOnCellExpand(Column);
}

void TVelCustomDBGrid::ColExpand(TVelColumn* Column) {
    if (FOnColExpand) FOnColExpand(Column);
}

bool TVelCustomDBGrid::CanColumnModify(TVelColumn* Column) const {
    TField* f = Column ? Column->GetField() : nullptr;
    return f && FDataLink->GetActive() && !FReadOnly && !Column->GetReadOnly() &&
           f->GetCanModify();
}

bool TVelCustomDBGrid::IsReadingColumns() const {
    return IsLoading() || FColumnsStream == TColumnsStream::Reading;
}

bool TVelCustomDBGrid::IsWritingColumns() const {
    if (FColumnsStream == TColumnsStream::Writing) return true;
    for (const TComponent* c = this; c; c = c->GetOwner())
        if (c->GetComponentState().Contains(TComponentStateFlag::csWriting)) return true;
    return false;
}


}  // namespace vel
