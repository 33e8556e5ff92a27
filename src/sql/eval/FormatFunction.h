#pragma once
// Format(value, format): named formats in US English ("Currency", "Short Date", "Yes/No"...)
// and custom number, date and text formats. Numbers with date codes format as the date of
// that day count; text formats as a number or a date when it reads as one and the format
// asks for one, else by the text codes @ & < > !.
#include "core/Value.h"

#include <string_view>

namespace sql {

// Text, or Null for Null when the format has no fourth (Null) section.
core::Value formatValue(const core::Value& value, std::string_view format, int firstDayOfWeek = 1,
                        int firstWeekOfYear = 1);

} // namespace sql
