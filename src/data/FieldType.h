#pragma once
// The kind of a data set's field, as the grids and dialogs choose their editors by it: the
// field types the original's ADO components gave Jet's column types.
#include "sql/engine/ResultSet.h"

#include <string_view>

namespace data {

enum class FieldType {
    WideString, // Text
    WideMemo,   // Memo
    Boolean,    // Yes/No
    Word,       // Byte (0 to 255)
    Smallint,   // Integer
    Integer,    // Long
    AutoInc,    // Long numbered by the table (Counter)
    Float,      // Single, Double
    Currency,   // Currency
    BCD,        // Decimal (Numeric)
    DateTime,   // Date/Time
    Guid,       // Replication ID
    VarBytes,   // Binary
    Blob,       // OLE Object
    Variant,    // an expression whose values are of varying kinds
};

FieldType fieldTypeOf(const sql::ResultColumn& column);

// "WideString", "AutoInc", ...
std::string_view fieldTypeName(FieldType type);

// Bytes rather than text, numbers or dates: fields the filter and locate dialogs leave out.
bool isBinaryType(FieldType type);
// Whole numbers, fractions, money and dates: fields compared by value rather than as text.
bool comparesByValue(FieldType type);

} // namespace data
