#pragma once
// Columns a new definition gives a table, told in Access 2000's terms (text sized in UCS-2
// bytes, compressible), as the file's own version stores them.
#include "jet/file/FileFormat.h"
#include "jet/schema/TableSchema.h"

#include <span>

namespace jet {

// Sizes text in the file's bytes per character and drops what the version lacks (Jet 3:
// 8-bit text in the file's code page, no compressed Unicode). Throws core::SqlError for a
// type the version cannot store. Columns read from the file pass unchanged.
void fitColumnsToFormat(std::span<ColumnDef> columns, const FileFormat& format);

} // namespace jet
