#include "data/ParameterScan.h"

namespace data {
namespace {

// What closes a protected stretch opened by c, or '\0' when c opens none. Besides the three
// quotes, a #date time# literal and a [bracketed name] are protected too: their colons are
// a time's and a name's, not parameters (taken literally they broke every time literal).
char closerOf(char c) {
    switch (c) {
    case '\'':
    case '"':
    case '`':
    case '#':
        return c;
    case '[':
        return ']';
    default:
        return '\0';
    }
}

bool endsName(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == ',' || c == ';' || c == ')';
}

} // namespace

ScanResult scanParameters(std::string_view text) {
    ScanResult result;
    result.text.reserve(text.size());
    char openQuote = '\0';
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (openQuote != '\0') {
            // A doubled quote inside a string closes and reopens it, which copies the same bytes.
            if (c == openQuote) openQuote = '\0';
            result.text += c;
            ++pos;
        } else if (closerOf(c) != '\0') {
            openQuote = closerOf(c);
            result.text += c;
            ++pos;
        } else if (c != ':') {
            result.text += c;
            ++pos;
        } else if (pos + 1 < text.size() && text[pos + 1] == ':') {
            result.text += ':';
            pos += 2;
        } else {
            const std::size_t start = pos + 1;
            std::size_t end = start;
            while (end < text.size() && !endsName(text[end])) ++end;
            result.parameterNames.emplace_back(text.substr(start, end - start));
            result.text += '?';
            pos = end; // the terminator is ordinary text and is copied on the next pass
        }
    }
    return result;
}

} // namespace data
