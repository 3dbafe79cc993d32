// A 1280x800 grid of text cells: a full repaint, and scrolling by one row (which must cost one
// row's worth of cells, not the grid). The database grid does the same over a million records:
// its current record moves down a row, the window's pixels move and one row is painted.
// Last, a typical data grid: eight columns of text, formatted numbers, dates and a check box,
// with titles, indicator and lines, over a million records.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Application.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Grids.h"
#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Fields.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Clock.h"
#include "grid/VelDBGrids.h"

using namespace vel;

namespace {

class TTextGrid : public TCustomGrid {
public:
    explicit TTextGrid(TComponent* owner) : TCustomGrid(owner) {
        SetColCount(40);
        SetRowCount(1000);
        SetDefaultColWidth(80);
        SetDefaultRowHeight(20);
        for (int r = 0; r < 1000; ++r)
            for (int c = 0; c < 40; ++c)
                FText.push_back(r == 0 ? "Column " + std::to_string(c) : std::to_string(r * 37 + c * 1000));
    }
    long long Cells = 0;

protected:
    void DrawCell(int c, int r, const TRect& rect, TGridDrawState) override {
        ++Cells;
        TRect t = rect;
        t.Left += 3;
        DrawText(Canvas(), FText[std::size_t(r) * 40 + std::size_t(c)], t,
                 DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }

private:
    std::vector<std::string> FText;
};

struct TScene {
    TVirtualClockScope clock;
    std::unique_ptr<TForm> form;
    TTextGrid* grid;
    TScene() {
        ResetWindowingForTests();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(TFormBorderStyle::bsNone);
        form->SetBounds(0, 0, 1280, 800);
        grid = new TTextGrid(form.get());
        grid->SetScrollBars(TScrollStyle::ssNone);
        grid->SetAlign(TAlign::alClient);
        grid->SetParent(form.get());
        form->Show();
        Application().ProcessMessages();
    }
};

}  // namespace

static void BM_GridFullRepaint_1280x800(benchmark::State& state) {
    TScene s;
    s.grid->Cells = 0;
    for (auto _ : state) {
        s.grid->Invalidate();
        Application().ProcessMessages();
    }
    state.counters["cells/repaint"] = double(s.grid->Cells) / double(state.iterations());
}
BENCHMARK(BM_GridFullRepaint_1280x800)->Unit(benchmark::kMicrosecond);

static void BM_GridScrollOneRow_1280x800(benchmark::State& state) {
    TScene s;
    s.grid->Cells = 0;
    bool down = true;
    for (auto _ : state) {
        s.grid->SetTopRow(s.grid->GetTopRow() + (down ? 1 : -1));
        down = !down;
        Application().ProcessMessages();
    }
    state.counters["cells/scroll"] = double(s.grid->Cells) / double(state.iterations());
}
BENCHMARK(BM_GridScrollOneRow_1280x800)->Unit(benchmark::kMicrosecond);

namespace {

// The base benchmark's 40 columns of 80 pixels with the same numbers, over 1,000,000 records.
struct TDBScene {
    TVirtualClockScope clock;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TClientDataSet> data;
    TDataSource* source;
    TVelDBGrid* grid;
    TDBScene() {
        ResetWindowingForTests();
        data = std::make_unique<TClientDataSet>();
        for (int c = 0; c < 40; ++c)
            data->GetFieldDefs().Add("Column " + std::to_string(c), TFieldType::ftInteger);
        data->CreateDataSet();
        for (int r = 1; r <= 1000000; ++r) {
            data->Append();
            for (int c = 0; c < 40; ++c) data->GetFields()[c]->SetAsInteger(r * 37 + c * 1000);
            data->Post();
        }
        data->First();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(TFormBorderStyle::bsNone);
        form->SetBounds(0, 0, 1280, 800);
        source = new TDataSource(form.get());
        source->SetDataSet(data.get());
        grid = new TVelDBGrid(form.get());
        grid->SetScrollBars(TScrollStyle::ssNone);
        grid->SetAlign(TAlign::alClient);
        grid->SetParent(form.get());
        grid->SetDataSource(source);
        for (int c = 0; c < grid->GetColumns()->Count(); ++c) grid->GetColumns()->GetColumn(c)->SetWidth(80);
        form->Show();
        Application().ProcessMessages();
    }
};

}  // namespace

static void BM_DBGridNextRecord_1280x800(benchmark::State& state) {
    static TDBScene s;  // a million records are built once
    TDataSet* d = s.data.get();
    d->First();
    d->MoveBy(s.grid->GetDataLink()->GetBufferCount() - 1);  // the last row on screen
    Application().ProcessMessages();
    for (auto _ : state) {
        d->Next();
        Application().ProcessMessages();
        if (d->GetEOF()) {
            state.PauseTiming();
            d->First();
            d->MoveBy(s.grid->GetDataLink()->GetBufferCount() - 1);
            Application().ProcessMessages();
            state.ResumeTiming();
        }
    }
    state.counters["rows"] = double(d->GetRecordCount());
}
BENCHMARK(BM_DBGridNextRecord_1280x800)->Unit(benchmark::kMicrosecond);

namespace {

// Eight typed columns: 160 px each fill the 1280 px window less the indicator.
struct TTypedScene {
    TVirtualClockScope clock;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TClientDataSet> data;
    TDataSource* source;
    TVelDBGrid* grid;
    TTypedScene() {
        ResetWindowingForTests();
        data = std::make_unique<TClientDataSet>();
        auto& defs = data->GetFieldDefs();
        defs.Add("OrderNo", TFieldType::ftInteger);
        defs.Add("Customer", TFieldType::ftString, 40);
        defs.Add("City", TFieldType::ftString, 30);
        defs.Add("Ordered", TFieldType::ftDate);
        defs.Add("Shipped", TFieldType::ftDateTime);
        defs.Add("Quantity", TFieldType::ftInteger);
        defs.Add("Amount", TFieldType::ftFloat);
        defs.Add("Paid", TFieldType::ftBoolean);
        data->CreateDataSet();
        static const char* const names[] = {"Harbour Supplies", "Northwind Traders", "Blue Sky Café",
                                            "Meyer & Söhne", "Quay Street Books", "Elm Hardware"};
        static const char* const cities[] = {"Lisbon", "Oslo", "Zürich", "Kraków", "Dublin", "Porto", "Ghent"};
        TField* f[8];
        for (int i = 0; i < 8; ++i) f[i] = data->GetFields()[i];
        const TDateTime base = EncodeDate(2020, 1, 1);
        for (int r = 1; r <= 1000000; ++r) {
            data->Append();
            f[0]->SetAsInteger(r);
            f[1]->SetAsString(names[r % 6]);
            f[2]->SetAsString(cities[r % 7]);
            f[3]->SetAsDateTime(base + double(r % 2000));
            f[4]->SetAsDateTime(base + double(r % 2000) + double(r % 97) / 97.0);
            f[5]->SetAsInteger(int((r * 7919LL) % 5000));
            f[6]->SetAsFloat(double((r * 104729LL) % 10000000) / 100.0);
            f[7]->SetAsBoolean(r % 3 == 0);
            data->Post();
        }
        static_cast<TNumericField*>(f[5])->SetDisplayFormat("#,##0");
        static_cast<TNumericField*>(f[6])->SetDisplayFormat("#,##0.00");
        data->First();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(TFormBorderStyle::bsNone);
        form->SetBounds(0, 0, 1280, 800);
        source = new TDataSource(form.get());
        source->SetDataSet(data.get());
        grid = new TVelDBGrid(form.get());
        grid->SetScrollBars(TScrollStyle::ssNone);
        grid->SetAlign(TAlign::alClient);
        grid->SetParent(form.get());
        grid->SetDataSource(source);
        TVelDBGridColumns* cols = grid->GetColumns();
        for (int c = 0; c < cols->Count(); ++c) cols->GetColumn(c)->SetWidth(155);
        cols->GetColumn(7)->SetCheckBox(true);
        form->Show();
        Application().ProcessMessages();
    }
};

TTypedScene& TypedScene() {
    static TTypedScene s;  // a million records are built once
    return s;
}

}  // namespace

static void BM_DBGridTypedFullRepaint_1280x800(benchmark::State& state) {
    TTypedScene& s = TypedScene();
    s.data->First();
    s.data->MoveBy(500000);
    Application().ProcessMessages();
    for (auto _ : state) {
        static_cast<TControl*>(s.grid)->Invalidate();
        Application().ProcessMessages();
    }
}
BENCHMARK(BM_DBGridTypedFullRepaint_1280x800)->Unit(benchmark::kMicrosecond);

// The current record steps down from the last visible row, so the window moves by one row.
static void BM_DBGridTypedScrollOneRow_1280x800(benchmark::State& state) {
    TTypedScene& s = TypedScene();
    TDataSet* d = s.data.get();
    auto toBottom = [&] {
        d->First();
        d->MoveBy(s.grid->GetDataLink()->GetBufferCount() - 1);
        Application().ProcessMessages();
    };
    toBottom();
    for (auto _ : state) {
        d->Next();
        Application().ProcessMessages();
        if (d->GetEOF()) {
            state.PauseTiming();
            toBottom();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_DBGridTypedScrollOneRow_1280x800)->Unit(benchmark::kMicrosecond);

// The same grid with header bands over two pairs of columns, title options on and a total
// footer: the fixed cells' share of a repaint.
static void BM_DBGridTypedTitlesTotalsFullRepaint_1280x800(benchmark::State& state) {
    TTypedScene& s = TypedScene();
    TVelDBGrid* g = s.grid;
    TVelDBGridColumns* cols = g->GetColumns();
    cols->GetColumn(3)->GetTitle()->SetHeader("Dates");
    cols->GetColumn(4)->GetTitle()->SetHeader("Dates");
    cols->GetColumn(5)->GetTitle()->SetHeader("Sales");
    cols->GetColumn(6)->GetTitle()->SetHeader("Sales");
    cols->GetColumn(0)->GetTitle()->SetMarkerIndex(2);
    g->SetOptions(g->GetOptions() + TVelDBGridOption::dgTitleHeaders);
    g->SwitchOptionsEx({TVelDBGridOptionEx::dgTotalFooter, TVelDBGridOptionEx::dgTotalFooterBox}, true);
    g->SetOnTotalGetText([](TVelColumn* Column, int, std::string& Text, TTextKind) {
        if (Column->GetIndex() == 6) Text = "1,234,567.89";
    });
    s.data->First();
    s.data->MoveBy(500000);
    Application().ProcessMessages();
    for (auto _ : state) {
        static_cast<TControl*>(g)->Invalidate();
        Application().ProcessMessages();
    }
    // Back to the plain grid for the other benchmarks.
    g->SwitchOptionsEx({TVelDBGridOptionEx::dgTotalFooter, TVelDBGridOptionEx::dgTotalFooterBox}, false);
    g->SetOptions(g->GetOptions() - TVelDBGridOption::dgTitleHeaders);
    g->SetOnTotalGetText(nullptr);
    Application().ProcessMessages();
}
BENCHMARK(BM_DBGridTypedTitlesTotalsFullRepaint_1280x800)->Unit(benchmark::kMicrosecond);
