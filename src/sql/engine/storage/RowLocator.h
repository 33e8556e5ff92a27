#pragma once
// Where a row lives in its table: handed out by the storage with each row it reads, kept by
// the access layer as a bookmark, and given back to update or delete exactly that row.
#include "jet/file/PageFormat.h"

#include <compare>
#include <cstdint>

namespace sql {

struct RowLocator {
    std::uint32_t page = 0;
    std::uint32_t slot = 0;

    auto operator<=>(const RowLocator&) const = default;

    static RowLocator fromRowId(jet::RowId id) { return {id.page, id.slot}; }
    jet::RowId toRowId() const { return {page, static_cast<std::uint8_t>(slot)}; }
};

} // namespace sql
