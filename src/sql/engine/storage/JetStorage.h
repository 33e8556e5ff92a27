#pragma once
// The SQL engine's storage over an open Jet file: the catalog, table definitions, scans and
// single rows come from jet::Database, and so do writes, each statement under a savepoint
// of the file's journal so that it lands whole or not at all.
#include "sql/engine/storage/Storage.h"

#include <map>
#include <string>

namespace jet {
class Database;
}

namespace sql {

class JetStorage : public Storage {
public:
    // The database must outlive the storage and every result read through it.
    explicit JetStorage(jet::Database& database);

    std::vector<std::string> tableNames() const override;
    std::vector<std::string> viewNames() const override;
    std::optional<TableInfo> tableInfo(std::string_view table) const override;
    std::optional<std::uint64_t> definitionsVersion() const override { return version_; }
    // Every change goes through this storage: the file is open for writing here alone.
    std::optional<std::uint64_t> changeStamp() const override { return stamp_; }
    // The text rebuilt from the query's MSysQueries rows, for select and union queries;
    // core::SqlError for an action query, core::FormatError for rows out of shape.
    std::optional<std::string> viewText(std::string_view view) const override;
    bool hasQuery(std::string_view name) const override;

    std::unique_ptr<RowCursor> scan(std::string_view table) const override;
    // Walks the index B-tree for ranges over ascending leading columns; nullptr for a
    // descending column or a range it cannot turn into key bytes, so the engine scans.
    std::unique_ptr<RowCursor> seekIndex(std::string_view table, std::string_view index,
                                         const KeyRange& range) const override;
    std::optional<std::vector<core::Value>> readRow(std::string_view table,
                                                    RowLocator locator) const override;
    std::unique_ptr<RowReader> rowReader(std::string_view table) const override;
    // The count the table definition keeps.
    std::size_t rowCountHint(std::string_view table) const override;
    // From the data pages' slot tables, no row read.
    std::vector<RowLocator> rowLocators(std::string_view table) const override;
    // The pages the usage map names, their rows from the slot tables.
    std::unique_ptr<StoredPages> storedPages(std::string_view table) const override;
    // Walks the index's leaf entries; nullptr for an index that leaves out Null keys.
    std::unique_ptr<RowCursor> walkIndex(std::string_view table, std::string_view index,
                                         bool backwards) const override;
    // Walks the index's leaf pages from the first entry.
    std::optional<std::vector<IndexedRow>> indexOrder(std::string_view table,
                                                      std::string_view index) const override;

    void createTable(const TableDefinition& layout) override;
    void dropTable(std::string_view table) override;
    void createIndex(std::string_view table, const IndexInfo& index) override;
    void dropIndex(std::string_view table, std::string_view index) override;
    void addColumn(std::string_view table, const ColumnDefinition& column) override;
    void dropColumn(std::string_view table, std::string_view column) override;
    void alterColumn(std::string_view table, const ColumnDefinition& column,
                     const std::function<core::Value(const core::Value&)>& convert) override;
    void addForeignKey(std::string_view table, const ForeignKeyInfo& key) override;
    void dropForeignKey(std::string_view table, std::string_view name) override;
    // Stores the query as Access does: a catalog entry and its MSysQueries rows.
    void createView(std::string_view name, const SelectQuery& query,
                    const std::vector<ParameterDecl>& parameters) override;
    void dropView(std::string_view name) override;

    core::Value nextAutoNumber(std::string_view table, std::string_view column) override;
    RowLocator insertRow(std::string_view table, std::vector<core::Value> row) override;
    void updateRow(std::string_view table, RowLocator locator,
                   std::vector<core::Value> row) override;
    void deleteRow(std::string_view table, RowLocator locator) override;

    void begin() override;
    void commit() override;
    void rollback() override;
    void beginStatement() override;
    void endStatement(bool succeeded) override;

private:
    void forgetInfos() {
        infos_.clear();
        ++version_;
        changed();
    }
    void changed() { stamp_ = newChangeStamp(); }

    jet::Database& database_;
    mutable std::map<std::string, TableInfo> infos_; // by upper-case name
    std::uint64_t version_ = 0;                      // counts forgetInfos()
    std::uint64_t stamp_ = newChangeStamp();
    // For each open transaction and statement: whether it began the file's transaction
    // (else it is a savepoint inside one).
    std::vector<bool> levels_;
};

// A stored table definition as the SQL engine sees it: text sizes in characters, the
// Required and DefaultValue properties, logical indexes with their columns.
TableInfo tableInfoOf(const jet::Database& database, std::string_view table);

} // namespace sql
