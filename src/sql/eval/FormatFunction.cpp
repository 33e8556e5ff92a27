#include "sql/eval/FormatFunction.h"

#include "core/DateFormat.h"
#include "core/DateParts.h"
#include "core/DateText.h"
#include "core/DecimalMath.h"
#include "core/NumberFormat.h"
#include "core/NumberText.h"
#include "core/TextUnits.h"
#include "core/TypeConversion.h"
#include "sql/eval/FunctionFamilies.h"

#include <array>
#include <optional>

namespace sql {

namespace {

struct NamedFormat {
    std::string_view name;
    std::string_view pattern; // empty: handled in code
};

constexpr std::array<NamedFormat, 9> namedNumberFormats = {{
    {"general number", ""},
    {"currency", "$#,##0.00;($#,##0.00)"},
    {"fixed", "0.00"},
    {"standard", "#,##0.00"},
    {"percent", "0.00%"},
    {"scientific", "0.00E+00"},
    {"yes/no", ""},
    {"true/false", ""},
    {"on/off", ""},
}};

constexpr std::array<NamedFormat, 7> namedDateFormats = {{
    {"general date", "c"},
    {"long date", "dddd, mmmm d, yyyy"},
    {"medium date", "dd-mmm-yy"},
    {"short date", "m/d/yyyy"},
    {"long time", "h:nn:ss AM/PM"},
    {"medium time", "hh:nn AM/PM"},
    {"short time", "hh:nn"},
}};

template <std::size_t N>
const NamedFormat* findNamed(const std::array<NamedFormat, N>& table, std::string_view format) {
    const std::string key = core::lowerCase(format);
    for (const NamedFormat& f : table)
        if (f.name == key) return &f;
    return nullptr;
}

// The exact digits of a number for formatting; nullopt for values that are no number.
std::optional<core::DecimalDigits> digitsOf(const core::Value& v) {
    switch (v.type()) {
    case core::DataType::Boolean:
    case core::DataType::Byte:
    case core::DataType::Integer:
    case core::DataType::Long:
    case core::DataType::Currency:
    case core::DataType::Decimal:
        return core::decimalToDigits(core::toDecimal(v));
    case core::DataType::Single:
        return core::significantDigits(double(v.get<float>()), 7);
    case core::DataType::Double:
        return core::significantDigits(v.get<double>(), 15);
    case core::DataType::DateTime:
        return core::significantDigits(v.get<core::DateTime>().days, 15);
    case core::DataType::Text:
        return core::parseNumericText(v.get<std::string>());
    default:
        return std::nullopt;
    }
}

std::string formatNamedNumber(const NamedFormat& named, const core::Value& v,
                              const core::DecimalDigits& digits) {
    const bool nonZero = digits.digits != "0";
    if (named.name == "yes/no") return nonZero ? "Yes" : "No";
    if (named.name == "true/false") return nonZero ? "True" : "False";
    if (named.name == "on/off") return nonZero ? "On" : "Off";
    if (named.name == "general number") {
        if (v.type() == core::DataType::Text || v.type() == core::DataType::DateTime)
            return core::toText(core::Value(core::toDouble(v)));
        return v.type() == core::DataType::Boolean ? core::toText(core::Value(core::toLong(v)))
                                                   : core::toText(v);
    }
    return core::formatNumber(digits, named.pattern);
}

// Text codes: @ a character or a blank, & a character or nothing, < lower case, > upper case,
// ! fill from the left. Placeholders fill from the right by default; spare characters go to
// the leftmost (with !, the rightmost) placeholder.
std::string formatText(const std::string& text, std::string_view format) {
    int caseMode = 0;
    bool fromLeft = false;
    std::vector<std::pair<char, std::string>> pieces; // placeholder or literal ('\0')
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '<')
            caseMode = -1;
        else if (c == '>')
            caseMode = 1;
        else if (c == '!')
            fromLeft = true;
        else if (c == '@' || c == '&')
            pieces.push_back({c, {}});
        else if (c == '\\' && i + 1 < format.size())
            pieces.push_back({'\0', std::string(1, format[++i])});
        else if (c == '"') {
            const std::size_t end = format.find('"', i + 1);
            const std::size_t stop = end == std::string_view::npos ? format.size() : end;
            pieces.push_back({'\0', std::string(format.substr(i + 1, stop - i - 1))});
            i = stop;
        } else {
            pieces.push_back({'\0', std::string(1, c)});
        }
    }
    const std::string cased = caseMode < 0   ? core::lowerCase(text)
                              : caseMode > 0 ? core::upperCase(text)
                                             : text;
    std::vector<std::size_t> slots;
    for (std::size_t k = 0; k < pieces.size(); ++k)
        if (pieces[k].first != '\0') slots.push_back(k);
    if (slots.empty()) return cased;

