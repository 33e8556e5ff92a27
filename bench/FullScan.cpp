// Reading speed: every row of every user table, every value decoded, in rows per second.
// FullScan keeps the database open (pages come from the engine's cache after the first
// pass); OpenAndScan opens the file anew each time, as a user opening a file and browsing
// it does.
#include "BenchFile.h"
#include "jet/Database.h"

#include <benchmark/benchmark.h>

namespace {

struct ScanCount {
    std::int64_t rows = 0;
    std::int64_t values = 0;
};

ScanCount scanAll(const jet::Database& db) {
    ScanCount n;
    for (const auto& name : db.tableNames()) {
        auto table = db.table(name);
        std::size_t columns = table.schema().columns.size();
        auto cursor = table.scan();
        while (cursor.next()) {
            for (std::size_t i = 0; i < columns; ++i) {
                core::Value v = cursor.value(i);
                benchmark::DoNotOptimize(v);
            }
            ++n.rows;
            n.values += static_cast<std::int64_t>(columns);
        }
    }
    return n;
}

void report(benchmark::State& state, ScanCount perPass) {
    auto passes = static_cast<double>(state.iterations());
    state.counters["rows"] = static_cast<double>(perPass.rows);
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(perPass.rows) * passes, benchmark::Counter::kIsRate);
    state.counters["values/s"] = benchmark::Counter(static_cast<double>(perPass.values) * passes,
                                                    benchmark::Counter::kIsRate);
}

std::filesystem::path locateOrSkip(benchmark::State& state, const bench::BenchFile& file) {
    auto path = file.locate();
    if (path.empty())
        state.SkipWithError((file.label + " not found (set TABLORY_SAMPLES)").c_str());
    return path;
}

void FullScan(benchmark::State& state, const bench::BenchFile& file) {
    auto path = locateOrSkip(state, file);
    if (path.empty()) return;
    auto db = jet::Database::open(path);
    ScanCount perPass;
    for (auto _ : state) perPass = scanAll(*db);
    report(state, perPass);
}

void OpenAndScan(benchmark::State& state, const bench::BenchFile& file) {
    auto path = locateOrSkip(state, file);
    if (path.empty()) return;
    ScanCount perPass;
    for (auto _ : state) perPass = scanAll(*jet::Database::open(path));
    report(state, perPass);
}

// The files measured. A generated million-row file joins this list through
// bench::generatedFile once the engine can write one.
const bench::BenchFile kCompoundIndex = bench::sampleFile("compound-index.mdb");
const bench::BenchFile kWideTable = bench::sampleFile("wide-table.mdb");
const bench::BenchFile kTypes = bench::sampleFile("types.mdb");

} // namespace

BENCHMARK_CAPTURE(FullScan, compound_index, kCompoundIndex);
BENCHMARK_CAPTURE(FullScan, wide_table, kWideTable);
BENCHMARK_CAPTURE(FullScan, types, kTypes);
BENCHMARK_CAPTURE(OpenAndScan, compound_index, kCompoundIndex);
BENCHMARK_CAPTURE(OpenAndScan, wide_table, kWideTable);
BENCHMARK_CAPTURE(OpenAndScan, types, kTypes);
