#pragma once
// Jet SQL's logical operators with three-valued logic: Null is "unknown", so Null And False
// is False and Null Or True is True, while every other combination with Null stays Null.
// Operands are truth values: numbers are true when not zero, text must read as a Boolean.
#include "core/Value.h"

#include <optional>

namespace sql {

// nullopt for Null; raises a type mismatch for values that have no truth value.
std::optional<bool> isTruthy(const core::Value& v);

core::Value logicalAnd(const core::Value& a, const core::Value& b);
core::Value logicalOr(const core::Value& a, const core::Value& b);
core::Value logicalXor(const core::Value& a, const core::Value& b);
core::Value logicalEqv(const core::Value& a, const core::Value& b);
core::Value logicalImp(const core::Value& a, const core::Value& b);
core::Value logicalNot(const core::Value& a);

} // namespace sql
