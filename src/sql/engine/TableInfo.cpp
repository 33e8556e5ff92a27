#include "sql/engine/TableInfo.h"

#include "jet/catalog/Catalog.h"
#include "sql/eval/TextUnits.h"

#include <algorithm>

namespace sql {

bool sameName(std::string_view a, std::string_view b) {
    auto ascii = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
    };
    if (ascii(a) && ascii(b)) return jet::sameObjectName(a, b);
    return lowerCase(a) == lowerCase(b);
}

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
