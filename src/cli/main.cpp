// tablory-sql: the engine from the command line, for scripts, dumps and checks.
#include "cli/Arguments.h"
#include "cli/Dump.h"
#include "cli/Exec.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "jet/check/IntegrityCheck.h"
#include "jet/compact/Compactor.h"

#include <iostream>

namespace {

constexpr const char* kUsage = R"(Usage: tablory-sql COMMAND [ARGUMENTS] [--password P]

Commands:
  tables FILE     list the user tables and views (saved select queries), one per line
  dump FILE       print every user table as JSON lines: a header line with the columns,
                  then one array per row, tables sorted by name, rows in stored order
  exec FILE [--json] SQL ...
                  run each SQL argument as one statement, in order; '-' reads statements
                  from standard input, each ended by a ';' at the end of a line. Results
                  print as an aligned table, or with --json as a header line
                  {"columns":[[NAME,TYPE,SIZE],...]} and one JSON array per row; other
                  statements print the rows they changed ({"rowsAffected":N} with --json)
  create FILE     make a new, empty Access 2000-2003 database (with --password, protected)
  compact SOURCE DEST
                  write a compacted copy of SOURCE to the new file DEST (same password)
  check FILE      verify the file's structure: header, catalog, table definitions, usage
                  maps, rows, long values, counters; exit status 0 only when all hold

Options:
  --password P    the database password (a file without one opens with any password)
  --help          show this text

Errors are reported on standard error; the exit status is then non-zero.
)";

int needFile(const cli::Arguments& args) {
    if (args.positional.size() != 1)
        throw core::Error("The " + args.command + " command takes exactly one FILE.");
    return 0;
}

int run(const cli::Arguments& args) {
    if (args.help || args.command.empty() || args.command == "help") {
        std::cout << kUsage;
        return args.command.empty() && !args.help ? 2 : 0;
    }
    const std::string password = args.password.value_or("");
    if (args.command == "tables") {
        needFile(args);
        auto db = jet::Database::open(args.positional[0], password);
        for (const auto& name : db->tableNames()) std::cout << name << '\n';
        for (const auto& name : db->viewNames()) std::cout << name << '\n';
        return 0;
    }
    if (args.command == "dump") {
        needFile(args);
        auto db = jet::Database::open(args.positional[0], password);
        cli::dumpDatabase(*db, std::cout);
        std::cout.flush();
        return std::cout ? 0 : 1;
    }
    if (args.command == "exec") {
        if (args.positional.size() < 2)
            throw core::Error("The exec command takes a FILE and at least one statement.");
        std::vector<std::string> statements;
        for (std::size_t i = 1; i < args.positional.size(); ++i) {
            if (args.positional[i] == "-") {
                auto more = cli::splitStatements(std::cin);
                statements.insert(statements.end(), more.begin(), more.end());
            } else {
                statements.push_back(args.positional[i]);
            }
        }
        auto db = jet::Database::open(args.positional[0], password, jet::OpenMode::ReadWrite);
        cli::execStatements(*db, statements, args.json, std::cout);
        return 0;
    }
    if (args.command == "create") {
        needFile(args);
        jet::Database::create(args.positional[0], password);
        return 0;
    }
    if (args.command == "compact") {
        if (args.positional.size() != 2)
            throw core::Error("The compact command takes a SOURCE and a DEST file.");
        bool progressShown = false;
        try {
            jet::compactDatabase(args.positional[0], args.positional[1], password,
                                 [&](std::uint64_t done, std::uint64_t total) {
                                     progressShown = true;
                                     std::cerr << "\rcompacting: " << done << " of " << total
                                               << " rows" << std::flush;
                                 });
        } catch (...) {
            // The error goes on a line of its own, not after the progress text.
            if (progressShown) std::cerr << '\n';
            throw;
        }
        std::cerr << '\n';
        return 0;
    }
    if (args.command == "check") {
        needFile(args);
        auto db = jet::Database::open(args.positional[0], password);
        auto report = jet::checkDatabase(*db);
        for (const auto& problem : report.problems) std::cout << problem << '\n';
        for (const auto& note : report.notes) std::cout << "note: " << note << '\n';
        std::cout << (report.ok() ? "ok: " : "damaged: ") << report.tables << " tables, "
                  << report.rows << " rows, " << report.pages << " pages checked\n";
        return report.ok() ? 0 : 1;
    }
    throw core::Error("Unknown command '" + args.command + "'. Try tablory-sql --help.");
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    try {
        return run(cli::parseArguments(argc, argv));
    } catch (const std::exception& e) {
        std::cerr << "tablory-sql: " << e.what() << '\n';
        return 1;
    }
}
