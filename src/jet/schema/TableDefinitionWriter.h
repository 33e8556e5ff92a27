#pragma once
// Writes a table definition as Access lays it out (Access 97's layout or Access 2000's, as
// the file's format says), the inverse of parseTableDefinition, and spreads it over the
// chain of definition pages.
#include "core/Value.h"
#include "jet/file/PageFile.h"
#include "jet/schema/TableSchema.h"

#include <span>
#include <vector>

namespace jet {

// Access's constant in the header, each column and each logical index.
inline constexpr std::uint32_t kDefinitionMagic = 0x0659;
// Access's constant leading each physical index.
inline constexpr std::uint32_t kIndexDataMagic = 0x0783;

// The whole logical definition in one buffer, as readDefinitionBytes would return it for a
// file holding it: the first page's header (free space and next page left zero for
// splitDefinition), the table block, the physical index counts, columns, column names,
// physical indexes, logical indexes, index names, the long-value usage maps and the closing
// 0xFFFF. The length field counts all of it. Throws core::Error for a schema it cannot write
// (an index over more than 10 columns, names or counts beyond the format's fields).
core::Bytes encodeTableDefinition(const TableSchema& table,
                                  std::span<const LongValueUsageMaps> longValueMaps = {},
                                  const FileFormat& format = FileFormat::jet4());

// The long-value usage maps a stored definition lists after its index names.
std::vector<LongValueUsageMaps>
readLongValueUsageMaps(ByteSpan definition, const FileFormat& format = FileFormat::jet4());

// How many pages the definition takes: the first holds a whole page, each further page the
// rest after its own 8-byte header.
std::size_t definitionPageCount(const core::Bytes& definition,
                                const FileFormat& format = FileFormat::jet4());

// The definition's pages, for pageNumbers[0], [1], ... (exactly definitionPageCount of them):
// each with its next-page pointer and free-space count set as Access sets them, and zeros
// after the definition's end.
std::vector<PageBytes> splitDefinition(const core::Bytes& definition,
                                       std::span<const std::uint32_t> pageNumbers,
                                       const FileFormat& format = FileFormat::jet4());

} // namespace jet
