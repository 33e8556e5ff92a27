#pragma once
// Turning values into text and numbers, exactly: currency and decimals never pass through double.
#include "core/Value.h"

#include <string>
#include <string_view>

namespace core {

// "3.5000": always four decimals.
std::string formatCurrency(Currency c);
// Parses "-12.5" / "12" / "0.0001"; throws TypeMismatch on anything else or overflow.
Currency parseCurrency(std::string_view text);

// The decimal's digits with exactly its scale after the point ("-1", "12.50").
std::string formatDecimal(const Decimal& d);
// Parses digits with an optional sign and point into a decimal of the given scale
// (rounding half away from zero); throws TypeMismatch when it does not fit 28 digits.
Decimal parseDecimal(std::string_view text, std::uint8_t scale);

struct CivilDateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    bool operator==(const CivilDateTime&) const = default;
};

// 28 to 31; 0 for a month outside 1..12.
int daysInMonth(int year, int month);
// A real calendar date in the years 1 to 9999 with a time of day below 24:00.
bool isValidCivil(const CivilDateTime& c);

// Day count to calendar date and time, rounded to the millisecond; throws TypeMismatch
// outside the years 1 to 9999.
CivilDateTime toCivil(DateTime dt);
// The inverse of toCivil; throws TypeMismatch when !isValidCivil(c).
DateTime fromCivil(const CivilDateTime& c);
// "YYYY-MM-DDTHH:MM:SS.mmm"
std::string formatIsoDateTime(DateTime dt);
// Reads ISO 8601 as data files write it: "YYYY-MM-DD", optionally followed by a blank or "T"
// and "HH:MM", "HH:MM:SS" or "HH:MM:SS.fff" (up to three decimals); throws TypeMismatch for
// any other text and for a date that does not exist.
DateTime parseIsoDateTime(std::string_view text);

// Shortest text that reads back as the same double ("444.555", "1e-07").
std::string formatDouble(double d);
// The same for a Single, judged at float precision (0.1f gives "0.1").
std::string formatSingle(float f);

// Lowercase hex of bytes; GUID as "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx".
std::string formatHex(const Bytes& bytes);
std::string formatGuid(const Guid& g);
// Reads hex digits in pairs, either case; throws TypeMismatch otherwise.
Bytes parseHex(std::string_view text);
// Reads that text, with or without braces, in either case; throws TypeMismatch otherwise.
Guid parseGuid(std::string_view text);

} // namespace core
