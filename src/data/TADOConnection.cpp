#include "data/TADOConnection.h"

#include "core/Error.h"
#include "core/ObjectName.h"
#include "data/ConnectionString.h"
#include "data/DataErrors.h"
#include "jet/Database.h"
#include "jet/file/Journal.h"
#include "jet/file/OsFile.h"
#include "jet/keys/TextKey.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"
#include "sql/engine/storage/TableInfo.h"

#include <algorithm>

namespace data {
namespace {

void sortByName(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return jet::compareText(a, b) < 0;
    });
}

} // namespace

TADOConnection::TADOConnection(std::string name) : name_(std::move(name)) {}

TADOConnection::~TADOConnection() {
    close();
    auto clients = clients_;
    clients_.clear();
    for (ConnectionClient* client : clients) client->connectionDestroyed();
}

void TADOConnection::setConnectionString(std::string text) {
    if (connected()) throw DatabaseError(std::string(messages::connectionOpen));
    connectionString_ = std::move(text);
}

void TADOConnection::open() {
    if (connected()) return;
    const ConnectionString parsed(connectionString_);
    // The engine type names the format of files to create; an existing file says its own.
    auto database =
        jet::Database::open(parsed.dataSource(), parsed.databasePassword().value_or(std::string()),
                            jet::OpenMode::ReadWrite);
    auto storage = std::make_unique<sql::JetStorage>(*database);
    auto session = std::make_unique<sql::Session>(*storage);
    database_ = std::move(database);
    storage_ = std::move(storage);
    session_ = std::move(session);
}

void TADOConnection::openOn(std::unique_ptr<sql::Storage> storage) {
    close();
    auto session = std::make_unique<sql::Session>(*storage);
    storage_ = std::move(storage);
    session_ = std::move(session);
}

void TADOConnection::close() {
    if (!connected()) return;
    auto clients = clients_;
    for (ConnectionClient* client : clients)
        if (std::find(clients_.begin(), clients_.end(), client) != clients_.end())
            client->connectionClosing();
    session_.reset();
    storage_.reset();
    database_.reset();
}

sql::Session& TADOConnection::session() {
    open();
    return *session_;
}

std::vector<std::string> TADOConnection::tableNames() {
    sql::Storage& storage = session().storage();
    std::vector<std::string> tables = storage.tableNames();
    std::vector<std::string> views = storage.viewNames();
    sortByName(tables);
    sortByName(views);
    tables.insert(tables.end(), views.begin(), views.end());
    return tables;
}

std::vector<std::string> TADOConnection::fieldNames(std::string_view table) {
    sql::Session& engine = session();
    std::vector<std::string> names;
    if (auto info = engine.storage().tableInfo(table)) {
        for (const auto& column : info->columns) names.push_back(column.name);
        return names;
    }
    for (const auto& view : engine.storage().viewNames()) {
        if (!core::sameName(view, table)) continue;
        // The query's columns are known once it is prepared; no row is read.
        sql::ResultSet result = engine.execute("select * from [" + view + "]");
        for (const auto& column : result.columns()) names.push_back(column.name);
        break;
    }
    return names;
}

bool TADOConnection::needsRecovery() const {
    std::string file;
    try {
        file = ConnectionString(connectionString_).dataSource();
    } catch (const core::Error&) {
        return false; // opening reports what is wrong with the string
    }
    return !file.empty() && jet::journalPending(file);
}

bool TADOConnection::recoveredJournal() const {
    return database_ && database_->recoveredJournal();
}

bool TADOConnection::readOnly() const {
    return database_ && !database_->writable();
}

void TADOConnection::prepareForChange(const ConnectionClient* writer) {
    auto clients = clients_;
    for (ConnectionClient* client : clients)
        if (client != writer) client->finishReading();
}

void TADOConnection::attach(ConnectionClient& client) {
    if (std::find(clients_.begin(), clients_.end(), &client) == clients_.end())
        clients_.push_back(&client);
}

void TADOConnection::detach(ConnectionClient& client) {
    clients_.erase(std::remove(clients_.begin(), clients_.end(), &client), clients_.end());
}

} // namespace data
