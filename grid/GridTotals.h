#pragma once
// TVelDBGridTotals: the grid-wide settings of the total rows, with the link to the optional
// totals dataset (TVelTotalDataLink).
#include "grid/GridColumns.h"
#include "platform/db/DataSource.h"
#include "platform/graphics/Graphics.h"

namespace vel {

class TVelCustomDBGrid;
class TCustomImageList;

class TVelTotalDataLink : public TDataLink {
    VEL_CLASS(TVelTotalDataLink)
public:
    explicit TVelTotalDataLink(TVelCustomDBGrid* Grid);
    TVelCustomDBGrid* GetGrid() const { return FGrid; }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void RecordChanged(TField* Field) override;

private:
    TVelCustomDBGrid* FGrid;
};

class TVelDBGridTotals : public TPersistent {
    VEL_CLASS(TVelDBGridTotals)
public:
    explicit TVelDBGridTotals(TVelCustomDBGrid* Grid);
    ~TVelDBGridTotals() override;
    void Assign(const TPersistent* Source) override;

    TVelCustomDBGrid* GetGrid() const { return FGrid; }
    TVelTotalDataLink* GetDataLink() const { return FDataLink; }
    TDataSource* GetDataSource() const;
    // The grid's own source is refused: the totals would follow themselves.
    void SetDataSource(TDataSource* Value);
    TFont* GetFont() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    int GetLinesCount() const { return FLinesCount; }
    void SetLinesCount(int Value);
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int GetDataMaxRow() const { return FDataMaxRow; }
    void SetDataMaxRow(int Value);
    TCheckBoxStyle GetBoxStyle() const { return FBoxStyle; }
    void SetBoxStyle(TCheckBoxStyle Value);
    // The grid's FixedColor until an own colour is set.
    TColor GetColor() const;
    void SetColor(TColor Value);
    bool IsColorStored() const { return FCustomColor; }
    // Mirrors the gdoTotalSelected drawing option of the grid.
    TColor GetSelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value);
    bool GetCalcValues() const { return FCalcValues; }
    void SetCalcValues(bool Value);

    // Any total row option is on.
    bool GetVisible() const;
    // Visible, or "selected" total rows wait for a selection.
    bool GetActive() const;
    bool GetSelected() const { return FSelectedRows || FSelectedCols; }
    void SetSelection(bool Rows, bool Cols) {
        FSelectedRows = Rows;
        FSelectedCols = Cols;
    }

private:
    friend class TVelCustomDBGrid;
    void Changed();

    TVelCustomDBGrid* FGrid;
    TFont* FFont;
    int FLinesCount = 1;
    TCustomImageList* FImages = nullptr;
    TVelTotalDataLink* FDataLink = nullptr;
    int FDataMaxRow = 5;
    TCheckBoxStyle FBoxStyle = TCheckBoxStyle::cbAuto;
    TColor FColor = clBtnFace;
    TColor FSelectedColor = clDefault;
    bool FCustomColor = false;
    bool FSelectedRows = false;
    bool FSelectedCols = false;
    bool FCalcValues = true;
};

}  // namespace vel
