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

// Whole here, so that the header needs the planner's types only by name.
Prepared::Prepared() = default;
Prepared::Prepared(Prepared&&) noexcept = default;
Prepared& Prepared::operator=(Prepared&&) noexcept = default;
Prepared::~Prepared() = default;

ResultSet Session::execute(std::string_view text, std::span<const core::Value> parameters) {
    // Scripts of inserts repeat one shape with other literals: parsed and bound once.
    if (parameters.empty()) {
        if (auto* plan = inserts_->find(text, storage_, context_, given_)) {
            return atomically(storage_, [&] {
                plan->writer->insert(given_);
                return ResultSet(1);
            });
        }
    }
    Prepared statement = parse(text);
    return execute(statement, parameters);
}

Prepared Session::prepare(std::string_view text) {
    Prepared statement = parse(text);
    if (statement.kind_ == StatementKind::Transaction) return statement;
    plan(statement, std::nullopt);
    statement.parameters_ = statement.planParameters_->describe();
    if (const CompiledQuery* query = statement.plan_->query()) {
        statement.columns_ = query->columns;
        statement.baseTables_ = query->baseTables;
    }
    return statement;
}

std::vector<ParameterInfo> Session::parameters(std::string_view text) {
    return prepare(text).parameters();
}

Prepared Session::parse(std::string_view text) {
    Prepared statement;
    statement.text_ = std::string(text);
    statement.statement_ = std::make_unique<Statement>(parseStatement(text));
    const Statement& parsed = *statement.statement_;
    if (const auto* select = parsed.as<SelectQuery>())
        statement.kind_ = select->into.empty() ? StatementKind::Rows : StatementKind::Change;
    else if (parsed.as<Insert>() || parsed.as<Update>() || parsed.as<Delete>())
        statement.kind_ = StatementKind::Change;
    else if (parsed.as<Transaction>())
        statement.kind_ = StatementKind::Transaction;
    else
        statement.kind_ = StatementKind::Definition;
    return statement;
}

void Session::plan(Prepared& statement, std::optional<std::span<const core::Value>> values) {
    auto parameters = std::make_unique<ParameterTable>();
    parameters->declare(statement.statement_->parameters);
    CompileContext context{storage_, *parameters, context_.likeMode};
    context.eval = &context_;
    context.parameterValues = values;
    statement.plan_ = prepareStatement(context, *statement.statement_, statement.text_);
    parameters->assignPositions();
    statement.planParameters_ = std::move(parameters);
    statement.planReadRows_ = context.readRows;
}

ResultSet Session::execute(Prepared& statement, std::span<const core::Value> values) {
    if (statement.kind_ == StatementKind::Transaction) return runTransaction(statement);
    // A plan serves one run; one whose columns came from rows read without these values
    // is made again with them.
    if (!statement.plan_ || (statement.planReadRows_ && !values.empty())) plan(statement, values);
    std::unique_ptr<PreparedStatement> prepared = std::move(statement.plan_);
    std::unique_ptr<ParameterTable> parameters = std::move(statement.planParameters_);
    auto rt = std::make_unique<Runtime>(Runtime{storage_, context_, parameters->values(values)});
    if (!prepared->changesData()) return prepared->run(std::move(rt));
    ResultSet result = atomically(storage_, [&] { return prepared->run(std::move(rt)); });
    if (values.empty() && statement.statement_->as<Insert>())
        inserts_->learn(statement.text_, *statement.statement_, storage_);
    return result;
}

ResultSet Session::runTransaction(const Prepared& statement) {
    switch (statement.statement_->as<Transaction>()->op) {
    case TransactionOp::Begin:
        storage_.begin();
        ++transactionDepth_;
        break;
    case TransactionOp::Commit:
    case TransactionOp::Rollback:
        if (transactionDepth_ == 0) throw core::SqlError(std::string(messages::noTransaction));
        // Counted down first: a commit that fails has undone the transaction and ended it.
        --transactionDepth_;
        if (statement.statement_->as<Transaction>()->op == TransactionOp::Commit)
            storage_.commit();
        else
            storage_.rollback();
        break;
    }
    return ResultSet(0);
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
