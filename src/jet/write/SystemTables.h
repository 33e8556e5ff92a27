#pragma once
// The four system tables every new Jet 4 file holds, as the database catalog creates them:
// MSysObjects, MSysACEs, MSysQueries and MSysRelationships.
#include "jet/schema/TableSchema.h"

#include <vector>

namespace jet {

inline constexpr std::int32_t kTablesContainerId = 0x0F000001;
inline constexpr std::int32_t kDatabasesContainerId = 0x0F000002;
inline constexpr std::int32_t kRelationshipsContainerId = 0x0F000003;
inline constexpr std::int32_t kRootContainerId = 0x0F000000;
inline constexpr std::int32_t kDatabaseObjectId = 0x10000000;

// Definitions without page numbers: creating them assigns pages and maps.
std::vector<TableSchema> systemTableSchemas();

} // namespace jet
