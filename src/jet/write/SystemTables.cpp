#include "jet/write/SystemTables.h"

namespace jet {

namespace {

constexpr std::uint8_t kFixedFlags = 0x13; // fixed, nullable, and the 0x10 bit Jet sets here
constexpr std::uint8_t kVariableFlags = 0x12;
constexpr std::uint8_t kBinaryFlags = 0x32;
constexpr std::uint16_t kGeneralSortOrder = 1033;

struct Col {
    const char* name;
    ColumnType type;
    std::uint16_t number, varIndex, fixedOffset, size;
    std::uint8_t flags;
};

ColumnDef column(const Col& c) {
    ColumnDef d;
    d.name = c.name;
    d.type = c.type;
    d.rawType = static_cast<std::uint8_t>(c.type);
    d.number = c.number;
    d.varIndex = c.varIndex;
    d.fixedOffset = c.fixedOffset;
    d.size = c.size;
    d.flags = c.flags;
    if (c.type == ColumnType::Text || c.type == ColumnType::Memo) d.sortOrder = kGeneralSortOrder;
    return d;
}

TableSchema table(const char* name, std::uint16_t maxColumns, std::uint16_t variableColumns,
                  std::initializer_list<Col> columns) {
    TableSchema t;
    t.name = name;
    t.systemTable = true;
    t.maxColumns = maxColumns;
    t.variableColumns = variableColumns;
    for (const auto& c : columns) t.columns.push_back(column(c));
    return t;
}

void index(TableSchema& t, const char* name, std::uint32_t number, IndexKind kind,
           std::uint8_t flags, std::initializer_list<std::uint16_t> columns) {
    IndexData data;
    for (auto c : columns) data.columns.push_back({c, true});
    data.flags = flags;
    IndexDef def;
    def.name = name;
    def.number = number;
    def.kind = kind;
    def.dataIndex = static_cast<std::uint32_t>(t.indexData.size());
    t.indexData.push_back(data);
    t.indexes.push_back(def);
}

} // namespace

std::vector<TableSchema> systemTableSchemas() {
    using T = ColumnType;
    std::vector<TableSchema> tables;

    // Columns are listed in the order the catalog writes them (by name), each with the
    // number, variable slot and fixed offset the rows use.
    auto objects = table("MSysObjects", 17, 11,
                         {{"Connect", T::Memo, 9, 3, 0, 0, kVariableFlags},
                          {"Database", T::Memo, 8, 2, 0, 0, kVariableFlags},
                          {"DateCreate", T::DateTime, 4, 0, 10, 8, kFixedFlags},
                          {"DateUpdate", T::DateTime, 5, 0, 18, 8, kFixedFlags},
                          {"Flags", T::Long, 7, 0, 26, 4, kFixedFlags},
                          {"ForeignName", T::Text, 10, 4, 0, 510, kVariableFlags},
                          {"Id", T::Long, 0, 0, 0, 4, kFixedFlags},
                          {"Lv", T::Ole, 13, 7, 0, 0, kVariableFlags},
                          {"LvExtra", T::Ole, 16, 10, 0, 0, kVariableFlags},
                          {"LvModule", T::Ole, 15, 9, 0, 0, kVariableFlags},
                          {"LvProp", T::Ole, 14, 8, 0, 0, kVariableFlags},
                          {"Name", T::Text, 2, 0, 0, 510, kVariableFlags},
                          {"Owner", T::Binary, 6, 1, 0, 510, kBinaryFlags},
                          {"ParentId", T::Long, 1, 0, 4, 4, kFixedFlags},
                          {"RmtInfoLong", T::Ole, 12, 6, 0, 0, kVariableFlags},
                          {"RmtInfoShort", T::Binary, 11, 5, 0, 510, kVariableFlags},
                          {"Type", T::Integer, 3, 0, 8, 2, kFixedFlags}});
    index(objects, "ParentIdName", 0, IndexKind::Normal, 0x81, {1, 2});
    index(objects, "Id", 1, IndexKind::Primary, 0x81, {0});
    // The logical indexes are stored by name order: Id first, then ParentIdName.
    std::swap(objects.indexes[0], objects.indexes[1]);
    tables.push_back(std::move(objects));

    auto aces = table("MSysACEs", 4, 1,
                      {{"ACM", T::Long, 2, 0, 4, 4, kFixedFlags},
                       {"FInheritable", T::Boolean, 3, 0, 0, 1, kFixedFlags},
                       {"ObjectId", T::Long, 0, 0, 0, 4, kFixedFlags},
                       {"SID", T::Binary, 1, 0, 0, 510, kBinaryFlags}});
    index(aces, "ObjectId", 0, IndexKind::Normal, 0x88, {0});
    tables.push_back(std::move(aces));

    auto queries = table("MSysQueries", 8, 4,
                         {{"Attribute", T::Byte, 1, 0, 4, 1, kFixedFlags},
                          {"Expression", T::Memo, 5, 3, 0, 0, kVariableFlags},
                          {"Flag", T::Integer, 6, 0, 5, 2, kFixedFlags},
                          {"LvExtra", T::Long, 7, 0, 7, 4, kFixedFlags},
                          {"Name1", T::Text, 3, 1, 0, 510, kVariableFlags},
                          {"Name2", T::Text, 4, 2, 0, 510, kVariableFlags},
                          {"ObjectId", T::Long, 0, 0, 0, 4, kFixedFlags},
                          {"Order", T::Binary, 2, 0, 0, 510, kVariableFlags}});
    index(queries, "ObjectIdAttribute", 0, IndexKind::Primary, 0x81, {0, 1, 2});
    tables.push_back(std::move(queries));

    auto relationships = table("MSysRelationships", 8, 5,
                               {{"ccolumn", T::Long, 2, 0, 4, 4, kFixedFlags},
                                {"grbit", T::Long, 1, 0, 0, 4, kFixedFlags},
                                {"icolumn", T::Long, 3, 0, 8, 4, kFixedFlags},
                                {"szColumn", T::Text, 5, 2, 0, 510, kVariableFlags},
                                {"szObject", T::Text, 4, 1, 0, 510, kVariableFlags},
                                {"szReferencedColumn", T::Text, 7, 4, 0, 510, kVariableFlags},
                                {"szReferencedObject", T::Text, 6, 3, 0, 510, kVariableFlags},
                                {"szRelationship", T::Text, 0, 0, 0, 510, kVariableFlags}});
    index(relationships, "szRelationship", 0, IndexKind::Normal, 0x82, {0});
    index(relationships, "szObject", 1, IndexKind::Normal, 0x82, {4});
    index(relationships, "szReferencedObject", 2, IndexKind::Normal, 0x82, {6});
    // Stored by name order: szObject, szReferencedObject, szRelationship.
    relationships.indexes = {relationships.indexes[1], relationships.indexes[2],
                             relationships.indexes[0]};
    tables.push_back(std::move(relationships));
    return tables;
}

} // namespace jet
