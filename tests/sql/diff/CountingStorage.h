#pragma once
// A storage that forwards everything to another and counts the reads: how many scans and
// index seeks the engine asked for and how many rows it pulled through them, so a test can
// tell whether the planner used an index without timing anything.
#include "sql/engine/storage/Storage.h"

#include <cstddef>
#include <memory>

namespace testing_support {

struct ReadCounts {
    std::size_t scans = 0;
    std::size_t seeks = 0;        // seekIndex calls that answered
    std::size_t refusedSeeks = 0; // seekIndex calls that returned nullptr
    std::size_t rowsRead = 0;     // rows delivered by either
    std::size_t valuesRead = 0;   // column values asked of those rows
};

class CountingStorage : public sql::Storage {
public:
    explicit CountingStorage(sql::Storage& inner) : inner_(inner) {}

    mutable ReadCounts counts;

    std::vector<std::string> tableNames() const override { return inner_.tableNames(); }
    std::vector<std::string> viewNames() const override { return inner_.viewNames(); }
    std::optional<sql::TableInfo> tableInfo(std::string_view table) const override {
        return inner_.tableInfo(table);
    }
    std::optional<std::string> viewText(std::string_view view) const override {
        return inner_.viewText(view);
    }
    std::unique_ptr<sql::RowCursor> scan(std::string_view table) const override {
        ++counts.scans;
        return wrap(inner_.scan(table));
    }
    std::unique_ptr<sql::RowCursor> seekIndex(std::string_view table, std::string_view index,
                                              const sql::KeyRange& range) const override {
        auto cursor = inner_.seekIndex(table, index, range);
        if (!cursor) {
            ++counts.refusedSeeks;
            return nullptr;
        }
        ++counts.seeks;
        return wrap(std::move(cursor));
    }
    std::optional<std::vector<core::Value>> readRow(std::string_view table,
                                                    sql::RowLocator locator) const override {
        return inner_.readRow(table, locator);
    }
    void createTable(const sql::TableDefinition& layout) override { inner_.createTable(layout); }
    void dropTable(std::string_view table) override { inner_.dropTable(table); }
    void createIndex(std::string_view table, const sql::IndexInfo& index) override {
        inner_.createIndex(table, index);
    }
    void dropIndex(std::string_view table, std::string_view index) override {
        inner_.dropIndex(table, index);
    }
    void addColumn(std::string_view table, const sql::ColumnDefinition& column) override {
        inner_.addColumn(table, column);
    }
    void dropColumn(std::string_view table, std::string_view column) override {
        inner_.dropColumn(table, column);
    }
    void alterColumn(std::string_view table, const sql::ColumnDefinition& column,
                     const std::function<core::Value(const core::Value&)>& convert) override {
        inner_.alterColumn(table, column, convert);
    }
    void addForeignKey(std::string_view table, const sql::ForeignKeyInfo& key) override {
        inner_.addForeignKey(table, key);
    }
    void dropForeignKey(std::string_view table, std::string_view name) override {
        inner_.dropForeignKey(table, name);
    }
    core::Value nextAutoNumber(std::string_view table, std::string_view column) override {
        return inner_.nextAutoNumber(table, column);
    }
    sql::RowLocator insertRow(std::string_view table, std::vector<core::Value> row) override {
        return inner_.insertRow(table, std::move(row));
    }
    void updateRow(std::string_view table, sql::RowLocator locator,
                   std::vector<core::Value> row) override {
        inner_.updateRow(table, locator, std::move(row));
    }
    void deleteRow(std::string_view table, sql::RowLocator locator) override {
        inner_.deleteRow(table, locator);
    }
    void begin() override { inner_.begin(); }
    void commit() override { inner_.commit(); }
    void rollback() override { inner_.rollback(); }
    void beginStatement() override { inner_.beginStatement(); }
    void endStatement(bool succeeded) override { inner_.endStatement(succeeded); }

private:
    class Cursor : public sql::RowCursor {
    public:
        Cursor(std::unique_ptr<sql::RowCursor> inner, ReadCounts& counts)
            : inner_(std::move(inner)), counts_(counts) {}
        bool next() override {
            if (!inner_->next()) return false;
            ++counts_.rowsRead;
            return true;
        }
        core::Value value(std::size_t column) const override {
            ++counts_.valuesRead;
            return inner_->value(column);
        }
        sql::RowLocator locator() const override { return inner_->locator(); }

    private:
        std::unique_ptr<sql::RowCursor> inner_;
        ReadCounts& counts_;
    };

    std::unique_ptr<sql::RowCursor> wrap(std::unique_ptr<sql::RowCursor> cursor) const {
        return std::make_unique<Cursor>(std::move(cursor), counts);
    }

    sql::Storage& inner_;
};

} // namespace testing_support
