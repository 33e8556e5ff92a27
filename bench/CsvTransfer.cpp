// CSV in and out: `tablory-sql import` of a four-column CSV file into an existing table with a
// primary key, next to `sqlite3 .import` of the same file into the same table, and `tablory-sql
// export` next to sqlite3's CSV output of it. Both are wall times of the whole program; each
// import run starts from a file holding only the empty table; the median of the runs is shown.
//
//   bench_csv_transfer [--rows N] [--runs N] [--dir PATH] [--keep]
//   (defaults: 1,000,000 rows, 3 runs, a folder under the system's temporary folder)
#include "Options.h"
#include "Timings.h"

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>

namespace fs = std::filesystem;

namespace {

// ID (the key), a name, a date and a double: the same bytes for both programs.
void writeCsv(int rows, const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "ID,Name,Born,Score\r\n";
    for (int i = 1; i <= rows; ++i) {
        out << i << ",Person " << i << ',' << 1950 + i % 50 << '-' << std::setw(2)
            << std::setfill('0') << 1 + i % 12 << '-' << std::setw(2) << 1 + i % 28 << ','
            << (i % 100'000) / 8.0 << "\r\n";
    }
}

void printLine(const bench::Measurement& m) {
    std::cout << std::left << std::setw(8) << m.operation << std::setw(22) << m.tool << std::right
              << std::fixed << std::setprecision(2) << std::setw(8) << m.median() << " s"
              << std::setw(12) << std::setprecision(0) << m.rows / m.median() << " rows/s\n";
}

} // namespace

int main(int argc, char** argv) try {
    const auto options = bench::parseOptions(
        argc, argv, {1'000'000, 3, fs::temp_directory_path() / "tablory-csv-transfer", false},
        true);
    if (!bench::haveCommand("sqlite3")) throw std::runtime_error("sqlite3 not found");
    const fs::path dir = options.dir;
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path csv = dir / "people.csv", mdb = dir / "people.mdb", lite = dir / "people.sqlite";
    writeCsv(options.rows, csv);
    const std::string program = bench::shellQuoted(TABLORY_SQL_PROGRAM);
    const std::string q_mdb = bench::shellQuoted(mdb.string()),
                      q_lite = bench::shellQuoted(lite.string()),
                      q_csv = bench::shellQuoted(csv.string());

    bench::Measurement ourImport{"import", "tablory-sql import", options.rows, {}};
    bench::Measurement theirImport{"import", "sqlite3 .import", options.rows, {}};
    bench::Measurement ourExport{"export", "tablory-sql export", options.rows, {}};
    bench::Measurement theirExport{"export", "sqlite3 -csv", options.rows, {}};
    for (int run = 0; run < options.runs; ++run) {
        fs::remove(mdb);
        fs::remove(lite);
        bench::timeShell(program + " create " + q_mdb + " && " + program + " exec " + q_mdb +
                         " 'create table People (ID long primary key, Name text(50), "
                         "Born datetime, Score double)' >/dev/null");
        bench::timeShell("sqlite3 " + q_lite +
                         " 'create table People (ID integer primary key, Name text, Born text, "
                         "Score real)'");
        ourImport.seconds.push_back(
            bench::timeShell(program + " import " + q_mdb + " People " + q_csv + " 2>/dev/null"));
        theirImport.seconds.push_back(bench::timeShell(
            "sqlite3 " + q_lite + " '.import --csv --skip 1 " + csv.string() + " People'"));
        ourExport.seconds.push_back(
            bench::timeShell(program + " export " + q_mdb + " People >" +
                             bench::shellQuoted((dir / "ours.csv").string())));
        theirExport.seconds.push_back(
            bench::timeShell("sqlite3 -csv -header " + q_lite + " 'select * from People' >" +
                             bench::shellQuoted((dir / "theirs.csv").string())));
    }
    // Both must hold every row, or the times mean nothing.
    const std::string ourCount =
        bench::captureShell(program + " exec --json " + q_mdb + " 'select count(*) from People'");
    const std::string theirCount =
        bench::captureShell("sqlite3 " + q_lite + " 'select count(*) from People'");
    std::cout << "rows: " << options.rows << " (CSV " << fs::file_size(csv) / (1024 * 1024)
              << " MiB)\nTablory count: " << ourCount << "sqlite3 count: " << theirCount;
    for (const auto* m : {&ourImport, &theirImport, &ourExport, &theirExport}) printLine(*m);
    std::cout << "import ratio " << std::setprecision(2)
              << ourImport.median() / theirImport.median() << "x, export ratio "
              << ourExport.median() / theirExport.median() << "x (median of " << options.runs
              << " runs)\n";
    if (!options.keep) fs::remove_all(dir);
    return 0;
} catch (const std::exception& e) {
    std::cerr << "bench_csv_transfer: " << e.what() << "\n";
    return 1;
}
