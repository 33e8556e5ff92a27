#include "sql/eval/Logic.h"

#include "core/TypeConversion.h"
#include "sql/eval/EvalErrors.h"

namespace sql {

namespace {

core::Value fromTruth(std::optional<bool> t) {
    return t ? core::Value(*t) : core::Value();
}

} // namespace

std::optional<bool> isTruthy(const core::Value& v) {
    if (v.isNull()) return std::nullopt;
    if (v.type() == core::DataType::Binary || v.type() == core::DataType::Guid)
        core::throwTypeMismatch();
    return core::toBoolean(v);
}

core::Value logicalAnd(const core::Value& a, const core::Value& b) {
    const auto x = isTruthy(a), y = isTruthy(b);
    if ((x && !*x) || (y && !*y)) return false;
    if (!x || !y) return {};
    return true;
}

core::Value logicalOr(const core::Value& a, const core::Value& b) {
    const auto x = isTruthy(a), y = isTruthy(b);
    if ((x && *x) || (y && *y)) return true;
    if (!x || !y) return {};
    return false;
}

core::Value logicalXor(const core::Value& a, const core::Value& b) {
    const auto x = isTruthy(a), y = isTruthy(b);
    if (!x || !y) return {};
    return *x != *y;
}

core::Value logicalEqv(const core::Value& a, const core::Value& b) {
    const auto x = isTruthy(a), y = isTruthy(b);
    if (!x || !y) return {};
    return *x == *y;
}

core::Value logicalImp(const core::Value& a, const core::Value& b) {
    // a Imp b is (Not a) Or b, with the same unknowns.
    const auto x = isTruthy(a), y = isTruthy(b);
    return logicalOr(fromTruth(x ? std::optional<bool>(!*x) : std::nullopt), fromTruth(y));
}

core::Value logicalNot(const core::Value& a) {
    const auto x = isTruthy(a);
    if (!x) return {};
    return !*x;
}

} // namespace sql
