// Query speed next to SQLite on the same machine and the same data: a table Big (a million
// rows: ID primary key, K in 0..9999, V a double, S a short text) and Small (10,000 rows
// keyed by K), queried through our SQL engine on a .mdb file and through the sqlite3 program
// on a SQLite file. Every query runs --runs times, alternating between the two engines so that
// load from elsewhere on the machine spreads over both, and the median is reported.
//
// The sqlite3 times include starting the program and printing the rows to /dev/null; ours
// include parsing and planning the statement and reading every row's values. Beside the wall
// times come the CPU times (user + system; sqlite3's from its process), which load from
// elsewhere on a shared machine disturbs less, and the time to our first row.
//
//   bench_sql_queries [--rows N] [--runs N] [--dir PATH]
//
// TABLORY_BENCH_ONLY=TEXT runs only the queries whose name holds TEXT.
#include "Options.h"
#include "Timings.h"
#include "jet/Database.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <random>
#include <sys/resource.h>

namespace fs = std::filesystem;
using bench::shellQuoted;
using bench::Stopwatch;

namespace {

constexpr int kSmallRows = 10'000;

// One row of Big, the same for both engines. V has a fixed number of digits so that both
// read back the same double from the text SQLite is given.
struct BigRow {
    std::int32_t id, k;
    double v;
    std::string s;
};

std::vector<BigRow> makeBig(int rows) {
    std::mt19937 random(42);
    std::vector<BigRow> out;
    out.reserve(std::size_t(rows));
    for (int i = 1; i <= rows; ++i) {
        const double v = double(random() % 100'000'000) / 1e8;
        out.push_back(
            {i, std::int32_t(random() % 10'000), v, "s" + std::to_string(random() % 100'000)});
    }
    return out;
}

std::string smallName(int k) {
    return "name" + std::to_string(k);
}

void writeTablory(const fs::path& file, const std::vector<BigRow>& big) {
    auto database = jet::Database::create(file);
    sql::JetStorage storage(*database);
    sql::Session session(storage);
    session.execute("create table Big (ID long primary key, K long, V double, S text(20))");
    session.execute("create table Small (K long primary key, Name text(30))");
    // Rows go in below the SQL layer: a million INSERT statements would time the parser.
    database->begin();
    for (const auto& r : big)
        database->insertRow(
            "Big", {core::Value(r.id), core::Value(r.k), core::Value(r.v), core::Value(r.s)});
    for (int k = 0; k < kSmallRows; ++k)
        database->insertRow("Small", {core::Value(std::int32_t(k)), core::Value(smallName(k))});
    database->commit();
}

void writeSqlite(const fs::path& file, const fs::path& script, const std::vector<BigRow>& big) {
    {
        std::ofstream out(script);
        out << std::setprecision(17);
        out << "create table Big (ID integer primary key, K integer, V real, S text);\n"
               "create table Small (K integer primary key, Name text);\nbegin;\n";
        for (const auto& r : big)
            out << "insert into Big values (" << r.id << "," << r.k << "," << r.v << ",'" << r.s
                << "');\n";
        for (int k = 0; k < kSmallRows; ++k)
            out << "insert into Small values (" << k << ",'" << smallName(k) << "');\n";
        out << "commit;\n";
    }
    bench::timeShell("sqlite3 " + shellQuoted(file.string()) + " <" + shellQuoted(script.string()));
}

// CPU seconds (user + system) of this process or of its waited-for children.
double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Query {
    std::string name;
    std::string sql;
};

// Runs a statement and reads every value of every row; the row count. `values` counts the
// non-null values read, so that the reading cannot be left out.
// `firstRow` gets the seconds until the first row was there.
std::int64_t runTablory(sql::Session& session, const std::string& sql, std::size_t& values,
                        double& firstRow) {
    Stopwatch watch;
    auto result = session.execute(sql);
    std::int64_t rows = 0;
    std::size_t touched = 0;
    while (result.next()) {
        if (rows == 0) firstRow = watch.seconds();
        ++rows;
        for (const auto& v : result.values()) touched += v.isNull() ? 0 : 1;
    }
    values = touched;
    return rows;
}

} // namespace

