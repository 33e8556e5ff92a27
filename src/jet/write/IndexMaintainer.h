#pragma once
// Keeps every index of a table exact as its rows change: checks unique keys before a row is
// written, then adds and removes the row's entries. Index pages are allocated through the
// page store and recorded in each index's usage map.
#include "core/Value.h"
#include "jet/index/IndexEntry.h"
#include "jet/index/IndexPageStore.h"
#include "jet/keys/KeyColumn.h"
#include "jet/schema/TableSchema.h"
#include "jet/write/PageStore.h"

#include <memory>
#include <vector>

namespace jet {

class IndexMaintainer {
public:
    IndexMaintainer(PageStore& store, const TableSchema& schema);
    ~IndexMaintainer();

    // Throws core::ConstraintError when the row would break a unique or primary index, or
    // put a null into a primary key. `replacing` names the row an update replaces, whose own
    // keys do not count as duplicates.
    void checkAdmissible(const std::vector<core::Value>& values,
                         std::optional<RowId> replacing = std::nullopt) const;
    // Checks the row as checkAdmissible does and gives its key in each index, for add(), so
    // that a new row's keys are encoded once.
    std::vector<core::Bytes> admit(const std::vector<core::Value>& values,
                                   std::optional<RowId> replacing = std::nullopt) const;
    void add(const std::vector<core::Value>& values, RowId row);
    // Adds the row's entries given the keys admit() gave for it.
    void add(const std::vector<core::Bytes>& keys, RowId row);
    void remove(const std::vector<core::Value>& values, RowId row);
    // Writes every index afresh from the table's rows (values with their home address).
    void rebuild(const std::vector<std::pair<std::vector<core::Value>, RowId>>& rows);
    // Problems of each index against the rows.
    std::vector<std::string>
    verify(const std::vector<std::pair<std::vector<core::Value>, RowId>>& rows) const;

    bool empty() const { return indexes_.empty(); }

private:
    struct Index;
    core::Bytes keyOf(const Index& index, const std::vector<core::Value>& values) const;

    const TableSchema& schema_;
    std::vector<std::unique_ptr<Index>> indexes_;
    // The key columns' values of the key being encoded, kept to spare an allocation a key.
    mutable std::vector<core::Value> keyValues_;
};

} // namespace jet
