#pragma once
// The FROM list of a saved query: its table rows and join rows put back together as Jet
// writes them. Tables no join touches come first, in stored order; each join row then joins
// the two sources that hold its sides, and a join inside another is parenthesised.
#include "jet/query/QueryRow.h"

#include <string>
#include <string_view>
#include <vector>

namespace jet::query {

// Throws core::FormatError naming the query when a join names no table of the query or two
// rows join the same sources in different ways.
std::string fromClause(std::string_view queryName, const std::vector<const QueryRow*>& tables,
                       const std::vector<const QueryRow*>& joins);

} // namespace jet::query
