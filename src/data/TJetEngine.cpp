#include "data/TJetEngine.h"

#include "data/ConnectionString.h"
#include "data/TADOXCatalog.h"

namespace data {

void TJetEngine::compactDatabase(std::string_view source, std::string_view destination,
                                 const jet::CompactProgress& progress) {
    const ConnectionString from(source);
    const ConnectionString to(destination);
    requireJet4(to);
    jet::compactDatabase(from.dataSource(), to.dataSource(),
                         from.databasePassword().value_or(std::string()), progress);
}

} // namespace data
