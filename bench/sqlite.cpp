// SQL datasets against the raw SQLite step loop over the same statement, and ORDER BY in SQL
// against the client-side Sort on the same rows.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/sqlite/ADODB.h"
#include "platform/db/sqlite/SQLDataSets.h"

using namespace vel;

namespace {

constexpr int kRows = 1'000'000;
const char* const kSelect = "SELECT id, name, amount, created, flag FROM big";
// Eight columns of six types; note is TEXT without a size.
const char* const kSelect8 =
    "SELECT id, name, amount, created, flag, qty, price, note FROM big";

// The 1M-row table, built once per run in a temporary folder removed at exit.
const std::string& DatabaseFile() {
    static const std::string file = [] {
        auto dir = std::filesystem::temp_directory_path() /
                   ("velbench_sqlite_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        static std::filesystem::path keep = dir;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(keep, ec);
        });
        std::string path = (dir / "bench.db").string();
        TSQLiteConnection db;
        db.SetFileName(path);
        db.SetCreateIfMissing(true);
        db.ExecSQL(
            "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
            "CREATE TABLE big (id INTEGER PRIMARY KEY, name VARCHAR(24), amount DECIMAL(10,2), "
            "created DATE, flag BOOLEAN, qty INTEGER, price REAL, note TEXT)");
        db.StartTransaction();
        TSQLiteStatement ins(db, "INSERT INTO big VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        std::uint64_t x = 88172645463325252ull;
        for (int i = 1; i <= kRows; ++i) {
            x ^= x << 13, x ^= x >> 7, x ^= x << 17;
            std::string name = "Name " + std::to_string(x % 1000003);
            ins.Bind(1, Variant(i));
            ins.Bind(2, Variant(name));
            ins.Bind(3, Variant(static_cast<double>(x % 1000000) / 100.0));
            ins.Bind(4, Variant::FromDateTime(43000.0 + static_cast<double>(x % 3000)),
                     TFieldType::ftDate);
            ins.Bind(5, Variant((x & 1) != 0));
            ins.Bind(6, Variant(static_cast<int>(x % 5000)));
            ins.Bind(7, Variant(static_cast<double>(x % 100000) / 8.0));
            ins.Bind(8, Variant("note " + std::to_string(x % 99991)));
            ins.Execute();
        }
        db.Commit();
        return path;
    }();
    return file;
}

// Milliseconds of this thread's CPU time: other programs on the machine take the processor
// away, not these milliseconds.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The CPU milliseconds f takes, appended to `into`; f's result passes through.
template <class F>
auto TimeInto(std::vector<double>& into, F&& f) {
    const double t0 = ThreadCpuMs();
    auto result = f();
    into.push_back(ThreadCpuMs() - t0);
    return result;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Every column of every row, without conversions: the floor a dataset is measured against.
int RawScan(TSQLiteConnection& db) {
    TSQLiteStatement st(db, kSelect);
    sqlite3_stmt* s = st.Handle();
    std::int64_t sum = 0;
    std::size_t bytes = 0;
    int rows = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        sum += sqlite3_column_int64(s, 0);
        bytes += static_cast<std::size_t>(sqlite3_column_bytes(s, 1));
        sum += static_cast<std::int64_t>(sqlite3_column_double(s, 2));
        bytes += static_cast<std::size_t>(sqlite3_column_bytes(s, 3));
        sum += sqlite3_column_int(s, 4);
        ++rows;
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(bytes);
    return rows;
}

// Opens a TQuery and reads four typed fields of every record; the number of records.
int QueryScan(TSQLiteConnection& db, bool uniDirectional) {
    TQuery q;
    q.SetConnection(&db);
    q.SetUniDirectional(uniDirectional);
    q.GetSQL()->SetText(kSelect);
    q.Open();
    TField* id = q.FieldByName("id");
    TField* amount = q.FieldByName("amount");
    TField* created = q.FieldByName("created");
    TField* flag = q.FieldByName("flag");
    std::int64_t sum = 0;
    double dates = 0;
    int rows = 0;
    for (; !q.GetEOF(); q.Next(), ++rows) {
        sum += id->GetAsInteger();
        sum += amount->GetAsCurrency().Value / 10000;
        dates += created->GetAsDateTime();
        sum += flag->GetAsBoolean();
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(dates);
    return rows;
}

void BM_RawStepLoop_1M(benchmark::State& state) {
    TSQLiteConnection db;
    db.SetFileName(DatabaseFile());
    for (auto _ : state) benchmark::DoNotOptimize(RawScan(db));
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_RawStepLoop_1M)->Unit(benchmark::kMillisecond);

void QueryScanBenchmark(benchmark::State& state, bool uniDirectional) {
    TSQLiteConnection db;
    db.SetFileName(DatabaseFile());
    for (auto _ : state)
        if (QueryScan(db, uniDirectional) != kRows) state.SkipWithError("wrong row count");
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_QueryOpenAndScan_1M(benchmark::State& state) { QueryScanBenchmark(state, false); }
BENCHMARK(BM_QueryOpenAndScan_1M)->Unit(benchmark::kMillisecond);

// The same scan through a unidirectional TQuery: rows are decoded as the cursor reaches them
// and none is kept.
void BM_UniDirectionalQueryScan_1M(benchmark::State& state) { QueryScanBenchmark(state, true); }
BENCHMARK(BM_UniDirectionalQueryScan_1M)->Unit(benchmark::kMillisecond);

// The target as a ratio: raw loop, buffered query and unidirectional query run in turn, round
// after round, so a machine that speeds up or slows down during the run shifts all three.
// Counters are the medians of the rounds, in thread CPU time.
void BM_ScanRatioToRawLoop_1M(benchmark::State& state) {
    TSQLiteConnection db;
    db.SetFileName(DatabaseFile());
    std::vector<double> raw, query, uni;
    for (auto _ : state) {
        TimeInto(raw, [&] { return RawScan(db); });
        TimeInto(query, [&] { return QueryScan(db, false); });
        TimeInto(uni, [&] { return QueryScan(db, true); });
    }
    const double r = Median(raw);
    state.counters["raw_ms"] = r;
    state.counters["query_x"] = Median(query) / r;
    state.counters["unidirectional_x"] = Median(uni) / r;
}
BENCHMARK(BM_ScanRatioToRawLoop_1M)->Unit(benchmark::kMillisecond)->Iterations(7);

// ---------------------------------------------------------------- eight typed values per row

// The raw loop reading each of the eight columns once in its own form: integers, doubles and
// text as pointer and length.
int RawScan8(TSQLiteConnection& db) {
    TSQLiteStatement st(db, kSelect8);
    sqlite3_stmt* s = st.Handle();
    std::int64_t sum = 0;
    double real = 0;
    std::size_t bytes = 0;
    int rows = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        sum += sqlite3_column_int64(s, 0);
        bytes += std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)),
                                  static_cast<std::size_t>(sqlite3_column_bytes(s, 1)))
                     .size();
        real += sqlite3_column_double(s, 2);
        bytes += std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(s, 3)),
                                  static_cast<std::size_t>(sqlite3_column_bytes(s, 3)))
                     .size();
        sum += sqlite3_column_int(s, 4);
        sum += sqlite3_column_int(s, 5);
        real += sqlite3_column_double(s, 6);
        bytes += std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(s, 7)),
                                  static_cast<std::size_t>(sqlite3_column_bytes(s, 7)))
                     .size();
        ++rows;
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(real);
    benchmark::DoNotOptimize(bytes);
    return rows;
}

