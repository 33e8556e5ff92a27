#pragma once
// What the locate dialog offers again at its next opening: the field, the value, the match
// kind and the case choice of the last one.
#include "data/LocateSearch.h"

#include <string>

namespace controls {

struct LocateSettings {
    std::string searchField; // a field name; empty until a field was chosen
    std::string searchValue;
    data::MatchType matchType = data::MatchType::PartialMatchStart;
    bool caseSensitive = false;
};

} // namespace controls
