#pragma once
// Shortcuts for the syntax tests: parse and print, or parse and catch the message.
#include "sql/syntax/Parser.h"
#include "sql/syntax/Printer.h"
#include "sql/syntax/SyntaxError.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace sql::test {

// Turns "\n" in test tables into the CR LF line ends the window's text boxes produce.
inline std::string withCrLf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

inline std::string printed(std::string_view sql) {
    return toText(parseStatement(sql));
}

inline std::string printedExpression(std::string_view text) {
    return toText(*parseExpression(text));
}

// The message of the SyntaxError the text raises, or "parsed" when it raises none.
inline std::string errorOf(std::string_view sql) {
    try {
        parseStatement(sql);
    } catch (const SyntaxError& e) {
        return e.what();
    }
    return "parsed";
}

inline std::string expressionErrorOf(std::string_view text) {
    try {
        parseExpression(text);
    } catch (const SyntaxError& e) {
        return e.what();
    }
    return "parsed";
}

// Checks the canonical text, and that the canonical text reads back as the same tree.
inline void expectPrinted(std::string_view sql, std::string_view expected) {
    SCOPED_TRACE(std::string(sql));
    const std::string first = printed(sql);
    EXPECT_EQ(first, expected);
    EXPECT_EQ(printed(first), first) << "printed text does not read back the same";
}

struct Case {
    const char* sql;
    const char* expected; // canonical text, or the error message
};

inline std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << c.sql;
}

} // namespace sql::test
