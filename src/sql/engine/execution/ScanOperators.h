#pragma once
// The leaves of a plan: a table read in stored order or through an index, one empty row for
// a select without FROM, and a derived table (a subquery or saved query in FROM).
#include "sql/engine/execution/NumericCriterion.h"
#include "sql/engine/execution/Operator.h"
#include "sql/engine/planning/BoundExpr.h"
#include "sql/engine/storage/Storage.h"

#include <optional>
#include <string>
#include <vector>

namespace sql {

// Where a table's column goes in the FROM clause's row.
struct ScanColumn {
    std::size_t column = 0; // position in the table
    std::size_t slot = 0;   // position in the row
};

// An index seek the planner chose: equal values for the leading index columns, then an
// optional range on the next one. Expressions read only parameters and outer rows.
struct SeekPlan {
    std::string index;
    std::vector<ColumnInfo> keyColumns; // the index columns the values are for, in order
    BoundList equal;
    BoundPtr low, high;
    bool lowInclusive = true, highInclusive = true;
};

// A table read in stored order or through an index. The criteria that only this table's
// columns decide are checked here, on the columns they read, before the row's other values
// are decoded: most rows of a filtered scan are never decoded in full.
class TableScan : public Operator {
public:
    TableScan(std::string table, std::size_t width, std::vector<ScanColumn> columns,
              std::size_t locatorCount, std::size_t locatorIndex, std::optional<SeekPlan> seek,
              BoundList criteria = {});
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    // The key range of the seek, or nullopt when a key is Null (no row can match) or does
    // not convert to its column's type (the scan then decides).
    std::optional<KeyRange> seekRange(const Runtime& rt, const Frame* outer, bool& empty) const;
    // Whether the row's criteria columns let it through, each criterion in turn.
    bool criteriaPass(const std::vector<core::Value>& values) const;

    std::string table_;
    std::size_t width_;
    std::vector<ScanColumn> criteriaColumns_, otherColumns_;
    std::size_t locatorCount_, locatorIndex_;
    std::optional<SeekPlan> seek_;
    BoundList criteria_;
    // For each criterion, its quick form when it compares a column with numbers.
    std::vector<std::optional<NumericCriterion>> quick_;
    std::unique_ptr<RowCursor> cursor_;
    const Runtime* rt_ = nullptr;
    const Frame* outer_ = nullptr;
};

class SingleRow : public Operator {
public:
    void open(const Runtime&, const Frame*) override { done_ = false; }
    bool next(ResultRow& row) override;

private:
    bool done_ = false;
};

// Rows of a query planned on its own, placed at their slots in the outer FROM row.
class SubqueryScan : public Operator {
public:
    SubqueryScan(OperatorPtr query, std::size_t columnCount, std::size_t width,
                 std::size_t firstSlot, std::size_t locatorCount);
    void open(const Runtime& rt, const Frame* outer) override { query_->open(rt, outer); }
    bool next(ResultRow& row) override;

private:
    OperatorPtr query_;
    std::size_t columnCount_, width_, firstSlot_, locatorCount_;
    ResultRow inner_;
};

} // namespace sql
