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
        auto bytes = file.read(page);
        if ((*bytes)[0] != static_cast<std::uint8_t>(PageType::TableDefinition))
            throwDamaged("page " + std::to_string(page) + " is not a table definition");
        std::size_t from = out.empty() ? 0 : tdef::kContinuationHeader;
        out.insert(out.end(), bytes->begin() + static_cast<std::ptrdiff_t>(from), bytes->end());
        page = u32(bytesOf(bytes), tdef::kNextPage);
    }
    return out;
}

namespace {

std::string readName(ByteSpan d, std::size_t& off) {
    std::uint16_t length = u16(d, off);
    auto bytes = slice(d, off + 2, length, "a name runs past the table definition");
    off += 2 + length;
    return core::decodeJetText(bytes);
}

ColumnDef readColumn(ByteSpan d, std::size_t at) {
    ColumnDef c;
    c.rawType = u8(d, at);
    c.type = isKnownColumnType(c.rawType) ? static_cast<ColumnType>(c.rawType) : ColumnType::Binary;
    c.number = u16(d, at + 5);
    c.varIndex = u16(d, at + 7);
    c.displayIndex = u16(d, at + 9);
    if (c.type == ColumnType::Numeric) {
        c.precision = u8(d, at + 11);
        c.scale = u8(d, at + 12);
    } else if (c.type == ColumnType::Text || c.type == ColumnType::Memo) {
        c.sortOrder = u16(d, at + 11);
        c.codePage = u16(d, at + 13);
    }
    c.flags = u8(d, at + 15);
    c.miscFlags = u8(d, at + 16);
    c.fixedOffset = u16(d, at + 21);
    c.size = u16(d, at + 23);
    if (c.type == ColumnType::Boolean) c.flags |= column_flag::kFixed;
    return c;
}

} // namespace

TableSchema parseTableDefinition(ByteSpan d, std::uint32_t firstPage) {
    TableSchema t;
    t.definitionPage = firstPage;
    t.rowCount = u32(d, tdef::kRowCount);
    t.nextAutoNumber = u32(d, tdef::kAutoNumber);
    std::uint8_t type = u8(d, tdef::kTableType);
    t.systemTable = type == tdef::kSystemTable;
    t.maxColumns = u16(d, tdef::kMaxColumns);
    t.variableColumns = u16(d, tdef::kVariableColumns);
    std::uint16_t columnCount = u16(d, tdef::kColumnCount);
    std::uint32_t logicalIndexes = u32(d, tdef::kLogicalIndexCount);
    std::uint32_t realIndexes = u32(d, tdef::kRealIndexCount);
    t.usageMapPointer = u32(d, tdef::kUsageMap);
    t.freeMapPointer = u32(d, tdef::kFreeMap);

    // Counts come from the file: bound them by what the bytes can hold before allocating.
    if (realIndexes > d.size() / tdef::kIndexDataEntry ||
        logicalIndexes > d.size() / tdef::kLogicalIndexEntry ||
        columnCount > d.size() / tdef::kColumnEntry)
        throwDamaged("a table definition has impossible counts");

    std::size_t off = tdef::kRealIndexStart;
    std::vector<std::uint32_t> entryCounts(realIndexes);
    for (std::uint32_t i = 0; i < realIndexes; ++i, off += tdef::kRealIndexEntry)
        entryCounts[i] = u32(d, off + 4);

    t.columns.reserve(columnCount);
    for (std::uint16_t i = 0; i < columnCount; ++i, off += tdef::kColumnEntry)
        t.columns.push_back(readColumn(d, off));
    for (auto& c : t.columns) c.name = readName(d, off);

    t.indexData.resize(realIndexes);
    for (std::uint32_t i = 0; i < realIndexes; ++i, off += tdef::kIndexDataEntry) {
        IndexData& x = t.indexData[i];
        x.entryCount = entryCounts[i];
        for (std::size_t s = 0; s < tdef::kIndexColumnSlots; ++s) {
            std::uint16_t number = u16(d, off + 4 + 3 * s);
            if (number == 0xFFFF) continue;
            x.columns.push_back({number, u8(d, off + 6 + 3 * s) == 0x01});
        }
        x.usageMapPointer = u32(d, off + 34);
        x.firstPage = u32(d, off + 38);
        x.flags = u8(d, off + 46); // four unknown bytes precede the flags
    }

    t.indexes.resize(logicalIndexes);
    for (std::uint32_t i = 0; i < logicalIndexes; ++i, off += tdef::kLogicalIndexEntry) {
        IndexDef& x = t.indexes[i];
        x.number = u32(d, off + 4);
        x.dataIndex = u32(d, off + 8);
        x.relatedTableType = u8(d, off + 12);
        x.relatedIndexNumber = static_cast<std::int32_t>(u32(d, off + 13));
        x.relatedTablePage = u32(d, off + 17);
        x.cascadeUpdates = u8(d, off + 21) != 0;
        x.cascadeDeletes = u8(d, off + 22) != 0;
        std::uint8_t kind = u8(d, off + 23);
        x.kind = kind == 1   ? IndexKind::Primary
                 : kind == 2 ? IndexKind::ForeignKey
                             : IndexKind::Normal;
        if (x.dataIndex >= realIndexes) throwDamaged("an index refers to missing index data");
    }
    for (auto& x : t.indexes) x.name = readName(d, off);
    t.longValueMaps = readLongValueUsageMaps(d);
    return t;
}

} // namespace jet
