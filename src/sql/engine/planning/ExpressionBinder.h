#pragma once
// Binds expression trees of one query block: resolves names to the columns of the block's
// sources, of enclosing blocks (correlated subqueries), to select-list aliases, or else to
// named parameters; looks functions up; and, over grouped rows, turns grouping expressions
// and aggregates into the columns of the grouped row.
#include "sql/engine/execution/AggregateOperator.h"
#include "sql/engine/planning/BoundExpr.h"
#include "sql/engine/planning/CompileContext.h"
#include "sql/engine/planning/Scope.h"
#include "sql/syntax/Select.h"

#include <string>
#include <string_view>
#include <vector>

namespace sql {

// The grouping of a block as its expressions are bound: what the grouped row holds.
struct Grouping {
    GroupedView view;
    std::vector<std::string> fingerprints; // of the grouping expressions
    std::vector<core::DataType> types;     // of the grouping expressions
    std::vector<AggregateCall> calls;      // the aggregates met so far
    std::vector<std::string> callFingerprints;
};

class ExpressionBinder {
public:
    ExpressionBinder(CompileContext& context, Scope& scope, std::string_view text);

    BoundPtr bind(const Expr& expr);

    // The select list whose aliases names may refer to.
    void setSelectList(const std::vector<SelectItem>* items) { items_ = items; }
    // While an item of the select list itself is bound: aliases come before columns, and
    // the item may not refer to itself.
    void setCurrentItem(std::optional<std::size_t> item) { currentItem_ = item; }
    // Rows before grouping (nullptr) or grouped rows.
    void setGrouping(Grouping* grouping);
    // The message for an aggregate where none is allowed (WHERE, GROUP BY); empty for the
    // general one.
    void setAggregateMessage(std::string message) { aggregateMessage_ = std::move(message); }
    // The text the "not part of an aggregate function" error quotes; empty: the column's.
    void setGroupErrorText(std::string text) { groupErrorText_ = std::move(text); }

    std::string_view textOf(const Expr& expr) const;
    std::string_view text() const { return text_; }
    Scope& scope() { return scope_; }
    CompileContext& context() { return context_; }

private:
    struct AggregateProbe {}; // an aggregate met while trying an expression over raw rows

    BoundPtr bindRaw(const Expr& expr);
    BoundPtr bindGrouped(const Expr& expr);
    BoundPtr bindNode(const Expr& expr);
    BoundPtr bindColumn(const Expr& expr, const ColumnRef& ref);
    BoundPtr bindAggregate(const Expr& expr, const FunctionCall& call);
    BoundPtr bindFunction(const Expr& expr, const FunctionCall& call);
    BoundPtr bindSubquery(const Expr& expr);
    // The select-list item whose alias is `name`, if names may refer to it here.
    std::optional<std::size_t> aliasNamed(std::string_view name, bool beforeColumns) const;
    BoundPtr bindAlias(std::size_t item);

    CompileContext& context_;
    Scope& scope_;
    std::string_view text_;
    const std::vector<SelectItem>* items_ = nullptr;
    std::optional<std::size_t> currentItem_;
    std::vector<std::size_t> expanding_;
    Grouping* grouping_ = nullptr;
    bool probing_ = false;
    std::string aggregateMessage_;
    std::string groupErrorText_;
};

// Whether the tree holds an aggregate call outside any subquery.
bool containsAggregate(const Expr& expr);
bool containsSubquery(const Expr& expr);

} // namespace sql
