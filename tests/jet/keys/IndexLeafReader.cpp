// Leaf pages: a header, a bitmap marking where each entry ends, then the entries. Entries
// after the first omit the prefix they share with the first one; each ends with a 3-byte
// big-endian data page number and a row number.
#include "IndexLeafReader.h"

#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

namespace testing_support {

namespace {

constexpr std::size_t pageSize = 4096;
constexpr std::uint8_t leafPageType = 0x04;
constexpr std::size_t previousPageOffset = 12;
constexpr std::size_t nextPageOffset = 16;
constexpr std::size_t prefixLengthOffset = 24;
constexpr std::size_t entryMaskOffset = 27;
constexpr std::size_t entryMaskSize = 453;
constexpr std::size_t entriesOffset = entryMaskOffset + entryMaskSize;
constexpr std::size_t rowPointerSize = 4;

LeafPage readLeaf(const std::uint8_t* page, std::uint32_t number) {
    const auto u32 = [&](std::size_t at) {
        return std::uint32_t(page[at]) | std::uint32_t(page[at + 1]) << 8 |
               std::uint32_t(page[at + 2]) << 16 | std::uint32_t(page[at + 3]) << 24;
    };
    LeafPage leaf;
    leaf.number = number;
    leaf.previous = u32(previousPageOffset);
    leaf.next = u32(nextPageOffset);
    const std::size_t prefixLength = page[prefixLengthOffset] | page[prefixLengthOffset + 1] << 8;
    core::Bytes prefix;
    std::size_t start = 0;
    for (std::size_t bit = 0; bit < entryMaskSize * 8; ++bit) {
        if ((page[entryMaskOffset + bit / 8] & (1u << (bit % 8))) == 0) continue;
        const std::size_t end = bit;
        if (end <= start || entriesOffset + end > pageSize)
            throw std::runtime_error("bad entry mask on page " + std::to_string(number));
        core::Bytes entry = leaf.entries.empty() ? core::Bytes{} : prefix;
        entry.insert(entry.end(), page + entriesOffset + start, page + entriesOffset + end);
        if (leaf.entries.empty()) prefix.assign(entry.begin(), entry.begin() + prefixLength);
        if (entry.size() < rowPointerSize)
            throw std::runtime_error("short entry on page " + std::to_string(number));
        LeafEntry e;
        const std::size_t keySize = entry.size() - rowPointerSize;
        e.key.assign(entry.begin(), entry.begin() + keySize);
        e.page = std::uint32_t(entry[keySize]) << 16 | std::uint32_t(entry[keySize + 1]) << 8 |
                 entry[keySize + 2];
        e.row = entry[keySize + 3];
        leaf.entries.push_back(std::move(e));
        start = end;
    }
    return leaf;
}

} // namespace

std::vector<LeafPage> readLeafPages(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + file.string());
    const core::Bytes data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<LeafPage> leaves;
    for (std::size_t offset = 0; offset + pageSize <= data.size(); offset += pageSize)
        if (data[offset] == leafPageType)
            leaves.push_back(readLeaf(data.data() + offset, std::uint32_t(offset / pageSize)));
    return leaves;
}

std::vector<std::vector<core::Bytes>> leafChains(const std::vector<LeafPage>& leaves) {
    std::map<std::uint32_t, const LeafPage*> byNumber;
    for (const auto& leaf : leaves) byNumber[leaf.number] = &leaf;
    std::vector<std::vector<core::Bytes>> chains;
    for (const auto& leaf : leaves) {
        if (leaf.previous != 0) continue;
        std::vector<core::Bytes> keys;
        for (const LeafPage* p = &leaf; p != nullptr;) {
            for (const auto& e : p->entries) keys.push_back(e.key);
            const auto it = byNumber.find(p->next);
            p = p->next != 0 && it != byNumber.end() ? it->second : nullptr;
        }
        chains.push_back(std::move(keys));
    }
    return chains;
}

} // namespace testing_support
