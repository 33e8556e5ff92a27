#include "jet/write/TableWriter.h"

#include "jet/file/Bytes.h"
#include "jet/file/UsageMap.h"
#include "jet/rows/ColumnValue.h"
#include "jet/rows/LongValue.h"
#include "jet/rows/RowEncoder.h"
#include "jet/rows/RowLayout.h"
#include "jet/rows/ValueDecoder.h"
#include "jet/schema/TableDefinition.h"
#include "jet/write/DataPageEditor.h"
#include "jet/write/UsageMapEditor.h"

#include <algorithm>

namespace jet {

namespace {
// Below this much free space a page leaves the table's map of pages with room.
constexpr std::uint16_t kFullPage = 64;

class LongValueAdapter : public LongValueStore {
public:
    explicit LongValueAdapter(LongValueWriter& writer) : writer_(writer) {}
    core::Bytes storeExternal(ColumnType, std::span<const std::uint8_t> data) override {
        return writer_.store(data);
    }

private:
    LongValueWriter& writer_;
};

} // namespace

TableWriter::TableWriter(PageStore& store, TableSchema& schema)
    : store_(store), schema_(schema), longValues_(store) {
    hasVariable_ =
        schema_.variableColumns > 0 || std::any_of(schema_.columns.begin(), schema_.columns.end(),
                                                   [](const ColumnDef& c) { return !c.isFixed(); });
}

std::vector<std::uint8_t>
TableWriter::encode(const std::vector<core::Value>& values,
                    std::span<const std::optional<core::Bytes>> storedText) {
    LongValueAdapter adapter(longValues_);
    return encodeRow(schema_, values, adapter, format(), storedText);
}

RowId TableWriter::resolve(RowId home) const {
    // Reading serves Jet 3 files too, so it takes its layout from the file.
    const FileFormat& format = store_.file().format();
    auto page = store_.read(home.page);
    auto bytes = store_.file().bytes(page);
    if (bytes[0] != static_cast<std::uint8_t>(PageType::Data) ||
        u32(bytes, data_page::kOwner) != schema_.definitionPage)
        throw core::Error("The record no longer exists: its page belongs to another object.");
    RowSlot slot = rowSlot(bytes, home.slot, format);
    if (slot.deleted) throw core::Error("The record has been deleted by another operation.");
    if (!slot.pointer) return home;
    if (slot.end - slot.start < 4) throwDamaged("a moved row's pointer is cut short");
    return RowId::fromPointer(u32(bytes, slot.start));
}

std::vector<core::Value> TableWriter::read(RowId home) const {
    RowId where = resolve(home);
    const FileFormat& format = store_.file().format();
    auto page = store_.read(where.page);
    auto bytes = store_.file().bytes(page);
    RowSlot slot = rowSlot(bytes, where.slot, format);
    RowLayout layout(bytes.subspan(slot.start, slot.end - slot.start), hasVariable_, format);
    std::vector<core::Value> values;
    values.reserve(schema_.columns.size());
    for (const auto& c : schema_.columns) values.push_back(decodeColumn(store_.file(), layout, c));
    return values;
}

void TableWriter::noteFreeSpace(std::uint32_t page, const PageBytes& bytes) {
    UsageMapEditor freeMap(store_, schema_.freeMapPointer);
    if (freeSpace(bytes) >= kFullPage)
        freeMap.add(page);
    else
        freeMap.remove(page);
}

RowId TableWriter::placeNewRow(std::span<const std::uint8_t> row, bool moved) {
    if (!candidatesLoaded_) {
        auto pages = readUsageMap(store_.file(), schema_.freeMapPointer);
        candidates_.assign(pages.begin(), pages.end());
        candidatesLoaded_ = true;
    }
    SlotState state = moved ? SlotState::MovedHere : SlotState::Row;
    while (!candidates_.empty()) {
        std::uint32_t number = candidates_.back();
        PageRef seen = store_.read(number);
        if ((*seen)[0] == static_cast<std::uint8_t>(PageType::Data) &&
            pageOwner(*seen) == schema_.definitionPage) {
            if (rowFits(*seen, row.size(), format())) {
                // Let go of the bytes so that the row is added in place, not to a copy.
                seen.reset();
                PageBytes& page = store_.modify(number);
                const auto slot = appendRow(page, row, format(), state);
                if (freeSpace(page) < kFullPage) {
                    UsageMapEditor(store_, schema_.freeMapPointer).remove(number);
                    candidates_.pop_back();
                }
                return {number, *slot};
            }
            if (freeSpace(*seen) >= spaceForNewRow(row.size())) {
                // Out of slots rather than bytes: the page is full all the same.
                UsageMapEditor(store_, schema_.freeMapPointer).remove(number);
            }
        }
        candidates_.pop_back();
    }
    std::uint32_t number = store_.allocate();
    PageBytes page = emptyDataPage(schema_.definitionPage, format());
    auto slot = appendRow(page, row, format(), state);
    if (!slot) throw core::ConstraintError("Record is too large.");
    store_.write(number, page);
    UsageMapEditor(store_, schema_.usageMapPointer).add(number);
    if (freeSpace(page) >= kFullPage) {
        UsageMapEditor(store_, schema_.freeMapPointer).add(number);
        candidates_.push_back(number);
    }
    return {number, *slot};
}

std::vector<core::Value> TableWriter::coerce(std::vector<core::Value> values) const {
    if (values.size() != schema_.columns.size())
        throw core::Error("A row must give one value per column of table '" + schema_.name + "'.");
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = coerceToColumn(schema_.columns[i], values[i]);
    return values;
}

std::vector<core::Value> TableWriter::prepareInsert(std::vector<core::Value> values) {
    if (values.size() != schema_.columns.size())
        throw core::Error("A row must give one value per column of table '" + schema_.name + "'.");
    for (std::size_t i = 0; i < values.size(); ++i) {
        const ColumnDef& c = schema_.columns[i];
        if ((c.flags & column_flag::kAutoLong) && values[i].isNull()) {
            values[i] = core::Value(static_cast<std::int32_t>(++schema_.nextAutoNumber));
            continue;
        }
        values[i] = coerceToColumn(c, values[i]);
        if ((c.flags & column_flag::kAutoLong) && values[i].getIf<std::int32_t>()) {
            std::int32_t given = *values[i].getIf<std::int32_t>();
            if (given > static_cast<std::int32_t>(schema_.nextAutoNumber))
                schema_.nextAutoNumber = static_cast<std::uint32_t>(given);
        }
    }
    return values;
}

RowId TableWriter::insertPrepared(const std::vector<core::Value>& values,
                                  std::span<const std::optional<core::Bytes>> storedText) {
    auto row = encode(values, storedText);
    RowId id = placeNewRow(row, false);
    ++schema_.rowCount;
    return id;
}

void TableWriter::releaseLongValues(RowId home) {
    bool any = std::any_of(schema_.columns.begin(), schema_.columns.end(),
                           [](const ColumnDef& c) { return isLongValue(c.type); });
    if (!any) return;
    RowId where = resolve(home);
    const FileFormat& format = store_.file().format();
    auto page = store_.read(where.page);
    auto bytes = store_.file().bytes(page);
    RowSlot slot = rowSlot(bytes, where.slot, format);
    RowLayout layout(bytes.subspan(slot.start, slot.end - slot.start), hasVariable_, format);
    std::vector<core::Bytes> references;
    for (const auto& c : schema_.columns)
        if (isLongValue(c.type))
            if (auto ref = layout.variableBytes(c))
                references.emplace_back(ref->begin(), ref->end());
    for (const auto& ref : references) longValues_.release(ref);
}

void TableWriter::update(RowId home, std::vector<core::Value> values) {
    values = coerce(std::move(values));
    // Encode first: a row that cannot be written must not lose its old long values.
    auto row = encode(values);
    releaseLongValues(home);
    RowId where = resolve(home);
    PageBytes page = copyOf(store_.read(where.page));
    SlotState state = where == home ? SlotState::Row : SlotState::MovedHere;
    if (replaceRow(page, where.slot, row, state, format())) {
        store_.write(where.page, page);
        noteFreeSpace(where.page, page);
        return;
    }
    // The row outgrew its page: it moves, and its home slot keeps a pointer to it so that
    // its address (which indexes hold) stays valid.
    RowId moved = placeNewRow(row, true);
    if (where != home) {
        PageBytes old = copyOf(store_.read(where.page));
        deleteRow(old, where.slot, format());
        store_.write(where.page, old);
        noteFreeSpace(where.page, old);
    }
    PageBytes homePage = copyOf(store_.read(home.page));
    std::uint8_t pointer[4];
    for (int i = 0; i < 4; ++i) pointer[i] = static_cast<std::uint8_t>(moved.pointer() >> (8 * i));
    if (!replaceRow(homePage, home.slot, pointer, SlotState::Pointer, format()))
        throw core::Error("The record cannot be updated: its page is full.");
    store_.write(home.page, homePage);
    noteFreeSpace(home.page, homePage);
}

void TableWriter::remove(RowId home) {
    releaseLongValues(home);
    RowId where = resolve(home);
    if (where != home) {
        PageBytes moved = copyOf(store_.read(where.page));
        deleteRow(moved, where.slot, format());
        store_.write(where.page, moved);
        noteFreeSpace(where.page, moved);
    }
    PageBytes page = copyOf(store_.read(home.page));
    deleteRow(page, home.slot, format());
    store_.write(home.page, page);
    noteFreeSpace(home.page, page);
    if (schema_.rowCount > 0) --schema_.rowCount;
}

void TableWriter::saveDefinitionCounters() {
    const std::size_t rowCountAt = format().definition.rowCount;
    const std::size_t counterAt = format().definition.autoNumber;
    {
        // Counters are saved before every statement, and most statements change none of most
        // tables' counters: a page that already holds them is not written again.
        const PageRef current = store_.read(schema_.definitionPage);
        if (u32(bytesOf(current), rowCountAt) == schema_.rowCount &&
            u32(bytesOf(current), counterAt) == schema_.nextAutoNumber)
            return;
    }
    // Changed in place when the transaction already holds its own copy of the page.
    PageBytes& page = store_.modify(schema_.definitionPage);
    put32(page, rowCountAt, schema_.rowCount);
    put32(page, counterAt, schema_.nextAutoNumber);
}

} // namespace jet
