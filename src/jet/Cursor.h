#pragma once
// Walks a table's rows in stored order: data pages in usage-map order, rows in slot order,
// deleted rows skipped, a moved row listed on the page it moved to. A value is decoded only when
// asked for; storedRowIds lists the same rows without looking at any row's bytes.
#include "core/Value.h"
#include "jet/file/PageFile.h"
#include "jet/rows/RowLayout.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace jet {

class Cursor {
public:
    Cursor(const PageFile& file, std::shared_ptr<const TableSchema> schema);

    // Moves to the next row; false at the end.
    bool next();
    // The current row's value of the column at this position in the schema's column list.
    core::Value value(std::size_t columnIndex) const;
    bool isNull(std::size_t columnIndex) const;
    // A text or memo value as the file stores it (see storedTextBytes).
    std::optional<core::Bytes> storedText(std::size_t columnIndex) const;
    // Where the current row's bytes are.
    RowId rowId() const { return current_; }
    const TableSchema& schema() const { return *schema_; }

private:
    bool loadRow(std::uint16_t slot);

    const PageFile& file_;
    std::shared_ptr<const TableSchema> schema_;
    bool hasVariable_ = false;
    std::vector<std::uint32_t> pages_;
    std::size_t pageIndex_ = 0;
    PageRef page_;
    std::uint16_t slot_ = 0;
    std::uint16_t slots_ = 0;
    bool started_ = false;
    RowId current_;
    RowLayout row_;
};

// Every row's address in the order a Cursor lists them, read from the data pages' slot tables
// alone: what a list of a whole table's rows needs, at a fraction of a walk's cost.
std::vector<RowId> storedRowIds(const PageFile& file, const TableSchema& schema);
// The same rows a page at a time: each data page's number and its slots that hold rows,
// ascending, so that a caller can keep them in its own form without a list in between.
void visitStoredRows(
    const PageFile& file, const TableSchema& schema,
    const std::function<void(std::uint32_t page, std::span<const std::uint16_t> slots)>& visit);
// The same for some of the pages the table's usage map names, in the order given: a caller
// that reads a table's rows a few pages at a time, from either end.
void visitStoredRows(
    const PageFile& file, const TableSchema& schema, std::span<const std::uint32_t> pages,
    const std::function<void(std::uint32_t page, std::span<const std::uint16_t> slots)>& visit);

} // namespace jet
