#pragma once
// Runs one statement text on a connection and drops whatever rows it returns: the window's
// ADOCommand1, bound to ADOConnection1 each time a page executes what the user wrote.
#include "data/ConnectionClient.h"

#include <cstdint>
#include <string>

namespace data {

class TADOConnection;

class TADOCommand final : private ConnectionClient {
public:
    explicit TADOCommand(std::string name = "ADOCommand1");
    ~TADOCommand();
    TADOCommand(const TADOCommand&) = delete;
    TADOCommand& operator=(const TADOCommand&) = delete;

    const std::string& name() const { return name_; }

    // Closing the connection drops this link.
    TADOConnection* connection() const { return connection_; }
    void setConnection(TADOConnection* connection);

    const std::string& commandText() const { return commandText_; }
    void setCommandText(std::string text) { commandText_ = std::move(text); }

    // Executes the text once, after the parameter scan (":name" becomes a parameter that
    // has no value, which the engine refuses). Opens the connection if it is closed.
    // Returns the number of rows a change touched (0 for other statements).
    std::int64_t execute();

private:
    void connectionClosing() override;
    void finishReading() override {}
    void connectionDestroyed() override { connection_ = nullptr; }

    std::string name_;
    TADOConnection* connection_ = nullptr;
    std::string commandText_;
};

} // namespace data
