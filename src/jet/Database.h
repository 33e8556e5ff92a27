#pragma once
// An open Jet 4 or Jet 3 database file: its header, catalog and tables. The
// engine's entry point. Reading needs nothing more; changes happen inside a transaction that lands
// whole or not at all.
#include "jet/Table.h"
#include "jet/catalog/Catalog.h"
#include "jet/file/DatabaseHeader.h"
#include "jet/file/PageFile.h"
#include "jet/query/QueryRow.h"
#include "jet/write/Relationships.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace jet {

class PageAllocator;
class PageStore;
class TableWriter;
class IndexMaintainer;

enum class OpenMode { ReadOnly, ReadWrite };

class Database {
public:
    // A file with a password opens only with that password; a file without one opens
    // whatever password is given. ReadWrite locks the file against other writers and rolls
    // back a journal left by a crash; a file the system will not let us write opens
    // read-only.
    static std::unique_ptr<Database> open(const std::filesystem::path& path,
                                          const std::string& password = {},
                                          OpenMode mode = OpenMode::ReadOnly);
    // Makes a new, empty database file (refused if the file exists) and opens it read-write.
    static std::unique_ptr<Database> create(const std::filesystem::path& path,
                                            const std::string& password = {});
    // Makes a new database file of the model's version with the model's header (password,
    // sort order) and its system tables, empty of rows but for the catalog's own, and opens
    // it read-write: the start of a compacted copy of an Access 97 file.
    static std::unique_ptr<Database> createEmptyLike(const std::filesystem::path& path,
                                                     const Database& model);
    ~Database();

    const std::filesystem::path& path() const { return path_; }
    const DatabaseHeader& header() const { return header_; }
    const Catalog& catalog() const { return catalog_; }
    const PageFile& pages() const { return *pages_; }
    bool writable() const { return pages_->writable(); }
    bool recoveredJournal() const { return pages_->recoveredJournal(); }

    // User tables and saved select queries (views), in catalog order.
    std::vector<std::string> tableNames() const;
    std::vector<std::string> viewNames() const;
    bool hasTable(std::string_view name) const { return catalog_.findTable(name) != nullptr; }
    // Throws core::SqlError naming the table when it does not exist.
    Table table(std::string_view name) const;

    // Saved queries of any kind, found without regard to case.
    bool hasQuery(std::string_view name) const;
    // The kind bits of the query's catalog Flags; core::SqlError when there is no such query.
    query::QueryKind queryKind(std::string_view name) const;
    // The query's MSysQueries rows in stored order, Start and End rows included.
    std::vector<query::QueryRow> queryRows(std::string_view name) const;
    // The SQL of a select or union query rebuilt from its rows; core::FormatError naming the
    // query for another kind or rows out of shape.
    std::string queryText(std::string_view name) const;

    // Transactions. Every change below needs one.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return pages_->inTransaction(); }
    // A statement inside the transaction: endStatement(false) undoes just its changes.
    void beginStatement();
    void endStatement(bool succeeded);

    // Schema changes. The schema names its columns (type, size, flags, numbers are filled
    // in when left zero) and indexes; pages are assigned here.
    void createTable(TableSchema schema, const PropertyMaps& properties = {});
    void dropTable(std::string_view name);
    // Adds an index (its data entry and logical entry, whose column numbers name the table's
    // columns) and fills it from the table's rows; refused when the rows break uniqueness.
    void createIndex(std::string_view table, IndexData data, IndexDef def);
    void dropIndex(std::string_view table, std::string_view index);
    // A new column, Null in every existing row; rows are not rewritten, as Jet does it.
    void addColumn(std::string_view table, ColumnDef column, const PropertyMap& properties = {});
    // The column leaves the definition; its bytes stay in old rows, unread.
    void dropColumn(std::string_view table, std::string_view column);
    // Gives the column named as `replacement` is that definition (its number is kept), each
    // row's value passed through `convert`; `properties` replace the column's own (none when
    // empty). The table keeps its rows, indexes, counter and relationships.
    void alterColumn(std::string_view table, ColumnDef replacement, PropertyMap properties,
                     const std::function<core::Value(const core::Value&)>& convert);
    // Replaces the table's column properties (defaults, required) as a whole.
    void setColumnProperties(std::string_view table, const PropertyMaps& properties);
    // An enforced relationship, stored as Access stores it: a foreign-key entry in both
    // tables' definitions and its rows in MSysRelationships. Refused, leaving everything as
    // it was, when the referenced columns are not the referenced table's primary key or a
    // unique index, or when a row already lacks its parent. With RelationshipRows::Skip the
    // MSysRelationships rows are left to the caller.
    void createRelationship(const RelationshipDef& rel,
                            RelationshipRows rows = RelationshipRows::Write);
    // Takes both foreign-key entries and the MSysRelationships rows away; `table` is the
    // referencing table.
    void dropRelationship(std::string_view table, std::string_view name);
    // A new saved query: its catalog row (in the Tables container, since tables and queries
    // share one set of names) and its MSysQueries rows, Start, Type and End added around the
    // given ones. Select and union queries only.
    void createQuery(const std::string& name, query::QueryKind kind,
                     std::vector<query::QueryRow> rows);
    // Takes the query's catalog row and its MSysQueries rows away.
    void dropQuery(std::string_view name);
    // Gives out the table's next counter value.
    std::int32_t nextCounter(std::string_view table);

