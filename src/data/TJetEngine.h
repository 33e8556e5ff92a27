#pragma once
// Compacts database files: the engine object the Compact Database action makes for the call.
#include "jet/compact/Compactor.h"

#include <string_view>

namespace data {

class TJetEngine {
public:
    // Writes a compacted copy of the file the source string names to the file the
    // destination string names. The source's password (the source string's "Jet
    // OLEDB:Database Password", empty when missing) opens it; the copy keeps it. Refuses a
    // source another writer holds and a destination that exists; the source is only read.
    // Progress, when given, reports the work done.
    void compactDatabase(std::string_view source, std::string_view destination,
                         const jet::CompactProgress& progress = {});
};

} // namespace data
