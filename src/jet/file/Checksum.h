#pragma once
// CRC-32 (the common reflected 0xEDB88320 form), which tells a complete journal record from
// one a crash cut short or left half on disk.
#include <cstdint>
#include <span>

namespace jet {

// Continues a running checksum; start with crc32({}) or 0.
std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t running = 0);

} // namespace jet
