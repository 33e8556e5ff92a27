#pragma once
// `tablory-sql import`: the rows of a CSV file into a table, matched by the header's column
// names, as one transaction: every row lands or none does.
#include "cli/CsvReader.h"

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

namespace jet {
class Database;
}

namespace cli {

struct CsvImportOptions {
    char delimiter = ',';
    CsvEncoding encoding = CsvEncoding::Utf8;
    // Make the table, its column types inferred from every value of the file.
    bool create = false;
    // With `create`: numbers with up to four decimals make currency columns, not double.
    bool currency = false;
    // Called every few thousand rows with the count so far.
    std::function<void(std::uint64_t rows)> progress;
};

// Opens the input from its start; `create` reads it twice (types, then rows).
using CsvSource = std::function<std::unique_ptr<std::istream>()>;

// Returns the rows imported. An unknown or repeated column name in the header is refused
// before anything is written; a value that does not fit (named by line and column), a broken
// quote or a broken rule of the table undoes everything. With `create`, the inferred types
// are written to `notes`.
std::uint64_t importCsv(jet::Database& db, const std::string& table, const CsvSource& source,
                        const CsvImportOptions& options, std::ostream& notes);

} // namespace cli
