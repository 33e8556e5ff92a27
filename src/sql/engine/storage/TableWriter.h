#pragma once
// Writes rows of one table with Jet's rules: defaults and counters for values not given,
// conversion to the columns' types, Required, sizes, Null in primary keys, and the
// relationships the table takes part in (with their cascades). Every INSERT, UPDATE and
// DELETE, and the access layer's row writes, go through it.
#include "sql/engine/Session.h"
#include "sql/engine/execution/Runtime.h"
#include "sql/engine/planning/BoundExpr.h"
#include "sql/engine/storage/Storage.h"

#include <optional>
#include <string>
#include <vector>

namespace sql {

class TableWriter {
public:
    TableWriter(Storage& storage, const Runtime& rt, TableInfo table);
    ~TableWriter();
    TableWriter(TableWriter&&) noexcept;

    const TableInfo& table() const { return table_; }

    // `given` has one entry per column; nullopt takes the column's default (or its next
    // number for a counter).
    StoredRow insert(const std::vector<std::optional<core::Value>>& given);
    // `changes` has one entry per column; nullopt keeps the old value.
    StoredRow update(RowLocator locator, const std::vector<core::Value>& old,
                     const std::vector<std::optional<core::Value>>& changes);
    void remove(RowLocator locator, const std::vector<core::Value>& old);

private:
    struct Referrer {
        std::string table;
        ForeignKeyInfo key;
    };

    core::Value defaultValue(std::size_t column);
    void check(const std::vector<core::Value>& row) const;
    void checkReferences(const std::vector<core::Value>& row,
                         const std::vector<core::Value>* old) const;
    const std::vector<Referrer>& referrers();
    // The rows of `table` whose `columns` hold `values`.
    std::vector<std::pair<RowLocator, std::vector<core::Value>>>
    rowsWith(const TableInfo& table, const std::vector<std::string>& columns,
             const std::vector<core::Value>& values) const;
    // A seek on an index led by those columns, or nullptr.
    std::unique_ptr<RowCursor> seekKey(const TableInfo& table,
                                       const std::vector<std::size_t>& positions,
                                       const std::vector<core::Value>& values) const;
    // Cascades or refuses a change of this row's key (deleted when `replacement` is null).
    void applyToReferrers(const std::vector<core::Value>& old,
                          const std::vector<core::Value>* replacement);

    Storage& storage_;
    const Runtime& rt_;
    TableInfo table_;
    std::vector<std::optional<BoundPtr>> defaults_; // parsed on first use
    std::optional<std::vector<Referrer>> referrers_;
};

} // namespace sql
