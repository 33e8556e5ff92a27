#pragma once
// Splits statement text into tokens; never throws, malformed pieces become error tokens.
#include "sql/syntax/Token.h"

#include <string_view>
#include <vector>

namespace sql {

// The tokens of the text, always ending with one End token.
std::vector<Token> tokenize(std::string_view text);

} // namespace sql
