// Speed of values by key path beside a plain SQLite table in the same run:
// set_key_value then read_key_text of 10,000 values under six-level key paths
// (in 10,000 keys of one value each, and in 100 keys of 100), against the same writes and reads of (path, name, value)
// rows on one table with the store's settings (WAL, synchronous=NORMAL, one
// transaction per write, prepared statements). Each round makes a fresh store
// and a fresh table; ours and the table run in alternating rounds, and the
// table's time and the ratio (ours / table) are reported as counters.
#include "ostrel/sysutil.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int VALUES = 10000;

// Value i lives in key i % keys: 10,000 keys of one value, or 100 keys of 100.
int g_keys = VALUES;

std::string key_path(int i)
{
    const int k = i % g_keys;
    return "Software Ostrel Bench \"Section " + std::to_string(k / 1000) + "\" Group" +
           std::to_string(k / 100 % 10) + " Key" + std::to_string(k % 100);
}

struct Times {
    double write = 0, read = 0;
};

std::string value_name(int i) { return "Value" + std::to_string(i); }
std::string value_text(int i) { return "text of value " + std::to_string(i); }

double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Times run_ours(const std::string& db)
{
    setenv("OSTREL_REGISTRY", db.c_str(), 1);
    Times t;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < VALUES; ++i)
        if (set_key_value(key_path(i).c_str(), value_name(i).c_str(), value_text(i).c_str()) != ERROR_SUCCESS)
            std::abort();
    t.write = seconds_since(start);
    start = std::chrono::steady_clock::now();
    char out[SYSUTIL_KEY_TEXT];
    for (int i = 0; i < VALUES; ++i)
        if (!read_key_text(out, value_name(i).c_str(), key_path(i).c_str(), HKEY_CLASSES_ROOT))
            std::abort();
    t.read = seconds_since(start);
    setenv("OSTREL_REGISTRY", (db + ".left").c_str(), 1);   // let go of the store
    return t;
}

Times run_table(const std::string& db)
{
    sqlite3* h = nullptr;
    if (sqlite3_open(db.c_str(), &h) != SQLITE_OK)
        std::abort();
    sqlite3_busy_timeout(h, 30000);
    sqlite3_exec(h, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                    "CREATE TABLE v(path TEXT, name TEXT, value BLOB, PRIMARY KEY(path, name))",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* put = nullptr;
    sqlite3_stmt* get = nullptr;
    sqlite3_prepare_v2(h, "INSERT INTO v VALUES (?1, ?2, ?3) ON CONFLICT(path, name) DO UPDATE SET value = excluded.value",
                       -1, &put, nullptr);
    sqlite3_prepare_v2(h, "SELECT value FROM v WHERE path = ?1 AND name = ?2", -1, &get, nullptr);
    Times times;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < VALUES; ++i) {
        const std::string p = key_path(i), n = value_name(i), t = value_text(i);
        sqlite3_bind_text(put, 1, p.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(put, 2, n.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_blob(put, 3, t.c_str(), int(t.size() + 1), SQLITE_STATIC);
        if (sqlite3_step(put) != SQLITE_DONE)
            std::abort();
        sqlite3_reset(put);
    }
    times.write = seconds_since(start);
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < VALUES; ++i) {
        const std::string p = key_path(i), n = value_name(i);
        sqlite3_bind_text(get, 1, p.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(get, 2, n.c_str(), -1, SQLITE_STATIC);
        if (sqlite3_step(get) != SQLITE_ROW)
            std::abort();
        benchmark::DoNotOptimize(sqlite3_column_blob(get, 0));
        sqlite3_reset(get);
    }
    times.read = seconds_since(start);
    sqlite3_finalize(put);
    sqlite3_finalize(get);
    sqlite3_close(h);
    return times;
}

void BM_KeyPathValuesAgainstPlainTable(benchmark::State& state)
{
    g_keys = int(state.range(0));
    const char* base = std::getenv("OSTREL_BENCH_DIR");
    const std::string dir = std::string(base && *base ? base : "/tmp") + "/ostrel-registry-bench-"
                            + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    Times ours, table;
    int round = 0;
    for (auto _ : state) {
        const std::string n = std::to_string(round++);
        const Times o = run_ours(dir + "/ours" + n + ".db");
        const Times t = run_table(dir + "/table" + n + ".db");
        ours.write += o.write;
        ours.read += o.read;
        table.write += t.write;
        table.read += t.read;
        state.SetIterationTime(o.write + o.read);
    }
    std::filesystem::remove_all(dir);
    state.counters["table_s"] = (table.write + table.read) / round;
    state.counters["ratio_write"] = ours.write / table.write;
    state.counters["ratio_read"] = ours.read / table.read;
    state.counters["ratio"] = (ours.write + ours.read) / (table.write + table.read);
}
// Argument: the number of keys the 10,000 values are spread over.
BENCHMARK(BM_KeyPathValuesAgainstPlainTable)->Arg(VALUES)->Arg(100)->UseManualTime()->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
