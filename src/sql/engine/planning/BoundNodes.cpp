#include "sql/engine/planning/BoundNodes.h"

#include "core/Conversions.h"
#include "sql/eval/Comparison.h"
#include "sql/eval/Logic.h"

#include <string>

namespace sql {

namespace {

std::string constantText(const core::Value& v) {
    std::string out = std::to_string(static_cast<int>(v.type())) + ":";
    std::visit(
        [&out](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
            } else if constexpr (std::is_same_v<T, bool>) {
                out += x ? "1" : "0";
            } else if constexpr (std::is_same_v<T, std::uint8_t> ||
                                 std::is_same_v<T, std::int16_t> ||
                                 std::is_same_v<T, std::int32_t>) {
                out += std::to_string(x);
            } else if constexpr (std::is_same_v<T, core::Currency>) {
                out += std::to_string(x.units);
            } else if constexpr (std::is_same_v<T, float>) {
                out += core::formatSingle(x);
            } else if constexpr (std::is_same_v<T, double>) {
                out += core::formatDouble(x);
            } else if constexpr (std::is_same_v<T, core::DateTime>) {
                out += core::formatDouble(x.days);
            } else if constexpr (std::is_same_v<T, std::string>) {
                out += std::to_string(x.size()) + ":" + x;
            } else if constexpr (std::is_same_v<T, core::Bytes>) {
                out += core::formatHex(x);
            } else if constexpr (std::is_same_v<T, core::Guid>) {
                out += core::formatGuid(x);
            } else if constexpr (std::is_same_v<T, core::Decimal>) {
                out += core::formatDecimal(x);
            }
        },
        v.storage());
    return out;
}

void columnsOf(const BoundList& list, int depth, std::vector<int>& slots) {
    for (const auto& e : list) e->columnsUsed(depth, slots);
}

std::string listText(const BoundList& list) {
    std::string out;
    for (const auto& e : list) out += e->fingerprint() + ",";
    return out;
}

// Copies of every expression of the list, or nothing when one cannot be copied.
std::optional<BoundList> cloneAll(const BoundList& list) {
    BoundList out;
    for (const auto& e : list) {
        auto c = e->clone();
        if (!c) return std::nullopt;
        out.push_back(std::move(c));
    }
    return out;
}

bool anyVolatile(const BoundList& list) {
    for (const auto& e : list)
        if (e->isVolatile()) return true;
    return false;
}

} // namespace

ConstantExpr::ConstantExpr(core::Value value) : BoundExpr(value.type()), value_(std::move(value)) {}

std::string ConstantExpr::fingerprint() const {
    return "k(" + constantText(value_) + ")";
}

std::string ColumnExpr::fingerprint() const {
    return "c(" + std::to_string(depth_) + "," + std::to_string(slot_) + ")";
}

std::string ParameterExpr::fingerprint() const {
    // Two uses of one name share the slot; each "?" is a value of its own.
    return "p(" + std::to_string(reinterpret_cast<std::uintptr_t>(slot_.get())) + ")";
}

core::Value UnaryExpr::eval(const Runtime& rt, const Frame& frame) const {
    return unaryOp(op_, operand_->eval(rt, frame));
}

std::string UnaryExpr::fingerprint() const {
    return "u" + std::to_string(static_cast<int>(op_)) + "(" + operand_->fingerprint() + ")";
}

core::Value BinaryExpr::eval(const Runtime& rt, const Frame& frame) const {
    core::Value left = left_->eval(rt, frame);
    // False And x and True Or x are settled by their left side whatever x is, Null included;
    // not evaluating x spares work and errors, as Jet's criteria do.
    if (op_ == BinaryOperator::And || op_ == BinaryOperator::Or) {
        if (auto truth = isTruthy(left)) {
            if (op_ == BinaryOperator::And && !*truth) return core::Value(false);
            if (op_ == BinaryOperator::Or && *truth) return core::Value(true);
        }
    }
    return binaryOp(op_, left, right_->eval(rt, frame));
}

std::string BinaryExpr::fingerprint() const {
    return "b" + std::to_string(static_cast<int>(op_)) + "(" + left_->fingerprint() + "," +
           right_->fingerprint() + ")";
}

void BinaryExpr::columnsUsed(int depth, std::vector<int>& slots) const {
    left_->columnsUsed(depth, slots);
    right_->columnsUsed(depth, slots);
}

LikeExpr::LikeExpr(BoundPtr value, BoundPtr pattern, bool negated, LikeMode mode)
    : BoundExpr(core::DataType::Boolean), value_(std::move(value)), pattern_(std::move(pattern)),
      negated_(negated), mode_(mode) {
    if (const auto* c = dynamic_cast<const ConstantExpr*>(pattern_.get());
        c && c->value().type() == core::DataType::Text)
        compiled_.emplace(c->value().get<std::string>(), mode_);
}

core::Value LikeExpr::eval(const Runtime& rt, const Frame& frame) const {
    core::Value text = value_->eval(rt, frame);
    core::Value result =
        compiled_ ? like(text, *compiled_) : like(text, pattern_->eval(rt, frame), mode_);
    return negated_ ? logicalNot(result) : result;
}

std::string LikeExpr::fingerprint() const {
    return std::string(negated_ ? "nl(" : "l(") + value_->fingerprint() + "," +
           pattern_->fingerprint() + ")";
}

void LikeExpr::columnsUsed(int depth, std::vector<int>& slots) const {
    value_->columnsUsed(depth, slots);
    pattern_->columnsUsed(depth, slots);
}

