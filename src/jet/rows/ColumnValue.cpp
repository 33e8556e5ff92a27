#include "jet/rows/ColumnValue.h"

#include "core/Conversions.h"
#include "core/Error.h"
#include "core/FixedPoint.h"
#include "core/TextEncoding.h"
#include "core/TypeConversion.h"
#include "core/YesNoText.h"
#include "jet/rows/ValueText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>

namespace jet {

namespace {

using core::DataType;
using core::fixed::u128;

// Jet's calendar runs from 1 January 100 (day -657434) to 31 December 9999 (day 2958465).
constexpr double kFirstDay = -657434.0;
constexpr double kDayAfterLast = 2958466.0;
constexpr unsigned kMaxDecimalDigits = 28;
constexpr std::size_t kShownTextLimit = 60;

std::string shortened(std::string text) {
    if (text.size() <= kShownTextLimit) return text;
    std::size_t cut = kShownTextLimit;
    // Never cut a UTF-8 sequence in half.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "...";
}

std::string shown(const core::Value& v) {
    if (v.type() == DataType::Binary) return "binary data";
    if (v.type() == DataType::Text) return "'" + shortened(v.get<std::string>()) + "'";
    // A day count outside the calendar has no date to show.
    if (const auto* dt = v.getIf<core::DateTime>();
        dt && !(dt->days >= kFirstDay && dt->days < kDayAfterLast))
        return columnText(core::Value(dt->days));
    return shortened(columnText(v));
}

std::string withArticle(std::string_view noun) {
    const bool vowel = std::string_view("AEIOU").find(noun.front()) != std::string_view::npos;
    return (vowel ? "an " : "a ") + std::string(noun);
}

[[noreturn]] void throwMismatch(const ColumnDef& c, const core::Value& v) {
    throw core::TypeMismatch("Data type mismatch in column '" + c.name + "': " + shown(v) +
                             " is not " + withArticle(accessTypeName(c.type)) + " value.");
}

[[noreturn]] void throwOverflow(const ColumnDef& c, const core::Value& v) {
    throw core::TypeMismatch("Overflow in column '" + c.name + "': " + shown(v) +
                             " is outside the " + std::string(accessTypeName(c.type)) + " range.");
}

[[noreturn]] void throwTooSmall(const ColumnDef& c) {
    // Jet's own wording, which Access users know.
    throw core::ConstraintError("The field '" + c.name +
                                "' is too small to accept the amount of data you attempted to "
                                "add. Try inserting or pasting less data.");
}

std::int64_t divideHalfEven(u128 magnitude, u128 divisor, bool negative, bool& tooBig) {
    u128 q = magnitude / divisor, r = magnitude % divisor;
    if (r * 2 > divisor || (r * 2 == divisor && (q & 1))) ++q;
    tooBig = q > (u128(1) << 63) || (!negative && q == (u128(1) << 63));
    if (tooBig) return 0;
    return negative ? -static_cast<std::int64_t>(q - 1) - 1 : static_cast<std::int64_t>(q);
}

u128 magnitudeOf(const core::Decimal& d) {
    return (u128(d.hi) << 64) | (u128(d.mid) << 32) | u128(d.lo);
}

std::int64_t wholeNumber(const ColumnDef& c, const core::Value& v, std::int64_t min,
                         std::int64_t max) {
    std::int64_t n = 0;
    bool tooBig = false;
    auto fromDouble = [&](double d) {
        d = core::roundHalfEven(d); // as Jet rounds a number it stores in an integer column
        if (!(d >= -9.2e18 && d <= 9.2e18)) throwOverflow(c, v);
        return static_cast<std::int64_t>(d);
    };
    switch (v.type()) {
    case DataType::Boolean:
        n = v.get<bool>() ? -1 : 0;
        break;
    case DataType::Byte:
        n = v.get<std::uint8_t>();
        break;
    case DataType::Integer:
        n = v.get<std::int16_t>();
        break;
    case DataType::Long:
        n = v.get<std::int32_t>();
        break;
    case DataType::Currency: {
        const std::int64_t units = v.get<core::Currency>().units;
        const bool negative = units < 0;
        const std::uint64_t magnitude =
            negative ? std::uint64_t(0) - std::uint64_t(units) : std::uint64_t(units);
        n = divideHalfEven(magnitude, 10000, negative, tooBig);
        break;
    }
    case DataType::Decimal: {
        const auto& d = v.get<core::Decimal>();
        // 96 bits hold under 10^29: past that scale the value rounds to zero.
        if (d.scale < 30)
            n = divideHalfEven(magnitudeOf(d), core::fixed::powerOfTen(d.scale), d.negative,
                               tooBig);
        break;
    }
    case DataType::Single:
        n = fromDouble(v.get<float>());
        break;
    case DataType::Double:
        n = fromDouble(v.get<double>());
        break;
    case DataType::DateTime:
        n = fromDouble(v.get<core::DateTime>().days);
        break;
    case DataType::Text: {
        auto d = numberInText(v.get<std::string>());
        if (!d) throwMismatch(c, v);
        n = fromDouble(*d);
        break;
    }
    default:
        throwMismatch(c, v);
    }
    if (tooBig || n < min || n > max) throwOverflow(c, v);
    return n;
}

double realNumber(const ColumnDef& c, const core::Value& v) {
    switch (v.type()) {
    case DataType::Boolean:
        return v.get<bool>() ? -1.0 : 0.0;
    case DataType::Byte:
        return v.get<std::uint8_t>();
    case DataType::Integer:
        return v.get<std::int16_t>();
    case DataType::Long:
        return v.get<std::int32_t>();
    case DataType::Currency:
        return static_cast<double>(v.get<core::Currency>().units) / 10000.0;
    case DataType::Decimal:
        return *numberInText(core::formatDecimal(v.get<core::Decimal>()));
    case DataType::Single:
        return v.get<float>();
    case DataType::Double:
        return v.get<double>();
    case DataType::DateTime:
        return v.get<core::DateTime>().days;
    case DataType::Text:
        if (auto d = numberInText(v.get<std::string>())) return *d;
        break;
    default:
        break;
    }
    throwMismatch(c, v);
}

// The value as a count of 10^-scale units, rounded half away from zero at the first dropped
// digit, through exact decimal text so that currency and decimals never pass through a double.
core::fixed::Parsed scaledNumber(const core::Value& v, unsigned scale, u128 limit) {
    std::string text;
    switch (v.type()) {
    case DataType::Boolean:
        text = v.get<bool>() ? "-1" : "0";
        break;
    case DataType::Byte:
        text = std::to_string(v.get<std::uint8_t>());
        break;
    case DataType::Integer:
        text = std::to_string(v.get<std::int16_t>());
        break;
    case DataType::Long:
        text = std::to_string(v.get<std::int32_t>());
        break;
    case DataType::Currency:
        text = core::formatCurrency(v.get<core::Currency>());
        break;
    case DataType::Decimal:
        text = core::formatDecimal(v.get<core::Decimal>());
        break;
    case DataType::Single:
        if (!std::isfinite(v.get<float>())) return {core::fixed::ParseStatus::Overflow};
        text = plainDecimal(v.get<float>());
        break;
    case DataType::Double:
        if (!std::isfinite(v.get<double>())) return {core::fixed::ParseStatus::Overflow};
        text = plainDecimal(v.get<double>());
        break;
    case DataType::DateTime:
        text = plainDecimal(v.get<core::DateTime>().days);
        break;
    case DataType::Text: {
        text = v.get<std::string>();
        auto exact = core::fixed::parse(text, scale, limit);
        if (exact.status != core::fixed::ParseStatus::Invalid) return exact;
        auto d = numberInText(text); // "1.5e3" and the like
        if (!d) return {};
        if (!std::isfinite(*d)) return {core::fixed::ParseStatus::Overflow};
        text = plainDecimal(*d);
        break;
    }
    default:
        return {};
    }
    return core::fixed::parse(text, scale, limit);
}

core::Currency toCurrency(const ColumnDef& c, const core::Value& v) {
    // Already of the column's type, as the SQL engine hands over every value it writes.
    if (const auto* currency = v.getIf<core::Currency>()) return *currency;
    constexpr u128 negativeLimit = u128(1) << 63;
    const auto p = scaledNumber(v, 4, negativeLimit);
    if (p.status == core::fixed::ParseStatus::Invalid) throwMismatch(c, v);
    if (p.status == core::fixed::ParseStatus::Overflow ||
        (!p.negative && p.magnitude >= negativeLimit))
        throwOverflow(c, v);
    const auto magnitude = static_cast<std::uint64_t>(p.magnitude);
    return core::Currency{p.negative ? static_cast<std::int64_t>(std::uint64_t(0) - magnitude)
                                     : static_cast<std::int64_t>(magnitude)};
}

core::Decimal toDecimal(const ColumnDef& c, const core::Value& v) {
    const unsigned precision =
        c.precision == 0 ? kMaxDecimalDigits : std::min<unsigned>(c.precision, kMaxDecimalDigits);
    const unsigned scale = std::min<unsigned>(c.scale, precision);
    const auto p = scaledNumber(v, scale, core::fixed::powerOfTen(precision) - 1);
    if (p.status == core::fixed::ParseStatus::Invalid) throwMismatch(c, v);
    if (p.status == core::fixed::ParseStatus::Overflow) throwOverflow(c, v);
    core::Decimal d;
    d.negative = p.negative && p.magnitude != 0;
    d.lo = static_cast<std::uint32_t>(p.magnitude);
    d.mid = static_cast<std::uint32_t>(p.magnitude >> 32);
    d.hi = static_cast<std::uint32_t>(p.magnitude >> 64);
    d.scale = c.scale;
    return d;
}

bool toBoolean(const ColumnDef& c, const core::Value& v) {
    switch (v.type()) {
    case DataType::Boolean:
        return v.get<bool>();
    case DataType::Currency:
        return v.get<core::Currency>().units != 0;
    case DataType::Decimal:
        return magnitudeOf(v.get<core::Decimal>()) != 0;
    case DataType::Text: {
        const std::string& text = v.get<std::string>();
        if (auto word = core::yesNoWord(text)) return *word;
        if (auto d = numberInText(text)) return *d != 0;
        throwMismatch(c, v);
    }
    default:
        return realNumber(c, v) != 0;
    }
}

core::DateTime toDate(const ColumnDef& c, const core::Value& v) {
    double days = 0;
    if (v.type() == DataType::Text) {
        auto parsed = dateInText(v.get<std::string>());
        if (!parsed) throwMismatch(c, v);
        days = parsed->days;
    } else {
        days = realNumber(c, v);
    }
    if (!(days >= kFirstDay && days < kDayAfterLast)) throwOverflow(c, v);
    return core::DateTime{days};
}

core::Guid toGuid(const ColumnDef& c, const core::Value& v) {
    if (const auto* g = v.getIf<core::Guid>()) return *g;
    if (const auto* text = v.getIf<std::string>()) {
        try {
            return core::parseGuid(trimBlanks(*text));
        } catch (const core::TypeMismatch&) {
            throwMismatch(c, v);
        }
    }
    if (const auto* bytes = v.getIf<core::Bytes>(); bytes && bytes->size() == 16) {
        core::Guid g;
        std::copy(bytes->begin(), bytes->end(), g.bytes.begin());
        return g;
    }
    throwMismatch(c, v);
}

core::Bytes toBytes(const ColumnDef& c, const core::Value& v) {
    core::Bytes out;
    if (const auto* bytes = v.getIf<core::Bytes>())
        out = *bytes;
    else if (const auto* text = v.getIf<std::string>())
        out = core::utf8ToUtf16le(*text);
    else if (const auto* g = v.getIf<core::Guid>())
        out.assign(g->bytes.begin(), g->bytes.end());
    else
        throwMismatch(c, v);
    if (c.type == ColumnType::Binary && out.size() > c.size) throwTooSmall(c);
    return out;
}

std::string toText(const ColumnDef& c, const core::Value& v) {
    std::string text = columnText(v);
    if (c.type == ColumnType::Text && core::utf16Length(text) > c.maxChars()) throwTooSmall(c);
    return text;
}

} // namespace

std::string_view accessTypeName(ColumnType type) {
    switch (type) {
    case ColumnType::Boolean:
        return "Yes/No";
    case ColumnType::Byte:
        return "Byte";
    case ColumnType::Integer:
        return "Integer";
    case ColumnType::Long:
        return "Long Integer";
    case ColumnType::Currency:
        return "Currency";
    case ColumnType::Single:
        return "Single";
    case ColumnType::Double:
        return "Double";
    case ColumnType::DateTime:
        return "Date/Time";
    case ColumnType::Binary:
        return "Binary";
    case ColumnType::Text:
        return "Text";
    case ColumnType::Ole:
        return "OLE Object";
    case ColumnType::Memo:
        return "Memo";
    case ColumnType::Guid:
        return "Replication ID";
    case ColumnType::Numeric:
        return "Decimal";
    }
    return "Binary";
}

core::Value coerceToColumn(const ColumnDef& c, const core::Value& v) {
    if (v.isNull()) return v;
    switch (c.type) {
    case ColumnType::Boolean:
        return core::Value(toBoolean(c, v));
    case ColumnType::Byte:
        return core::Value(static_cast<std::uint8_t>(wholeNumber(c, v, 0, 255)));
    case ColumnType::Integer:
        return core::Value(static_cast<std::int16_t>(wholeNumber(c, v, INT16_MIN, INT16_MAX)));
    case ColumnType::Long:
        return core::Value(static_cast<std::int32_t>(wholeNumber(c, v, INT32_MIN, INT32_MAX)));
    case ColumnType::Currency:
        return core::Value(toCurrency(c, v));
    case ColumnType::Single: {
        if (const auto* f = v.getIf<float>()) return core::Value(*f);
        const double d = realNumber(c, v);
        if (!std::isfinite(d) || std::fabs(d) > double(FLT_MAX)) throwOverflow(c, v);
        return core::Value(static_cast<float>(d));
    }
    case ColumnType::Double: {
        // A double is stored as it is, even one no arithmetic would give.
        if (const auto* same = v.getIf<double>()) return core::Value(*same);
        const double d = realNumber(c, v);
        if (!std::isfinite(d)) throwOverflow(c, v);
        return core::Value(d);
    }
    case ColumnType::DateTime:
        return core::Value(toDate(c, v));
    case ColumnType::Text:
    case ColumnType::Memo:
        return core::Value(toText(c, v));
    case ColumnType::Binary:
    case ColumnType::Ole:
        return core::Value(toBytes(c, v));
    case ColumnType::Guid:
        return core::Value(toGuid(c, v));
    case ColumnType::Numeric:
        return core::Value(toDecimal(c, v));
    }
    throwMismatch(c, v);
}

} // namespace jet
