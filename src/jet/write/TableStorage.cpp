#include "jet/write/TableStorage.h"

#include "core/Error.h"
#include "core/ObjectName.h"
#include "jet/catalog/Catalog.h"
#include "jet/file/UsageMap.h"
#include "jet/index/IndexPage.h"
#include "jet/rows/LongValue.h"
#include "jet/rows/RowLayout.h"
#include "jet/schema/TableDefinition.h"
#include "jet/schema/TableDefinitionWriter.h"
#include "jet/write/DataPageEditor.h"
#include "jet/write/LongValueWriter.h"
#include "jet/write/UsageMapEditor.h"

#include <algorithm>
#include <set>
#include <unordered_set>

namespace jet {

PageBytes emptyIndexLeaf(std::uint32_t definitionPage, const FileFormat& format) {
    IndexPage leaf(format);
    leaf.owner = definitionPage;
    return encodeIndexPage(leaf);
}

namespace {

std::vector<std::uint32_t> definitionChain(const PageStore& store, std::uint32_t first) {
    std::vector<std::uint32_t> chain;
    std::unordered_set<std::uint32_t> seen;
    for (std::uint32_t page = first; page != 0;) {
        if (!seen.insert(page).second) throwDamaged("a table definition's pages form a loop");
        chain.push_back(page);
        page = u32(bytesOf(store.read(page)), tdef::kNextPage);
    }
    return chain;
}

void writeDefinition(PageStore& store, const TableSchema& schema,
                     std::vector<std::uint32_t> pages) {
    const FileFormat& format = store.file().format();
    core::Bytes bytes = encodeTableDefinition(schema, schema.longValueMaps, format);
    std::size_t needed = definitionPageCount(bytes, format);
    while (pages.size() < needed) pages.push_back(store.allocate());
    while (pages.size() > needed) {
        store.release(pages.back());
        pages.pop_back();
    }
    auto images = splitDefinition(bytes, pages, format);
    for (std::size_t i = 0; i < pages.size(); ++i) store.write(pages[i], images[i]);
}

std::uint32_t addMapRow(PageStore& store, std::uint32_t mapPage) {
    PageBytes page = copyOf(store.read(mapPage));
    auto row = UsageMapEditor::emptyRow();
    auto slot = appendRow(page, row, store.file().format());
    if (!slot) throw core::Error("A table has more indexes than Jet can keep.");
    store.write(mapPage, page);
    return RowId{mapPage, *slot}.pointer();
}

// Deletes one usage-map row, and the page holding it once no map is left there.
void removeMapRow(PageStore& store, std::uint32_t rowPointer) {
    if (rowPointer == 0) return;
    RowId id = RowId::fromPointer(rowPointer);
    PageBytes page = copyOf(store.read(id.page));
    deleteRow(page, id.slot, store.file().format());
    if (liveSlots(page, store.file().format()) == 0)
        store.release(id.page);
    else
        store.write(id.page, page);
}

} // namespace

void createTableStorage(PageStore& store, TableSchema& schema) {
    schema.definitionPage = store.allocate();
    // Reserve the first definition page before anything else takes it.
    store.write(schema.definitionPage, PageBytes{});
    std::uint32_t mapPage = store.allocate();
    store.write(mapPage, emptyDataPage(0, store.file().format()));
    schema.usageMapPointer = addMapRow(store, mapPage);
    schema.freeMapPointer = addMapRow(store, mapPage);
    for (auto& index : schema.indexData) {
        index.usageMapPointer = addMapRow(store, mapPage);
        index.firstPage = store.allocate();
        store.write(index.firstPage, emptyIndexLeaf(schema.definitionPage, store.file().format()));
        UsageMapEditor(store, index.usageMapPointer).add(index.firstPage);
        index.entryCount = 0;
    }
    // Each memo and OLE column keeps a pair of maps for the pages holding its values.
    schema.longValueMaps.clear();
    for (const auto& c : schema.columns)
        if (isLongValue(c.type))
            schema.longValueMaps.push_back(
                {c.number, addMapRow(store, mapPage), addMapRow(store, mapPage)});
    writeDefinition(store, schema, {schema.definitionPage});
}

void rewriteTableDefinition(PageStore& store, const TableSchema& schema) {
    writeDefinition(store, schema, definitionChain(store, schema.definitionPage));
}

void dropTableStorage(PageStore& store, const TableSchema& schema) {
    bool hasVariable =
        schema.variableColumns > 0 || std::any_of(schema.columns.begin(), schema.columns.end(),
                                                  [](const ColumnDef& c) { return !c.isFixed(); });
    LongValueWriter longValues(store);
    const FileFormat& format = store.file().format();
    for (std::uint32_t page : readUsageMap(store.file(), schema.usageMapPointer)) {
        auto bytes = store.read(page);
        auto span = store.file().bytes(bytes);
        if (span[0] != static_cast<std::uint8_t>(PageType::Data) ||
            u32(span, data_page::kOwner) != schema.definitionPage)
            continue;
        std::vector<core::Bytes> references;
        for (std::uint16_t s = 0, n = slotCount(span, format); s < n; ++s) {
            RowSlot slot = rowSlot(span, s, format);
            if (!slot.holdsRow()) continue;
            RowLayout row(span.subspan(slot.start, slot.end - slot.start), hasVariable, format);
            for (const auto& c : schema.columns)
                if (isLongValue(c.type))
                    if (auto ref = row.variableBytes(c))
                        references.emplace_back(ref->begin(), ref->end());
        }
        for (const auto& ref : references) longValues.release(ref);
        store.release(page);
    }
    for (const auto& index : schema.indexData) {
        std::set<std::uint32_t> pages;
        if (index.usageMapPointer) {
            auto listed = readUsageMap(store.file(), index.usageMapPointer);
            pages.insert(listed.begin(), listed.end());
        }
        if (index.firstPage) pages.insert(index.firstPage);
        for (auto page : pages) store.release(page);
    }
    std::set<std::uint32_t> mapRows{schema.usageMapPointer, schema.freeMapPointer};
    for (const auto& index : schema.indexData) mapRows.insert(index.usageMapPointer);
    for (const auto& maps : schema.longValueMaps) {
        mapRows.insert(maps.ownedPages);
        mapRows.insert(maps.freePages);
    }
    // Delete higher slots first so that a page emptied of maps is released only once.
    for (auto it = mapRows.rbegin(); it != mapRows.rend(); ++it) removeMapRow(store, *it);
    for (auto page : definitionChain(store, schema.definitionPage)) store.release(page);
}

} // namespace jet

