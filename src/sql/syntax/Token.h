#pragma once
// One lexical unit of a statement, with where it stands in the text.
#include "sql/syntax/Keyword.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace sql {

enum class TokenKind : std::uint8_t {
    Word,       // a bare name or keyword
    QuotedName, // [name] or `name`
    Integer,    // digits only
    Real,       // digits with a point or an exponent
    String,     // '...' or "..."
    Date,       // #...#
    Parameter,  // ?
    LParen,
    RParen,
    Comma,
    Dot,
    Bang, // the ! between a table and its column
    Semicolon,
    Star,
    Plus,
    Minus,
    Slash,
    Backslash,
    Caret,
    Ampersand,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    End,
    // Malformed text the lexer cannot skip over; the parser reports them in context.
    OpenString,
    OpenName,
    OpenDate,
    BadCharacter,
};

struct Token {
    TokenKind kind = TokenKind::End;
    Keyword keyword = Keyword::None; // for Word only
    std::size_t offset = 0;          // first byte in the statement text
    std::size_t end = 0;             // one past the last byte
    // Names without their brackets, strings without quotes and with doubled quotes undone,
    // dates without the #, numbers as written.
    std::string text;

    bool is(Keyword k) const { return kind == TokenKind::Word && keyword == k; }
    bool is(TokenKind k) const { return kind == k; }
};

} // namespace sql
