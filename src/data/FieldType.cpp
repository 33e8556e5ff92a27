#include "data/FieldType.h"

namespace data {

FieldType fieldTypeOf(const sql::ResultColumn& column) {
    if (column.type == core::DataType::Null) return FieldType::Variant;
    using jet::ColumnType;
    switch (column.columnType) {
    case ColumnType::Boolean:
        return FieldType::Boolean;
    case ColumnType::Byte:
        return FieldType::Word;
    case ColumnType::Integer:
        return FieldType::Smallint;
    case ColumnType::Long:
        return column.autoNumber ? FieldType::AutoInc : FieldType::Integer;
    case ColumnType::Currency:
        return FieldType::Currency;
    case ColumnType::Single:
    case ColumnType::Double:
        return FieldType::Float;
    case ColumnType::DateTime:
        return FieldType::DateTime;
    case ColumnType::Binary:
        return FieldType::VarBytes;
    case ColumnType::Text:
        return FieldType::WideString;
    case ColumnType::Ole:
        return FieldType::Blob;
    case ColumnType::Memo:
        return FieldType::WideMemo;
    case ColumnType::Guid:
        return FieldType::Guid;
    case ColumnType::Numeric:
        return FieldType::BCD;
    }
    return FieldType::Variant;
}

std::string_view fieldTypeName(FieldType type) {
    switch (type) {
    case FieldType::WideString:
        return "WideString";
    case FieldType::WideMemo:
        return "WideMemo";
    case FieldType::Boolean:
        return "Boolean";
    case FieldType::Word:
        return "Word";
    case FieldType::Smallint:
        return "Smallint";
    case FieldType::Integer:
        return "Integer";
    case FieldType::AutoInc:
        return "AutoInc";
    case FieldType::Float:
        return "Float";
    case FieldType::Currency:
        return "Currency";
    case FieldType::BCD:
        return "BCD";
    case FieldType::DateTime:
        return "DateTime";
    case FieldType::Guid:
        return "Guid";
    case FieldType::VarBytes:
        return "VarBytes";
    case FieldType::Blob:
        return "Blob";
    case FieldType::Variant:
        return "Variant";
    }
    return "Variant";
}

bool isBinaryType(FieldType type) {
    return type == FieldType::VarBytes || type == FieldType::Blob;
}

bool comparesByValue(FieldType type) {
    switch (type) {
    case FieldType::Word:
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
    case FieldType::DateTime:
        return true;
    default:
        return false;
    }
}

} // namespace data
