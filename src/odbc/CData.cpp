#include "odbc/CData.h"

#include "core/Conversions.h"
#include "core/Error.h"
#include "core/FixedPoint.h"
#include "core/TextEncoding.h"
#include "odbc/ColumnDescription.h"
#include "odbc/Diagnostics.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace odbc {

namespace {

using core::fixed::u128;

[[noreturn]] void restricted() {
    throw OdbcError("07006", "Restricted data type attribute violation.");
}
[[noreturn]] void outOfRange() {
    throw OdbcError("22003", "Numeric value out of range.");
}
[[noreturn]] void badText() {
    throw OdbcError("22018", "Invalid character value for cast.");
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

u128 decimalMagnitude(const core::Decimal& d) {
    return (u128(d.hi) << 64) | (u128(d.mid) << 32) | u128(d.lo);
}

// A number exactly: sign, magnitude and scale; doubles go through their shortest text.
struct Exact {
    bool negative = false;
    u128 magnitude = 0;
    unsigned scale = 0;
};

Exact exactOfText(std::string_view text) {
    std::string t = trimmed(text);
    auto point = t.find('.');
    unsigned scale = point == std::string::npos ? 0 : unsigned(t.size() - point - 1);
    if (t.find_first_of("eE") != std::string::npos || scale > 28) {
        // An exponent or many decimals: the double's shortest text with its own scale.
        char* end = nullptr;
        double d = std::strtod(t.c_str(), &end);
        if (t.empty() || *end != '\0' || !std::isfinite(d)) badText();
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.15f", d);
        t = buffer;
        while (!t.empty() && t.back() == '0') t.pop_back();
        if (!t.empty() && t.back() == '.') t.pop_back();
        point = t.find('.');
        scale = point == std::string::npos ? 0 : unsigned(t.size() - point - 1);
    }
    auto parsed = core::fixed::parse(t, scale, core::fixed::powerOfTen(38) / 100);
    if (parsed.status == core::fixed::ParseStatus::Invalid) badText();
    if (parsed.status == core::fixed::ParseStatus::Overflow) outOfRange();
    return {parsed.negative, parsed.magnitude, scale};
}

Exact exactOf(const core::Value& v) {
    switch (v.type()) {
    case core::DataType::Boolean:
        return {false, v.get<bool>() ? 1u : 0u, 0};
    case core::DataType::Byte:
        return {false, v.get<std::uint8_t>(), 0};
    case core::DataType::Integer: {
        auto i = v.get<std::int16_t>();
        return {i < 0, u128(i < 0 ? -std::int64_t(i) : i), 0};
    }
    case core::DataType::Long: {
        auto i = v.get<std::int32_t>();
        return {i < 0, u128(i < 0 ? -std::int64_t(i) : std::int64_t(i)), 0};
    }
    case core::DataType::Currency: {
        auto u = v.get<core::Currency>().units;
        u128 m = u < 0 ? u128(-(u + 1)) + 1 : u128(u);
        return {u < 0, m, 4};
    }
    case core::DataType::Decimal: {
        const auto& d = v.get<core::Decimal>();
        return {d.negative, decimalMagnitude(d), d.scale};
    }
    case core::DataType::Single:
        if (!std::isfinite(v.get<float>())) outOfRange();
        return exactOfText(core::formatSingle(v.get<float>()));
    case core::DataType::Double:
        if (!std::isfinite(v.get<double>())) outOfRange();
        return exactOfText(core::formatDouble(v.get<double>()));
    case core::DataType::Text:
        return exactOfText(v.get<std::string>());
    default:
        restricted();
    }
}

// The integer part (truncated toward zero), for the integer C types.
std::int64_t integerOf(const core::Value& v, std::int64_t low, std::int64_t high) {
    if (v.type() == core::DataType::Boolean) return v.get<bool>() ? 1 : 0;
    const Exact e = exactOf(v);
    const u128 whole = e.magnitude / core::fixed::powerOfTen(e.scale);
    if (whole > u128(std::numeric_limits<std::int64_t>::max())) outOfRange();
    const std::int64_t i = e.negative ? -std::int64_t(whole) : std::int64_t(whole);
    if (i < low || i > high) outOfRange();
    return i;
}

double doubleOf(const core::Value& v) {
    switch (v.type()) {
    case core::DataType::Single:
        return v.get<float>();
    case core::DataType::Double:
        return v.get<double>();
    case core::DataType::Currency:
        return double(v.get<core::Currency>().units) / 10000.0;
    case core::DataType::Decimal:
        return std::strtod(core::formatDecimal(v.get<core::Decimal>()).c_str(), nullptr);
    case core::DataType::Text: {
        std::string t = trimmed(v.get<std::string>());
        char* end = nullptr;
        double d = std::strtod(t.c_str(), &end);
        if (t.empty() || *end != '\0') badText();
        return d;
    }
    default: {
        const std::int64_t i = integerOf(v, std::numeric_limits<std::int64_t>::min(),
                                         std::numeric_limits<std::int64_t>::max());
        return double(i);
    }
    }
}

core::CivilDateTime civilOf(const core::Value& v) {
    if (v.type() == core::DataType::DateTime) return core::toCivil(v.get<core::DateTime>());
    if (v.type() != core::DataType::Text) restricted();
    core::CivilDateTime c{};
    c.hour = c.minute = c.second = c.millisecond = 0;
    const std::string t = trimmed(v.get<std::string>());
    int fields = std::sscanf(t.c_str(), "%d-%d-%d%*[ T]%d:%d:%d", &c.year, &c.month, &c.day,
                             &c.hour, &c.minute, &c.second);
    if ((fields != 3 && fields != 6) || !core::isValidCivil(c)) badText();
    return c;
}

template <class T> void put(const CBuffer& b, T value) {
    std::memcpy(b.data, &value, sizeof value);
    if (b.indicator) *b.indicator = sizeof value;
}

void writeNumeric(const core::Value& v, const CBuffer& b) {
    Exact e = exactOf(v);
    SQL_NUMERIC_STRUCT n{};
    n.precision = 38;
    n.scale = static_cast<SQLSCHAR>(e.scale);
    n.sign = e.negative ? 0 : 1;
    for (int i = 0; i < SQL_MAX_NUMERIC_LEN; ++i)
        n.val[i] = static_cast<SQLCHAR>((e.magnitude >> (8 * i)) & 0xFF);
    put(b, n);
}

core::Value integerValue(std::int64_t i) {
    if (i >= std::numeric_limits<std::int32_t>::min() &&
        i <= std::numeric_limits<std::int32_t>::max())
        return core::Value(static_cast<std::int32_t>(i));
    // Beyond a Long: an exact decimal, which the engine converts to the column's type.
    core::Decimal d;
    d.negative = i < 0;
    const u128 m = i < 0 ? u128(-(i + 1)) + 1 : u128(i);
    d.lo = std::uint32_t(m);
    d.mid = std::uint32_t(m >> 32);
    return core::Value(d);
}

core::Value textParameter(std::string text, SQLSMALLINT sqlType) {
    if (sqlType == SQL_NUMERIC || sqlType == SQL_DECIMAL) {
        std::string t = trimmed(text);
        const auto point = t.find('.');
        const std::size_t scale = point == std::string::npos ? 0 : t.size() - point - 1;
        if (scale <= 28) {
            try {
                return core::Value(core::parseDecimal(t, static_cast<std::uint8_t>(scale)));
            } catch (const core::TypeMismatch&) {
                // Not a plain number: the engine's own conversion decides.
            }
        }
    }
    if (sqlType == SQL_GUID) {
        try {
            return core::Value(core::parseGuid(trimmed(text)));
        } catch (const core::TypeMismatch&) {
        }
    }
    return core::Value(std::move(text));
}

core::CivilDateTime civil(int year, int month, int day, int hour, int minute, int second,
                          SQLUINTEGER fraction) {
    core::CivilDateTime c{
        year, month, day, hour, minute, second, static_cast<int>(fraction / 1000000)};
    if (!core::isValidCivil(c)) throw OdbcError("22007", "Invalid datetime format.");
    return c;
}

} // namespace

bool isPiecewise(SQLSMALLINT cType) {
    return cType == SQL_C_CHAR || cType == SQL_C_WCHAR || cType == SQL_C_BINARY;
}

std::size_t fixedSize(SQLSMALLINT cType) {
    switch (cType) {
    case SQL_C_BIT:
    case SQL_C_TINYINT:
    case SQL_C_STINYINT:
    case SQL_C_UTINYINT:
        return 1;
    case SQL_C_SHORT:
    case SQL_C_SSHORT:
    case SQL_C_USHORT:
        return 2;
    case SQL_C_LONG:
    case SQL_C_SLONG:
    case SQL_C_ULONG:
    case SQL_C_FLOAT:
        return 4;
    case SQL_C_SBIGINT:
    case SQL_C_UBIGINT:
    case SQL_C_DOUBLE:
        return 8;
    case SQL_C_NUMERIC:
        return sizeof(SQL_NUMERIC_STRUCT);
    case SQL_C_TYPE_TIMESTAMP:
    case SQL_C_TIMESTAMP:
        return sizeof(SQL_TIMESTAMP_STRUCT);
    case SQL_C_TYPE_DATE:
    case SQL_C_DATE:
        return sizeof(SQL_DATE_STRUCT);
    case SQL_C_TYPE_TIME:
    case SQL_C_TIME:
        return sizeof(SQL_TIME_STRUCT);
    case SQL_C_GUID:
        return sizeof(SQLGUID);
    default:
        return 0;
    }
}

std::string characterText(const core::Value& v) {
    switch (v.type()) {
    case core::DataType::Null:
        return {};
    case core::DataType::Boolean:
        return v.get<bool>() ? "1" : "0";
    case core::DataType::Byte:
        return std::to_string(v.get<std::uint8_t>());
    case core::DataType::Integer:
        return std::to_string(v.get<std::int16_t>());
    case core::DataType::Long:
        return std::to_string(v.get<std::int32_t>());
    case core::DataType::Currency:
        return core::formatCurrency(v.get<core::Currency>());
    case core::DataType::Single:
        return core::formatSingle(v.get<float>());
    case core::DataType::Double:
        return core::formatDouble(v.get<double>());
    case core::DataType::DateTime: {
        const auto c = core::toCivil(v.get<core::DateTime>());
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month,
                      c.day, c.hour, c.minute, c.second);
        std::string text = buffer;
        if (c.millisecond) {
            std::snprintf(buffer, sizeof buffer, ".%03d", c.millisecond);
            text += buffer;
        }
        return text;
    }
    case core::DataType::Text:
        return v.get<std::string>();
    case core::DataType::Binary:
        return upper(core::formatHex(v.get<core::Bytes>()));
    case core::DataType::Guid:
        return "{" + upper(core::formatGuid(v.get<core::Guid>())) + "}";
    case core::DataType::Decimal:
        return core::formatDecimal(v.get<core::Decimal>());
    }
    return {};
}

