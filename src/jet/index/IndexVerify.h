#pragma once
// The integrity check of one index tree: every page well formed and owned by the table,
// entries in order and under the right parent entry, each parent entry equal to its
// child's last entry, leaves all at one depth and linked end to end, and the entries exactly
// those the table's rows call for.
#include "jet/index/IndexEntry.h"
#include "jet/index/IndexPageStore.h"

#include <string>
#include <vector>

namespace jet {

// One sentence per problem found; empty for a sound tree. `expected` may be in any order.
std::vector<std::string> verifyIndexTree(const IndexPageSource& pages, std::uint32_t owner,
                                         std::uint32_t root, std::vector<IndexEntry> expected);

} // namespace jet
