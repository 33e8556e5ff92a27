#pragma once
// The aggregate functions of Jet SQL by name, apart from their accumulators (Aggregates.h), so
// that the planner can name them without the accumulator class.
#include <optional>
#include <string_view>

namespace sql {

enum class AggregateKind {
    Count,     // Count(expression): values that are not Null
    CountRows, // Count(*): every row
    Sum,
    Avg,
    Min,
    Max,
    First,
    Last,
    StDev,
    StDevP,
    Var,
    VarP,
};

// The aggregate of that name ("count", "StDevP"; case ignored); nullopt for other names.
// "Count" gives Count; the binder picks CountRows for Count(*).
std::optional<AggregateKind> aggregateKind(std::string_view name);

} // namespace sql
