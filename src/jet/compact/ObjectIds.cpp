#include "jet/compact/ObjectIds.h"

#include "jet/catalog/Catalog.h"

namespace jet {

std::vector<std::string_view> objectIdColumns(std::string_view table) {
    if (sameObjectName(table, "MSysObjects")) return {"Id", "ParentId"};
    if (sameObjectName(table, "MSysACEs") || sameObjectName(table, "MSysQueries"))
        return {"ObjectId"};
    if (sameObjectName(table, "MSysNavPaneObjectIDs")) return {"Id"};
    if (sameObjectName(table, "MSysNavPaneGroupToObjects")) return {"ObjectID"};
    return {};
}

} // namespace jet
