#pragma once
// The built-in functions grouped by family; each family lives in its own source file and the
// registry searches them all.
#include "sql/eval/EvalErrors.h"
#include "sql/eval/FunctionRegistry.h"

#include <span>

namespace sql {

std::span<const FunctionInfo> informationFunctions(); // IIf, IsNull, Nz, Switch...
std::span<const FunctionInfo> stringFunctions();      // Len, Mid, InStr, Replace...
std::span<const FunctionInfo> mathFunctions();        // Abs, Round, Sqr, Hex, Rnd...
std::span<const FunctionInfo> conversionFunctions();  // CStr, CLng, CDate, Val, Str...
std::span<const FunctionInfo> dateFunctions();        // Now, DateAdd, DateDiff...
std::span<const FunctionInfo> formatFunctions();      // Format

// The "$" form of a text function (Left$, Mid$): the same, but a Null result is an error.
template <ScalarFunction F>
core::Value textForm(std::span<const core::Value> args, const EvalContext& context) {
    core::Value v = F(args, context);
    if (v.isNull()) core::throwInvalidUseOfNull();
    return v;
}

} // namespace sql
