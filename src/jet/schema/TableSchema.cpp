#include "jet/schema/TableSchema.h"

#include "core/ObjectName.h"

namespace jet {

const ColumnDef* TableSchema::findColumn(std::string_view wanted) const {
    for (const auto& c : columns)
        if (core::sameName(c.name, wanted)) return &c;
    return nullptr;
}

const ColumnDef* TableSchema::columnByNumber(std::uint16_t number) const {
    for (const auto& c : columns)
        if (c.number == number) return &c;
    return nullptr;
}

} // namespace jet
