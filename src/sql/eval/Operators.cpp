#include "sql/eval/Operators.h"

#include "sql/eval/Arithmetic.h"
#include "sql/eval/Comparison.h"
#include "sql/eval/Logic.h"

namespace sql {

std::string_view operatorText(BinaryOperator op) {
    switch (op) {
    case BinaryOperator::Add:
        return "+";
    case BinaryOperator::Subtract:
        return "-";
    case BinaryOperator::Multiply:
        return "*";
    case BinaryOperator::Divide:
        return "/";
    case BinaryOperator::IntDivide:
        return "\\";
    case BinaryOperator::Mod:
        return "Mod";
    case BinaryOperator::Power:
        return "^";
    case BinaryOperator::Concat:
        return "&";
    case BinaryOperator::Equal:
        return "=";
    case BinaryOperator::NotEqual:
        return "<>";
    case BinaryOperator::Less:
        return "<";
    case BinaryOperator::LessEqual:
        return "<=";
    case BinaryOperator::Greater:
        return ">";
    case BinaryOperator::GreaterEqual:
        return ">=";
    case BinaryOperator::And:
        return "And";
    case BinaryOperator::Or:
        return "Or";
    case BinaryOperator::Xor:
        return "Xor";
    case BinaryOperator::Eqv:
        return "Eqv";
    case BinaryOperator::Imp:
        return "Imp";
    }
    return "?";
}

BinaryOperator flipped(BinaryOperator op) {
    switch (op) {
    case BinaryOperator::Less:
        return BinaryOperator::Greater;
    case BinaryOperator::LessEqual:
        return BinaryOperator::GreaterEqual;
    case BinaryOperator::Greater:
        return BinaryOperator::Less;
    case BinaryOperator::GreaterEqual:
        return BinaryOperator::LessEqual;
    default:
        return op;
    }
}

std::string_view operatorText(UnaryOperator op) {
    switch (op) {
    case UnaryOperator::Negate:
        return "-";
    case UnaryOperator::Not:
        return "Not";
    case UnaryOperator::Plus:
        return "+";
    }
    return "?";
}

core::Value binaryOp(BinaryOperator op, const core::Value& left, const core::Value& right) {
    switch (op) {
    case BinaryOperator::Add:
        return add(left, right);
    case BinaryOperator::Subtract:
        return subtract(left, right);
    case BinaryOperator::Multiply:
        return multiply(left, right);
    case BinaryOperator::Divide:
        return divide(left, right);
    case BinaryOperator::IntDivide:
        return integerDivide(left, right);
    case BinaryOperator::Mod:
        return modulo(left, right);
    case BinaryOperator::Power:
        return power(left, right);
    case BinaryOperator::Concat:
        return concatenate(left, right);
    case BinaryOperator::Equal:
    case BinaryOperator::NotEqual:
    case BinaryOperator::Less:
    case BinaryOperator::LessEqual:
    case BinaryOperator::Greater:
    case BinaryOperator::GreaterEqual:
        return compareWith(op, left, right);
    case BinaryOperator::And:
        return logicalAnd(left, right);
    case BinaryOperator::Or:
        return logicalOr(left, right);
    case BinaryOperator::Xor:
        return logicalXor(left, right);
    case BinaryOperator::Eqv:
        return logicalEqv(left, right);
    case BinaryOperator::Imp:
        return logicalImp(left, right);
    }
    return {};
}

core::Value unaryOp(UnaryOperator op, const core::Value& operand) {
    switch (op) {
    case UnaryOperator::Negate:
        return negate(operand);
    case UnaryOperator::Not:
        return logicalNot(operand);
    case UnaryOperator::Plus:
        return operand;
    }
    return {};
}

} // namespace sql
