#pragma once
// Binds and plans a SELECT query (its blocks, UNION, ORDER BY, TOP) into an operator tree
// with the result's columns.
#include "sql/engine/ResultSet.h"
#include "sql/engine/execution/Operator.h"
#include "sql/engine/planning/CompileContext.h"
#include "sql/engine/planning/Scope.h"
#include "sql/syntax/Select.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sql {

struct CompiledQuery {
    // Rows hold the result's columns first; anything after them (ORDER BY values that are
    // not selected) is not part of the result.
    OperatorPtr root;
    std::vector<ResultColumn> columns;
    // The tables the rows' locators point into; empty when the result is not updatable.
    std::vector<std::string> baseTables;
    std::vector<std::string> fingerprints; // of the columns' expressions
    // Columns of enclosing blocks the query reads: (depth seen from the query, slot).
    std::vector<std::pair<int, int>> outerColumns;
};

// `text` is the text the query's offsets point into; `outer` the scope of the block the
// query is nested in (nullptr at the top).
CompiledQuery compileQuery(CompileContext& context, const SelectQuery& query, std::string_view text,
                           Scope* outer);

// What a crosstab asks of the select block it is made of: its row headings with the grouping
// values beside them, or its cells (the grouping values, the pivot value and the aggregate).
struct BlockExtras {
    std::vector<const Expr*> outputs; // selected after the block's own items, unnamed
    const Expr* groupBy = nullptr;    // grouped by after the block's own GROUP BY
    bool grouped = false;             // grouped even without GROUP BY or aggregates
    // Only the outputs are selected, and HAVING, TOP and DISTINCT are left to the rows.
    bool outputsOnly = false;
};

// One block with its ORDER BY (may be null), planned with the extras.
CompiledQuery compileBlock(CompileContext& context, const SelectBlock& block, std::string_view text,
                           Scope* outer, const std::vector<OrderItem>* orderBy,
                           const BlockExtras& extras);

// TRANSFORM ... PIVOT (CrosstabCompiler.cpp).
CompiledQuery compileCrosstab(CompileContext& context, const SelectQuery& query,
                              std::string_view text, Scope* outer);

} // namespace sql
