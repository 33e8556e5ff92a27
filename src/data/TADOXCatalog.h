#pragma once
// Makes new database files: the window's ADOXCatalog1. The catalog holds no file open; each
// Create makes one file and lets go of it.
#include <string>
#include <string_view>

namespace data {

class ConnectionString;

class TADOXCatalog {
public:
    // Creates the empty Jet 4 file that the connection string's Data Source names, with its
    // database password (none when the item is missing or empty). Refuses an engine type
    // other than 5 (Jet 4), a file that exists and a folder that does not, with the
    // engine's error.
    void create(std::string_view connectionString);

    // The string of the last successful Create.
    const std::string& activeConnection() const { return activeConnection_; }

private:
    std::string activeConnection_;
};

// The engine type of Jet 4 files, the only kind Tablory writes.
inline constexpr int jet4EngineType = 5;

// Raises unless the engine type is absent or Jet 4.
void requireJet4(const ConnectionString& parsed);

} // namespace data
