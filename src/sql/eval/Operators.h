#pragma once
// The operators of Jet SQL expressions and the two entry points that apply them to values;
// shared by the parser (which builds them) and the executor (which evaluates them).
#include "core/Value.h"

#include <string_view>

namespace sql {

enum class BinaryOperator {
    Add,
    Subtract,
    Multiply,
    Divide,
    IntDivide, // "\"
    Mod,
    Power,  // "^"
    Concat, // "&"
    Equal,
    NotEqual,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
    And,
    Or,
    Xor,
    Eqv,
    Imp,
};

enum class UnaryOperator { Negate, Not, Plus };

// The operator as written in Jet SQL ("+", "\", "Mod", "<>", "And").
std::string_view operatorText(BinaryOperator op);
std::string_view operatorText(UnaryOperator op);

// A comparison seen from its other side (a < b is b > a); other operators as they are.
BinaryOperator flipped(BinaryOperator op);

// Applies the operator with Jet's rules: Null propagation, type promotion, exact currency,
// three-valued logic. Raises core::TypeMismatch or sql::EvalError as Jet would.
core::Value binaryOp(BinaryOperator op, const core::Value& left, const core::Value& right);
core::Value unaryOp(UnaryOperator op, const core::Value& operand);

} // namespace sql
