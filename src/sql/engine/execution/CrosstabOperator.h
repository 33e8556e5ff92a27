#pragma once
// A crosstab's rows: one per row-heading group, its headings followed by one cell per column
// heading, each the aggregate of the group's rows with that pivot value (Null where none).
#include "sql/engine/execution/Operator.h"

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace sql {

// The column heading a pivot value gives: its text, "<>" for Null.
std::string crosstabHeading(const core::Value& pivot);
// The key headings are matched by: their text without regard to case.
std::string crosstabHeadingKey(const std::string& heading);

class CrosstabRows : public Operator {
public:
    // `rows` gives the row headings (`headingCount` values) followed by the group's
    // grouping values (`keyCount`); `cells` gives the grouping values, the pivot value and
    // the aggregate, one row per group and pivot value. `headingKeys` are the columns'
    // crosstabHeadingKey, in column order.
    CrosstabRows(OperatorPtr rows, OperatorPtr cells, std::size_t headingCount,
                 std::size_t keyCount, const std::vector<std::string>& headingKeys);
    void open(const Runtime& rt, const Frame* outer) override;
    bool next(ResultRow& row) override;

private:
    OperatorPtr rows_;
    OperatorPtr cells_;
    std::size_t headingCount_;
    std::size_t keyCount_;
    std::map<std::string, std::size_t> columns_;                       // by heading key
    std::unordered_map<std::string, std::vector<core::Value>> values_; // by grouping key
};

} // namespace sql
