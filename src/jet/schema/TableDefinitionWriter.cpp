#include "jet/schema/TableDefinitionWriter.h"

#include "core/Error.h"
#include "core/TextEncoding.h"
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
constexpr std::size_t kContinuationCapacity = kPageSize - tdef::kContinuationHeader;

// Appends little-endian fields to a growing buffer.
class Writer {
public:
    explicit Writer(core::Bytes& out) : out_(out) {}

    void u8(std::uint8_t v) { out_.push_back(v); }
    void u16(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
    // Names are plain UTF-16 after their byte length.
    void name(const std::string& text) {
        core::Bytes bytes = core::utf8ToUtf16le(text);
        if (bytes.size() > 0xFFFF) throw core::Error("The name '" + text + "' is too long.");
        u16(static_cast<std::uint16_t>(bytes.size()));
        out_.insert(out_.end(), bytes.begin(), bytes.end());
    }
    std::size_t size() const { return out_.size(); }

private:
    core::Bytes& out_;
};

std::uint16_t narrow16(std::size_t value, const char* what) {
    if (value > 0xFFFF)
        throw core::Error(std::string("A table definition has too many ") + what + ".");
    return static_cast<std::uint16_t>(value);
}

void writeColumn(Writer& w, const ColumnDef& c) {
    w.u8(c.rawType != 0 ? c.rawType : static_cast<std::uint8_t>(c.type));
    w.u32(kDefinitionMagic);
    w.u16(c.number);
    w.u16(c.varIndex);
    w.u16(c.displayIndex);
    if (c.type == ColumnType::Numeric) {
        w.u8(c.precision);
        w.u8(c.scale);
        w.u16(0);
    } else if (c.type == ColumnType::Text || c.type == ColumnType::Memo) {
        w.u16(c.sortOrder);
        w.u16(c.codePage);
    } else {
        w.u16(kGeneralSortOrder);
        w.u16(0);
    }
    w.u8(c.flags);
    w.u8(c.miscFlags);
    w.zeros(4);
    w.u16(c.fixedOffset);
    w.u16(c.size);
}

void writeIndexData(Writer& w, const IndexData& x) {
    if (x.columns.size() > tdef::kIndexColumnSlots)
        throw core::Error("An index may use at most 10 columns.");
    w.u32(kIndexDataMagic);
    for (std::size_t s = 0; s < tdef::kIndexColumnSlots; ++s) {
        if (s < x.columns.size()) {
            w.u16(x.columns[s].columnNumber);
            w.u8(x.columns[s].ascending ? 0x01 : 0x00);
        } else {
            w.u16(kNoColumn);
            w.u8(0);
        }
    }
    w.u32(x.usageMapPointer);
    w.u32(x.firstPage);
    w.zeros(4);
    w.u8(x.flags);
    w.zeros(5);
}

void writeLogicalIndex(Writer& w, const IndexDef& x) {
    w.u32(kDefinitionMagic);
    w.u32(x.number);
    w.u32(x.dataIndex);
    if (x.kind == IndexKind::ForeignKey) {
        w.u8(x.relatedTableType);
        w.u32(static_cast<std::uint32_t>(x.relatedIndexNumber));
        w.u32(x.relatedTablePage);
        w.u8(x.cascadeUpdates ? 1 : 0);
        w.u8(x.cascadeDeletes ? 1 : 0);
    } else {
        w.u8(0);
        w.u32(0xFFFFFFFFu);
        w.u32(0);
        w.u8(kNoCascade);
        w.u8(kNoCascade);
    }
    w.u8(static_cast<std::uint8_t>(x.kind));
    w.zeros(4);
}

// Where the long-value usage maps start: just past the last index name.
std::size_t endOfIndexNames(ByteSpan d) {
    const std::uint16_t columnCount = u16(d, tdef::kColumnCount);
    const std::uint32_t logicalIndexes = u32(d, tdef::kLogicalIndexCount);
    const std::uint32_t realIndexes = u32(d, tdef::kRealIndexCount);
    if (realIndexes > d.size() / tdef::kIndexDataEntry ||
        logicalIndexes > d.size() / tdef::kLogicalIndexEntry)
        throwDamaged("a table definition has impossible counts");
    std::size_t off = tdef::kRealIndexStart + tdef::kRealIndexEntry * realIndexes +
                      tdef::kColumnEntry * std::size_t(columnCount);
    for (std::uint16_t i = 0; i < columnCount; ++i) off += 2u + u16(d, off);
    off += tdef::kIndexDataEntry * realIndexes + tdef::kLogicalIndexEntry * logicalIndexes;
    for (std::uint32_t i = 0; i < logicalIndexes; ++i) off += 2u + u16(d, off);
    return off;
}

} // namespace

