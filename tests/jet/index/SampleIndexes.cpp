#include "SampleIndexes.h"

#include "common/Samples.h"
#include "jet/file/UsageMap.h"
#include "jet/index/IndexKeyColumns.h"
#include "jet/keys/KeyEncoder.h"
#include "jet/rows/DataPage.h"

#include <algorithm>
#include <map>

namespace testing_support {

std::unique_ptr<jet::Database> openSample(const std::string& name) {
    return jet::Database::open(sample(name), name == "password.mdb" ? "password" : "");
}

namespace {

// A row that grew and moved keeps its address: the slot it left holds a pointer to where it
// went, and indexes go on naming the old slot. A scan meets the row where it is now.
std::map<jet::RowId, jet::RowId> movedRows(const jet::PageFile& file,
                                           const jet::TableSchema& schema) {
    std::map<jet::RowId, jet::RowId> home;
    for (std::uint32_t number : jet::readUsageMap(file, schema.usageMapPointer)) {
        const jet::PageRef page = file.read(number);
        const jet::ByteSpan bytes = jet::bytesOf(page);
        if (bytes[0] != std::uint8_t(jet::PageType::Data)) continue;
        for (std::uint16_t slot = 0; slot < jet::slotCount(bytes, file.format()); ++slot) {
            const jet::RowSlot r = jet::rowSlot(bytes, slot, file.format());
            if (r.pointer)
                home[jet::RowId::fromPointer(jet::u32(bytes, r.start))] =
                    jet::RowId{number, std::uint8_t(slot)};
        }
    }
    return home;
}

} // namespace

std::vector<SampleIndex> sampleIndexes(const jet::Database& db) {
    std::vector<SampleIndex> found;
    for (const jet::CatalogEntry& entry : db.catalog().entries()) {
        if (!entry.isTable()) continue;
        const jet::Table table = db.table(entry.name);
        const jet::TableSchema& schema = table.schema();
        for (std::size_t i = 0; i < schema.indexData.size(); ++i) {
            SampleIndex index;
            index.table = schema.name;
            index.tablePage = schema.definitionPage;
            index.number = i;
            index.data = schema.indexData[i];
            for (const jet::IndexDef& def : schema.indexes)
                if (def.dataIndex == i && def.kind == jet::IndexKind::Primary)
                    index.primaryKey = true;
            const auto positions = jet::indexColumnPositions(schema, index.data);
            const auto columns = jet::indexKeyColumns(schema, index.data, db.pages().format());
            const auto moved = movedRows(db.pages(), schema);
            jet::Cursor rows = table.scan();
            while (rows.next()) {
                std::vector<core::Value> values;
                for (std::size_t p : positions) values.push_back(rows.value(p));
                const auto it = moved.find(rows.rowId());
                index.rows.push_back({jet::encodeKey(columns, values),
                                      it == moved.end() ? rows.rowId() : it->second});
            }
            found.push_back(std::move(index));
        }
    }
    return found;
}

std::vector<jet::IndexEntry> expectedEntries(const SampleIndex& index) {
    std::vector<jet::IndexEntry> kept;
    for (const jet::IndexEntry& e : index.rows)
        if (jet::indexAdmitsKey(index.data, e.key)) kept.push_back(e);
    std::sort(kept.begin(), kept.end());
    return kept;
}

} // namespace testing_support
