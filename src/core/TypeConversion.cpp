#include "core/TypeConversion.h"

#include "core/ConversionErrors.h"
#include "core/Conversions.h"
#include "core/DateParts.h"
#include "core/DateText.h"
#include "core/DecimalMath.h"
#include "core/NumberText.h"
#include "core/TextEncoding.h"
#include "core/TextUnits.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace core {

namespace {

template <class... Ts> struct Visitor : Ts... { using Ts::operator()...; };
template <class... Ts> Visitor(Ts...) -> Visitor<Ts...>;

double textToDouble(const std::string& text) {
    const auto d = parseNumber(text);
    if (!d) {
        if (parseNumericText(text)) throwOverflow();
        throwTypeMismatch();
    }
    return *d;
}

// Integer conversions share the rounding and the range check.
std::int64_t toRoundedInteger(const core::Value& v, std::int64_t min, std::int64_t max) {
    std::int64_t result = 0;
    switch (v.type()) {
    case core::DataType::Null:
        throwInvalidUseOfNull();
    case core::DataType::Boolean:
        result = v.get<bool>() ? -1 : 0;
        break;
    case core::DataType::Byte:
        result = v.get<std::uint8_t>();
        break;
    case core::DataType::Integer:
        result = v.get<std::int16_t>();
        break;
    case core::DataType::Long:
        result = v.get<std::int32_t>();
        break;
    case core::DataType::Currency: {
        // Half to even at the units digit, exactly.
        const std::int64_t units = v.get<core::Currency>().units;
        std::int64_t q = units / 10000, r = units % 10000;
        if (r > 5000 || (r == 5000 && q % 2 != 0)) ++q;
        if (r < -5000 || (r == -5000 && q % 2 != 0)) --q;
        result = q;
        break;
    }
    case core::DataType::Decimal:
        result = decimalToInt64(v.get<core::Decimal>());
        break;
    default: {
        const double d = roundHalfEven(toDouble(v));
        if (!(d >= double(min) - 0.5 && d <= double(max) + 0.5)) throwOverflow();
        result = std::int64_t(d);
        break;
    }
    }
    if (result < min || result > max) throwOverflow();
    return result;
}

} // namespace

double roundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

double toDouble(const core::Value& v) {
    switch (v.type()) {
    case core::DataType::Null:
        throwInvalidUseOfNull();
    case core::DataType::Boolean:
        return v.get<bool>() ? -1.0 : 0.0;
    case core::DataType::Byte:
        return v.get<std::uint8_t>();
    case core::DataType::Integer:
        return v.get<std::int16_t>();
    case core::DataType::Long:
        return v.get<std::int32_t>();
    case core::DataType::Currency:
        return currencyToDouble(v.get<core::Currency>());
    case core::DataType::Single:
        return double(v.get<float>());
    case core::DataType::Double:
        return v.get<double>();
    case core::DataType::DateTime:
        return v.get<core::DateTime>().days;
    case core::DataType::Text:
        return textToDouble(v.get<std::string>());
    case core::DataType::Decimal:
        return decimalToDouble(v.get<core::Decimal>());
    case core::DataType::Binary:
    case core::DataType::Guid:
        break;
    }
    throwTypeMismatch();
}

float toSingle(const core::Value& v) {
    if (v.type() == core::DataType::Single) return v.get<float>();
    const double d = toDouble(v);
    if (std::fabs(d) > double(FLT_MAX)) throwOverflow();
    return float(d);
}

std::int32_t toLong(const core::Value& v) {
    return std::int32_t(toRoundedInteger(v, std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<std::int32_t>::max()));
}

std::int16_t toInteger(const core::Value& v) {
    return std::int16_t(toRoundedInteger(v, -32768, 32767));
}

std::uint8_t toByte(const core::Value& v) {
    return std::uint8_t(toRoundedInteger(v, 0, 255));
}

core::Currency currencyFromDouble(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 9.3e14) throwOverflow();
    return decimalToCurrency(decimalFromDouble(value));
}

double currencyToDouble(core::Currency c) {
    // Whole and fractional parts separately keep large amounts exact where a double can be.
    return double(c.units / 10000) + double(c.units % 10000) / 10000.0;
}

