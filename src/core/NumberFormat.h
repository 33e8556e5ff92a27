#pragma once
// Custom number formats of the Format function: up to four sections (positive; negative;
// zero; Null), digit placeholders 0 and #, the point, thousands commas (and commas before the
// point that scale by 1000), %, E+ E- e+ e-, "quoted" and \escaped literals. Rounding is half
// away from zero, as Format rounds (unlike Round).
#include "core/NumberText.h"

#include <string>
#include <string_view>

namespace core {

std::string formatNumber(const DecimalDigits& value, std::string_view format);

// The fourth section of a format (what Null shows), if it has one.
std::optional<std::string> nullSection(std::string_view format);

// Whether a format has digit placeholders outside its literals.
bool hasDigitPlaceholders(std::string_view format);

} // namespace core
