#include "jet/compact/ObjectIds.h"

#include "core/ObjectName.h"
#include "jet/catalog/Catalog.h"

namespace jet {

std::vector<std::string_view> objectIdColumns(std::string_view table) {
    if (core::sameName(table, "MSysObjects")) return {"Id", "ParentId"};
    if (core::sameName(table, "MSysACEs") || core::sameName(table, "MSysQueries"))
        return {"ObjectId"};
    if (core::sameName(table, "MSysNavPaneObjectIDs")) return {"Id"};
    if (core::sameName(table, "MSysNavPaneGroupToObjects")) return {"ObjectID"};
    return {};
}

} // namespace jet
