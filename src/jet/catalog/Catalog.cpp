#include "jet/catalog/Catalog.h"

#include "core/ObjectName.h"
#include "jet/Cursor.h"
#include "jet/file/UsageMap.h"
#include "jet/rows/DataPage.h"
#include "jet/schema/TableDefinition.h"

#include <algorithm>

namespace jet {

Catalog Catalog::read(const PageFile& file) {
    auto schema =
        std::make_shared<const TableSchema>(readTableDefinition(file, kCatalogDefinitionPage));
    auto column = [&](std::string_view name) -> std::size_t {
        for (std::size_t i = 0; i < schema->columns.size(); ++i)
            if (core::sameName(schema->columns[i].name, name)) return i;
        throwDamaged("the system catalog has no column " + std::string(name));
    };
    std::size_t id = column("Id"), parent = column("ParentId"), name = column("Name"),
                type = column("Type"), flags = column("Flags"), props = column("LvProp");
    // A cursor passes over pages that are not the table's; for the catalog such a page is a
    // lost part of the list of everything in the file, and reading on would show a file with
    // fewer objects (or none) that the first change would then make permanent.
    for (std::uint32_t page : readUsageMap(file, schema->usageMapPointer)) {
        auto bytes = file.bytes(file.read(page));
        if (bytes[0] != static_cast<std::uint8_t>(PageType::Data) ||
            u32(bytes, data_page::kOwner) != kCatalogDefinitionPage)
            throwDamaged("the system catalog's page " + std::to_string(page) +
                         " holds something else");
    }

    Catalog catalog;
    Cursor cursor(file, schema);
    while (cursor.next()) {
        CatalogEntry e;
        auto v = cursor.value(id);
        if (auto p = v.getIf<std::int32_t>()) e.id = *p;
        v = cursor.value(parent);
        if (auto p = v.getIf<std::int32_t>()) e.parentId = *p;
        v = cursor.value(name);
        if (auto p = v.getIf<std::string>()) e.name = *p;
        v = cursor.value(type);
        if (auto p = v.getIf<std::int16_t>()) e.type = *p;
        v = cursor.value(flags);
        if (auto p = v.getIf<std::int32_t>()) e.flags = static_cast<std::uint32_t>(*p);
        v = cursor.value(props);
        if (auto p = v.getIf<core::Bytes>()) e.propertyBlob = *p;
        catalog.entries_.push_back(std::move(e));
    }
    // Every Jet file lists the catalog itself among its tables.
    if (!std::any_of(catalog.entries_.begin(), catalog.entries_.end(), [](const auto& e) {
            return e.isTable() && e.definitionPage() == kCatalogDefinitionPage;
        }))
        throwDamaged("the system catalog has lost its own entry");
    return catalog;
}

const CatalogEntry* Catalog::findTable(std::string_view name) const {
    return findObject(name, ObjectType::Table);
}

const CatalogEntry* Catalog::findObject(std::string_view name, ObjectType type) const {
    for (const auto& e : entries_)
        if (e.type == static_cast<std::int16_t>(type) && core::sameName(e.name, name)) return &e;
    return nullptr;
}

} // namespace jet