std::string piecewiseForm(const core::Value& v, SQLSMALLINT cType) {
    if (cType == SQL_C_BINARY) {
        if (const auto* bytes = v.getIf<core::Bytes>()) return {bytes->begin(), bytes->end()};
        if (const auto* text = v.getIf<std::string>()) return *text;
        if (const auto* g = v.getIf<core::Guid>()) return {g->bytes.begin(), g->bytes.end()};
        restricted();
    }
    std::string text = characterText(v);
    if (cType == SQL_C_WCHAR) {
        const core::Bytes wide = core::utf8ToUtf16le(text);
        return {wide.begin(), wide.end()};
    }
    return text;
}

std::size_t writePiece(std::string_view form, std::size_t offset, const CBuffer& b) {
    const std::size_t remaining = form.size() - std::min(offset, form.size());
    if (b.indicator) *b.indicator = static_cast<SQLLEN>(remaining);
    if (!b.data || b.length <= 0) return 0;
    const std::size_t room = static_cast<std::size_t>(b.length);
    std::size_t count = remaining;
    std::size_t terminator = 0;
    if (b.cType == SQL_C_CHAR) {
        terminator = 1;
        count = std::min(count, room - 1);
    } else if (b.cType == SQL_C_WCHAR) {
        terminator = room >= 2 ? 2 : 0;
        count = room >= 2 ? std::min(count, (room / 2 - 1) * 2) : 0;
    } else {
        count = std::min(count, room);
    }
    auto* out = static_cast<char*>(b.data);
    std::memcpy(out, form.data() + (form.size() - remaining), count);
    std::memset(out + count, 0, terminator);
    return count;
}

