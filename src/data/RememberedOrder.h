#pragma once
// The row order of a data set's last ordered statement, kept while the storage's change stamp
// holds: the requery that follows every open, and a title clicked twice, then sort nothing
// again. Any write in between changes the stamp, and the rows are sorted afresh.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sql {
class Storage;
class TableRows;
struct RowLocator;
} // namespace sql

namespace data {

class RememberedOrder {
public:
    using Locators = std::shared_ptr<const std::vector<sql::RowLocator>>;

    // The rows' locators in the statement's order: the kept ones when they were worked out
    // for the same statement at the storage's present stamp, else sorted now (and kept when
    // the storage has a stamp).
    Locators of(const sql::Storage& storage, std::string_view statement,
                const sql::TableRows& rows);
    // Gives the memory back.
    void forget();

private:
    std::string statement_;
    std::uint64_t stamp_ = 0;
    Locators locators_;
};

} // namespace data
