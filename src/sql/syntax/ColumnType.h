#pragma once
// The type of a column in CREATE TABLE and ALTER TABLE, after Jet's synonyms are resolved.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sql {

enum class FieldType {
    Text,    // up to 255 characters
    Memo,    // long text
    Byte,    // unsigned 8-bit
    Integer, // 16-bit
    Long,    // 32-bit
    Counter, // Long numbered by the engine
    Single,
    Double,
    Currency,
    DateTime,
    Boolean,
    Binary,    // up to 510 bytes
    OleObject, // long binary
    Guid,
    Decimal,
};

struct ColumnType {
    FieldType type = FieldType::Text;
    std::string written; // the type name as the statement spells it, for messages
    // Text: characters; Binary: bytes. A size left out or written as 0 means the largest.
    std::uint32_t size = 0;
    std::uint8_t precision = 0; // Decimal
    std::uint8_t scale = 0;     // Decimal
    std::int32_t seed = 1;      // Counter: the first number
    std::int32_t increment = 1; // Counter: the step
    bool compressed = false;    // WITH COMPRESSION on Text or Memo
};

inline constexpr std::uint32_t maxTextSize = 255;
inline constexpr std::uint32_t maxBinarySize = 510;
inline constexpr std::uint8_t defaultDecimalPrecision = 18;

// What a type name can be followed by in parentheses.
enum class TypeArguments { None, Size, PrecisionScale, SeedIncrement };

struct TypeName {
    FieldType type;
    TypeArguments arguments;
};

// Looks up one type word or a two-word name ("double precision", "character varying"),
// case-insensitively; nothing for a word that is no type.
std::optional<TypeName> typeNamed(std::string_view name);

// The canonical Jet name the printer writes ("text", "long", "yesno").
std::string_view fieldTypeName(FieldType type);

} // namespace sql
