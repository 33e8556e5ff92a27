// Write speed, side by side with other tools on the same machine and the same data: our
// engine inserts a million rows into a new .mdb in one transaction, then dumps and scans it;
// mdb-export (mdbtools) and mdb-reader (JavaScript) read the file it wrote; sqlite3 inserts
// the same rows in one transaction (from INSERT statements and from a CSV) and reads them
// back. Every step runs --runs times, interleaved so that load from elsewhere on the machine
// spreads over all of them, and the median is reported.
//
//   bench_bulk [--rows N] [--runs N] [--dir PATH] [--keep]
#include "BulkRows.h"
#include "Options.h"
#include "Timings.h"
#include "cli/Dump.h"
#include "jet/Database.h"

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using bench::shellQuoted;
using bench::Stopwatch;

namespace {

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

// --- our engine ---------------------------------------------------------------------------

// Building the rows' values alone, so that its share of the insert time is known.
double generateOnly(int rows) {
    Stopwatch watch;
    std::size_t sink = 0;
    for (int i = 0; i < rows; ++i) sink += bench::bulkRow(i)[1].get<std::string>().size();
    double s = watch.seconds();
    if (sink == 0) std::cerr << "(no labels?)\n";
    return s;
}

// A new file, the table made, then the timed part: every row inserted and the commit (which
// writes the pages and syncs the file).
double engineInsert(const fs::path& file, int rows) {
    fs::remove(file);
    auto db = jet::Database::create(file);
    db->begin();
    db->createTable(bench::bulkSchema());
    Stopwatch watch;
    for (int i = 0; i < rows; ++i) db->insertRow(bench::kBulkTable, bench::bulkRow(i));
    db->commit();
    return watch.seconds();
}

// Opening the file is part of both reads, as it is for the other readers.
double engineDump(const fs::path& file) {
    Stopwatch watch;
    auto db = jet::Database::open(file);
    std::ofstream out("/dev/null");
    cli::dumpDatabase(*db, out);
    out.flush();
    return watch.seconds();
}

double engineScan(const fs::path& file, int rows) {
    Stopwatch watch;
    auto db = jet::Database::open(file);
    auto table = db->table(bench::kBulkTable);
    std::size_t columns = table.schema().columns.size();
    auto cursor = table.scan();
    std::int64_t count = 0, nulls = 0;
    while (cursor.next()) {
        for (std::size_t c = 0; c < columns; ++c) nulls += cursor.value(c).isNull();
        ++count;
    }
    double s = watch.seconds();
    if (count != rows || nulls != 0)
        throw std::runtime_error("scan read " + std::to_string(count) + " rows, " +
                                 std::to_string(nulls) + " nulls");
    return s;
}

// --- SQLite's input, written once and not timed ------------------------------------------

void writeSqliteInputs(const fs::path& sql, const fs::path& csv, const fs::path& importScript,
                       int rows) {
    std::ofstream sqlOut(sql, std::ios::binary), csvOut(csv, std::ios::binary);
    std::string sqlText = bench::bulkSqlCreate() + "BEGIN;\n", csvText;
    for (int i = 0; i < rows; ++i) {
        bench::appendBulkSqlInsert(sqlText, i);
        bench::appendBulkCsvLine(csvText, i);
        if (sqlText.size() > (1 << 20)) {
            sqlOut << sqlText;
            sqlText.clear();
        }
        if (csvText.size() > (1 << 20)) {
            csvOut << csvText;
            csvText.clear();
        }
    }
    sqlOut << sqlText << "COMMIT;\n";
    csvOut << csvText;
    // .import runs inside one transaction of its own when none is open.
    std::ofstream(importScript) << bench::bulkSqlCreate() << ".mode csv\n.import " << csv.string()
                                << " T\n";
}

// --- the table ----------------------------------------------------------------------------

void printTable(const std::vector<bench::Measurement>& all) {
    std::cout << "\n"
              << std::left << std::setw(34) << "operation" << std::setw(30) << "tool" << std::right
              << std::setw(10) << "median s" << std::setw(13) << "rows/s"
              << "   runs (s)\n"
              << std::string(100, '-') << "\n";
    for (const auto& m : all) {
        if (m.seconds.empty()) continue;
        double med = m.median();
        std::ostringstream runs;
        for (double s : m.seconds) runs << ' ' << std::fixed << std::setprecision(3) << s;
        std::cout << std::left << std::setw(34) << m.operation << std::setw(30) << m.tool
                  << std::right << std::fixed << std::setprecision(3) << std::setw(10) << med
                  << std::setw(13) << std::setprecision(0)
                  << (m.rows > 0 ? static_cast<double>(m.rows) / med : 0.0) << "  " << runs.str()
                  << "\n";
    }
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string sizeOf(const fs::path& p) {
    if (!fs::exists(p)) return "-";
    auto bytes = fs::file_size(p);
    std::ostringstream s;
    s << bytes << " bytes (" << std::fixed << std::setprecision(1)
      << static_cast<double>(bytes) / (1024.0 * 1024.0) << " MiB)";
    return s.str();
}

int run(const bench::Options& o) {
    fs::create_directories(o.dir);
    const fs::path mdb = o.dir / "bulk.mdb";
    const fs::path sql = o.dir / "bulk.sql", csv = o.dir / "bulk.csv";
    const fs::path importScript = o.dir / "bulk-import.sqlite3";
    const fs::path sqliteDb = o.dir / "bulk.sqlite", sqliteCsvDb = o.dir / "bulk-csv.sqlite";
    const fs::path readerOut = o.dir / "mdb-reader.out";
    std::string readerSaw;
    const fs::path readerScript = fs::path(TABLORY_BENCH_SOURCE_DIR) / "read-with-mdb-reader.mjs";
    const fs::path nodeModules = TABLORY_BENCH_NODE_MODULES;

    const bool mdbtools = bench::haveCommand("mdb-export");
    const bool sqlite = bench::haveCommand("sqlite3");
    const bool mdbReader = bench::haveCommand("node") && fs::exists(nodeModules / "mdb-reader");

    std::cout << "bench_bulk: " << o.rows << " rows, " << o.runs << " runs, files in " << o.dir
              << "\nhardware threads: " << std::thread::hardware_concurrency()
              << ", load average at start: " << loadAverage() << "\n";
    if (!mdbtools) std::cout << "mdb-export not found: skipped\n";
    if (!sqlite) std::cout << "sqlite3 not found: skipped\n";
    if (!mdbReader)
        std::cout << "node or " << (nodeModules / "mdb-reader") << " missing: skipped\n";

    if (sqlite) writeSqliteInputs(sql, csv, importScript, o.rows);

    const std::int64_t rows = o.rows;
    std::vector<bench::Measurement> all = {
        {"build the row values (in insert)", "tablory", rows, {}},
        {"insert + commit, one transaction", "tablory", rows, {}},
        {"insert + commit, one transaction", "sqlite3 (INSERT statements)", rows, {}},
        {"insert + commit, one transaction", "sqlite3 (.import CSV)", rows, {}},
        {"read all rows to /dev/null", "tablory dump (JSON lines)", rows, {}},
        {"read all rows to /dev/null", "mdb-export (mdbtools)", rows, {}},
        {"read all rows to /dev/null", "sqlite3 select *", rows, {}},
        {"read every value in memory", "tablory scan", rows, {}},
        {"read every value in memory", "mdb-reader (node)", rows, {}},
    };
    auto at = [&](std::size_t i) -> std::vector<double>& { return all[i].seconds; };

    for (int r = 0; r < o.runs; ++r) {
        std::cout << "run " << r + 1 << "/" << o.runs << "..." << std::flush;
        at(0).push_back(generateOnly(o.rows));
        at(1).push_back(engineInsert(mdb, o.rows));
        at(4).push_back(engineDump(mdb));
        at(7).push_back(engineScan(mdb, o.rows));
        if (mdbtools)
            at(5).push_back(bench::timeShell("mdb-export " + shellQuoted(mdb) + " T >/dev/null"));
        if (mdbReader) {
            // Its one line of output (the rows and values it saw) is kept for the checks.
            at(8).push_back(bench::timeShell("node " + shellQuoted(readerScript) + " " +
                                             shellQuoted(mdb) + " T " + shellQuoted(nodeModules) +
                                             " >" + shellQuoted(readerOut)));
            readerSaw = readFile(readerOut);
        }
        if (sqlite) {
            fs::remove(sqliteDb);
            fs::remove(sqliteCsvDb);
            at(2).push_back(
                bench::timeShell("sqlite3 " + shellQuoted(sqliteDb) + " <" + shellQuoted(sql)));
            at(3).push_back(bench::timeShell("sqlite3 " + shellQuoted(sqliteCsvDb) + " <" +
                                             shellQuoted(importScript)));
            at(6).push_back(bench::timeShell("sqlite3 " + shellQuoted(sqliteDb) +
                                             " 'select * from T' >/dev/null"));
        }
        std::cout << " done\n";
    }

    // Every reader must have seen every row, or its time means nothing. Checked once, after
    // the timed runs.
    std::cout << "checks (not timed):\n";
    if (mdbtools) {
        auto lines = bench::captureShell("mdb-export " + shellQuoted(mdb) + " T | wc -l");
        std::cout << "  mdb-export lines (with header): " << std::stoll(lines) << "\n";
    }
    if (mdbReader) std::cout << "  mdb-reader (last timed run): " << readerSaw;
    if (sqlite) {
        std::cout << "  sqlite3 rows (INSERT / .import): "
                  << std::stoll(bench::captureShell("sqlite3 " + shellQuoted(sqliteDb) +
                                                    " 'select count(*) from T'"))
                  << " / "
                  << std::stoll(bench::captureShell("sqlite3 " + shellQuoted(sqliteCsvDb) +
                                                    " 'select count(*) from T'"))
                  << "\n";
    }

    printTable(all);
    std::cout << "\nfile sizes:\n"
              << "  .mdb (tablory)             " << sizeOf(mdb) << "\n"
              << "  SQLite (INSERT statements) " << sizeOf(sqliteDb) << "\n"
              << "  SQLite (.import CSV)       " << sizeOf(sqliteCsvDb) << "\n"
              << "  SQL input text             " << sizeOf(sql) << "\n"
              << "  CSV input text             " << sizeOf(csv) << "\n"
              << "load average at end: " << loadAverage() << "\n";

    if (!o.keep) {
        for (const auto& p : {mdb, sql, csv, importScript, sqliteDb, sqliteCsvDb, readerOut})
            fs::remove(p);
        fs::remove(o.dir); // only if empty
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(bench::parseOptions(argc, argv,
                                       {.dir = fs::temp_directory_path() / "tablory-bulk"}, true));
    } catch (const std::exception& e) {
        std::cerr << "bench_bulk: " << e.what() << "\n";
        return 1;
    }
}
