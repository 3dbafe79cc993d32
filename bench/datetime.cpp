// Date text in bulk: what a grid column of dates or a date filter over many rows costs.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/DateUtils.h"

using namespace vel;

namespace {
std::vector<TDateTime> Values(int n) {
    std::vector<TDateTime> v;
    v.reserve(n);
    for (int i = 0; i < n; ++i) v.push_back(EncodeDate(1950, 1, 1) + i * 1.37);
    return v;
}
}  // namespace

static void BM_DateTimeToStr_100K(benchmark::State& state) {
    const auto values = Values(100000);
    for (auto _ : state)
        for (TDateTime v : values) benchmark::DoNotOptimize(DateTimeToStr(v));
    state.SetItemsProcessed(state.iterations() * values.size());
}
BENCHMARK(BM_DateTimeToStr_100K);

static void BM_StrToDateTime_100K(benchmark::State& state) {
    std::vector<std::string> texts;
    for (TDateTime v : Values(100000)) texts.push_back(DateTimeToStr(v));
    for (auto _ : state)
        for (const auto& t : texts) benchmark::DoNotOptimize(StrToDateTime(t));
    state.SetItemsProcessed(state.iterations() * texts.size());
}
BENCHMARK(BM_StrToDateTime_100K);

static void BM_StartOfTheWeekAndIncMonth_100K(benchmark::State& state) {
    const auto values = Values(100000);
    for (auto _ : state)
        for (TDateTime v : values) benchmark::DoNotOptimize(IncMonth(StartOfTheWeek(v), 1));
    state.SetItemsProcessed(state.iterations() * values.size());
}
BENCHMARK(BM_StartOfTheWeekAndIncMonth_100K);
