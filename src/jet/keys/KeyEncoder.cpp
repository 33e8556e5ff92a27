// Dispatches each index column to the encoding of its type, widening the value to the
// column's type the way a stored value of that column would be.
#include "jet/keys/KeyEncoder.h"

#include "core/Error.h"
#include "jet/keys/BinaryKeys.h"
#include "jet/keys/KeyBytes.h"
#include "jet/keys/NumberKeys.h"
#include "jet/keys/Text97Key.h"
#include "jet/keys/TextKey.h"

#include <limits>
#include <string>

namespace jet {

namespace {

[[noreturn]] void mismatch(const core::Value& value, const char* columnType) {
    throw core::TypeMismatch("Data type mismatch: a " +
                             std::string(core::dataTypeName(value.type())) +
                             " value cannot be part of the key of a " + columnType + " column.");
}

// Integral values of any width (Yes is -1, as Jet stores it).
bool integralOf(const core::Value& value, std::int64_t& result) {
    const auto& s = value.storage();
    if (auto v = std::get_if<bool>(&s))
        result = *v ? -1 : 0;
    else if (auto v = std::get_if<std::uint8_t>(&s))
        result = *v;
    else if (auto v = std::get_if<std::int16_t>(&s))
        result = *v;
    else if (auto v = std::get_if<std::int32_t>(&s))
        result = *v;
    else
        return false;
    return true;
}

std::int64_t integerOf(const core::Value& value, std::int64_t min, std::int64_t max,
                       const char* columnType) {
    std::int64_t v = 0;
    if (!integralOf(value, v)) mismatch(value, columnType);
    if (v < min || v > max)
        throw core::TypeMismatch("Value " + std::to_string(v) + " does not fit a " + columnType +
                                 " column.");
    return v;
}

double doubleOf(const core::Value& value, const char* columnType) {
    const auto& s = value.storage();
    if (auto v = std::get_if<double>(&s)) return *v;
    if (auto v = std::get_if<float>(&s)) return *v;
    if (auto v = std::get_if<core::DateTime>(&s)) return v->days;
    std::int64_t i = 0;
    if (integralOf(value, i)) return double(i);
    mismatch(value, columnType);
}

std::int64_t currencyUnitsOf(const core::Value& value) {
    if (auto v = value.getIf<core::Currency>()) return v->units;
    return integerOf(value, std::numeric_limits<std::int32_t>::min(),
                     std::numeric_limits<std::int32_t>::max(), "Currency") *
           10000;
}

core::Decimal decimalOf(const core::Value& value) {
    if (auto v = value.getIf<core::Decimal>()) return *v;
    std::int64_t i = 0;
    if (!integralOf(value, i)) mismatch(value, "Numeric");
    core::Decimal d;
    d.negative = i < 0;
    const std::uint64_t magnitude = i < 0 ? 0 - std::uint64_t(i) : std::uint64_t(i);
    d.lo = std::uint32_t(magnitude);
    d.mid = std::uint32_t(magnitude >> 32);
    return d;
}

bool booleanOf(const core::Value& value) {
    if (value.isNull()) return false; // a Yes/No column has no nulls; Jet keys them as No
    if (auto v = value.getIf<bool>()) return *v;
    std::int64_t i = 0;
    if (integralOf(value, i)) return i != 0;
    mismatch(value, "Yes/No");
}

void appendPayload(core::Bytes& out, const KeyColumn& column, const core::Value& value) {
    using Type = KeyColumnType;
    const bool asc = column.ascending;
    switch (column.type) {
    case Type::Byte:
        appendByteKey(out, std::uint8_t(integerOf(value, 0, 255, "Byte")), asc);
        return;
    case Type::Integer:
        appendIntegerKey(out, integerOf(value, -32768, 32767, "Integer"), 2, asc);
        return;
    case Type::Long:
        appendIntegerKey(out,
                         integerOf(value, std::numeric_limits<std::int32_t>::min(),
                                   std::numeric_limits<std::int32_t>::max(), "Long Integer"),
                         4, asc);
        return;
    case Type::Currency:
        appendIntegerKey(out, currencyUnitsOf(value), 8, asc);
        return;
    case Type::Single:
        appendSingleKey(out, float(doubleOf(value, "Single")), asc);
        return;
    case Type::Double:
        appendDoubleKey(out, doubleOf(value, "Double"), asc);
        return;
    case Type::DateTime:
        appendDoubleKey(out, doubleOf(value, "Date/Time"), asc);
        return;
    case Type::Numeric:
        appendDecimalKey(out, decimalOf(value), column.scale, asc);
        return;
    case Type::Text:
    case Type::Memo:
        if (auto text = value.getIf<std::string>()) {
            if (column.textOrder == TextSortOrder::General97)
                return appendIndexText97Key(out, *text, asc);
            return appendIndexTextKey(out, *text, asc);
        }
        mismatch(value, "Text");
    case Type::Binary:
        if (auto bytes = value.getIf<core::Bytes>()) return appendBinaryKey(out, *bytes, asc);
        mismatch(value, "Binary");
    case Type::Guid:
        if (auto guid = value.getIf<core::Guid>()) return appendGuidKey(out, *guid, asc);
        mismatch(value, "Replication ID");
    case Type::Boolean:
    case Type::Ole:
        break;
    }
    throw core::Error("This column type cannot be part of an index.");
}

} // namespace

void appendColumnKey(core::Bytes& out, const KeyColumn& column, const core::Value& value) {
    if (column.type == KeyColumnType::Ole)
        throw core::Error("An OLE Object column cannot be part of an index.");
    if (column.type == KeyColumnType::Boolean) {
        out.push_back(key_bytes::valueFlag(column.ascending));
        appendBooleanKey(out, booleanOf(value), column.ascending);
        return;
    }
    if (value.isNull()) {
        out.push_back(key_bytes::nullFlag(column.ascending));
        return;
    }
    out.push_back(key_bytes::valueFlag(column.ascending));
    appendPayload(out, column, value);
}

core::Bytes encodeKey(std::span<const KeyColumn> columns, std::span<const core::Value> values) {
    if (columns.size() != values.size())
        throw core::Error("An index key needs one value per index column.");
    core::Bytes key;
    key.reserve(columns.size() * 10);
    for (std::size_t k = 0; k < columns.size(); ++k) appendColumnKey(key, columns[k], values[k]);
    return key;
}

} // namespace jet
