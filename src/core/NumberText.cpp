#include "core/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <system_error>

namespace core {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

void normalise(DecimalDigits& d) {
    const std::size_t first = d.digits.find_first_not_of('0');
    if (first == std::string::npos) {
        d = DecimalDigits{};
        return;
    }
    d.digits.erase(0, first);
    while (d.digits.size() > 1 && d.digits.back() == '0') {
        d.digits.pop_back();
        ++d.exponent;
    }
}

int hexDigit(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "&H" and "&O" numbers are 16-bit when they fit four hex digits (six octal), else 32-bit,
// and negative when their top bit is set, as VBA's literals are.
std::optional<std::int64_t> radixInteger(std::string_view s, int radix) {
    if (s.empty() || s.size() > (radix == 16 ? 8u : 11u)) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : s) {
        const int digit = hexDigit(c);
        if (digit < 0 || digit >= radix) return std::nullopt;
        v = v * std::uint64_t(radix) + std::uint64_t(digit);
    }
    if (v > 0xFFFFFFFFu) return std::nullopt;
    if (v <= 0xFFFF) return std::int64_t(std::int16_t(std::uint16_t(v)));
    return std::int64_t(std::int32_t(std::uint32_t(v)));
}

DecimalDigits fromInteger(std::int64_t v) {
    DecimalDigits d;
    d.negative = v < 0;
    const std::uint64_t magnitude = v < 0 ? std::uint64_t(0) - std::uint64_t(v) : std::uint64_t(v);
    d.digits = std::to_string(magnitude);
    normalise(d);
    return d;
}

} // namespace

DecimalDigits significantDigits(double value, int precision) {
    DecimalDigits d;
    if (value == 0 || !std::isfinite(value)) return d;
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific, precision - 1);
    const std::string_view text(buffer.data(), std::size_t(result.ptr - buffer.data()));
    std::size_t pos = 0;
    if (text[pos] == '-') {
        d.negative = true;
        ++pos;
    }
    d.digits.clear();
    for (; pos < text.size() && text[pos] != 'e'; ++pos)
        if (isDigit(text[pos])) d.digits.push_back(text[pos]);
    int exponent = 0;
    std::from_chars(text.data() + pos + 1 + (text[pos + 1] == '+'), text.data() + text.size(),
                    exponent);
    d.exponent = exponent - int(d.digits.size()) + 1;
    normalise(d);
    return d;
}

std::optional<DecimalDigits> parseNumericText(std::string_view text) {
    std::string_view s = trimBlanks(text);
    if (s.size() > 2 && s[0] == '&') {
        const char kind = s[1];
        if (kind == 'h' || kind == 'H' || kind == 'o' || kind == 'O') {
            const auto v = radixInteger(s.substr(2), (kind == 'h' || kind == 'H') ? 16 : 8);
            if (!v) return std::nullopt;
            return fromInteger(*v);
        }
    }
    DecimalDigits d;
    bool parenthesised = false;
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
        parenthesised = true;
        s = trimBlanks(s.substr(1, s.size() - 2));
    }
    if (!s.empty() && s.front() == '$') s = trimBlanks(s.substr(1));
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        d.negative = s.front() == '-';
        s.remove_prefix(1);
        if (parenthesised) return std::nullopt;
    }
    d.negative = d.negative || parenthesised;
    if (!s.empty() && s.front() == '$') s.remove_prefix(1);

    d.digits.clear();
    bool anyDigit = false;
    std::size_t i = 0;
    // Thousands commas are accepted between integer digits only.
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            d.digits.push_back(s[i]);
            anyDigit = true;
        } else if (s[i] == ',' && anyDigit && i + 1 < s.size() && isDigit(s[i + 1])) {
            continue;
        } else {
            break;
        }
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i) {
            d.digits.push_back(s[i]);
            --d.exponent;
            anyDigit = true;
        }
    }
    if (!anyDigit) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativeExponent = s[i++] == '-';
        if (i == s.size() || !isDigit(s[i])) return std::nullopt;
        int exponent = 0;
        for (; i < s.size() && isDigit(s[i]); ++i)
            exponent = std::min(exponent * 10 + (s[i] - '0'), 100000);
        d.exponent += negativeExponent ? -exponent : exponent;
    }
    if (i != s.size()) return std::nullopt;
    normalise(d);
    return d;
}

