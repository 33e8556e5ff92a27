#include "data/LocateSearch.h"

#include "core/Error.h"
#include "core/TextUnits.h"
#include "data/FieldText.h"
#include "data/LocateMatch.h"
#include "data/TCustomADODataSet.h"

namespace data {
namespace {

bool comparedAsNumber(FieldType type) {
    return type == FieldType::Float || type == FieldType::Currency || type == FieldType::BCD;
}

// Keeps the data set's controls from following every record the search passes.
class QuietControls {
public:
    explicit QuietControls(TCustomADODataSet& dataSet) : dataSet_(dataSet) {
        dataSet_.disableControls();
    }
    ~QuietControls() { dataSet_.enableControls(); }
    QuietControls(const QuietControls&) = delete;
    QuietControls& operator=(const QuietControls&) = delete;

private:
    TCustomADODataSet& dataSet_;
};

} // namespace

std::string preparedSearchText(const LocateRequest& request) {
    return request.caseSensitive ? request.text : core::upperCase(request.text);
}

bool locateValueMatches(const core::Value& value, FieldType type, core::DataType valueType,
                        const std::string& prepared, const LocateRequest& request,
                        const LocaleFormats& formats) {
    if (request.match == MatchType::Exact && comparedAsNumber(type)) {
        try {
            const core::Value wanted =
                convertForField(valueFromText(prepared, valueType, formats), valueType, formats);
            if (wanted.isNull() || value.isNull()) return false;
            return sameValue(convertForField(value, valueType, formats), wanted);
        } catch (const core::Error&) {
            return false;
        }
    }
    std::string text = valueText(value, formats);
    if (!request.caseSensitive) text = core::upperCase(text);
    switch (request.match) {
    case MatchType::Exact:
        return text == prepared;
    case MatchType::PartialMatchStart:
        return !prepared.empty() && text.starts_with(prepared);
    case MatchType::PartialMatchAny:
        return !prepared.empty() && text.find(prepared) != std::string::npos;
    }
    return false;
}

bool locateRecord(TCustomADODataSet& dataSet, const LocateRequest& request, bool first) {
    dataSet.checkBrowseMode();
    const TField* field =
        request.fieldName.empty() ? nullptr : dataSet.findField(request.fieldName);
    // An empty text begins or lies inside every value, yet the partial searches find nothing
    // with it.
    if (!field || (request.match != MatchType::Exact && request.text.empty())) return false;
    const TBookmark start = dataSet.bookmark();
    QuietControls quiet(dataSet);
    const std::string prepared = preparedSearchText(request);
    const auto test = [&](const core::Value& value) {
        return locateValueMatches(value, field->dataType(), field->column().type, prepared, request,
                                  dataSet.formats());
    };
    bool found = false;
    if (first) {
        dataSet.first();
        found = !dataSet.isEmpty() && test(field->value());
        const bool plainField = field->dataType() != FieldType::WideMemo;
        if (!found && plainField && request.match != MatchType::PartialMatchAny) {
            LocateOptions options;
            options.caseInsensitive = !request.caseSensitive;
            options.partialKey = request.match == MatchType::PartialMatchStart;
            found = dataSet.locate(field->fieldName(), core::Value(request.text), options);
        } else if (!found && !dataSet.isEmpty()) {
            found = dataSet.locateNext(field->fieldName(), test);
        }
    } else {
        found = dataSet.locateNext(field->fieldName(), test);
    }
    if (!found && dataSet.bookmarkValid(start)) dataSet.gotoBookmark(start);
    return found;
}

} // namespace data
