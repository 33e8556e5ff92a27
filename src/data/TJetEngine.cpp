#include "data/TJetEngine.h"

#include "data/ConnectionString.h"
#include "data/TADOXCatalog.h"
#include "jet/file/OsFile.h"

#include <system_error>

namespace data {

void TJetEngine::compactDatabase(std::string_view source, std::string_view destination,
                                 const CompactProgress& progress) {
    const ConnectionString from(source);
    const ConnectionString to(destination);
    requireJet4(to);
    jet::compactDatabase(from.dataSource(), to.dataSource(),
                         from.databasePassword().value_or(std::string()), progress);
}

bool TJetEngine::replaceWithCopy(const std::filesystem::path& copy,
                                 const std::filesystem::path& original) {
    std::error_code failed;
    std::filesystem::rename(copy, original, failed);
    if (failed) return false;
    // The copy was made durable when its compaction committed; this makes its new name so.
    try {
        jet::syncFolderOf(original);
    } catch (const std::exception&) {
        // The rename itself has happened; only its durability on a power cut is uncertain.
    }
    return true;
}

} // namespace data
