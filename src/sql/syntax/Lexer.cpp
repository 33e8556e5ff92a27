// Jet SQL lexing: no comments, two string quotes, bracketed names, #date# literals.
#include "sql/syntax/Lexer.h"

namespace sql {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Bytes of multi-byte UTF-8 sequences count as letters so accented names need no brackets.
bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool isNameChar(char c) {
    return isNameStart(c) || isDigit(c);
}

// Jet treats every control character like a blank, so CR LF line ends need no special case.
bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    std::vector<Token> run() {
        std::vector<Token> tokens;
        while (true) {
            while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
            if (pos_ == text_.size()) break;
            tokens.push_back(next(tokens.empty() ? nullptr : &tokens.back()));
        }
        Token end;
        end.offset = end.end = text_.size();
        tokens.push_back(end);
        return tokens;
    }

private:
    Token make(TokenKind kind, std::size_t start, std::string text = {}) const {
        Token t;
        t.kind = kind;
        t.offset = start;
        t.end = pos_;
        t.text = std::move(text);
        return t;
    }

    char peek(std::size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }

    Token next(const Token* previous) {
        const std::size_t start = pos_;
        const char c = text_[pos_];
        if (isNameStart(c)) return word(start);
        if (isDigit(c)) return number(start);
        // ".5" is a number, but "T.5" or "[T].x" qualify a name.
        if (c == '.' && isDigit(peek(1)) && !followsOperand(previous)) return number(start);
        switch (c) {
        case '[':
            return delimitedName(start, ']');
        case '`':
            return delimitedName(start, '`');
        case '\'':
        case '"':
            return string(start, c);
        case '#':
            return date(start);
        }
        ++pos_;
        switch (c) {
        case '(':
            return make(TokenKind::LParen, start);
        case ')':
            return make(TokenKind::RParen, start);
        case ',':
            return make(TokenKind::Comma, start);
        case '.':
            return make(TokenKind::Dot, start);
        case '!':
            return make(TokenKind::Bang, start);
        case ';':
            return make(TokenKind::Semicolon, start);
        case '*':
            return make(TokenKind::Star, start);
        case '+':
            return make(TokenKind::Plus, start);
        case '-':
            return make(TokenKind::Minus, start);
        case '/':
            return make(TokenKind::Slash, start);
        case '\\':
            return make(TokenKind::Backslash, start);
        case '^':
            return make(TokenKind::Caret, start);
        case '&':
            return make(TokenKind::Ampersand, start);
        case '?':
            return make(TokenKind::Parameter, start);
        case '=':
            return make(TokenKind::Equal, start);
        case '<':
            if (peek() == '=') return ++pos_, make(TokenKind::LessEqual, start);
            if (peek() == '>') return ++pos_, make(TokenKind::NotEqual, start);
            return make(TokenKind::Less, start);
        case '>':
            if (peek() == '=') return ++pos_, make(TokenKind::GreaterEqual, start);
            return make(TokenKind::Greater, start);
        }
        return make(TokenKind::BadCharacter, start, std::string(1, c));
    }

    static bool followsOperand(const Token* previous) {
        if (!previous) return false;
        switch (previous->kind) {
        case TokenKind::Word:
            // "select .5": a keyword is never a qualifier.
            return !isReserved(previous->keyword);
        case TokenKind::QuotedName:
        case TokenKind::RParen:
            return true;
        default:
            return false;
        }
    }

    Token word(std::size_t start) {
        while (pos_ < text_.size() && isNameChar(text_[pos_])) ++pos_;
        // The string functions have $ forms (Left$, Mid$) that return Text instead of Variant.
        if (peek() == '$') ++pos_;
        Token t = make(TokenKind::Word, start, std::string(text_.substr(start, pos_ - start)));
        t.keyword = keywordOf(t.text);
        return t;
    }

    Token number(std::size_t start) {
        bool real = false;
        while (isDigit(peek())) ++pos_;
        if (peek() == '.') {
            real = true;
            ++pos_;
            while (isDigit(peek())) ++pos_;
        }
        // An exponent needs digits; "1e" is the number 1 followed by the name e.
        if (peek() == 'e' || peek() == 'E') {
            std::size_t digitsAt = pos_ + 1;
            if (digitsAt < text_.size() && (text_[digitsAt] == '+' || text_[digitsAt] == '-'))
                ++digitsAt;
            if (digitsAt < text_.size() && isDigit(text_[digitsAt])) {
                real = true;
                pos_ = digitsAt;
                while (isDigit(peek())) ++pos_;
            }
        }
        return make(real ? TokenKind::Real : TokenKind::Integer, start,
                    std::string(text_.substr(start, pos_ - start)));
    }

    Token delimitedName(std::size_t start, char close) {
        const std::size_t closeAt = text_.find(close, start + 1);
        if (closeAt == std::string_view::npos) {
            pos_ = text_.size();
            return make(TokenKind::OpenName, start, std::string(text_.substr(start)));
        }
        pos_ = closeAt + 1;
        return make(TokenKind::QuotedName, start,
                    std::string(text_.substr(start + 1, closeAt - start - 1)));
    }

    Token string(std::size_t start, char quote) {
        std::string value;
        ++pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c != quote) {
                value.push_back(c);
            } else if (peek() == quote) {
                value.push_back(quote);
                ++pos_;
            } else {
                return make(TokenKind::String, start, std::move(value));
            }
        }
        return make(TokenKind::OpenString, start, std::move(value));
    }

    Token date(std::size_t start) {
        const std::size_t closeAt = text_.find('#', start + 1);
        if (closeAt == std::string_view::npos) {
            pos_ = text_.size();
            return make(TokenKind::OpenDate, start, std::string(text_.substr(start + 1)));
        }
        pos_ = closeAt + 1;
        return make(TokenKind::Date, start,
                    std::string(text_.substr(start + 1, closeAt - start - 1)));
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

std::vector<Token> tokenize(std::string_view text) {
    return Lexer(text).run();
}

} // namespace sql
