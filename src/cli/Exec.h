#pragma once
// `tablory-sql exec`: runs statements on a file and prints their results, as an aligned
// table or as JSON lines.
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace jet {
class Database;
}

namespace cli {

// Statements read from a stream one at a time, so that a script of a million statements
// runs as it is read instead of being held whole: each ends with a ';' at the end of a line.
class StatementReader {
public:
    explicit StatementReader(std::istream& in) : in_(in) {}
    // Puts the next statement in `statement` (its storage is reused); false at the end.
    bool next(std::string& statement);

private:
    std::istream& in_;
    std::string line_;
};

// Runs each statement in order on the database; the first failure stops the run (the
// failed statement changes nothing). Returns normally when all ran.
void execStatements(jet::Database& db, const std::vector<std::string>& statements, bool json,
                    std::ostream& out);
// The same for statements `next` gives one at a time (false when there are no more).
void execStatements(jet::Database& db, const std::function<bool(std::string&)>& next, bool json,
                    std::ostream& out);

} // namespace cli