std::optional<double> digitsToDouble(const DecimalDigits& d) {
    if (d.digits == "0") return 0.0;
    // Far outside the range the answer is known without parsing a huge exponent.
    const long magnitude = long(d.digits.size()) + d.exponent;
    if (magnitude > 400) return std::nullopt;
    if (magnitude < -400) return 0.0;
    const std::string text = d.digits + "e" + std::to_string(d.exponent);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (magnitude > 0) return std::nullopt;
        value = 0; // underflow: Jet reads it as zero
    }
    return d.negative ? -value : value;
}

std::optional<double> parseNumber(std::string_view text) {
    const auto digits = parseNumericText(text);
    if (!digits) return std::nullopt;
    return digitsToDouble(*digits);
}

double valOf(std::string_view text) {
    std::string compact;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') compact.push_back(c);
    std::string_view s = compact;
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'h' || s[1] == 'H' || s[1] == 'o' || s[1] == 'O')) {
        const int radix = (s[1] == 'h' || s[1] == 'H') ? 16 : 8;
        std::size_t end = 2;
        while (end < s.size() && hexDigit(s[end]) >= 0 && hexDigit(s[end]) < radix) ++end;
        const auto v = radixInteger(s.substr(2, end - 2), radix);
        return v ? double(*v) : 0.0;
    }
    std::size_t end = 0;
    if (end < s.size() && (s[end] == '+' || s[end] == '-')) ++end;
    while (end < s.size() && isDigit(s[end])) ++end;
    if (end < s.size() && s[end] == '.')
        for (++end; end < s.size() && isDigit(s[end]);) ++end;
    // An exponent counts only when digits follow it.
    if (end < s.size() && (s[end] == 'e' || s[end] == 'E' || s[end] == 'd' || s[end] == 'D')) {
        std::size_t e = end + 1;
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
        if (e < s.size() && isDigit(s[e])) {
            while (e < s.size() && isDigit(s[e])) ++e;
            end = e;
        }
    }
    const auto number = parseNumericText(s.substr(0, end));
    if (!number) return 0.0;
    return digitsToDouble(*number).value_or(0.0);
}

namespace {

std::string formatSignificant(const DecimalDigits& d, int precision) {
    if (d.digits == "0") return "0";
    const int length = int(d.digits.size());
    const int scientificExponent = d.exponent + length - 1;
    std::string out = d.negative ? "-" : "";
    if (scientificExponent < -4 || scientificExponent >= precision) {
        out += d.digits[0];
        if (length > 1) out += "." + d.digits.substr(1);
        out += scientificExponent < 0 ? "E-" : "E+";
        const int e = std::abs(scientificExponent);
        if (e < 10) out += '0';
        out += std::to_string(e);
        return out;
    }
    if (d.exponent >= 0) return out + d.digits + std::string(std::size_t(d.exponent), '0');
    const int integerDigits = length + d.exponent;
    if (integerDigits <= 0)
        return out + "0." + std::string(std::size_t(-integerDigits), '0') + d.digits;
    return out + d.digits.substr(0, std::size_t(integerDigits)) + "." +
           d.digits.substr(std::size_t(integerDigits));
}

} // namespace

std::string formatVbaDouble(double value) {
    return formatSignificant(significantDigits(value, 15), 15);
}

std::string formatVbaSingle(float value) {
    return formatSignificant(significantDigits(double(value), 7), 7);
}

std::string trimFraction(std::string text) {
    if (text.find('.') == std::string::npos) return text;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (text == "-0") text = "0";
    return text;
}

} // namespace core
