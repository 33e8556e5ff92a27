#include "data/LocateMatch.h"

#include "core/Error.h"
#include "data/FieldText.h"
#include "sql/eval/TextUnits.h"

namespace data {
namespace {

bool comparedAsText(FieldType type) {
    return !comparesByValue(type) && type != FieldType::Boolean;
}

} // namespace

bool locateMatches(const core::Value& fieldValue, FieldType type, core::DataType valueType,
                   const core::Value& key, LocateOptions options, const LocaleFormats& formats) {
    if (key.isNull()) return fieldValue.isNull();
    if (fieldValue.isNull()) return false;
    if (options.partialKey || comparedAsText(type)) {
        std::string value = valueText(fieldValue, formats);
        std::string wanted = valueText(key, formats);
        if (options.caseInsensitive) {
            value = sql::upperCase(value);
            wanted = sql::upperCase(wanted);
        }
        return options.partialKey ? value.starts_with(wanted) : value == wanted;
    }
    try {
        return convertForField(key, valueType, formats) ==
               convertForField(fieldValue, valueType, formats);
    } catch (const core::Error&) {
        return false;
    }
}

} // namespace data
