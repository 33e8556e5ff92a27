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

// Adds an index to an existing table: a usage-map row and an empty root page. The caller
// rewrites the definition and fills the index.
void addIndexStorage(PageStore& store, TableSchema& schema, IndexData data, IndexDef def);
// Adds several indexes at once, keeping their numbers: each data entry gets a usage-map row
// and an empty root; the logical entries name data entries by their position in `data`.
void addIndexesStorage(PageStore& store, TableSchema& schema, std::vector<IndexData> data,
                       std::vector<IndexDef> defs);
// Removes a logical index, and its pages when no other logical index shares them.
void dropIndexStorage(PageStore& store, TableSchema& schema, std::string_view name);
// Gives the schema's last (long-value) column its pair of usage maps.
void addLongValueMaps(PageStore& store, TableSchema& schema);
// Appends a column after the existing ones (numbered past every column the table ever had).
void addColumnToSchema(TableSchema& schema, ColumnDef column);
void removeColumnFromSchema(TableSchema& schema, const std::string& name);

// An index leaf page with no entries, as the root of a new index in a file of that format.
PageBytes emptyIndexLeaf(std::uint32_t definitionPage, const FileFormat& format);

} // namespace jet
