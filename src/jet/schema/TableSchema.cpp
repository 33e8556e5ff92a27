#include "jet/schema/TableSchema.h"

#include <algorithm>
#include <cctype>

namespace jet {

namespace {
bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}
} // namespace

const ColumnDef* TableSchema::findColumn(std::string_view wanted) const {
    for (const auto& c : columns)
        if (sameName(c.name, wanted)) return &c;
    return nullptr;
}

const ColumnDef* TableSchema::columnByNumber(std::uint16_t number) const {
    for (const auto& c : columns)
        if (c.number == number) return &c;
    return nullptr;
}

} // namespace jet
