#pragma once
// Comparing two values as Jet does in criteria: numbers by value across their types, dates
// by time, text without case in the General sort order, text against a number or a date by
// reading the text as one (a type mismatch when it does not read).
#include "core/Value.h"
#include "sql/eval/Operators.h"

#include <optional>

namespace sql {

// Negative, zero or positive; nullopt when either side is Null.
std::optional<int> compareValues(const core::Value& a, const core::Value& b);

// One of the six comparison operators: a Boolean, or Null when either side is Null.
core::Value compareWith(BinaryOperator op, const core::Value& a, const core::Value& b);

} // namespace sql
