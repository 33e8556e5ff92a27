// Database::create: a new, empty Jet 4 file like the one the database catalog makes --
// header, global usage map, the four system tables and their catalog rows; and
// Database::createEmptyLike, the same made from another file's header and system tables.
#include "jet/Database.h"

#include "core/Error.h"
#include "jet/file/HeaderPage.h"
#include "jet/write/DataPageEditor.h"
#include "jet/write/JetClock.h"
#include "jet/write/PageAllocator.h"
#include "jet/write/SystemTables.h"
#include "jet/write/TableStorage.h"
#include "jet/write/TableWriter.h"
#include "jet/write/UsageMapEditor.h"

#include <functional>

namespace jet {

namespace {

// The access entries the catalog gives the objects of a new file: object, mask, inherit, SID.
struct AccessEntry {
    std::int32_t object;
    std::int32_t mask;
    bool inheritable;
    core::Bytes sid;
};

std::vector<AccessEntry> initialAccessEntries() {
    const core::Bytes admins{0x64, 0x8B}, creator{0x65, 0x8E}, users{0x65, 0x8B};
    return {{2, 393216, false, admins},
            {3, 393216, false, admins},
            {4, 393216, false, admins},
            {5, 917504, false, admins},
            {kTablesContainerId, 983294, true, creator},
            {kTablesContainerId, 393217, false, admins},
            {kRelationshipsContainerId, 983294, true, creator},
            {kRelationshipsContainerId, 393217, false, admins},
            {kDatabasesContainerId, 393216, false, admins},
            {kDatabaseObjectId, 393230, false, admins},
            {kDatabaseObjectId, 14, false, users},
            {4, 20, false, users},
            {5, 20, false, users},
            {2, 20, false, users},
            {kTablesContainerId, 1048319, true, users},
            {kRelationshipsContainerId, 1048575, true, users}};
}

// A system table of another file as a new file's: its columns and indexes, none of its pages.
TableSchema emptySystemTable(const TableSchema& model) {
    TableSchema t = model;
    t.definitionPage = t.usageMapPointer = t.freeMapPointer = 0;
    t.rowCount = t.nextAutoNumber = 0;
    t.longValueMaps.clear();
    for (auto& x : t.indexData) x.entryCount = x.firstPage = x.usageMapPointer = 0;
    return t;
}

} // namespace

class DatabaseCreator {
public:
    // The header page and the system tables (MSysObjects first) of the new file.
    static void build(Database& db, const PageBytes& header, std::vector<TableSchema> schemas) {
        PageFile& file = *db.pages_;
        const FileFormat& format = file.format();
        file.begin();
        file.append(header);
        // Page 1 holds the global usage map (free pages) and a second, empty map.
        PageBytes maps = emptyDataPage(1, format);
        auto row = UsageMapEditor::emptyRow();
        appendRow(maps, row, format);
        appendRow(maps, row, format);
        file.append(maps);

        db.header_ = DatabaseHeader::read(file.bytes(file.read(0)), format);
        file.setEncodingKey(db.header_.encodingKey);
        db.allocator_ = std::make_unique<PageAllocator>();
        db.store_ = std::make_unique<PageStore>(file, *db.allocator_);

        for (auto& schema : schemas) createTableStorage(*db.store_, schema);
        if (schemas.front().definitionPage != kCatalogDefinitionPage)
            throw core::Error("The system catalog could not be placed on page 2.");
        for (auto& schema : schemas)
            db.schemas_[schema.definitionPage] = std::make_shared<TableSchema>(schema);
        // Nothing is listed yet, not even the catalog itself, which reading would call damage.
        db.catalog_ = Catalog();

        auto object = [&](std::int32_t id, std::int32_t parent, const char* name, ObjectType type) {
            db.insertCatalogRow(id, parent, name, static_cast<std::int16_t>(type),
                                object_flag::kSystem, {});
        };
        object(kTablesContainerId, kRootContainerId, "Tables", ObjectType::Container);
        object(kDatabasesContainerId, kRootContainerId, "Databases", ObjectType::Container);
        object(kRelationshipsContainerId, kRootContainerId, "Relationships", ObjectType::Container);
        object(kDatabaseObjectId, kDatabasesContainerId, "MSysDb", ObjectType::Database);
        for (const auto& schema : schemas)
            object(static_cast<std::int32_t>(schema.definitionPage), kTablesContainerId,
                   schema.name.c_str(), ObjectType::Table);
        db.catalog_ = Catalog::read(file);

        const auto columns = aceColumns(db);
        for (const auto& e : initialAccessEntries()) {
            std::vector<core::Value> values(columns.size());
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const std::string& name = columns[i];
                if (name == "ACM")
                    values[i] = core::Value(e.mask);
                else if (name == "FInheritable")
                    values[i] = core::Value(e.inheritable);
                else if (name == "ObjectId")
                    values[i] = core::Value(e.object);
                else if (name == "SID")
                    values[i] = core::Value(e.sid);
            }
            db.insertRow("MSysACEs", std::move(values));
        }
        markPagesBeyondTheEndFree(db);
        db.commit();
    }

    static std::unique_ptr<Database> make(const std::filesystem::path& path,
                                          const std::string& password, const FileFormat& format,
                                          const std::function<void(Database&)>& fill) {
        {
            std::unique_ptr<Database> db(new Database());
            db->path_ = path;
            db->pages_ = PageFile::create(path, format);
            try {
                fill(*db);
            } catch (...) {
                db.reset();
                std::error_code ignored;
                std::filesystem::remove(path, ignored);
                throw;
            }
        }
        return Database::open(path, password, OpenMode::ReadWrite);
    }

private:
    static std::vector<std::string> aceColumns(Database& db) {
        std::vector<std::string> names;
        for (const auto& c : db.table("MSysACEs").schema().columns) names.push_back(c.name);
        return names;
    }

    // Jet's global map counts every page past the end of the file as free.
    static void markPagesBeyondTheEndFree(Database& db) {
        UsageMapEditor global(*db.store_, kGlobalUsageMapPointer);
        for (std::uint32_t page = db.pages_->pageCount(); page < usage_map::kInlinePages; ++page)
            global.add(page);
    }
};

std::unique_ptr<Database> Database::create(const std::filesystem::path& path,
                                           const std::string& password) {
    return DatabaseCreator::make(path, password, FileFormat::jet4(), [&](Database& db) {
        DatabaseCreator::build(db, makeHeaderPage(password, currentJetTime()),
                               systemTableSchemas());
    });
}

std::unique_ptr<Database> Database::createEmptyLike(const std::filesystem::path& path,
                                                    const Database& model) {
    std::vector<TableSchema> schemas{emptySystemTable(*model.catalogSchema())};
    for (const char* name : {"MSysACEs", "MSysQueries", "MSysRelationships"})
        if (model.hasTable(name)) {
            schemas.push_back(emptySystemTable(model.table(name).schema()));
            schemas.back().name = name;
        }
    return DatabaseCreator::make(
        path, model.header().password, model.pages().format(), [&](Database& db) {
            DatabaseCreator::build(db, copyOf(model.pages().read(0)), std::move(schemas));
        });
}

} // namespace jet
