#include "sql/eval/Comparison.h"

#include "core/Conversions.h"
#include "sql/eval/Conversion.h"
#include "sql/eval/DateParts.h"
#include "sql/eval/DateText.h"
#include "sql/eval/DecimalMath.h"
#include "sql/eval/EvalErrors.h"
#include "sql/eval/NumberText.h"
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
    if (isFloating(ta) || isFloating(tb)) return threeWay(toDouble(a), toDouble(b));
    if (ta == DataType::Decimal || tb == DataType::Decimal)
        return decimalCompare(toDecimal(a), toDecimal(b));
    if (ta == DataType::Currency || tb == DataType::Currency)
        return threeWay(toCurrency(a).units, toCurrency(b).units);
    return threeWay(toLong(a), toLong(b));
}

// Text on one side of a comparison with a number becomes the number it reads as.
core::Value textAsNumber(const std::string& text) {
    const auto number = parseNumber(text);
    if (!number) throwTypeMismatch();
    return *number;
}

double asLinearDate(const core::Value& v) {
    if (const auto* text = v.getIf<std::string>()) {
        if (const auto parsed = parseDateText(*text)) return toLinear(*parsed);
        return toLinear(core::DateTime{toDouble(textAsNumber(*text))});
    }
    return toLinear(core::DateTime{toDouble(v)});
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
    throwTypeMismatch();
}

} // namespace

std::optional<int> compareValues(const core::Value& a, const core::Value& b) {
    if (a.isNull() || b.isNull()) return std::nullopt;
    const DataType ta = a.type(), tb = b.type();
    if (ta == DataType::Text && tb == DataType::Text)
        return compareText(a.get<std::string>(), b.get<std::string>());
    if (ta == DataType::Binary || tb == DataType::Binary) {
        if (ta != tb) throwTypeMismatch();
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
