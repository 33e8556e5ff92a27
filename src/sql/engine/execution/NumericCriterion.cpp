#include "sql/engine/execution/NumericCriterion.h"

#include "sql/engine/planning/BoundNodes.h"

namespace sql {

namespace {

using core::DataType;

// The kinds compared as plain numbers: every whole kind converts to a double exactly.
bool isWhole(DataType t) {
    return t == DataType::Byte || t == DataType::Integer || t == DataType::Long;
}

bool isFloating(DataType t) {
    return t == DataType::Single || t == DataType::Double;
}

std::int64_t wholeOf(const core::Value& v) {
    switch (v.type()) {
    case DataType::Byte:
        return v.get<std::uint8_t>();
    case DataType::Integer:
        return v.get<std::int16_t>();
    default:
        return v.get<std::int32_t>();
    }
}

double realOf(const core::Value& v) {
    if (const auto* d = v.getIf<double>()) return *d;
    if (const auto* f = v.getIf<float>()) return *f;
    return static_cast<double>(wholeOf(v));
}

// As the general comparison orders numbers: by double when either side is floating (where
// NaN is neither below nor above anything), else as whole numbers.
template <class T> int threeWay(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

const ColumnExpr* currentColumn(const BoundExpr& e) {
    const auto* column = dynamic_cast<const ColumnExpr*>(&e);
    return column && column->depth() == 0 ? column : nullptr;
}

} // namespace

std::optional<NumericCriterion::Bound> NumericCriterion::boundOf(const BoundExpr& e,
                                                                 bool inclusive) {
    const auto* constant = dynamic_cast<const ConstantExpr*>(&e);
    if (!constant) return std::nullopt;
    const core::Value& v = constant->value();
    if (!isWhole(v.type()) && !isFloating(v.type())) return std::nullopt;
    Bound b;
    b.floating = isFloating(v.type());
    b.real = realOf(v);
    b.whole = b.floating ? 0 : wholeOf(v);
    b.inclusive = inclusive;
    return b;
}

std::optional<NumericCriterion> NumericCriterion::of(const BoundExpr& criterion) {
    NumericCriterion out;
    if (const auto* between = dynamic_cast<const BetweenExpr*>(&criterion)) {
        const ColumnExpr* column = currentColumn(between->value());
        if (!column) return std::nullopt;
        out.slot_ = static_cast<std::size_t>(column->slot());
        out.low_ = boundOf(between->low(), true);
        out.high_ = boundOf(between->high(), true);
        if (!out.low_ || !out.high_) return std::nullopt;
        out.negated_ = between->negated();
        return out;
    }
    const auto* binary = dynamic_cast<const BinaryExpr*>(&criterion);
    if (!binary) return std::nullopt;
    BinaryOperator op = binary->op();
    const BoundExpr* number = &binary->right();
    const ColumnExpr* column = currentColumn(binary->left());
    if (!column) {
        column = currentColumn(binary->right());
        number = &binary->left();
        op = flipped(op);
    }
    if (!column) return std::nullopt;
    out.slot_ = static_cast<std::size_t>(column->slot());
    switch (op) {
    case BinaryOperator::Equal:
    case BinaryOperator::NotEqual:
        out.low_ = boundOf(*number, true);
        out.high_ = out.low_;
        out.negated_ = op == BinaryOperator::NotEqual;
        break;
    case BinaryOperator::Less:
    case BinaryOperator::LessEqual:
        out.high_ = boundOf(*number, op == BinaryOperator::LessEqual);
        break;
    case BinaryOperator::Greater:
    case BinaryOperator::GreaterEqual:
        out.low_ = boundOf(*number, op == BinaryOperator::GreaterEqual);
        break;
    default:
        return std::nullopt;
    }
    if (!out.low_ && !out.high_) return std::nullopt;
    return out;
}

std::optional<bool> NumericCriterion::passes(const core::Value& value) const {
    const DataType type = value.type();
    if (type == DataType::Null) return false;
    const bool floating = isFloating(type);
    if (!floating && !isWhole(type)) return std::nullopt;
    // The value against one bound: negative when below it.
    auto compare = [&](const Bound& b) {
        if (floating || b.floating) return threeWay(realOf(value), b.real);
        return threeWay(wholeOf(value), b.whole);
    };
    bool inside = true;
    if (low_) {
        const int c = compare(*low_);
        inside = low_->inclusive ? c >= 0 : c > 0;
    }
    if (inside && high_) {
        const int c = compare(*high_);
        inside = high_->inclusive ? c <= 0 : c < 0;
    }
    return inside != negated_;
}

} // namespace sql
