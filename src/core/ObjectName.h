#pragma once
// How Jet compares the names of tables, queries, columns, indexes and relationships: without
// regard to letter case, for every letter that has a case, not only the ASCII ones.
#include <string_view>

namespace core {

// Whether two UTF-8 names name the same object.
bool sameName(std::string_view a, std::string_view b);

} // namespace core
