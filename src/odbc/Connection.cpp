#include "odbc/Handles.h"

#include "jet/Database.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <algorithm>
#include <filesystem>

namespace odbc {

Connection::Connection(Environment& env) : Handle(HandleKind::Connection), environment(env) {}

Connection::~Connection() {
    disconnect();
}

void Connection::connect(const ConnectSettings& settings) {
    if (connected()) throw OdbcError("08002", "Connection name in use.");
    std::unique_ptr<jet::Database> database;
    if (settings.create && !std::filesystem::exists(settings.file))
        database = jet::Database::create(settings.file, settings.password);
    else
        database = jet::Database::open(settings.file, settings.password,
                                       settings.readOnly || accessMode == SQL_MODE_READ_ONLY
                                           ? jet::OpenMode::ReadOnly
                                           : jet::OpenMode::ReadWrite);
    auto storage = std::make_unique<sql::JetStorage>(*database);
    auto session = std::make_unique<sql::Session>(*storage);
    settings_ = settings;
    database_ = std::move(database);
    storage_ = std::move(storage);
    session_ = std::move(session);
    accessMode = database_->writable() ? SQL_MODE_READ_WRITE : SQL_MODE_READ_ONLY;
}

void Connection::disconnect() {
    if (!connected()) return;
    for (Statement* s : statements_) s->closeCursor();
    try {
        while (session_->transactionDepth() > 0) session_->execute("ROLLBACK");
    } catch (...) {
        // The file's journal undoes what is left when the database closes.
    }
    session_.reset();
    storage_.reset();
    database_.reset();
}

sql::Session& Connection::session() {
    if (!session_) throw OdbcError("08003", "Connection not open.");
    return *session_;
}

jet::Database& Connection::database() {
    if (!database_) throw OdbcError("08003", "Connection not open.");
    return *database_;
}

void Connection::setAutocommit(bool on) {
    if (on && !autocommit_ && connected()) endTransaction(true);
    autocommit_ = on;
}

void Connection::endTransaction(bool commit) {
    if (!connected()) return;
    // Rows already read stay readable; a rollback must not change what they show.
    if (!commit)
        for (Statement* s : statements_) s->detachStream();
    while (session_->transactionDepth() > 0) session_->execute(commit ? "COMMIT" : "ROLLBACK");
}

bool Connection::beginBatch() {
    if (!autocommit_ || !database().writable() || session().transactionDepth() > 0) return false;
    session().execute("BEGIN TRANSACTION");
    return true;
}

void Connection::endBatch(bool commit) {
    if (session().transactionDepth() > 0) session().execute(commit ? "COMMIT" : "ROLLBACK");
}

void Connection::beforeStatement(const Statement& runner, bool changes) {
    if (!changes) return;
    for (Statement* s : statements_)
        if (s != &runner) s->detachStream();
    if (!autocommit_ && database().writable() && session().transactionDepth() == 0) {
        session().execute("BEGIN TRANSACTION");
    }
}

void Connection::detach(Statement& s) {
    statements_.erase(std::remove(statements_.begin(), statements_.end(), &s), statements_.end());
}

} // namespace odbc
