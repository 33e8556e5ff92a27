#pragma once
// The kind of value an expression gives, worked out before it runs so that a result's
// columns have types: from the operands' kinds for operators, from a table of the built-in
// functions, from the argument for aggregates. Null means "varies" (the rows decide).
#include "core/DataType.h"
#include "sql/engine/execution/AggregateOperator.h"
#include "sql/eval/Operators.h"

#include <span>
#include <string_view>

namespace sql {

core::DataType binaryResultType(BinaryOperator op, core::DataType left, core::DataType right);
core::DataType unaryResultType(UnaryOperator op, core::DataType operand);
core::DataType functionResultType(std::string_view name, std::span<const core::DataType> args);
core::DataType aggregateResultType(AggregateKind function, core::DataType argument);
// The kind two branches (IIf, UNION) have in common: theirs when equal, else Null.
core::DataType commonType(core::DataType a, core::DataType b);

} // namespace sql
