#include "sql/eval/Aggregates.h"

#include "core/DecimalMath.h"
#include "core/TextUnits.h"
#include "core/TypeConversion.h"
#include "sql/eval/Arithmetic.h"
#include "sql/eval/Comparison.h"
#include "sql/eval/Promotion.h"

#include <array>
#include <cmath>

namespace sql {

namespace {

struct Named {
    std::string_view name;
    AggregateKind kind;
};

constexpr std::array<Named, 11> names = {{
    {"count", AggregateKind::Count},
    {"sum", AggregateKind::Sum},
    {"avg", AggregateKind::Avg},
    {"min", AggregateKind::Min},
    {"max", AggregateKind::Max},
    {"first", AggregateKind::First},
    {"last", AggregateKind::Last},
    {"stdev", AggregateKind::StDev},
    {"stdevp", AggregateKind::StDevP},
    {"var", AggregateKind::Var},
    {"varp", AggregateKind::VarP},
}};

// Dates and text take part in sums as Double; starting from a Long makes every integer total
// a Long, and addition's own promotion widens it to Double, Currency or Decimal as needed.
core::Value addToTotal(const core::Value& total, const core::Value& v) {
    const core::Value operand = numericOperand(v);
    return add(total.isNull() ? core::Value(std::int32_t(0)) : total, operand);
}

// Currency divided by a count, rounded half to even.
core::Currency divideCurrency(core::Currency total, std::int64_t count) {
    std::int64_t q = total.units / count, r = total.units % count;
    const std::int64_t twice = 2 * (r < 0 ? -r : r);
    if (twice > count || (twice == count && q % 2 != 0)) q += total.units < 0 ? -1 : 1;
    return core::Currency{q};
}

} // namespace

std::optional<AggregateKind> aggregateKind(std::string_view name) {
    const std::string key = core::lowerCase(name);
    for (const Named& n : names)
        if (n.name == key) return n.kind;
    return std::nullopt;
}

void Aggregate::add(const core::Value& v) {
    if (kind_ == AggregateKind::CountRows) {
        ++count_;
        return;
    }
    if (kind_ == AggregateKind::First) {
        if (!seen_) value_ = v;
        seen_ = true;
        return;
    }
    if (kind_ == AggregateKind::Last) {
        value_ = v;
        return;
    }
    if (v.isNull()) return;
    ++count_;
    switch (kind_) {
    case AggregateKind::Sum:
    case AggregateKind::Avg:
        value_ = addToTotal(value_, v);
        break;
    case AggregateKind::Min:
        if (value_.isNull() || *compareValues(v, value_) < 0) value_ = v;
        break;
    case AggregateKind::Max:
        if (value_.isNull() || *compareValues(v, value_) > 0) value_ = v;
        break;
    case AggregateKind::StDev:
    case AggregateKind::StDevP:
    case AggregateKind::Var:
    case AggregateKind::VarP: {
        const double x = core::toDouble(numericOperand(v));
        const double delta = x - mean_;
        mean_ += delta / double(count_);
        squares_ += delta * (x - mean_);
        break;
    }
    default:
        break;
    }
}

core::Value Aggregate::result() const {
    switch (kind_) {
    case AggregateKind::Count:
    case AggregateKind::CountRows:
        return std::int32_t(count_);
    case AggregateKind::Sum:
    case AggregateKind::Min:
    case AggregateKind::Max:
    case AggregateKind::First:
    case AggregateKind::Last:
        return value_;
    case AggregateKind::Avg:
        if (count_ == 0) return {};
        if (const auto* c = value_.getIf<core::Currency>()) return divideCurrency(*c, count_);
        if (const auto* d = value_.getIf<core::Decimal>())
            return core::decimalDivide(*d, core::decimalFromInteger(count_));
        return core::toDouble(value_) / double(count_);
    case AggregateKind::Var:
    case AggregateKind::StDev: {
        if (count_ < 2) return {};
        const double variance = squares_ / double(count_ - 1);
        return kind_ == AggregateKind::Var ? variance : std::sqrt(variance);
    }
    case AggregateKind::VarP:
    case AggregateKind::StDevP: {
        if (count_ < 1) return {};
        const double variance = squares_ / double(count_);
        return kind_ == AggregateKind::VarP ? variance : std::sqrt(variance);
    }
    }
    return {};
}

} // namespace sql
