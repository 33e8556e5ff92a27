#include "sql/eval/FunctionRegistry.h"

#include "sql/eval/FunctionFamilies.h"

#include <array>

namespace sql {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

} // namespace

const FunctionInfo* findFunction(std::string_view name) {
    using Family = std::span<const FunctionInfo> (*)();
    constexpr std::array<Family, 6> families = {informationFunctions, stringFunctions,
                                                mathFunctions,        conversionFunctions,
                                                dateFunctions,        formatFunctions};
    for (Family family : families)
        for (const FunctionInfo& f : family())
            if (sameName(f.name, name)) return &f;
    return nullptr;
}

void checkArgumentCount(const FunctionInfo& function, std::size_t count) {
    const bool tooMany = function.maxArgs != FunctionInfo::anyCount && count > function.maxArgs;
    if (count < function.minArgs || tooMany)
        throw core::SqlError("Wrong number of arguments used with function in query expression '" +
                             std::string(function.name) + "'.");
}

core::Value callFunction(std::string_view name, std::span<const core::Value> args,
                         const EvalContext& context) {
    const FunctionInfo* function = findFunction(name);
    if (!function)
        throw core::SqlError("Undefined function '" + std::string(name) + "' in expression.");
    checkArgumentCount(*function, args.size());
    return function->call(args, context);
}

} // namespace sql
