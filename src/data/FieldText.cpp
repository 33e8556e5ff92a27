#include "data/FieldText.h"

#include "core/Conversions.h"
#include "core/DecimalMath.h"
#include "core/Error.h"
#include "core/NumberText.h"
#include "core/TypeConversion.h"
#include "core/YesNoText.h"

#include <cmath>

namespace data {
namespace {

std::string upperHex(std::string text) {
    for (auto& c : text)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

[[noreturn]] void notValid(std::string_view text, std::string_view what) {
    throw core::TypeMismatch("'" + std::string(text) + "' is not a valid " + std::string(what));
}

core::Value booleanFromText(std::string_view text) {
    if (auto word = core::yesNoWord(text)) return *word;
    if (auto n = core::parseNumber(text)) return *n != 0;
    notValid(text, "boolean value");
}

double wholeNumber(std::string_view text) {
    auto n = core::parseNumber(text);
    if (!n || *n != std::trunc(*n)) notValid(text, "integer value");
    return *n;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

core::Bytes bytesFromHex(std::string_view text) {
    if (text.size() % 2 != 0) notValid(text, "binary value");
    core::Bytes bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int hi = hexDigit(text[i]), lo = hexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) notValid(text, "binary value");
        bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return bytes;
}

} // namespace

std::string valueText(const core::Value& value, const LocaleFormats& formats) {
    using core::DataType;
    switch (value.type()) {
    case DataType::Null:
        return {};
    case DataType::Boolean:
        return value.get<bool>() ? "True" : "False";
    case DataType::Byte:
        return std::to_string(value.get<std::uint8_t>());
    case DataType::Integer:
        return std::to_string(value.get<std::int16_t>());
    case DataType::Long:
        return std::to_string(value.get<std::int32_t>());
    case DataType::Currency:
        return core::currencyToText(value.get<core::Currency>());
    case DataType::Single:
        return core::formatVbaSingle(value.get<float>());
    case DataType::Double:
        return core::formatVbaDouble(value.get<double>());
    case DataType::DateTime:
        return formatDateTime(value.get<core::DateTime>(), formats);
    case DataType::Text:
        return value.get<std::string>();
    case DataType::Binary:
        return upperHex(core::formatHex(value.get<core::Bytes>()));
    case DataType::Guid:
        return "{" + upperHex(core::formatGuid(value.get<core::Guid>())) + "}";
    case DataType::Decimal:
        return core::decimalToText(value.get<core::Decimal>());
    }
    return {};
}

std::string displayText(const core::Value& value, FieldType type, const LocaleFormats& formats) {
    if (value.isNull()) return {};
    if (type == FieldType::Blob) return "(BLOB)";
    if (type == FieldType::Currency && value.type() == core::DataType::Currency)
        return formatCurrencyDisplay(value.get<core::Currency>(), formats);
    return valueText(value, formats);
}

core::Value valueFromText(std::string_view typed, core::DataType target,
                          const LocaleFormats& formats) {
    using core::DataType;
    if (target == DataType::Text || target == DataType::Null)
        return core::Value(std::string(typed));
    const std::string_view text = trim(typed);
    if (text.empty()) return {};
    switch (target) {
    case DataType::Boolean:
        return booleanFromText(text);
    case DataType::Byte:
        return core::toByte(core::Value(wholeNumber(text)));
    case DataType::Integer:
        return core::toInteger(core::Value(wholeNumber(text)));
    case DataType::Long:
        return core::toLong(core::Value(wholeNumber(text)));
    case DataType::Single:
    case DataType::Double: {
        auto n = core::parseNumber(text);
        if (!n) notValid(text, "floating point value");
        return target == DataType::Single ? core::Value(core::toSingle(core::Value(*n)))
                                          : core::Value(*n);
    }
    case DataType::Currency:
    case DataType::Decimal: {
        // Exact digits, never through a double.
        auto digits = core::parseNumericText(text);
        if (!digits) notValid(text, "floating point value");
        core::Decimal d = core::decimalFromDigits(*digits);
        if (target == DataType::Decimal) return d;
        return core::decimalToCurrency(d);
    }
    case DataType::DateTime:
        if (auto d = parseDateTime(text, formats)) return *d;
        notValid(text, "date and time");
    case DataType::Guid:
        try {
            return core::parseGuid(text);
        } catch (const core::TypeMismatch&) {
            notValid(text, "GUID value");
        }
    case DataType::Binary:
        return bytesFromHex(text);
    default:
        break;
    }
    return core::Value(std::string(text));
}

core::Value convertForField(const core::Value& value, core::DataType target,
                            const LocaleFormats& formats) {
    using core::DataType;
    if (value.isNull() || target == DataType::Null || value.type() == target) return value;
    if (target == DataType::Text) return valueText(value, formats);
    if (value.type() == DataType::Text)
        return valueFromText(value.get<std::string>(), target, formats);
    switch (target) {
    case DataType::Boolean:
        return core::toBoolean(value);
    case DataType::Byte:
        return core::toByte(value);
    case DataType::Integer:
        return core::toInteger(value);
    case DataType::Long:
        return core::toLong(value);
    case DataType::Currency:
        return core::toCurrency(value);
    case DataType::Single:
        return core::toSingle(value);
    case DataType::Double:
        return core::toDouble(value);
    case DataType::Decimal:
        return core::toDecimal(value);
    case DataType::DateTime:
        return core::toDate(value);
    default:
        break;
    }
    throw core::TypeMismatch("Type mismatch");
}

} // namespace data
