#pragma once
// The window's command in use: ADOCommand1 bound to ADOConnection1, so the Table Creator and
// the SQL console run what the user wrote on the database that Open connected.
#include "window/CommandExecutor.h"

namespace data {
class TADOCommand;
class TADOConnection;
} // namespace data

namespace window {

class ConnectionCommand final : public CommandExecutor {
public:
    ConnectionCommand(data::TADOCommand& command, data::TADOConnection& connection);

    // Binds the command to the connection, which opens with the string it holds if it is
    // closed. An empty text is refused by the command itself, under its own name.
    void execute(const std::string& commandText) override;

private:
    data::TADOCommand& command_;
    data::TADOConnection& connection_;
};

} // namespace window
