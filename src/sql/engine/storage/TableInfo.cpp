#include "sql/engine/storage/TableInfo.h"

namespace sql {

std::optional<std::size_t> TableInfo::findColumn(std::string_view columnName) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (sameName(columns[i].name, columnName)) return i;
    return std::nullopt;
}

const IndexInfo* TableInfo::findIndex(std::string_view indexName) const {
    for (const auto& index : indexes)
        if (sameName(index.name, indexName)) return &index;
    return nullptr;
}

const IndexInfo* TableInfo::primaryKey() const {
    for (const auto& index : indexes)
        if (index.primary) return &index;
    return nullptr;
}

} // namespace sql
