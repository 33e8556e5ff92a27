#pragma once
// Compaction: a new file holding every table, row, property, saved query and relationship
// of the source, laid out afresh -- no free pages, no moved rows, no deleted columns -- with
// the same password. The source is only read.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace jet {

// Called with the work done so far and the whole; returning false is not supported (the
// work cannot be cancelled half-way without leaving the destination unfinished).
using CompactProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Refuses a source that another writer holds, and a destination that exists.
void compactDatabase(const std::filesystem::path& source, const std::filesystem::path& destination,
                     const std::string& password, const CompactProgress& progress = {});

} // namespace jet
