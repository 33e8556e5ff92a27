#include "jet/rows/ValueText.h"

#include "core/Conversions.h"
#include "core/NumberText.h"
#include "core/TextEncoding.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace jet {

namespace {

using core::DataType;

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

template <class T> std::string shortestPlain(T value) {
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string_view s(buffer, static_cast<std::size_t>(result.ptr - buffer));
    std::string out;
    if (!s.empty() && s.front() == '-') {
        out.push_back('-');
        s.remove_prefix(1);
    }
    const std::size_t e = s.find('e');
    std::string digits;
    for (char ch : s.substr(0, e))
        if (ch != '.') digits.push_back(ch);
    int exponent = 0;
    std::string_view exponentText = s.substr(e + 1);
    if (!exponentText.empty() && exponentText.front() == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    // digits are d.ddd * 10^exponent
    if (exponent >= 0) {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() < integerDigits) digits.append(integerDigits - digits.size(), '0');
        out += digits.substr(0, integerDigits);
        if (digits.size() > integerDigits) out += "." + digits.substr(integerDigits);
    } else {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    return out;
}

// The calendar forms people type: 2001-02-03[ 13:04[:05]], 2/3/2001[ 1:04[:05] PM], 13:04.
class DateTextReader {
public:
    explicit DateTextReader(std::string_view s) : s_(s) {}

    std::optional<core::DateTime> read() {
        core::CivilDateTime c;
        if (looksLikeTime()) {
            if (!time(c) || !atEnd()) return std::nullopt;
        } else {
            if (!date(c)) return std::nullopt;
            if (!atEnd()) {
                if (s_[pos_] != ' ' && s_[pos_] != 'T') return std::nullopt;
                while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == 'T')) ++pos_;
                if (!time(c) || !atEnd()) return std::nullopt;
            }
        }
        if (c.year < 100 || !core::isValidCivil(c)) return std::nullopt;
        return core::fromCivil(c);
    }

private:
    bool looksLikeTime() const {
        std::size_t k = pos_;
        while (k < s_.size() && std::isdigit(static_cast<unsigned char>(s_[k]))) ++k;
        return k < s_.size() && s_[k] == ':';
    }

    std::optional<int> number(std::size_t minDigits, std::size_t maxDigits) {
        std::size_t start = pos_;
        int value = 0;
        while (pos_ < s_.size() && pos_ - start < maxDigits &&
               std::isdigit(static_cast<unsigned char>(s_[pos_])))
            value = value * 10 + (s_[pos_++] - '0');
        if (pos_ - start < minDigits) return std::nullopt;
        return value;
    }

    bool eat(char ch) {
        if (pos_ >= s_.size() || s_[pos_] != ch) return false;
        ++pos_;
        return true;
    }

    bool atEnd() const { return pos_ == s_.size(); }

    bool date(core::CivilDateTime& c) {
        auto first = number(1, 4);
        if (!first) return false;
        if (eat('-')) { // ISO: year-month-day
            auto month = number(1, 2);
            if (!month || !eat('-')) return false;
            auto day = number(1, 2);
            if (!day) return false;
            c.year = *first;
            c.month = *month;
            c.day = *day;
            return true;
        }
        if (!eat('/')) return false; // US: month/day/year
        auto day = number(1, 2);
        if (!day || !eat('/')) return false;
        auto year = number(4, 4);
        if (!year) return false;
        c.month = *first;
        c.day = *day;
        c.year = *year;
        return true;
    }

    bool time(core::CivilDateTime& c) {
        auto hour = number(1, 2);
        if (!hour || !eat(':')) return false;
        auto minute = number(2, 2);
        if (!minute) return false;
        c.hour = *hour;
        c.minute = *minute;
        if (eat(':')) {
            auto second = number(2, 2);
            if (!second) return false;
            c.second = *second;
            if (eat('.')) {
                std::size_t start = pos_;
                auto fraction = number(1, 3);
                if (!fraction) return false;
                for (std::size_t k = pos_ - start; k < 3; ++k) *fraction *= 10;
                c.millisecond = *fraction;
            }
        }
        eat(' ');
        std::string rest = lowered(s_.substr(pos_));
        if (rest == "am" || rest == "pm") {
            if (c.hour < 1 || c.hour > 12) return false;
            c.hour = c.hour % 12 + (rest == "pm" ? 12 : 0);
            pos_ = s_.size();
        }
        return true;
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

std::string upperExponent(std::string s) {
    for (char& ch : s)
        if (ch == 'e') ch = 'E';
    return s;
}

// Access's general date in the US style: the date, the time, or both.
std::string generalDate(core::DateTime dt) {
    const core::CivilDateTime c = core::toCivil(dt);
    const bool hasDate = !(c.year == 1899 && c.month == 12 && c.day == 30);
    const bool hasTime = c.hour != 0 || c.minute != 0 || c.second != 0;
    char text[48];
    int n = 0;
    if (hasDate) n = std::snprintf(text, sizeof text, "%d/%d/%04d", c.month, c.day, c.year);
    if (hasTime || !hasDate) {
        const int hour12 = c.hour % 12 == 0 ? 12 : c.hour % 12;
        std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), "%s%d:%02d:%02d %s",
                      hasDate ? " " : "", hour12, c.minute, c.second, c.hour < 12 ? "AM" : "PM");
    }
    return text;
}

} // namespace

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::optional<double> numberInText(std::string_view text) {
    std::string_view s = trimBlanks(text);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty() || s.find_first_not_of("0123456789.eE+-") != std::string_view::npos)
        return std::nullopt;
    double d = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
    if (end != s.data() + s.size()) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // Underflow is reported the same way; a negative exponent tells it apart.
        const std::size_t e = s.find_first_of("eE");
        if (e != std::string_view::npos && e + 1 < s.size() && s[e + 1] == '-') return 0.0;
        return s.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    if (ec != std::errc()) return std::nullopt;
    return d;
}

std::string plainDecimal(double value) {
    return shortestPlain(value);
}

std::string plainDecimal(float value) {
    return shortestPlain(value);
}

std::optional<core::DateTime> dateInText(std::string_view text) {
    return DateTextReader(trimBlanks(text)).read();
}

std::string columnText(const core::Value& v) {
    switch (v.type()) {
    case DataType::Null:
        return {};
    case DataType::Boolean:
        return v.get<bool>() ? "True" : "False";
    case DataType::Byte:
        return std::to_string(v.get<std::uint8_t>());
    case DataType::Integer:
        return std::to_string(v.get<std::int16_t>());
    case DataType::Long:
        return std::to_string(v.get<std::int32_t>());
    case DataType::Currency:
        return core::trimFraction(core::formatCurrency(v.get<core::Currency>()));
    case DataType::Single:
        return upperExponent(core::formatSingle(v.get<float>()));
    case DataType::Double:
        return upperExponent(core::formatDouble(v.get<double>()));
    case DataType::DateTime:
        return generalDate(v.get<core::DateTime>());
    case DataType::Text:
        return v.get<std::string>();
    case DataType::Binary:
        return core::utf16leToUtf8(v.get<core::Bytes>());
    case DataType::Guid: {
        std::string text = core::formatGuid(v.get<core::Guid>());
        for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return "{" + text + "}";
    }
    case DataType::Decimal:
        return core::trimFraction(core::formatDecimal(v.get<core::Decimal>()));
    }
    return {};
}

} // namespace jet
