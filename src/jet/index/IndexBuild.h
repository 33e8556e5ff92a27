#pragma once
// Writes a whole index tree at once from entries in index order: leaves packed full, then as
// many intermediate levels as they need, the top page on the root page the table names.
// Used when an index is created on a table that has rows, and by compaction.
#include "jet/index/IndexEntry.h"
#include "jet/index/IndexPageStore.h"

#include <span>
#include <vector>

namespace jet {

// The entries must be in index order without repeats (core::Error otherwise).
void writeIndexTree(IndexPageStore& store, std::uint32_t owner, std::uint32_t root,
                    std::span<const IndexEntry> entries);

// The pages of the tree under `root`, the root left out, as far as they can be followed:
// a tree about to be replaced may be damaged.
std::vector<std::uint32_t> pagesBelowRoot(const IndexPageSource& pages, std::uint32_t owner,
                                          std::uint32_t root);

} // namespace jet
