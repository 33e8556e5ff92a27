#pragma once
// Relationships (foreign keys) as Jet keeps them: a row per column pair in
// MSysRelationships, and a logical index of kind ForeignKey in each of the two tables,
// each naming the other's table definition page and logical index number.
#include "jet/file/FileFormat.h"
#include "jet/schema/TableSchema.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace jet {

struct RelationshipDef {
    std::string name;
    // The table whose rows point at a parent (Jet's szObject) and the columns that do.
    std::string table;
    std::vector<std::string> columns;
    // The parent (szReferencedObject) and its primary-key or unique columns.
    std::string referencedTable;
    std::vector<std::string> referencedColumns;
    bool cascadeUpdates = false, cascadeDeletes = false;
};

// The grbit bits of a MSysRelationships row.
namespace relationship_flag {
inline constexpr std::int32_t kOneToOne = 0x00000001;
inline constexpr std::int32_t kNoIntegrity = 0x00000002;
inline constexpr std::int32_t kCascadeUpdates = 0x00000100;
inline constexpr std::int32_t kCascadeDeletes = 0x00001000;
} // namespace relationship_flag

// Whether making a relationship writes its MSysRelationships rows. A compaction copies the
// source's rows whole into an empty table and wants only the definitions' entries: rows
// written and then replaced would leave deleted slots ahead of the live ones, which readers
// that count slots against the table's row count (mdbtools) take for the end of the table.
enum class RelationshipRows { Write, Skip };

// The byte a foreign-key entry keeps for its own table's side of the relationship.
namespace relationship_side {
inline constexpr std::uint8_t kReferenced = 1;
inline constexpr std::uint8_t kReferencing = 2;
} // namespace relationship_side

// The column numbers the names stand for, in the given order; throws core::SqlError naming
// a missing column.
std::vector<std::uint16_t> relationshipColumns(const TableSchema& schema,
                                               const std::vector<std::string>& names);

// The physical index over exactly these columns (in any order), if there is one. With
// uniqueOnly, only a primary key or a unique index counts, the primary key first.
std::optional<std::uint32_t> indexOverColumns(const TableSchema& schema,
                                              const std::vector<std::uint16_t>& columns,
                                              bool uniqueOnly);

// The number the next logical index of the table gets.
std::uint32_t nextLogicalIndexNumber(const TableSchema& schema);

// The name Access gives the referenced side's entry: ".rB", ".rC", ... the first one the
// table does not use yet.
std::string referencedEntryName(const TableSchema& schema);

// The grbit Access stores for an enforced relationship.
std::int32_t relationshipGrbit(const RelationshipDef& rel, bool oneToOne);

// Throws the error Jet gives for a row whose parent is missing, when a row of the child
// has non-null key values that no row of the parent has. Rows with a Null in the key need
// no parent.
void requireParentsExist(const TableSchema& parent, const std::vector<std::uint16_t>& parentColumns,
                         const std::vector<std::vector<core::Value>>& parentRows,
                         const TableSchema& child, const std::vector<std::uint16_t>& childColumns,
                         const std::vector<std::vector<core::Value>>& childRows,
                         const FileFormat& format);

} // namespace jet
