#pragma once
// What every part of binding and planning one statement shares: the storage whose catalog
// names are resolved in, the statement's parameters, and what the statement reads.
#include "sql/engine/planning/ParameterTable.h"
#include "sql/engine/storage/Storage.h"
#include "sql/eval/EvalContext.h"
#include "sql/eval/Like.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sql {

struct CompileContext {
    CompileContext(const Storage& s, ParameterTable& p, LikeMode mode = LikeMode::Ansi92)
        : storage(s), parameters(p), likeMode(mode) {}

    const Storage& storage;
    ParameterTable& parameters;
    LikeMode likeMode;
    // Base tables some part of the statement reads, so that a statement writing one of them
    // can read everything first.
    std::vector<std::string> tablesRead;
    // Saved queries being expanded, to stop a query that names itself.
    std::vector<std::string> viewsExpanding;
    // The number the next made-up name takes (Expr1000, ...), per statement.
    int nextExpressionName = 1000;
    // The session's clock and Rnd, for what binding must read (a crosstab's column
    // headings); null where no session runs the statement.
    const EvalContext* eval = nullptr;
    // The values the statement is run with; none while it is only described.
    std::optional<std::span<const core::Value>> parameterValues;
    // Set when planning read rows to learn the result's columns (a crosstab's headings
    // from its data): the plan then holds only for the values it was made with.
    bool readRows = false;
};

} // namespace sql
