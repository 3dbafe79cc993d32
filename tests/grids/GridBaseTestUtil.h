#pragma once
// A grid of text cells that records what the base grid asks of it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Application.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Grids.h"
#include "platform/controls/Input.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"

namespace veltest {

struct TDrawCall {
    int Col, Row;
    vel::TRect Rect;
    vel::TGridDrawState State;
};

class TTextGrid : public vel::TCustomGrid {
public:
    explicit TTextGrid(vel::TComponent* owner) : vel::TCustomGrid(owner) {}
    std::string& Cell(int c, int r) {
        const std::size_t i = std::size_t(r) * 1000 + std::size_t(c);
        if (FCells.size() <= i) FCells.resize(i + 1);
        return FCells[i];
    }
    std::string GetEditText(int c, int r) override { return Cell(c, r); }
    void SetEditText(int c, int r, const std::string& v) override {
        Cell(c, r) = v;
        Log.push_back("set " + v);
    }
    std::vector<TDrawCall> Draws;
    std::vector<std::string> Log;
    int ColWidthsChanges = 0;
    bool DrawText = false;

    using vel::TCustomGrid::CalcSizingState;
    using vel::TCustomGrid::TimedScroll;

protected:
    void DrawCell(int c, int r, const vel::TRect& rect, vel::TGridDrawState st) override {
        Draws.push_back({c, r, rect, st});
        if (DrawText) {
            vel::TRect t = rect;
            t.Left += 3;
            vel::DrawText(Canvas(), Cell(c, r), t, vel::DT_SINGLELINE | vel::DT_VCENTER | vel::DT_END_ELLIPSIS);
        }
    }
    void ColWidthsChanged() override {
        ++ColWidthsChanges;
        vel::TCustomGrid::ColWidthsChanged();
    }
    bool BeginColumnDrag(int& o, int& d, vel::TPoint p) override {
        Log.push_back("begin " + std::to_string(o));
        return vel::TCustomGrid::BeginColumnDrag(o, d, p);
    }
    bool CheckColumnDrag(int& o, int& d, vel::TPoint p) override {
        Log.push_back("check " + std::to_string(d));
        return vel::TCustomGrid::CheckColumnDrag(o, d, p);
    }
    bool EndColumnDrag(int& o, int& d, vel::TPoint p) override {
        Log.push_back("end " + std::to_string(o) + "->" + std::to_string(d));
        return vel::TCustomGrid::EndColumnDrag(o, d, p);
    }
    void ColumnMoved(int f, int t) override {
        Log.push_back("moved " + std::to_string(f) + "->" + std::to_string(t));
        vel::TCustomGrid::ColumnMoved(f, t);
    }

private:
    std::vector<std::string> FCells;
};

class GridTest : public ::testing::Test {
protected:
    GridTest() {
        vel::ResetWindowingForTests();
        Form = std::make_unique<vel::TForm>(nullptr);
        Form->SetBorderStyle(vel::TFormBorderStyle::bsNone);
        Form->SetBounds(0, 0, 400, 300);
        Grid = new TTextGrid(Form.get());
        Grid->SetScrollBars(vel::TScrollStyle::ssNone);
        Grid->SetBounds(0, 0, 400, 300);
        Grid->SetParent(Form.get());
    }
    ~GridTest() override {
        vel::Application().ProcessMessages();
        Form.reset();
        vel::ResetWindowingForTests();
    }
    void Process() { vel::Application().ProcessMessages(); }
    vel::TPoint Screen(int x, int y) const { return vel::ScreenPointOf(Grid, vel::TPoint{x, y}); }
    vel::TVirtualClockScope FClock;
    std::unique_ptr<vel::TForm> Form;
    TTextGrid* Grid;
};

}  // namespace veltest
