// Abs, Int, Fix, Round, Sgn, Sqr, Exp, Log, the trigonometric functions, Rnd, Hex and Oct.
// Abs, Int, Fix and Round keep their argument's type, so Currency and Decimal stay exact.
#include "core/DecimalMath.h"
#include "core/TypeConversion.h"
#include "sql/eval/Arithmetic.h"
#include "sql/eval/Comparison.h"
#include "sql/eval/FunctionFamilies.h"
#include "sql/eval/Promotion.h"
#include "sql/eval/RandomSequence.h"

#include <array>
#include <cmath>

namespace sql {

namespace {

using Args = std::span<const core::Value>;

core::Value checkedDouble(double d) {
    if (!std::isfinite(d)) core::throwOverflow();
    return d;
}

core::Value absOf(Args a, const EvalContext&) {
    const core::Value& v = a[0];
    if (v.isNull()) return {};
    if (v.type() == core::DataType::Boolean) return std::int16_t(v.get<bool>() ? 1 : 0);
    if (v.type() == core::DataType::DateTime || v.type() == core::DataType::Text)
        return std::fabs(core::toDouble(v));
    const auto sign = compareValues(v, core::Value(std::int32_t(0)));
    return sign && *sign < 0 ? negate(v) : v;
}

enum class Whole { Int, Fix };

core::Value wholePart(const core::Value& v, Whole mode) {
    const auto cut = [mode](double d) {
        return mode == Whole::Int ? std::floor(d) : std::trunc(d);
    };
    switch (v.type()) {
    case core::DataType::Null:
        return {};
    case core::DataType::Boolean:
        return integerResult(core::toLong(v), NumericRank::Integer);
    case core::DataType::Byte:
    case core::DataType::Integer:
    case core::DataType::Long:
        return v;
    case core::DataType::Single:
        return float(cut(double(v.get<float>())));
    case core::DataType::Currency: {
        const std::int64_t units = v.get<core::Currency>().units;
        std::int64_t whole = units / 10000;
        if (mode == Whole::Int && units % 10000 < 0) --whole;
        return core::Currency{whole * 10000};
    }
    case core::DataType::Decimal:
        return mode == Whole::Int ? core::decimalFloor(v.get<core::Decimal>())
                                  : core::decimalTruncate(v.get<core::Decimal>());
    case core::DataType::DateTime: {
        const double d = v.get<core::DateTime>().days;
        return core::DateTime{d < 0 ? std::ceil(d) : std::floor(d)}; // the date without its time
    }
    default:
        return cut(core::toDouble(v));
    }
}

core::Value intOf(Args a, const EvalContext&) {
    return wholePart(a[0], Whole::Int);
}

core::Value fixOf(Args a, const EvalContext&) {
    return wholePart(a[0], Whole::Fix);
}

// Round on a double scales by a power of ten in binary first and rounds that product half to
// even: 2.675 * 100 comes out as exactly 267.5, so Round(2.675, 2) is 2.68, while
// 0.285 * 100 stays below 28.5 and Round(0.285, 2) is 0.28.
double roundDouble(double value, int places) {
    if (places > 15) return value;
    const double scale = std::pow(10.0, places);
    const double scaled = value * scale;
    if (!std::isfinite(scaled)) return value;
    return core::roundHalfEven(scaled) / scale;
}

core::Value round(Args a, const EvalContext&) {
    const std::int64_t places = a.size() > 1 ? core::toLong(a[1]) : 0;
    if (places < 0) throwInvalidArgument();
    const core::Value& v = a[0];
    switch (v.type()) {
    case core::DataType::Null:
        return {};
    case core::DataType::Boolean:
        return integerResult(core::toLong(v), NumericRank::Integer);
    case core::DataType::Byte:
    case core::DataType::Integer:
    case core::DataType::Long:
        return v;
    case core::DataType::Currency:
        return places >= 4
                   ? v
                   : core::Value(core::decimalToCurrency(core::decimalRound(
                         core::decimalFromCurrency(v.get<core::Currency>()), unsigned(places))));
    case core::DataType::Decimal:
        return core::decimalRound(v.get<core::Decimal>(),
                                  unsigned(std::min<std::int64_t>(places, 28)));
    case core::DataType::Single:
        return float(roundDouble(double(v.get<float>()), int(std::min<std::int64_t>(places, 16))));
    default:
        return roundDouble(core::toDouble(v), int(std::min<std::int64_t>(places, 16)));
    }
}

core::Value sgn(Args a, const EvalContext&) {
    if (a[0].isNull()) return {};
    const auto c = compareValues(numericOperand(a[0]), core::Value(std::int32_t(0)));
    return std::int16_t(*c < 0 ? -1 : *c > 0 ? 1 : 0);
}

template <double (*F)(double)> core::Value unary(Args a, const EvalContext&) {
    if (a[0].isNull()) return {};
    return checkedDouble(F(core::toDouble(numericOperand(a[0]))));
}

double squareRoot(double x) {
    if (x < 0) throwInvalidArgument();
    return std::sqrt(x);
}
double exponential(double x) {
    return std::exp(x);
}
double logarithm(double x) {
    if (x <= 0) throwInvalidArgument();
    return std::log(x);
}
double sine(double x) {
    return std::sin(x);
}
double cosine(double x) {
    return std::cos(x);
}
double tangent(double x) {
    return std::tan(x);
}
double arcTangent(double x) {
    return std::atan(x);
}

// Rnd: no argument or a positive one gives the next number, 0 the last one, a negative one
// reseeds; a Single, like VBA's.
core::Value rnd(Args a, const EvalContext& context) {
    if (!context.random) throwInvalidArgument();
    RandomSequence& random = *context.random;
    const float n = a.empty() ? 1.0f : core::toSingle(a[0]);
    if (n < 0) random.reseed(n);
    return float(n == 0 ? random.last() : random.next());
}

// Hex and Oct work on whole numbers: Byte, Integer and Boolean as 16 bits, everything else
// rounded to a Long, negatives in two's complement.
std::string radixText(const core::Value& v, unsigned radix) {
    const bool narrow = v.type() == core::DataType::Byte || v.type() == core::DataType::Integer ||
                        v.type() == core::DataType::Boolean;
    const std::int32_t n = core::toLong(v);
    std::uint32_t bits = narrow ? std::uint32_t(std::uint16_t(n)) : std::uint32_t(n);
    if (bits == 0) return "0";
    std::string out;
    for (; bits != 0; bits /= radix) out.insert(out.begin(), "0123456789ABCDEF"[bits % radix]);
    return out;
}

core::Value hex(Args a, const EvalContext&) {
    if (a[0].isNull()) return {};
    return radixText(a[0], 16);
}

core::Value oct(Args a, const EvalContext&) {
    if (a[0].isNull()) return {};
    return radixText(a[0], 8);
}

constexpr std::array<FunctionInfo, 17> functions = {{
    {"Abs", 1, 1, absOf},
    {"Int", 1, 1, intOf},
    {"Fix", 1, 1, fixOf},
    {"Round", 1, 2, round},
    {"Sgn", 1, 1, sgn},
    {"Sqr", 1, 1, unary<squareRoot>},
    {"Exp", 1, 1, unary<exponential>},
    {"Log", 1, 1, unary<logarithm>},
    {"Sin", 1, 1, unary<sine>},
    {"Cos", 1, 1, unary<cosine>},
    {"Tan", 1, 1, unary<tangent>},
    {"Atn", 1, 1, unary<arcTangent>},
    {"Rnd", 0, 1, rnd, true},
    {"Hex", 1, 1, hex},
    {"Hex$", 1, 1, textForm<hex>},
    {"Oct", 1, 1, oct},
    {"Oct$", 1, 1, textForm<oct>},
}};

} // namespace

std::span<const FunctionInfo> mathFunctions() {
    return functions;
}

} // namespace sql
