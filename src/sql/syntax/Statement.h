#pragma once
// One parsed statement of any kind.
#include "sql/syntax/Ddl.h"
#include "sql/syntax/Dml.h"
#include "sql/syntax/Select.h"

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
    ColumnType type;
};

struct Statement {
    using Node = std::variant<SelectQuery, Insert, Update, Delete, CreateTable, CreateIndex,
                              DropTable, DropIndex, AlterTable, Transaction>;

    std::vector<ParameterDecl> parameters;
    int positionalParameters = 0; // how many "?" the statement holds
    Node node;

    template <class T> const T* as() const { return std::get_if<T>(&node); }
};

} // namespace sql
