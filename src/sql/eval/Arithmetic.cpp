#include "sql/eval/Arithmetic.h"

#include "core/DateParts.h"
#include "core/DecimalMath.h"
#include "core/TypeConversion.h"
#include "sql/eval/EvalErrors.h"
#include "sql/eval/Promotion.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace sql {

namespace {

__extension__ typedef __int128 Int128;

enum class Op { Add, Subtract, Multiply };

bool isDate(const core::Value& v) {
    return v.type() == core::DataType::DateTime;
}

core::Value checkedDouble(double d) {
    if (!std::isfinite(d)) core::throwOverflow();
    return core::Value(d);
}

core::Currency currencyResult(Int128 units) {
    if (units > std::numeric_limits<std::int64_t>::max() ||
        units < std::numeric_limits<std::int64_t>::min())
        core::throwOverflow();
    return core::Currency{std::int64_t(units)};
}

// Product of two ten-thousandths counts back in ten-thousandths, rounded half to even.
core::Currency multiplyCurrency(core::Currency a, core::Currency b) {
    const Int128 product = Int128(a.units) * b.units;
    Int128 q = product / 10000, r = product % 10000;
    if (r > 5000 || (r == 5000 && q % 2 != 0)) ++q;
    if (r < -5000 || (r == -5000 && q % 2 != 0)) --q;
    return currencyResult(q);
}

core::Value computeNumbers(Op op, const core::Value& x, const core::Value& y) {
    const PrecisionOrder order =
        op == Op::Multiply ? PrecisionOrder::Multiplication : PrecisionOrder::Addition;
    const NumericRank rank = resultRank(*numericRank(x.type()), *numericRank(y.type()), order);
    switch (rank) {
    case NumericRank::Byte:
    case NumericRank::Integer:
    case NumericRank::Long: {
        const std::int64_t a = core::toLong(x), b = core::toLong(y);
        const std::int64_t r = op == Op::Add ? a + b : op == Op::Subtract ? a - b : a * b;
        return integerResult(r, rank);
    }
    case NumericRank::Single: {
        const double a = core::toDouble(x), b = core::toDouble(y);
        const double r = op == Op::Add ? a + b : op == Op::Subtract ? a - b : a * b;
        if (std::fabs(r) <= double(FLT_MAX)) return core::Value(float(r));
        return checkedDouble(r);
    }
    case NumericRank::Double: {
        const double a = core::toDouble(x), b = core::toDouble(y);
        return checkedDouble(op == Op::Add ? a + b : op == Op::Subtract ? a - b : a * b);
    }
    case NumericRank::Currency: {
        const core::Currency a = core::toCurrency(x), b = core::toCurrency(y);
        if (op == Op::Multiply) return multiplyCurrency(a, b);
        return currencyResult(op == Op::Add ? Int128(a.units) + b.units
                                            : Int128(a.units) - b.units);
    }
    case NumericRank::Decimal: {
        const core::Decimal a = core::toDecimal(x), b = core::toDecimal(y);
        return op == Op::Add        ? core::decimalAdd(a, b)
               : op == Op::Subtract ? core::decimalSubtract(a, b)
                                    : core::decimalMultiply(a, b);
    }
    }
    core::throwTypeMismatch();
}

core::Value asDate(const core::Value& number) {
    const core::DateTime dt{core::toDouble(number)};
    if (!core::inDateRange(dt)) core::throwOverflow();
    return dt;
}

core::Value addOrSubtract(Op op, const core::Value& a, const core::Value& b) {
    if (a.isNull() || b.isNull()) return {};
    const bool dateResult =
        (isDate(a) || isDate(b)) && !(op == Op::Subtract && isDate(a) && isDate(b));
    const core::Value sum = computeNumbers(op, numericOperand(a), numericOperand(b));
    return dateResult ? asDate(sum) : sum;
}

// The whole-number operands of "\" and Mod with the rank of their result.
struct IntegerOperands {
    std::int64_t a, b;
    NumericRank rank;
};

IntegerOperands integerOperands(const core::Value& x, const core::Value& y) {
    const auto rankOf = [](const core::Value& v) {
        const auto r = numericRank(v.type());
        return r && *r <= NumericRank::Long ? *r : NumericRank::Long;
    };
    if (x.type() == core::DataType::Binary || x.type() == core::DataType::Guid ||
        y.type() == core::DataType::Binary || y.type() == core::DataType::Guid)
        core::throwTypeMismatch();
    const std::int64_t a = core::toLong(x), b = core::toLong(y);
    if (b == 0) throwDivisionByZero();
    return {a, b, std::max(rankOf(x), rankOf(y))};
}

} // namespace

