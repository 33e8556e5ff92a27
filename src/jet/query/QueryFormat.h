#pragma once
// The codes of a saved query as MSysQueries stores it: what each row's Attribute means, the
// bits of the flag row, the join types and the query kinds the catalog's Flags tell apart.
#include <cstdint>
#include <string_view>

namespace jet::query {

// The Attribute column: the clause a row describes. A query's rows run from Start to End.
enum class Attribute : std::uint8_t {
    Start = 0,
    Type = 1,      // Flag: the query's kind (QueryType)
    Parameter = 2, // Name1: the name; Flag: its data type; LvExtra: a text's size
    Flags = 3,     // Flag: SelectFlag bits; Name1: the TOP count
    Remote = 4,    // Name1: the other database's path; Expression: its connect type
    Table = 5,     // Name1: table or query; Name2: alias; Expression: a subquery's text
    Column = 6,    // Expression: the output expression; Name1: its alias
    Join = 7,      // Name1, Name2: the two sides; Expression: ON; Flag: JoinType
    Where = 8,     // Expression
    GroupBy = 9,   // Expression, one row per item
    Having = 10,   // Expression
    OrderBy = 11,  // Expression; Name1 "D" when descending
    End = 255,
};

// The Flag of the Type row.
enum class QueryType : std::int16_t {
    Select = 1,
    MakeTable = 2,
    Append = 3,
    Update = 4,
    Delete = 5,
    Crosstab = 6,
    DataDefinition = 7,
    PassThrough = 8,
    Union = 9,
};

// Bits of the Flags row's Flag.
namespace select_flag {
inline constexpr std::int16_t kAllColumns = 0x01; // "*" ends the select list
inline constexpr std::int16_t kDistinct = 0x02;   // in a union query: UNION without ALL
inline constexpr std::int16_t kOwnerAccess = 0x04;
inline constexpr std::int16_t kDistinctRow = 0x08;
inline constexpr std::int16_t kTop = 0x10;
inline constexpr std::int16_t kPercent = 0x20;
} // namespace select_flag

// The Flag of a Join row.
enum class JoinType : std::int16_t { Inner = 1, Left = 2, Right = 3 };

// The query kind bits of a query's MSysObjects Flags (the catalog's kQueryKindMask).
enum class QueryKind : std::uint32_t {
    Select = 0,
    Crosstab = 0x10,
    Delete = 0x20,
    Update = 0x30,
    Append = 0x40,
    MakeTable = 0x50,
    DataDefinition = 0x60,
    PassThrough = 0x70,
    Union = 0x80,
    BulkPassThrough = 0x90,
    Compound = 0xA0,
    Procedure = 0xE0,
    Action = 0xF0,
};

inline constexpr std::uint32_t kQueryKindBits = 0xF0;

inline QueryKind queryKindOf(std::uint32_t objectFlags) {
    return static_cast<QueryKind>(objectFlags & kQueryKindBits);
}

// Whether a query of this kind gives rows (and so can stand where a table can).
inline bool returnsRows(QueryKind kind) {
    return kind == QueryKind::Select || kind == QueryKind::Union || kind == QueryKind::Crosstab;
}

// The words for each kind, for messages.
std::string_view queryKindName(QueryKind kind);

// The two parts of a union query are table rows with these aliases; each holds the text of
// one side, the first of which may itself be a union.
inline constexpr std::string_view kUnionFirstPart = "X7YZ_____1";
inline constexpr std::string_view kUnionSecondPart = "X7YZ_____2";

// The Name1 of a descending ORDER BY row.
inline constexpr std::string_view kDescending = "D";

} // namespace jet::query
