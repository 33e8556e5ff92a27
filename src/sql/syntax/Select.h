#pragma once
// The SELECT query: blocks joined by UNION, their select lists, sources and clauses.
#include "sql/syntax/Expr.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace sql {

struct TableRef;
using TableRefPtr = std::unique_ptr<TableRef>;

// A table or saved query by name; a saved query is told apart only by the binder.
struct NamedTable {
    std::string name;
    std::string alias; // empty when none
};

struct DerivedTable {
    std::unique_ptr<SelectQuery> query;
    std::string alias; // may be empty: Jet then makes up a name
};

enum class JoinKind { Inner, Left, Right };

struct Join {
    JoinKind kind;
    TableRefPtr left;
    TableRefPtr right;
    ExprPtr condition;
};

struct TableRef {
    std::size_t offset = 0;
    std::variant<NamedTable, DerivedTable, Join> node;

    template <class T> const T* as() const { return std::get_if<T>(&node); }
};

struct SelectItem {
    enum class Kind {
        Expression, // expr [as alias]
        AllColumns, // * or table.*
    };
    Kind kind = Kind::Expression;
    ExprPtr expr;      // Expression only
    std::string alias; // Expression: empty when none
    std::string table; // AllColumns: the qualifier of table.*, empty for *
    std::size_t offset = 0;
};

enum class SetQuantifier { All, Distinct, DistinctRow };

struct Top {
    std::uint32_t count = 0;
    bool percent = false;
};

// One SELECT ... FROM ... WHERE ... GROUP BY ... HAVING block.
struct SelectBlock {
    SetQuantifier quantifier = SetQuantifier::All;
    std::optional<Top> top;
    std::vector<SelectItem> items;
    std::vector<TableRefPtr> from; // comma-separated sources; empty for "select 1+1"
    ExprPtr where;
    ExprList groupBy;
    ExprPtr having;
    std::size_t offset = 0;
};

struct OrderItem {
    ExprPtr expr; // a number here is a constant to the binder; Jet has no ordinals
    bool descending = false;
};

struct UnionPart {
    bool all = false; // UNION ALL keeps duplicates
    SelectBlock block;
};

// TRANSFORM value select PIVOT pivot [IN (headings)]: the crosstab's cells and columns. The
// select statement around it gives the row headings and their grouping.
struct Crosstab {
    ExprPtr value; // the aggregate each cell holds
    std::string valueAlias;
    ExprPtr pivot;     // its values name the columns
    ExprList headings; // PIVOT ... IN (...): the columns, fixed; empty when the data gives them
};

struct SelectQuery {
    SelectBlock first;
    std::vector<UnionPart> unions;
    std::vector<OrderItem> orderBy;     // applies to the whole union
    std::string into;                   // SELECT ... INTO: the new table, empty otherwise
    std::unique_ptr<Crosstab> crosstab; // set for TRANSFORM ... PIVOT
    std::size_t offset = 0;
};

} // namespace sql
