#include "sql/engine/execution/CrosstabOperator.h"

#include "core/TypeConversion.h"
#include "sql/engine/execution/SortKey.h"

namespace sql {

std::string crosstabHeading(const core::Value& pivot) {
    return pivot.isNull() ? std::string("<>") : core::toText(pivot);
}

std::string crosstabHeadingKey(const std::string& heading) {
    return sortKey(core::Value(heading));
}

CrosstabRows::CrosstabRows(OperatorPtr rows, OperatorPtr cells, std::size_t headingCount,
                           std::size_t keyCount, const std::vector<std::string>& headingKeys)
    : rows_(std::move(rows)), cells_(std::move(cells)), headingCount_(headingCount),
      keyCount_(keyCount) {
    for (std::size_t i = 0; i < headingKeys.size(); ++i) columns_.emplace(headingKeys[i], i);
}

void CrosstabRows::open(const Runtime& rt, const Frame* outer) {
    values_.clear();
    cells_->open(rt, outer);
    ResultRow cell;
    while (cells_->next(cell)) {
        const auto& v = cell.values;
        auto column = columns_.find(crosstabHeadingKey(crosstabHeading(v[keyCount_])));
        // A value outside the fixed headings has no column to go to.
        if (column == columns_.end()) continue;
        auto [it, added] =
            values_.try_emplace(sortKey(std::span<const core::Value>(v.data(), keyCount_)));
        if (added) it->second.resize(columns_.size());
        it->second[column->second] = v[keyCount_ + 1];
    }
    rows_->open(rt, outer);
}

bool CrosstabRows::next(ResultRow& row) {
    ResultRow in;
    if (!rows_->next(in)) return false;
    const auto& v = in.values;
    row.values.assign(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(headingCount_));
    // The select statement decides the rows: a group none of whose values has a column (all
    // outside the fixed headings) still gives its row, with Null cells.
    auto it =
        values_.find(sortKey(std::span<const core::Value>(v.data() + headingCount_, keyCount_)));
    if (it == values_.end())
        row.values.resize(headingCount_ + columns_.size());
    else
        row.values.insert(row.values.end(), it->second.begin(), it->second.end());
    row.locators.clear();
    return true;
}

} // namespace sql
