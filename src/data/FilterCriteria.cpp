#include "data/FilterCriteria.h"

#include "core/Error.h"
#include "core/TextUnits.h"
#include "core/TypeConversion.h"
#include "data/FieldText.h"
#include "data/TCustomADODataSet.h"

namespace data {
namespace {

// Where a text bound has no size of its own to be padded to (an expression's column).
constexpr std::size_t unsizedTextPad = 255;
constexpr double rounding = 0.0001;

std::string_view trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

bool isWord(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
        if (c != word[i]) return false;
    }
    return true;
}

std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && text[at] == ' ') ++at;
        const std::size_t from = at;
        while (at < text.size() && text[at] != ' ') ++at;
        if (at > from) words.push_back(text.substr(from, at - from));
    }
    return words;
}

// The parts of a typed value between the words "or", trimmed.
std::vector<std::string> orParts(std::string_view text) {
    std::vector<std::string> parts(1);
    for (std::string_view word : wordsOf(text)) {
        if (isWord(word, "or")) {
            parts.emplace_back();
            continue;
        }
        if (!parts.back().empty()) parts.back() += ' ';
        parts.back() += word;
    }
    return parts;
}

enum class RangeKind { Text, Integer, Number, Date, Always };

RangeKind rangeKind(FieldType type) {
    switch (type) {
    case FieldType::WideString:
    case FieldType::Guid:
    case FieldType::Variant:
        return RangeKind::Text;
    case FieldType::Word:
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc:
        return RangeKind::Integer;
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
        return RangeKind::Number;
    case FieldType::DateTime:
        return RangeKind::Date;
    default:
        return RangeKind::Always;
    }
}

// The kind of value typed text is read as for a field of this type.
core::DataType typedKind(FieldType type) {
    switch (rangeKind(type)) {
    case RangeKind::Integer:
        return core::DataType::Long;
    case RangeKind::Number:
        return core::DataType::Double;
    case RangeKind::Date:
        return core::DataType::DateTime;
    default:
        return core::DataType::Text;
    }
}

std::optional<double> numberOf(std::string_view text, FieldType type,
                               const LocaleFormats& formats) {
    try {
        const core::Value value = valueFromText(trim(text), typedKind(type), formats);
        if (value.isNull()) return std::nullopt;
        if (const auto* date = value.getIf<core::DateTime>()) return date->days;
        return core::toDouble(value);
    } catch (const core::Error&) {
        return std::nullopt;
    }
}

std::string paddedEnd(std::string_view end, std::uint32_t size) {
    std::string padded = core::upperCase(end);
    const std::size_t wanted = size > 0 ? size : unsizedTextPad;
    std::size_t length = core::toCodePoints(padded).size();
    while (length++ < wanted) padded += 'z';
    return padded;
}

bool hasTimeOfDay(std::string_view text, double days) {
    return text.find(':') != std::string_view::npos ||
           days != static_cast<double>(static_cast<long long>(days));
}

RecordFilter::Test makeTest(const FilterCriterion& criterion, const TField& field,
                            const LocaleFormats& formats) {
    RecordFilter::Test test;
    test.field = field.index();
    test.type = field.dataType();
    test.matchType = criterion.matchType;
    if (criterion.matchType == FilterMatchType::Range) {
        const RangeKind kind = rangeKind(test.type);
        if (kind == RangeKind::Text) {
            if (!trim(criterion.start).empty()) test.startText = core::upperCase(criterion.start);
            if (!trim(criterion.end).empty()) test.endText = paddedEnd(criterion.end, field.size());
        } else if (kind != RangeKind::Always) {
            auto bound = [&](const std::string& text) -> std::optional<double> {
                if (trim(text).empty()) return std::nullopt;
                auto number = numberOf(text, test.type, formats);
                if (!number)
                    throw core::TypeMismatch("'" + text + "' is not a valid value for field '" +
                                             field.fieldName() + "'");
                return number;
            };
            test.startNumber = bound(criterion.start);
            test.endNumber = bound(criterion.end);
            if (kind == RangeKind::Date && test.endNumber)
                test.endHasTime = hasTimeOfDay(criterion.end, *test.endNumber);
        }
        return test;
    }
    test.fold = !criterion.caseSensitive;
    const std::vector<std::string_view> words = wordsOf(criterion.value);
    std::string_view joiner;
    for (std::size_t i = 1; i < words.size() && joiner.empty(); ++i)
        if (isWord(words[i], "or")) joiner = "or";
    for (std::size_t i = 1; i < words.size() && joiner.empty(); ++i)
        if (isWord(words[i], "and")) joiner = "and";
    test.allMustMatch = joiner == "and";
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0 && !joiner.empty() && isWord(words[i], joiner)) {
            parts.emplace_back();
            continue;
        }
        if (!parts.back().empty()) parts.back() += ' ';
        parts.back() += words[i];
    }
    for (const std::string& part : parts) {
        RecordFilter::Alternative alternative;
        alternative.isNull = isWord(part, "null");
        alternative.text = test.fold ? core::upperCase(part) : part;
        if (comparesByValue(test.type) && !part.empty()) {
            try {
                alternative.asValue = valueFromText(part, field.column().type, formats);
            } catch (const core::Error&) {
                // Text that is no value of the field's kind can still equal its text.
            }
        }
        test.alternatives.push_back(std::move(alternative));
    }
    return test;
}

