#pragma once
// What a table definition says: columns, indexes and the counters and maps of the table.
#include "core/Value.h"
#include "jet/file/PageFormat.h"
#include "jet/schema/ColumnType.h"

#include <optional>
#include <string>
#include <vector>

namespace jet {

// Column flag bits of the table definition.
namespace column_flag {
inline constexpr std::uint8_t kFixed = 0x01;
inline constexpr std::uint8_t kNullable = 0x02;
inline constexpr std::uint8_t kAutoLong = 0x04;
inline constexpr std::uint8_t kReplication = 0x10;
inline constexpr std::uint8_t kAutoGuid = 0x40;
inline constexpr std::uint8_t kHyperlink = 0x80;
} // namespace column_flag

struct ColumnDef {
    std::string name;
    ColumnType type = ColumnType::Text;
    std::uint8_t rawType = 0; // as stored; differs from type only for unknown codes
    std::uint16_t number = 0; // bit in the null mask (counts deleted columns)
    std::uint16_t displayIndex = 0;
    std::uint16_t varIndex = 0;    // entry in the row's variable offset table
    std::uint16_t fixedOffset = 0; // start in the row's fixed part (after the column count)
    std::uint16_t size = 0;        // stored size in bytes (text: charSize per character)
    std::uint8_t charSize = 2;     // bytes per text character: 2 in Jet 4, 1 in Jet 3
    std::uint8_t flags = 0;
    std::uint8_t miscFlags = 0; // 0x01: text stored as compressed Unicode
    std::uint8_t precision = 0, scale = 0;
    std::uint16_t sortOrder = 0;
    std::uint16_t codePage = 0;
    std::uint16_t sortVersion = 0; // Jet 3: which revision of the sort order (Access writes 1)

    bool isFixed() const { return flags & column_flag::kFixed; }
    bool isAutoNumber() const { return flags & (column_flag::kAutoLong | column_flag::kAutoGuid); }
    bool isCompressedUnicode() const { return miscFlags & 0x01; }
    // The most characters a text column holds.
    std::uint16_t maxChars() const { return static_cast<std::uint16_t>(size / charSize); }
};

struct IndexColumn {
    std::uint16_t columnNumber = 0;
    bool ascending = true;
};

namespace index_flag {
inline constexpr std::uint8_t kUnique = 0x01;
inline constexpr std::uint8_t kIgnoreNulls = 0x02;
inline constexpr std::uint8_t kRequired = 0x08;
} // namespace index_flag

// A physical index: the B-tree of keys.
struct IndexData {
    std::vector<IndexColumn> columns;
    std::uint32_t usageMapPointer = 0;
    std::uint32_t firstPage = 0;
    std::uint8_t flags = 0;
    std::uint32_t entryCount = 0;
};

enum class IndexKind : std::uint8_t { Normal = 0, Primary = 1, ForeignKey = 2 };

// A logical index: what the user named, sharing a physical index with others perhaps.
struct IndexDef {
    std::string name;
    std::uint32_t number = 0;
    std::uint32_t dataIndex = 0; // which IndexData
    IndexKind kind = IndexKind::Normal;
    // Foreign keys only.
    std::uint8_t relatedTableType = 0;
    std::int32_t relatedIndexNumber = -1;
    std::uint32_t relatedTablePage = 0;
    bool cascadeUpdates = false, cascadeDeletes = false;
};

// The pair of usage maps (row pointers into a usage-map page) a memo or OLE column keeps for
// the long-value pages holding its data; Access lists them after the index names.
struct LongValueUsageMaps {
    std::uint16_t columnNumber = 0;
    std::uint32_t ownedPages = 0;
    std::uint32_t freePages = 0;
    bool operator==(const LongValueUsageMaps&) const = default;
};

struct TableSchema {
    std::string name;
    std::uint32_t definitionPage = 0;
    bool systemTable = false;
    std::uint32_t rowCount = 0;
    std::uint32_t nextAutoNumber = 0;
    std::uint16_t maxColumns = 0;
    std::uint16_t variableColumns = 0;
    std::uint32_t usageMapPointer = 0;
    std::uint32_t freeMapPointer = 0;
    std::vector<ColumnDef> columns; // in column order
    std::vector<IndexData> indexData;
    std::vector<IndexDef> indexes;
    std::vector<LongValueUsageMaps> longValueMaps;

    const ColumnDef* findColumn(std::string_view name) const;
    const ColumnDef* columnByNumber(std::uint16_t number) const;
};

} // namespace jet
