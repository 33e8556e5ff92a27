#pragma once
// The window's one connection to a Jet file: opens the file named by its connection string
// (read-write, locked against other writers), runs statements on it through the SQL engine,
// and lists its tables and columns. Commands and data sets work through it; an operation
// that finds it closed opens it with the string it holds.
#include "data/ConnectionClient.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace jet {
class Database;
}
namespace sql {
class Session;
class Storage;
} // namespace sql

namespace data {

class TADOConnection {
public:
    explicit TADOConnection(std::string name = "ADOConnection1");
    // Closes the connection: data sets on it close, commands drop their link.
    ~TADOConnection();
    TADOConnection(const TADOConnection&) = delete;
    TADOConnection& operator=(const TADOConnection&) = delete;

    const std::string& name() const { return name_; }

    const std::string& connectionString() const { return connectionString_; }
    // Refused while the connection is open.
    void setConnectionString(std::string text);

    // Kept as the original keeps it; the connection shows no login box of its own.
    bool loginPrompt() const { return loginPrompt_; }
    void setLoginPrompt(bool prompt) { loginPrompt_ = prompt; }

    // Opens the file the string names, with its password ("Jet OLEDB:Database Password",
    // empty when the item is missing). The provider's error passes through unchanged, and
    // the connection stays closed. Nothing happens when it is open already.
    void open();
    // Data sets on the connection close (discarding unposted changes) and commands drop
    // their link. Nothing happens when it is closed.
    void close();
    bool connected() const { return session_ != nullptr; }
    void setConnected(bool connected) { connected ? open() : close(); }

    // Works on tables held elsewhere (MemoryStorage for scratch work and tests) instead of
    // a file; the connection string is not consulted. Closes first.
    void openOn(std::unique_ptr<sql::Storage> storage);

    // User tables, then saved select queries, each in order of name without regard to case
    // (the order of the tables schema rowset). Opens the connection if needed.
    std::vector<std::string> tableNames();
    // The columns of a table or saved query, in column order; empty when there is no such
    // table (as the columns schema rowset restricted to an unknown name). Opens if needed.
    std::vector<std::string> fieldNames(std::string_view table);

    // Whether the file the string names holds a change that was cut off: opening rolls it
    // back first, which for a large change takes a while. False for a string that names no
    // file, which opening refuses.
    bool needsRecovery() const;
    // Whether opening found a journal left by an interrupted change and rolled it back.
    bool recoveredJournal() const;
    // Whether the file could only be opened for reading (changes are then refused).
    bool readOnly() const;

    // For the layer's own components: opens if closed, then the engine.
    sql::Session& session();
    // The open file; nullptr when closed or working on other tables.
    const jet::Database* database() const { return database_.get(); }
    // Before a statement that may change the tables: lets every client finish reading, but
    // the writer, when it names itself (it then accounts for its own write).
    void prepareForChange(const ConnectionClient* writer = nullptr);

    void attach(ConnectionClient& client);
    void detach(ConnectionClient& client);

private:
    std::string name_;
    std::string connectionString_;
    bool loginPrompt_ = true;
    std::unique_ptr<jet::Database> database_;
    std::unique_ptr<sql::Storage> storage_;
    std::unique_ptr<sql::Session> session_;
    std::vector<ConnectionClient*> clients_;
};

} // namespace data
