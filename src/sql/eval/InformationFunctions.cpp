// IIf, IsNull, IsNumeric, IsDate, Nz, Switch, Choose: functions that test or pick values.
#include "core/DateText.h"
#include "core/NumberText.h"
#include "core/TypeConversion.h"
#include "sql/eval/FunctionFamilies.h"
#include "sql/eval/Logic.h"

#include <array>

namespace sql {

namespace {

using Args = std::span<const core::Value>;

// Both branches arrive evaluated; a caller that wants only the chosen one evaluated (Jet
// does not evaluate the other in queries) tests the condition itself with isTruthy.
core::Value iif(Args a, const EvalContext&) {
    return isTruthy(a[0]).value_or(false) ? a[1] : a[2];
}

core::Value isNull(Args a, const EvalContext&) {
    return a[0].isNull();
}

core::Value isNumeric(Args a, const EvalContext&) {
    if (core::isNumericType(a[0].type())) return true;
    if (const auto* text = a[0].getIf<std::string>()) return core::parseNumber(*text).has_value();
    return false;
}

core::Value isDate(Args a, const EvalContext&) {
    if (a[0].type() == core::DataType::DateTime) return true;
    if (const auto* text = a[0].getIf<std::string>()) return core::parseDateText(*text).has_value();
    return false;
}

// Without a second argument a query gets a zero-length text for Null.
core::Value nz(Args a, const EvalContext&) {
    if (!a[0].isNull()) return a[0];
    return a.size() > 1 ? a[1] : core::Value(std::string());
}

core::Value switchOf(Args a, const EvalContext&) {
    if (a.size() % 2 != 0) throwInvalidArgument();
    for (std::size_t i = 0; i < a.size(); i += 2)
        if (isTruthy(a[i]).value_or(false)) return a[i + 1];
    return {};
}

core::Value choose(Args a, const EvalContext&) {
    if (a[0].isNull()) return {};
    const double index = core::roundHalfEven(core::toDouble(a[0]));
    if (index < 1 || index >= double(a.size())) return {};
    return a[std::size_t(index)];
}

constexpr std::array<FunctionInfo, 7> functions = {{
    {"IIf", 3, 3, iif},
    {"IsNull", 1, 1, isNull},
    {"IsNumeric", 1, 1, isNumeric},
    {"IsDate", 1, 1, isDate},
    {"Nz", 1, 2, nz},
    {"Switch", 2, FunctionInfo::anyCount, switchOf},
    {"Choose", 2, FunctionInfo::anyCount, choose},
}};

} // namespace

std::span<const FunctionInfo> informationFunctions() {
    return functions;
}

} // namespace sql
