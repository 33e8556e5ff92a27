#pragma once
// The kinds of value Jet knows, with their names for messages and dumps.
#include <cstdint>
#include <string_view>

namespace core {

enum class DataType : std::uint8_t {
    Null,
    Boolean,
    Byte,
    Integer,  // 16-bit
    Long,     // 32-bit
    Currency, // exact 64-bit ten-thousandths
    Single,
    Double,
    DateTime, // days from 1899-12-30
    Text,     // UTF-8
    Binary,
    Guid,
    Decimal,
};

std::string_view dataTypeName(DataType type);

} // namespace core
