#pragma once
// `tablory-sql exec`: runs statements on a file and prints their results, as an aligned
// table or as JSON lines.
#include <iosfwd>
#include <string>
#include <vector>

namespace jet {
class Database;
}

namespace cli {

// Statements from standard input: each ends with a ';' at the end of a line.
std::vector<std::string> splitStatements(std::istream& in);

// Runs each statement in order on the database; the first failure stops the run (the
// failed statement changes nothing). Returns normally when all ran.
void execStatements(jet::Database& db, const std::vector<std::string>& statements, bool json,
                    std::ostream& out);

} // namespace cli
