#pragma once
// Values as byte strings whose plain byte order is the order ORDER BY gives them: Null
// first, numbers by value whatever their type, dates by time, text by its General sort
// order key (so equal without regard to case). GROUP BY, DISTINCT, UNION and hash joins use
// the same keys to decide which values are equal.
#include "core/Value.h"
#include "jet/schema/ColumnType.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace sql {

// The kinds of value that can be equal to each other in a key.
enum class KeyClass { Null, Number, Date, Text, Binary, Guid };

KeyClass keyClass(core::DataType type);

// Appends the value's key; keys of several values appended one after another still compare
// value by value.
void appendSortKey(std::string& out, const core::Value& value);

std::string sortKey(const core::Value& value);
std::string sortKey(std::span<const core::Value> values);

// Whether an index on a column of this type orders and tells apart its values exactly as
// these keys do, so that walking the index can stand for sorting. Text index keys drop
// trailing blanks and cut long values, and yes/no and decimal keys are laid out otherwise, so
// those columns are sorted.
bool indexOrdersLikeSort(jet::ColumnType type);

// A key's first eight bytes as a number (zero-filled), so that a sort compares most pairs of
// keys without looking further.
std::uint64_t sortKeyPrefix(std::string_view key);

} // namespace sql
