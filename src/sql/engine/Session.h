#pragma once
// Runs Jet SQL statements on a storage: parses, binds names, plans and executes one
// statement at a time, keeping the transaction state and the evaluation context (clock,
// LIKE mode, Rnd) between them. Result sets read through the session's storage and context,
// so they must not outlive it.
#include "core/Value.h"
#include "sql/engine/Prepared.h"
#include "sql/engine/ResultSet.h"
#include "sql/engine/storage/Storage.h"
#include "sql/eval/EvalContext.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sql {

class RandomSequence;
class InsertPlanCache;

// A row as the storage holds it after a write: counters, defaults and conversions applied.
struct StoredRow {
    RowLocator locator;
    std::vector<core::Value> values;
};

class Session {
public:
    explicit Session(Storage& storage);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs one statement. `parameters` gives the values of the statement's parameters in
    // the order parameters() lists them; raises "No value given for one or more required
    // parameters." when there are fewer. Changes are atomic: a statement that fails leaves
    // the tables as they were.
    ResultSet execute(std::string_view text, std::span<const core::Value> parameters = {});

    // Parses, binds and plans a statement without running it, raising the errors of its
    // text and of the names it uses; the catalog must not change before it runs.
    Prepared prepare(std::string_view text);
    // Runs a prepared statement, as execute() runs its text.
    ResultSet execute(Prepared& statement, std::span<const core::Value> parameters = {});

    // The parameters of a statement, in order: PARAMETERS declarations first, then the
    // others in the order they first appear in the text.
    std::vector<ParameterInfo> parameters(std::string_view text);

    // Row writes for the access layer, with the same rules as INSERT, UPDATE and DELETE:
    // defaults, counters, type conversion, Required, sizes, relationships, atomicity.
    // `values` has one entry per column of the table; nullopt means "not given" (insert:
    // the default; update: unchanged).
    StoredRow insertRow(std::string_view table, std::span<const std::optional<core::Value>> values);
    StoredRow updateRow(std::string_view table, RowLocator locator,
                        std::span<const std::optional<core::Value>> values);
    void deleteRow(std::string_view table, RowLocator locator);

    // The clock, LIKE mode and Rnd state expressions see; tests set a fixed clock here.
    EvalContext& evalContext() { return context_; }
    // How many BEGIN TRANSACTION are open.
    int transactionDepth() const { return transactionDepth_; }
    Storage& storage() { return storage_; }

private:
    Prepared parse(std::string_view text);
    // Binds and plans `statement` afresh, with the values it will run with when known.
    void plan(Prepared& statement, std::optional<std::span<const core::Value>> values);
    ResultSet runTransaction(const Prepared& statement);

    Storage& storage_;
    std::unique_ptr<RandomSequence> random_;
    EvalContext context_;
    int transactionDepth_ = 0;
    std::unique_ptr<InsertPlanCache> inserts_;
    std::vector<std::optional<core::Value>> given_; // the row a cached insert writes
};

} // namespace sql
