// A column filter "Customer is equal to one name" composed by the filter form, put on a
// client dataset of a million rows watched by one screen of grid buffers, then taken off;
// against a plain loop comparing the same strings in a std::vector.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "filter/VelDBFilter.h"
#include "grid/VelDBGrids.h"
#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"

using namespace vel;

namespace {

constexpr int kRows = 1000000;
constexpr int kScreenRows = 40;

struct TWorld {
    TClientDataSet Table;
    std::vector<std::string> Names;
    TDataSource Source{nullptr};
    TDataLink Link;  // as a grid holds one screen of records
    TVelDBGrid Grid{nullptr};
    std::string Text;

    TWorld() {
        Table.GetFieldDefs().Add("ID", TFieldType::ftInteger);
        Table.GetFieldDefs().Add("Customer", TFieldType::ftString, 30);
        Table.GetFieldDefs().Add("Price", TFieldType::ftFloat);
        Table.CreateDataSet();
        std::mt19937 rng(7);
        Table.DisableControls();
        for (int i = 0; i < kRows; ++i) {
            Names.push_back("Customer " + std::to_string(rng() % 20000));
            Table.Append();
            Table.GetFields()[0]->SetAsInteger(i);
            Table.GetFields()[1]->SetAsString(Names.back());
            Table.GetFields()[2]->SetAsFloat(i * 0.01);
            Table.Post();
        }
        Table.EnableControls();
        Table.First();
        Source.SetDataSet(&Table);
        Link.SetBufferCount(kScreenRows);
        Link.SetDataSource(&Source);
        // The form composes the text; the grid is not linked so that only Link watches.
        TDataSource formSource(nullptr);
        formSource.SetDataSet(&Table);
        Grid.SetDataSource(&formSource);
        TVelColumn* column = Grid.GetColumns()->Add();
        column->SetFieldName("Customer");
        TVelDBGridFilterForm form(column);
        form.SetClause1(TVelDBGridFilterClause::fcIsEqual);
        form.Value1 = Names[kRows / 2];
        Text = form.ComposeFilterText();
        Grid.SetDataSource(nullptr);
    }
};

TWorld& World() {
    static TWorld* w = new TWorld;
    return *w;
}

void Apply(TWorld& w) {
    w.Table.SetFilter(w.Text);
    w.Table.SetFiltered(true);
}
void Remove(TWorld& w) {
    w.Table.SetFiltered(false);
    w.Table.SetFilter("");
}

void BM_FilterOn(benchmark::State& state) {
    TWorld& w = World();
    for (auto _ : state) {
        state.PauseTiming();
        Remove(w);
        state.ResumeTiming();
        Apply(w);
        benchmark::DoNotOptimize(w.Link.GetRecordCount());
    }
    state.SetLabel(w.Text);
    Remove(w);
}
// A fixed count: the untimed half of each iteration costs a full pass, and taking the filter
// off is so quick that the default minimum time would run it for many minutes.
BENCHMARK(BM_FilterOn)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_FilterOff(benchmark::State& state) {
    TWorld& w = World();
    for (auto _ : state) {
        state.PauseTiming();
        Apply(w);
        state.ResumeTiming();
        Remove(w);
        benchmark::DoNotOptimize(w.Link.GetRecordCount());
    }
}
BENCHMARK(BM_FilterOff)->Unit(benchmark::kMillisecond)->Iterations(30);

// The reference: the same strings compared in a vector.
void BM_VectorLoop(benchmark::State& state) {
    TWorld& w = World();
    const std::string wanted = w.Names[kRows / 2];
    for (auto _ : state) {
        int n = 0;
        for (const std::string& s : w.Names) n += s == wanted;
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_VectorLoop)->Unit(benchmark::kMillisecond);

}  // namespace