// A one-way TQuery reading the eight fields of every record with their typed getters, or
// through GetAsVariant.
int QueryScan8(TSQLiteConnection& db, bool variant) {
    TQuery q;
    q.SetConnection(&db);
    q.SetUniDirectional(true);
    q.GetSQL()->SetText(kSelect8);
    q.Open();
    TField* f[8];
    for (int i = 0; i < 8; ++i) f[i] = q.GetFields()[i];
    std::int64_t sum = 0;
    double real = 0;
    std::size_t bytes = 0;
    int rows = 0;
    if (variant) {
        for (; !q.GetEOF(); q.Next(), ++rows)
            for (TField* x : f) sum += static_cast<std::int64_t>(x->GetAsVariant().VarType());
    } else {
        for (; !q.GetEOF(); q.Next(), ++rows) {
            sum += f[0]->GetAsInteger();
            bytes += f[1]->GetAsString().size();
            sum += f[2]->GetAsCurrency().Value;
            real += f[3]->GetAsDateTime();
            sum += f[4]->GetAsBoolean();
            sum += f[5]->GetAsInteger();
            real += f[6]->GetAsFloat();
            bytes += f[7]->GetAsString().size();
        }
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(real);
    benchmark::DoNotOptimize(bytes);
    return rows;
}

// The one-way cursor's target as a ratio to the raw loop: all three in turn, round after round,
// in thread CPU time. Each round's ratio is taken before the median, so a machine that slows
// down or speeds up between rounds shifts a round's three figures together.
void BM_UniDirectional8RatioToRawLoop_1M(benchmark::State& state) {
    TSQLiteConnection db;
    db.SetFileName(DatabaseFile());
    std::vector<double> raw, typed, variant, typedX, variantX;
    for (auto _ : state) {
        TimeInto(raw, [&] { return RawScan8(db); });
        if (TimeInto(typed, [&] { return QueryScan8(db, false); }) != kRows ||
            TimeInto(variant, [&] { return QueryScan8(db, true); }) != kRows)
            state.SkipWithError("wrong row count");
        typedX.push_back(typed.back() / raw.back());
        variantX.push_back(variant.back() / raw.back());
    }
    state.counters["raw_ms"] = Median(raw);
    state.counters["typed_ms"] = Median(typed);
    state.counters["typed_x"] = Median(typedX);
    state.counters["variant_ms"] = Median(variant);
    state.counters["variant_x"] = Median(variantX);
}
BENCHMARK(BM_UniDirectional8RatioToRawLoop_1M)->Unit(benchmark::kMillisecond)->Iterations(9);

// The first screen of a grid: Open of the 1M-row table and the display texts of the first 40
// records, against a raw loop that prepares the same statement, steps 40 rows and reads every
// column as text. Both in turn, round after round; medians of thread CPU time.
constexpr int kScreenRows = 40;

std::size_t RawFirstScreen(TSQLiteConnection& db) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), kSelect, -1, &s, nullptr) != SQLITE_OK) return 0;
    std::size_t bytes = 0;
    for (int r = 0; r < kScreenRows && sqlite3_step(s) == SQLITE_ROW; ++r)
        for (int c = 0; c < 5; ++c) bytes += static_cast<std::size_t>(sqlite3_column_bytes(s, c));
    sqlite3_finalize(s);
    return bytes;
}

