#include "data/LocaleFormats.h"

#include "core/Conversions.h"
#include "core/DateFormat.h"
#include "core/DateParts.h"
#include "core/DateText.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace data {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The positions of day, month and year in the short date format, as the letters first
// appear outside quoted literals; "mdy" when the format names them in no usable way.
std::string dateOrder(std::string_view format) {
    std::string order;
    bool quoted = false;
    for (char c : format) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        char u = upper(c);
        if ((u == 'D' || u == 'M' || u == 'Y') && order.find(u) == std::string::npos) order += u;
    }
    return order.size() == 3 ? order : "MDY";
}

// A hand-written reader for the numeric forms the locale's own formats produce.
class Reader {
public:
    explicit Reader(std::string_view text) : s_(text) {}

    bool atEnd() const { return pos_ >= s_.size(); }
    void skipBlanks() {
        while (!atEnd() && isBlank(s_[pos_])) ++pos_;
    }
    // Up to 4 digits; nullopt when there are none or more.
    std::optional<int> number(int* digits = nullptr) {
        std::size_t start = pos_;
        int value = 0;
        while (!atEnd() && isDigit(s_[pos_]) && pos_ - start < 5) {
            value = value * 10 + (s_[pos_] - '0');
            ++pos_;
        }
        std::size_t n = pos_ - start;
        if (n == 0 || n > 4) return std::nullopt;
        if (digits) *digits = static_cast<int>(n);
        return value;
    }
    bool accept(char c) {
        if (atEnd() || s_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    std::optional<char> dateSeparator() {
        if (atEnd()) return std::nullopt;
        char c = s_[pos_];
        if (c != '/' && c != '-' && c != '.') return std::nullopt;
        ++pos_;
        return c;
    }
    bool peekTime() const {
        // A time starts with digits followed by ":".
        std::size_t i = pos_;
        while (i < s_.size() && isDigit(s_[i])) ++i;
        return i > pos_ && i < s_.size() && s_[i] == ':';
    }
    // "AM" or "PM" without regard to case: 0 for AM, 12 for PM, -1 for neither.
    int meridiem() {
        if (s_.size() - pos_ < 2) return -1;
        char a = upper(s_[pos_]), m = upper(s_[pos_ + 1]);
        if (m != 'M' || (a != 'A' && a != 'P')) return -1;
        pos_ += 2;
        return a == 'A' ? 0 : 12;
    }

private:
    std::string_view s_;
    std::size_t pos_ = 0;
};

struct TimeOfDay {
    int hour = 0, minute = 0, second = 0;
};

std::optional<TimeOfDay> readTime(Reader& r) {
    auto h = r.number();
    if (!h || !r.accept(':')) return std::nullopt;
    auto m = r.number();
    if (!m) return std::nullopt;
    int s = 0;
    if (r.accept(':')) {
        auto sec = r.number();
        if (!sec) return std::nullopt;
        s = *sec;
    }
    r.skipBlanks();
    int hour = *h;
    if (!r.atEnd()) {
        int offset = r.meridiem();
        if (offset < 0 || hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + offset;
    }
    if (hour > 23 || *m > 59 || s > 59) return std::nullopt;
    return TimeOfDay{hour, *m, s};
}

std::optional<core::DateTime> readLocaleForm(std::string_view text, const LocaleFormats& formats) {
    Reader r(text);
    core::CivilDateTime c;
    bool haveDate = false;
    if (!r.peekTime()) {
        std::array<int, 3> parts{};
        std::array<int, 3> digits{};
        for (std::size_t i = 0; i < 3; ++i) {
            auto n = r.number(&digits[i]);
            if (!n) return std::nullopt;
            parts[i] = *n;
            if (i < 2 && !r.dateSeparator()) return std::nullopt;
        }
        std::string order = dateOrder(formats.shortDate);
        for (std::size_t i = 0; i < 3; ++i) {
            switch (order[i]) {
            case 'D':
                c.day = parts[i];
                break;
            case 'M':
                c.month = parts[i];
                break;
            default:
                c.year = digits[i] <= 2 ? core::expandTwoDigitYear(parts[i]) : parts[i];
                break;
            }
        }
        haveDate = true;
        r.skipBlanks();
    }
    if (!r.atEnd()) {
        auto t = readTime(r);
        if (!t || !r.atEnd()) return std::nullopt;
        c.hour = t->hour;
        c.minute = t->minute;
        c.second = t->second;
    } else if (!haveDate) {
        return std::nullopt;
    }
    if (!core::isValidCivil(c)) return std::nullopt;
    return core::fromCivil(c);
}

// Digits of a non-negative whole number with "," between groups of three.
std::string groupThousands(std::uint64_t n) {
    std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

} // namespace

std::string formatDateTime(core::DateTime value, const LocaleFormats& formats) {
    const double whole = std::trunc(value.days);
    const bool hasTime = value.days != whole;
    if (whole == 0 && hasTime) return core::formatDate(value, formats.longTime, 1, 1);
    std::string text = core::formatDate(value, formats.shortDate, 1, 1);
    if (hasTime) text += " " + core::formatDate(value, formats.longTime, 1, 1);
    return text;
}

std::optional<core::DateTime> parseDateTime(std::string_view text, const LocaleFormats& formats) {
    text = trim(text);
    if (text.empty()) return std::nullopt;
    if (auto v = readLocaleForm(text, formats)) return v;
    return core::parseDateText(text);
}

std::string formatCurrencyDisplay(core::Currency value, const LocaleFormats& formats) {
    const int decimals = formats.currencyDecimals < 0   ? 0
                         : formats.currencyDecimals > 4 ? 4
                                                        : formats.currencyDecimals;
    const bool negative = value.units < 0;
    // Magnitude in ten-thousandths, rounded half away from zero to the shown decimals.
    std::uint64_t units = negative ? 0 - static_cast<std::uint64_t>(value.units)
                                   : static_cast<std::uint64_t>(value.units);
    std::uint64_t step = 1;
    for (int i = decimals; i < 4; ++i) step *= 10;
    units = (units + step / 2) / step;
    std::uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    std::string text = formats.currencySymbol + groupThousands(units / scale);
    if (decimals > 0) {
        std::string fraction = std::to_string(units % scale);
        text +=
            "." + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return negative ? "(" + text + ")" : text;
}

} // namespace data
