#pragma once
// Jet's built-in scalar functions by name. The binder looks a name up once (findFunction)
// and the executor calls the pointer per row; callFunction does both for one-off calls.
#include "core/Value.h"
#include "sql/eval/EvalContext.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace sql {

using ScalarFunction = core::Value (*)(std::span<const core::Value> args,
                                       const EvalContext& context);

struct FunctionInfo {
    static constexpr std::uint8_t anyCount = 255;

    std::string_view name;
    std::uint8_t minArgs = 0;
    std::uint8_t maxArgs = 0; // anyCount: no upper limit
    ScalarFunction call = nullptr;
    // Now, Date, Time, Rnd: a new value at each call, so never computed once for a query.
    bool isVolatile = false;
};

// The function of that name, ignoring case ("left", "Left$"); nullptr for none.
const FunctionInfo* findFunction(std::string_view name);

// Raises core::SqlError("Wrong number of arguments used with function in query expression
// 'Name'.") when the count is outside the function's range.
void checkArgumentCount(const FunctionInfo& function, std::size_t count);

// Looks up, checks the argument count and calls; raises core::SqlError("Undefined function
// 'X' in expression.") for an unknown name.
core::Value callFunction(std::string_view name, std::span<const core::Value> args,
                         const EvalContext& context);

} // namespace sql
