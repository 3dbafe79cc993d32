#pragma once
// TVelVertScrollBar: what the grid's vertical scroll bar shows. The grid scrolls records, not
// rows, so the bar maps the dataset (its record count and the current record, counted by the
// grid itself under forced numbering) onto range, page and position.

namespace vel {

// How the bar maps the dataset.
enum class TVertScrollMode {
    vsmForcedPage,  // forced numbering, scrolling by pages of the window
    vsmForcedGrid,  // forced numbering, the window scrolls like grid rows
    vsmForcedRow,   // forced numbering, the cursor moves record by record
    vsmSequenced,   // the dataset numbers its records
    vsmUnsequenced  // nothing is known: first, before the middle, middle, after it, last
};

struct TVertScrollInput {
    TVertScrollMode Mode = TVertScrollMode::vsmUnsequenced;
    int VisibleRows = 1;    // data rows on screen (at least 1)
    int Count = 0;          // forced: the counted records; sequenced: RecordCount
    int Number = 0;         // forced: the current record's number; sequenced: RecNo
    int ActiveRecord = 0;   // the current record's row in the window
    bool Proportional = true;
    bool Bof = false, Eof = false;
};

struct TVertScrollState {
    int Min = 0, Page = 0, Max = 0, Pos = 0;
    bool operator==(const TVertScrollState&) const = default;
};

class TVelVertScrollBar {
public:
    // Range, page and position for the input. Under forced numbering the number is first
    // put at the first or last record when the dataset says it is at an edge (Number
    // returns the corrected value).
    static TVertScrollState Calc(TVertScrollInput& Input);
    // Whether an auto-hiding bar has nothing to scroll.
    static bool AllFit(const TVertScrollInput& Input) { return Input.Count <= Input.VisibleRows; }

    // Applies State unless it equals the last one applied; true when it changed.
    bool Apply(const TVertScrollState& State);
    const TVertScrollState& GetState() const { return FState; }
    bool GetHidden() const { return FHidden; }
    void SetHidden(bool Value) { FHidden = Value; }
    // Forget the last state (the window was created again).
    void Reset() {
        FState = {};
        FValid = false;
    }

private:
    TVertScrollState FState;
    bool FValid = false;
    bool FHidden = false;
};

}  // namespace vel
