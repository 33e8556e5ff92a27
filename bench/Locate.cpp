// The locate dialog's search on a million-row table with a primary key on ID: First with an
// exact match on the indexed ID (the record near the end), and a Next that scans every record
// and finds nothing (Name containing "zzz"). Each run opens the table afresh, as the browser
// does when the user picks it; the open is not timed. Medians of five runs.
//   bench_locate [--runs N] [--only TEXT]
// --only TEXT runs only the searches whose description holds TEXT.
#include "BenchFile.h"
#include "JetTables.h"
#include "Statement.h"
#include "Timings.h"
#include "data/LocateSearch.h"
#include "data/TADOConnection.h"
#include "data/TADOQuery.h"
#include "data/TField.h"
#include "jet/Database.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using bench::column;
using bench::openString;

constexpr int kRows = 1'000'000;

// K: ID long (primary key), Name text(50), Amount currency.
void makeTable(const std::filesystem::path& path) {
    using T = jet::ColumnType;
    {
        auto db = jet::Database::create(path);
        db->begin();
        jet::TableSchema table;
        table.name = "K";
        table.columns = {column("ID", T::Long, 4), column("Name", T::Text, 100),
                         column("Amount", T::Currency)};
        db->createTable(table);
        for (int i = 1; i <= kRows; ++i)
            db->insertRow("K", {core::Value(std::int32_t{i}),
                                core::Value("Name " + std::to_string((i * 7919LL) % kRows)),
                                core::Value(core::Currency{static_cast<std::int64_t>(i) * 125})});
        db->commit();
    }
    bench::executeStatement(path, "create unique index PrimaryKey on K (ID) with primary");
}

const bench::BenchFile kFile = bench::generatedFile("locate.mdb", makeTable);

// Opens K at its first record, runs the search and returns its time and whether it matched.
double timedSearch(const std::filesystem::path& path, const data::LocateRequest& request,
                   bool first, bool& found, std::string& id) {
    data::TADOConnection connection;
    connection.setConnectionString(openString(path));
    data::TADOQuery query;
    query.setConnection(&connection);
    query.setSQL("select * from [K]");
    query.open();
    bench::Stopwatch watch;
    found = data::locateRecord(query, request, first);
    const double seconds = watch.seconds();
    id = query.fieldByName("ID").asString();
    return seconds;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    std::string only;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--only") == 0) only = argv[i + 1];
    }
    const auto path = kFile.locate();
    struct Step {
        const char* what;
        data::LocateRequest request;
        bool first;
        double goal;
    };
    const Step steps[] = {
        {"First, exact ID 999990 (indexed)",
         {"ID", "999990", data::MatchType::Exact, false},
         true,
         0.010},
        {"Next, Name anywhere 'zzz' (no match)",
         {"Name", "zzz", data::MatchType::PartialMatchAny, false},
         false,
         1.0},
    };
    std::printf("%-40s %10s %10s  %s\n", "search", "median s", "goal s", "result");
    for (const Step& step : steps) {
        if (std::string(step.what).find(only) == std::string::npos) continue;
        std::vector<double> times;
        bool found = false;
        std::string id;
        for (int run = 0; run < runs; ++run)
            times.push_back(timedSearch(path, step.request, step.first, found, id));
        std::sort(times.begin(), times.end());
        std::printf("%-40s %10.4f %10.3f  %s (current ID %s)\n", step.what, times[times.size() / 2],
                    step.goal, found ? "found" : "not found", id.c_str());
    }
    return 0;
}
