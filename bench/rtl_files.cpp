// String lists, INI text and the registry store at sizes beyond what settings need, so that
// pick lists, layouts and filter value lists never become the slow part.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/classes/IniFiles.h"
#include "platform/classes/Registry.h"
#include "platform/classes/Strings.h"

using namespace vel;

namespace {

std::string Item(int i) {
    // A scrambled order, so that sorted insertion does real work.
    unsigned v = static_cast<unsigned>(i) * 2654435761u;
    return "Item \"" + std::to_string(v % 1000003) + "\", value " + std::to_string(i);
}

}  // namespace

static void BM_StringListSortedAdd_100K(benchmark::State& state) {
    for (auto _ : state) {
        TStringList l;
        l.SetSorted(true);
        l.SetDuplicates(TDuplicates::dupAccept);
        for (int i = 0; i < 100000; ++i) l.Add(Item(i));
        benchmark::DoNotOptimize(l.Count());
    }
}
BENCHMARK(BM_StringListSortedAdd_100K)->Unit(benchmark::kMillisecond);

static void BM_StringListSort_100K(benchmark::State& state) {
    TStringList src;
    for (int i = 0; i < 100000; ++i) src.Add(Item(i));
    for (auto _ : state) {
        TStringList l;
        l.Assign(&src);
        l.Sort();
        benchmark::DoNotOptimize(l.Count());
    }
}
BENCHMARK(BM_StringListSort_100K)->Unit(benchmark::kMillisecond);

static void BM_DelimitedTextRoundTrip_100K(benchmark::State& state) {
    TStringList src;
    for (int i = 0; i < 100000; ++i) src.Add(Item(i));
    for (auto _ : state) {
        TStringList back;
        back.SetDelimitedText(src.GetDelimitedText());
        benchmark::DoNotOptimize(back.Count());
    }
}
BENCHMARK(BM_DelimitedTextRoundTrip_100K)->Unit(benchmark::kMillisecond);

static void BM_MemIniParseAndRead_10K(benchmark::State& state) {
    std::string text;
    for (int s = 0; s < 100; ++s) {
        text += "[Form" + std::to_string(s) + ".Grid1]\n";
        for (int k = 0; k < 100; ++k) text += "Column" + std::to_string(k) + "=" + Item(k) + "\n";
    }
    for (auto _ : state) {
        TMemIniFile ini("");
        ini.SetText(text);
        benchmark::DoNotOptimize(ini.ReadString("Form99.Grid1", "Column99", ""));
    }
}
BENCHMARK(BM_MemIniParseAndRead_10K)->Unit(benchmark::kMillisecond);

static void BM_RegistryStoreLoadSave_10K(benchmark::State& state) {
    TRegistryStore store;
    for (int s = 0; s < 100; ++s) {
        auto& key = store.CreateKey(HKEY_CURRENT_USER,
                                    {"Software", "Pimworks", "Grid" + std::to_string(s)});
        for (int k = 0; k < 100; ++k)
            key.Values.push_back(
                {"Column" + std::to_string(k), TRegDataType::rdString, Item(k), 0});
    }
    const std::string text = store.SaveToText();
    for (auto _ : state) {
        TRegistryStore back;
        back.LoadFromText(text);
        benchmark::DoNotOptimize(back.SaveToText().size());
    }
}
BENCHMARK(BM_RegistryStoreLoadSave_10K)->Unit(benchmark::kMillisecond);
