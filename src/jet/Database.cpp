#include "jet/Database.h"

#include "core/Error.h"
#include "core/ObjectName.h"
#include "jet/catalog/PropertyMapWriter.h"
#include "jet/file/UsageMap.h"
#include "jet/rows/DataPage.h"
#include "jet/rows/RowLayout.h"
#include "jet/rows/ValueDecoder.h"
#include "jet/schema/FormatColumns.h"
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

void Database::requireDefinitionChange() const {
    requireTransaction();
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
    // The counters the statement moved stay in the writers until the next statement, change
    // or commit saves them before its own savepoint: a script of many statements writes the
    // definition page once per statement, outside any savepoint, instead of copying it into
    // each statement's undo record.
    if (succeeded) return pages_->releaseSavepoint();
    undoToSavepoint();
}

void Database::atomically(const std::function<void()>& change) {
    // An undo reads the counters back from the pages: they must hold every earlier change's.
    saveCounters();
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
    lastWriterName_.clear();
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
    if (!lastWriterName_.empty() && name == lastWriterName_) {
        const auto it = writers_.find(lastWriterPage_);
        if (it != writers_.end() && it->second) return *it->second;
    }
    std::shared_ptr<TableSchema> schema;
    if (core::sameName(name, "MSysObjects")) {
        schema = catalogSchema();
    } else {
        const CatalogEntry* entry = catalog_.findTable(name);
        if (!entry) throwNoTable(name);
        schema = schemaFor(*entry);
        lastWriterName_ = name;
        lastWriterPage_ = schema->definitionPage;
    }
    auto& writer = writers_[schema->definitionPage];
    if (!writer) writer = std::make_unique<TableWriter>(*store_, *schema);
    return *writer;
}

IndexMaintainer& Database::indexesFor(std::string_view name) {
    return indexesFor(writerFor(name));
}

IndexMaintainer& Database::indexesFor(TableWriter& writer) {
    auto& maintainer = maintainers_[writer.schema().definitionPage];
    if (!maintainer) maintainer = std::make_unique<IndexMaintainer>(*store_, writer.schema());
    return *maintainer;
}

RowId Database::insertRow(std::string_view table, std::vector<core::Value> values) {
    TableWriter& writer = writerFor(table);
    IndexMaintainer& indexes = indexesFor(writer);
    catchUpCounter(writer, values);
    auto prepared = writer.prepareInsert(std::move(values));
    const auto keys = indexes.admit(prepared);
    RowId id = writer.insertPrepared(prepared);
    indexes.add(keys, id);
    return id;
}

void Database::updateRow(std::string_view table, RowId row, std::vector<core::Value> values) {
    TableWriter& writer = writerFor(table);
    auto old = writer.read(row);
    auto coerced = writer.coerce(std::move(values));
    IndexMaintainer& indexes = indexesFor(writer);
    indexes.checkAdmissible(coerced, row);
    writer.update(row, coerced);
    indexes.remove(old, row);
    indexes.add(coerced, row);
}

void Database::deleteRow(std::string_view table, RowId row) {
    TableWriter& writer = writerFor(table);
    IndexMaintainer& indexes = indexesFor(writer);
    auto old = writer.read(row);
    writer.remove(row);
    indexes.remove(old, row);
}

RowId Database::insertRowUnindexed(std::string_view table, std::vector<core::Value> values,
                                   std::span<const std::optional<core::Bytes>> storedText) {
    TableWriter& writer = writerFor(table);
    catchUpCounter(writer, values);
    return writer.insert(std::move(values), storedText);
}

void Database::buildIndexes(std::string_view table, std::vector<IndexData> data,
                            std::vector<IndexDef> indexes) {
    requireDefinitionChange();
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
    requireDefinitionChange();
    if (schema.name.empty() || schema.name.size() > 64)
        throw core::SqlError("'" + schema.name + "' is not a valid name.");
    if (catalog_.findTable(schema.name) || catalog_.findObject(schema.name, ObjectType::Query))
        throw core::SqlError("Table '" + schema.name + "' already exists.");
    layOutNewColumns(schema);
    fitColumnsToFormat(schema.columns, pages_->format());
    schema.rowCount = 0;
    schema.nextAutoNumber = 0;
    createTableStorage(*store_, schema);
    core::Bytes blob;
    if (!properties.columns.empty() || !properties.table.properties.empty())
        blob = encodePropertyMaps(properties, pages_->format());
    insertCatalogRow(static_cast<std::int32_t>(schema.definitionPage), kTablesContainerId,
                     schema.name, static_cast<std::int16_t>(ObjectType::Table), 0, blob);
    auto stored = std::make_shared<TableSchema>(std::move(schema));
    schemas_[stored->definitionPage] = stored;
    reloadCatalog();
}

void Database::dropTable(std::string_view name) {
    requireDefinitionChange();
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
        const PageRef ref = pages_->read(page);
        auto bytes = pages_->bytes(ref);
        if (bytes[0] != static_cast<std::uint8_t>(PageType::Data) ||
            u32(bytes, data_page::kOwner) != schema.definitionPage)
            continue;
        for (std::uint16_t s = 0, n = slotCount(bytes, pages_->format()); s < n; ++s) {
            RowSlot slot = rowSlot(bytes, s, pages_->format());
            if (slot.deleted || slot.movedHere) continue;
            RowId home{page, static_cast<std::uint8_t>(s)};
            rows.emplace_back(reader.read(home), home);
        }
    }
    (void)hasVariable;
    IndexMaintainer(*store_, schema).rebuild(rows);
}

void Database::createIndex(std::string_view table, IndexData data, IndexDef def) {
    requireDefinitionChange();
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
    requireDefinitionChange();
    const CatalogEntry& entry = requireTable(table);
    auto schema = schemaFor(entry);
    maintainers_.erase(entry.definitionPage());
    saveCounters();
    writers_.erase(entry.definitionPage());
    dropIndexStorage(*store_, *schema, index);
    rewriteTableDefinition(*store_, *schema);
}

void Database::addColumn(std::string_view table, ColumnDef column, const PropertyMap& properties) {
    requireDefinitionChange();
    const CatalogEntry& entry = requireTable(table);
    auto schema = schemaFor(entry);
    if (schema->findColumn(column.name))
        throw core::SqlError("Field '" + column.name + "' already exists in table '" +
                             schema->name + "'.");
    maintainers_.erase(entry.definitionPage());
    saveCounters();
    writers_.erase(entry.definitionPage());
    addColumnToSchema(*schema, std::move(column));
    fitColumnsToFormat(std::span(&schema->columns.back(), 1), pages_->format());
    if (isLongValue(schema->columns.back().type)) addLongValueMaps(*store_, *schema);
    rewriteTableDefinition(*store_, *schema);
    if (!properties.properties.empty()) {
        auto maps = parsePropertyMaps(entry.propertyBlob);
        PropertyMap map = properties;
        map.objectName = schema->columns.back().name;
        maps.columns.push_back(map);
        updateCatalogProperties(entry, encodePropertyMaps(maps, pages_->format()));
    }
}

void Database::dropColumn(std::string_view table, std::string_view column) {
    requireDefinitionChange();
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
    updateCatalogProperties(entry, encodePropertyMaps(maps, pages_->format()));
}

void Database::setColumnProperties(std::string_view table, const PropertyMaps& properties) {
    requireDefinitionChange();
    updateCatalogProperties(requireTable(table), encodePropertyMaps(properties, pages_->format()));
}

} // namespace jet

namespace jet {

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

} // namespace jet
