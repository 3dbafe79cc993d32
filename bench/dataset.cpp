// The in-memory table at a million rows of eight fields: load, sort, filter, scan.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/db/ClientDataSet.h"

using namespace vel;

namespace {

constexpr int kRows = 1000000;
const char* const kCities[] = {"Rome", "Oslo", "Bonn", "Paris", "Lima", "Kyiv", "Quito", "Bern"};

void Define(TMemDataSet& ds) {
    ds.GetFieldDefs().Add("ID", TFieldType::ftInteger);
    ds.GetFieldDefs().Add("Name", TFieldType::ftString, 20);
    ds.GetFieldDefs().Add("City", TFieldType::ftString, 20);
    ds.GetFieldDefs().Add("Price", TFieldType::ftFloat);
    ds.GetFieldDefs().Add("Qty", TFieldType::ftInteger);
    ds.GetFieldDefs().Add("Day", TFieldType::ftDate);
    ds.GetFieldDefs().Add("Flag", TFieldType::ftBoolean);
    ds.GetFieldDefs().Add("Code", TFieldType::ftLargeint);
}

void Fill(TMemDataSet& ds, int rows) {
    std::mt19937 rng(42);
    TField* f[8];
    for (int i = 0; i < 8; ++i) f[i] = ds.GetFields()[i];
    ds.DisableControls();
    for (int i = 0; i < rows; ++i) {
        ds.Append();
        f[0]->SetAsInteger(i);
        f[1]->SetAsString("Name" + std::to_string(rng() % 1000000));
        f[2]->SetAsString(kCities[rng() % 8]);
        f[3]->SetAsFloat((rng() % 100000) / 100.0);
        f[4]->SetAsInteger(static_cast<int>(rng() % 1000000));
        f[5]->SetAsDateTime(45000 + rng() % 1000);
        f[6]->SetAsBoolean(rng() % 2);
        f[7]->SetAsLargeInt(rng());
        ds.Post();
    }
    ds.EnableControls();
}

// Value bytes of a row as the fields define them (text at its real length).
double ValueBytesPerRow(TMemDataSet& ds) {
    double text = 0;
    int n = 0;
    ds.First();
    while (!ds.GetEOF() && n < 10000) {
        text += ds.FieldByName("Name")->GetAsString().size() + ds.FieldByName("City")->GetAsString().size();
        ds.Next();
        ++n;
    }
    return 4 + 8 + 4 + 8 + 1 + 8 + text / n;
}

TClientDataSet& Table() {
    static std::unique_ptr<TClientDataSet> table = [] {
        auto t = std::make_unique<TClientDataSet>();
        Define(*t);
        t->CreateDataSet();
        Fill(*t, kRows);
        return t;
    }();
    return *table;
}

void BM_AppendPost_1M(benchmark::State& state) {
    for (auto _ : state) {
        TClientDataSet t;
        Define(t);
        t.CreateDataSet();
        Fill(t, kRows);
        benchmark::DoNotOptimize(t.GetRecordCount());
    }
}
BENCHMARK(BM_AppendPost_1M)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LoadFromFile_1M(benchmark::State& state) {
    TClientDataSet& t = Table();
    std::string file = (std::filesystem::temp_directory_path() / "vel_bench_dataset.vmt").string();
    t.SaveToFile(file);
    for (auto _ : state) {
        TClientDataSet copy;
        copy.LoadFromFile(file);
        copy.Open();
        benchmark::DoNotOptimize(copy.GetRecordCount());
    }
    std::remove(file.c_str());
}
BENCHMARK(BM_LoadFromFile_1M)->Unit(benchmark::kMillisecond)->Iterations(3);

void SortBy(benchmark::State& state, const char* field) {
    TClientDataSet& t = Table();
    for (auto _ : state) {
        state.PauseTiming();
        t.SetIndexFieldNames("");
        state.ResumeTiming();
        t.SetIndexFieldNames(field);
    }
    t.SetIndexFieldNames("");
}
void BM_SortInteger_1M(benchmark::State& state) { SortBy(state, "Qty"); }
void BM_SortString_1M(benchmark::State& state) { SortBy(state, "Name"); }
BENCHMARK(BM_SortInteger_1M)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SortString_1M)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Filter_1M(benchmark::State& state) {
    TClientDataSet& t = Table();
    t.SetFilter("Price > 500 AND City IN ('Rome', 'Oslo') AND Name LIKE 'Name1%'");
    int count = 0;
    for (auto _ : state) {
        t.SetFiltered(true);
        count = t.GetRecordCount();
        state.PauseTiming();
        t.SetFiltered(false);
        state.ResumeTiming();
    }
    state.counters["rows"] = count;
}
BENCHMARK(BM_Filter_1M)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Locate_1M(benchmark::State& state) {
    TClientDataSet& t = Table();
    int i = 0;
    for (auto _ : state) {
        // Keys near the end of the table: the search scans most rows.
        bool found = t.Locate("ID", kRows - 1 - (i++ % 100), {});
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_Locate_1M)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_LocateText_1M(benchmark::State& state) {
    TClientDataSet& t = Table();
    for (auto _ : state) {
        bool found = t.Locate("City;Name", VarArrayOf({"rome", "NAME99999"}),
                              {TLocateOption::loCaseInsensitive, TLocateOption::loPartialKey});
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_LocateText_1M)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_NextScan_1M(benchmark::State& state) {
    TClientDataSet& t = Table();
    for (auto _ : state) {
        int n = 0;
        t.First();
        while (!t.GetEOF()) {
            t.Next();
            ++n;
        }
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_NextScan_1M)->Unit(benchmark::kMillisecond)->Iterations(5);

// ---------------------------------------------------------------- cursor steps

// CPU time of this thread: other programs on the machine take the processor away, not these
// milliseconds.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The floor: the same doubles summed from a vector, one add after another (a sum of doubles
// is never reordered, and vectorising is switched off so that it stays a plain loop).
[[gnu::noinline, gnu::optimize("no-tree-vectorize")]] double SumVector(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) sum += x;
    return sum;
}

// The same with the sum in memory: every add waits for a store and a load.
[[gnu::noinline]] double SumVectorVolatile(const std::vector<double>& v) {
    volatile double sum = 0;
    for (double x : v) sum = sum + x;
    return sum;
}

[[gnu::noinline]] double SumHeldField(TClientDataSet& t) {
    TField* price = t.FieldByName("Price");
    double sum = 0;
    for (t.First(); !t.GetEOF(); t.Next()) sum += price->GetAsFloat();
    return sum;
}

[[gnu::noinline]] double SumFieldByName(TClientDataSet& t) {
    double sum = 0;
    for (t.First(); !t.GetEOF(); t.Next()) sum += t.FieldByName("Price")->GetAsFloat();
    return sum;
}

[[gnu::noinline]] double SumVariant(TClientDataSet& t) {
    TField* price = t.FieldByName("Price");
    double sum = 0;
    for (t.First(); !t.GetEOF(); t.Next()) sum += price->GetAsVariant().AsFloat();
    return sum;
}

// First/Next over the million records summing Price through a held field, through FieldByName
// on every record and through GetAsVariant, against the plain loop over the same doubles. All
// run in turn, round after round; counters are the medians of thread CPU time.
void BM_CursorSumRatio_1M(benchmark::State& state) {
    TClientDataSet& t = Table();
    std::vector<double> prices;
    prices.reserve(kRows);
    TField* price = t.FieldByName("Price");
    for (t.First(); !t.GetEOF(); t.Next()) prices.push_back(price->GetAsFloat());
    std::vector<double> plain, vol, held, byName, variant;
    double check = 0;
    auto time = [&](std::vector<double>& into, auto&& f) {
        const double t0 = CpuMs();
        const double sum = f();
        into.push_back(CpuMs() - t0);
        benchmark::DoNotOptimize(sum);
        return sum;
    };
    for (auto _ : state) {
        check = time(plain, [&] { return SumVector(prices); });
        time(vol, [&] { return SumVectorVolatile(prices); });
        if (time(held, [&] { return SumHeldField(t); }) != check ||
            time(byName, [&] { return SumFieldByName(t); }) != check ||
            time(variant, [&] { return SumVariant(t); }) != check)
            state.SkipWithError("sums differ");
    }
    const double p = Median(plain), h = Median(held);
    state.counters["vector_ms"] = p;
    state.counters["vector_volatile_ms"] = Median(vol);
    state.counters["held_ms"] = h;
    state.counters["held_x"] = h / p;
    state.counters["held_x_volatile"] = h / Median(vol);
    state.counters["byname_ms"] = Median(byName);
    state.counters["byname_over_held"] = Median(byName) / h;
    state.counters["variant_ms"] = Median(variant);
}
BENCHMARK(BM_CursorSumRatio_1M)->Unit(benchmark::kMillisecond)->Iterations(7);

void BM_MemoryPerRow_1M(benchmark::State& state) {
    TClientDataSet& t = Table();
    for (auto _ : state) benchmark::DoNotOptimize(t.MemoryUsed());
    double total = static_cast<double>(t.MemoryUsed()) / kRows;
    double values = ValueBytesPerRow(t);
    state.counters["bytes_per_row"] = total;
    state.counters["overhead_per_row"] = total - values;
}
BENCHMARK(BM_MemoryPerRow_1M)->Iterations(1);

}  // namespace
