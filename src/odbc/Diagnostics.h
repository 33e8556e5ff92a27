#pragma once
// The diagnostic records a handle keeps for SQLGetDiagRec and SQLGetDiagField, and the
// SQLSTATE an engine error maps to.
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace odbc {

struct DiagRecord {
    std::string state; // five characters
    std::string message;
    int native = 0;
};

// An error the driver itself raises, with its SQLSTATE.
class OdbcError : public std::runtime_error {
public:
    OdbcError(std::string state, const std::string& message)
        : std::runtime_error(message), state_(std::move(state)) {}
    const std::string& state() const { return state_; }

private:
    std::string state_;
};

class Diagnostics {
public:
    void clear() { records_.clear(); }
    // The text gets the driver's prefix, as every ODBC driver's messages do.
    void add(const std::string& state, const std::string& message);
    // Records the exception under the SQLSTATE its kind and Jet text call for.
    void add(const std::exception& error);
    const std::vector<DiagRecord>& records() const { return records_; }
    bool empty() const { return records_.empty(); }

private:
    std::vector<DiagRecord> records_;
};

// "23000" for key and constraint violations, "42S02" for a missing table and so on; HY000
// when nothing more precise fits.
std::string sqlStateOf(const std::exception& error);

// Whether a message is the text `pattern` gives with its quoted names filled in: `pattern`
// is a message function's text for empty names, each '' marking where a name goes.
bool fitsPattern(std::string_view message, std::string_view pattern);

} // namespace odbc
