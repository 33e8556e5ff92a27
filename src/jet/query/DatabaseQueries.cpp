// Database's saved queries: finding them, reading their text, creating and dropping them.
#include "jet/Database.h"

#include "core/Error.h"
#include "jet/query/QueryStore.h"
#include "jet/query/QueryText.h"
#include "jet/write/SystemTables.h"

#include <limits>
#include <optional>

namespace jet {

namespace {
[[noreturn]] void throwNoQuery(std::string_view name) {
    throw core::SqlError("The Microsoft Jet database engine cannot find the input table or "
                         "query '" +
                         std::string(name) +
                         "'. Make sure it exists and that its name is spelled correctly.");
}
// The parent of tables and queries: the container named Tables (Access's files need not use
// the Id a new file gives it).
std::int32_t tablesContainer(const Catalog& catalog) {
    const CatalogEntry* e = catalog.findObject("Tables", ObjectType::Container);
    return e ? e->id : kTablesContainerId;
}
} // namespace

bool Database::hasQuery(std::string_view name) const {
    return catalog_.findObject(name, ObjectType::Query) != nullptr;
}

const CatalogEntry& Database::requireQuery(std::string_view name) const {
    const CatalogEntry* entry = catalog_.findObject(name, ObjectType::Query);
    if (!entry) throwNoQuery(name);
    return *entry;
}

query::QueryKind Database::queryKind(std::string_view name) const {
    return query::queryKindOf(requireQuery(name).flags);
}

std::vector<query::QueryRow> Database::queryRows(std::string_view name) const {
    const CatalogEntry& entry = requireQuery(name);
    std::vector<query::QueryRow> rows;
    if (!catalog_.findTable(query::kQueriesTable)) return rows;
    for (auto& stored : query::readQueryRows(table(query::kQueriesTable), entry.id))
        rows.push_back(std::move(stored.row));
    return rows;
}

std::string Database::queryText(std::string_view name) const {
    const CatalogEntry& entry = requireQuery(name);
    return query::queryText(entry.name, query::queryKindOf(entry.flags), queryRows(entry.name));
}

std::int32_t Database::newObjectId() const {
    // Tables are known by their definition page; other objects need an Id no page can be.
    // Take the one after the highest in use above the database object's.
    std::int32_t id = kDatabaseObjectId;
    for (const auto& e : catalog_.entries())
        if (e.id > id) id = e.id;
    if (id == std::numeric_limits<std::int32_t>::max())
        throw core::Error("The catalog has no object number left for a new object.");
    return id + 1;
}

void Database::createQuery(const std::string& name, query::QueryKind kind,
                           std::vector<query::QueryRow> rows) {
    requireDefinitionChange();
    if (name.empty() || name.size() > 64)
        throw core::SqlError("'" + name + "' is not a valid name.");
    if (catalog_.findTable(name) || hasQuery(name))
        throw core::SqlError("Table '" + name + "' already exists.");
    if (!catalog_.findTable(query::kQueriesTable))
        throw core::SqlError("This database has no MSysQueries table to keep saved queries in.");
    const auto framed = query::framedRows(kind, std::move(rows));
    const std::int32_t id = newObjectId();
    // Both tables change or neither does.
    atomically([&] {
        insertCatalogRow(id, tablesContainer(catalog_), name,
                         static_cast<std::int16_t>(ObjectType::Query),
                         static_cast<std::uint32_t>(kind), {});
        const auto schema = table(query::kQueriesTable).sharedSchema();
        for (std::size_t i = 0; i < framed.size(); ++i)
            insertRow(query::kQueriesTable,
                      query::queryRowValues(*schema, id, framed[i], static_cast<std::uint32_t>(i)));
    });
    reloadCatalog();
}

void Database::dropQuery(std::string_view name) {
    requireDefinitionChange();
    const CatalogEntry& entry = requireQuery(name);
    const std::int32_t id = entry.id;
    atomically([&] {
        if (catalog_.findTable(query::kQueriesTable))
            for (const auto& stored : query::readQueryRows(table(query::kQueriesTable), id))
                deleteRow(query::kQueriesTable, stored.id);
        deleteCatalogRow(id);
    });
    reloadCatalog();
}

} // namespace jet
