#pragma once
// The run-time errors of expression evaluation, worded as Jet words them.
#include "core/Error.h"

namespace sql {

// A value that is the right type but cannot be used (division by zero, an argument outside
// what a function accepts).
class EvalError : public core::Error {
public:
    using core::Error::Error;
};

[[noreturn]] void throwTypeMismatch();     // "Data type mismatch in criteria expression."
[[noreturn]] void throwInvalidUseOfNull(); // "Invalid use of Null"
[[noreturn]] void throwOverflow();         // "Overflow"
[[noreturn]] void throwInvalidArgument();  // "Invalid procedure call or argument"
[[noreturn]] void throwDivisionByZero();   // "Division by zero"

} // namespace sql
