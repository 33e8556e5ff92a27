#include "jet/schema/TableDefinitionWriter.h"

#include "core/Error.h"
#include "jet/file/Bytes.h"
#include "jet/schema/TableDefinition.h"

#include <string>

namespace jet {

namespace {

// Access writes the General sort order into the sort field of columns that do not sort text.
constexpr std::uint16_t kGeneralSortOrder = 0x0409;
// Logical indexes that are not foreign keys carry 4 in both cascade bytes.
constexpr std::uint8_t kNoCascade = 0x04;
constexpr std::uint16_t kNoColumn = 0xFFFF;
constexpr std::uint16_t kEndOfDefinition = 0xFFFF;

// A fixed-size entry of the definition: zeros, with each field put at its format's offset.
class Entry {
public:
    explicit Entry(std::size_t size) : bytes_(size, 0) {}
    void u8(std::size_t at, std::uint8_t v) { bytes_.at(at) = v; }
    void u16(std::size_t at, std::uint16_t v) {
        u8(at, static_cast<std::uint8_t>(v));
        u8(at + 1, static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::size_t at, std::uint32_t v) {
        u16(at, static_cast<std::uint16_t>(v));
        u16(at + 2, static_cast<std::uint16_t>(v >> 16));
    }
    void appendTo(core::Bytes& out) const { out.insert(out.end(), bytes_.begin(), bytes_.end()); }

private:
    core::Bytes bytes_;
};

std::uint16_t narrow16(std::size_t value, const char* what) {
    if (value > 0xFFFF)
        throw core::Error(std::string("A table definition has too many ") + what + ".");
    return static_cast<std::uint16_t>(value);
}

void appendName(core::Bytes& out, const std::string& text, const FileFormat& format) {
    const core::Bytes bytes = format.encodeName(text);
    const std::size_t lengthSize = format.definition.nameLengthSize;
    if (bytes.size() >= (std::size_t(1) << (8 * lengthSize)))
        throw core::SqlError("The name '" + text + "' is too long.");
    out.push_back(static_cast<std::uint8_t>(bytes.size()));
    if (lengthSize == 2) out.push_back(static_cast<std::uint8_t>(bytes.size() >> 8));
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void appendColumn(core::Bytes& out, const ColumnDef& c, const FileFormat& format) {
    const auto& f = format.definition;
    const auto& w = format.definitionWrite;
    Entry e(f.columnEntry);
    e.u8(0, c.rawType != 0 ? c.rawType : static_cast<std::uint8_t>(c.type));
    if (w.columnMagic) e.u32(w.columnMagic, kDefinitionMagic);
    if (f.columnSortVersion) e.u16(f.columnSortVersion, c.sortVersion);
    e.u16(f.columnNumber, c.number);
    e.u16(f.columnVarIndex, c.varIndex);
    e.u16(f.columnDisplayIndex, c.displayIndex);
    const bool text = c.type == ColumnType::Text || c.type == ColumnType::Memo;
    if (c.type == ColumnType::Numeric) {
        e.u8(f.columnPrecision, c.precision);
        e.u8(f.columnPrecision + 1, c.scale);
    } else if (text) {
        e.u16(f.columnSortOrder, c.sortOrder);
        e.u16(f.columnCodePage, c.codePage);
    } else {
        e.u16(f.columnSortOrder, kGeneralSortOrder);
        if (w.sortOrderOnEveryColumn) e.u16(f.columnCodePage, w.textCodePage);
    }
    e.u8(f.columnFlags, c.flags);
    if (f.columnMiscFlags) e.u8(f.columnMiscFlags, c.miscFlags);
    e.u16(f.columnFixedOffset, c.fixedOffset);
    e.u16(f.columnSize, c.size);
    e.appendTo(out);
}

void appendIndexData(core::Bytes& out, const IndexData& x, const FileFormat::Definition& f) {
    if (x.columns.size() > tdef::kIndexColumnSlots)
        throw core::Error("An index may use at most 10 columns.");
    Entry e(f.indexDataEntry);
    // Jet 4 leads the entry with its magic; Jet 3 starts with the column slots.
    if (f.indexDataColumns) e.u32(0, kIndexDataMagic);
    for (std::size_t s = 0; s < tdef::kIndexColumnSlots; ++s) {
        const std::size_t at = f.indexDataColumns + 3 * s;
        if (s < x.columns.size()) {
            e.u16(at, x.columns[s].columnNumber);
            e.u8(at + 2, x.columns[s].ascending ? 0x01 : 0x00);
        } else {
            e.u16(at, kNoColumn);
        }
    }
    e.u32(f.indexDataUsageMap, x.usageMapPointer);
    e.u32(f.indexDataFirstPage, x.firstPage);
    e.u8(f.indexDataFlags, x.flags);
    e.appendTo(out);
}

void appendLogicalIndex(core::Bytes& out, const IndexDef& x, const FileFormat::Definition& f) {
    Entry e(f.logicalIndexEntry);
    if (f.logicalIndexStart) e.u32(0, kDefinitionMagic);
    const std::size_t at = f.logicalIndexStart;
    e.u32(at, x.number);
    e.u32(at + 4, x.dataIndex);
    if (x.kind == IndexKind::ForeignKey) {
        e.u8(at + 8, x.relatedTableType);
        e.u32(at + 9, static_cast<std::uint32_t>(x.relatedIndexNumber));
        e.u32(at + 13, x.relatedTablePage);
        e.u8(at + 17, x.cascadeUpdates ? 1 : 0);
        e.u8(at + 18, x.cascadeDeletes ? 1 : 0);
    } else {
        e.u32(at + 9, 0xFFFFFFFFu);
        e.u8(at + 17, kNoCascade);
        e.u8(at + 18, kNoCascade);
    }
    e.u8(at + 19, static_cast<std::uint8_t>(x.kind));
    e.appendTo(out);
}

void appendHeader(core::Bytes& out, const TableSchema& t, const FileFormat& format) {
    const auto& f = format.definition;
    const auto& w = format.definitionWrite;
    Entry e(f.realIndexStart);
    e.u8(0, static_cast<std::uint8_t>(PageType::TableDefinition));
    e.u8(1, 0x01);
    // Jet 4's free-space count is set per page by splitDefinition.
    if (!w.freeSpaceCount) {
        e.u8(2, 'V');
        e.u8(3, 'C');
    }
    // The next page (4) is set by splitDefinition, the length (8) once it is known.
    if (w.tableMagic) e.u32(w.tableMagic, kDefinitionMagic);
    e.u32(f.rowCount, t.rowCount);
    e.u32(f.autoNumber, t.nextAutoNumber);
    if (w.tableMark) e.u8(w.tableMark, 0x01);
    e.u8(f.tableType, t.systemTable ? tdef::kSystemTable : tdef::kUserTable);
    e.u16(f.maxColumns, t.maxColumns);
    e.u16(f.variableColumns, t.variableColumns);
    e.u16(f.columnCount, narrow16(t.columns.size(), "columns"));
    e.u32(f.logicalIndexCount, static_cast<std::uint32_t>(t.indexes.size()));
    e.u32(f.realIndexCount, static_cast<std::uint32_t>(t.indexData.size()));
    e.u32(f.usageMap, t.usageMapPointer);
    e.u32(f.freeMap, t.freeMapPointer);
    e.appendTo(out);
}

std::uint16_t nameLength(ByteSpan d, std::size_t off, const FileFormat& format) {
    return format.definition.nameLengthSize == 1 ? u8(d, off) : u16(d, off);
}

// Where the long-value usage maps start: just past the last index name.
std::size_t endOfIndexNames(ByteSpan d, const FileFormat& format) {
    const auto& f = format.definition;
    const std::uint16_t columnCount = u16(d, f.columnCount);
    const std::uint32_t logicalIndexes = u32(d, f.logicalIndexCount);
    const std::uint32_t realIndexes = u32(d, f.realIndexCount);
    if (realIndexes > d.size() / f.indexDataEntry ||
        logicalIndexes > d.size() / f.logicalIndexEntry)
        throwDamaged("a table definition has impossible counts");
    const std::size_t nameLengthSize = f.nameLengthSize;
    std::size_t off = f.realIndexStart + f.realIndexEntry * realIndexes +
                      f.columnEntry * std::size_t(columnCount);
    for (std::uint16_t i = 0; i < columnCount; ++i)
        off += nameLengthSize + nameLength(d, off, format);
    off += f.indexDataEntry * realIndexes + f.logicalIndexEntry * logicalIndexes;
    for (std::uint32_t i = 0; i < logicalIndexes; ++i)
        off += nameLengthSize + nameLength(d, off, format);
    return off;
}

} // namespace

core::Bytes encodeTableDefinition(const TableSchema& t,
                                  std::span<const LongValueUsageMaps> longValueMaps,
                                  const FileFormat& format) {
    const auto& f = format.definition;
    core::Bytes out;
    appendHeader(out, t, format);
    for (const auto& x : t.indexData) {
        Entry e(f.realIndexEntry);
        e.u32(4, x.entryCount);
        e.appendTo(out);
    }
    for (const auto& c : t.columns) appendColumn(out, c, format);
    for (const auto& c : t.columns) appendName(out, c.name, format);
    for (const auto& x : t.indexData) appendIndexData(out, x, f);
    for (const auto& x : t.indexes) {
        if (x.dataIndex >= t.indexData.size())
            throw core::Error("The index '" + x.name + "' refers to missing index data.");
        appendLogicalIndex(out, x, f);
    }
    for (const auto& x : t.indexes) appendName(out, x.name, format);
    for (const auto& m : longValueMaps) {
        Entry e(10);
        e.u16(0, m.columnNumber);
        e.u32(2, m.ownedPages);
        e.u32(6, m.freePages);
        e.appendTo(out);
    }
    out.push_back(static_cast<std::uint8_t>(kEndOfDefinition));
    out.push_back(static_cast<std::uint8_t>(kEndOfDefinition >> 8));
    put32(out.data() + tdef::kLength, static_cast<std::uint32_t>(out.size()));
    return out;
}

std::vector<LongValueUsageMaps> readLongValueUsageMaps(ByteSpan d, const FileFormat& format) {
    std::vector<LongValueUsageMaps> maps;
    std::size_t off = endOfIndexNames(d, format);
    const std::size_t end = std::min<std::size_t>(d.size(), u32(d, tdef::kLength));
    while (off + 2 <= end) {
        const std::uint16_t number = u16(d, off);
        if (number == kEndOfDefinition || off + 10 > end) break;
        maps.push_back({number, u32(d, off + 2), u32(d, off + 6)});
        off += 10;
    }
    return maps;
}

std::size_t definitionPageCount(const core::Bytes& definition, const FileFormat& format) {
    const std::size_t pageSize = format.pageSize;
    if (definition.size() <= pageSize) return 1;
    const std::size_t capacity = pageSize - tdef::kContinuationHeader;
    const std::size_t rest = definition.size() - pageSize;
    return 1 + (rest + capacity - 1) / capacity;
}

std::vector<PageBytes> splitDefinition(const core::Bytes& definition,
                                       std::span<const std::uint32_t> pageNumbers,
                                       const FileFormat& format) {
    const std::size_t pageSize = format.pageSize;
    const std::size_t count = definitionPageCount(definition, format);
    if (pageNumbers.size() != count)
        throw core::Error("A table definition of " + std::to_string(definition.size()) +
                          " bytes needs " + std::to_string(count) + " pages, not " +
                          std::to_string(pageNumbers.size()) + ".");
    std::vector<PageBytes> pages(count);
    std::size_t taken = 0;
    for (std::size_t p = 0; p < count; ++p) {
        PageBytes& page = pages[p];
        page.fill(0);
        std::size_t start = 0;
        if (p > 0) {
            std::copy_n(definition.begin(), tdef::kContinuationHeader, page.begin());
            start = tdef::kContinuationHeader;
        }
        const std::size_t chunk = std::min(pageSize - start, definition.size() - taken);
        std::copy_n(definition.begin() + static_cast<std::ptrdiff_t>(taken), chunk,
                    page.begin() + static_cast<std::ptrdiff_t>(start));
        taken += chunk;
        if (format.definitionWrite.freeSpaceCount) {
            // Access counts the free bytes less the 8 of a page header, and never below zero.
            const std::size_t used = start + chunk;
            const std::size_t free = pageSize - used >= 8 ? pageSize - used - 8 : 0;
            put16(page.data() + 2, static_cast<std::uint16_t>(free));
        }
        put32(page.data() + tdef::kNextPage, p + 1 < count ? pageNumbers[p + 1] : 0);
    }
    return pages;
}

} // namespace jet