namespace jet {

namespace {
// A usage-map row near the table's others, or on a fresh page when that one is full.
std::uint32_t addMapRowForTable(PageStore& store, const TableSchema& schema) {
    std::uint32_t mapPage = RowId::fromPointer(schema.usageMapPointer).page;
    PageBytes page = copyOf(store.read(mapPage));
    auto row = UsageMapEditor::emptyRow();
    const FileFormat& format = store.file().format();
    if (auto slot = appendRow(page, row, format)) {
        store.write(mapPage, page);
        return RowId{mapPage, *slot}.pointer();
    }
    std::uint32_t fresh = store.allocate();
    PageBytes empty = emptyDataPage(0, format);
    auto slot = appendRow(empty, row, format);
    store.write(fresh, empty);
    return RowId{fresh, *slot}.pointer();
}

// Appends a data entry with its usage-map row and an empty root, returning its position.
std::uint32_t addIndexData(PageStore& store, TableSchema& schema, IndexData data) {
    data.usageMapPointer = addMapRowForTable(store, schema);
    data.firstPage = store.allocate();
    data.entryCount = 0;
    store.write(data.firstPage, emptyIndexLeaf(schema.definitionPage, store.file().format()));
    UsageMapEditor(store, data.usageMapPointer).add(data.firstPage);
    schema.indexData.push_back(std::move(data));
    return static_cast<std::uint32_t>(schema.indexData.size() - 1);
}

void refuseTooManyIndexes(const TableSchema& schema, std::size_t adding) {
    if (schema.indexes.size() + adding > 32)
        throw core::SqlError("Too many indexes on table '" + schema.name + "'.");
}
} // namespace

void addIndexStorage(PageStore& store, TableSchema& schema, IndexData data, IndexDef def) {
    refuseTooManyIndexes(schema, 1);
    def.dataIndex = addIndexData(store, schema, std::move(data));
    std::uint32_t number = 0;
    for (const auto& x : schema.indexes) number = std::max(number, x.number + 1);
    def.number = number;
    schema.indexes.push_back(std::move(def));
}

void addIndexesStorage(PageStore& store, TableSchema& schema, std::vector<IndexData> data,
                       std::vector<IndexDef> defs) {
    refuseTooManyIndexes(schema, defs.size());
    const auto first = static_cast<std::uint32_t>(schema.indexData.size());
    for (auto& d : defs) {
        if (d.dataIndex >= data.size())
            throw core::Error("Internal error: an index names a data entry it was not given.");
        d.dataIndex += first;
    }
    for (auto& d : data) addIndexData(store, schema, std::move(d));
    for (auto& d : defs) schema.indexes.push_back(std::move(d));
}

void dropIndexStorage(PageStore& store, TableSchema& schema, std::string_view name) {
    auto it = std::find_if(schema.indexes.begin(), schema.indexes.end(),
                           [&](const IndexDef& d) { return core::sameName(d.name, name); });
    if (it == schema.indexes.end())
        throw core::SqlError("Index '" + std::string(name) + "' does not exist on table '" +
                             schema.name + "'.");
    std::uint32_t dataIndex = it->dataIndex;
    schema.indexes.erase(it);
    bool shared = std::any_of(schema.indexes.begin(), schema.indexes.end(),
                              [&](const IndexDef& d) { return d.dataIndex == dataIndex; });
    if (shared) return;
    const IndexData& data = schema.indexData[dataIndex];
    std::set<std::uint32_t> pages;
    if (data.usageMapPointer) {
        auto listed = readUsageMap(store.file(), data.usageMapPointer);
        pages.insert(listed.begin(), listed.end());
    }
    pages.insert(data.firstPage);
    for (auto page : pages) store.release(page);
    removeMapRow(store, data.usageMapPointer);
    schema.indexData.erase(schema.indexData.begin() + dataIndex);
    for (auto& d : schema.indexes)
        if (d.dataIndex > dataIndex) --d.dataIndex;
}

void addLongValueMaps(PageStore& store, TableSchema& schema) {
    const ColumnDef& c = schema.columns.back();
    schema.longValueMaps.push_back(
        {c.number, addMapRowForTable(store, schema), addMapRowForTable(store, schema)});
}

void addColumnToSchema(TableSchema& schema, ColumnDef c) {
    if (schema.columns.size() >= 255) throw core::SqlError("Too many fields defined.");
    c.rawType = static_cast<std::uint8_t>(c.type);
    c.number = schema.maxColumns;
    c.displayIndex = c.number;
    std::uint16_t width = fixedWidth(c.type);
    bool fixed = width > 0 || c.type == ColumnType::Boolean;
    std::uint8_t keep = c.flags & (column_flag::kAutoLong | column_flag::kAutoGuid);
    c.flags = static_cast<std::uint8_t>(keep | column_flag::kNullable |
                                        (fixed ? column_flag::kFixed : 0));
    std::uint16_t fixedEnd = 0, variables = 0;
    for (const auto& other : schema.columns) {
        if (other.isFixed())
            fixedEnd = std::max<std::uint16_t>(
                fixedEnd, static_cast<std::uint16_t>(other.fixedOffset + fixedWidth(other.type)));
        else
            variables =
                std::max<std::uint16_t>(variables, static_cast<std::uint16_t>(other.varIndex + 1));
    }
    variables = std::max(variables, schema.variableColumns);
    if (fixed) {
        c.fixedOffset = fixedEnd;
        c.varIndex = variables;
        c.size = c.type == ColumnType::Boolean ? 1 : width;
    } else {
        c.varIndex = variables;
        c.fixedOffset = 0;
        schema.variableColumns = static_cast<std::uint16_t>(variables + 1);
    }
    if (c.type == ColumnType::Text || c.type == ColumnType::Memo) {
        c.sortOrder = 1033;
        c.miscFlags |= 0x01;
    }
    if (isLongValue(c.type)) c.size = 0;
    schema.columns.push_back(std::move(c));
    ++schema.maxColumns;
}

void removeColumnFromSchema(TableSchema& schema, const std::string& name) {
    auto it = std::find_if(schema.columns.begin(), schema.columns.end(),
                           [&](const ColumnDef& c) { return core::sameName(c.name, name); });
    if (it == schema.columns.end()) return;
    std::uint16_t number = it->number;
    schema.columns.erase(it);
    auto& maps = schema.longValueMaps;
    maps.erase(
        std::remove_if(maps.begin(), maps.end(),
                       [&](const LongValueUsageMaps& m) { return m.columnNumber == number; }),
        maps.end());
}

} // namespace jet
