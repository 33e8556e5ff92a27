#pragma once
// Tells a statement that only reads from one that may change tables, so that results still
// being read are finished before the tables change underneath them.
#include <string_view>

namespace data {

// A SELECT without INTO. A text that does not parse counts as reading: the engine refuses
// it before anything changes.
bool onlyReads(std::string_view statement);

} // namespace data
