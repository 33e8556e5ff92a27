#pragma once
// `tablory-sql export`: a table, a saved query or a select statement as CSV in the dialect
// `import` reads, so that an export imported into a table of the same definition gives back
// the same rows.
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

namespace jet {
class Database;
}

namespace cli {

// `source` is a table name, a saved select query's name or a statement that returns rows.
// Writes a header row, then one record per row; returns the number of rows.
std::uint64_t exportCsv(jet::Database& db, const std::string& source, std::ostream& out,
                        char delimiter);

// Every user table to `folder`/NAME.csv, each written beside its name first and renamed over
// it, so that an existing export is never left half-written. Says each file on `notes`.
void exportAllCsv(jet::Database& db, const std::filesystem::path& folder, char delimiter,
                  std::ostream& notes);

} // namespace cli
