#include "core/DateFormat.h"

#include "core/DateParts.h"
#include "core/DateText.h"

#include <vector>

namespace core {

namespace {

enum class Code {
    Literal,
    Day,    // count 1..6
    Week,   // count 1 (weekday number) or 2 (week of year)
    Month,  // count 1..4, or minutes once resolved
    Minute, // count 1..2
    Quarter,
    Year,     // count 1 (day of year), 2, 4
    Hour,     // count 1..2
    Second,   // count 1..2
    LongTime, // ttttt
    General,  // c
    Meridiem, // text holds the format's spelling
};

struct Token {
    Code code = Code::Literal;
    int count = 0;
    std::string text;
};

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lower(s[i]) != prefix[i]) return false;
    return true;
}

// Length of an AM/PM, A/P or AMPM code at the start, 0 for none.
std::size_t meridiemLength(std::string_view s) {
    for (std::string_view spelling : {"am/pm", "a/p", "ampm"})
        if (startsWithNoCase(s, spelling)) return spelling.size();
    return 0;
}

int runLength(std::string_view f, std::size_t i) {
    int n = 0;
    while (i + std::size_t(n) < f.size() && lower(f[i + std::size_t(n)]) == lower(f[i])) ++n;
    return n;
}

void appendLiteral(std::vector<Token>& tokens, std::string_view text) {
    if (!tokens.empty() && tokens.back().code == Code::Literal)
        tokens.back().text += text;
    else
        tokens.push_back({Code::Literal, 0, std::string(text)});
}

std::vector<Token> tokenize(std::string_view f) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < f.size();) {
        const char c = lower(f[i]);
        if (f[i] == '"') {
            const std::size_t end = f.find('"', i + 1);
            appendLiteral(
                tokens, f.substr(i + 1, (end == std::string_view::npos ? f.size() : end) - i - 1));
            i = end == std::string_view::npos ? f.size() : end + 1;
            continue;
        }
        if (f[i] == '\\') {
            if (i + 1 < f.size()) appendLiteral(tokens, f.substr(i + 1, 1));
            i += 2;
            continue;
        }
        if (const std::size_t length = meridiemLength(f.substr(i)); length != 0) {
            tokens.push_back({Code::Meridiem, 0, std::string(f.substr(i, length))});
            i += length;
            continue;
        }
        {
            const int run = runLength(f, i);
            int take = 0;
            Code code = Code::Literal;
            switch (c) {
            case 'd':
                code = Code::Day, take = std::min(run, 6);
                break;
            case 'w':
                code = Code::Week, take = std::min(run, 2);
                break;
            case 'm':
                code = Code::Month, take = std::min(run, 4);
                break;
            case 'n':
                code = Code::Minute, take = std::min(run, 2);
                break;
            case 'q':
                code = Code::Quarter, take = 1;
                break;
            case 'y':
                code = Code::Year, take = run >= 4 ? 4 : run >= 2 ? 2 : 1;
                break;
            case 'h':
                code = Code::Hour, take = std::min(run, 2);
                break;
            case 's':
                code = Code::Second, take = std::min(run, 2);
                break;
            case 't':
                if (run >= 5) code = Code::LongTime, take = 5;
                break;
            case 'c':
                code = Code::General, take = 1;
                break;
            default:
                break;
            }
            if (code == Code::Literal) {
                appendLiteral(tokens, f.substr(i, 1));
                ++i;
            } else {
                tokens.push_back({code, take, {}});
                i += std::size_t(take);
            }
        }
    }
    // "m" right after an hour, or right before a second, counts minutes.
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        if (tokens[k].code != Code::Month || tokens[k].count > 2) continue;
        const auto neighbour = [&](std::ptrdiff_t step) -> const Token* {
            for (std::ptrdiff_t j = std::ptrdiff_t(k) + step;
                 j >= 0 && j < std::ptrdiff_t(tokens.size()); j += step)
                if (tokens[std::size_t(j)].code != Code::Literal) return &tokens[std::size_t(j)];
            return nullptr;
        };
        const Token* before = neighbour(-1);
        const Token* after = neighbour(1);
        if ((before && before->code == Code::Hour) || (after && after->code == Code::Second))
            tokens[k].code = Code::Minute;
    }
    return tokens;
}

std::string padded(int value, int width) {
    std::string s = std::to_string(value);
    if (int(s.size()) < width) s.insert(0, std::size_t(width) - s.size(), '0');
    return s;
}

std::string meridiem(const std::string& spelling, int hour) {
    const bool pm = hour >= 12;
    if (lower(spelling[0]) == 'a' && spelling.size() == 4) return pm ? "PM" : "AM"; // AMPM
    if (spelling.size() == 3) {                                                     // A/P or a/p
        const char c = spelling[pm ? 2 : 0];
        return std::string(1, c);
    }
    return spelling.substr(pm ? 3 : 0, 2); // AM/PM in the format's own case
}

} // namespace

bool hasDateCodes(std::string_view format) {
    for (const Token& t : tokenize(format))
        if (t.code != Code::Literal) return true;
    return false;
}

std::string formatDate(core::DateTime dt, std::string_view format, int firstDayOfWeek,
                       int firstWeekOfYear) {
    const std::vector<Token> tokens = tokenize(format);
    bool twelveHour = false;
    for (const Token& t : tokens) twelveHour = twelveHour || t.code == Code::Meridiem;
    const DateParts p = splitDate(dt);
    std::string out;
    for (const Token& t : tokens) {
        switch (t.code) {
        case Code::Literal:
            out += t.text;
            break;
        case Code::Day:
            if (t.count <= 2)
                out += padded(p.day, t.count);
            else if (t.count <= 4)
                out += weekdayName(weekdayOf(p.dayNumber, 1), t.count == 3);
            else if (t.count == 5)
                out += formatShortDate(dt);
            else
                out += formatDate(dt, "dddd, mmmm d, yyyy", firstDayOfWeek, firstWeekOfYear);
            break;
        case Code::Week:
            out += std::to_string(t.count == 1 ? weekdayOf(p.dayNumber, firstDayOfWeek)
                                               : weekOfYear(p, firstDayOfWeek, firstWeekOfYear));
            break;
        case Code::Month:
            if (t.count <= 2)
                out += padded(p.month, t.count);
            else
                out += monthName(p.month, t.count == 3);
            break;
        case Code::Minute:
            out += padded(p.minute, t.count);
            break;
        case Code::Quarter:
            out += std::to_string((p.month - 1) / 3 + 1);
            break;
        case Code::Year:
            if (t.count == 1)
                out += std::to_string(dayOfYear(p));
            else if (t.count == 2)
                out += padded(p.year % 100, 2);
            else
                out += std::to_string(p.year);
            break;
        case Code::Hour: {
            const int hour = twelveHour ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;
            out += padded(hour, t.count);
            break;
        }
        case Code::Second:
            out += padded(p.second, t.count);
            break;
        case Code::LongTime:
            out += formatLongTime(dt);
            break;
        case Code::General:
            out += formatGeneralDate(dt);
            break;
        case Code::Meridiem:
            out += meridiem(t.text, p.hour);
            break;
        }
    }
    return out;
}

} // namespace core
