#pragma once
// The indexes of the sample files with the entries their tables' rows call for: each row's
// key encoded from the values a table scan reads, paired with the row's address.
#include "jet/Database.h"
#include "jet/index/IndexEntry.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

struct SampleIndex {
    std::string table;
    std::uint32_t tablePage = 0;
    std::size_t number = 0; // among the table's index data
    jet::IndexData data;
    bool primaryKey = false;
    std::vector<jet::IndexEntry> rows; // one per row, in stored order, nulls included

    std::string name() const { return table + " #" + std::to_string(number); }
};

// The files whose indexes the tests walk.
inline const char* const kIndexSamples[] = {"indexes.mdb", "compound-index.mdb", "big-index.mdb",
                                            "index-properties.mdb"};

std::unique_ptr<jet::Database> openSample(const std::string& name);
// Every index of every table of the file, the system tables' included.
std::vector<SampleIndex> sampleIndexes(const jet::Database& db);
// The entries the index should hold, in index order.
std::vector<jet::IndexEntry> expectedEntries(const SampleIndex& index);

} // namespace testing_support