core::Value BetweenExpr::eval(const Runtime& rt, const Frame& frame) const {
    core::Value v = value_->eval(rt, frame);
    core::Value low = low_->eval(rt, frame);
    core::Value high = high_->eval(rt, frame);
    core::Value result = logicalAnd(compareWith(BinaryOperator::GreaterEqual, v, low),
                                    compareWith(BinaryOperator::LessEqual, v, high));
    return negated_ ? logicalNot(result) : result;
}

std::string BetweenExpr::fingerprint() const {
    return std::string(negated_ ? "nw(" : "w(") + value_->fingerprint() + "," +
           low_->fingerprint() + "," + high_->fingerprint() + ")";
}

void BetweenExpr::columnsUsed(int depth, std::vector<int>& slots) const {
    value_->columnsUsed(depth, slots);
    low_->columnsUsed(depth, slots);
    high_->columnsUsed(depth, slots);
}

core::Value InListExpr::eval(const Runtime& rt, const Frame& frame) const {
    core::Value v = value_->eval(rt, frame);
    // x In (a, b) is x = a Or x = b, with the same Null rules.
    core::Value result(false);
    for (const auto& item : items_) {
        result = logicalOr(result, compareWith(BinaryOperator::Equal, v, item->eval(rt, frame)));
        if (auto truth = isTruthy(result); truth && *truth) break;
    }
    return negated_ ? logicalNot(result) : result;
}

std::string InListExpr::fingerprint() const {
    return std::string(negated_ ? "ni(" : "i(") + value_->fingerprint() + ";" + listText(items_) +
           ")";
}

void InListExpr::columnsUsed(int depth, std::vector<int>& slots) const {
    value_->columnsUsed(depth, slots);
    columnsOf(items_, depth, slots);
}

bool InListExpr::isVolatile() const {
    return value_->isVolatile() || anyVolatile(items_);
}

std::string IsNullExpr::fingerprint() const {
    return std::string(negated_ ? "nn(" : "n(") + value_->fingerprint() + ")";
}

core::Value FunctionExpr::eval(const Runtime& rt, const Frame& frame) const {
    std::vector<core::Value> values;
    values.reserve(args_.size());
    for (const auto& a : args_) values.push_back(a->eval(rt, frame));
    return function_.call(values, rt.eval);
}

std::string FunctionExpr::fingerprint() const {
    std::string name(function_.name);
    for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "f" + name + "(" + listText(args_) + ")";
}

void FunctionExpr::columnsUsed(int depth, std::vector<int>& slots) const {
    columnsOf(args_, depth, slots);
}

bool FunctionExpr::isVolatile() const {
    return function_.isVolatile || anyVolatile(args_);
}

core::Value IIfExpr::eval(const Runtime& rt, const Frame& frame) const {
    auto truth = isTruthy(condition_->eval(rt, frame));
    return truth && *truth ? whenTrue_->eval(rt, frame) : whenFalse_->eval(rt, frame);
}

std::string IIfExpr::fingerprint() const {
    return "iif(" + condition_->fingerprint() + "," + whenTrue_->fingerprint() + "," +
           whenFalse_->fingerprint() + ")";
}

void IIfExpr::columnsUsed(int depth, std::vector<int>& slots) const {
    condition_->columnsUsed(depth, slots);
    whenTrue_->columnsUsed(depth, slots);
    whenFalse_->columnsUsed(depth, slots);
}

BoundPtr ConstantExpr::clone() const {
    return std::make_unique<ConstantExpr>(value_);
}

BoundPtr ColumnExpr::clone() const {
    return std::make_unique<ColumnExpr>(depth_, slot_, type());
}

BoundPtr ParameterExpr::clone() const {
    return std::make_unique<ParameterExpr>(slot_);
}

BoundPtr UnaryExpr::clone() const {
    auto operand = operand_->clone();
    return operand ? std::make_unique<UnaryExpr>(op_, std::move(operand), type()) : nullptr;
}

BoundPtr BinaryExpr::clone() const {
    auto l = left_->clone(), r = right_->clone();
    return l && r ? std::make_unique<BinaryExpr>(op_, std::move(l), std::move(r), type()) : nullptr;
}

BoundPtr LikeExpr::clone() const {
    auto v = value_->clone(), p = pattern_->clone();
    return v && p ? std::make_unique<LikeExpr>(std::move(v), std::move(p), negated_, mode_)
                  : nullptr;
}

BoundPtr BetweenExpr::clone() const {
    auto v = value_->clone(), l = low_->clone(), h = high_->clone();
    return v && l && h
               ? std::make_unique<BetweenExpr>(std::move(v), std::move(l), std::move(h), negated_)
               : nullptr;
}

BoundPtr InListExpr::clone() const {
    auto v = value_->clone();
    auto items = cloneAll(items_);
    return v && items ? std::make_unique<InListExpr>(std::move(v), std::move(*items), negated_)
                      : nullptr;
}

BoundPtr IsNullExpr::clone() const {
    auto v = value_->clone();
    return v ? std::make_unique<IsNullExpr>(std::move(v), negated_) : nullptr;
}

BoundPtr FunctionExpr::clone() const {
    auto args = cloneAll(args_);
    return args ? std::make_unique<FunctionExpr>(function_, std::move(*args), type()) : nullptr;
}

BoundPtr IIfExpr::clone() const {
    auto c = condition_->clone(), t = whenTrue_->clone(), f = whenFalse_->clone();
    return c && t && f ? std::make_unique<IIfExpr>(std::move(c), std::move(t), std::move(f), type())
                       : nullptr;
}

} // namespace sql
