#include "jet/index/IndexKeyColumns.h"

#include "jet/keys/KeyBytes.h"

namespace jet {

std::vector<std::size_t> indexColumnPositions(const TableSchema& schema, const IndexData& index) {
    std::vector<std::size_t> positions;
    for (const IndexColumn& c : index.columns) {
        const ColumnDef* column = schema.columnByNumber(c.columnNumber);
        if (column == nullptr) throwDamaged("an index refers to a column the table lacks");
        positions.push_back(std::size_t(column - schema.columns.data()));
    }
    return positions;
}

std::vector<KeyColumn> indexKeyColumns(const TableSchema& schema, const IndexData& index,
                                       const FileFormat& format) {
    const TextSortOrder textOrder =
        format.generalSort97 ? TextSortOrder::General97 : TextSortOrder::General;
    std::vector<KeyColumn> keys;
    const auto positions = indexColumnPositions(schema, index);
    for (std::size_t k = 0; k < positions.size(); ++k) {
        const ColumnDef& column = schema.columns[positions[k]];
        // The key encoder numbers column types as table definitions do.
        keys.push_back(
            {KeyColumnType(column.rawType), index.columns[k].ascending, column.scale, textOrder});
    }
    return keys;
}

bool isAllNullKey(const IndexData& index, ByteSpan key) {
    if (index.columns.empty() || key.size() != index.columns.size()) return false;
    for (std::size_t k = 0; k < key.size(); ++k)
        if (key[k] != key_bytes::nullFlag(index.columns[k].ascending)) return false;
    return true;
}

bool indexAdmitsKey(const IndexData& index, ByteSpan key) {
    return (index.flags & index_flag::kIgnoreNulls) == 0 || !isAllNullKey(index, key);
}

} // namespace jet
