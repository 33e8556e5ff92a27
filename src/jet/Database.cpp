#include "jet/Database.h"

#include "core/Error.h"
#include "core/ObjectName.h"
#include "jet/catalog/PropertyMapWriter.h"
#include "jet/file/UsageMap.h"
#include "jet/rows/DataPage.h"
#include "jet/rows/RowLayout.h"
#include "jet/rows/ValueDecoder.h"
#include "jet/schema/TableDefinition.h"
#include "jet/write/ColumnLayout.h"
#include "jet/write/DataPageEditor.h"
#include "jet/write/IndexMaintainer.h"
#include "jet/write/JetClock.h"
#include "jet/write/PageAllocator.h"
#include "jet/write/PageStore.h"
#include "jet/write/SystemTables.h"
#include "jet/write/TableStorage.h"
#include "jet/write/TableWriter.h"
#include "jet/write/UsageMapEditor.h"

namespace jet {

Database::Database() = default;
Database::~Database() = default;

std::unique_ptr<Database> Database::open(const std::filesystem::path& path,
                                         const std::string& password, OpenMode mode) {
    std::unique_ptr<Database> db(new Database());
    db->path_ = path;
    db->pages_ = PageFile::open(path, mode == OpenMode::ReadWrite ? PageFile::Access::ReadWrite
                                                                  : PageFile::Access::ReadOnly);
    if (db->pages_->pageCount() < 3)
        throw core::FormatError("Unrecognized database format '" + path.string() + "'.");
    const FileFormat& format = db->pages_->format();
    db->header_ = DatabaseHeader::read(db->pages_->bytes(db->pages_->read(0)), format);
    if (!db->header_.password.empty() && db->header_.password != password)
        throw core::PasswordError();
    db->pages_->setEncodingKey(db->header_.encodingKey);
    db->allocator_ = std::make_unique<PageAllocator>();
    db->store_ = std::make_unique<PageStore>(*db->pages_, *db->allocator_);
    db->catalog_ = Catalog::read(*db->pages_);
    return db;
}

std::vector<std::string> Database::tableNames() const {
    std::vector<std::string> names;
    for (const auto& e : catalog_.entries())
        if (e.isUserTable()) names.push_back(e.name);
    return names;
}

std::vector<std::string> Database::viewNames() const {
    std::vector<std::string> names;
    for (const auto& e : catalog_.entries())
        if (e.isView()) names.push_back(e.name);
    return names;
}

std::shared_ptr<TableSchema> Database::schemaFor(const CatalogEntry& entry) const {
    auto& schema = schemas_[entry.definitionPage()];
    if (!schema) {
        auto s = readTableDefinition(*pages_, entry.definitionPage());
        s.name = entry.name;
        schema = std::make_shared<TableSchema>(std::move(s));
    }
    return schema;
}

namespace {
[[noreturn]] void throwNoTable(std::string_view name) {
    throw core::SqlError("The Microsoft Jet database engine cannot find the input table or "
                         "query '" +
                         std::string(name) +
                         "'. Make sure it exists and that "
                         "its name is spelled correctly.");
}
} // namespace

Table Database::table(std::string_view name) const {
    const CatalogEntry* entry = catalog_.findTable(name);
    if (!entry) throwNoTable(name);
    auto props = std::make_shared<const PropertyMaps>(parsePropertyMaps(entry->propertyBlob));
    return Table(*pages_, schemaFor(*entry), std::move(props));
}

void Database::requireTransaction() const {
    if (!pages_->inTransaction())
        throw core::Error("A change to the database needs a transaction.");
}

void Database::begin() {
    pages_->begin();
}

void Database::saveCounters() {
    for (auto& [page, writer] : writers_) writer->saveDefinitionCounters();
}

void Database::forgetCachedTables() {
    // Schemas may hold counters and row counts of forgotten changes; writers and index
    // maintainers refer to them. A counter raised by a forgotten change lags again.
    countersCaughtUp_.clear();
    maintainers_.clear();
    writers_.clear();
    schemas_.clear();
}

void Database::commit() {
    saveCounters();
    maintainers_.clear();
    writers_.clear();
    try {
        pages_->commit();
    } catch (...) {
        // A failed commit rolled the pages back: the catalog and schemas read within the
        // transaction describe changes that are gone. The commit's error is the one to
        // report, even when the file cannot be read again now.
        forgetCachedTables();
        try {
            reloadCatalog();
        } catch (const core::Error&) {
        }
        throw;
    }
}

void Database::rollback() {
    pages_->rollback();
    forgetCachedTables();
    reloadCatalog();
}

void Database::beginStatement() {
    requireTransaction();
    saveCounters();
    pages_->beginSavepoint();
}

void Database::endStatement(bool succeeded) {
    if (succeeded) {
        saveCounters();
        pages_->releaseSavepoint();
        return;
    }
    undoToSavepoint();
}

void Database::atomically(const std::function<void()>& change) {
    pages_->beginSavepoint();
    try {
        change();
        pages_->releaseSavepoint();
    } catch (...) {
        undoToSavepoint();
        throw;
    }
}

void Database::undoToSavepoint() {
    pages_->rollbackToSavepoint();
    forgetCachedTables();
    reloadCatalog();
}

void Database::reloadCatalog() {
    catalog_ = Catalog::read(*pages_);
    // Drop schemas of tables that no longer exist.
    for (auto it = schemas_.begin(); it != schemas_.end();) {
        bool alive = false;
        for (const auto& e : catalog_.entries())
            if (e.isTable() && e.definitionPage() == it->first) alive = true;
        it = alive ? std::next(it) : schemas_.erase(it);
    }
}

std::shared_ptr<TableSchema> Database::catalogSchema() const {
    // The catalog describes every table but itself: its definition is always on page 2.
    auto& schema = schemas_[kCatalogDefinitionPage];
    if (!schema) {
        auto s = readTableDefinition(*pages_, kCatalogDefinitionPage);
        s.name = "MSysObjects";
        schema = std::make_shared<TableSchema>(std::move(s));
    }
    return schema;
}

TableWriter& Database::writerFor(std::string_view name) {
    requireTransaction();
    std::shared_ptr<TableSchema> schema;
    if (core::sameName(name, "MSysObjects")) {
        schema = catalogSchema();
    } else {
        const CatalogEntry* entry = catalog_.findTable(name);
        if (!entry) throwNoTable(name);
        schema = schemaFor(*entry);
    }
    auto& writer = writers_[schema->definitionPage];
    if (!writer) writer = std::make_unique<TableWriter>(*store_, *schema);
    return *writer;
}

IndexMaintainer& Database::indexesFor(std::string_view name) {
    TableWriter& writer = writerFor(name);
    auto& maintainer = maintainers_[writer.schema().definitionPage];
    if (!maintainer) maintainer = std::make_unique<IndexMaintainer>(*store_, writer.schema());
    return *maintainer;
}

RowId Database::insertRow(std::string_view table, std::vector<core::Value> values) {
    TableWriter& writer = writerFor(table);
    IndexMaintainer& indexes = indexesFor(table);
    catchUpCounter(writer, values);
    auto prepared = writer.prepareInsert(std::move(values));
    indexes.checkAdmissible(prepared);
    RowId id = writer.insertPrepared(prepared);
    indexes.add(prepared, id);
    return id;
}

void Database::updateRow(std::string_view table, RowId row, std::vector<core::Value> values) {
    TableWriter& writer = writerFor(table);
    IndexMaintainer& indexes = indexesFor(table);
    auto old = writer.read(row);
    auto coerced = writer.coerce(std::move(values));
    indexes.checkAdmissible(coerced, row);
    writer.update(row, coerced);
    indexes.remove(old, row);
    indexes.add(coerced, row);
}

void Database::deleteRow(std::string_view table, RowId row) {
    TableWriter& writer = writerFor(table);
    IndexMaintainer& indexes = indexesFor(table);
    auto old = writer.read(row);
    writer.remove(row);
    indexes.remove(old, row);
}

RowId Database::insertRowUnindexed(std::string_view table, std::vector<core::Value> values) {
    TableWriter& writer = writerFor(table);
    catchUpCounter(writer, values);
    return writer.insert(std::move(values));
}

void Database::buildIndexes(std::string_view table, std::vector<IndexData> data,
                            std::vector<IndexDef> indexes) {
    requireTransaction();
    const CatalogEntry* entry = catalog_.findTable(table);
    if (!entry) throwNoTable(table);
    auto schema = schemaFor(*entry);
    releaseWritersOf(entry->definitionPage());
    addIndexesStorage(*store_, *schema, std::move(data), std::move(indexes));
    rewriteTableDefinition(*store_, *schema);
    reindex(*schema);
}

void Database::catchUpCounter(TableWriter& writer, const std::vector<core::Value>& values) {
    const TableSchema& schema = writer.schema();
    if (countersCaughtUp_.count(schema.definitionPage)) return;
    std::optional<std::size_t> counter;
    for (std::size_t i = 0; i < schema.columns.size(); ++i)
        if (schema.columns[i].flags & column_flag::kAutoLong) counter = i;
    if (!counter) return;
    // An insert that gives the counter's value itself takes nothing from the counter.
    if (*counter < values.size() && !values[*counter].isNull()) return;
    std::int64_t highest = 0;
    Cursor cursor(*pages_, schemas_.at(schema.definitionPage));
    while (cursor.next()) {
        const core::Value v = cursor.value(*counter);
        if (auto n = v.getIf<std::int32_t>()) highest = std::max<std::int64_t>(highest, *n);
    }
    writer.raiseCounter(static_cast<std::uint32_t>(highest));
    countersCaughtUp_.insert(schema.definitionPage);
}

void Database::setCounter(std::string_view table, std::uint32_t last) {
    TableWriter& writer = writerFor(table);
    writer.raiseCounter(last);
}

std::vector<core::Value> Database::readRow(std::string_view table, RowId row) {
    const CatalogEntry* entry = catalog_.findTable(table);
    if (!entry) throwNoTable(table);
    TableWriter reader(*store_, *schemaFor(*entry));
    return reader.read(row);
}

void Database::createTable(TableSchema schema, const PropertyMaps& properties) {
    requireTransaction();
    if (schema.name.empty() || schema.name.size() > 64)
        throw core::SqlError("'" + schema.name + "' is not a valid name.");
    if (catalog_.findTable(schema.name) || catalog_.findObject(schema.name, ObjectType::Query))
        throw core::SqlError("Table '" + schema.name + "' already exists.");
    layOutNewColumns(schema);
    schema.rowCount = 0;
    schema.nextAutoNumber = 0;
    createTableStorage(*store_, schema);
    core::Bytes blob;
    if (!properties.columns.empty() || !properties.table.properties.empty())
        blob = encodePropertyMaps(properties);
    insertCatalogRow(static_cast<std::int32_t>(schema.definitionPage), kTablesContainerId,
                     schema.name, static_cast<std::int16_t>(ObjectType::Table), 0, blob);
    auto stored = std::make_shared<TableSchema>(std::move(schema));
    schemas_[stored->definitionPage] = stored;
    reloadCatalog();
}

void Database::dropTable(std::string_view name) {
    requireTransaction();
    const CatalogEntry* entry = catalog_.findTable(name);
    if (!entry || entry->isSystem()) throwNoTable(name);
    auto schema = schemaFor(*entry);
    std::uint32_t page = entry->definitionPage();
    std::int32_t id = entry->id;
    writers_.erase(page);
    dropTableStorage(*store_, *schema);
    schemas_.erase(page);
    deleteCatalogRow(id);
    reloadCatalog();
}

} // namespace jet

