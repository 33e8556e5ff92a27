#pragma once
// Stores memo and OLE data that does not fit in its row on long-value pages ("LVAL" data
// pages): in one row when it fits a page, else as a chain of rows each pointing to the next.
#include "core/Value.h"
#include "jet/write/PageStore.h"

#include <optional>
#include <span>

namespace jet {

class LongValueWriter {
public:
    explicit LongValueWriter(PageStore& store) : store_(store) {}

    // Writes the data and returns the 12-byte reference a row stores.
    core::Bytes store(std::span<const std::uint8_t> data);
    // Frees the rows (and pages left empty) that a reference from a row names.
    void release(std::span<const std::uint8_t> reference);

private:
    RowId appendLongValueRow(std::span<const std::uint8_t> row);
    void deleteLongValueRow(RowId id);

    PageStore& store_;
};

} // namespace jet
