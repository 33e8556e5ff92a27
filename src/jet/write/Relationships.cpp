#include "jet/write/Relationships.h"

#include "core/Error.h"
#include "core/ObjectName.h"
#include "jet/catalog/Catalog.h"
#include "jet/index/IndexKeyColumns.h"
#include "jet/keys/KeyEncoder.h"

#include <algorithm>
#include <set>

namespace jet {

std::vector<std::uint16_t> relationshipColumns(const TableSchema& schema,
                                               const std::vector<std::string>& names) {
    std::vector<std::uint16_t> numbers;
    for (const auto& name : names) {
        const ColumnDef* c = schema.findColumn(name);
        if (!c)
            throw core::SqlError("Field '" + name + "' does not exist in table '" + schema.name +
                                 "'.");
        if (std::find(numbers.begin(), numbers.end(), c->number) != numbers.end())
            throw core::SqlError("Field '" + c->name + "' is named twice in relationship.");
        numbers.push_back(c->number);
    }
    return numbers;
}

namespace {
bool sameColumnSet(const IndexData& data, const std::vector<std::uint16_t>& columns) {
    if (data.columns.size() != columns.size()) return false;
    return std::all_of(data.columns.begin(), data.columns.end(), [&](const IndexColumn& c) {
        return std::find(columns.begin(), columns.end(), c.columnNumber) != columns.end();
    });
}
} // namespace

std::optional<std::uint32_t> indexOverColumns(const TableSchema& schema,
                                              const std::vector<std::uint16_t>& columns,
                                              bool uniqueOnly) {
    std::optional<std::uint32_t> found;
    for (const auto& def : schema.indexes) {
        if (def.dataIndex >= schema.indexData.size()) continue;
        const IndexData& data = schema.indexData[def.dataIndex];
        if (!sameColumnSet(data, columns)) continue;
        bool primary = def.kind == IndexKind::Primary;
        if (uniqueOnly && !primary && !(data.flags & index_flag::kUnique)) continue;
        if (primary) return def.dataIndex;
        if (!found) found = def.dataIndex;
    }
    return found;
}

std::uint32_t nextLogicalIndexNumber(const TableSchema& schema) {
    std::uint32_t number = 0;
    for (const auto& x : schema.indexes) number = std::max(number, x.number + 1);
    return number;
}

std::string referencedEntryName(const TableSchema& schema) {
    // Access starts at B and goes on through the upper then lower case letters.
    for (char c = 'B'; c <= 'z'; c = c == 'Z' ? 'a' : static_cast<char>(c + 1)) {
        std::string name = std::string(".r") + c;
        bool used = std::any_of(schema.indexes.begin(), schema.indexes.end(),
                                [&](const IndexDef& d) { return core::sameName(d.name, name); });
        if (!used) return name;
    }
    throw core::SqlError("Too many relationships on table '" + schema.name + "'.");
}

std::int32_t relationshipGrbit(const RelationshipDef& rel, bool oneToOne) {
    std::int32_t bits = 0;
    if (oneToOne) bits |= relationship_flag::kOneToOne;
    if (rel.cascadeUpdates) bits |= relationship_flag::kCascadeUpdates;
    if (rel.cascadeDeletes) bits |= relationship_flag::kCascadeDeletes;
    return bits;
}

namespace {
std::vector<std::size_t> positionsOf(const TableSchema& schema,
                                     const std::vector<std::uint16_t>& numbers) {
    std::vector<std::size_t> positions;
    for (auto number : numbers)
        for (std::size_t i = 0; i < schema.columns.size(); ++i)
            if (schema.columns[i].number == number) positions.push_back(i);
    return positions;
}
} // namespace

void requireParentsExist(const TableSchema& parent, const std::vector<std::uint16_t>& parentColumns,
                         const std::vector<std::vector<core::Value>>& parentRows,
                         const TableSchema& child, const std::vector<std::uint16_t>& childColumns,
                         const std::vector<std::vector<core::Value>>& childRows,
                         const FileFormat& format) {
    // Both sides are encoded as the parent's key columns, so that text matches the way the
    // parent's index compares it (General sort order, case-insensitive).
    IndexData shape;
    for (auto number : parentColumns) shape.columns.push_back({number, true});
    const auto keyColumns = indexKeyColumns(parent, shape, format);
    const auto parentAt = positionsOf(parent, parentColumns);
    const auto childAt = positionsOf(child, childColumns);
    std::set<core::Bytes> keys;
    std::vector<core::Value> key(parentAt.size());
    for (const auto& row : parentRows) {
        for (std::size_t k = 0; k < parentAt.size(); ++k) key[k] = row[parentAt[k]];
        keys.insert(encodeKey(keyColumns, key));
    }
    for (const auto& row : childRows) {
        bool anyNull = false;
        for (std::size_t k = 0; k < childAt.size(); ++k) {
            key[k] = row[childAt[k]];
            anyNull = anyNull || key[k].isNull();
        }
        if (anyNull) continue;
        if (!keys.count(encodeKey(keyColumns, key)))
            throw core::SqlError("You cannot add or change a record because a related record "
                                 "is required in table '" +
                                 parent.name + "'.");
    }
}

} // namespace jet