    // Rows, addressed by the slot they were stored in.
    RowId insertRow(std::string_view table, std::vector<core::Value> values);
    void updateRow(std::string_view table, RowId row, std::vector<core::Value> values);
    void deleteRow(std::string_view table, RowId row);
    std::vector<core::Value> readRow(std::string_view table, RowId row);
    // Sets a table's counter (the last value given out), never below what it is.
    void setCounter(std::string_view table, std::uint32_t last);

    // Bulk loading (compaction): rows go into a table created without indexes, then
    // buildIndexes adds its indexes (as addIndexesStorage takes them) and builds them in one
    // pass, each root with its leaves after the rows and the pages packed full; a table whose
    // indexes existed before its rows would keep each root far from its leaves. Between the
    // two the table's existing indexes are stale; system tables are loaded the same way.
    // storedText: text already in the file's encoding, stored as it is (see encodeRow).
    RowId insertRowUnindexed(std::string_view table, std::vector<core::Value> values,
                             std::span<const std::optional<core::Bytes>> storedText = {});
    void buildIndexes(std::string_view table, std::vector<IndexData> data,
                      std::vector<IndexDef> indexes);

private:
    Database();
    std::shared_ptr<TableSchema> schemaFor(const CatalogEntry& entry) const;
    std::shared_ptr<TableSchema> catalogSchema() const;
    TableWriter& writerFor(std::string_view table);
    IndexMaintainer& indexesFor(std::string_view table);
    // The indexes of the writer's table, without looking the table up again.
    IndexMaintainer& indexesFor(TableWriter& writer);
    void saveCounters();
    // A counter that lags the values its column holds (Access files can have one) is raised
    // to the highest of them once per session, before it gives out a value.
    void catchUpCounter(TableWriter& writer, const std::vector<core::Value>& values);
    void forgetCachedTables();
    void requireTransaction() const;
    // A transaction in a file whose version lets tables, indexes, relationships and saved
    // queries change.
    void requireDefinitionChange() const;
    void reloadCatalog();
    // Runs a change that must leave no trace if it fails: its pages go back to a savepoint
    // taken before it, and the catalog and cached schemas are read again.
    void atomically(const std::function<void()>& change);
    void undoToSavepoint();
    void reindex(TableSchema& schema);
    const CatalogEntry& requireTable(std::string_view name) const;
    void updateCatalogProperties(const CatalogEntry& entry, const core::Bytes& blob);
    std::vector<std::vector<core::Value>> allRows(std::string_view table) const;
    void releaseWritersOf(std::uint32_t definitionPage);
    const CatalogEntry& requireQuery(std::string_view name) const;
    std::int32_t newObjectId() const;
    // The catalog row of an object; raises damage when there is none.
    RowId catalogRowOf(std::int32_t id) const;
    void deleteCatalogRow(std::int32_t id);
    void insertCatalogRow(std::int32_t id, std::int32_t parentId, const std::string& name,
                          std::int16_t type, std::uint32_t flags, const core::Bytes& properties);

    std::filesystem::path path_;
    std::unique_ptr<PageFile> pages_;
    std::unique_ptr<PageAllocator> allocator_;
    std::unique_ptr<PageStore> store_;
    DatabaseHeader header_;
    Catalog catalog_;
    mutable std::map<std::uint32_t, std::shared_ptr<TableSchema>> schemas_;
    std::map<std::uint32_t, std::unique_ptr<TableWriter>> writers_;
    std::map<std::uint32_t, std::unique_ptr<IndexMaintainer>> maintainers_;
    std::set<std::uint32_t> countersCaughtUp_; // definition pages
    // The table the last writerFor found by name: rows of one table come one after another,
    // and the catalog's search by name is dear at a million rows. Forgotten whenever the
    // catalog is read again (a table created, renamed or dropped).
    std::string lastWriterName_;
    std::uint32_t lastWriterPage_ = 0;

    friend class DatabaseCreator;
};

} // namespace jet
