#include "core/DateText.h"

#include "core/Conversions.h"
#include "core/DateParts.h"
#include "core/TextUnits.h"

#include <array>
#include <vector>

namespace core {

namespace {

constexpr std::array<std::string_view, 12> monthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> weekdayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

enum class TokenKind { Number, Word, Colon, Point, Separator };

struct Token {
    TokenKind kind = TokenKind::Separator;
    int value = 0;    // numbers
    int digits = 0;   // numbers
    std::string word; // words, lowercase
};

Token token(TokenKind kind) {
    Token t;
    t.kind = kind;
    return t;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::optional<std::vector<Token>> tokenize(std::string_view text) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (isDigit(c)) {
            Token t = token(TokenKind::Number);
            for (; i < text.size() && isDigit(text[i]); ++i) {
                if (++t.digits > 9) return std::nullopt;
                t.value = t.value * 10 + (text[i] - '0');
            }
            tokens.push_back(t);
        } else if (isLetter(c)) {
            Token t = token(TokenKind::Word);
            for (; i < text.size() && isLetter(text[i]); ++i) t.word.push_back(text[i]);
            t.word = lowerCase(t.word);
            tokens.push_back(t);
        } else if (c == ':') {
            tokens.push_back(token(TokenKind::Colon));
            ++i;
        } else if (c == '.') {
            tokens.push_back(token(TokenKind::Point));
            ++i;
        } else if (c == '/' || c == '-' || c == ',' || c == ' ' || c == '\t') {
            if (c != ' ' && c != '\t') tokens.push_back(token(TokenKind::Separator));
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

int monthFromWord(const std::string& word) {
    for (std::size_t m = 0; m < monthNames.size(); ++m) {
        const std::string full = lowerCase(monthNames[m]);
        if (word == full || (word.size() >= 3 && full.compare(0, word.size(), word) == 0))
            return int(m) + 1;
    }
    return 0;
}

bool isWeekdayWord(const std::string& word) {
    for (std::string_view name : weekdayNames) {
        const std::string full = lowerCase(name);
        if (word == full || (word.size() == 3 && full.compare(0, 3, word) == 0)) return true;
    }
    return false;
}

struct TimeOfDay {
    int hour = 0, minute = 0, second = 0;
    bool present = false;
};

// Takes "h:mm[:ss[.fff]] [AM|PM]" or "h AM|PM" out of the tokens.
std::optional<TimeOfDay> extractTime(std::vector<Token>& tokens) {
    TimeOfDay t;
    std::size_t begin = tokens.size(), end = tokens.size();
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != TokenKind::Number) continue;
        const bool colon = i + 2 < tokens.size() && tokens[i + 1].kind == TokenKind::Colon &&
                           tokens[i + 2].kind == TokenKind::Number;
        const bool meridiem = i + 1 < tokens.size() && tokens[i + 1].kind == TokenKind::Word &&
                              (tokens[i + 1].word == "am" || tokens[i + 1].word == "pm");
        if (!colon && !meridiem) continue;
        begin = i;
        t.hour = tokens[i].value;
        end = i + 1;
        if (colon) {
            t.minute = tokens[i + 2].value;
            end = i + 3;
            if (end + 1 < tokens.size() && tokens[end].kind == TokenKind::Colon &&
                tokens[end + 1].kind == TokenKind::Number) {
                t.second = tokens[end + 1].value;
                end += 2;
                // Fractions of a second are read and dropped.
                if (end + 1 < tokens.size() && tokens[end].kind == TokenKind::Point &&
                    tokens[end + 1].kind == TokenKind::Number)
                    end += 2;
            }
        }
        break;
    }
    if (begin == tokens.size()) return t;
    t.present = true;
    if (end < tokens.size() && tokens[end].kind == TokenKind::Word) {
        const std::string& w = tokens[end].word;
        const bool pm = w == "pm" || w == "p";
        if (pm || w == "am" || w == "a") {
            if (t.hour < 1 || t.hour > 12) return std::nullopt;
            t.hour = t.hour % 12 + (pm ? 12 : 0);
            ++end;
        }
    }
    if (t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
    tokens.erase(tokens.begin() + std::ptrdiff_t(begin), tokens.begin() + std::ptrdiff_t(end));
    return t;
}

struct CalendarDate {
    int year = 1899, month = 12, day = 30;
};

std::optional<CalendarDate> dateFromParts(const std::vector<Token>& numbers, int namedMonth) {
    const auto year = [](const Token& t) {
        return t.digits <= 2 ? expandTwoDigitYear(t.value) : t.value;
    };
    CalendarDate d;
    if (namedMonth != 0) {
        d.month = namedMonth;
        if (numbers.size() != 2) return std::nullopt;
        // "3 Feb 2001", "February 3, 2001", "2001 Feb 3"
        const bool yearFirst = numbers[0].digits > 2 || numbers[0].value > 31;
        d.day = numbers[yearFirst ? 1 : 0].value;
        d.year = year(numbers[yearFirst ? 0 : 1]);
    } else {
        if (numbers.size() != 3) return std::nullopt;
        if (numbers[0].digits > 2) {
            d.year = numbers[0].value;
            d.month = numbers[1].value;
            d.day = numbers[2].value;
        } else {
            d.month = numbers[0].value;
            d.day = numbers[1].value;
            d.year = year(numbers[2]);
            if (d.month > 12 && d.day <= 12) std::swap(d.month, d.day);
        }
    }
    if (d.year < minDateYear || d.year > maxDateYear || d.month < 1 || d.month > 12 || d.day < 1 ||
        d.day > core::daysInMonth(d.year, d.month))
        return std::nullopt;
    return d;
}

std::string twoDigits(int v) {
    return std::string(1, char('0' + v / 10)) + char('0' + v % 10);
}

} // namespace

std::optional<core::DateTime> parseDateText(std::string_view text) {
    auto tokens = tokenize(text);
    if (!tokens) return std::nullopt;
    const auto time = extractTime(*tokens);
    if (!time) return std::nullopt;

    std::vector<Token> numbers;
    int namedMonth = 0;
    bool anyDatePart = false;
    for (const Token& t : *tokens) {
        switch (t.kind) {
        case TokenKind::Number:
            numbers.push_back(t);
            anyDatePart = true;
            break;
        case TokenKind::Word:
            if (const int m = monthFromWord(t.word); m != 0 && namedMonth == 0) {
                namedMonth = m;
                anyDatePart = true;
            } else if (!isWeekdayWord(t.word) && t.word != "t") {
                return std::nullopt;
            }
            break;
        case TokenKind::Colon:
            return std::nullopt;
        case TokenKind::Point:
        case TokenKind::Separator:
            break;
        }
    }
    if (!anyDatePart && !time->present) return std::nullopt;
    CalendarDate date;
    if (anyDatePart) {
        const auto d = dateFromParts(numbers, namedMonth);
        if (!d) return std::nullopt;
        date = *d;
    }
    const std::int64_t day =
        anyDatePart ? dayNumberOf(date.year, date.month, date.day) : std::int64_t(0);
    return dateFromDayAndSeconds(day, time->hour * 3600.0 + time->minute * 60.0 + time->second);
}

std::string formatShortDate(core::DateTime dt) {
    const DateParts p = splitDate(dt);
    return std::to_string(p.month) + "/" + std::to_string(p.day) + "/" + std::to_string(p.year);
}

std::string formatLongTime(core::DateTime dt) {
    const DateParts p = splitDate(dt);
    const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    return std::to_string(hour12) + ":" + twoDigits(p.minute) + ":" + twoDigits(p.second) +
           (p.hour < 12 ? " AM" : " PM");
}

std::string formatGeneralDate(core::DateTime dt) {
    const DateParts p = splitDate(dt);
    if (p.dayNumber == 0) return formatLongTime(dt);
    if (p.secondOfDay == 0) return formatShortDate(dt);
    return formatShortDate(dt) + " " + formatLongTime(dt);
}

std::string_view monthName(int month, bool abbreviated) {
    const std::string_view name = monthNames[std::size_t(month - 1)];
    return abbreviated ? name.substr(0, 3) : name;
}

std::string_view weekdayName(int sundayBasedDay, bool abbreviated) {
    const std::string_view name = weekdayNames[std::size_t(sundayBasedDay - 1)];
    return abbreviated ? name.substr(0, 3) : name;
}

} // namespace core
