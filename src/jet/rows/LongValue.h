#pragma once
// Memo and OLE values: a 12-byte reference in the row to data kept inline, in one row of a
// long-value page, or in a chain of such rows.
#include "core/Value.h"
#include "jet/file/PageFile.h"

namespace jet {

namespace long_value {
inline constexpr std::size_t kReferenceSize = 12;
inline constexpr std::uint8_t kInline = 0x80;
inline constexpr std::uint8_t kSingleRow = 0x40;
inline constexpr std::uint8_t kChained = 0x00;
} // namespace long_value

// The stored bytes the reference names (for memo: still in Jet's text encoding).
core::Bytes readLongValue(const PageFile& file, ByteSpan reference);

} // namespace jet
