#pragma once
// An index tree's entries in order, as its cursor gives them: what the index tests compare
// trees by.
#include "jet/index/IndexTree.h"

#include <vector>

namespace testing_support {

inline std::vector<jet::IndexEntry> treeEntries(const jet::IndexTree& tree) {
    std::vector<jet::IndexEntry> out;
    auto c = tree.cursor();
    while (c.next()) out.push_back(c.entry());
    return out;
}

} // namespace testing_support
