#pragma once
// Reads a table definition, which may run over a chain of pages, into a TableSchema.
#include "jet/file/PageFile.h"
#include "jet/schema/TableSchema.h"

namespace jet {

namespace tdef {
inline constexpr std::size_t kNextPage = 4;
inline constexpr std::size_t kLength = 8;
inline constexpr std::size_t kRowCount = 16;
inline constexpr std::size_t kAutoNumber = 20;
inline constexpr std::size_t kTableType = 40;
inline constexpr std::size_t kMaxColumns = 41;
inline constexpr std::size_t kVariableColumns = 43;
inline constexpr std::size_t kColumnCount = 45;
inline constexpr std::size_t kLogicalIndexCount = 47;
inline constexpr std::size_t kRealIndexCount = 51;
inline constexpr std::size_t kUsageMap = 55;
inline constexpr std::size_t kFreeMap = 59;
inline constexpr std::size_t kRealIndexStart = 63;
inline constexpr std::size_t kRealIndexEntry = 12;
inline constexpr std::size_t kColumnEntry = 25;
inline constexpr std::size_t kIndexDataEntry = 52;
inline constexpr std::size_t kIndexColumnSlots = 10;
inline constexpr std::size_t kLogicalIndexEntry = 28;
inline constexpr std::size_t kContinuationHeader = 8;
inline constexpr std::uint8_t kUserTable = 0x4E;
inline constexpr std::uint8_t kSystemTable = 0x53;
} // namespace tdef

// The definition's bytes: the first page whole, then each continuation page past its header.
std::vector<std::uint8_t> readDefinitionBytes(const PageFile& file, std::uint32_t firstPage);

// The fixed offsets (tdef::) are Jet 4's; the parser takes the file's format from the caller.
TableSchema parseTableDefinition(ByteSpan definition, std::uint32_t firstPage,
                                 const FileFormat& format = FileFormat::jet4());

inline TableSchema readTableDefinition(const PageFile& file, std::uint32_t firstPage) {
    auto bytes = readDefinitionBytes(file, firstPage);
    return parseTableDefinition(bytes, firstPage, file.format());
}

} // namespace jet
