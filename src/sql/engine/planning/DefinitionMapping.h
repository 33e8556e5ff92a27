#pragma once
// From the types and column definitions a DDL statement writes to the column definitions the
// storage keeps: Jet's type words become stored types with their default sizes.
#include "sql/engine/storage/SchemaChange.h"
#include "sql/syntax/ColumnType.h"
#include "sql/syntax/Ddl.h"

#include <string_view>

namespace sql {

// Name left empty; Required false.
ColumnInfo columnInfoFor(const ColumnType& type);

// The column as CREATE TABLE or ALTER TABLE defines it; `text` is the statement's text, from
// which the DEFAULT expression is kept as written.
ColumnDefinition columnDefinitionFor(const ColumnDef& definition, std::string_view text);

} // namespace sql
