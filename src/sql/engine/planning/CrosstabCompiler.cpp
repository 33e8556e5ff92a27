// TRANSFORM ... PIVOT: the select block is planned twice, once for its row headings (with
// the grouping values beside them) and once for the cells (grouped by the pivot value too);
// CrosstabRows puts them side by side. The column headings are the IN list's values or,
// without one, the pivot values the data holds, in ascending order as Jet sorts them.
#include "core/TypeConversion.h"
#include "sql/engine/EngineErrors.h"
#include "sql/engine/execution/CrosstabOperator.h"
#include "sql/engine/execution/SortKey.h"
#include "sql/engine/planning/QueryCompiler.h"
#include "sql/engine/storage/ColumnValues.h"
#include "sql/engine/storage/TableInfo.h"

#include <map>
#include <stdexcept>

namespace sql {

namespace {

// A fixed heading: a constant, maybe negated.
std::string fixedHeading(const Expr& e) {
    if (const auto* literal = e.as<Literal>()) return crosstabHeading(literal->value);
    if (const auto* unary = e.as<Unary>(); unary && unary->op == UnaryOperator::Negate)
        if (const auto* literal = unary->operand->as<Literal>();
            literal && core::isNumericType(literal->value.type()))
            return "-" + crosstabHeading(literal->value);
    throw core::SqlError("The column headings of a crosstab query (PIVOT ... IN) must be "
                         "constants.");
}

// The headings the data gives: the distinct pivot values of the cells, read now, since the
// columns must be known before the query runs (Jet reads them the same way).
std::vector<std::string> headingsFromData(CompileContext& context, const CompiledQuery& cells,
                                          std::size_t pivotColumn) {
    if (!cells.outerColumns.empty())
        throw core::SqlError("A crosstab query whose column headings come from its data cannot "
                             "use the fields of the query around it; list its headings with "
                             "PIVOT ... IN (...).");
    // The parameters bound so far have their places among the values (Jet wants a crosstab's
    // parameters declared, and declared ones come first); too few values is the usual error.
    context.readRows = true;
    std::vector<core::Value> values;
    if (context.parameterValues) {
        context.parameters.assignPositions();
        values = context.parameters.values(*context.parameterValues);
    }
    EvalContext fallback;
    // Reading only: the runtime wants the storage it may write through, but scans are reads.
    Runtime rt{const_cast<Storage&>(context.storage), context.eval ? *context.eval : fallback,
               std::move(values)};
    std::map<std::string, std::string> headings; // by the pivot value's sort key
    try {
        cells.root->open(rt, nullptr);
        ResultRow row;
        while (cells.root->next(row))
            headings.try_emplace(sortKey(row.values[pivotColumn]),
                                 crosstabHeading(row.values[pivotColumn]));
    } catch (const std::out_of_range&) {
        // Described without values (its parameters are being listed): the headings stay
        // unknown until it runs.
        return {};
    }
    std::vector<std::string> out;
    std::map<std::string, bool> seen; // distinct values with the same text share a column
    for (auto& [key, heading] : headings)
        if (seen.try_emplace(crosstabHeadingKey(heading), true).second)
            out.push_back(std::move(heading));
    return out;
}

} // namespace

CompiledQuery compileCrosstab(CompileContext& context, const SelectQuery& query,
                              std::string_view text, Scope* outer) {
    const Crosstab& crosstab = *query.crosstab;
    const SelectBlock& block = query.first;
    std::vector<const Expr*> keys;
    for (const auto& g : block.groupBy) keys.push_back(g.get());

    BlockExtras rowExtras;
    rowExtras.outputs = keys;
    rowExtras.grouped = true;
    CompiledQuery rows = compileBlock(context, block, text, outer, &query.orderBy, rowExtras);
    const std::size_t headingCount = rows.columns.size() - keys.size();

    BlockExtras cellExtras;
    cellExtras.outputs = keys;
    cellExtras.outputs.push_back(crosstab.pivot.get());
    cellExtras.outputs.push_back(crosstab.value.get());
    cellExtras.groupBy = crosstab.pivot.get();
    cellExtras.outputsOnly = true;
    CompiledQuery cells = compileBlock(context, block, text, outer, nullptr, cellExtras);

    std::vector<std::string> headings;
    if (crosstab.headings.empty()) {
        headings = headingsFromData(context, cells, keys.size());
    } else {
        for (const auto& e : crosstab.headings) headings.push_back(fixedHeading(*e));
    }

    CompiledQuery out;
    for (std::size_t i = 0; i < headingCount; ++i) {
        ResultColumn c = std::move(rows.columns[i]);
        c.readOnly = true;
        c.baseTableIndex = -1;
        out.columns.push_back(std::move(c));
        out.fingerprints.push_back(std::move(rows.fingerprints[i]));
    }
    const ResultColumn& value = cells.columns[keys.size() + 1];
    std::vector<std::string> headingKeys;
    for (const auto& heading : headings) {
        for (const auto& c : out.columns)
            if (sameName(c.name, heading)) throw core::SqlError(messages::duplicateAlias(heading));
        ResultColumn c;
        c.name = heading;
        c.type = value.type;
        c.columnType = columnTypeFor(value.type);
        c.size = value.size;
        out.columns.push_back(std::move(c));
        out.fingerprints.push_back("crosstab:" + heading);
        headingKeys.push_back(crosstabHeadingKey(heading));
    }
    out.outerColumns = rows.outerColumns;
    out.outerColumns.insert(out.outerColumns.end(), cells.outerColumns.begin(),
                            cells.outerColumns.end());
    out.root = std::make_unique<CrosstabRows>(std::move(rows.root), std::move(cells.root),
                                              headingCount, keys.size(), headingKeys);
    return out;
}

} // namespace sql
