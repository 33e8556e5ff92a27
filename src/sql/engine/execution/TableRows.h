#pragma once
// A select over one base table whose result columns are plain columns of it, unfiltered and
// ordered by at most one of its columns: its rows as row locators in the result's order,
// their values read on demand. The access layer keeps these instead of whole rows.
#include "core/Value.h"
#include "sql/engine/ResultSet.h"
#include "sql/engine/storage/Storage.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sql {

class Prepared;

class TableRows {
public:
    // nullptr when the prepared statement is not such a select (the caller then runs it as
    // usual).
    static std::unique_ptr<TableRows> open(const Storage& storage, const Prepared& prepared);

    const std::vector<ResultColumn>& columns() const { return columns_; }
    // The base table, as the catalog spells it.
    const std::string& table() const { return table_; }

    // Every row's locator in the result's order: stored order, the order of an index led by
    // the sort column, or the rows sorted by that column's value as ORDER BY sorts them
    // (ties in stored order).
    std::vector<RowLocator> locators() const;
    // Whether the result has an order of its own; without one, scan() gives the rows in
    // stored order one at a time, so a large table shows its first rows before the rest is
    // read.
    bool ordered() const { return orderColumn_.has_value(); }
    std::unique_ptr<RowCursor> scan() const;
    // Stored order a page at a time, from either end; nullptr when the storage has no pages.
    std::unique_ptr<StoredPages> storedPages() const { return storage_.storedPages(table_); }

    // The result's values of one row; nullopt when it is no longer there.
    std::optional<std::vector<core::Value>> read(RowLocator locator) const;
    // One column's value of one row, decoding no other; Null when the row is gone.
    core::Value readValue(RowLocator locator, std::size_t column) const;
    // Where a row's bytes are now: the locator a stored-order scan names it by.
    std::optional<RowLocator> place(RowLocator locator) const { return reader_->place(locator); }

    // The rows whose value of the result column equals `key` (already of the column's type),
    // found through an index the column leads, in no particular order; they may include rows
    // that do not match (text keys ignore case and trailing blanks). nullopt when no index
    // serves.
    std::optional<std::vector<RowLocator>> seekEqual(std::size_t column,
                                                     const core::Value& key) const;

private:
    TableRows(const Storage& storage, TableInfo info, std::vector<ResultColumn> columns);
    std::vector<RowLocator> sortedByValue() const;
    std::optional<std::vector<RowLocator>> inIndexOrder() const;

    const Storage& storage_;
    TableInfo info_;
    std::string table_;
    std::vector<ResultColumn> columns_;
    std::vector<std::size_t> tableColumns_;  // per result column, its place in the table
    std::optional<std::size_t> orderColumn_; // in the table
    bool descending_ = false;
    std::unique_ptr<RowReader> reader_;
};

} // namespace sql
