#pragma once
// Verifies everything the engine knows how to verify about a file: header, catalog, table
// definitions, usage maps against the pages they name, every row and long-value chain, row
// counts and counters, and that no page is claimed twice.
#include "jet/Database.h"

#include <string>
#include <vector>

namespace jet {

struct CheckReport {
    std::vector<std::string> problems;
    // Things worth knowing that are not damage, such as a counter behind its rows (Access
    // leaves such files; the engine gives out values above the rows' highest anyway).
    std::vector<std::string> notes;
    std::size_t tables = 0, rows = 0, pages = 0;
    bool ok() const { return problems.empty(); }
};

CheckReport checkDatabase(const Database& db);

} // namespace jet