namespace jet {

const CatalogEntry& Database::requireTable(std::string_view name) const {
    const CatalogEntry* entry = catalog_.findTable(name);
    if (!entry || entry->isSystem()) throwNoTable(name);
    return *entry;
}

std::int32_t Database::nextCounter(std::string_view table) {
    TableWriter& writer = writerFor(table);
    catchUpCounter(writer, {});
    return static_cast<std::int32_t>(writer.takeCounter());
}

void Database::reindex(TableSchema& schema) {
    // Every row with the address indexes know it by (a moved row by its home slot).
    std::vector<std::pair<std::vector<core::Value>, RowId>> rows;
    TableWriter reader(*store_, schema);
    bool hasVariable = schema.variableColumns > 0;
    for (std::uint32_t page : readUsageMap(*pages_, schema.usageMapPointer)) {
        auto bytes = bytesOf(pages_->read(page));
        if (bytes[0] != static_cast<std::uint8_t>(PageType::Data) ||
            u32(bytes, data_page::kOwner) != schema.definitionPage)
            continue;
        for (std::uint16_t s = 0, n = slotCount(bytes); s < n; ++s) {
            RowSlot slot = rowSlot(bytes, s);
            if (slot.deleted || slot.movedHere) continue;
            RowId home{page, static_cast<std::uint8_t>(s)};
            rows.emplace_back(reader.read(home), home);
        }
    }
    (void)hasVariable;
    IndexMaintainer(*store_, schema).rebuild(rows);
}

void Database::createIndex(std::string_view table, IndexData data, IndexDef def) {
    requireTransaction();
    const CatalogEntry& entry = requireTable(table);
    auto schema = schemaFor(entry);
    for (const auto& existing : schema->indexes)
        if (core::sameName(existing.name, def.name))
            throw core::SqlError("Index '" + def.name + "' already exists.");
    if (def.kind == IndexKind::Primary)
        for (const auto& existing : schema->indexes)
            if (existing.kind == IndexKind::Primary)
                throw core::SqlError("Primary key already exists.");
    for (const auto& c : data.columns)
        if (!schema->columnByNumber(c.columnNumber))
            throw core::SqlError("An index names a field the table does not have.");
    // Writers and index maintainers point into the schema: let them go before it changes.
    maintainers_.erase(entry.definitionPage());
    saveCounters();
    writers_.erase(entry.definitionPage());
    // A refused index (duplicate keys in the rows) must leave no pages behind.
    atomically([&] {
        addIndexStorage(*store_, *schema, std::move(data), std::move(def));
        rewriteTableDefinition(*store_, *schema);
        reindex(*schema);
    });
}

void Database::dropIndex(std::string_view table, std::string_view index) {
    requireTransaction();
    const CatalogEntry& entry = requireTable(table);
    auto schema = schemaFor(entry);
    maintainers_.erase(entry.definitionPage());
    saveCounters();
    writers_.erase(entry.definitionPage());
    dropIndexStorage(*store_, *schema, index);
    rewriteTableDefinition(*store_, *schema);
}

void Database::addColumn(std::string_view table, ColumnDef column, const PropertyMap& properties) {
    requireTransaction();
    const CatalogEntry& entry = requireTable(table);
    auto schema = schemaFor(entry);
    if (schema->findColumn(column.name))
        throw core::SqlError("Field '" + column.name + "' already exists in table '" +
                             schema->name + "'.");
    maintainers_.erase(entry.definitionPage());
    saveCounters();
    writers_.erase(entry.definitionPage());
    addColumnToSchema(*schema, std::move(column));
    if (isLongValue(schema->columns.back().type)) addLongValueMaps(*store_, *schema);
    rewriteTableDefinition(*store_, *schema);
    if (!properties.properties.empty()) {
        auto maps = parsePropertyMaps(entry.propertyBlob);
        PropertyMap map = properties;
        map.objectName = schema->columns.back().name;
        maps.columns.push_back(map);
        updateCatalogProperties(entry, encodePropertyMaps(maps));
    }
}

void Database::dropColumn(std::string_view table, std::string_view column) {
    requireTransaction();
    const CatalogEntry& entry = requireTable(table);
    auto schema = schemaFor(entry);
    const ColumnDef* c = schema->findColumn(column);
    if (!c)
        throw core::SqlError("Field '" + std::string(column) + "' does not exist in table '" +
                             schema->name + "'.");
    for (const auto& index : schema->indexData)
        for (const auto& ic : index.columns)
            if (ic.columnNumber == c->number)
                throw core::SqlError(
                    "Cannot delete a field that is part of an index or is needed by the system.");
    if (schema->columns.size() == 1) throw core::SqlError("A table must have at least one field.");
    maintainers_.erase(entry.definitionPage());
    saveCounters();
    writers_.erase(entry.definitionPage());
    std::string name = c->name;
    removeColumnFromSchema(*schema, name);
    rewriteTableDefinition(*store_, *schema);
    auto maps = parsePropertyMaps(entry.propertyBlob);
    auto& columns = maps.columns;
    columns.erase(
        std::remove_if(columns.begin(), columns.end(),
                       [&](const PropertyMap& m) { return core::sameName(m.objectName, name); }),
        columns.end());
    updateCatalogProperties(entry, encodePropertyMaps(maps));
}

void Database::setColumnProperties(std::string_view table, const PropertyMaps& properties) {
    requireTransaction();
    updateCatalogProperties(requireTable(table), encodePropertyMaps(properties));
}

} // namespace jet

