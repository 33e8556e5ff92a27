#pragma once
// The locate dialog's search, without the window: First and Next find a record by the value
// of one field (exact, at the beginning or anywhere; letter case optional). A match becomes
// the current record; without one the data set goes back to where it was.
#include "core/Value.h"
#include "data/FieldType.h"
#include "data/LocaleFormats.h"

#include <string>

namespace data {

class TCustomADODataSet;

enum class MatchType { Exact, PartialMatchStart, PartialMatchAny };

struct LocateRequest {
    std::string fieldName; // empty: no field chosen, nothing matches
    std::string text;      // as the user typed it
    MatchType match = MatchType::PartialMatchStart;
    bool caseSensitive = false;
};

// The search text a record is tested against: upper-cased unless the search heeds case.
std::string preparedSearchText(const LocateRequest& request);

// The test of one record. The value as text (Null as ""), upper-cased unless case-sensitive:
// exact means equal, the partial kinds that the text begins or contains a non-empty search
// text. Floating-point, currency and decimal fields in exact mode compare as numbers instead
// (text that is no number matches none of them); whole numbers compare as text, so "007"
// does not find 7.
bool locateValueMatches(const core::Value& value, FieldType type, core::DataType valueType,
                        const std::string& prepared, const LocateRequest& request,
                        const LocaleFormats& formats);

// First (`first`) or Next: settles a pending change, searches with the controls quiet and
// returns whether a record matched. First tests the first record, then hands exact and
// beginning searches on plain fields to the data set's own locate; everything else scans
// record by record, Next from the record after the current one.
bool locateRecord(TCustomADODataSet& dataSet, const LocateRequest& request, bool first);

} // namespace data
