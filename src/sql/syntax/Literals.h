#pragma once
// The values of number and #date# literals as Jet reads them.
#include "core/Value.h"

#include <optional>
#include <string_view>

namespace sql {

// Digits that fit a Long become a Long, anything larger or with a point or exponent a Double.
// The text is a lexer Integer or Real token; nothing when it is beyond a Double's range.
std::optional<core::Value> numberLiteral(std::string_view digits, bool hasPointOrExponent);

// The text between the # signs: a date (m/d/y, y-m-d, d-mmm-y, mmm d, y), a time
// (h:mm[:ss] [AM|PM] or h AM|PM) or a date followed by a time. A two-digit year below 30
// is in the 2000s, like the OLE date parser does. A first number above 12 with a second one
// that could be a month is read day first. Nothing when the text is not a real date.
std::optional<core::DateTime> dateLiteral(std::string_view text);

} // namespace sql
