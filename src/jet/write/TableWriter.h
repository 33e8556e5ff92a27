#pragma once
// Inserts, updates and deletes the rows of one table: finds room on the table's data pages,
// keeps its usage maps and its row count and counter right, and moves long values and rows
// that outgrow their page. Index upkeep is layered on top by the caller.
#include "core/Value.h"
#include "jet/schema/TableSchema.h"
#include "jet/write/LongValueWriter.h"
#include "jet/write/PageStore.h"

#include <deque>
#include <optional>
#include <span>
#include <vector>

namespace jet {

class TableWriter {
public:
    TableWriter(PageStore& store, TableSchema& schema);

    // Values in column order (Null where none was given); counters left Null are assigned.
    // Returns the new row's address. storedText: see encodeRow.
    RowId insert(std::vector<core::Value> values,
                 std::span<const std::optional<core::Bytes>> storedText = {}) {
        return insertPrepared(prepareInsert(std::move(values)), storedText);
    }
    // The two halves of insert, so that the caller can check the final values (with the
    // counters given out) against the indexes before anything is written.
    std::vector<core::Value> prepareInsert(std::vector<core::Value> values);
    RowId insertPrepared(const std::vector<core::Value>& values,
                         std::span<const std::optional<core::Bytes>> storedText = {});
    // Values checked against their columns (coerceToColumn; throws for one that does not fit).
    std::vector<core::Value> coerce(std::vector<core::Value> values) const;
    void update(RowId row, std::vector<core::Value> values);
    void remove(RowId row);
    // The row's current values, following a moved row to where it lives.
    std::vector<core::Value> read(RowId row) const;

    std::uint32_t takeCounter() { return ++schema_.nextAutoNumber; }
    void raiseCounter(std::uint32_t last) {
        if (last > schema_.nextAutoNumber) schema_.nextAutoNumber = last;
    }
    const TableSchema& schema() const { return schema_; }
    // Writes the row count and counter into the table definition.
    void saveDefinitionCounters();

private:
    std::vector<std::uint8_t> encode(const std::vector<core::Value>& values,
                                     std::span<const std::optional<core::Bytes>> storedText = {});
    RowId placeNewRow(std::span<const std::uint8_t> row, bool moved);
    void noteFreeSpace(std::uint32_t page, const PageBytes& bytes);
    void releaseLongValues(RowId home);
    // Where a row's bytes are: its own slot, or the slot its pointer names.
    RowId resolve(RowId home) const;
    const FileFormat& format() const { return store_.file().format(); }

    PageStore& store_;
    TableSchema& schema_;
    LongValueWriter longValues_;
    bool hasVariable_ = false;
    std::deque<std::uint32_t> candidates_; // pages that may have room, tried in order
    bool candidatesLoaded_ = false;
};

} // namespace jet
