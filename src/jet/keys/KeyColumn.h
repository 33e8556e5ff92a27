#pragma once
// One column of an index as the key encoder sees it: its type, its direction and, for
// numeric columns, the scale the stored digits are counted in.
#include <cstdint>

namespace jet {

// The indexable column types, numbered as Jet 4 numbers them in table definitions, so a
// column's type code converts directly.
enum class KeyColumnType : std::uint8_t {
    Boolean = 1,
    Byte = 2,
    Integer = 3,
    Long = 4,
    Currency = 5,
    Single = 6,
    Double = 7,
    DateTime = 8,
    Binary = 9,
    Text = 10,
    Ole = 11, // never indexable; rejected
    Memo = 12,
    Guid = 15,
    Numeric = 16,
};

// The General sort order of text keys: Jet 4's (Access 2000-2003) or Access 97's (Jet 3).
enum class TextSortOrder : std::uint8_t { General, General97 };

struct KeyColumn {
    KeyColumnType type = KeyColumnType::Long;
    bool ascending = true;
    std::uint8_t scale = 0; // Numeric only: digits after the point
    TextSortOrder textOrder = TextSortOrder::General;
};

} // namespace jet
