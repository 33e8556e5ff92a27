#pragma once
// Short constructors for the values the evaluation tests feed in, a readable printout of
// values in failure messages, and a one-line function call.
#include "core/Conversions.h"
#include "core/TypeConversion.h"
#include "core/Value.h"
#include "sql/eval/EvalContext.h"
#include "sql/eval/FunctionRegistry.h"

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace core {

inline void PrintTo(const Value& v, std::ostream* os) {
    *os << dataTypeName(v.type());
    if (v.isNull()) return;
    if (const auto* d = v.getIf<DateTime>()) {
        *os << "(" << formatIsoDateTime(*d) << ")";
        return;
    }
    if (const auto* c = v.getIf<Currency>()) {
        *os << "(" << formatCurrency(*c) << ")";
        return;
    }
    if (const auto* d = v.getIf<Decimal>()) {
        *os << "(" << formatDecimal(*d) << ")";
        return;
    }
    *os << "(" << core::toText(v) << ")";
}

} // namespace core

namespace evaltest {

using core::Value;

inline Value byte(int v) {
    return Value(std::uint8_t(v));
}
inline Value integer(int v) {
    return Value(std::int16_t(v));
}
inline Value lng(std::int32_t v) {
    return Value(v);
}
inline Value single(float v) {
    return Value(v);
}
inline Value dbl(double v) {
    return Value(v);
}
inline Value text(std::string v) {
    return Value(std::move(v));
}
inline Value currency(std::string_view v) {
    return Value(core::parseCurrency(v));
}
inline Value decimal(std::string_view v, int scale) {
    return Value(core::parseDecimal(v, std::uint8_t(scale)));
}
inline Value date(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
    core::CivilDateTime c;
    c.year = y;
    c.month = m;
    c.day = d;
    c.hour = h;
    c.minute = n;
    c.second = s;
    return Value(core::fromCivil(c));
}
inline Value null() {
    return Value();
}

inline Value call(std::string_view name, std::initializer_list<Value> args,
                  const sql::EvalContext& context = {}) {
    const std::vector<Value> list(args);
    return sql::callFunction(name, list, context);
}

} // namespace evaltest
