#include "sql/eval/TextCollation.h"

#include "jet/keys/TextKey.h"

namespace sql {

// The SQL engine orders and compares text by the very key the index pages store, so that
// ORDER BY, WHERE and an index walk always agree.
std::string collationKey(std::string_view text) {
    core::Bytes key = jet::textSortKey(text);
    return std::string(key.begin(), key.end());
}

int compareText(std::string_view a, std::string_view b) {
    return jet::compareText(a, b);
}

} // namespace sql
