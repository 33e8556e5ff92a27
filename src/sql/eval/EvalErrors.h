#pragma once
// The run-time errors of expression evaluation, worded as Jet words them. A conversion's own
// errors (type mismatch, Null, overflow) are core's, which the evaluation raises as well.
#include "core/ConversionErrors.h"
#include "core/Error.h"

namespace sql {

// A value that is the right type but cannot be used (division by zero, an argument outside
// what a function accepts).
class EvalError : public core::Error {
public:
    using core::Error::Error;
};

[[noreturn]] void throwInvalidArgument(); // "Invalid procedure call or argument"
[[noreturn]] void throwDivisionByZero();  // "Division by zero"

} // namespace sql
