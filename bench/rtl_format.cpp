// Text conversion throughput: the grid formats every visible cell on each paint.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

using namespace vel;

namespace {

std::vector<double> Values(std::size_t n) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> mantissa(-1000.0, 1000.0);
    std::uniform_int_distribution<int> scale(-6, 9);
    std::vector<double> v(n);
    for (double& x : v) {
        x = mantissa(rng);
        for (int s = scale(rng); s > 0; --s) x *= 10;
        if (&x - v.data() < static_cast<long>(n / 3)) x = std::round(x * 100) / 100;  // prices
    }
    return v;
}

void BM_FloatToStr_10K(benchmark::State& state) {
    const std::vector<double> values = Values(10000);
    for (auto _ : state) {
        for (double v : values) benchmark::DoNotOptimize(FloatToStr(v));
    }
    state.SetItemsProcessed(state.iterations() * values.size());
}
BENCHMARK(BM_FloatToStr_10K);

void BM_FormatFloat_Picture_10K(benchmark::State& state) {
    const std::vector<double> values = Values(10000);
    for (auto _ : state) {
        for (double v : values) benchmark::DoNotOptimize(FormatFloat("#,##0.00;(#,##0.00)", v));
    }
    state.SetItemsProcessed(state.iterations() * values.size());
}
BENCHMARK(BM_FormatFloat_Picture_10K);

// A mix of what a grid row shows: a pick text, a number, an amount, a row number.
void BM_Format_Cells_10K(benchmark::State& state) {
    const std::vector<double> values = Values(10000);
    const std::string key = "K-1042", text = "Widget, blue";
    for (auto _ : state) {
        int i = 0;
        for (double v : values) {
            benchmark::DoNotOptimize(Format("%1:s - %0:s", {key, text}));
            benchmark::DoNotOptimize(Format("%.2f", {v}));
            benchmark::DoNotOptimize(Format("%m", {v}));
            benchmark::DoNotOptimize(Format("%d.", {++i}));
        }
    }
    state.SetItemsProcessed(state.iterations() * values.size() * 4);
}
BENCHMARK(BM_Format_Cells_10K);

void BM_StrToFloat_10K(benchmark::State& state) {
    std::vector<std::string> texts;
    for (double v : Values(10000)) texts.push_back(FloatToStr(v));
    for (auto _ : state) {
        for (const std::string& t : texts) benchmark::DoNotOptimize(StrToFloat(t));
    }
    state.SetItemsProcessed(state.iterations() * texts.size());
}
BENCHMARK(BM_StrToFloat_10K);

// Sorting a column of variants (numbers and a few Nulls) with the total order.
void BM_VarCompare_Sort_100K(benchmark::State& state) {
    std::vector<Variant> column;
    int i = 0;
    for (double v : Values(100000)) column.push_back(++i % 50 == 0 ? Variant::Null() : Variant(v));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<Variant> work = column;
        state.ResumeTiming();
        std::sort(work.begin(), work.end(),
                  [](const Variant& a, const Variant& b) { return VarCompare(a, b) < 0; });
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * column.size());
}
BENCHMARK(BM_VarCompare_Sort_100K);

}  // namespace
