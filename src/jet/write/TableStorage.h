#pragma once
// Gives a new table its pages -- table definition, usage maps, index roots -- and takes
// them all back when the table is dropped.
#include "jet/schema/TableSchema.h"
#include "jet/write/PageStore.h"

namespace jet {

// Fills in the schema's definition page, map pointers and index roots, and writes the
// definition. The schema's columns and indexes must already be complete.
void createTableStorage(PageStore& store, TableSchema& schema);

// Rewrites the definition of an existing table in place (after a schema change), moving
// it to more or fewer pages as its size needs.
void rewriteTableDefinition(PageStore& store, const TableSchema& schema);

// Frees every page the table owns: rows, long values, indexes, maps and definition.
void dropTableStorage(PageStore& store, const TableSchema& schema);

// An index leaf page with no entries, as the root of a new index.
PageBytes emptyIndexLeaf(std::uint32_t definitionPage);

} // namespace jet
