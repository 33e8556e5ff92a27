#pragma once
// Exact arithmetic on Jet's Decimal (up to 28 digits with a scale of 0 to 28): results are
// rounded half to even to fit, and raise Overflow when their integer part cannot.
#include "core/NumberText.h"
#include "core/Value.h"

#include <cstdint>
#include <string>

namespace core {

core::Decimal decimalFromInteger(std::int64_t value);
core::Decimal decimalFromCurrency(core::Currency value);
// Exact digits rounded to fit; Overflow when they cannot.
core::Decimal decimalFromDigits(const DecimalDigits& digits);
// A double carries 15 significant digits into a Decimal, as a conversion from Double does.
core::Decimal decimalFromDouble(double value);

double decimalToDouble(const core::Decimal& d);
DecimalDigits decimalToDigits(const core::Decimal& d);
// Without trailing zeros after the point ("1.5", "-2").
std::string decimalToText(const core::Decimal& d);
// Rounded half to even to a whole number; Overflow outside the 64-bit range.
std::int64_t decimalToInt64(const core::Decimal& d);
// Rounded half to even to four places; Overflow outside the Currency range.
core::Currency decimalToCurrency(const core::Decimal& d);

bool decimalIsZero(const core::Decimal& d);
int decimalCompare(const core::Decimal& a, const core::Decimal& b);
core::Decimal decimalNegate(const core::Decimal& d);
core::Decimal decimalAdd(const core::Decimal& a, const core::Decimal& b);
core::Decimal decimalSubtract(const core::Decimal& a, const core::Decimal& b);
core::Decimal decimalMultiply(const core::Decimal& a, const core::Decimal& b);
// Up to 28 significant digits. The divisor must not be zero: the caller reports that in
// its own words.
core::Decimal decimalDivide(const core::Decimal& a, const core::Decimal& b);

// Round half to even to `places` decimals (no change when the scale is already smaller).
core::Decimal decimalRound(const core::Decimal& d, unsigned places);
// Towards zero (Fix) or towards minus infinity (Int), to a whole number.
core::Decimal decimalTruncate(const core::Decimal& d);
core::Decimal decimalFloor(const core::Decimal& d);

} // namespace core
