// tablory-sql: the engine from the command line, for scripts, dumps and checks.
#include "cli/Arguments.h"
#include "cli/CsvExport.h"
#include "cli/CsvImport.h"
#include "cli/Dump.h"
#include "cli/Exec.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "jet/check/IntegrityCheck.h"
#include "jet/compact/Compactor.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <unistd.h>

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
  import FILE TABLE CSVFILE [--create [--currency]] [--delimiter C] [--encoding E]
                  add the rows of a CSV file ('-' reads standard input) to TABLE, columns
                  matched by the header's names; all rows or none. --create makes the table,
                  each column's type read from all of its values (long, double, datetime,
                  yesno, text(n), memo; with --currency, currency instead of double)
  export FILE TABLE|QUERY [--delimiter C]
                  write a table, saved query or select statement as CSV to standard output
  export FILE --all DIR
                  write every user table to DIR/TABLE.csv

CSV: a header row of column names; fields separated by commas (or --delimiter C, 'tab' for
a tab), in double quotes when they hold the delimiter, quotes (written twice) or line
breaks; an unquoted empty field is Null, "" an empty text. Numbers use '.', dates are
YYYY-MM-DD[ HH:MM:SS[.fff]] ('T' also read), yes/no is true/false (also 1/0, -1, yes/no),
binary is hex. UTF-8 (a byte-order mark is skipped) or --encoding windows-1252.

Options:
  --password P    the database password (a file without one opens with any password)
  --help          show this text
  --version       show the version

Errors are reported on standard error; the exit status is then non-zero.
)";

int needFile(const cli::Arguments& args) {
    if (args.positional.size() != 1)
        throw core::Error("The " + args.command + " command takes exactly one FILE.");
    return 0;
}

// The rows imported so far on one line of standard error, when someone watches it.
struct ProgressLine {
    bool shown = false;
    std::function<void(std::uint64_t)> callback() {
        if (!::isatty(STDERR_FILENO)) return {};
        return [this](std::uint64_t rows) {
            shown = true;
            std::cerr << "\rimporting: " << rows << " rows" << std::flush;
        };
    }
    void end() const {
        if (shown) std::cerr << '\n';
    }
};

// Standard input kept in a temporary file, for an import that reads its input twice.
class SpooledInput {
public:
    SpooledInput()
        : path_(std::filesystem::temp_directory_path() /
                ("tablory-import-" + std::to_string(::getpid()) + ".csv")) {
        std::ofstream copy(path_, std::ios::binary);
        if (std::cin.peek() != std::char_traits<char>::eof()) copy << std::cin.rdbuf();
        if (!copy.flush()) throw core::IoError("Cannot keep standard input in " + path_.string());
    }
    ~SpooledInput() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    SpooledInput(const SpooledInput&) = delete;
    SpooledInput& operator=(const SpooledInput&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

int importCommand(const cli::Arguments& args, const std::string& password) {
    if (args.positional.size() != 3)
        throw core::Error("The import command takes a FILE, a TABLE and a CSVFILE.");
    ProgressLine progress;
    cli::CsvImportOptions options;
    options.delimiter = cli::delimiterOf(args);
    if (args.encoding) options.encoding = cli::csvEncodingNamed(*args.encoding);
    options.create = args.create;
    options.currency = args.currency;
    options.progress = progress.callback();
    const std::string& csv = args.positional[2];
    const bool fromStdin = csv == "-";
    std::optional<SpooledInput> spooled;
    if (fromStdin && args.create) spooled.emplace();
    cli::CsvSource source = [&]() -> std::unique_ptr<std::istream> {
        if (fromStdin && !spooled) return std::make_unique<std::istream>(std::cin.rdbuf());
        auto in = std::make_unique<std::ifstream>(
            spooled ? spooled->path() : std::filesystem::path(csv), std::ios::binary);
        if (!*in) throw core::IoError("Cannot open " + csv + ".");
        return in;
    };
    try {
        auto db = jet::Database::open(args.positional[0], password, jet::OpenMode::ReadWrite);
        const auto rows = cli::importCsv(*db, args.positional[1], source, options, std::cerr);
        progress.end();
        std::cerr << "imported " << rows << (rows == 1 ? " row\n" : " rows\n");
    } catch (...) {
        progress.end();
        throw;
    }
    return 0;
}

int exportCommand(const cli::Arguments& args, const std::string& password) {
    const char delimiter = cli::delimiterOf(args);
    if (args.positional.size() != 2)
        throw core::Error(args.all ? "export --all takes a FILE and a folder."
                                   : "The export command takes a FILE and a TABLE or QUERY.");
    auto db = jet::Database::open(args.positional[0], password);
    if (args.all) {
        cli::exportAllCsv(*db, args.positional[1], delimiter, std::cerr);
    } else {
        cli::exportCsv(*db, args.positional[1], std::cout, delimiter);
    }
    return 0;
}

int run(const cli::Arguments& args) {
    if (args.version) {
        std::cout << "tablory-sql " << TABLORY_VERSION << '\n';
        return 0;
    }
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
        auto db = jet::Database::open(args.positional[0], password, jet::OpenMode::ReadWrite);
        // The arguments in order; a "-" runs standard input's statements as they are read.
        // A script piped in has its results written in large blocks, not flushed before every
        // line read; someone typing statements sees each one's result before the next.
        if (!::isatty(STDIN_FILENO)) std::cin.tie(nullptr);
        cli::StatementReader input(std::cin);
        std::size_t argument = 1;
        bool reading = false;
        auto next = [&](std::string& statement) {
            for (;;) {
                if (reading) {
                    if (input.next(statement)) return true;
                    reading = false;
                }
                if (argument == args.positional.size()) return false;
                const std::string& given = args.positional[argument++];
                if (given == "-") {
                    reading = true;
                    continue;
                }
                statement = given;
                return true;
            }
        };
        cli::execStatements(*db, next, args.json, std::cout);
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
    if (args.command == "import") return importCommand(args, password);
    if (args.command == "export") return exportCommand(args, password);
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
