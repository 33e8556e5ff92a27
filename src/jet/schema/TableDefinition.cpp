#include "jet/schema/TableDefinition.h"

#include "core/TextEncoding.h"
#include "jet/schema/TableDefinitionWriter.h"

#include <string>
#include <unordered_set>

namespace jet {

std::vector<std::uint8_t> readDefinitionBytes(const PageFile& file, std::uint32_t firstPage) {
    std::vector<std::uint8_t> out;
    std::unordered_set<std::uint32_t> seen;
    std::uint32_t page = firstPage;
    while (page != 0) {
        if (!seen.insert(page).second) throwDamaged("a table definition's pages form a loop");
        auto ref = file.read(page);
        ByteSpan bytes = file.bytes(ref);
        if (bytes[0] != static_cast<std::uint8_t>(PageType::TableDefinition))
            throwDamaged("page " + std::to_string(page) + " is not a table definition");
        std::size_t from = out.empty() ? 0 : tdef::kContinuationHeader;
        out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end());
        page = u32(bytes, tdef::kNextPage);
    }
    return out;
}

namespace {

std::string readName(ByteSpan d, std::size_t& off, const FileFormat& format) {
    const std::size_t lengthSize = format.definition.nameLengthSize;
    std::uint16_t length = lengthSize == 1 ? u8(d, off) : u16(d, off);
    auto bytes = slice(d, off + lengthSize, length, "a name runs past the table definition");
    off += lengthSize + length;
    return format.decodeText(bytes);
}

ColumnDef readColumn(ByteSpan d, std::size_t at, const FileFormat::Definition& f) {
    ColumnDef c;
    c.rawType = u8(d, at);
    c.type = isKnownColumnType(c.rawType) ? static_cast<ColumnType>(c.rawType) : ColumnType::Binary;
    c.number = u16(d, at + f.columnNumber);
    c.varIndex = u16(d, at + f.columnVarIndex);
    c.displayIndex = u16(d, at + f.columnDisplayIndex);
    if (c.type == ColumnType::Numeric) {
        c.precision = u8(d, at + f.columnPrecision);
        c.scale = u8(d, at + f.columnPrecision + 1);
    } else if (c.type == ColumnType::Text || c.type == ColumnType::Memo) {
        c.sortOrder = u16(d, at + f.columnSortOrder);
        c.codePage = u16(d, at + f.columnCodePage);
    }
    c.flags = u8(d, at + f.columnFlags);
    if (f.columnMiscFlags) c.miscFlags = u8(d, at + f.columnMiscFlags);
    c.fixedOffset = u16(d, at + f.columnFixedOffset);
    c.size = u16(d, at + f.columnSize);
    if (f.columnSortVersion) c.sortVersion = u16(d, at + f.columnSortVersion);
    if (c.type == ColumnType::Boolean) c.flags |= column_flag::kFixed;
    return c;
}

} // namespace

TableSchema parseTableDefinition(ByteSpan d, std::uint32_t firstPage, const FileFormat& format) {
    const FileFormat::Definition& f = format.definition;
    TableSchema t;
    t.definitionPage = firstPage;
    t.rowCount = u32(d, f.rowCount);
    t.nextAutoNumber = u32(d, f.autoNumber);
    std::uint8_t type = u8(d, f.tableType);
    t.systemTable = type == tdef::kSystemTable;
    t.maxColumns = u16(d, f.maxColumns);
    t.variableColumns = u16(d, f.variableColumns);
    std::uint16_t columnCount = u16(d, f.columnCount);
    std::uint32_t logicalIndexes = u32(d, f.logicalIndexCount);
    std::uint32_t realIndexes = u32(d, f.realIndexCount);
    t.usageMapPointer = u32(d, f.usageMap);
    t.freeMapPointer = u32(d, f.freeMap);

    // Counts come from the file: bound them by what the bytes can hold before allocating.
    if (realIndexes > d.size() / f.indexDataEntry ||
        logicalIndexes > d.size() / f.logicalIndexEntry || columnCount > d.size() / f.columnEntry)
        throwDamaged("a table definition has impossible counts");

    std::size_t off = f.realIndexStart;
    std::vector<std::uint32_t> entryCounts(realIndexes);
    for (std::uint32_t i = 0; i < realIndexes; ++i, off += f.realIndexEntry)
        entryCounts[i] = u32(d, off + 4);

    t.columns.reserve(columnCount);
    for (std::uint16_t i = 0; i < columnCount; ++i, off += f.columnEntry)
        t.columns.push_back(readColumn(d, off, f));
    for (auto& c : t.columns) {
        c.name = readName(d, off, format);
        c.charSize = static_cast<std::uint8_t>(format.write.textCharSize);
    }

    t.indexData.resize(realIndexes);
    for (std::uint32_t i = 0; i < realIndexes; ++i, off += f.indexDataEntry) {
        IndexData& x = t.indexData[i];
        x.entryCount = entryCounts[i];
        const std::size_t columns = off + f.indexDataColumns;
        for (std::size_t s = 0; s < tdef::kIndexColumnSlots; ++s) {
            std::uint16_t number = u16(d, columns + 3 * s);
            if (number == 0xFFFF) continue;
            x.columns.push_back({number, u8(d, columns + 2 + 3 * s) == 0x01});
        }
        x.usageMapPointer = u32(d, off + f.indexDataUsageMap);
        x.firstPage = u32(d, off + f.indexDataFirstPage);
        x.flags = u8(d, off + f.indexDataFlags);
    }

    t.indexes.resize(logicalIndexes);
    for (std::uint32_t i = 0; i < logicalIndexes; ++i, off += f.logicalIndexEntry) {
        IndexDef& x = t.indexes[i];
        const std::size_t at = off + f.logicalIndexStart;
        x.number = u32(d, at);
        x.dataIndex = u32(d, at + 4);
        x.relatedTableType = u8(d, at + 8);
        x.relatedIndexNumber = static_cast<std::int32_t>(u32(d, at + 9));
        x.relatedTablePage = u32(d, at + 13);
        x.cascadeUpdates = u8(d, at + 17) != 0;
        x.cascadeDeletes = u8(d, at + 18) != 0;
        std::uint8_t kind = u8(d, at + 19);
        x.kind = kind == 1   ? IndexKind::Primary
                 : kind == 2 ? IndexKind::ForeignKey
                             : IndexKind::Normal;
        if (x.dataIndex >= realIndexes) throwDamaged("an index refers to missing index data");
    }
    for (auto& x : t.indexes) x.name = readName(d, off, format);
    t.longValueMaps = readLongValueUsageMaps(d, format);
    return t;
}

} // namespace jet
