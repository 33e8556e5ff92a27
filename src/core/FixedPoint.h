#pragma once
// Exact text form of fixed-point numbers (an integer count of 10^-scale units): the common
// ground of Currency and Decimal, so that neither ever passes through a double.
#include <cstdint>
#include <string>
#include <string_view>

namespace core::fixed {

__extension__ typedef unsigned __int128 u128;

enum class ParseStatus { Ok, Invalid, Overflow };

struct Parsed {
    ParseStatus status = ParseStatus::Invalid;
    bool negative = false;
    u128 magnitude = 0;
};

// Reads "[blanks][sign]digits[.digits][blanks]" as a count of 10^-scale units, rounding half
// away from zero at the first dropped digit; a magnitude above `limit` is an overflow.
// `limit` must stay below 2^127 / 10.
Parsed parse(std::string_view text, unsigned scale, u128 limit);

// The digits of `magnitude` with exactly `scale` of them after the point; '-' only when
// negative and nonzero.
std::string format(bool negative, u128 magnitude, unsigned scale);

// 10^n for n <= 38.
u128 powerOfTen(unsigned n);

} // namespace core::fixed
