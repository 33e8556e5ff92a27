#include "jet/rows/ColumnValue.h"

#include "core/Conversions.h"
#include "core/DateText.h"
#include "core/DecimalMath.h"
#include "core/Error.h"
#include "core/FixedPoint.h"
#include "core/TextEncoding.h"
#include "core/TypeConversion.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace jet {

namespace {

using core::DataType;

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

std::string upperExponent(std::string s) {
    for (char& ch : s)
        if (ch == 'e') ch = 'E';
    return s;
}

// The value as a message shows it: text quoted, numbers in their shortest form.
std::string shown(const core::Value& v) {
    switch (v.type()) {
    case DataType::Binary:
        return "binary data";
    case DataType::Text:
        return "'" + shortened(v.get<std::string>()) + "'";
    case DataType::Single:
        return upperExponent(core::formatSingle(v.get<float>()));
    case DataType::Double:
        return upperExponent(core::formatDouble(v.get<double>()));
    case DataType::DateTime: {
        // A day count outside the calendar has no date to show.
        const double days = v.get<core::DateTime>().days;
        if (!(days >= kFirstDay && days < kDayAfterLast))
            return upperExponent(core::formatDouble(days));
        return core::formatGeneralDate(v.get<core::DateTime>());
    }
    default:
        return shortened(core::toText(v));
    }
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

// A number of another kind in a number column, converted by the rules every conversion
// follows (core's: half to even). Nothing else is a number: text is converted before it gets
// here. From a number, a conversion can only fail by leaving the type's range.
template <class Convert>
auto number(const ColumnDef& c, const core::Value& v, Convert convert) -> decltype(convert(v)) {
    if (!core::isNumericType(v.type())) throwMismatch(c, v);
    try {
        return convert(v);
    } catch (const core::TypeMismatch&) {
        throwOverflow(c, v);
    }
}

// A decimal with the column's scale whose digits fit its precision, rounded half to even.
core::Decimal toDecimal(const ColumnDef& c, const core::Value& v) {
    const unsigned precision =
        c.precision == 0 ? kMaxDecimalDigits : std::min<unsigned>(c.precision, kMaxDecimalDigits);
    const unsigned scale = std::min<unsigned>(c.scale, precision);
    const std::string digits = number(c, v, [&](const core::Value& n) {
        return core::decimalToText(core::decimalRound(core::toDecimal(n), scale));
    });
    const auto p = core::fixed::parse(digits, scale, core::fixed::powerOfTen(precision) - 1);
    if (p.status != core::fixed::ParseStatus::Ok) throwOverflow(c, v);
    core::Decimal d;
    d.negative = p.negative && p.magnitude != 0;
    d.lo = static_cast<std::uint32_t>(p.magnitude);
    d.mid = static_cast<std::uint32_t>(p.magnitude >> 32);
    d.hi = static_cast<std::uint32_t>(p.magnitude >> 64);
    d.scale = c.scale;
    return d;
}

core::DateTime toDate(const ColumnDef& c, const core::Value& v) {
    core::DateTime dt;
    if (const auto* given = v.getIf<core::DateTime>())
        dt = *given;
    else // a day count
        dt = core::DateTime{number(c, v, [](const core::Value& n) { return core::toDouble(n); })};
    if (!(dt.days >= kFirstDay && dt.days < kDayAfterLast)) throwOverflow(c, v);
    return dt;
}

template <class T> const T& ofType(const ColumnDef& c, const core::Value& v) {
    const T* given = v.getIf<T>();
    if (!given) throwMismatch(c, v);
    return *given;
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
        return core::Value(number(c, v, [](const core::Value& n) { return core::toBoolean(n); }));
    case ColumnType::Byte:
        return core::Value(number(c, v, [](const core::Value& n) { return core::toByte(n); }));
    case ColumnType::Integer:
        return core::Value(number(c, v, [](const core::Value& n) { return core::toInteger(n); }));
    case ColumnType::Long:
        return core::Value(number(c, v, [](const core::Value& n) { return core::toLong(n); }));
    case ColumnType::Currency:
        return core::Value(number(c, v, [](const core::Value& n) { return core::toCurrency(n); }));
    case ColumnType::Single: {
        // A float is stored as it is, even one no arithmetic would give.
        if (const auto* same = v.getIf<float>()) return core::Value(*same);
        const float f = number(c, v, [](const core::Value& n) { return core::toSingle(n); });
        if (!std::isfinite(f)) throwOverflow(c, v);
        return core::Value(f);
    }
    case ColumnType::Double: {
        if (const auto* same = v.getIf<double>()) return core::Value(*same);
        const double d = number(c, v, [](const core::Value& n) { return core::toDouble(n); });
        if (!std::isfinite(d)) throwOverflow(c, v);
        return core::Value(d);
    }
    case ColumnType::DateTime:
        return core::Value(toDate(c, v));
    case ColumnType::Text:
        if (core::utf16Length(ofType<std::string>(c, v)) > c.maxChars()) throwTooSmall(c);
        return v;
    case ColumnType::Memo:
        ofType<std::string>(c, v);
        return v;
    case ColumnType::Binary:
        if (ofType<core::Bytes>(c, v).size() > c.size) throwTooSmall(c);
        return v;
    case ColumnType::Ole:
        ofType<core::Bytes>(c, v);
        return v;
    case ColumnType::Guid:
        ofType<core::Guid>(c, v);
        return v;
    case ColumnType::Numeric:
        return core::Value(toDecimal(c, v));
    }
    throwMismatch(c, v);
}

} // namespace jet
