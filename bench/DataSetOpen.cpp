// Opening a large table as the browser does: a TADOQuery on "select * from [T]" over a
// million rows, shown at its first record (OpenAtFirstRecord), then moved from there to its
// last (MoveToLast, the open itself not timed). The file is generated once per machine.
#include "BenchFile.h"
#include "JetTables.h"
#include "data/TADOConnection.h"
#include "data/TADOQuery.h"
#include "data/TField.h"
#include "jet/Database.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

using bench::column;
using bench::openString;

constexpr int kRows = 1'000'000;

// T (ID counter, Name text(50), Amount currency, Born date/time), written in one transaction.
void makeMillionRows(const std::filesystem::path& path) {
    using T = jet::ColumnType;
    jet::TableSchema table;
    table.name = "T";
    table.columns = {column("ID", T::Long, 4, jet::column_flag::kAutoLong),
                     column("Name", T::Text, 100), column("Amount", T::Currency),
                     column("Born", T::DateTime)};
    auto db = jet::Database::create(path);
    db->begin();
    db->createTable(table);
    for (int i = 1; i <= kRows; ++i)
        db->insertRow("T", {core::Value(), core::Value("Row " + std::to_string(i)),
                            core::Value(core::Currency{static_cast<std::int64_t>(i) * 125}),
                            core::Value(core::DateTime{36000.0 + i % 5000})});
    db->commit();
}

const bench::BenchFile kMillionRows = bench::generatedFile("million-rows.mdb", makeMillionRows);

double peakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

void OpenAtFirstRecord(benchmark::State& state) {
    const auto path = kMillionRows.locate();
    for (auto _ : state) {
        data::TADOConnection connection;
        connection.setConnectionString(openString(path));
        data::TADOQuery query;
        query.setConnection(&connection);
        query.setSQL("select * from [T]");
        query.open();
        query.first();
        benchmark::DoNotOptimize(query.fieldByName("Name").asString());
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}

void MoveToLast(benchmark::State& state) {
    const auto path = kMillionRows.locate();
    for (auto _ : state) {
        state.PauseTiming();
        auto connection = std::make_unique<data::TADOConnection>();
        connection->setConnectionString(openString(path));
        auto query = std::make_unique<data::TADOQuery>();
        query->setConnection(connection.get());
        query->setSQL("select * from [T]");
        query->open();
        query->first();
        state.ResumeTiming();

        query->last();
        if (query->recNo() != kRows) state.SkipWithError("the last record is not the millionth");
        benchmark::DoNotOptimize(query->fieldByName("ID").asString());

        state.PauseTiming();
        query.reset();
        connection.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = kRows;
    state.counters["peak_MiB"] = peakMemoryMiB();
}

} // namespace

BENCHMARK(OpenAtFirstRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(MoveToLast)->Unit(benchmark::kMillisecond);
