#pragma once
// The definitions the engine hands to the storage to create or change tables, already
// checked against the catalog: names are free, referenced columns exist.
#include "sql/engine/storage/TableInfo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sql {

struct ColumnDefinition {
    ColumnInfo column;
    std::int32_t seed = 1;      // Counter: the first number
    std::int32_t increment = 1; // Counter: the step
    bool compressed = false;    // Text and Memo WITH COMPRESSION
};

struct TableDefinition {
    std::string name;
    std::vector<ColumnDefinition> columns;
    std::vector<IndexInfo> indexes; // the primary key and unique constraints, named
    std::vector<ForeignKeyInfo> foreignKeys;
};

} // namespace sql
