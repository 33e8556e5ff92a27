#include "core/FixedPoint.h"

#include <algorithm>

namespace core::fixed {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Accumulates digits without ever wrapping: once past the limit the value only has to be
// known as "too big", while the rest of the text is still checked for validity.
struct Accumulator {
    u128 limit;
    u128 value = 0;
    bool overflow = false;

    void push(unsigned digit) {
        if (overflow) return;
        value = value * 10 + digit;
        overflow = value > limit;
    }
};

} // namespace

u128 powerOfTen(unsigned n) {
    u128 p = 1;
    for (unsigned i = 0; i < n; ++i) p *= 10;
    return p;
}

Parsed parse(std::string_view text, unsigned scale, u128 limit) {
    Parsed result;
    std::string_view s = trimmed(text);
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        result.negative = s.front() == '-';
        s.remove_prefix(1);
    }

    Accumulator acc{limit};
    std::size_t i = 0;
    std::size_t digits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++digits) acc.push(unsigned(s[i] - '0'));

    unsigned fractionDigits = 0;
    bool roundUp = false;
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i, ++digits) {
            const unsigned digit = unsigned(s[i] - '0');
            if (fractionDigits < scale)
                acc.push(digit);
            else if (fractionDigits == scale)
                roundUp = digit >= 5;
            ++fractionDigits;
        }
    }
    if (digits == 0 || i != s.size()) return result; // Invalid

    for (unsigned k = std::min(fractionDigits, scale); k < scale; ++k) acc.push(0);
    if (roundUp && !acc.overflow) {
        ++acc.value;
        acc.overflow = acc.value > limit;
    }
    result.magnitude = acc.value;
    result.status = acc.overflow ? ParseStatus::Overflow : ParseStatus::Ok;
    return result;
}

std::string format(bool negative, u128 magnitude, unsigned scale) {
    // Digits are produced least significant first, then reversed.
    std::string digits;
    digits.reserve(scale + 42);
    do {
        digits.push_back(char('0' + unsigned(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude != 0);
    if (digits.size() <= scale) digits.append(scale + 1 - digits.size(), '0');

    std::string out;
    out.reserve(digits.size() + 2);
    if (negative && digits.find_first_not_of('0') != std::string::npos) out.push_back('-');
    const std::size_t integerDigits = digits.size() - scale;
    for (std::size_t k = 0; k < digits.size(); ++k) {
        if (k == integerDigits) out.push_back('.');
        out.push_back(digits[digits.size() - 1 - k]);
    }
    return out;
}

} // namespace core::fixed