int main(int argc, char** argv) try {
    const bench::Options o = bench::parseOptions(
        argc, argv, {.dir = fs::temp_directory_path() / "tablory-sql-queries"}, false);
    if (!bench::haveCommand("sqlite3")) {
        std::cout << "sqlite3 not found: nothing to compare with\n";
        return 1;
    }
    fs::remove_all(o.dir);
    fs::create_directories(o.dir);
    const fs::path mdb = o.dir / "queries.mdb", lite = o.dir / "queries.sqlite",
                   script = o.dir / "queries.sql";

    std::cout << "Building " << o.rows << " + " << kSmallRows << " rows...\n" << std::flush;
    {
        const auto big = makeBig(o.rows);
        Stopwatch w1;
        writeTablory(mdb, big);
        std::cout << "  Tablory file written in " << std::fixed << std::setprecision(2)
                  << w1.seconds() << " s\n";
        Stopwatch w2;
        writeSqlite(lite, script, big);
        std::cout << "  SQLite file written in " << w2.seconds() << " s\n" << std::flush;
    }

    const std::vector<Query> queries = {
        {"equality join, count", "select count(*) from Big, Small where Big.K = Small.K"},
        {"equality join, rows", "select Big.ID, Small.Name from Big, Small where Big.K = Small.K"},
        {"indexed range (ID)", "select * from Big where ID between 1000 and 2000"},
        {"unindexed range (V)", "select * from Big where V between 0.5 and 0.501"},
        {"order by V, all rows", "select * from Big order by V"},
    };

    auto database = jet::Database::open(mdb, "", jet::OpenMode::ReadOnly);
    sql::JetStorage storage(*database);
    sql::Session session(storage);

    struct Line {
        std::int64_t ourRows = 0, theirRows = 0;
        std::size_t values = 0;
        bench::Measurement ours, theirs, oursCpu, theirsCpu, firstRow;
    };
    const char* only = std::getenv("TABLORY_BENCH_ONLY");
    std::vector<Line> lines;
    for (const auto& q : queries) {
        if (only && q.name.find(only) == std::string::npos) continue;
        Line line;
        line.ours = {q.name, "Tablory", 0, {}};
        line.theirs = {q.name, "sqlite3", 0, {}};
        // Row counts, checked once outside the timed runs.
        line.theirRows =
            std::stoll(bench::captureShell("sqlite3 " + shellQuoted(lite.string()) + " " +
                                           shellQuoted("select count(*) from (" + q.sql + ")")));
        for (int run = 0; run < o.runs; ++run) {
            Stopwatch w;
            const double cpu = cpuSeconds(RUSAGE_SELF);
            double first = 0;
            line.ourRows = runTablory(session, q.sql, line.values, first);
            line.ours.seconds.push_back(w.seconds());
            line.oursCpu.seconds.push_back(cpuSeconds(RUSAGE_SELF) - cpu);
            line.firstRow.seconds.push_back(first);
            const double childCpu = cpuSeconds(RUSAGE_CHILDREN);
            line.theirs.seconds.push_back(bench::timeShell("sqlite3 " + shellQuoted(lite.string()) +
                                                           " " + shellQuoted(q.sql) +
                                                           " >/dev/null"));
            line.theirsCpu.seconds.push_back(cpuSeconds(RUSAGE_CHILDREN) - childCpu);
        }
        std::cout << "  " << q.name << ": done\n" << std::flush;
        lines.push_back(std::move(line));
    }

    std::cout << "\n"
              << std::left << std::setw(24) << "query" << std::right << std::setw(10) << "rows"
              << std::setw(12) << "values" << std::setw(14) << "Tablory ms" << std::setw(14)
              << "sqlite3 ms" << std::setw(10) << "ratio" << std::setw(12) << "T cpu ms"
              << std::setw(12) << "S cpu ms" << std::setw(10) << "cpu ratio" << std::setw(12)
              << "T first ms"
              << "\n";
    for (const auto& l : lines) {
        const double ours = l.ours.median() * 1000, theirs = l.theirs.median() * 1000;
        std::cout << std::left << std::setw(24) << l.ours.operation << std::right << std::setw(10)
                  << l.ourRows << std::setw(12) << l.values << std::setw(14) << std::setprecision(1)
                  << ours << std::setw(14) << theirs << std::setw(10) << std::setprecision(1)
                  << ours / theirs << std::setw(12) << l.oursCpu.median() * 1000 << std::setw(12)
                  << l.theirsCpu.median() * 1000 << std::setw(10)
                  << l.oursCpu.median() / l.theirsCpu.median() << std::setw(12)
                  << l.firstRow.median() * 1000
                  << (l.ourRows != l.theirRows
                          ? "  ROW COUNTS DIFFER: sqlite3 " + std::to_string(l.theirRows)
                          : std::string())
                  << "\n";
    }
    std::ifstream loadavg("/proc/loadavg");
    std::string load;
    std::getline(loadavg, load);
    std::cout << "load average at the end: " << load << "\n";
    std::cout << "(median of " << o.runs << " runs; sqlite3 times include starting the program)\n";
    fs::remove_all(o.dir);
    return 0;
} catch (const std::exception& e) {
    std::cerr << "bench_sql_queries: " << e.what() << "\n";
    return 1;
}
