// Control trees of a few hundred controls: what a repaint of one control, a full repaint and a
// relayout cost. Painting must follow what is invalid, not the size of the tree.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/controls/Application.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/Clock.h"

using namespace vel;

namespace {

class TCell : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override {
        Canvas().Brush().SetColor(clWindow);
        Canvas().FillRect(GetClientRect());
    }
};

struct TTree {
    TVirtualClockScope clock;
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    std::vector<TCell*> cells;
    TTree() {
        ResetWindowingForTests();
        form->SetBorderStyle(TFormBorderStyle::bsNone);
        form->SetBounds(0, 0, 1000, 600);
        for (int r = 0; r < 15; ++r)
            for (int c = 0; c < 20; ++c) {
                auto* cell = new TCell(form.get());
                cell->SetBounds(c * 50, r * 40, 48, 38);
                cell->SetAnchors({TAnchorKind::akLeft, TAnchorKind::akTop, TAnchorKind::akRight});
                cell->SetParent(form.get());
                cells.push_back(cell);
            }
        form->Show();
        Application().ProcessMessages();
    }
};

}  // namespace

static void BM_RepaintOneControl_300Controls(benchmark::State& state) {
    TTree t;
    for (auto _ : state) {
        t.cells[150]->Invalidate();
        Application().ProcessMessages();
    }
}
BENCHMARK(BM_RepaintOneControl_300Controls);

static void BM_RepaintAll_300Controls(benchmark::State& state) {
    TTree t;
    for (auto _ : state) {
        t.form->InvalidateRect(nullptr, true);
        Application().ProcessMessages();
    }
}
BENCHMARK(BM_RepaintAll_300Controls);

static void BM_ResizeAnchored_300Controls(benchmark::State& state) {
    TTree t;
    int w = 1000;
    for (auto _ : state) {
        w = w == 1000 ? 990 : 1000;
        t.form->SetBounds(0, 0, w, 600);
    }
}
BENCHMARK(BM_ResizeAnchored_300Controls);
