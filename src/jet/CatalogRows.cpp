// The rows of MSysObjects that name tables and queries: every change the engine makes to the
// catalog table goes through here, so a row is always found, made and changed the same way.
#include "jet/Database.h"
#include "jet/file/Bytes.h"
#include "jet/write/JetClock.h"

namespace jet {

namespace {
constexpr std::string_view kObjectsTable = "MSysObjects";
} // namespace

RowId Database::catalogRowOf(std::int32_t id) const {
    const Table objects = table(kObjectsTable);
    const auto& columns = objects.schema().columns;
    std::size_t idColumn = columns.size();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == "Id") idColumn = i;
    if (idColumn == columns.size()) throwDamaged("MSysObjects lacks its Id");
    auto cursor = objects.scan();
    while (cursor.next())
        if (cursor.value(idColumn) == core::Value(id)) return cursor.rowId();
    throwDamaged("an object has no catalog row");
}

void Database::insertCatalogRow(std::int32_t id, std::int32_t parentId, const std::string& name,
                                std::int16_t type, std::uint32_t flags,
                                const core::Bytes& properties) {
    auto schema = catalogSchema();
    std::vector<core::Value> row(schema->columns.size());
    core::DateTime stamp = currentJetTime();
    const auto& owner = pages_->format().definitionWrite.ownerSid;
    for (std::size_t i = 0; i < schema->columns.size(); ++i) {
        const std::string& column = schema->columns[i].name;
        if (column == "Id")
            row[i] = core::Value(id);
        else if (column == "ParentId")
            row[i] = core::Value(parentId);
        else if (column == "Name")
            row[i] = core::Value(name);
        else if (column == "Type")
            row[i] = core::Value(type);
        else if (column == "Flags")
            row[i] = core::Value(static_cast<std::int32_t>(flags));
        else if (column == "DateCreate" || column == "DateUpdate")
            row[i] = core::Value(stamp);
        else if (column == "Owner")
            row[i] = core::Value(core::Bytes(std::begin(owner), std::end(owner)));
        else if (column == "LvProp" && !properties.empty())
            row[i] = core::Value(properties);
    }
    insertRow(kObjectsTable, std::move(row));
}

void Database::deleteCatalogRow(std::int32_t id) {
    deleteRow(kObjectsTable, catalogRowOf(id));
}

void Database::updateCatalogProperties(const CatalogEntry& entry, const core::Bytes& blob) {
    const RowId row = catalogRowOf(entry.id);
    const auto& columns = catalogSchema()->columns;
    std::size_t propColumn = columns.size();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == "LvProp") propColumn = i;
    if (propColumn == columns.size()) throwDamaged("MSysObjects lacks its LvProp");
    auto values = readRow(kObjectsTable, row);
    values[propColumn] = blob.empty() ? core::Value() : core::Value(blob);
    updateRow(kObjectsTable, row, values);
    reloadCatalog();
}

} // namespace jet
