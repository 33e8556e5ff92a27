// Loading a script of single-row INSERT statements inside one transaction, as a user pipes
// one into `tablory-sql exec FILE -`, next to the sqlite3 program reading the same rows as
// its own INSERT statements. Both times are wall times of the whole program, parsing every
// statement included; each run starts from an empty file; the median of the runs is shown.
//
//   bench_exec_load [ROWS [RUNS]]      (defaults: 300000 rows, 3 runs)
#include "Timings.h"

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// One script per engine: the same rows, each engine's date literal.
void writeScripts(int rows, const fs::path& jet, const fs::path& sqlite) {
    std::ofstream j(jet), s(sqlite);
    j << "create table People (ID long primary key, Name text(50), Born datetime, "
         "Salary currency, Score double, Note memo);\nbegin transaction;\n";
    s << "create table People (ID integer primary key, Name text, Born text, Salary numeric, "
         "Score real, Note text);\nbegin;\n";
    std::mt19937 random(7);
    for (int i = 1; i <= rows; ++i) {
        std::ostringstream date, rest;
        date << 1950 + i % 50 << '-' << std::setw(2) << std::setfill('0') << 1 + i % 12 << '-'
             << std::setw(2) << 1 + i % 28;
        rest << random() % 100'000 << '.' << std::setw(2) << std::setfill('0') << i % 100 << ", "
             << double(random() % 1'000'000) / 1000 << ", 'note " << i << "');\n";
        const std::string head =
            "insert into People (ID, Name, Born, Salary, Score, Note) values (" +
            std::to_string(i) + ", 'Person " + std::to_string(i) + "', ";
        j << head << '#' << date.str() << "#, " << rest.str();
        s << head << '\'' << date.str() << "', " << rest.str();
    }
    j << "commit transaction;\n";
    s << "commit;\n";
}

} // namespace

int main(int argc, char** argv) try {
    const int rows = argc > 1 ? std::stoi(argv[1]) : 300'000;
    const int runs = argc > 2 ? std::stoi(argv[2]) : 3;
    if (rows < 1 || runs < 1) throw std::runtime_error("ROWS and RUNS must be positive");
    if (!bench::haveCommand("sqlite3")) throw std::runtime_error("sqlite3 not found");
    const fs::path dir = fs::temp_directory_path() / "tablory-exec-load";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path jetScript = dir / "load.sql", liteScript = dir / "load-sqlite.sql",
                   mdb = dir / "load.mdb", lite = dir / "load.sqlite";
    writeScripts(rows, jetScript, liteScript);
    const std::string program = bench::shellQuoted(TABLORY_SQL_PROGRAM);

    bench::Measurement ours{"load", "tablory-sql exec", rows, {}};
    bench::Measurement theirs{"load", "sqlite3", rows, {}};
    for (int run = 0; run < runs; ++run) {
        fs::remove(mdb);
        fs::remove(lite);
        bench::timeShell(program + " create " + bench::shellQuoted(mdb.string()));
        ours.seconds.push_back(
            bench::timeShell(program + " exec " + bench::shellQuoted(mdb.string()) + " - <" +
                             bench::shellQuoted(jetScript.string()) + " >/dev/null"));
        theirs.seconds.push_back(bench::timeShell("sqlite3 " + bench::shellQuoted(lite.string()) +
                                                  " <" + bench::shellQuoted(liteScript.string())));
    }
    // Both files must hold every row, or the times mean nothing.
    const std::string ourCount =
        bench::captureShell(program + " exec --json " + bench::shellQuoted(mdb.string()) +
                            " 'select count(*) from People'");
    const std::string theirCount = bench::captureShell(
        "sqlite3 " + bench::shellQuoted(lite.string()) + " 'select count(*) from People'");
    std::cout << "rows: " << rows << "\nTablory: " << ourCount << "sqlite3: " << theirCount
              << std::fixed << std::setprecision(2) << "tablory-sql exec: " << ours.median()
              << " s (" << rows / ours.median() << " statements/s)\nsqlite3: " << theirs.median()
              << " s (" << rows / theirs.median() << " statements/s)\n(median of " << runs
              << " runs; script " << fs::file_size(jetScript) / (1024 * 1024) << " MiB)\n";
    fs::remove_all(dir);
    return 0;
} catch (const std::exception& e) {
    std::cerr << "bench_exec_load: " << e.what() << "\n";
    return 1;
}
