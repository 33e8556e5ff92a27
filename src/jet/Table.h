#pragma once
// A handle on one table of an open database: its schema, its properties and its rows.
#include "jet/Cursor.h"
#include "jet/catalog/PropertyMap.h"
#include "jet/schema/TableSchema.h"

#include <memory>

namespace jet {

class Table {
public:
    Table(const PageFile& file, std::shared_ptr<const TableSchema> schema,
          std::shared_ptr<const PropertyMaps> properties)
        : file_(&file), schema_(std::move(schema)), properties_(std::move(properties)) {}

    const TableSchema& schema() const { return *schema_; }
    std::shared_ptr<const TableSchema> sharedSchema() const { return schema_; }
    const PropertyMaps& properties() const { return *properties_; }
    Cursor scan() const { return Cursor(*file_, schema_); }
    // Every row's address in scan order, no row read.
    std::vector<RowId> rowIds() const { return storedRowIds(*file_, *schema_); }

private:
    const PageFile* file_;
    std::shared_ptr<const TableSchema> schema_;
    std::shared_ptr<const PropertyMaps> properties_;
};

} // namespace jet
