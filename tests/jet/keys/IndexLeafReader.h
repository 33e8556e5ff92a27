#pragma once
// Test-only reader of Jet 4 index leaf pages: just enough to list the entries Access wrote
// (the key bytes and the row each entry points to), page by page.
#include "core/Value.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace testing_support {

struct LeafEntry {
    core::Bytes key;        // the entry without its row pointer
    std::uint32_t page = 0; // data page of the row
    std::uint8_t row = 0;   // row number on that page
};

struct LeafPage {
    std::uint32_t number = 0;
    std::uint32_t previous = 0; // neighbouring leaf pages of the same index; 0 = none
    std::uint32_t next = 0;
    std::vector<LeafEntry> entries;
};

// Every index leaf page (page type 0x04) of a Jet 4 file, in file order.
std::vector<LeafPage> readLeafPages(const std::filesystem::path& file);

// The leaf level of each index: the keys of its pages, first page to last, in entry order.
std::vector<std::vector<core::Bytes>> leafChains(const std::vector<LeafPage>& leaves);

} // namespace testing_support
