#include "window/ConnectionCommand.h"

#include "data/TADOCommand.h"
#include "data/TADOConnection.h"

namespace window {

ConnectionCommand::ConnectionCommand(data::TADOCommand& command, data::TADOConnection& connection)
    : command_(command), connection_(connection) {}

void ConnectionCommand::execute(const std::string& commandText) {
    // Closing the connection drops the command's link, so each execution binds it again.
    command_.setConnection(&connection_);
    command_.setCommandText(commandText);
    command_.execute();
}

} // namespace window
