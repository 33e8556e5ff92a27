#pragma once
// Byte-level pieces shared by the column key encodings: the flag that opens each column's
// part of a key and the helpers that build big-endian, order-preserving bytes.
#include "core/Value.h"

#include <cstddef>
#include <cstdint>

namespace jet::key_bytes {

// Every column's part starts with one flag byte. A null is the whole part; its flag is the
// lowest byte when ascending and the highest when descending, as null is the lowest value.
inline constexpr std::uint8_t ascendingNull = 0x00;
inline constexpr std::uint8_t ascendingValue = 0x7F;
inline constexpr std::uint8_t descendingNull = 0xFF;
inline constexpr std::uint8_t descendingValue = 0x80;

inline std::uint8_t nullFlag(bool ascending) {
    return ascending ? ascendingNull : descendingNull;
}
inline std::uint8_t valueFlag(bool ascending) {
    return ascending ? ascendingValue : descendingValue;
}

// Appends the low `size` bytes of `bits`, most significant first.
inline void appendBigEndian(core::Bytes& out, std::uint64_t bits, std::size_t size) {
    for (std::size_t k = size; k-- > 0;) out.push_back(std::uint8_t(bits >> (8 * k)));
}

// A descending column stores the complement of what an ascending one would.
inline void complementFrom(core::Bytes& out, std::size_t start) {
    for (std::size_t k = start; k < out.size(); ++k) out[k] = std::uint8_t(~out[k]);
}

} // namespace jet::key_bytes
