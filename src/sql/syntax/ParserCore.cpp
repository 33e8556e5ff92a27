// The parser's cursor, names and error reporting.
#include "sql/syntax/ParserCore.h"
#include "sql/syntax/Lexer.h"
#include "sql/syntax/SyntaxError.h"

#include <algorithm>

namespace sql {

Parser::Parser(std::string_view text) : text_(text), tokens_(tokenize(text)) {
    // An unclosed bracket swallows the rest of the text, so nothing after it can be judged.
    for (const Token& t : tokens_) {
        if (t.kind == TokenKind::OpenName) {
            std::string_view rest = text_.substr(t.offset);
            while (!rest.empty() && static_cast<unsigned char>(rest.back()) <= 32)
                rest.remove_suffix(1);
            throw SyntaxError(messages::bracketingMessage(rest), t.offset);
        }
    }
}

const Token& Parser::peek(std::size_t ahead) const {
    return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
}

const Token& Parser::advance() {
    const Token& t = tokens_[pos_];
    if (pos_ + 1 < tokens_.size()) ++pos_;
    return t;
}

bool Parser::accept(Keyword keyword) {
    if (!at(keyword)) return false;
    advance();
    return true;
}

bool Parser::accept(TokenKind kind) {
    if (!at(kind)) return false;
    advance();
    return true;
}

void Parser::expect(Keyword keyword) {
    if (!accept(keyword)) fail();
}

void Parser::expect(TokenKind kind) {
    if (!accept(kind)) fail();
}

bool Parser::atName(std::size_t ahead) const {
    const Token& t = peek(ahead);
    if (t.kind == TokenKind::QuotedName) return !t.text.empty();
    return t.kind == TokenKind::Word && !isReserved(t.keyword);
}

std::string Parser::name() {
    if (!atName()) fail();
    return advance().text;
}

std::string Parser::optionalAlias() {
    if (accept(Keyword::As)) return name();
    if (atName()) return name();
    return {};
}

std::vector<std::string> Parser::nameList() {
    std::vector<std::string> names;
    expect(TokenKind::LParen);
    do {
        names.push_back(name());
    } while (accept(TokenKind::Comma));
    expect(TokenKind::RParen);
    return names;
}

void Parser::fail() const {
    fail(clauseMessage_);
}

void Parser::fail(std::string_view message) const {
    throw SyntaxError(std::string(message), peek().offset);
}

void Parser::failExpression(messages::ExpressionFault fault) const {
    if (!expressionStart_ || expressionAsClause_) fail();
    const std::string quoted = expressionText();
    // Nothing where an expression should start is a misplaced word, not a bad expression.
    if (quoted.empty()) fail();
    throw SyntaxError(messages::expressionMessage(fault, quoted), peek().offset);
}

bool Parser::isExpressionBoundary(std::size_t index) const {
    const Token& t = tokens_[std::min(index, tokens_.size() - 1)];
    switch (t.kind) {
    case TokenKind::Comma:
    case TokenKind::Semicolon:
    case TokenKind::End:
        return true;
    case TokenKind::Word:
        break;
    default:
        return false;
    }
    switch (t.keyword) {
    case Keyword::From:
    case Keyword::Where:
    case Keyword::Group:
    case Keyword::Order:
    case Keyword::Having:
    case Keyword::Union:
    case Keyword::Into:
    case Keyword::Inner:
    case Keyword::Join:
    case Keyword::On:
    case Keyword::Asc:
    case Keyword::Desc:
    case Keyword::Values:
    case Keyword::Set:
    case Keyword::Select:
    case Keyword::Pivot: // ends a crosstab's select statement
        return true;
    case Keyword::Left:
    case Keyword::Right:
        // Left( and Right( are the string functions.
        return index + 1 >= tokens_.size() || tokens_[index + 1].kind != TokenKind::LParen;
    default:
        return false;
    }
}

// The text Jet quotes: from the start of the expression to the end of its clause, so that
// the words that made it fail are part of the message ("a b c" for "select a b c from t").
std::string Parser::expressionText() const {
    const std::size_t first = *expressionStart_;
    std::optional<std::size_t> last;
    int depth = 0;
    for (std::size_t i = first; i < tokens_.size(); ++i) {
        const Token& t = tokens_[i];
        if (t.kind == TokenKind::End) break;
        if (depth == 0 && isExpressionBoundary(i)) break;
        if (t.kind == TokenKind::LParen) ++depth;
        if (t.kind == TokenKind::RParen && depth-- == 0) break;
        last = i;
        if (t.kind == TokenKind::OpenString || t.kind == TokenKind::OpenDate) break;
    }
    if (!last) return {};
    std::string_view quoted =
        text_.substr(tokens_[first].offset, tokens_[*last].end - tokens_[first].offset);
    while (!quoted.empty() && static_cast<unsigned char>(quoted.back()) <= 32)
        quoted.remove_suffix(1);
    return std::string(quoted);
}

void Parser::endOfExpression() const {
    if (at(TokenKind::RParen) || isExpressionBoundary(pos_)) return;
    if (at(TokenKind::OpenString)) failExpression(messages::ExpressionFault::String);
    if (at(TokenKind::OpenDate)) failExpression(messages::ExpressionFault::Date);
    failExpression(messages::ExpressionFault::MissingOperator);
}

void Parser::endOfStatement() {
    if (accept(TokenKind::Semicolon)) {
        if (!at(TokenKind::End)) fail(messages::trailingCharacters);
    } else if (!at(TokenKind::End)) {
        fail();
    }
}

} // namespace sql