std::string currencyToText(core::Currency c) {
    return trimFraction(core::formatCurrency(c));
}

core::Currency toCurrency(const core::Value& v) {
    switch (v.type()) {
    case core::DataType::Currency:
        return v.get<core::Currency>();
    case core::DataType::Decimal:
        return decimalToCurrency(v.get<core::Decimal>());
    case core::DataType::Boolean:
    case core::DataType::Byte:
    case core::DataType::Integer:
    case core::DataType::Long:
        return core::Currency{std::int64_t(toLong(v)) * 10000};
    case core::DataType::Text: {
        const auto digits = parseNumericText(v.get<std::string>());
        if (!digits) throwTypeMismatch();
        return decimalToCurrency(decimalFromDigits(*digits));
    }
    default:
        return currencyFromDouble(toDouble(v));
    }
}

core::Decimal toDecimal(const core::Value& v) {
    switch (v.type()) {
    case core::DataType::Decimal:
        return v.get<core::Decimal>();
    case core::DataType::Currency:
        return decimalFromCurrency(v.get<core::Currency>());
    case core::DataType::Boolean:
    case core::DataType::Byte:
    case core::DataType::Integer:
    case core::DataType::Long:
        return decimalFromInteger(toLong(v));
    case core::DataType::Single:
        return decimalFromDigits(significantDigits(double(v.get<float>()), 7));
    case core::DataType::Text: {
        const auto digits = parseNumericText(v.get<std::string>());
        if (!digits) throwTypeMismatch();
        return decimalFromDigits(*digits);
    }
    default:
        return decimalFromDouble(toDouble(v));
    }
}

bool toBoolean(const core::Value& v) {
    switch (v.type()) {
    case core::DataType::Null:
        throwInvalidUseOfNull();
    case core::DataType::Boolean:
        return v.get<bool>();
    case core::DataType::Currency:
        return v.get<core::Currency>().units != 0;
    case core::DataType::Decimal:
        return !decimalIsZero(v.get<core::Decimal>());
    case core::DataType::Text: {
        const std::string& text = v.get<std::string>();
        // The words in any letter case, as the text comparison would match them.
        const std::string word = lowerCase(text);
        if (word == "true") return true;
        if (word == "false") return false;
        return textToDouble(text) != 0;
    }
    default:
        return toDouble(v) != 0;
    }
}

core::DateTime toDate(const core::Value& v) {
    if (v.type() == core::DataType::DateTime) return v.get<core::DateTime>();
    if (v.isNull()) throwInvalidUseOfNull();
    if (const auto* text = v.getIf<std::string>()) {
        if (const auto parsed = parseDateText(*text)) return *parsed;
        if (!parseNumericText(*text)) throwTypeMismatch();
    }
    const core::DateTime dt{toDouble(v)};
    if (!inDateRange(dt)) throwOverflow();
    return dt;
}

std::string toText(const core::Value& v) {
    return std::visit(
        Visitor{[](std::monostate) -> std::string { throwInvalidUseOfNull(); },
                [](bool b) -> std::string { return b ? "True" : "False"; },
                [](std::uint8_t n) { return std::to_string(n); },
                [](std::int16_t n) { return std::to_string(n); },
                [](std::int32_t n) { return std::to_string(n); },
                [](core::Currency c) { return currencyToText(c); },
                [](float f) { return formatVbaSingle(f); },
                [](double d) { return formatVbaDouble(d); },
                [](core::DateTime dt) { return formatGeneralDate(dt); },
                [](const std::string& s) { return s; },
                // Binary data reads as the UTF-16 text it usually holds.
                [](const core::Bytes& b) { return core::utf16leToUtf8(b); },
                [](const core::Guid& g) { return "{" + upperCase(core::formatGuid(g)) + "}"; },
                [](const core::Decimal& d) { return decimalToText(d); }},
        v.storage());
}

bool isNumericType(core::DataType type) {
    switch (type) {
    case core::DataType::Boolean:
    case core::DataType::Byte:
    case core::DataType::Integer:
    case core::DataType::Long:
    case core::DataType::Currency:
    case core::DataType::Single:
    case core::DataType::Double:
    case core::DataType::Decimal:
        return true;
    default:
        return false;
    }
}

} // namespace core