bool alternativeMatches(const RecordFilter::Test& test, const RecordFilter::Alternative& wanted,
                        const core::Value& value, const std::string& text) {
    if (wanted.isNull) return text.empty();
    switch (test.matchType) {
    case FilterMatchType::Start:
        return text.starts_with(wanted.text);
    case FilterMatchType::Anywhere:
        return text.find(wanted.text) != std::string::npos;
    default:
        if (text.empty()) return wanted.text.empty();
        if (text == wanted.text) return true;
        return wanted.asValue && !value.isNull() && value == *wanted.asValue;
    }
}

bool valueAccepts(const RecordFilter::Test& test, const core::Value& value,
                  const LocaleFormats& formats) {
    std::string text = valueText(value, formats);
    if (test.fold) text = core::upperCase(text);
    for (const RecordFilter::Alternative& alternative : test.alternatives) {
        const bool matches = alternativeMatches(test, alternative, value, text);
        if (matches && !test.allMustMatch) return true;
        if (!matches && test.allMustMatch) return false;
    }
    return test.allMustMatch;
}

bool rangeAccepts(const RecordFilter::Test& test, const core::Value& value,
                  const LocaleFormats& formats) {
    const bool bounded = test.startText || test.endText || test.startNumber || test.endNumber;
    if (!bounded) return true;
    // A record without a value lies in no range.
    if (value.isNull()) return false;
    switch (rangeKind(test.type)) {
    case RangeKind::Text: {
        const std::string text = core::upperCase(valueText(value, formats));
        return (!test.startText || *test.startText <= text) &&
               (!test.endText || text <= *test.endText);
    }
    case RangeKind::Integer: {
        const double number = core::toDouble(value);
        return (!test.startNumber || *test.startNumber <= number) &&
               (!test.endNumber || number <= *test.endNumber);
    }
    case RangeKind::Number: {
        const double number = core::toDouble(value);
        return (!test.startNumber || number + rounding >= *test.startNumber) &&
               (!test.endNumber || number - rounding <= *test.endNumber);
    }
    case RangeKind::Date: {
        const auto* date = value.getIf<core::DateTime>();
        const double days = date ? date->days : core::toDate(value).days;
        if (test.startNumber && days < *test.startNumber) return false;
        if (!test.endNumber) return true;
        return test.endHasTime ? days <= *test.endNumber : days < *test.endNumber + 1;
    }
    case RangeKind::Always:
        break;
    }
    return true;
}

} // namespace

bool FilterCriterion::empty() const {
    if (matchType == FilterMatchType::Range) return trim(start).empty() && trim(end).empty();
    return trim(value).empty();
}

bool validFilterValue(std::string_view text, FieldType type, const LocaleFormats& formats) {
    if (!comparesByValue(type)) return true;
    for (const std::string& part : orParts(text))
        if (!part.empty() && !isWord(part, "null") && !numberOf(part, type, formats)) return false;
    return true;
}

bool validFilterBound(std::string_view text, FieldType type, const LocaleFormats& formats) {
    if (!comparesByValue(type) || trim(text).empty()) return true;
    return numberOf(text, type, formats).has_value();
}

RecordFilter::RecordFilter(const std::vector<FilterCriterion>& criteria,
                           const TCustomADODataSet& dataSet) {
    for (const FilterCriterion& criterion : criteria) {
        if (criterion.empty()) continue;
        tests_.push_back(
            makeTest(criterion, dataSet.fieldByName(criterion.fieldName), dataSet.formats()));
    }
}

bool RecordFilter::accepts(const TCustomADODataSet& dataSet) const {
    for (const Test& test : tests_) {
        const core::Value value = dataSet.field(test.field).value();
        const bool accepted = test.matchType == FilterMatchType::Range
                                  ? rangeAccepts(test, value, dataSet.formats())
                                  : valueAccepts(test, value, dataSet.formats());
        if (!accepted) return false;
    }
    return true;
}

} // namespace data
