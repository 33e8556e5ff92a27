#include "sql/eval/Promotion.h"

#include "core/TypeConversion.h"
#include "sql/eval/EvalErrors.h"

#include <limits>

namespace sql {

std::optional<NumericRank> numericRank(core::DataType type) {
    switch (type) {
    case core::DataType::Byte:
        return NumericRank::Byte;
    case core::DataType::Boolean:
    case core::DataType::Integer:
        return NumericRank::Integer;
    case core::DataType::Long:
        return NumericRank::Long;
    case core::DataType::Single:
        return NumericRank::Single;
    case core::DataType::Double:
        return NumericRank::Double;
    case core::DataType::Currency:
        return NumericRank::Currency;
    case core::DataType::Decimal:
        return NumericRank::Decimal;
    default:
        return std::nullopt;
    }
}

namespace {

int precision(NumericRank r, PrecisionOrder order) {
    if (order == PrecisionOrder::Multiplication) {
        if (r == NumericRank::Currency) return 4;
        if (r == NumericRank::Double) return 5;
    }
    return int(r);
}

} // namespace

NumericRank resultRank(NumericRank a, NumericRank b, PrecisionOrder order) {
    if ((a == NumericRank::Single && b == NumericRank::Long) ||
        (a == NumericRank::Long && b == NumericRank::Single))
        return NumericRank::Double;
    return precision(a, order) >= precision(b, order) ? a : b;
}

core::Value integerResult(std::int64_t value, NumericRank atLeast) {
    if (atLeast == NumericRank::Byte && value >= 0 && value <= 255)
        return core::Value(std::uint8_t(value));
    if (atLeast <= NumericRank::Integer && value >= -32768 && value <= 32767)
        return core::Value(std::int16_t(value));
    if (value >= std::numeric_limits<std::int32_t>::min() &&
        value <= std::numeric_limits<std::int32_t>::max())
        return core::Value(std::int32_t(value));
    return core::Value(double(value));
}

core::Value numericOperand(const core::Value& v) {
    switch (v.type()) {
    case core::DataType::Text:
    case core::DataType::DateTime:
        return core::Value(core::toDouble(v));
    case core::DataType::Binary:
    case core::DataType::Guid:
        core::throwTypeMismatch();
    default:
        return v;
    }
}

} // namespace sql
