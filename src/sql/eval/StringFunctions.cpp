// Len, Left, Right, Mid, InStr, InStrRev, UCase, LCase, Trim, Replace, Space, String, StrComp,
// StrReverse, Asc, Chr: text functions. Positions and lengths count UTF-16 code units, as
// Jet's do; Null text gives Null, a Null count or position is an error.
#include "core/TextEncoding.h"
#include "core/TextUnits.h"
#include "core/TypeConversion.h"
#include "sql/eval/FunctionFamilies.h"
#include "sql/eval/TextCollation.h"

#include <algorithm>
#include <array>

namespace sql {

namespace {

using Args = std::span<const core::Value>;

std::u16string unitsOf(const core::Value& v) {
    return core::toUtf16(core::toText(v));
}

std::int64_t countArg(const core::Value& v) {
    return core::toLong(v); // Null raises "Invalid use of Null"
}

std::int64_t nonNegative(const core::Value& v) {
    const std::int64_t n = countArg(v);
    if (n < 0) throwInvalidArgument();
    return n;
}

std::int64_t position(const core::Value& v) {
    const std::int64_t n = countArg(v);
    if (n < 1) throwInvalidArgument();
    return n;
}

// Compare argument: 0 binary, 1 text, 2 the database's order (text here). Text is the default
// because a query compares as the database does.
bool textCompare(Args a, std::size_t index) {
    if (index >= a.size()) return true;
    const std::int64_t mode = countArg(a[index]);
    if (mode < 0 || mode > 2) throwInvalidArgument();
    return mode != 0;
}

std::u16string folded(std::u16string s) {
    for (char16_t& c : s) {
        const char32_t lower = core::lowerCase(char32_t(c));
        if (lower < 0x10000) c = char16_t(lower);
    }
    return s;
}

core::Value text(std::u16string_view units) {
    return core::fromUtf16(units);
}

core::Value len(Args a, const EvalContext&) {
    if (a[0].isNull()) return {};
    return std::int32_t(unitsOf(a[0]).size());
}

core::Value left(Args a, const EvalContext&) {
    const std::int64_t n = nonNegative(a[1]);
    if (a[0].isNull()) return {};
    const std::u16string s = unitsOf(a[0]);
    return text(std::u16string_view(s).substr(
        0, std::size_t(std::min<std::int64_t>(n, std::int64_t(s.size())))));
}

core::Value right(Args a, const EvalContext&) {
    const std::int64_t n = nonNegative(a[1]);
    if (a[0].isNull()) return {};
    const std::u16string s = unitsOf(a[0]);
    const std::size_t keep = std::size_t(std::min<std::int64_t>(n, std::int64_t(s.size())));
    return text(std::u16string_view(s).substr(s.size() - keep));
}

core::Value mid(Args a, const EvalContext&) {
    const std::int64_t start = position(a[1]);
    const std::int64_t length = a.size() > 2 ? nonNegative(a[2]) : -1;
    if (a[0].isNull()) return {};
    const std::u16string s = unitsOf(a[0]);
    if (start > std::int64_t(s.size())) return std::string();
    const std::size_t from = std::size_t(start - 1);
    const std::size_t count = length < 0 ? std::u16string::npos : std::size_t(length);
    return text(std::u16string_view(s).substr(from, count));
}

// 1-based position of `needle` at or after `start`, 0 when absent.
std::int64_t findForward(std::u16string haystack, std::u16string needle, std::int64_t start,
                         bool ignoreCase) {
    if (haystack.empty() || start > std::int64_t(haystack.size())) return 0;
    if (needle.empty()) return start;
    if (ignoreCase) {
        haystack = folded(std::move(haystack));
        needle = folded(std::move(needle));
    }
    const std::size_t at = haystack.find(needle, std::size_t(start - 1));
    return at == std::u16string::npos ? 0 : std::int64_t(at) + 1;
}

core::Value inStr(Args a, const EvalContext&) {
    const bool hasStart = a.size() >= 3;
    const std::int64_t start = hasStart ? position(a[0]) : 1;
    const core::Value& haystack = a[hasStart ? 1 : 0];
    const core::Value& needle = a[hasStart ? 2 : 1];
    const bool ignoreCase = textCompare(a, 3);
    if (haystack.isNull() || needle.isNull()) return {};
    return std::int32_t(findForward(unitsOf(haystack), unitsOf(needle), start, ignoreCase));
}

core::Value inStrRev(Args a, const EvalContext&) {
    std::int64_t start = a.size() > 2 ? countArg(a[2]) : -1;
    if (start == 0 || start < -1) throwInvalidArgument();
    const bool ignoreCase = textCompare(a, 3);
    if (a[0].isNull() || a[1].isNull()) return {};
    std::u16string haystack = unitsOf(a[0]), needle = unitsOf(a[1]);
    if (start == -1) start = std::int64_t(haystack.size());
    if (haystack.empty() || start > std::int64_t(haystack.size())) return std::int32_t(0);
    if (needle.empty()) return std::int32_t(start);
    if (std::int64_t(needle.size()) > start) return std::int32_t(0);
    if (ignoreCase) {
        haystack = folded(std::move(haystack));
        needle = folded(std::move(needle));
    }
    // The match must end at or before `start`.
    const std::size_t at = haystack.rfind(needle, std::size_t(start) - needle.size());
    return std::int32_t(at == std::u16string::npos ? 0 : std::int64_t(at) + 1);
}

core::Value ucase(Args a, const EvalContext&) {
    if (a[0].isNull()) return {};
    return core::upperCase(core::toText(a[0]));
}

core::Value lcase(Args a, const EvalContext&) {
    if (a[0].isNull()) return {};
    return core::lowerCase(core::toText(a[0]));
}

enum class Side { Left, Right, Both };

core::Value trimmed(const core::Value& v, Side side) {
    if (v.isNull()) return {};
    std::string s = core::toText(v);
    if (side != Side::Right) s.erase(0, std::min(s.find_first_not_of(' '), s.size()));
    if (side != Side::Left) {
        const std::size_t last = s.find_last_not_of(' ');
        s.erase(last == std::string::npos ? 0 : last + 1);
    }
    return s;
}

core::Value trim(Args a, const EvalContext&) {
    return trimmed(a[0], Side::Both);
}
core::Value ltrim(Args a, const EvalContext&) {
    return trimmed(a[0], Side::Left);
}
core::Value rtrim(Args a, const EvalContext&) {
    return trimmed(a[0], Side::Right);
}

// Replace returns the text from `start` on, with up to `count` replacements (-1: all).
core::Value replace(Args a, const EvalContext&) {
    if (a[0].isNull() || a[1].isNull() || a[2].isNull()) core::throwInvalidUseOfNull();
    const std::int64_t start = a.size() > 3 ? position(a[3]) : 1;
    const std::int64_t count = a.size() > 4 ? countArg(a[4]) : -1;
    if (count < -1) throwInvalidArgument();
    const bool ignoreCase = textCompare(a, 5);
    const std::u16string source = unitsOf(a[0]), find = unitsOf(a[1]), with = unitsOf(a[2]);
    if (start > std::int64_t(source.size())) return std::string();
    const std::u16string rest = source.substr(std::size_t(start - 1));
    if (find.empty() || count == 0) return text(rest);
    const std::u16string haystack = ignoreCase ? folded(rest) : rest;
    const std::u16string needle = ignoreCase ? folded(find) : find;
    std::u16string out;
    std::size_t pos = 0;
    for (std::int64_t done = 0; count < 0 || done < count; ++done) {
        const std::size_t at = haystack.find(needle, pos);
        if (at == std::u16string::npos) break;
        out.append(rest, pos, at - pos);
        out += with;
        pos = at + needle.size();
    }
    out.append(rest, pos);
    return text(out);
}

core::Value space(Args a, const EvalContext&) {
    return std::string(std::size_t(nonNegative(a[0])), ' ');
}

// The character of an 8-bit code in Windows-1252.
std::string charFromCode(std::int64_t code) {
    if (code < 0 || code > 255) throwInvalidArgument();
    return core::cp1252ToUtf8(std::string(1, char(code)));
}

core::Value stringOf(Args a, const EvalContext&) {
    const std::int64_t n = nonNegative(a[0]);
    if (a[1].isNull()) return {};
    std::string unit;
    if (const auto* s = a[1].getIf<std::string>()) {
        if (s->empty()) throwInvalidArgument();
        unit = core::fromUtf16(core::toUtf16(*s).substr(0, 1));
    } else {
        unit = charFromCode(((countArg(a[1]) % 256) + 256) % 256);
    }
    std::string out;
    out.reserve(unit.size() * std::size_t(n));
    for (std::int64_t i = 0; i < n; ++i) out += unit;
    return out;
}

core::Value strComp(Args a, const EvalContext&) {
    const bool ignoreCase = textCompare(a, 2);
    if (a[0].isNull() || a[1].isNull()) return {};
    const std::string x = core::toText(a[0]), y = core::toText(a[1]);
    int c = 0;
    if (ignoreCase) {
        c = compareText(x, y);
    } else {
        const std::u16string ux = core::toUtf16(x), uy = core::toUtf16(y);
        c = ux.compare(uy);
    }
    return std::int16_t(c < 0 ? -1 : c > 0 ? 1 : 0);
}

core::Value strReverse(Args a, const EvalContext&) {
    if (a[0].isNull()) core::throwInvalidUseOfNull();
    std::u32string s = core::toCodePoints(core::toText(a[0]));
    std::reverse(s.begin(), s.end());
    return core::fromCodePoints(s);
}

core::Value asc(Args a, const EvalContext&) {
    if (a[0].isNull()) core::throwInvalidUseOfNull();
    const std::u32string s = core::toCodePoints(core::toText(a[0]));
    if (s.empty()) throwInvalidArgument();
    const std::string code = core::utf8ToCp1252(core::fromCodePoints(s.substr(0, 1)));
    return std::int16_t(static_cast<unsigned char>(code.empty() ? '?' : code[0]));
}

core::Value ascW(Args a, const EvalContext&) {
    if (a[0].isNull()) core::throwInvalidUseOfNull();
    const std::u16string s = unitsOf(a[0]);
    if (s.empty()) throwInvalidArgument();
    return std::int16_t(s[0]); // Integer: units past 32767 come out negative
}

core::Value chr(Args a, const EvalContext&) {
    if (a[0].isNull()) core::throwInvalidUseOfNull();
    return charFromCode(countArg(a[0]));
}

core::Value chrW(Args a, const EvalContext&) {
    if (a[0].isNull()) core::throwInvalidUseOfNull();
    std::int64_t code = countArg(a[0]);
    if (code < -32768 || code > 65535) throwInvalidArgument();
    if (code < 0) code += 65536;
    return core::fromUtf16(std::u16string(1, char16_t(code)));
}

constexpr std::array<FunctionInfo, 32> functions = {{
    {"Len", 1, 1, len},
    {"Left", 2, 2, left},
    {"Left$", 2, 2, textForm<left>},
    {"Right", 2, 2, right},
    {"Right$", 2, 2, textForm<right>},
    {"Mid", 2, 3, mid},
    {"Mid$", 2, 3, textForm<mid>},
    {"InStr", 2, 4, inStr},
    {"InStrRev", 2, 4, inStrRev},
    {"UCase", 1, 1, ucase},
    {"UCase$", 1, 1, textForm<ucase>},
    {"LCase", 1, 1, lcase},
    {"LCase$", 1, 1, textForm<lcase>},
    {"Trim", 1, 1, trim},
    {"Trim$", 1, 1, textForm<trim>},
    {"LTrim", 1, 1, ltrim},
    {"LTrim$", 1, 1, textForm<ltrim>},
    {"RTrim", 1, 1, rtrim},
    {"RTrim$", 1, 1, textForm<rtrim>},
    {"Replace", 3, 6, replace},
    {"Space", 1, 1, space},
    {"Space$", 1, 1, space},
    {"String", 2, 2, stringOf},
    {"String$", 2, 2, textForm<stringOf>},
    {"StrComp", 2, 3, strComp},
    {"StrReverse", 1, 1, strReverse},
    {"Asc", 1, 1, asc},
    {"AscW", 1, 1, ascW},
    {"Chr", 1, 1, chr},
    {"Chr$", 1, 1, chr},
    {"ChrW", 1, 1, chrW},
    {"ChrW$", 1, 1, chrW},
}};

} // namespace

std::span<const FunctionInfo> stringFunctions() {
    return functions;
}

} // namespace sql
