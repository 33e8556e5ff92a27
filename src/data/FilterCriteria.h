#pragma once
// The filter dialog's criteria and the record-acceptance test made of them: per field either a
// value (alternatives joined by the words "or" or "and", "null" for an empty value) matched at
// the start, anywhere or exactly, or a range of values compared by the field's kind.
#include "data/FieldType.h"
#include "data/LocaleFormats.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace data {

class TCustomADODataSet;

enum class FilterMatchType { Start, Anywhere, Exact, Range };

struct FilterCriterion {
    std::string fieldLabel; // what the dialog lists, and finds the field by
    std::string fieldName;
    FilterMatchType matchType = FilterMatchType::Start;
    std::string value; // start, anywhere and exact
    std::string start; // range; either bound may be empty
    std::string end;
    bool caseSensitive = false; // start, anywhere and exact

    // A value criterion without a value, or a range without bounds, is no criterion at all.
    bool empty() const;
    bool operator==(const FilterCriterion&) const = default;
};

// Whether a typed value is one the field can be searched by: each part between the words
// "or" (other than "null") is an integer, a number or a date as the field's kind asks; text,
// yes/no and memo fields take anything.
bool validFilterValue(std::string_view text, FieldType type, const LocaleFormats& formats);
// The same for one bound of a range.
bool validFilterBound(std::string_view text, FieldType type, const LocaleFormats& formats);

// The criteria made ready for the fields of one opening of a data set: bounds and exact
// values read once, so each record costs only its own values.
class RecordFilter {
public:
    // Raises "<data set>: Field 'x' not found" for a criterion whose field is not there.
    RecordFilter(const std::vector<FilterCriterion>& criteria, const TCustomADODataSet& dataSet);

    // Whether every criterion accepts the record the data set's fields read (in list order,
    // stopping at the first that does not).
    bool accepts(const TCustomADODataSet& dataSet) const;

    struct Alternative {
        std::string text; // case-folded unless the criterion is case-sensitive
        bool isNull = false;
        std::optional<core::Value> asValue; // exact match on fields compared by value
    };
    struct Test {
        std::size_t field = 0;
        FieldType type = FieldType::WideString;
        FilterMatchType matchType = FilterMatchType::Start;
        bool fold = true;
        bool allMustMatch = false; // the alternatives were joined by "and"
        std::vector<Alternative> alternatives;
        // Range bounds, by kind: text (upper-cased, the end padded), numbers or dates.
        std::optional<std::string> startText, endText;
        std::optional<double> startNumber, endNumber;
        bool endHasTime = false;
    };

private:
    std::vector<Test> tests_;
};

} // namespace data
