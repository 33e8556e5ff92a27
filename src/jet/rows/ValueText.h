#pragma once
// Values as people type them and as a text column shows them: numbers and dates read from
// text, and the text form of every kind of value.
#include "core/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace jet {

// The text without the blanks around it.
std::string_view trimBlanks(std::string_view text);

// A number written in text: sign, digits, point, exponent, blanks around it; nullopt when the
// text is something else. A magnitude too large for a double reads as an infinity, so that
// callers report an overflow rather than a mismatch.
std::optional<double> numberInText(std::string_view text);

// The shortest text that reads back as the number, written out without an exponent so that it
// can be rounded exactly at a decimal place ("1e-07" gives "0.0000001").
std::string plainDecimal(double value);
std::string plainDecimal(float value);

// The calendar forms people type: 2001-02-03[ 13:04[:05[.mmm]]] (or with a T), 2/3/2001[ 1:04[:05]
// PM] and a time alone (13:04, 1:04 PM) on 1899-12-30. nullopt for anything else, for a day
// that does not exist and for years before 100.
std::optional<core::DateTime> dateInText(std::string_view text);

// The text a value gives in a text or memo column: "True", "3.5", "1E-07", "2/3/2001 1:04:05 PM",
// "{6B29FC40-CA47-1067-B31D-00DD010662DA}"; binary data read as UTF-16.
std::string columnText(const core::Value& value);

} // namespace jet
