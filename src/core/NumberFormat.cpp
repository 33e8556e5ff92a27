#include "core/NumberFormat.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace core {

namespace {

enum class Kind { Literal, Digit, Point, Comma, Percent, Exponent };

struct Token {
    Kind kind = Kind::Literal;
    std::string text;  // literals; "0" or "#" for digits; "E"/"e" for the exponent
    bool plus = false; // exponent always shows its sign
};

std::vector<std::string_view> splitSections(std::string_view f) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] == '"') {
            const std::size_t end = f.find('"', i + 1);
            i = end == std::string_view::npos ? f.size() - 1 : end;
        } else if (f[i] == '\\') {
            ++i;
        } else if (f[i] == ';') {
            sections.push_back(f.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(f.substr(start));
    return sections;
}

std::vector<Token> tokenize(std::string_view f) {
    std::vector<Token> tokens;
    bool pointSeen = false;
    const auto literal = [&](std::string_view text) {
        if (!tokens.empty() && tokens.back().kind == Kind::Literal)
            tokens.back().text += text;
        else
            tokens.push_back({Kind::Literal, std::string(text), false});
    };
    for (std::size_t i = 0; i < f.size(); ++i) {
        const char c = f[i];
        if (c == '"') {
            const std::size_t end = f.find('"', i + 1);
            literal(f.substr(i + 1, (end == std::string_view::npos ? f.size() : end) - i - 1));
            i = end == std::string_view::npos ? f.size() : end;
        } else if (c == '\\') {
            if (i + 1 < f.size()) literal(f.substr(++i, 1));
        } else if (c == '0' || c == '#') {
            tokens.push_back({Kind::Digit, std::string(1, c), false});
        } else if (c == '.' && !pointSeen) {
            pointSeen = true;
            tokens.push_back({Kind::Point, {}, false});
        } else if (c == ',') {
            tokens.push_back({Kind::Comma, {}, false});
        } else if (c == '%') {
            tokens.push_back({Kind::Percent, {}, false});
        } else if ((c == 'E' || c == 'e') && i + 1 < f.size() &&
                   (f[i + 1] == '+' || f[i + 1] == '-')) {
            tokens.push_back({Kind::Exponent, std::string(1, c), f[i + 1] == '+'});
            ++i;
        } else {
            literal(f.substr(i, 1));
        }
    }
    return tokens;
}

// Digits rounded half away from zero to `places` after the point: integer and fraction parts.
struct Rounded {
    std::string integer;  // no leading zeros; empty for zero
    std::string fraction; // exactly `places` digits
};

Rounded roundTo(const DecimalDigits& d, int places) {
    // Work on a digit string with exactly `places` digits after the point.
    std::string digits = d.digits == "0" ? std::string() : d.digits;
    int exponent = d.exponent;
    if (exponent > -places) {
        digits.append(std::size_t(exponent + places), '0');
    } else if (exponent < -places) {
        const std::size_t drop = std::size_t(-places - exponent);
        bool up = false;
        if (drop <= digits.size()) {
            up = digits[digits.size() - drop] >= '5';
            digits.erase(digits.size() - drop);
        } else {
            digits.clear();
        }
        if (up) {
            int k = int(digits.size()) - 1;
            for (; k >= 0 && digits[std::size_t(k)] == '9'; --k) digits[std::size_t(k)] = '0';
            if (k >= 0)
                ++digits[std::size_t(k)];
            else
                digits.insert(0, "1");
        }
    }
    if (int(digits.size()) < places) digits.insert(0, std::size_t(places) - digits.size(), '0');
    Rounded r;
    r.fraction = digits.substr(digits.size() - std::size_t(places));
    r.integer = digits.substr(0, digits.size() - std::size_t(places));
    r.integer.erase(0, std::min(r.integer.find_first_not_of('0'), r.integer.size()));
    return r;
}

std::string grouped(const std::string& digits) {
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string formatSection(DecimalDigits value, const std::vector<Token>& tokens, bool minus) {
    // Where the integer, fraction and exponent placeholders are.
    std::vector<std::size_t> integerSlots, fractionSlots;
    int exponentDigits = 0, percents = 0, scaling = 0;
    bool grouping = false, afterPoint = false, scientific = false;
    std::size_t exponentToken = tokens.size();
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token& t = tokens[k];
        if (t.kind == Kind::Percent) ++percents;
        if (t.kind == Kind::Point) afterPoint = true;
        if (t.kind == Kind::Exponent && !scientific) {
            scientific = true;
            exponentToken = k;
        }
        if (t.kind != Kind::Digit) continue;
        if (scientific)
            ++exponentDigits;
        else
            (afterPoint ? fractionSlots : integerSlots).push_back(k);
    }
    // Commas between integer placeholders group; commas after the last one, before the point,
    // scale by 1000 each ("#,##0,," shows millions).
    const auto point = std::find_if(tokens.begin(), tokens.end(),
                                    [](const Token& t) { return t.kind == Kind::Point; });
    const std::size_t integerEnd = std::min(std::size_t(point - tokens.begin()), exponentToken);
    for (std::size_t k = 0; k < integerEnd && !integerSlots.empty(); ++k) {
        if (tokens[k].kind != Kind::Comma) continue;
        if (k > integerSlots.front() && k < integerSlots.back())
            grouping = true;
        else if (k > integerSlots.back())
            ++scaling;
    }
    if (value.digits != "0") value.exponent += 2 * percents - 3 * scaling;

    const int places = int(fractionSlots.size());
    const int integerZeros =
        int(std::count_if(integerSlots.begin(), integerSlots.end(),
                          [&](std::size_t k) { return tokens[k].text == "0"; }));
    const int fractionZeros =
        int(std::count_if(fractionSlots.begin(), fractionSlots.end(),
                          [&](std::size_t k) { return tokens[k].text == "0"; }));

    int exponentValue = 0;
    if (scientific && value.digits != "0") {
        const int leading = std::max<int>(1, int(integerSlots.size()));
        exponentValue = int(value.digits.size()) + value.exponent - leading;
        value.exponent -= exponentValue;
        // Rounding can carry into a new leading digit (9.99 -> 10.0): shift once more.
        if (int(roundTo(value, places).integer.size()) > leading) {
            ++exponentValue;
            --value.exponent;
        }
    }
    Rounded r = roundTo(value, places);
    const bool allZero =
        r.integer.empty() && r.fraction.find_first_not_of('0') == std::string::npos;
    std::string integer = r.integer;
    if (int(integer.size()) < integerZeros)
        integer.insert(0, std::size_t(integerZeros) - integer.size(), '0');
    std::string fraction = r.fraction;
    while (int(fraction.size()) > fractionZeros && fraction.back() == '0') fraction.pop_back();

    std::string out = minus && !allZero ? "-" : "";
    const std::size_t slots = integerSlots.size();
    std::size_t integerIndex = 0, fractionIndex = 0;
    bool inExponent = false;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token& t = tokens[k];
        switch (t.kind) {
        case Kind::Literal:
            out += t.text;
            break;
        case Kind::Point:
            out += '.';
            break;
        case Kind::Percent:
            out += '%';
            break;
        case Kind::Comma:
            break;
        case Kind::Exponent: {
            inExponent = true;
            out += t.text;
            if (exponentValue < 0)
                out += '-';
            else if (t.plus)
                out += '+';
            std::string e = std::to_string(std::abs(exponentValue));
            if (int(e.size()) < exponentDigits)
                e.insert(0, std::size_t(exponentDigits) - e.size(), '0');
            out += e;
            break;
        }
        case Kind::Digit:
            if (inExponent) break;
            if (integerIndex < slots && k == integerSlots[integerIndex]) {
                // Right-aligned: the first slot takes every extra leading digit.
                const std::size_t j = integerIndex++;
                const std::size_t fromEnd = slots - j; // this slot's place from the right
                if (grouping) {
                    if (j == 0) out += grouped(integer);
                } else if (j == 0) {
                    if (integer.size() >= fromEnd)
                        out += integer.substr(0, integer.size() - fromEnd + 1);
                } else if (integer.size() >= fromEnd) {
                    out += integer[integer.size() - fromEnd];
                }
            } else {
                if (fractionIndex < fraction.size()) out += fraction[fractionIndex];
                ++fractionIndex;
            }
            break;
        }
    }
    return out;
}

} // namespace

std::string formatNumber(const DecimalDigits& value, std::string_view format) {
    const std::vector<std::string_view> sections = splitSections(format);
    const bool zero = value.digits == "0";
    std::string_view section = sections[0];
    bool minus = value.negative && !zero;
    if (value.negative && !zero && sections.size() >= 2 && !sections[1].empty()) {
        section = sections[1];
        minus = false;
    } else if (zero && sections.size() >= 3 && !sections[2].empty()) {
        section = sections[2];
    }
    DecimalDigits magnitude = value;
    magnitude.negative = false;
    return formatSection(magnitude, tokenize(section), minus);
}

std::optional<std::string> nullSection(std::string_view format) {
    const std::vector<std::string_view> sections = splitSections(format);
    if (sections.size() < 4) return std::nullopt;
    return formatSection(DecimalDigits{}, tokenize(sections[3]), false);
}

bool hasDigitPlaceholders(std::string_view format) {
    const std::vector<Token> tokens = tokenize(format);
    return std::any_of(tokens.begin(), tokens.end(),
                       [](const Token& t) { return t.kind == Kind::Digit; });
}

} // namespace core
