// A column given another type or size. Its storage changes with its type, so the table is
// written afresh under its name: its rows converted, its indexes, counter, properties and
// relationships kept.
#include "jet/Database.h"

#include "core/Error.h"
#include "core/ObjectName.h"
#include "jet/write/PageStore.h"
#include "jet/write/TableStorage.h"

#include <algorithm>

namespace jet {

void Database::alterColumn(std::string_view tableName, ColumnDef replacement,
                           PropertyMap columnProperties,
                           const std::function<core::Value(const core::Value&)>& convert) {
    requireDefinitionChange();
    const Table source = table(tableName);
    TableSchema schema = source.schema();
    PropertyMaps properties = source.properties();
    auto position =
        std::find_if(schema.columns.begin(), schema.columns.end(),
                     [&](const ColumnDef& c) { return core::sameName(c.name, replacement.name); });
    if (position == schema.columns.end())
        throw core::SqlError("Field '" + replacement.name + "' does not exist in table '" +
                             std::string(tableName) + "'.");
    const std::size_t changed = static_cast<std::size_t>(position - schema.columns.begin());
    std::vector<std::vector<core::Value>> rows = allRows(schema.name);
    for (auto& values : rows) values[changed] = convert(values[changed]);

    const std::uint32_t counter = schema.nextAutoNumber;
    const std::uint32_t oldPage = schema.definitionPage;
    replacement.number = position->number;
    *position = std::move(replacement);
    // The new definition numbers its columns by position; the index columns follow.
    std::map<std::uint16_t, std::uint16_t> numbers;
    for (std::size_t i = 0; i < schema.columns.size(); ++i) {
        numbers[schema.columns[i].number] = static_cast<std::uint16_t>(i);
        schema.columns[i].number = static_cast<std::uint16_t>(i);
    }
    for (auto& data : schema.indexData)
        for (auto& key : data.columns) key.columnNumber = numbers.at(key.columnNumber);
    auto& maps = properties.columns;
    std::erase_if(maps, [&](const PropertyMap& m) {
        return core::sameName(m.objectName, columnProperties.objectName);
    });
    if (!columnProperties.properties.empty()) maps.push_back(std::move(columnProperties));

    const std::string name = schema.name;
    atomically([&] {
        dropTable(name);
        createTable(std::move(schema), properties);
        for (auto& values : rows) insertRow(name, std::move(values));
        setCounter(name, counter);
        // The new definition may lie on another page. The foreign-key entries that name the
        // table by its page (in its partners, and in itself for a relationship to itself)
        // must follow it, or the relationship would point at a page that holds no table.
        const std::uint32_t newPage = requireTable(name).definitionPage();
        if (newPage == oldPage) return;
        for (const auto& entry : std::vector<CatalogEntry>(catalog_.entries())) {
            if (!entry.isTable()) continue;
            auto partner = schemaFor(entry);
            bool repointed = false;
            for (auto& index : partner->indexes)
                if (index.kind == IndexKind::ForeignKey && index.relatedTablePage == oldPage) {
                    index.relatedTablePage = newPage;
                    repointed = true;
                }
            if (!repointed) continue;
            releaseWritersOf(partner->definitionPage);
            rewriteTableDefinition(*store_, *partner);
        }
    });
}

} // namespace jet
