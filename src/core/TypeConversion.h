#pragma once
// Converting a value to the type an operation or a conversion function (CStr, CLng, CDate...)
// needs, with Jet's rules: rounding half to even, Overflow outside the target's range,
// "Invalid use of Null" for Null, a type mismatch for text that does not read as the type.
#include "core/Value.h"

#include <cstdint>
#include <string>

namespace core {

// Half to even: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
double roundHalfEven(double value);

double toDouble(const core::Value& v);
float toSingle(const core::Value& v);
std::int32_t toLong(const core::Value& v);
std::int16_t toInteger(const core::Value& v);
std::uint8_t toByte(const core::Value& v);
core::Currency toCurrency(const core::Value& v);
core::Decimal toDecimal(const core::Value& v);
bool toBoolean(const core::Value& v);
core::DateTime toDate(const core::Value& v);
// The text CStr gives ("True", "3.5", "0.3", "2/3/2001 1:04:05 PM").
std::string toText(const core::Value& v);

// A double as Currency, rounded half to even at four places from its 15 significant digits.
core::Currency currencyFromDouble(double value);
double currencyToDouble(core::Currency c);
// Without trailing zeros ("3.5", "-2").
std::string currencyToText(core::Currency c);

// Numbers of every kind, Boolean included; not dates, not text.
bool isNumericType(core::DataType type);

} // namespace core
