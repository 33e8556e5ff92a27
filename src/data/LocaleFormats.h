#pragma once
// How dates, times and money are written for the user and read back from what the user typed:
// the counterpart of the Windows locale's short formats, which the original's grids and
// dialogs follow.
//
// Linux gives no setting the original's users would recognise, so the defaults are fixed:
// United States English, the same conventions Jet's own text conversions use --
//   short date  "m/d/yyyy"      (2/3/2001)
//   long time   "h:nn:ss AMPM"  (1:04:05 PM)
//   currency    "$", 2 decimals, thousands separated by ",", negatives in parentheses.
// A data set takes another set of formats through TCustomADODataSet::setFormats().
#include "core/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace data {

struct LocaleFormats {
    // Codes of the Format function: d dd, m mm, yy yyyy, h hh, n nn, s ss, AMPM.
    std::string shortDate = "m/d/yyyy";
    std::string longTime = "h:nn:ss AMPM";
    std::string currencySymbol = "$";
    int currencyDecimals = 2;
};

// A date and time as the locale writes it: the short date, then a blank and the long time
// when the time of day is not midnight; a time alone (on day 0, 12/30/1899) without the date,
// as Access shows time-only values.
std::string formatDateTime(core::DateTime value, const LocaleFormats& formats);

// Reads a date, a time or both: numeric dates in the order of the short date format
// (separated by "/", "-" or "."), times as h:nn[:ss] with an optional AM or PM; anything else
// the way Jet reads dates ("2001-02-03", "February 3, 2001"). nullopt when the text is none.
std::optional<core::DateTime> parseDateTime(std::string_view text, const LocaleFormats& formats);

// Money as the grid shows it: "$1,234.50", "($1,234.50)".
std::string formatCurrencyDisplay(core::Currency value, const LocaleFormats& formats);

} // namespace data
