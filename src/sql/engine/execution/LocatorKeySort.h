#pragma once
// Row locators sorted by byte keys: the one sort behind ORDER BY over a stored table and the
// data set's ordered open. Each row keeps its key in one shared buffer and 24 bytes beside
// it, and the sort compares eight key bytes at a time as numbers, so a million rows sort
// without a std::string or a memcmp per row.
#include "core/Value.h"
#include "sql/engine/storage/RowLocator.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sql {

class LocatorKeySort {
public:
    // Room for about this many rows, so that a large sort grows no buffer (copying it and
    // touching fresh memory) as it reads.
    void reserve(std::size_t rows);
    // Appends a value's sort key to the next row's key, complemented when it sorts
    // descending. The keys are prefix-free (no key begins another), so complementing reverses
    // their order and a row's key of several values still compares value by value.
    void appendKey(const core::Value& value, bool descending);
    // Ends the key appended since the last row as the key of the row at `locator`.
    void add(RowLocator locator);
    // Puts the rows in byte order of their keys; rows with equal keys stay in the order they
    // were added.
    void sort();

    std::size_t size() const { return entries_.size(); }
    RowLocator locator(std::size_t row) const { return entries_[row].locator; }
    std::vector<RowLocator> locators() const;
    // Gives the memory back.
    void clear();

private:
    struct Entry {
        std::uint64_t window;       // eight key bytes from the depth being sorted on
        std::uint32_t from, length; // the key in keys_
        RowLocator locator;
    };

    void loadWindows(std::size_t first, std::size_t last, std::size_t depth);
    void sortRange(std::size_t first, std::size_t last, std::size_t depth);

    std::string keys_;
    std::vector<Entry> entries_;
    std::size_t expected_ = 0; // rows, as reserve() was told
};

} // namespace sql
