#include "cli/Json.h"

#include "core/Conversions.h"

#include <cmath>
#include <cstdio>

namespace cli {

void appendJsonString(std::string& out, std::string_view s) {
    out += '"';
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

namespace {
void appendNumber(std::string& out, double d) {
    // JSON has no NaN or infinity; such values leave the dump as strings.
    if (!std::isfinite(d)) return appendJsonString(out, core::formatDouble(d));
    out += core::formatDouble(d);
}
} // namespace

void appendJsonValue(std::string& out, const core::Value& v) {
    using core::DataType;
    switch (v.type()) {
    case DataType::Null:
        out += "null";
        break;
    case DataType::Boolean:
        out += v.get<bool>() ? "true" : "false";
        break;
    case DataType::Byte:
        out += std::to_string(v.get<std::uint8_t>());
        break;
    case DataType::Integer:
        out += std::to_string(v.get<std::int16_t>());
        break;
    case DataType::Long:
        out += std::to_string(v.get<std::int32_t>());
        break;
    case DataType::Currency:
        appendJsonString(out, core::formatCurrency(v.get<core::Currency>()));
        break;
    case DataType::Single:
        appendNumber(out, static_cast<double>(v.get<float>()));
        break;
    case DataType::Double:
        appendNumber(out, v.get<double>());
        break;
    case DataType::DateTime:
        appendJsonString(out, core::formatIsoDateTime(v.get<core::DateTime>()));
        break;
    case DataType::Text:
        appendJsonString(out, v.get<std::string>());
        break;
    case DataType::Binary:
        appendJsonString(out, core::formatHex(v.get<core::Bytes>()));
        break;
    case DataType::Guid:
        appendJsonString(out, core::formatGuid(v.get<core::Guid>()));
        break;
    case DataType::Decimal:
        appendJsonString(out, core::formatDecimal(v.get<core::Decimal>()));
        break;
    }
}

} // namespace cli
