#pragma once
// How Jet compares text: case-insensitively in the General sort order. This is the one rule
// every text comparison, ORDER BY and LIKE range goes through, so that it can later be the
// same key encoding the index pages store.
#include <string>
#include <string_view>

namespace sql {

// A byte string whose plain byte order is the collation order of the texts: letters compare
// without case and, on a tie, by their accents (e < é < f); texts equal in the key are equal.
std::string collationKey(std::string_view text);

// Negative, zero or positive as a sorts before, with or after b; the same as comparing
// their collation keys.
int compareText(std::string_view a, std::string_view b);

} // namespace sql
