#pragma once
// Tables held in memory, for tests and scratch work: the whole Storage interface with
// unique indexes enforced, counters, seeks over sorted keys, nested transactions and
// atomic statements (by keeping a copy of the tables at each start).
#include "sql/engine/storage/Storage.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sql {

class MemoryStorage : public Storage {
public:
    // How often rows were read by scanning and by seeking, for tests of the planner.
    struct Statistics {
        int scans = 0;
        int seeks = 0;
    };

    MemoryStorage() = default;

    // A saved select query, listed and used as a view.
    void addView(std::string name, std::string sql);
    // Whether seekIndex() answers (false: it returns nullptr, as a storage without index
    // seeks does).
    void enableSeeks(bool enabled) { seeksEnabled_ = enabled; }
    const Statistics& statistics() const { return statistics_; }
    std::optional<std::uint64_t> changeStamp() const override { return stamp_; }

    std::vector<std::string> tableNames() const override;
    std::vector<std::string> viewNames() const override;
    std::optional<TableInfo> tableInfo(std::string_view table) const override;
    std::optional<std::string> viewText(std::string_view view) const override;

    std::unique_ptr<RowCursor> scan(std::string_view table) const override;
    std::unique_ptr<RowCursor> seekIndex(std::string_view table, std::string_view index,
                                         const KeyRange& range) const override;
    std::optional<std::vector<core::Value>> readRow(std::string_view table,
                                                    RowLocator locator) const override;

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
    // Keeps the query's text, as addView does.
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
    struct Table {
        TableInfo info;
        std::vector<ColumnDefinition> definitions;
        std::map<std::uint32_t, std::vector<core::Value>> rows; // by row number
        std::uint32_t nextRow = 1;
        std::int64_t counter = 1; // the next number of the counter column
        std::int32_t increment = 1;
        std::uint64_t guids = 0; // how many GUIDs were made
    };
    struct State {
        std::vector<Table> tables; // catalog order
        std::vector<std::pair<std::string, std::string>> views;
    };

    Table& find(std::string_view table);
    const Table* findTable(std::string_view table) const;
    // Raises the duplicate-values error when `row` (at `self`, or new) would repeat the key
    // of another row in a unique index.
    void checkUnique(const Table& t, const std::vector<core::Value>& row,
                     std::optional<std::uint32_t> self) const;
    void noteCounter(Table& t, const std::vector<core::Value>& row);

    void changed() { stamp_ = newChangeStamp(); }

    State state_;
    std::uint64_t stamp_ = newChangeStamp();
    std::vector<State> saved_; // one copy per open transaction or statement
    bool seeksEnabled_ = true;
    mutable Statistics statistics_;
};

} // namespace sql
