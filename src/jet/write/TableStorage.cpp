#include "jet/write/TableStorage.h"

#include "jet/file/UsageMap.h"
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

namespace index_page {
inline constexpr std::size_t kParent = 4;
inline constexpr std::size_t kFirstEntry = 0x1E0;
} // namespace index_page

PageBytes emptyIndexLeaf(std::uint32_t definitionPage) {
    PageBytes p{};
    p[0] = static_cast<std::uint8_t>(PageType::IndexLeaf);
    p[1] = 0x01;
    auto free = static_cast<std::uint16_t>(kPageSize - index_page::kFirstEntry);
    p[2] = static_cast<std::uint8_t>(free);
    p[3] = static_cast<std::uint8_t>(free >> 8);
    for (int i = 0; i < 4; ++i)
        p[index_page::kParent + i] = static_cast<std::uint8_t>(definitionPage >> (8 * i));
    return p;
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
    core::Bytes bytes = encodeTableDefinition(schema, schema.longValueMaps);
    std::size_t needed = definitionPageCount(bytes);
    while (pages.size() < needed) pages.push_back(store.allocate());
    while (pages.size() > needed) {
        store.release(pages.back());
        pages.pop_back();
    }
    auto images = splitDefinition(bytes, pages);
    for (std::size_t i = 0; i < pages.size(); ++i) store.write(pages[i], images[i]);
}

std::uint32_t addMapRow(PageStore& store, std::uint32_t mapPage) {
    PageBytes page = copyOf(store.read(mapPage));
    auto row = UsageMapEditor::emptyRow();
    auto slot = appendRow(page, row);
    if (!slot) throw core::Error("A table has more indexes than Jet can keep.");
    store.write(mapPage, page);
    return RowId{mapPage, *slot}.pointer();
}

// Deletes one usage-map row, and the page holding it once no map is left there.
void removeMapRow(PageStore& store, std::uint32_t rowPointer) {
    if (rowPointer == 0) return;
    RowId id = RowId::fromPointer(rowPointer);
    PageBytes page = copyOf(store.read(id.page));
    deleteRow(page, id.slot);
    if (liveSlots(page) == 0)
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
    store.write(mapPage, emptyDataPage(0));
    schema.usageMapPointer = addMapRow(store, mapPage);
    schema.freeMapPointer = addMapRow(store, mapPage);
    for (auto& index : schema.indexData) {
        index.usageMapPointer = addMapRow(store, mapPage);
        index.firstPage = store.allocate();
        store.write(index.firstPage, emptyIndexLeaf(schema.definitionPage));
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
    for (std::uint32_t page : readUsageMap(store.file(), schema.usageMapPointer)) {
        auto bytes = store.read(page);
        auto span = bytesOf(bytes);
        if (span[0] != static_cast<std::uint8_t>(PageType::Data) ||
            u32(span, data_page::kOwner) != schema.definitionPage)
            continue;
        std::vector<core::Bytes> references;
        for (std::uint16_t s = 0, n = slotCount(span); s < n; ++s) {
            RowSlot slot = rowSlot(span, s);
            if (!slot.holdsRow()) continue;
            RowLayout row(span.subspan(slot.start, slot.end - slot.start), hasVariable);
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
