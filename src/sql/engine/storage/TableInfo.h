#pragma once
// What the SQL engine needs to know about a stored table: its columns with their rules,
// its indexes and the relationships in which it is the referring side.
#include "core/ObjectName.h"
#include "jet/schema/ColumnType.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sql {

struct ColumnInfo {
    std::string name;
    jet::ColumnType type = jet::ColumnType::Text;
    // Text: characters; Binary: bytes; fixed-width types: their width; Memo and OLE: 0.
    std::uint32_t size = 0;
    std::uint8_t precision = 0, scale = 0; // Numeric
    bool required = false;
    // A Long numbered by the storage (Counter) or a GUID it makes up (replication ID).
    bool autoNumber = false;
    // The default as an expression text ("0", "\"Y\"", "Date()"); empty when there is none.
    std::string defaultValue;

    bool operator==(const ColumnInfo&) const = default;
};

struct IndexKeyColumn {
    std::string name;
    bool descending = false;

    bool operator==(const IndexKeyColumn&) const = default;
};

struct IndexInfo {
    std::string name;
    std::vector<IndexKeyColumn> columns;
    bool primary = false; // implies unique and no Null in any key column
    bool unique = false;
    bool ignoreNulls = false;  // rows whose key is all Null are left out of the index
    bool disallowNull = false; // WITH DISALLOW NULL

    bool operator==(const IndexInfo&) const = default;
};

// A relationship: the values of `columns` must be found in `referencedColumns` of the
// referenced table, unless one of them is Null.
struct ForeignKeyInfo {
    std::string name;
    std::vector<std::string> columns;
    std::string referencedTable;
    std::vector<std::string> referencedColumns;
    bool cascadeUpdates = false;
    bool cascadeDeletes = false;
    bool cascadeSetNull = false; // ON DELETE SET NULL / ON UPDATE SET NULL
    // The key's columns get an index of the key's name (not with NO INDEX). The storage makes
    // it with the key: a Jet relationship is itself an entry in the table's index list.
    bool indexed = true;

    bool operator==(const ForeignKeyInfo&) const = default;
};

struct TableInfo {
    std::string name;
    std::vector<ColumnInfo> columns; // in column order
    std::vector<IndexInfo> indexes;
    std::vector<ForeignKeyInfo> foreignKeys;

    // Both look names up without regard to case, as Jet does.
    std::optional<std::size_t> findColumn(std::string_view columnName) const;
    const IndexInfo* findIndex(std::string_view indexName) const;
    const IndexInfo* primaryKey() const;

    bool operator==(const TableInfo&) const = default;
};

// Names of tables, columns, indexes and the rest compare by core's one rule.
using core::sameName;

} // namespace sql
