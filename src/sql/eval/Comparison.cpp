#include "sql/eval/Comparison.h"

#include "core/Conversions.h"
#include "core/DateParts.h"
#include "core/DateText.h"
#include "core/DecimalMath.h"
#include "core/NumberText.h"
#include "core/TypeConversion.h"
#include "sql/eval/EvalErrors.h"
#include "sql/eval/TextCollation.h"

namespace sql {

namespace {

using core::DataType;

template <class T> int threeWay(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

bool isFloating(DataType t) {
    return t == DataType::Single || t == DataType::Double;
}

int compareNumbers(const core::Value& a, const core::Value& b) {
    const DataType ta = a.type(), tb = b.type();
    if (isFloating(ta) || isFloating(tb)) return threeWay(core::toDouble(a), core::toDouble(b));
    if (ta == DataType::Decimal || tb == DataType::Decimal)
        return core::decimalCompare(core::toDecimal(a), core::toDecimal(b));
    if (ta == DataType::Currency || tb == DataType::Currency)
        return threeWay(core::toCurrency(a).units, core::toCurrency(b).units);
    return threeWay(core::toLong(a), core::toLong(b));
}

// Text on one side of a comparison with a number becomes the number it reads as.
core::Value textAsNumber(const std::string& text) {
    const auto number = core::parseNumber(text);
    if (!number) core::throwTypeMismatch();
    return *number;
}

double asLinearDate(const core::Value& v) {
    if (const auto* text = v.getIf<std::string>()) {
        if (const auto parsed = core::parseDateText(*text)) return core::toLinear(*parsed);
        return core::toLinear(core::DateTime{core::toDouble(textAsNumber(*text))});
    }
    return core::toLinear(core::DateTime{core::toDouble(v)});
}

int compareBytes(const core::Bytes& a, const core::Bytes& b) {
    return threeWay(a, b);
}

core::Guid asGuid(const core::Value& v) {
    if (const auto* g = v.getIf<core::Guid>()) return *g;
    if (const auto* text = v.getIf<std::string>()) {
        try {
            return core::parseGuid(*text);
        } catch (const core::TypeMismatch&) {
        }
    }
    core::throwTypeMismatch();
}

} // namespace

std::optional<int> compareValues(const core::Value& a, const core::Value& b) {
    if (a.isNull() || b.isNull()) return std::nullopt;
    const DataType ta = a.type(), tb = b.type();
    if (ta == DataType::Text && tb == DataType::Text)
        return compareText(a.get<std::string>(), b.get<std::string>());
    if (ta == DataType::Binary || tb == DataType::Binary) {
        if (ta != tb) core::throwTypeMismatch();
        return compareBytes(a.get<core::Bytes>(), b.get<core::Bytes>());
    }
    if (ta == DataType::Guid || tb == DataType::Guid) return threeWay(asGuid(a), asGuid(b));
    if (ta == DataType::DateTime || tb == DataType::DateTime)
        return threeWay(asLinearDate(a), asLinearDate(b));
    if (ta == DataType::Text) return compareNumbers(textAsNumber(a.get<std::string>()), b);
    if (tb == DataType::Text) return compareNumbers(a, textAsNumber(b.get<std::string>()));
    return compareNumbers(a, b);
}

core::Value compareWith(BinaryOperator op, const core::Value& a, const core::Value& b) {
    const auto c = compareValues(a, b);
    if (!c) return {};
    switch (op) {
    case BinaryOperator::Equal:
        return *c == 0;
    case BinaryOperator::NotEqual:
        return *c != 0;
    case BinaryOperator::Less:
        return *c < 0;
    case BinaryOperator::LessEqual:
        return *c <= 0;
    case BinaryOperator::Greater:
        return *c > 0;
    case BinaryOperator::GreaterEqual:
        return *c >= 0;
    default:
        throw core::SqlError("Not a comparison operator: " + std::string(operatorText(op)));
    }
}

} // namespace sql