void writeFixed(const core::Value& v, const CBuffer& b) {
    using L = std::numeric_limits<std::int64_t>;
    switch (b.cType) {
    case SQL_C_BIT: {
        if (v.type() == core::DataType::Boolean) return put<SQLCHAR>(b, v.get<bool>() ? 1 : 0);
        const Exact e = exactOf(v);
        return put<SQLCHAR>(b, e.magnitude != 0 ? 1 : 0);
    }
    case SQL_C_STINYINT:
    case SQL_C_TINYINT:
        return put<SQLSCHAR>(b, SQLSCHAR(integerOf(v, -128, 127)));
    case SQL_C_UTINYINT:
        return put<SQLCHAR>(b, SQLCHAR(integerOf(v, 0, 255)));
    case SQL_C_SHORT:
    case SQL_C_SSHORT:
        return put<SQLSMALLINT>(b, SQLSMALLINT(integerOf(v, -32768, 32767)));
    case SQL_C_USHORT:
        return put<SQLUSMALLINT>(b, SQLUSMALLINT(integerOf(v, 0, 65535)));
    case SQL_C_LONG:
    case SQL_C_SLONG:
        return put<SQLINTEGER>(b, SQLINTEGER(integerOf(v, std::numeric_limits<std::int32_t>::min(),
                                                       std::numeric_limits<std::int32_t>::max())));
    case SQL_C_ULONG:
        return put<SQLUINTEGER>(b, SQLUINTEGER(integerOf(v, 0, 4294967295LL)));
    case SQL_C_SBIGINT:
        return put<SQLBIGINT>(b, SQLBIGINT(integerOf(v, L::min(), L::max())));
    case SQL_C_UBIGINT:
        return put<SQLUBIGINT>(b, SQLUBIGINT(integerOf(v, 0, L::max())));
    case SQL_C_DOUBLE:
        return put<SQLDOUBLE>(b, doubleOf(v));
    case SQL_C_FLOAT: {
        const double d = doubleOf(v);
        if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) outOfRange();
        return put<SQLREAL>(b, static_cast<SQLREAL>(d));
    }
    case SQL_C_NUMERIC:
        return writeNumeric(v, b);
    case SQL_C_TYPE_TIMESTAMP:
    case SQL_C_TIMESTAMP: {
        const auto c = civilOf(v);
        SQL_TIMESTAMP_STRUCT t{SQLSMALLINT(c.year),
                               SQLUSMALLINT(c.month),
                               SQLUSMALLINT(c.day),
                               SQLUSMALLINT(c.hour),
                               SQLUSMALLINT(c.minute),
                               SQLUSMALLINT(c.second),
                               SQLUINTEGER(c.millisecond) * 1000000u};
        return put(b, t);
    }
    case SQL_C_TYPE_DATE:
    case SQL_C_DATE: {
        const auto c = civilOf(v);
        return put(
            b, SQL_DATE_STRUCT{SQLSMALLINT(c.year), SQLUSMALLINT(c.month), SQLUSMALLINT(c.day)});
    }
    case SQL_C_TYPE_TIME:
    case SQL_C_TIME: {
        const auto c = civilOf(v);
        return put(b, SQL_TIME_STRUCT{SQLUSMALLINT(c.hour), SQLUSMALLINT(c.minute),
                                      SQLUSMALLINT(c.second)});
    }
    case SQL_C_GUID: {
        core::Guid g;
        if (const auto* guid = v.getIf<core::Guid>())
            g = *guid;
        else if (const auto* text = v.getIf<std::string>())
            try {
                g = core::parseGuid(trimmed(*text));
            } catch (const core::TypeMismatch&) {
                badText();
            }
        else
            restricted();
        SQLGUID out;
        static_assert(sizeof out == 16);
        std::memcpy(&out, g.bytes.data(), 16); // Jet stores the fields little-endian, as x86 does
        return put(b, out);
    }
    default:
        throw OdbcError("HY003", "Program type out of range.");
    }
}

