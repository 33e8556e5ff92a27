// #date# literals: the forms the Jet expression service reads without a locale.
#include "core/Conversions.h"
#include "sql/syntax/Literals.h"

#include <array>
#include <vector>

namespace sql {

namespace {

struct Piece {
    enum class Kind { Number, Word, Colon } kind;
    int value = 0;  // a number's value, or a month word's month
    int digits = 0; // how many digits the number was written with
    bool am = false, pm = false;
};

int monthOf(std::string_view word) {
    static constexpr std::array<std::string_view, 12> names = {
        "january", "february", "march",     "april",   "may",      "june",
        "july",    "august",   "september", "october", "november", "december"};
    if (word.size() < 3) return 0;
    for (std::size_t m = 0; m < names.size(); ++m) {
        // The full name or any abbreviation of at least three letters ("Sep", "Sept").
        if (word.size() <= names[m].size() && names[m].compare(0, word.size(), word) == 0)
            return int(m) + 1;
    }
    return 0;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool isSeparator(char c) {
    return c == '/' || c == '-' || c == '.' || c == ',' || static_cast<unsigned char>(c) <= 32;
}

std::optional<std::vector<Piece>> split(std::string_view text) {
    std::vector<Piece> pieces;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (isSeparator(c)) {
            ++i;
        } else if (c == ':') {
            pieces.push_back({Piece::Kind::Colon});
            ++i;
        } else if (c >= '0' && c <= '9') {
            Piece p{Piece::Kind::Number};
            for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
                if (++p.digits > 4) return std::nullopt;
                p.value = p.value * 10 + (text[i] - '0');
            }
            pieces.push_back(p);
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            std::string word;
            for (; i < text.size() &&
                   ((text[i] >= 'a' && text[i] <= 'z') || (text[i] >= 'A' && text[i] <= 'Z'));
                 ++i)
                word.push_back(lower(text[i]));
            Piece p{Piece::Kind::Word};
            p.am = word == "am";
            p.pm = word == "pm";
            p.value = monthOf(word);
            if (!p.am && !p.pm && p.value == 0) return std::nullopt;
            pieces.push_back(p);
        } else {
            return std::nullopt;
        }
    }
    return pieces;
}

bool isNumber(const Piece& p) {
    return p.kind == Piece::Kind::Number;
}
bool isMonth(const Piece& p) {
    return p.kind == Piece::Kind::Word && p.value != 0;
}
bool isMeridiem(const Piece& p) {
    return p.kind == Piece::Kind::Word && (p.am || p.pm);
}

// Where the time of day starts: at the number before the first colon, or at the number
// before a trailing AM/PM ("#3 PM#"); pieces.size() when there is no time.
std::size_t timeStart(const std::vector<Piece>& pieces) {
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].kind == Piece::Kind::Colon) return i == 0 ? 0 : i - 1;
    if (pieces.size() >= 2 && isMeridiem(pieces.back())) return pieces.size() - 2;
    return pieces.size();
}

bool readTime(const std::vector<Piece>& pieces, std::size_t from, core::CivilDateTime& out) {
    std::vector<int> fields;
    std::size_t i = from;
    if (i >= pieces.size() || !isNumber(pieces[i])) return false;
    fields.push_back(pieces[i++].value);
    while (i + 1 < pieces.size() && pieces[i].kind == Piece::Kind::Colon &&
           isNumber(pieces[i + 1])) {
        fields.push_back(pieces[i + 1].value);
        i += 2;
    }
    if (fields.size() > 3) return false;
    int hour = fields[0];
    if (i < pieces.size() && isMeridiem(pieces[i])) {
        if (hour < 1 || hour > 12) return false;
        hour = pieces[i].pm ? hour % 12 + 12 : hour % 12;
        ++i;
    }
    if (i != pieces.size()) return false;
    out.hour = hour;
    out.minute = fields.size() > 1 ? fields[1] : 0;
    out.second = fields.size() > 2 ? fields[2] : 0;
    return true;
}

int fullYear(const Piece& p) {
    if (p.digits > 2) return p.value;
    return p.value < 30 ? 2000 + p.value : 1900 + p.value;
}

bool readDate(const std::vector<Piece>& pieces, std::size_t count, core::CivilDateTime& out) {
    if (count == 0) return true; // a time alone is a time on day zero
    if (count != 3) return false;
    const Piece& a = pieces[0];
    const Piece& b = pieces[1];
    const Piece& c = pieces[2];
    if (isNumber(a) && a.digits >= 3) { // y-m-d
        if (!(isNumber(b) || isMonth(b)) || !isNumber(c)) return false;
        out.year = a.value;
        out.month = b.value;
        out.day = c.value;
    } else if (isMonth(a)) { // mmm d, y
        if (!isNumber(b) || !isNumber(c)) return false;
        out.month = a.value;
        out.day = b.value;
        out.year = fullYear(c);
    } else if (isMonth(b)) { // d-mmm-y
        if (!isNumber(a) || !isNumber(c)) return false;
        out.day = a.value;
        out.month = b.value;
        out.year = fullYear(c);
    } else {
        if (!isNumber(a) || !isNumber(b) || !isNumber(c)) return false;
        out.month = a.value;
        out.day = b.value;
        out.year = fullYear(c);
        if (out.month > 12 && out.day <= 12) std::swap(out.month, out.day);
    }
    return true;
}

} // namespace

std::optional<core::DateTime> dateLiteral(std::string_view text) {
    const auto pieces = split(text);
    if (!pieces || pieces->empty()) return std::nullopt;
    const std::size_t time = timeStart(*pieces);
    core::CivilDateTime civil;
    if (!readDate(*pieces, time, civil)) return std::nullopt;
    if (time < pieces->size() && !readTime(*pieces, time, civil)) return std::nullopt;
    // Jet's dates start in the year 100.
    if (civil.year < 100 || !core::isValidCivil(civil)) return std::nullopt;
    return core::fromCivil(civil);
}

} // namespace sql
