#pragma once
// Entry points of the Jet SQL parser. Both throw SyntaxError with the provider's message.
#include "sql/syntax/Expr.h"
#include "sql/syntax/Statement.h"

#include <string_view>

namespace sql {

// One statement; a trailing ";" and blanks or line ends after it are allowed.
Statement parseStatement(std::string_view text);

// A text that is one expression and nothing else, as filters and defaults are stored.
ExprPtr parseExpression(std::string_view text);

} // namespace sql
