// Filtering a large table as the navigator's filter dialog does: a TADOQuery on
// "select * from [F]" over a million rows, then one value criterion on a text field (a
// customer that 1 row in 1,000 has) installed as the record-acceptance test. Timed: the first
// screen of accepted records after OK (FirstAcceptedScreen), and the move from there to the
// last accepted record (LastAcceptedRecord). The file is generated once per machine.
#include "BenchFile.h"
#include "JetTables.h"
#include "data/FilterCriteria.h"
#include "data/TADOConnection.h"
#include "data/TADOQuery.h"
#include "data/TField.h"
#include "jet/Database.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <memory>

namespace {

using bench::column;
using bench::openString;

constexpr int kRows = 1'000'000;
constexpr int kCustomers = 1'000;
constexpr int kScreenRows = 24; // what the browser's grid shows at once

std::string customer(int i) {
    char text[8];
    std::snprintf(text, sizeof text, "C%04d", i % kCustomers);
    return text;
}

// F (ID counter, Customer text(10), Amount currency, Placed date/time), one transaction.
void makeMillionOrders(const std::filesystem::path& path) {
    using T = jet::ColumnType;
    jet::TableSchema table;
    table.name = "F";
    table.columns = {column("ID", T::Long, 4, jet::column_flag::kAutoLong),
                     column("Customer", T::Text, 20), column("Amount", T::Currency),
                     column("Placed", T::DateTime)};
    auto db = jet::Database::create(path);
    db->begin();
    db->createTable(table);
    for (int i = 1; i <= kRows; ++i)
        db->insertRow("F", {core::Value(), core::Value(customer(i)),
                            core::Value(core::Currency{static_cast<std::int64_t>(i) * 125}),
                            core::Value(core::DateTime{36000.0 + i % 5000})});
    db->commit();
}

const bench::BenchFile kMillionOrders =
    bench::generatedFile("million-orders.mdb", makeMillionOrders);

double peakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

struct Opened {
    data::TADOConnection connection;
    data::TADOQuery query;
    std::unique_ptr<data::RecordFilter> filter;

    explicit Opened(const std::filesystem::path& path) {
        connection.setConnectionString(openString(path));
        query.setConnection(&connection);
        query.setSQL("select * from [F]");
        query.open();
        query.first();
    }

    // What OK in the filter window does with the criterion "C0042" on Customer.
    void filterByCustomer() {
        data::FilterCriterion criterion;
        criterion.fieldLabel = criterion.fieldName = "Customer";
        criterion.value = "c0042";
        filter = std::make_unique<data::RecordFilter>(std::vector{criterion}, query);
        query.setFiltered(false);
        query.setOnFilterRecord(
            [this](data::TCustomADODataSet& records) { return filter->accepts(records); });
        query.setFiltered(true);
    }

    void showFirstScreen() {
        for (std::size_t row = 0; row < kScreenRows; ++row)
            for (std::size_t field = 0; field < query.fieldCount(); ++field)
                benchmark::DoNotOptimize(query.valueAt(row, field));
    }
};

void FirstAcceptedScreen(benchmark::State& state) {
    const auto path = kMillionOrders.locate();
    for (auto _ : state) {
        state.PauseTiming();
        auto opened = std::make_unique<Opened>(path);
        state.ResumeTiming();

        opened->filterByCustomer();
        opened->showFirstScreen();
        if (opened->query.fieldByName("Customer").asString() != "C0042")
            state.SkipWithError("the first record shown is not an accepted one");

        state.PauseTiming();
        opened.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}

void LastAcceptedRecord(benchmark::State& state) {
    const auto path = kMillionOrders.locate();
    for (auto _ : state) {
        state.PauseTiming();
        auto opened = std::make_unique<Opened>(path);
        opened->filterByCustomer();
        opened->showFirstScreen();
        state.ResumeTiming();

        opened->query.last();
        if (opened->query.recNo() != kRows / kCustomers)
            state.SkipWithError("the last record is not the thousandth accepted one");

        state.PauseTiming();
        opened.reset();
        state.ResumeTiming();
    }
    state.counters["accepted"] = kRows / kCustomers;
    state.counters["peak_MiB"] = peakMemoryMiB();
}

} // namespace

BENCHMARK(FirstAcceptedScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(LastAcceptedRecord)->Unit(benchmark::kMillisecond);
