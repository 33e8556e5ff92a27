#include "sql/eval/EvalErrors.h"

namespace sql {

void throwTypeMismatch() {
    throw core::TypeMismatch("Data type mismatch in criteria expression.");
}

// Null and overflow are conversion failures as far as a caller is concerned: the value
// cannot become the type the operation needs.
void throwInvalidUseOfNull() {
    throw core::TypeMismatch("Invalid use of Null");
}

void throwOverflow() {
    throw core::TypeMismatch("Overflow");
}

void throwInvalidArgument() {
    throw EvalError("Invalid procedure call or argument");
}

void throwDivisionByZero() {
    throw EvalError("Division by zero");
}

} // namespace sql
