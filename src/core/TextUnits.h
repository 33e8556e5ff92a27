#pragma once
// Text as Jet's string functions see it: a sequence of UTF-16 code units (Len, Mid and InStr
// count those), and as code points for case mapping, collation and LIKE.
#include "core/LetterCase.h"

#include <string>
#include <string_view>

namespace core {

std::u16string toUtf16(std::string_view text);
std::string fromUtf16(std::u16string_view text);
std::u32string toCodePoints(std::string_view text);
std::string fromCodePoints(std::u32string_view text);

// The letter case of whole texts, by core's one-to-one mapping of each code point.
std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);

} // namespace core
