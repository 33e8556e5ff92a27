// CStr, CInt, CLng, CSng, CDbl, CCur, CDate, CBool, CByte, CDec, CVar, Val and Str: explicit
// conversions. Null is an error for all but CVar, CVDate and Str, which pass it through.
#include "core/DateText.h"
#include "core/NumberText.h"
#include "core/TypeConversion.h"
#include "sql/eval/FunctionFamilies.h"

#include <array>

namespace sql {

namespace {

using Args = std::span<const core::Value>;

core::Value cStr(Args a, const EvalContext&) {
    return core::toText(a[0]);
}
core::Value cInt(Args a, const EvalContext&) {
    return core::toInteger(a[0]);
}
core::Value cLng(Args a, const EvalContext&) {
    return core::toLong(a[0]);
}
core::Value cSng(Args a, const EvalContext&) {
    return core::toSingle(a[0]);
}
core::Value cDbl(Args a, const EvalContext&) {
    return core::toDouble(a[0]);
}
core::Value cCur(Args a, const EvalContext&) {
    return core::toCurrency(a[0]);
}
core::Value cDate(Args a, const EvalContext&) {
    return core::toDate(a[0]);
}
core::Value cVDate(Args a, const EvalContext&) {
    if (a[0].isNull()) return {};
    return core::toDate(a[0]);
}
core::Value cBool(Args a, const EvalContext&) {
    return core::toBoolean(a[0]);
}
core::Value cByte(Args a, const EvalContext&) {
    return core::toByte(a[0]);
}
core::Value cDec(Args a, const EvalContext&) {
    return core::toDecimal(a[0]);
}
core::Value cVar(Args a, const EvalContext&) {
    return a[0];
}

core::Value val(Args a, const EvalContext&) {
    if (a[0].isNull()) core::throwInvalidUseOfNull();
    return core::valOf(core::toText(a[0]));
}

// Str leaves room for the sign: a blank before numbers that are not negative.
core::Value str(Args a, const EvalContext&) {
    const core::Value& v = a[0];
    if (v.isNull()) return {};
    if (v.type() == core::DataType::DateTime)
        return core::formatGeneralDate(v.get<core::DateTime>());
    if (v.type() == core::DataType::Boolean) return core::toText(v);
    const core::Value number =
        v.type() == core::DataType::Text ? core::Value(core::toDouble(v)) : v;
    const std::string text = core::toText(number);
    return text.front() == '-' ? text : " " + text;
}

constexpr std::array<FunctionInfo, 15> functions = {{
    {"CStr", 1, 1, cStr},
    {"CInt", 1, 1, cInt},
    {"CLng", 1, 1, cLng},
    {"CSng", 1, 1, cSng},
    {"CDbl", 1, 1, cDbl},
    {"CCur", 1, 1, cCur},
    {"CDate", 1, 1, cDate},
    {"CVDate", 1, 1, cVDate},
    {"CBool", 1, 1, cBool},
    {"CByte", 1, 1, cByte},
    {"CDec", 1, 1, cDec},
    {"CVar", 1, 1, cVar},
    {"Val", 1, 1, val},
    {"Str", 1, 1, str},
    {"Str$", 1, 1, textForm<str>},
}};

} // namespace

std::span<const FunctionInfo> conversionFunctions() {
    return functions;
}

} // namespace sql
