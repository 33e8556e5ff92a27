#include "sql/engine/Session.h"

#include "sql/engine/EngineErrors.h"
#include "sql/engine/ParameterTable.h"
#include "sql/engine/PreparedStatement.h"
#include "sql/engine/TableWriter.h"
#include "sql/eval/RandomSequence.h"
#include "sql/syntax/Parser.h"

namespace sql {

namespace {

// Runs `work` as one statement of the storage: all of it or nothing.
template <class F> auto atomically(Storage& storage, F&& work) {
    storage.beginStatement();
    try {
        auto result = work();
        storage.endStatement(true);
        return result;
    } catch (...) {
        storage.endStatement(false);
        throw;
    }
}

} // namespace

Session::Session(Storage& storage)
    : storage_(storage), random_(std::make_unique<RandomSequence>()) {
    context_.random = random_.get();
}

Session::~Session() = default;

ResultSet Session::execute(std::string_view text, std::span<const core::Value> parameters) {
    return run(text, parameters);
}

ResultSet Session::run(std::string_view text, std::span<const core::Value> values) {
    const Statement statement = parseStatement(text);
    if (const auto* t = statement.as<Transaction>()) {
        switch (t->op) {
        case TransactionOp::Begin:
            storage_.begin();
            ++transactionDepth_;
            break;
        case TransactionOp::Commit:
        case TransactionOp::Rollback:
            if (transactionDepth_ == 0) throw core::SqlError(std::string(messages::noTransaction));
            if (t->op == TransactionOp::Commit)
                storage_.commit();
            else
                storage_.rollback();
            --transactionDepth_;
            break;
        }
        return ResultSet(0);
    }
    ParameterTable parameters;
    parameters.declare(statement.parameters);
    CompileContext context{storage_, parameters, context_.likeMode};
    context.eval = &context_;
    auto prepared = prepareStatement(context, statement, text);
    parameters.assignPositions();
    auto rt = std::make_unique<Runtime>(Runtime{storage_, context_, parameters.values(values)});
    if (!prepared->changesData()) return prepared->run(std::move(rt));
    return atomically(storage_, [&] { return prepared->run(std::move(rt)); });
}

std::vector<ParameterInfo> Session::parameters(std::string_view text) {
    const Statement statement = parseStatement(text);
    if (statement.as<Transaction>()) return {};
    ParameterTable parameters;
    parameters.declare(statement.parameters);
    CompileContext context{storage_, parameters, context_.likeMode};
    context.eval = &context_;
    prepareStatement(context, statement, text);
    parameters.assignPositions();
    return parameters.describe();
}

StoredRow Session::insertRow(std::string_view table,
                             std::span<const std::optional<core::Value>> values) {
    auto info = storage_.tableInfo(table);
    if (!info) throw core::SqlError(messages::unknownTable(table));
    Runtime rt{storage_, context_, {}};
    return atomically(storage_, [&] {
        TableWriter writer(storage_, rt, *info);
        return writer.insert({values.begin(), values.end()});
    });
}

StoredRow Session::updateRow(std::string_view table, RowLocator locator,
                             std::span<const std::optional<core::Value>> values) {
    auto info = storage_.tableInfo(table);
    if (!info) throw core::SqlError(messages::unknownTable(table));
    auto old = storage_.readRow(info->name, locator);
    if (!old) throw core::SqlError(std::string(messages::recordDeleted));
    Runtime rt{storage_, context_, {}};
    return atomically(storage_, [&] {
        TableWriter writer(storage_, rt, *info);
        return writer.update(locator, *old, {values.begin(), values.end()});
    });
}

void Session::deleteRow(std::string_view table, RowLocator locator) {
    auto info = storage_.tableInfo(table);
    if (!info) throw core::SqlError(messages::unknownTable(table));
    auto old = storage_.readRow(info->name, locator);
    if (!old) throw core::SqlError(std::string(messages::recordDeleted));
    Runtime rt{storage_, context_, {}};
    atomically(storage_, [&] {
        TableWriter writer(storage_, rt, *info);
        writer.remove(locator, *old);
        return 0;
    });
}

} // namespace sql
