#pragma once
// Pieces the benchmarks that make Jet files and open them through the access layer share: a
// column of a table definition, and the connection string the window's Open builds.
#include "jet/Database.h"

#include <filesystem>
#include <string>

namespace bench {

inline jet::ColumnDef column(const std::string& name, jet::ColumnType type, std::uint16_t size = 0,
                             std::uint8_t flags = 0) {
    jet::ColumnDef c;
    c.name = name;
    c.type = type;
    c.size = size;
    c.flags = flags;
    return c;
}

inline std::string openString(const std::filesystem::path& file) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file.string() +
           ";Jet OLEDB:Engine Type=5;;Jet OLEDB:Database Password=";
}

} // namespace bench
