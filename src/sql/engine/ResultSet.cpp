#include "sql/engine/ResultSet.h"

#include "sql/engine/storage/TableInfo.h"

namespace sql {

ResultSet::ResultSet(std::int64_t rowsAffected) : rowsAffected_(rowsAffected) {}

ResultSet::ResultSet(std::vector<ResultColumn> columns, std::vector<std::string> baseTables,
                     std::unique_ptr<RowStream> rows)
    : columns_(std::move(columns)), baseTables_(std::move(baseTables)), rows_(std::move(rows)) {}

ResultSet::ResultSet(ResultSet&&) noexcept = default;
ResultSet& ResultSet::operator=(ResultSet&&) noexcept = default;
ResultSet::~ResultSet() = default;

std::optional<std::size_t> ResultSet::findColumn(std::string_view name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (sameName(columns_[i].name, name)) return i;
    return std::nullopt;
}

bool ResultSet::next() {
    if (!rows_) return false;
    if (rows_->next(current_)) return true;
    // At the end the stream lets go of what it holds (cursors, sorted rows).
    rows_.reset();
    current_ = {};
    return false;
}

std::vector<ResultRow> ResultSet::fetchAll() {
    std::vector<ResultRow> rows;
    while (next()) rows.push_back(current_);
    return rows;
}

} // namespace sql
