#include "grid/GridScrollBar.h"

#include <algorithm>

namespace vel {

TVertScrollState TVelVertScrollBar::Calc(TVertScrollInput& In) {
    const int vr = std::max(1, In.VisibleRows);
    const bool prop = In.Proportional;
    TVertScrollState s;
    switch (In.Mode) {
        case TVertScrollMode::vsmForcedPage:
        case TVertScrollMode::vsmForcedGrid:
        case TVertScrollMode::vsmForcedRow: {
            const int n = In.Count;
            if (In.Bof) In.Number = std::min(n, 1);
            if (In.Eof) In.Number = n;
            const int p = In.Number, a = In.ActiveRecord;
            s.Min = 1;
            s.Page = prop ? vr : 0;
            if (In.Mode == TVertScrollMode::vsmForcedPage) {
                s.Max = (n + vr - 1) / vr + (prop ? vr - 1 : 0);
                s.Pos = (p - a + vr + vr - 2) / vr;
            } else if (In.Mode == TVertScrollMode::vsmForcedGrid) {
                s.Max = prop ? n : n - vr + 1;
                s.Pos = p - a;
            } else {
                s.Max = prop ? n + vr - 1 : n;
                s.Pos = p;
            }
            break;
        }
        case TVertScrollMode::vsmSequenced:
            s.Min = 1;
            s.Page = prop ? vr : 0;
            s.Max = prop ? In.Count + vr - 1 : In.Count;
            s.Pos = In.Number;
            break;
        case TVertScrollMode::vsmUnsequenced:
            s.Min = 0;
            s.Page = prop ? 2 : 0;
            s.Max = prop ? 5 : 4;
            s.Pos = In.Bof ? 0 : In.Eof ? s.Max : 2;
            break;
    }
    return s;
}

bool TVelVertScrollBar::Apply(const TVertScrollState& State) {
    if (FValid && State == FState) return false;
    FState = State;
    FValid = true;
    return true;
}

}  // namespace vel
