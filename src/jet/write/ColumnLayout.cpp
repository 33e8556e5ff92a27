#include "jet/write/ColumnLayout.h"

#include "core/Error.h"

namespace jet {

namespace {
constexpr std::uint16_t kGeneralSortOrder = 1033;
constexpr std::size_t kMaxColumns = 255;
} // namespace

void layOutNewColumns(TableSchema& schema) {
    if (schema.columns.empty()) throw core::SqlError("A table must have at least one field.");
    if (schema.columns.size() > kMaxColumns) throw core::SqlError("Too many fields defined.");
    std::uint16_t fixedOffset = 0, variables = 0, number = 0;
    for (auto& c : schema.columns) {
        // A type the engine reads as binary (Access's 0x11 in MSysAccessObjects) keeps its
        // code, and fixed-length binary keeps its fixed slot, so that a copied table is the
        // table Access made.
        const bool otherType = c.rawType != 0 && !isKnownColumnType(c.rawType);
        if (!otherType) c.rawType = static_cast<std::uint8_t>(c.type);
        c.number = number;
        c.displayIndex = number;
        ++number;
        std::uint16_t width = fixedWidth(c.type);
        if (c.type == ColumnType::Binary && c.isFixed() && c.size > 0) width = c.size;
        bool fixed = width > 0 || c.type == ColumnType::Boolean;
        std::uint8_t keep =
            c.flags & (column_flag::kAutoLong | column_flag::kAutoGuid | column_flag::kHyperlink);
        c.flags = static_cast<std::uint8_t>(keep | column_flag::kNullable |
                                            (fixed ? column_flag::kFixed : 0));
        if (fixed) {
            c.varIndex = variables;
            c.fixedOffset = fixedOffset;
            fixedOffset = static_cast<std::uint16_t>(fixedOffset + width);
            if (c.type == ColumnType::Boolean)
                c.size = 1;
            else
                c.size = width;
        } else {
            c.varIndex = variables++;
            c.fixedOffset = 0;
        }
        if (c.type == ColumnType::Text || c.type == ColumnType::Memo) {
            c.sortOrder = kGeneralSortOrder;
            c.miscFlags |= 0x01; // compressed Unicode, as Access makes text columns
        }
        if (c.type == ColumnType::Memo || c.type == ColumnType::Ole) c.size = 0;
    }
    schema.maxColumns = number;
    schema.variableColumns = variables;
}

} // namespace jet
