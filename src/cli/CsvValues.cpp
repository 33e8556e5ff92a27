#include "cli/CsvValues.h"

#include "core/Conversions.h"
#include "core/Error.h"
#include "core/TextEncoding.h"
#include "sql/engine/storage/ColumnValues.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace cli {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits without a needless leading zero, after an optional minus; returns the position
// after them, or npos.
std::size_t integerEnd(std::string_view text) {
    std::size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    const std::size_t start = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    if (i == start || (text[start] == '0' && i - start > 1)) return std::string_view::npos;
    return i;
}

// Digits after a point: the count of them, or npos when the point has none.
std::size_t fractionDigits(std::string_view text, std::size_t& i) {
    if (i == text.size() || text[i] != '.') return 0;
    const std::size_t start = ++i;
    while (i < text.size() && isDigit(text[i])) ++i;
    return i == start ? std::string_view::npos : i - start;
}

// "2024-02-29 13:45:00.000" as short as it reads back: the date alone at midnight, no
// milliseconds when there are none. Written digit by digit, since an export writes one per
// row; a date outside the usual ranges takes the general formatter's text.
std::string isoText(core::DateTime dt) {
    const core::CivilDateTime c = core::toCivil(dt);
    if (c.year < 0 || c.year > 9999 || c.hour > 23 || c.minute > 59 || c.second > 59 ||
        c.millisecond > 999 || c.millisecond < 0) {
        std::string text = core::formatIsoDateTime(dt);
        if (text.compare(10, 13, "T00:00:00.000") == 0) return text.substr(0, 10);
        text[10] = ' ';
        if (text.compare(19, 4, ".000") == 0) text.resize(19);
        return text;
    }
    char text[24];
    std::size_t n = 0;
    auto put = [&](int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            text[n + std::size_t(i)] = char('0' + value % 10);
        n += std::size_t(digits);
    };
    auto mark = [&](char separator) { text[n++] = separator; };
    put(c.year, 4), mark('-'), put(c.month, 2), mark('-'), put(c.day, 2);
    if (c.hour || c.minute || c.second || c.millisecond) {
        mark(' '), put(c.hour, 2), mark(':'), put(c.minute, 2), mark(':'), put(c.second, 2);
        if (c.millisecond) mark('.'), put(c.millisecond, 3);
    }
    return std::string(text, n);
}

[[noreturn]] void refuse(std::string_view text, std::string_view what) {
    throw core::TypeMismatch("'" + std::string(text) + "' is not " + std::string(what) + ".");
}

// Leading zeros are read here ("007" into a number column is 7); only inference keeps such
// values as text.
std::int32_t readLong(std::string_view text) {
    std::int64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ptr != text.data() + text.size() || text.empty()) refuse(text, "a whole number");
    if (result.ec != std::errc() || value < INT32_MIN || value > INT32_MAX)
        throw core::TypeMismatch("'" + std::string(text) + "' is outside the column's range.");
    return static_cast<std::int32_t>(value);
}

// Single columns read at float precision: the writer's "3.4028235e+38" is the largest float,
// though the double of that text lies past it.
template <class Number> Number readFloating(std::string_view text) {
    Number value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    // from_chars also reads what the writer gives for infinities and NaN ("inf", "nan").
    if (result.ptr != text.data() + text.size() || text.empty() || text[0] == '+')
        refuse(text, "a number (with '.' as the decimal point)");
    if (result.ec != std::errc())
        throw core::TypeMismatch("'" + std::string(text) + "' is outside the column's range.");
    return value;
}

// The value in the column's type; the conversion's range checks apply.
core::Value converted(const sql::ColumnInfo& column, const core::Value& value,
                      std::string_view text) {
    try {
        return sql::toColumnValue(column, value);
    } catch (const core::Error&) {
        throw core::TypeMismatch("'" + std::string(text) + "' is outside the column's range.");
    }
}