core::Bytes encodeTableDefinition(const TableSchema& t,
                                  std::span<const LongValueUsageMaps> longValueMaps) {
    core::Bytes out;
    Writer w(out);
    w.u8(static_cast<std::uint8_t>(PageType::TableDefinition));
    w.u8(0x01);
    w.u16(0); // free space: set per page by splitDefinition
    w.u32(0); // next page: likewise
    w.u32(0); // length: known at the end
    w.u32(kDefinitionMagic);
    w.u32(t.rowCount);
    w.u32(t.nextAutoNumber);
    w.u8(0x01); // set in every table Access writes
    w.zeros(15);
    w.u8(t.systemTable ? tdef::kSystemTable : tdef::kUserTable);
    w.u16(t.maxColumns);
    w.u16(t.variableColumns);
    w.u16(narrow16(t.columns.size(), "columns"));
    w.u32(static_cast<std::uint32_t>(t.indexes.size()));
    w.u32(static_cast<std::uint32_t>(t.indexData.size()));
    w.u32(t.usageMapPointer);
    w.u32(t.freeMapPointer);

    for (const auto& x : t.indexData) {
        w.zeros(4);
        w.u32(x.entryCount);
        w.zeros(4);
    }
    for (const auto& c : t.columns) writeColumn(w, c);
    for (const auto& c : t.columns) w.name(c.name);
    for (const auto& x : t.indexData) writeIndexData(w, x);
    for (const auto& x : t.indexes) {
        if (x.dataIndex >= t.indexData.size())
            throw core::Error("The index '" + x.name + "' refers to missing index data.");
        writeLogicalIndex(w, x);
    }
    for (const auto& x : t.indexes) w.name(x.name);
    for (const auto& m : longValueMaps) {
        w.u16(m.columnNumber);
        w.u32(m.ownedPages);
        w.u32(m.freePages);
    }
    w.u16(kEndOfDefinition);
    put32(out.data() + tdef::kLength, static_cast<std::uint32_t>(out.size()));
    return out;
}

std::vector<LongValueUsageMaps> readLongValueUsageMaps(ByteSpan d) {
    std::vector<LongValueUsageMaps> maps;
    std::size_t off = endOfIndexNames(d);
    const std::size_t end = std::min<std::size_t>(d.size(), u32(d, tdef::kLength));
    while (off + 2 <= end) {
        const std::uint16_t number = u16(d, off);
        if (number == kEndOfDefinition || off + 10 > end) break;
        maps.push_back({number, u32(d, off + 2), u32(d, off + 6)});
        off += 10;
    }
    return maps;
}

std::size_t definitionPageCount(const core::Bytes& definition) {
    if (definition.size() <= kPageSize) return 1;
    const std::size_t rest = definition.size() - kPageSize;
    return 1 + (rest + kContinuationCapacity - 1) / kContinuationCapacity;
}

std::vector<PageBytes> splitDefinition(const core::Bytes& definition,
                                       std::span<const std::uint32_t> pageNumbers) {
    const std::size_t count = definitionPageCount(definition);
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
            page[0] = static_cast<std::uint8_t>(PageType::TableDefinition);
            page[1] = 0x01;
            start = tdef::kContinuationHeader;
        }
        const std::size_t chunk = std::min(kPageSize - start, definition.size() - taken);
        std::copy_n(definition.begin() + static_cast<std::ptrdiff_t>(taken), chunk,
                    page.begin() + static_cast<std::ptrdiff_t>(start));
        taken += chunk;
        // Access counts the free bytes less the 8 of a page header, and never below zero.
        const std::size_t used = start + chunk;
        const std::size_t free = kPageSize - used >= 8 ? kPageSize - used - 8 : 0;
        put16(page.data() + 2, static_cast<std::uint16_t>(free));
        put32(page.data() + tdef::kNextPage, p + 1 < count ? pageNumbers[p + 1] : 0);
    }
    return pages;
}

} // namespace jet
