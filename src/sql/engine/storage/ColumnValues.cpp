#include "sql/engine/storage/ColumnValues.h"

#include "core/Conversions.h"
#include "core/DecimalMath.h"
#include "core/TextUnits.h"
#include "core/TypeConversion.h"
#include "sql/eval/EvalErrors.h"

#include <algorithm>

namespace sql {

namespace {

core::Value toNumeric(const ColumnInfo& column, const core::Value& value) {
    // Rounded to the column's scale; the digits before the point must leave room for the
    // scale within the precision.
    const std::string digits =
        core::decimalToText(core::decimalRound(core::toDecimal(value), column.scale));
    const std::size_t point = std::min(digits.find('.'), digits.size());
    std::size_t integral = 0;
    bool leadingZeros = true;
    for (std::size_t i = 0; i < point; ++i) {
        if (digits[i] < '0' || digits[i] > '9') continue;
        if (digits[i] == '0' && leadingZeros) continue;
        leadingZeros = false;
        ++integral;
    }
    const int precision = column.precision ? column.precision : 18;
    if (static_cast<int>(integral) > precision - column.scale) core::throwOverflow();
    return core::Value(core::parseDecimal(digits, column.scale));
}

} // namespace

core::Value toColumnValue(const ColumnInfo& column, const core::Value& value) {
    if (value.isNull()) return value;
    switch (column.type) {
    case jet::ColumnType::Boolean:
        return core::Value(core::toBoolean(value));
    case jet::ColumnType::Byte:
        return core::Value(core::toByte(value));
    case jet::ColumnType::Integer:
        return core::Value(core::toInteger(value));
    case jet::ColumnType::Long:
        return core::Value(core::toLong(value));
    case jet::ColumnType::Currency:
        return core::Value(core::toCurrency(value));
    case jet::ColumnType::Single:
        return core::Value(core::toSingle(value));
    case jet::ColumnType::Double:
        return core::Value(core::toDouble(value));
    case jet::ColumnType::DateTime:
        return core::Value(core::toDate(value));
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo:
        if (value.type() == core::DataType::Binary || value.type() == core::DataType::Guid)
            core::throwTypeMismatch();
        return core::Value(core::toText(value));
    case jet::ColumnType::Binary:
    case jet::ColumnType::Ole:
        if (value.type() != core::DataType::Binary) core::throwTypeMismatch();
        return value;
    case jet::ColumnType::Guid:
        if (value.type() == core::DataType::Guid) return value;
        if (value.type() == core::DataType::Text) {
            try {
                return core::Value(core::parseGuid(value.get<std::string>()));
            } catch (const core::TypeMismatch&) {
                core::throwTypeMismatch();
            }
        }
        core::throwTypeMismatch();
    case jet::ColumnType::Numeric:
        return toNumeric(column, value);
    }
    core::throwTypeMismatch();
}

bool fitsColumn(const ColumnInfo& column, const core::Value& value) {
    if (column.size == 0) return true;
    if (column.type == jet::ColumnType::Text) {
        // A character takes at least as many UTF-8 bytes as UTF-16 units: a text no longer
        // in bytes than the column fits without counting.
        if (const auto* s = value.getIf<std::string>())
            return s->size() <= column.size || core::toUtf16(*s).size() <= column.size;
    } else if (column.type == jet::ColumnType::Binary) {
        if (const auto* b = value.getIf<core::Bytes>()) return b->size() <= column.size;
    }
    return true;
}

std::uint32_t fixedSize(jet::ColumnType type) {
    switch (type) {
    case jet::ColumnType::Boolean:
    case jet::ColumnType::Byte:
        return 1;
    case jet::ColumnType::Integer:
        return 2;
    case jet::ColumnType::Long:
    case jet::ColumnType::Single:
        return 4;
    case jet::ColumnType::Currency:
    case jet::ColumnType::Double:
    case jet::ColumnType::DateTime:
        return 8;
    case jet::ColumnType::Guid:
        return 16;
    case jet::ColumnType::Numeric:
        return 17;
    default:
        return 0;
    }
}

jet::ColumnType columnTypeFor(core::DataType type) {
    switch (type) {
    case core::DataType::Boolean:
        return jet::ColumnType::Boolean;
    case core::DataType::Byte:
        return jet::ColumnType::Byte;
    case core::DataType::Integer:
        return jet::ColumnType::Integer;
    case core::DataType::Long:
        return jet::ColumnType::Long;
    case core::DataType::Currency:
        return jet::ColumnType::Currency;
    case core::DataType::Single:
        return jet::ColumnType::Single;
    case core::DataType::Double:
        return jet::ColumnType::Double;
    case core::DataType::DateTime:
        return jet::ColumnType::DateTime;
    case core::DataType::Binary:
        return jet::ColumnType::Binary;
    case core::DataType::Guid:
        return jet::ColumnType::Guid;
    case core::DataType::Decimal:
        return jet::ColumnType::Numeric;
    default:
        return jet::ColumnType::Text;
    }
}

} // namespace sql
