#include "core/DataType.h"

namespace core {

std::string_view dataTypeName(DataType type) {
    switch (type) {
    case DataType::Null:
        return "Null";
    case DataType::Boolean:
        return "Boolean";
    case DataType::Byte:
        return "Byte";
    case DataType::Integer:
        return "Integer";
    case DataType::Long:
        return "Long";
    case DataType::Currency:
        return "Currency";
    case DataType::Single:
        return "Single";
    case DataType::Double:
        return "Double";
    case DataType::DateTime:
        return "Date/Time";
    case DataType::Text:
        return "Text";
    case DataType::Binary:
        return "Binary";
    case DataType::Guid:
        return "GUID";
    case DataType::Decimal:
        return "Decimal";
    }
    return "Unknown";
}

} // namespace core
