#pragma once
// The property blobs MSysObjects keeps per object: the table's own properties and one map
// per column (default value, required, description, format, ...).
#include "core/Value.h"
#include "jet/file/Bytes.h"

#include <map>
#include <string>

namespace jet {

struct Property {
    std::string name;
    std::uint8_t type = 0; // the Jet column type code of the value
    bool ddl = false;
    core::Value value;
};

struct PropertyMap {
    std::string objectName; // empty for the table's own map
    std::vector<Property> properties;
    const Property* find(std::string_view name) const;
};

struct PropertyMaps {
    PropertyMap table;
    std::vector<PropertyMap> columns;
    const PropertyMap* column(std::string_view name) const;
};

PropertyMaps parsePropertyMaps(ByteSpan blob);

} // namespace jet
