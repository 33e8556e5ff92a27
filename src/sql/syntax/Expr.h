#pragma once
// Expression trees as written: names are not resolved and types not checked (the binder does).
#include "core/Value.h"
#include "sql/eval/Operators.h"

#include <cstddef>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace sql {

struct Expr;
struct SelectQuery;
using ExprPtr = std::unique_ptr<Expr>;
using ExprList = std::vector<ExprPtr>;

// Jet's aggregates; a FunctionCall with None is an ordinary function the binder looks up.
enum class Aggregate { None, Count, Sum, Avg, Min, Max, First, Last, StDev, StDevP, Var, VarP };

struct Literal {
    core::Value value; // Long, Double, Text, DateTime, Boolean or Null
};

// A name, maybe qualified by a table or alias. An unqualified name the binder cannot resolve
// is a named parameter ([Enter a date]), so parameters by name are ColumnRefs here.
struct ColumnRef {
    std::string table; // empty when not qualified
    std::string column;
};

// "?": numbered from 0 in the order they appear in the statement text.
struct Parameter {
    int index = 0;
};

struct FunctionCall {
    std::string name; // as written, e.g. "Left$"
    Aggregate aggregate = Aggregate::None;
    bool star = false; // Count(*)
    ExprList args;
};

struct Unary {
    UnaryOperator op;
    ExprPtr operand;
};

struct Binary {
    BinaryOperator op;
    ExprPtr left;
    ExprPtr right;
};

struct Like {
    ExprPtr value;
    ExprPtr pattern;
    bool negated = false;
};

struct Between {
    ExprPtr value;
    ExprPtr low;
    ExprPtr high;
    bool negated = false;
};

struct InList {
    ExprPtr value;
    ExprList items;
    bool negated = false;
};

struct InQuery {
    ExprPtr value;
    std::unique_ptr<SelectQuery> query;
    bool negated = false;
};

struct IsNull {
    ExprPtr value;
    bool negated = false;
};

struct Exists {
    std::unique_ptr<SelectQuery> query;
};

// A parenthesised select used as a value.
struct ScalarQuery {
    std::unique_ptr<SelectQuery> query;
};

struct Expr {
    using Node = std::variant<Literal, ColumnRef, Parameter, FunctionCall, Unary, Binary, Like,
                              Between, InList, InQuery, IsNull, Exists, ScalarQuery>;

    Expr(std::size_t offset, std::size_t end, Node node);
    Expr(Expr&&) noexcept;
    Expr& operator=(Expr&&) noexcept;
    ~Expr(); // out of line: the subquery nodes need SelectQuery complete

    std::size_t offset; // first byte of the expression in the statement text
    std::size_t end;    // one past its last byte, so offset..end is its source text
    Node node;
    // Levels from this node down to its deepest operand (a leaf is 1; a subquery counts as a
    // leaf, its parser limits it apart), so the parser can refuse trees that every later walk
    // would have to recurse through.
    std::size_t height = 1;

    template <class T> const T* as() const { return std::get_if<T>(&node); }
    template <class T> T* as() { return std::get_if<T>(&node); }
};

template <class T> ExprPtr makeExpr(std::size_t offset, std::size_t end, T node) {
    return std::make_unique<Expr>(offset, end, Expr::Node(std::move(node)));
}

} // namespace sql