core::Value add(const core::Value& a, const core::Value& b) {
    if (a.isNull() || b.isNull()) return {};
    if (a.type() == core::DataType::Text && b.type() == core::DataType::Text)
        return a.get<std::string>() + b.get<std::string>();
    return addOrSubtract(Op::Add, a, b);
}

core::Value subtract(const core::Value& a, const core::Value& b) {
    return addOrSubtract(Op::Subtract, a, b);
}

core::Value multiply(const core::Value& a, const core::Value& b) {
    if (a.isNull() || b.isNull()) return {};
    return computeNumbers(Op::Multiply, numericOperand(a), numericOperand(b));
}

core::Value divide(const core::Value& a, const core::Value& b) {
    if (a.isNull() || b.isNull()) return {};
    const core::Value x = numericOperand(a), y = numericOperand(b);
    if (x.type() == core::DataType::Decimal || y.type() == core::DataType::Decimal) {
        const core::Decimal divisor = core::toDecimal(y);
        if (core::decimalIsZero(divisor)) throwDivisionByZero();
        return core::decimalDivide(core::toDecimal(x), divisor);
    }
    const double divisor = core::toDouble(y);
    if (divisor == 0) throwDivisionByZero();
    return checkedDouble(core::toDouble(x) / divisor);
}

core::Value integerDivide(const core::Value& a, const core::Value& b) {
    if (a.isNull() || b.isNull()) return {};
    const IntegerOperands o = integerOperands(a, b);
    return integerResult(o.a / o.b, o.rank);
}

core::Value modulo(const core::Value& a, const core::Value& b) {
    if (a.isNull() || b.isNull()) return {};
    const IntegerOperands o = integerOperands(a, b);
    // The remainder takes the sign of the dividend, as C++'s does.
    return integerResult(o.a % o.b, o.rank);
}

core::Value power(const core::Value& a, const core::Value& b) {
    if (a.isNull() || b.isNull()) return {};
    const double base = core::toDouble(numericOperand(a));
    const double exponent = core::toDouble(numericOperand(b));
    if (base < 0 && exponent != std::trunc(exponent)) throwInvalidArgument();
    if (base == 0 && exponent < 0) throwDivisionByZero();
    return checkedDouble(std::pow(base, exponent));
}

core::Value concatenate(const core::Value& a, const core::Value& b) {
    if (a.isNull() && b.isNull()) return {};
    return (a.isNull() ? std::string() : core::toText(a)) +
           (b.isNull() ? std::string() : core::toText(b));
}

core::Value negate(const core::Value& a) {
    switch (a.type()) {
    case core::DataType::Null:
        return {};
    case core::DataType::Boolean:
    case core::DataType::Byte:
    case core::DataType::Integer:
    case core::DataType::Long:
        return integerResult(-std::int64_t(core::toLong(a)), NumericRank::Integer);
    case core::DataType::Single:
        return -a.get<float>();
    case core::DataType::Currency:
        return currencyResult(-Int128(a.get<core::Currency>().units));
    case core::DataType::Decimal:
        return core::decimalNegate(a.get<core::Decimal>());
    case core::DataType::DateTime:
        return asDate(-a.get<core::DateTime>().days);
    default:
        return checkedDouble(-core::toDouble(numericOperand(a)));
    }
}

} // namespace sql
