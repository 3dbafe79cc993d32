// The hook-fed dataset at a million rows: opening, scanning, and Locate of a key near the end
// against a plain linear search over a std::vector of the same keys.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "data/VelDBCustData.h"

using namespace vel;

namespace {

constexpr int kRows = 1000000;
constexpr int kKeyNearEnd = kRows - 10;

// Row i has Key = i * 7 (the keys a vector holds too) and Name = "Item<i>".
class TKeyedData : public TVelDBCustomData {
public:
    explicit TKeyedData(int rows) : FRows(rows) {}
    ~TKeyedData() override {
        if (GetActive()) Close();
    }

protected:
    void InternalInitFieldDefs() override {
        if (GetFieldDefs().Count() == 0) {
            GetFieldDefs().Add("Key", TFieldType::ftInteger);
            GetFieldDefs().Add("Name", TFieldType::ftString, 16);
        }
    }
    void DoOnCountRecords(int& count) override { count = FRows; }
    void DoOnGetFieldData(int index, TField* field, Variant& value) override {
        if (field->GetFieldNo() == 1)
            value = index * 7;
        else
            value = "Item" + std::to_string(index);
    }

private:
    int FRows;
};

std::vector<int> Keys() {
    std::vector<int> keys(kRows);
    for (int i = 0; i < kRows; ++i) keys[static_cast<std::size_t>(i)] = i * 7;
    return keys;
}

// Seconds per linear search of the key near the end, the best of a few runs.
double VectorSearchSeconds(const std::vector<int>& keys) {
    double best = 1e9;
    for (int run = 0; run < 20; ++run) {
        auto start = std::chrono::steady_clock::now();
        auto it = std::find(keys.begin(), keys.end(), kKeyNearEnd * 7);
        benchmark::DoNotOptimize(it);
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

void BM_CustomData_Open_1M(benchmark::State& state) {
    for (auto _ : state) {
        TKeyedData ds(kRows);
        ds.Open();
        benchmark::DoNotOptimize(ds.GetRecordCount());
    }
}
BENCHMARK(BM_CustomData_Open_1M)->Unit(benchmark::kMicrosecond);

void BM_CustomData_ScanReadingKey_1M(benchmark::State& state) {
    TKeyedData ds(kRows);
    ds.Open();
    TField* key = ds.FieldByName("Key");
    for (auto _ : state) {
        long long sum = 0;
        ds.First();
        while (!ds.GetEOF()) {
            sum += key->GetAsInteger();
            ds.Next();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_CustomData_ScanReadingKey_1M)->Unit(benchmark::kMillisecond);

void BM_Vector_LinearSearchNearEnd_1M(benchmark::State& state) {
    std::vector<int> keys = Keys();
    for (auto _ : state) {
        auto it = std::find(keys.begin(), keys.end(), kKeyNearEnd * 7);
        benchmark::DoNotOptimize(it);
    }
}
BENCHMARK(BM_Vector_LinearSearchNearEnd_1M)->Unit(benchmark::kMicrosecond);

// The counter "x_vector" is the time of one Locate over the time of one std::find.
void BM_CustomData_LocateNearEnd_1M(benchmark::State& state) {
    TKeyedData ds(kRows);
    ds.Open();
    const double vectorSeconds = VectorSearchSeconds(Keys());
    double total = 0;
    for (auto _ : state) {
        ds.First();
        auto start = std::chrono::steady_clock::now();
        bool found = ds.Locate("Key", kKeyNearEnd * 7, {});
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        total += took.count();
        if (!found) state.SkipWithError("key not found");
    }
    state.counters["x_vector"] = total / static_cast<double>(state.iterations()) / vectorSeconds;
}
BENCHMARK(BM_CustomData_LocateNearEnd_1M)->Unit(benchmark::kMillisecond);

void BM_CustomData_LocatePartialTextNearEnd_1M(benchmark::State& state) {
    TKeyedData ds(kRows);
    ds.Open();
    const std::string key = "item" + std::to_string(kKeyNearEnd);
    for (auto _ : state) {
        ds.First();
        bool found = ds.Locate("Name", key,
                               TLocateOptions{TLocateOption::loCaseInsensitive, TLocateOption::loPartialKey});
        if (!found) state.SkipWithError("name not found");
    }
}
BENCHMARK(BM_CustomData_LocatePartialTextNearEnd_1M)->Unit(benchmark::kMillisecond);

}  // namespace
