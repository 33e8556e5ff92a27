#pragma once
// What a statement gives back: for a select, the columns and a stream of rows, each with
// the locators of the base rows it came from so that the access layer can update and delete
// through it; for any other statement, the number of rows it changed.
#include "core/Value.h"
#include "jet/schema/ColumnType.h"
#include "sql/engine/storage/RowLocator.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sql {

struct ResultColumn {
    std::string name;
    // The kind of value the column holds; Null when an expression gives values of varying
    // kinds (each row's value then has its own).
    core::DataType type = core::DataType::Null;
    // The stored type for a base column (Memo, OLE and Numeric told apart from Text, Binary
    // and Decimal); for an expression the type that holds its values.
    jet::ColumnType columnType = jet::ColumnType::Text;
    std::uint32_t size = 0; // as ColumnInfo::size
    std::uint8_t precision = 0, scale = 0;
    bool readOnly = true;
    bool autoNumber = false;
    bool required = false;
    // Set when the column is a plain column of one base table.
    std::string baseTable;
    std::string baseColumn;
    // Which of ResultSet::baseTables() the column belongs to; -1 for none.
    int baseTableIndex = -1;
};

struct ResultRow {
    std::vector<core::Value> values;
    // One per ResultSet::baseTables(): the base row this row came from, or nullopt (the
    // missing side of an outer join). Empty when the result is not updatable.
    std::vector<std::optional<RowLocator>> locators;
};

// The rows of a result as the executor produces them.
class RowStream {
public:
    virtual ~RowStream() = default;
    // Fills `row` with the next row; false at the end.
    virtual bool next(ResultRow& row) = 0;
};

class ResultSet {
public:
    // The result of a statement that returns no rows.
    explicit ResultSet(std::int64_t rowsAffected = 0);
    // A result with rows; baseTables name the tables the locators point into.
    ResultSet(std::vector<ResultColumn> columns, std::vector<std::string> baseTables,
              std::unique_ptr<RowStream> rows);
    ResultSet(ResultSet&&) noexcept;
    ResultSet& operator=(ResultSet&&) noexcept;
    ~ResultSet();

    // Whether the statement produced rows (a select), as opposed to a change count.
    bool hasRows() const { return rows_ != nullptr || !columns_.empty(); }
    std::int64_t rowsAffected() const { return rowsAffected_; }

    const std::vector<ResultColumn>& columns() const { return columns_; }
    // Found without regard to case.
    std::optional<std::size_t> findColumn(std::string_view name) const;
    const std::vector<std::string>& baseTables() const { return baseTables_; }
    // Whether rows carry locators, so that changes can be written through them.
    bool updatable() const { return !baseTables_.empty(); }

    // Moves to the next row; false at the end. Rows are produced as they are read, so a
    // large table streams through without being held in memory (sorting, grouping and
    // DISTINCT hold what they must).
    bool next();
    const ResultRow& row() const { return current_; }
    const std::vector<core::Value>& values() const { return current_.values; }
    const core::Value& value(std::size_t column) const { return current_.values.at(column); }

    // Every remaining row; the stream is at its end afterwards.
    std::vector<ResultRow> fetchAll();

private:
    std::vector<ResultColumn> columns_;
    std::vector<std::string> baseTables_;
    std::unique_ptr<RowStream> rows_;
    ResultRow current_;
    std::int64_t rowsAffected_ = 0;
};

} // namespace sql
