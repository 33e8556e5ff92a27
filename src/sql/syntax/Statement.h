#pragma once
// One parsed statement of any kind.
#include "sql/syntax/Ddl.h"
#include "sql/syntax/Dml.h"
#include "sql/syntax/Select.h"

#include <memory>
#include <variant>
#include <vector>

namespace sql {

enum class TransactionOp { Begin, Commit, Rollback };

struct Transaction {
    TransactionOp op;
};

// PARAMETERS [name] type, ...; before a query: names the binder treats as parameters.
struct ParameterDecl {
    std::string name;
    // None for a parameter declared `Value`: it takes any value as it is given, as Access
    // declares a parameter whose type was left open.
    std::optional<ColumnType> type;
};

// CREATE VIEW name AS select, or CREATE PROCEDURE name [(parameters)] AS select: a saved
// select query. A procedure's parameters are its PARAMETERS declarations.
struct CreateView {
    std::string name;
    std::unique_ptr<SelectQuery> query;
    std::vector<ParameterDecl> parameters;
    bool procedure = false;
};

// DROP VIEW name or DROP PROCEDURE name.
struct DropView {
    std::string name;
    bool procedure = false;
};

struct Statement {
    using Node = std::variant<SelectQuery, Insert, Update, Delete, CreateTable, CreateIndex,
                              DropTable, DropIndex, AlterTable, Transaction, CreateView, DropView>;

    std::vector<ParameterDecl> parameters;
    int positionalParameters = 0; // how many "?" the statement holds
    Node node;

    template <class T> const T* as() const { return std::get_if<T>(&node); }
};

} // namespace sql
