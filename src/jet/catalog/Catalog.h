#pragma once
// The system catalog MSysObjects: every table, query and container of the file, in stored
// order, with each object's property blob.
#include "jet/catalog/PropertyMap.h"
#include "jet/file/PageFile.h"

#include <optional>
#include <string>
#include <vector>

namespace jet {

inline constexpr std::uint32_t kCatalogDefinitionPage = 2;

enum class ObjectType : std::int16_t {
    Form = -32768,
    Table = 1,
    Database = 2,
    Container = 3,
    Query = 5,
    LinkedTable = 6,
    Relationship = 8,
};

namespace object_flag {
inline constexpr std::uint32_t kSystem = 0x80000000u;
inline constexpr std::uint32_t kSystemAlt = 0x00000002u;
inline constexpr std::uint32_t kHidden = 0x00000008u;
inline constexpr std::uint32_t kQueryKindMask = 0x000000F0u; // 0 = select
} // namespace object_flag

struct CatalogEntry {
    std::int32_t id = 0;
    std::int32_t parentId = 0;
    std::string name;
    std::int16_t type = 0;
    std::uint32_t flags = 0;
    core::Bytes propertyBlob;

    std::uint32_t definitionPage() const { return static_cast<std::uint32_t>(id) & 0x00FFFFFFu; }
    bool isSystem() const { return flags & (object_flag::kSystem | object_flag::kSystemAlt); }
    bool isTable() const { return type == static_cast<std::int16_t>(ObjectType::Table); }
    bool isUserTable() const { return isTable() && !isSystem(); }
    // A saved select query, which the provider lists as a view.
    bool isView() const {
        return type == static_cast<std::int16_t>(ObjectType::Query) && !isSystem() &&
               (flags & object_flag::kQueryKindMask) == 0;
    }
};

class Catalog {
public:
    static Catalog read(const PageFile& file);

    const std::vector<CatalogEntry>& entries() const { return entries_; }
    // Tables are found without regard to case, as Jet finds them.
    const CatalogEntry* findTable(std::string_view name) const;
    const CatalogEntry* findObject(std::string_view name, ObjectType type) const;

private:
    std::vector<CatalogEntry> entries_;
};

} // namespace jet
