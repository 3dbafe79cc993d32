#pragma once
// TVelStretchLayout: shares a width among columns in proportion to their base widths, within
// each column's bounds and the grid's stretch bounds. Kept apart from the grid so the sharing
// rule can be checked on its own.
#include <vector>

namespace vel {

// Why a column's stretched width is held (the column's lock state).
enum class TStretchLock {
    slFree,          // shares the width
    slWidthMin,      // held at the column's WidthMin
    slWidthMax,      // held at the column's WidthMax
    slStretchMin,    // held at the grid's StretchWidthMin
    slStretchMax     // held at the grid's StretchWidthMax
};

struct TStretchItem {
    int BaseWidth = 0;
    int WidthMin = -1;  // -1: no bound
    int WidthMax = -1;
    // Results.
    TStretchLock Lock = TStretchLock::slFree;
    int Width = 0;
};

class TVelStretchLayout {
public:
    // The grid-wide bounds for columns without their own (-1: none).
    TVelStretchLayout(int StretchWidthMin, int StretchWidthMax)
        : FStretchMin(StretchWidthMin), FStretchMax(StretchWidthMax) {}

    // Shares Space (the client width less the indicator and every column's line) among
    // Items and fills in each item's Lock and Width. Free columns take base × W div B in
    // order, so the rounding remainder goes to the later ones and the free widths add up to
    // the space left after the locked ones.
    void Stretch(std::vector<TStretchItem>& Items, int Space);

    // Width still to share and base width still unshared when the sharing settled.
    int GetGridWidth() const { return FGridWidth; }
    int GetColsWidth() const { return FColsWidth; }

private:
    // The lock a share calls for, with the width it holds.
    TStretchLock LockFor(const TStretchItem& Item, long long Share, int& Held) const;
    int Clamp(const TStretchItem& Item, int Width) const;

    int FStretchMin, FStretchMax;
    int FGridWidth = 0, FColsWidth = 0;
};

}  // namespace vel
