#pragma once
// Results as plain text, one string per value, so that they can be compared with what
// another engine (or a test's expectation) gives: Null as NULL, numbers in their shortest
// exact form, currency with four decimals, dates as YYYY-MM-DDTHH:MM:SS.mmm.
#include "core/Value.h"
#include "sql/engine/ResultSet.h"

#include <string>
#include <vector>

namespace sql {

std::string valueText(const core::Value& value);

// Reads the remaining rows of the result.
std::vector<std::vector<std::string>> resultRows(ResultSet& result);

// The rows as lines of values separated by "|".
std::string resultText(ResultSet& result);

} // namespace sql
