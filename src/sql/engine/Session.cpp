#include "sql/engine/Session.h"

#include "sql/engine/EngineErrors.h"
#include "sql/engine/planning/InsertPlanCache.h"
#include "sql/engine/planning/ParameterTable.h"
#include "sql/engine/planning/PreparedStatement.h"
#include "sql/engine/storage/TableWriter.h"
#include "sql/eval/RandomSequence.h"
#include "sql/syntax/Parser.h"

namespace sql {

namespace {

// Runs `work` as one statement of the storage: all of it or nothing.
template <class F> auto atomically(Storage& storage, F&& work) {
    storage.beginStatement();
    auto result = [&] {
        try {
            return work();
        } catch (...) {
            storage.endStatement(false);
            throw;
        }
    }();
    // Outside a transaction this saves the statement; if that fails, the statement is
    // already undone and its error (a full disk, say) is the one to report.
    storage.endStatement(true);
    return result;
}

} // namespace

Session::Session(Storage& storage)
    : storage_(storage), random_(std::make_unique<RandomSequence>()),
      inserts_(std::make_unique<InsertPlanCache>()) {
    context_.random = random_.get();
}

Session::~Session() = default;

ResultSet Session::execute(std::string_view text, std::span<const core::Value> parameters) {
    return run(text, parameters);
}

ResultSet Session::run(std::string_view text, std::span<const core::Value> values) {
    // Scripts of inserts repeat one shape with other literals: parsed and bound once.
    if (values.empty()) {
        if (auto* plan = inserts_->find(text, storage_, context_, given_)) {
            return atomically(storage_, [&] {
                plan->writer->insert(given_);
                return ResultSet(1);
            });
        }
    }
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
            // Counted down first: a commit that fails has undone the transaction and ended it.
            --transactionDepth_;
            if (t->op == TransactionOp::Commit)
                storage_.commit();
            else
                storage_.rollback();
            break;
        }
        return ResultSet(0);
    }
    ParameterTable parameters;
    parameters.declare(statement.parameters);
    CompileContext context{storage_, parameters, context_.likeMode};
    context.eval = &context_;
    context.parameterValues = values;
    auto prepared = prepareStatement(context, statement, text);
    parameters.assignPositions();
    auto rt = std::make_unique<Runtime>(Runtime{storage_, context_, parameters.values(values)});
    if (!prepared->changesData()) return prepared->run(std::move(rt));
    ResultSet result = atomically(storage_, [&] { return prepared->run(std::move(rt)); });
    if (values.empty() && statement.as<Insert>()) inserts_->learn(text, statement, storage_);
    return result;
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

bool Session::onlyReads(std::string_view text) {
    try {
        const Statement statement = parseStatement(text);
        const auto* select = statement.as<SelectQuery>();
        return select && select->into.empty();
    } catch (const core::Error&) {
        return true;
    }
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