core::Value readParameter(SQLSMALLINT cType, SQLSMALLINT sqlType, const void* data, SQLLEN length) {
    if (cType == SQL_C_DEFAULT) cType = defaultCType(sqlType);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    auto get = [&](auto zero) {
        decltype(zero) value;
        std::memcpy(&value, data, sizeof value);
        return value;
    };
    switch (cType) {
    // A length that counts the text's terminator (Qt's ODBC plugin sends one) does not make
    // the terminator part of the value: Jet text holds no Nul characters.
    case SQL_C_CHAR: {
        std::size_t n = length == SQL_NTS ? std::strlen(static_cast<const char*>(data))
                                          : static_cast<std::size_t>(length);
        if (n > 0 && bytes[n - 1] == 0) --n;
        return textParameter(std::string(static_cast<const char*>(data), n), sqlType);
    }
    case SQL_C_WCHAR: {
        std::size_t n = 0;
        if (length == SQL_NTS) {
            while (bytes[n] != 0 || bytes[n + 1] != 0) n += 2;
        } else {
            n = static_cast<std::size_t>(length);
            if (n >= 2 && n % 2 == 0 && bytes[n - 2] == 0 && bytes[n - 1] == 0) n -= 2;
        }
        return textParameter(core::utf16leToUtf8({bytes, n}), sqlType);
    }
    case SQL_C_BINARY: {
        core::Bytes value(bytes, bytes + std::max<SQLLEN>(length, 0));
        if (sqlType == SQL_GUID && value.size() == 16) {
            core::Guid g;
            std::memcpy(g.bytes.data(), value.data(), 16);
            return core::Value(g);
        }
        return core::Value(std::move(value));
    }
    case SQL_C_BIT:
        return core::Value(get(SQLCHAR()) != 0);
    case SQL_C_STINYINT:
    case SQL_C_TINYINT:
        return core::Value(std::int16_t(get(SQLSCHAR())));
    case SQL_C_UTINYINT:
        return core::Value(std::uint8_t(get(SQLCHAR())));
    case SQL_C_SHORT:
    case SQL_C_SSHORT:
        return core::Value(std::int16_t(get(SQLSMALLINT())));
    case SQL_C_USHORT:
        return core::Value(std::int32_t(get(SQLUSMALLINT())));
    case SQL_C_LONG:
    case SQL_C_SLONG:
        return core::Value(std::int32_t(get(SQLINTEGER())));
    case SQL_C_ULONG:
        return integerValue(std::int64_t(get(SQLUINTEGER())));
    case SQL_C_SBIGINT:
        return integerValue(get(SQLBIGINT()));
    case SQL_C_UBIGINT: {
        const SQLUBIGINT u = get(SQLUBIGINT());
        if (u > SQLUBIGINT(std::numeric_limits<std::int64_t>::max())) outOfRange();
        return integerValue(std::int64_t(u));
    }
    case SQL_C_FLOAT:
        return core::Value(get(SQLREAL()));
    case SQL_C_DOUBLE:
        return core::Value(get(SQLDOUBLE()));
    case SQL_C_NUMERIC: {
        const auto n = get(SQL_NUMERIC_STRUCT());
        u128 m = 0;
        for (int i = SQL_MAX_NUMERIC_LEN - 1; i >= 0; --i) m = (m << 8) | n.val[i];
        if ((m >> 96) != 0 || n.scale < 0 || n.scale > 28) outOfRange();
        core::Decimal d;
        d.negative = n.sign == 0 && m != 0;
        d.lo = std::uint32_t(m);
        d.mid = std::uint32_t(m >> 32);
        d.hi = std::uint32_t(m >> 64);
        d.scale = static_cast<std::uint8_t>(n.scale);
        return core::Value(d);
    }
    case SQL_C_TYPE_TIMESTAMP:
    case SQL_C_TIMESTAMP: {
        const auto t = get(SQL_TIMESTAMP_STRUCT());
        return core::Value(
            core::fromCivil(civil(t.year, t.month, t.day, t.hour, t.minute, t.second, t.fraction)));
    }
    case SQL_C_TYPE_DATE:
    case SQL_C_DATE: {
        const auto t = get(SQL_DATE_STRUCT());
        return core::Value(core::fromCivil(civil(t.year, t.month, t.day, 0, 0, 0, 0)));
    }
    case SQL_C_TYPE_TIME:
    case SQL_C_TIME: {
        const auto t = get(SQL_TIME_STRUCT());
        return core::Value(core::fromCivil(civil(1899, 12, 30, t.hour, t.minute, t.second, 0)));
    }
    case SQL_C_GUID: {
        core::Guid g;
        std::memcpy(g.bytes.data(), data, 16);
        return core::Value(g);
    }
    default:
        throw OdbcError("HY003", "Program type out of range.");
    }
}

} // namespace odbc
