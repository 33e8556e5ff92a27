#pragma once
// Jet's arithmetic operators on values. Null in gives Null out; see Promotion.h for the
// result types. Currency and Decimal stay exact; dates take part as day counts.
#include "core/Value.h"

namespace sql {

// "+": numbers add, two texts concatenate, text with a number adds when the text reads as a
// number; a date plus a number is a date.
core::Value add(const core::Value& a, const core::Value& b);
// A date minus a date is a Double, a date minus a number a date.
core::Value subtract(const core::Value& a, const core::Value& b);
core::Value multiply(const core::Value& a, const core::Value& b);
// "/": a Double, or a Decimal when either side is one; "Division by zero" for a zero divisor.
core::Value divide(const core::Value& a, const core::Value& b);
// "\" and Mod round both sides half to even to whole numbers first.
core::Value integerDivide(const core::Value& a, const core::Value& b);
core::Value modulo(const core::Value& a, const core::Value& b);
// "^": always a Double.
core::Value power(const core::Value& a, const core::Value& b);
// "&": the text forms joined, Null counting as empty text; Null only when both are Null.
core::Value concatenate(const core::Value& a, const core::Value& b);
core::Value negate(const core::Value& a);

} // namespace sql
