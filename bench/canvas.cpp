// Painting a full screen of grid-like cells: background, stripes, lines and clipped text.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Text.h"

using namespace vel;

namespace {

constexpr int kWidth = 1280, kHeight = 800, kRows = 40, kCols = 12;

void PaintGrid(TCanvas& c, const std::vector<std::string>& texts) {
    const int cw = kWidth / kCols, rh = kHeight / kRows;
    c.Brush().SetColor(clWindow);
    c.FillRect(Rect(0, 0, kWidth, kHeight));
    c.Pen().SetColor(clSilver);
    for (int r = 0; r < kRows; ++r) {
        for (int col = 0; col < kCols; ++col) {
            const TRect cell = Bounds(col * cw, r * rh, cw - 1, rh - 1);
            const bool fixed = r == 0 || col == 0;
            if (fixed) {
                TRect e = cell;
                DrawEdge(c, e, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
            } else if (r % 2 == 0) {
                c.Brush().SetColor(cl3DLight);
                c.FillRect(cell);
            }
            c.Brush().SetStyle(TBrushStyle::bsClear);
            TRect t = cell;
            t.Inflate(-2, 0);
            c.DrawText(
                texts[std::size_t(r * kCols + col)], t,
                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | (col % 3 == 1 ? DT_RIGHT : DT_LEFT));
            c.Brush().SetStyle(TBrushStyle::bsSolid);
        }
        c.MoveTo(0, r * rh + rh - 1);
        c.LineTo(kWidth, r * rh + rh - 1);
    }
    for (int col = 0; col < kCols; ++col) {
        c.MoveTo(col * cw + cw - 1, 0);
        c.LineTo(col * cw + cw - 1, kHeight);
    }
}

void BM_Canvas_GridScreen_1280x800_480Cells(benchmark::State& state) {
    SetPinnedFontFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    TBitmap screen(kWidth, kHeight);
    TCanvas& c = screen.Canvas();
    c.Font().SetName("Tahoma");
    c.Font().SetSize(8);
    std::vector<std::string> texts;
    for (int i = 0; i < kRows * kCols; ++i)
        texts.push_back(i % 3 == 1 ? std::to_string(i * 1234.5)
                                   : "Customer " + std::to_string(i) + " Ltd.");
    PaintGrid(c, texts);  // warms the glyph cache
    for (auto _ : state) {
        PaintGrid(c, texts);
        benchmark::DoNotOptimize(screen.Bits());
    }
    SetPinnedFontFile("");
}
BENCHMARK(BM_Canvas_GridScreen_1280x800_480Cells)->Unit(benchmark::kMillisecond);

}  // namespace