    const std::u32string chars = core::toCodePoints(cased);
    std::vector<std::u32string> fill(slots.size());
    const std::size_t n = slots.size(), m = chars.size();
    if (fromLeft) {
        for (std::size_t j = 0; j < n && j < m; ++j) fill[j] = chars.substr(j, 1);
        if (m > n) fill[n - 1] += chars.substr(n);
    } else {
        for (std::size_t j = 0; j < n && j < m; ++j) fill[n - 1 - j] = chars.substr(m - 1 - j, 1);
        if (m > n) fill[0] = chars.substr(0, m - n + 1);
    }
    std::string out;
    std::size_t slot = 0;
    for (const auto& [kind, literal] : pieces) {
        if (kind == '\0') {
            out += literal;
            continue;
        }
        const std::u32string& f = fill[slot++];
        out += f.empty() ? (kind == '@' ? " " : "") : core::fromCodePoints(f);
    }
    return out;
}

} // namespace

core::Value formatValue(const core::Value& value, std::string_view format, int firstDayOfWeek,
                        int firstWeekOfYear) {
    if (value.isNull()) {
        if (const auto text = core::nullSection(format)) return *text;
        return {};
    }
    if (format.empty()) return core::toText(value);

    const NamedFormat* namedNumber = findNamed(namedNumberFormats, format);
    const NamedFormat* namedDate = findNamed(namedDateFormats, format);
    const std::string_view dateFormat = namedDate ? namedDate->pattern : format;
    const bool wantsNumber = namedNumber || core::hasDigitPlaceholders(format);
    const bool wantsDate = !wantsNumber && (namedDate || core::hasDateCodes(format));

    const auto asDate = [&](core::DateTime dt) -> core::Value {
        return core::formatDate(dt, dateFormat, firstDayOfWeek, firstWeekOfYear);
    };
    const auto asNumber = [&](const core::DecimalDigits& digits) -> core::Value {
        if (namedNumber) return formatNamedNumber(*namedNumber, value, digits);
        return core::formatNumber(digits, format);
    };

    if (value.type() == core::DataType::DateTime) {
        if (wantsNumber) return asNumber(*digitsOf(value));
        return wantsDate ? asDate(value.get<core::DateTime>()) : core::Value(core::toText(value));
    }
    if (const auto* text = value.getIf<std::string>()) {
        if (wantsNumber) {
            if (const auto digits = digitsOf(value)) return asNumber(*digits);
        } else if (wantsDate) {
            if (const auto dt = core::parseDateText(*text)) return asDate(*dt);
        }
        return formatText(*text, format);
    }
    if (const auto digits = digitsOf(value)) {
        if (wantsDate) {
            const core::DateTime dt{core::toDouble(value)};
            if (!core::inDateRange(dt)) core::throwOverflow();
            return asDate(dt);
        }
        if (wantsNumber) return asNumber(*digits);
        return formatText(core::toText(value), format);
    }
    return formatText(core::toText(value), format);
}

namespace {

int optionalCode(std::span<const core::Value> a, std::size_t i, int max) {
    if (i >= a.size() || a[i].isNull()) return 1;
    const std::int32_t v = core::toLong(a[i]);
    if (v < 0 || v > max) throwInvalidArgument();
    return v == 0 ? 1 : v;
}

core::Value format(std::span<const core::Value> a, const EvalContext&) {
    const std::string pattern = a.size() > 1 && !a[1].isNull() ? core::toText(a[1]) : std::string();
    return formatValue(a[0], pattern, optionalCode(a, 2, 7), optionalCode(a, 3, 3));
}

constexpr std::array<FunctionInfo, 2> functions = {{
    {"Format", 1, 4, format},
    {"Format$", 1, 4, textForm<format>},
}};

} // namespace

std::span<const FunctionInfo> formatFunctions() {
    return functions;
}

} // namespace sql
