#pragma once
// Index key payloads of the fixed-size column types (the part after the column's flag byte):
// byte-wise comparison of two payloads orders them as the values are ordered.
#include "core/Value.h"

#include <cstddef>
#include <cstdint>

namespace jet {

// Integer, Long and Currency (its ten-thousandths): two's complement, big-endian, sign bit
// inverted. `size` is the column's width in bytes.
void appendIntegerKey(core::Bytes& out, std::int64_t value, std::size_t size, bool ascending);

void appendByteKey(core::Bytes& out, std::uint8_t value, bool ascending);

// Yes sorts before No, as Jet stores Yes as -1.
void appendBooleanKey(core::Bytes& out, bool value, bool ascending);

// Single, Double and Date/Time (its day count): IEEE big-endian, positives with the sign bit
// set, negatives complemented.
void appendSingleKey(core::Bytes& out, float value, bool ascending);
void appendDoubleKey(core::Bytes& out, double value, bool ascending);

// Numeric: a sign byte and the 16-byte magnitude in the column's scale. Jet 4 files keep the
// ordering of the original engine, which puts negatives first in descending indexes as well.
// Throws core::TypeMismatch when the value has more decimals than the column.
void appendDecimalKey(core::Bytes& out, const core::Decimal& value, std::uint8_t scale,
                      bool ascending);

} // namespace jet
