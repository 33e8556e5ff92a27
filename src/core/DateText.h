#pragma once
// Dates as text in US English, the way Jet converts them: reading "2001-02-03",
// "2/3/2001 1:04 PM" or "February 3, 2001", and writing the General Date form.
#include "core/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace core {

// A date, a time or both; nullopt when the text is not one. Numeric dates read as
// year-month-day when the first number has more than two digits, else month/day/year,
// falling back to day/month/year when the month would be past 12.
std::optional<core::DateTime> parseDateText(std::string_view text);

// "2/3/2001 1:04:05 PM"; the date alone at midnight, the time alone on day 0.
std::string formatGeneralDate(core::DateTime dt);
std::string formatShortDate(core::DateTime dt); // "2/3/2001"
std::string formatLongTime(core::DateTime dt);  // "1:04:05 PM"

// English names, 1-based.
std::string_view monthName(int month, bool abbreviated);
std::string_view weekdayName(int sundayBasedDay, bool abbreviated);

} // namespace core
