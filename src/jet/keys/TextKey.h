#pragma once
// Text in Jet's General sort order: the bytes a text index entry holds, which the SQL engine
// also uses to compare, sort and group text so that index order and query order agree.
#include "core/Value.h"

#include <cstddef>
#include <limits>
#include <string_view>

namespace jet {

// Index entries hold only the first 255 UTF-16 code units of a text or memo value.
inline constexpr std::size_t indexedTextUnits = 255;

// Appends the text part of an index key (everything after the column's flag byte) for the
// first `maxUnits` UTF-16 code units of `utf8`. Characters outside the Basic Multilingual
// Plane (surrogate pairs) leave no trace, like the code units the sort order ignores.
void appendTextKey(core::Bytes& out, std::string_view utf8, bool ascending,
                   std::size_t maxUnits = std::numeric_limits<std::size_t>::max());

// The text part of an index entry's key: the first indexedTextUnits code units of the text
// without its trailing blanks, which Access leaves out of the keys it writes ("Frankfurt
// a.M. " and "Frankfurt a.M." share one key).
void appendIndexTextKey(core::Bytes& out, std::string_view utf8, bool ascending);

// The ascending key of the whole text: equal for texts that differ only in letter case,
// different for different accents; byte order is the General sort order.
core::Bytes textSortKey(std::string_view utf8);

// <0, 0 or >0 as `a` sorts before, with or after `b` in the General sort order.
int compareText(std::string_view a, std::string_view b);

} // namespace jet
