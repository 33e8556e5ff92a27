#pragma once
// A column for a table the tests write straight through the engine: name, type, size in
// bytes and column flags; the engine lays it out.
#include "jet/schema/TableSchema.h"

#include <cstdint>
#include <string>

namespace testing_support {

inline jet::ColumnDef column(const std::string& name, jet::ColumnType type, std::uint16_t size = 0,
                             std::uint8_t flags = 0) {
    jet::ColumnDef c;
    c.name = name;
    c.type = type;
    c.size = size;
    c.flags = flags;
    return c;
}

} // namespace testing_support