std::size_t QueryFirstScreen(TSQLiteConnection& db) {
    TQuery q;
    q.SetConnection(&db);
    q.GetSQL()->SetText(kSelect);
    q.Open();
    std::size_t bytes = 0;
    for (int r = 0; r < kScreenRows && !q.GetEOF(); ++r, q.Next())
        for (int c = 0; c < q.GetFieldCount(); ++c)
            bytes += q.GetFields()[c]->GetDisplayText().size();
    return bytes;
}

void BM_FirstScreenRatioToRawLoop_1M(benchmark::State& state) {
    TSQLiteConnection db;
    db.SetFileName(DatabaseFile());
    db.Open();
    std::vector<double> raw, query;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TimeInto(raw, [&] { return RawFirstScreen(db); }));
        benchmark::DoNotOptimize(TimeInto(query, [&] { return QueryFirstScreen(db); }));
    }
    const double r = Median(raw) * 1e3;
    state.counters["raw_us"] = r;
    state.counters["query_us"] = Median(query) * 1e3;
    state.counters["query_x"] = Median(query) * 1e3 / r;
}
BENCHMARK(BM_FirstScreenRatioToRawLoop_1M)->Unit(benchmark::kMillisecond)->Iterations(300);

// Open and RecordCount: every row read.
void BM_QueryOpenOnly_1M(benchmark::State& state) {
    TSQLiteConnection db;
    db.SetFileName(DatabaseFile());
    for (auto _ : state) {
        TQuery q;
        q.SetConnection(&db);
        q.GetSQL()->SetText(kSelect);
        q.Open();
        benchmark::DoNotOptimize(q.GetRecordCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_QueryOpenOnly_1M)->Unit(benchmark::kMillisecond);

// The grid's SQL reorder: rewrite ORDER BY, reopen (SQLite sorts; the first packet is read).
void BM_OrderBySql_1M(benchmark::State& state) {
    TSQLiteConnection db;
    db.SetFileName(DatabaseFile());
    TQuery q;
    q.SetConnection(&db);
    q.GetSQL()->Add(kSelect);
    q.GetSQL()->Add("ORDER BY name");
    bool desc = false;
    for (auto _ : state) {
        q.GetSQL()->Put(1, desc ? "ORDER BY name DESC, created" : "ORDER BY name, created DESC");
        desc = !desc;
        q.Open();
        benchmark::DoNotOptimize(q.FieldByName("name")->GetAsString());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_OrderBySql_1M)->Unit(benchmark::kMillisecond);

// The ADO client-side Sort on rows already held.
void BM_ClientSort_1M(benchmark::State& state) {
    TSQLiteConnection db;
    db.SetFileName(DatabaseFile());
    TADOQuery q;
    q.SetConnection(&db);
    q.GetSQL()->SetText(kSelect);
    q.Open();
    bool desc = false;
    for (auto _ : state) {
        q.SetSort(desc ? "name DESC, created" : "name, created DESC");
        desc = !desc;
        benchmark::DoNotOptimize(q.FieldByName("name")->GetAsString());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ClientSort_1M)->Unit(benchmark::kMillisecond);

}  // namespace
