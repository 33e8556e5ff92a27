#pragma once
// Numbers as text the way Jet's expression service reads and writes them: VBA-style numeric
// text ("1,000", "&HFF", "1.5e3"), Val's forgiving scan, and 15-significant-digit output.
#include <optional>
#include <string>
#include <string_view>

namespace core {

// An exact decimal number: integer `digits` (no leading zeros, "0" for zero) times
// 10^exponent.
struct DecimalDigits {
    bool negative = false;
    std::string digits = "0";
    int exponent = 0;
};

// The value rounded to `precision` significant digits, trailing zeros removed.
DecimalDigits significantDigits(double value, int precision);

// Reads numeric text as a conversion does: blanks around, a sign, "$", thousands commas,
// a fraction, an exponent (E or D), or &H / &O integers; nullopt for anything else.
std::optional<DecimalDigits> parseNumericText(std::string_view text);

// The double nearest the digits; nullopt when outside the Double range.
std::optional<double> digitsToDouble(const DecimalDigits& d);

// parseNumericText then digitsToDouble.
std::optional<double> parseNumber(std::string_view text);

// Val: reads the longest number at the start, skipping blanks, tabs and line feeds anywhere;
// 0 when there is none.
double valOf(std::string_view text);

// The text CStr gives: up to 15 (Single: 7) significant digits, scientific form past them
// or below 1E-04 ("0.3", "1E+15", "1.5E-07").
std::string formatVbaDouble(double value);
std::string formatVbaSingle(float value);

// Plain digits with an optional point, trailing zeros after the point removed ("3.5", "-2").
std::string trimFraction(std::string text);

} // namespace core
