#include "sql/eval/EvalErrors.h"

namespace sql {

void throwInvalidArgument() {
    throw EvalError("Invalid procedure call or argument");
}

void throwDivisionByZero() {
    throw EvalError("Division by zero");
}

} // namespace sql
