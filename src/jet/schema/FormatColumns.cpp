#include "jet/schema/FormatColumns.h"

#include "core/Error.h"

namespace jet {

void fitColumnsToFormat(std::span<ColumnDef> columns, const FileFormat& format) {
    const auto& w = format.definitionWrite;
    const auto charSize = static_cast<std::uint8_t>(format.write.textCharSize);
    for (auto& c : columns) {
        if (c.type == ColumnType::Numeric && !w.decimal)
            throw core::SqlError("The field '" + c.name +
                                 "' is Decimal, a type Access 97 databases do not have; use "
                                 "Currency or Double.");
        // Columns read from the file already carry its character size.
        if (c.charSize == charSize) continue;
        if (c.type == ColumnType::Text)
            c.size = static_cast<std::uint16_t>(c.maxChars() * charSize);
        c.charSize = charSize;
        c.sortVersion = w.sortVersion;
        if (c.type != ColumnType::Text && c.type != ColumnType::Memo) continue;
        if (!w.compressedText) c.miscFlags &= static_cast<std::uint8_t>(~0x01);
        if (c.codePage == 0) c.codePage = w.textCodePage;
    }
}

} // namespace jet
