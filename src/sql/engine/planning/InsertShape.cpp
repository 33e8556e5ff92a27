// Reads statement text the way the lexer does, but only far enough to tell the literals
// from the rest: names, brackets and operators are copied into the shape as written.
#include "sql/engine/planning/InsertShape.h"

#include "sql/syntax/Literals.h"

#include <algorithm>
#include <limits>

namespace sql {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || isDigit(c) ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// Marks stand for literals in a shape; a text holding the mark byte itself is not shaped.
constexpr char kMark = '\x01';

bool startsWithInsert(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    constexpr std::string_view word = "insert";
    if (text.size() - i <= word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if ((text[i + k] | 0x20) != word[k]) return false;
    return !isNameChar(text[i + word.size()]);
}

// The last character before `at` that is not blank, or '\0'.
char before(std::string_view text, std::size_t at, std::size_t* where = nullptr) {
    while (at > 0) {
        --at;
        if (!isBlank(text[at])) {
            if (where) *where = at;
            return text[at];
        }
    }
    return '\0';
}

char after(std::string_view text, std::size_t at) {
    while (at < text.size() && isBlank(text[at])) ++at;
    return at < text.size() ? text[at] : '\0';
}

// Where the number starting at `at` ends, as the lexer reads it; `real` when it has a point
// or an exponent.
std::size_t numberEnd(std::string_view text, std::size_t at, bool& real) {
    auto digit = [&](std::size_t i) { return i < text.size() && isDigit(text[i]); };
    real = false;
    while (digit(at)) ++at;
    if (at < text.size() && text[at] == '.') {
        real = true;
        ++at;
        while (digit(at)) ++at;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t digits = at + 1;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) ++digits;
        if (digit(digits)) {
            real = true;
            at = digits;
            while (digit(at)) ++at;
        }
    }
    return at;
}

} // namespace

bool readInsertShape(std::string_view text, InsertShape& shape) {
    shape.key.clear();
    shape.literals.clear();
    if (!startsWithInsert(text)) return false;
    std::size_t copied = 0, i = 0;
    // Cuts [slot.start, slot.end) out of the text when it stands alone in a list.
    auto cut = [&](LiteralSlot slot) {
        std::size_t signAt = 0;
        char previous = before(text, slot.start, &signAt);
        if ((previous == '-' || previous == '+') &&
            (slot.kind == LiteralKind::Integer || slot.kind == LiteralKind::Real)) {
            slot.negate = previous == '-';
            slot.start = signAt;
            previous = before(text, signAt);
        }
        const char next = after(text, slot.end);
        if ((previous != '(' && previous != ',') || (next != ',' && next != ')')) return false;
        shape.key.append(text, copied, slot.start - copied);
        shape.key += kMark;
        shape.key += char('0' + int(slot.kind));
        copied = slot.end;
        shape.literals.push_back(slot);
        return true;
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == kMark) return false;
        if (isNameChar(c) && !isDigit(c)) {
            while (i < text.size() && isNameChar(text[i])) ++i;
            if (i < text.size() && text[i] == '$') ++i;
        } else if (c == '[' || c == '`') {
            const std::size_t close = text.find(c == '[' ? ']' : '`', i + 1);
            if (close == std::string_view::npos) return false;
            i = close + 1;
        } else if (c == '\'' || c == '"') {
            std::size_t j = i + 1;
            while (true) {
                if (j >= text.size()) return false;
                if (text[j] == c) {
                    if (j + 1 < text.size() && text[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            if (!cut({LiteralKind::String, i, j + 1, i + 1, j, false})) return false;
            i = j + 1;
        } else if (c == '#') {
            const std::size_t close = text.find('#', i + 1);
            if (close == std::string_view::npos) return false;
            if (!cut({LiteralKind::Date, i, close + 1, i + 1, close, false})) return false;
            i = close + 1;
        } else if (isDigit(c)) {
            bool real = false;
            const std::size_t end = numberEnd(text, i, real);
            // "1e" or "5x": a number the lexer splits from a name; not worth a shape.
            if (end < text.size() && (isNameChar(text[end]) || text[end] == '.')) return false;
            if (!cut({real ? LiteralKind::Real : LiteralKind::Integer, i, end, i, end, false}))
                return false;
            i = end;
        } else if (c == '.' && i + 1 < text.size() && isDigit(text[i + 1])) {
            return false; // ".5" is a number or a qualifier; the lexer decides.
        } else {
            ++i;
        }
    }
    shape.key.append(text, copied, text.size() - copied);
    return true;
}

std::optional<core::Value> literalValue(std::string_view text, const LiteralSlot& slot) {
    const std::string_view body = text.substr(slot.bodyStart, slot.bodyEnd - slot.bodyStart);
    switch (slot.kind) {
    case LiteralKind::String: {
        const char quote = text[slot.start];
        if (body.find(quote) == std::string_view::npos) return core::Value(std::string(body));
        std::string value;
        value.reserve(body.size());
        for (std::size_t i = 0; i < body.size(); ++i) {
            value += body[i];
            if (body[i] == quote) ++i; // a doubled quote is one
        }
        return core::Value(std::move(value));
    }
    case LiteralKind::Date: {
        auto date = dateLiteral(body);
        if (!date) return std::nullopt;
        return core::Value(*date);
    }
    case LiteralKind::Integer:
    case LiteralKind::Real:
        break;
    }
    auto number = numberLiteral(body, slot.kind == LiteralKind::Real);
    if (!number) return std::nullopt;
    // A sign before a number is part of the literal, as the parser folds it.
    if (const auto* i = number->getIf<std::int32_t>())
        return core::Value(std::int32_t(slot.negate ? -*i : *i));
    if (const auto* d = number->getIf<double>()) {
        if (slot.negate && slot.kind == LiteralKind::Integer && *d == 2147483648.0)
            return core::Value(std::numeric_limits<std::int32_t>::min());
        return core::Value(slot.negate ? -*d : *d);
    }
    return number;
}

std::optional<core::Currency> currencyLiteral(std::string_view text, const LiteralSlot& slot) {
    if (slot.kind != LiteralKind::Real && slot.kind != LiteralKind::Integer) return std::nullopt;
    const std::string_view body = text.substr(slot.bodyStart, slot.bodyEnd - slot.bodyStart);
    std::int64_t units = 0;
    int significant = 0, decimals = -1; // -1: no point yet
    for (const char c : body) {
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (!isDigit(c)) return std::nullopt; // an exponent
        if (decimals >= 0 && ++decimals > 4) return std::nullopt;
        if (significant > 0 || c != '0') ++significant;
        // A double holds 15 significant digits exactly; 14 whole digits stay below the
        // largest amount a double converts to (9.3e14).
        if (significant > 15 || (decimals < 0 && significant > 14)) return std::nullopt;
        units = units * 10 + (c - '0');
    }
    for (int d = std::max(decimals, 0); d < 4; ++d) units *= 10;
    return core::Currency{slot.negate ? -units : units};
}

} // namespace sql
