#pragma once
// The column type codes a Jet 4 table definition stores.
#include "core/DataType.h"

#include <cstdint>
#include <string_view>

namespace jet {

enum class ColumnType : std::uint8_t {
    Boolean = 0x01,
    Byte = 0x02,
    Integer = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
    Guid = 0x0F,
    Numeric = 0x10,
};

// Width in the fixed part of a row (0 for variable and long columns, 0 for yes/no, whose
// value lives in the null mask).
std::uint16_t fixedWidth(ColumnType type);
bool isLongValue(ColumnType type); // memo and OLE: stored through a 12-byte reference
bool isKnownColumnType(std::uint8_t code);
// The value kind a column of this type reads as.
core::DataType valueTypeOf(ColumnType type);
// The dump's name of a type: boolean, byte, integer, long, currency, float, double,
// datetime, binary, text, ole, memo, repid, numeric.
std::string_view columnTypeName(ColumnType type);

} // namespace jet
