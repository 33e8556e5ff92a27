#include "data/TADOXCatalog.h"

#include "core/Error.h"
#include "data/ConnectionString.h"
#include "jet/Database.h"

namespace data {

void requireJet4(const ConnectionString& parsed) {
    if (auto type = parsed.engineType(); type && *type != jet4EngineType)
        throw core::UnsupportedFormat("Jet OLEDB:Engine Type " + std::to_string(*type) +
                                      " is not supported: Tablory writes Jet 4 files (type 5) "
                                      "only.");
}

void TADOXCatalog::create(std::string_view connectionString) {
    const ConnectionString parsed(connectionString);
    requireJet4(parsed);
    jet::Database::create(parsed.dataSource(), parsed.databasePassword().value_or(std::string()));
    activeConnection_ = std::string(connectionString);
}

} // namespace data
