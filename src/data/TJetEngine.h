#pragma once
// Compacts database files: the engine object the Compact Database action makes for the call.
#include "jet/compact/Compactor.h"

#include <filesystem>
#include <string_view>

namespace data {

// Called with the work done so far and the whole.
using CompactProgress = jet::CompactProgress;

class TJetEngine {
public:
    // Writes a compacted copy of the file the source string names to the file the
    // destination string names. The source's password (the source string's "Jet
    // OLEDB:Database Password", empty when missing) opens it; the copy keeps it. Refuses a
    // source another writer holds and a destination that exists; the source is only read.
    // Progress, when given, reports the work done.
    void compactDatabase(std::string_view source, std::string_view destination,
                         const CompactProgress& progress = {});

    // Puts a compacted copy in the original's place with one rename, so that the original's
    // name holds either the old file or the whole copy at every moment, and makes the new name
    // durable. False when the rename fails: both files then stay as they were.
    static bool replaceWithCopy(const std::filesystem::path& copy,
                                const std::filesystem::path& original);
};

} // namespace data
