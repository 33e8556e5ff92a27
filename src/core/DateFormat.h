#pragma once
// Custom date formats of the Format function: d dd ddd dddd ddddd dddddd, w ww, m mm mmm mmmm,
// q, y yy yyyy, h hh, n nn, s ss, ttttt, c, AM/PM am/pm A/P a/p AMPM, "quoted" and \escaped
// literals. "m" after an hour or before a second means minutes.
#include "core/Value.h"

#include <string>
#include <string_view>

namespace core {

std::string formatDate(core::DateTime dt, std::string_view format, int firstDayOfWeek,
                       int firstWeekOfYear);

// Whether a format has date or time codes outside its literals.
bool hasDateCodes(std::string_view format);

} // namespace core
