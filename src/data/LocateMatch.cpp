#include "data/LocateMatch.h"

#include "core/Conversions.h"
#include "core/Error.h"
#include "core/TextUnits.h"
#include "data/FieldText.h"

namespace data {
namespace {

bool comparedAsText(FieldType type) {
    return !comparesByValue(type) && type != FieldType::Boolean;
}

// A decimal's digits without the zeros its scale adds: "12.5" for 12.500.
std::string decimalDigits(const core::Decimal& d) {
    std::string text = core::formatDecimal(d);
    if (text.find('.') == std::string::npos) return text;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

} // namespace

bool sameValue(const core::Value& a, const core::Value& b) {
    const auto* left = a.getIf<core::Decimal>();
    const auto* right = b.getIf<core::Decimal>();
    if (left && right) return decimalDigits(*left) == decimalDigits(*right);
    return a == b;
}

bool locateMatches(const core::Value& fieldValue, FieldType type, core::DataType valueType,
                   const core::Value& key, LocateOptions options, const LocaleFormats& formats) {
    if (key.isNull()) return fieldValue.isNull();
    if (fieldValue.isNull()) return false;
    const bool partial = options.partialKey || options.anywhere;
    if (partial || comparedAsText(type)) {
        std::string value = valueText(fieldValue, formats);
        std::string wanted = valueText(key, formats);
        if (options.caseInsensitive) {
            value = core::upperCase(value);
            wanted = core::upperCase(wanted);
        }
        if (options.anywhere) return !wanted.empty() && value.find(wanted) != std::string::npos;
        return options.partialKey ? value.starts_with(wanted) : value == wanted;
    }
    try {
        return sameValue(convertForField(key, valueType, formats),
                         convertForField(fieldValue, valueType, formats));
    } catch (const core::Error&) {
        return false;
    }
}

} // namespace data
