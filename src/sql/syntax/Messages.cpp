// Message texts that quote part of the statement.
#include "sql/syntax/Messages.h"

namespace sql::messages {

std::string expressionMessage(ExpressionFault fault, std::string_view expressionText) {
    std::string_view prefix;
    switch (fault) {
    case ExpressionFault::MissingOperator:
        prefix = "Syntax error (missing operator) in query expression '";
        break;
    case ExpressionFault::Comma:
        prefix = "Syntax error (comma) in query expression '";
        break;
    case ExpressionFault::MissingParen:
        prefix = "Missing ), ], or Item in query expression '";
        break;
    case ExpressionFault::String:
        prefix = "Syntax error in string in query expression '";
        break;
    case ExpressionFault::Date:
        prefix = "Syntax error in date in query expression '";
        break;
    case ExpressionFault::Arguments:
        prefix = "Wrong number of arguments used with function in query expression '";
        break;
    }
    std::string message(prefix);
    message += expressionText;
    message += "'.";
    return message;
}

std::string bracketingMessage(std::string_view nameText) {
    std::string message = "Invalid bracketing of name '";
    message += nameText;
    message += "'.";
    return message;
}

} // namespace sql::messages