core::Value typedValue(const sql::ColumnInfo& column, const std::string& text) {
    using jet::ColumnType;
    switch (column.type) {
    case ColumnType::Boolean:
        if (auto b = csvYesNo(text)) return core::Value(*b);
        refuse(text, "yes/no (true, false, yes, no, 1, 0 or -1)");
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long:
        return converted(column, core::Value(readLong(text)), text);
    case ColumnType::Single:
        return core::Value(readFloating<float>(text));
    case ColumnType::Double:
        return core::Value(readFloating<double>(text));
    case ColumnType::Currency:
        if (!isCsvNumber(text)) refuse(text, "a number (with '.' as the decimal point)");
        return core::Value(core::parseCurrency(text));
    case ColumnType::Numeric:
        if (!isCsvNumber(text) || text.find_first_of("eE") != std::string::npos)
            refuse(text, "a decimal number (with '.' as the decimal point)");
        return converted(column, core::Value(text), text);
    case ColumnType::DateTime:
        return core::Value(core::parseIsoDateTime(text));
    case ColumnType::Binary:
    case ColumnType::Ole:
        return core::Value(core::parseHex(text));
    case ColumnType::Guid:
        return core::Value(core::parseGuid(text));
    case ColumnType::Text:
    case ColumnType::Memo:
        return core::Value(text);
    }
    refuse(text, "a value this column holds");
}

} // namespace

bool isCsvInteger(std::string_view text) {
    return integerEnd(text) == text.size();
}

bool isCsvNumber(std::string_view text) {
    std::size_t i = integerEnd(text);
    if (i == std::string_view::npos || fractionDigits(text, i) == std::string_view::npos)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        const std::size_t start = i;
        while (i < text.size() && isDigit(text[i])) ++i;
        if (i == start) return false;
    }
    return i == text.size();
}

bool isCsvCurrency(std::string_view text) {
    std::size_t i = integerEnd(text);
    if (i == std::string_view::npos) return false;
    const std::size_t decimals = fractionDigits(text, i);
    return decimals <= 4 && i == text.size();
}

std::optional<bool> csvYesNo(std::string_view text) {
    if (text.size() > 5) return std::nullopt;
    std::string word;
    for (char c : text) word += char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    constexpr std::array<std::string_view, 4> yes = {"true", "yes", "1", "-1"};
    constexpr std::array<std::string_view, 3> no = {"false", "no", "0"};
    for (auto w : yes)
        if (word == w) return true;
    for (auto w : no)
        if (word == w) return false;
    return std::nullopt;
}

CsvText csvText(const core::Value& v) {
    using core::DataType;
    switch (v.type()) {
    case DataType::Null:
        return {};
    case DataType::Boolean:
        return {v.get<bool>() ? "true" : "false"};
    case DataType::Byte:
        return {std::to_string(v.get<std::uint8_t>())};
    case DataType::Integer:
        return {std::to_string(v.get<std::int16_t>())};
    case DataType::Long:
        return {std::to_string(v.get<std::int32_t>())};
    case DataType::Currency:
        return {core::formatCurrency(v.get<core::Currency>())};
    case DataType::Single:
        return {core::formatSingle(v.get<float>())};
    case DataType::Double:
        return {core::formatDouble(v.get<double>())};
    case DataType::DateTime:
        return {isoText(v.get<core::DateTime>())};
    case DataType::Text:
        return {v.get<std::string>(), v.get<std::string>().empty()};
    case DataType::Binary:
        return {core::formatHex(v.get<core::Bytes>()), v.get<core::Bytes>().empty()};
    case DataType::Guid:
        return {core::formatGuid(v.get<core::Guid>())};
    case DataType::Decimal:
        return {core::formatDecimal(v.get<core::Decimal>())};
    }
    return {};
}

core::Value csvFieldValue(const sql::ColumnInfo& column, const CsvField& field) {
    const bool textual =
        column.type == jet::ColumnType::Text || column.type == jet::ColumnType::Memo ||
        column.type == jet::ColumnType::Binary || column.type == jet::ColumnType::Ole;
    // Unquoted empty is Null; quoted empty is the empty text (or bytes), and Null for a
    // type that has no empty value.
    if (field.text.empty() && (!field.quoted || !textual)) return core::Value::null();
    core::Value value = typedValue(column, field.text);
    if (!sql::fitsColumn(column, value)) {
        const bool text = column.type == jet::ColumnType::Text;
        const std::size_t length = text ? core::utf16Length(field.text) : field.text.size() / 2;
        throw core::TypeMismatch("the " + std::string(text ? "text" : "value") + " is " +
                                 std::to_string(length) + (text ? " characters" : " bytes") +
                                 " long; the column holds " + std::to_string(column.size) + ".");
    }
    return value;
}

} // namespace cli
