// The parser's entry points.
#include "sql/syntax/Parser.h"
#include "sql/syntax/ParserCore.h"

namespace sql {

Statement parseStatement(std::string_view text) {
    return Parser(text).statement();
}

ExprPtr parseExpression(std::string_view text) {
    return Parser(text).standaloneExpression();
}

} // namespace sql
