#include "jet/schema/ColumnType.h"

namespace jet {

std::uint16_t fixedWidth(ColumnType type) {
    switch (type) {
    case ColumnType::Byte:
        return 1;
    case ColumnType::Integer:
        return 2;
    case ColumnType::Long:
    case ColumnType::Single:
        return 4;
    case ColumnType::Currency:
    case ColumnType::Double:
    case ColumnType::DateTime:
        return 8;
    case ColumnType::Guid:
        return 16;
    case ColumnType::Numeric:
        return 17;
    default:
        return 0;
    }
}

bool isLongValue(ColumnType type) {
    return type == ColumnType::Memo || type == ColumnType::Ole;
}

bool isKnownColumnType(std::uint8_t code) {
    return (code >= 0x01 && code <= 0x0C) || code == 0x0F || code == 0x10;
}

core::DataType valueTypeOf(ColumnType type) {
    switch (type) {
    case ColumnType::Boolean:
        return core::DataType::Boolean;
    case ColumnType::Byte:
        return core::DataType::Byte;
    case ColumnType::Integer:
        return core::DataType::Integer;
    case ColumnType::Long:
        return core::DataType::Long;
    case ColumnType::Currency:
        return core::DataType::Currency;
    case ColumnType::Single:
        return core::DataType::Single;
    case ColumnType::Double:
        return core::DataType::Double;
    case ColumnType::DateTime:
        return core::DataType::DateTime;
    case ColumnType::Text:
    case ColumnType::Memo:
        return core::DataType::Text;
    case ColumnType::Guid:
        return core::DataType::Guid;
    case ColumnType::Numeric:
        return core::DataType::Decimal;
    case ColumnType::Binary:
    case ColumnType::Ole:
        return core::DataType::Binary;
    }
    return core::DataType::Binary;
}

std::string_view columnTypeName(ColumnType type) {
    switch (type) {
    case ColumnType::Boolean:
        return "boolean";
    case ColumnType::Byte:
        return "byte";
    case ColumnType::Integer:
        return "integer";
    case ColumnType::Long:
        return "long";
    case ColumnType::Currency:
        return "currency";
    case ColumnType::Single:
        return "float";
    case ColumnType::Double:
        return "double";
    case ColumnType::DateTime:
        return "datetime";
    case ColumnType::Binary:
        return "binary";
    case ColumnType::Text:
        return "text";
    case ColumnType::Ole:
        return "ole";
    case ColumnType::Memo:
        return "memo";
    case ColumnType::Guid:
        return "repid";
    case ColumnType::Numeric:
        return "numeric";
    }
    return "binary";
}

} // namespace jet