namespace jet {

namespace {
constexpr std::string_view kRelationshipsTable = "MSysRelationships";

std::size_t columnPosition(const TableSchema& schema, std::string_view name) {
    for (std::size_t i = 0; i < schema.columns.size(); ++i)
        if (core::sameName(schema.columns[i].name, name)) return i;
    throwDamaged("MSysRelationships lacks its column " + std::string(name));
}

std::string textOf(const core::Value& v) {
    const auto* s = v.getIf<std::string>();
    return s ? *s : std::string();
}

const ColumnDef& columnNumbered(const TableSchema& schema, std::uint16_t number) {
    const ColumnDef* c = schema.columnByNumber(number);
    if (!c) throwDamaged("a relationship names a field its table lacks");
    return *c;
}
} // namespace

std::vector<std::vector<core::Value>> Database::allRows(std::string_view name) const {
    const Table t = table(name);
    std::vector<std::vector<core::Value>> rows;
    auto cursor = t.scan();
    while (cursor.next()) {
        std::vector<core::Value> row;
        for (std::size_t i = 0; i < t.schema().columns.size(); ++i) row.push_back(cursor.value(i));
        rows.push_back(std::move(row));
    }
    return rows;
}

void Database::releaseWritersOf(std::uint32_t definitionPage) {
    // Writers and index maintainers point into the schema: let them go before it changes.
    maintainers_.erase(definitionPage);
    saveCounters();
    writers_.erase(definitionPage);
}

void Database::createRelationship(const RelationshipDef& rel, RelationshipRows rows) {
    requireTransaction();
    const CatalogEntry& childEntry = requireTable(rel.table);
    const CatalogEntry& parentEntry = requireTable(rel.referencedTable);
    auto child = schemaFor(childEntry);
    auto parent = schemaFor(parentEntry);
    if (rel.name.empty() || rel.name.size() > 64)
        throw core::SqlError("'" + rel.name + "' is not a valid name.");
    if (rel.columns.empty() || rel.columns.size() != rel.referencedColumns.size() ||
        rel.columns.size() > 10)
        throw core::SqlError(
            "Relationship must be on the same number of fields with the same data types.");
    const auto childColumns = relationshipColumns(*child, rel.columns);
    const auto parentColumns = relationshipColumns(*parent, rel.referencedColumns);
    for (std::size_t i = 0; i < childColumns.size(); ++i)
        if (columnNumbered(*child, childColumns[i]).type !=
            columnNumbered(*parent, parentColumns[i]).type)
            throw core::SqlError(
                "Relationship must be on the same number of fields with the same data types.");
    for (const auto& existing : child->indexes)
        if (core::sameName(existing.name, rel.name))
            throw core::SqlError("Relationship '" + rel.name + "' already exists.");
    const Table relationships = table(kRelationshipsTable);
    const TableSchema& relSchema = relationships.schema();
    {
        const std::size_t nameAt = columnPosition(relSchema, "szRelationship");
        auto cursor = relationships.scan();
        while (cursor.next())
            if (core::sameName(textOf(cursor.value(nameAt)), rel.name))
                throw core::SqlError("Relationship '" + rel.name + "' already exists.");
    }
    const auto parentData = indexOverColumns(*parent, parentColumns, true);
    if (!parentData)
        throw core::SqlError("No unique index found for the referenced field of the primary "
                             "table.");
    // Checked before anything is written, so a refusal leaves no trace.
    requireParentsExist(*parent, parentColumns, allRows(parent->name), *child, childColumns,
                        allRows(child->name), pages_->format());
    const bool oneToOne = indexOverColumns(*child, childColumns, true).has_value();
    const std::int32_t grbit = relationshipGrbit(rel, oneToOne);

    releaseWritersOf(parentEntry.definitionPage());
    releaseWritersOf(childEntry.definitionPage());
    atomically([&] {
        // The referenced side's entry comes first, so the referencing side's number is the
        // next one after it (in the same table, for a table that refers to itself).
        IndexDef referenced;
        referenced.name = referencedEntryName(*parent);
        referenced.number = nextLogicalIndexNumber(*parent);
        referenced.dataIndex = *parentData;
        referenced.kind = IndexKind::ForeignKey;
        referenced.relatedTableType = relationship_side::kReferenced;
        referenced.relatedTablePage = child->definitionPage;
        referenced.cascadeUpdates = rel.cascadeUpdates;
        referenced.cascadeDeletes = rel.cascadeDeletes;
        if (parent->indexes.size() >= 32)
            throw core::SqlError("Too many indexes on table '" + parent->name + "'.");
        parent->indexes.push_back(referenced);

        IndexDef referencing;
        referencing.name = rel.name;
        referencing.kind = IndexKind::ForeignKey;
        referencing.relatedTableType = relationship_side::kReferencing;
        referencing.relatedIndexNumber = static_cast<std::int32_t>(referenced.number);
        referencing.relatedTablePage = parent->definitionPage;
        referencing.cascadeUpdates = rel.cascadeUpdates;
        referencing.cascadeDeletes = rel.cascadeDeletes;
        const std::uint32_t referencingNumber = nextLogicalIndexNumber(*child);
        parent->indexes.back().relatedIndexNumber = static_cast<std::int32_t>(referencingNumber);
        if (auto shared = indexOverColumns(*child, childColumns, false)) {
            if (child->indexes.size() >= 32)
                throw core::SqlError("Too many indexes on table '" + child->name + "'.");
            referencing.number = referencingNumber;
            referencing.dataIndex = *shared;
            child->indexes.push_back(referencing);
            rewriteTableDefinition(*store_, *child);
        } else {
            IndexData data;
            for (auto number : childColumns) data.columns.push_back({number, true});
            data.flags = 0x80; // what Access sets on every index it writes
            addIndexStorage(*store_, *child, std::move(data), referencing);
            rewriteTableDefinition(*store_, *child);
            reindex(*child);
        }
        if (parent != child) rewriteTableDefinition(*store_, *parent);

        if (rows == RelationshipRows::Skip) return;
        for (std::size_t i = 0; i < childColumns.size(); ++i) {
            std::vector<core::Value> row(relSchema.columns.size());
            for (std::size_t c = 0; c < relSchema.columns.size(); ++c) {
                const std::string& n = relSchema.columns[c].name;
                if (n == "ccolumn")
                    row[c] = core::Value(static_cast<std::int32_t>(childColumns.size()));
                else if (n == "grbit")
                    row[c] = core::Value(grbit);
                else if (n == "icolumn")
                    row[c] = core::Value(static_cast<std::int32_t>(i));
                else if (n == "szColumn")
                    row[c] = core::Value(columnNumbered(*child, childColumns[i]).name);
                else if (n == "szObject")
                    row[c] = core::Value(child->name);
                else if (n == "szReferencedColumn")
                    row[c] = core::Value(columnNumbered(*parent, parentColumns[i]).name);
                else if (n == "szReferencedObject")
                    row[c] = core::Value(parent->name);
                else if (n == "szRelationship")
                    row[c] = core::Value(rel.name);
            }
            insertRow(kRelationshipsTable, std::move(row));
        }
    });
}

void Database::dropRelationship(std::string_view tableName, std::string_view name) {
    requireTransaction();
    const CatalogEntry& childEntry = requireTable(tableName);
    auto child = schemaFor(childEntry);
    const IndexDef* referencing = nullptr;
    for (const auto& d : child->indexes)
        if (d.kind == IndexKind::ForeignKey && core::sameName(d.name, name)) referencing = &d;

    const Table relationships = table(kRelationshipsTable);
    const TableSchema& relSchema = relationships.schema();
    const std::size_t objectAt = columnPosition(relSchema, "szObject");
    const std::size_t nameAt = columnPosition(relSchema, "szRelationship");
    std::vector<RowId> rows;
    {
        auto cursor = relationships.scan();
        while (cursor.next())
            if (core::sameName(textOf(cursor.value(objectAt)), child->name) &&
                core::sameName(textOf(cursor.value(nameAt)), name))
                rows.push_back(cursor.rowId());
    }
    if (!referencing && rows.empty())
        throw core::SqlError("Constraint '" + std::string(name) + "' does not exist on table '" +
                             child->name + "'.");

    std::shared_ptr<TableSchema> parent;
    std::string parentEntryName;
    if (referencing)
        for (const auto& e : catalog_.entries())
            if (e.isTable() && e.definitionPage() == referencing->relatedTablePage) {
                parent = schemaFor(e);
                for (const auto& d : parent->indexes)
                    if (d.kind == IndexKind::ForeignKey &&
                        static_cast<std::int32_t>(d.number) == referencing->relatedIndexNumber)
                        parentEntryName = d.name;
            }
    const std::string childEntryName = referencing ? referencing->name : std::string();

    releaseWritersOf(childEntry.definitionPage());
    if (parent) releaseWritersOf(parent->definitionPage);
    atomically([&] {
        if (!childEntryName.empty()) {
            dropIndexStorage(*store_, *child, childEntryName);
            rewriteTableDefinition(*store_, *child);
        }
        if (parent && !parentEntryName.empty()) {
            // It shares the parent's key: only the logical entry goes.
            dropIndexStorage(*store_, *parent, parentEntryName);
            rewriteTableDefinition(*store_, *parent);
        }
        for (auto id : rows) deleteRow(kRelationshipsTable, id);
    });
}

} // namespace jet
