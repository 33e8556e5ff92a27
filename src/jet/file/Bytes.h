#pragma once
// Bounds-checked little-endian reads from page bytes: every offset taken from a file is
// untrusted, so a read past the end raises a FormatError instead of touching other memory.
#include "core/Error.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <span>
#include <string>

namespace jet {

using ByteSpan = std::span<const std::uint8_t>;

[[noreturn]] inline void throwDamaged(const std::string& what) {
    throw core::FormatError("The database file is damaged: " + what + ".");
}

inline void requireRange(ByteSpan bytes, std::size_t offset, std::size_t length, const char* what) {
    if (offset > bytes.size() || length > bytes.size() - offset) throwDamaged(what);
}

inline std::uint8_t u8(ByteSpan b, std::size_t off) {
    requireRange(b, off, 1, "read past the end of a page");
    return b[off];
}
inline std::uint16_t u16(ByteSpan b, std::size_t off) {
    requireRange(b, off, 2, "read past the end of a page");
    return static_cast<std::uint16_t>(b[off] | (b[off + 1] << 8));
}
inline std::uint32_t u24(ByteSpan b, std::size_t off) {
    requireRange(b, off, 3, "read past the end of a page");
    return static_cast<std::uint32_t>(b[off] | (b[off + 1] << 8) | (b[off + 2] << 16));
}
inline std::uint32_t u32(ByteSpan b, std::size_t off) {
    requireRange(b, off, 4, "read past the end of a page");
    return static_cast<std::uint32_t>(b[off]) | (static_cast<std::uint32_t>(b[off + 1]) << 8) |
           (static_cast<std::uint32_t>(b[off + 2]) << 16) |
           (static_cast<std::uint32_t>(b[off + 3]) << 24);
}
inline std::uint64_t u64(ByteSpan b, std::size_t off) {
    return static_cast<std::uint64_t>(u32(b, off)) |
           (static_cast<std::uint64_t>(u32(b, off + 4)) << 32);
}
inline double f64(ByteSpan b, std::size_t off) {
    std::uint64_t bits = u64(b, off);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}
inline float f32(ByteSpan b, std::size_t off) {
    std::uint32_t bits = u32(b, off);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}
// Little-endian writes into buffers the engine builds itself (its own offsets, so unchecked).
inline void put16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void put64(std::uint8_t* at, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
// The same at an offset into a page, a byte vector or a span.
template <class Buffer> void put16(Buffer&& b, std::size_t at, std::uint16_t v) {
    put16(std::data(b) + at, v);
}
template <class Buffer> void put32(Buffer&& b, std::size_t at, std::uint32_t v) {
    put32(std::data(b) + at, v);
}
template <class Buffer> void put64(Buffer&& b, std::size_t at, std::uint64_t v) {
    put64(std::data(b) + at, v);
}

inline ByteSpan slice(ByteSpan b, std::size_t off, std::size_t len, const char* what) {
    requireRange(b, off, len, what);
    return b.subspan(off, len);
}

} // namespace jet
