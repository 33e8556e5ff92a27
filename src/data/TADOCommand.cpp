#include "data/TADOCommand.h"

#include "data/DataErrors.h"
#include "data/ParameterScan.h"
#include "data/TADOConnection.h"
#include "sql/engine/Session.h"

namespace data {

TADOCommand::TADOCommand(std::string name) : name_(std::move(name)) {}

TADOCommand::~TADOCommand() {
    if (connection_) connection_->detach(*this);
}

void TADOCommand::setConnection(TADOConnection* connection) {
    if (connection == connection_) return;
    if (connection_) connection_->detach(*this);
    connection_ = connection;
    if (connection_) connection_->attach(*this);
}

void TADOCommand::connectionClosing() {
    setConnection(nullptr);
}

std::int64_t TADOCommand::execute() {
    if (commandText_.empty()) raiseComponentError(name_, messages::missingProperty("CommandText"));
    if (!connection_) raiseComponentError(name_, messages::missingConnection);
    const ScanResult scanned = scanParameters(commandText_);
    sql::Session& session = connection_->session();
    sql::Prepared prepared = session.prepare(scanned.text);
    if (!prepared.givesRows()) connection_->prepareForChange();
    return session.execute(prepared).rowsAffected();
}

} // namespace data
