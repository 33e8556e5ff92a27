#include "Mutator.h"

#include <algorithm>

namespace robustness {

namespace {
constexpr std::uint8_t kDataPage = 0x01;
constexpr std::uint8_t kDefinitionPage = 0x02;

// Fields of a table definition's first page that hold counts, lengths or pointers: the ones
// a reader must not trust.
struct Field {
    std::size_t offset, width;
};
constexpr Field kDefinitionFields[] = {
    {4, 4},  // next page of the definition
    {8, 4},  // definition length
    {16, 4}, // row count
    {20, 4}, // next autonumber
    {41, 2}, // highest column number
    {43, 2}, // variable columns
    {45, 2}, // columns
    {47, 4}, // logical indexes
    {51, 4}, // physical indexes
    {55, 4}, // usage map of the rows
    {59, 4}, // usage map of the free space
};
// Within a 25-byte column entry: number, variable index, the text/numeric extras, fixed
// offset and size.
constexpr Field kColumnFields[] = {{0, 1},  {5, 2},  {7, 2},  {11, 2}, {13, 2},
                                   {15, 1}, {16, 1}, {21, 2}, {23, 2}};
} // namespace

Mutator::Mutator(const FileBytes& original, std::uint32_t seed)
    : original_(original), rng_(seed),
      pages_(static_cast<std::uint32_t>(std::max<std::size_t>(original.size() / kPage, 2))) {
    for (std::uint32_t p = 1; p < original.size() / kPage; ++p) {
        std::uint8_t type = original[std::size_t(p) * kPage];
        if (type == kDefinitionPage) definitionPages_.push_back(p);
        if (type == kDataPage) dataPages_.push_back(p);
    }
}

std::uint32_t Mutator::extreme() {
    // Values at the edges of every width, and page numbers just inside and past the file.
    const std::uint32_t values[] = {0,          1,          0x7F,       0x80,      0xFF,
                                    0x7FFF,     0x8000,     0xFFFF,     0x10000,   0x7FFFFFFF,
                                    0x80000000, 0xFFFFFFFF, pages_ - 1, pages_,    pages_ << 8,
                                    0xFFFFFF00, 0x1FFF,     kPage,      kPage - 1, 2042};
    return values[below(std::size(values))];
}

std::uint32_t Mutator::pickFrom(const std::vector<std::uint32_t>& pages) {
    return pages.empty() ? anyPage() : pages[below(pages.size())];
}

void Mutator::writeExtreme(FileBytes& b, std::size_t at, std::size_t width, std::string& what) {
    if (at + width > b.size()) return;
    std::uint32_t v = extreme();
    for (std::size_t i = 0; i < width; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    what += " " + std::to_string(v) + "@" + std::to_string(at) + "/" + std::to_string(width);
}

void Mutator::flipBytes(FileBytes& b, std::string& what) {
    what += " flip";
    for (std::uint32_t n = 1 + below(8); n > 0; --n) {
        // Mostly past the header, whose damage stops everything before the interesting parts.
        std::size_t at = below(8) == 0 ? below(b.size()) : kPage + below(b.size() - kPage);
        auto mask = static_cast<std::uint8_t>(1 + below(255));
        b[at] ^= mask;
        what += " " + std::to_string(at) + "^" + std::to_string(mask);
    }
}

void Mutator::truncate(FileBytes& b, std::string& what) {
    // Cuts land on page boundaries as often as inside pages.
    std::size_t size = below(2) ? std::size_t(below(pages_)) * kPage : below(b.size());
    b.resize(std::min(size, b.size()));
    what += " truncate " + std::to_string(b.size());
}

void Mutator::swapPages(FileBytes& b, std::string& what) {
    std::uint32_t x = anyPage(), y = anyPage();
    if ((std::size_t(std::max(x, y)) + 1) * kPage > b.size()) return;
    std::swap_ranges(b.begin() + std::ptrdiff_t(x * kPage),
                     b.begin() + std::ptrdiff_t((x + 1) * kPage),
                     b.begin() + std::ptrdiff_t(y * kPage));
    what += " swap " + std::to_string(x) + "<->" + std::to_string(y);
}

void Mutator::wipePage(FileBytes& b, std::string& what) {
    std::uint32_t p = below(2) ? pickFrom(definitionPages_) : pickFrom(dataPages_);
    if ((std::size_t(p) + 1) * kPage > b.size()) return;
    // Keep the page type now and then, so that the reader trusts the page and reads on.
    std::size_t from = std::size_t(p) * kPage + (below(2) ? 0 : 1);
    auto fill = static_cast<std::uint8_t>(below(2) ? 0x00 : 0xFF);
    std::fill(b.begin() + std::ptrdiff_t(from), b.begin() + std::ptrdiff_t((p + 1) * kPage), fill);
    what += " wipe " + std::to_string(p) + "=" + std::to_string(fill);
}

void Mutator::damageDefinition(FileBytes& b, std::string& what) {
    std::size_t page = std::size_t(pickFrom(definitionPages_)) * kPage;
    what += " definition";
    switch (below(3)) {
    case 0: {
        const Field& f = kDefinitionFields[below(std::size(kDefinitionFields))];
        writeExtreme(b, page + f.offset, f.width, what);
        break;
    }
    case 1: {
        // A column entry, assuming few physical indexes ahead of the column list.
        if (page + 63 > b.size()) return;
        std::size_t realIndexes = std::min<std::uint32_t>(get32(b, page + 51), 8);
        std::size_t column = page + 63 + 12 * realIndexes + 25 * below(16);
        const Field& f = kColumnFields[below(std::size(kColumnFields))];
        writeExtreme(b, column + f.offset, f.width, what);
        break;
    }
    default: // names, index entries, whatever lies further on
        writeExtreme(b, page + 63 + below(kPage - 67), below(2) ? 2 : 4, what);
    }
}

void Mutator::damageDataPage(FileBytes& b, std::string& what) {
    std::size_t page = std::size_t(pickFrom(dataPages_)) * kPage;
    if (page + kPage > b.size()) return;
    what += " data";
    std::uint16_t rows = std::min<std::uint16_t>(get16(b, page + 12), 256);
    switch (below(4)) {
    case 0:
        writeExtreme(b, page + 12, 2, what);
        break; // row count
    case 1:
        writeExtreme(b, page + 14 + 2 * below(rows + 1u), 2, what);
        break; // a slot
    case 2:
        writeExtreme(b, page + 4, 4, what);
        break; // owner
    default: {
        // Inside a row: column counts, variable offsets, null masks, memo references.
        std::size_t start = page + 14 + 2u * rows;
        if (start + 4 >= page + kPage) return;
        writeExtreme(b, start + below(page + kPage - start - 4), below(2) ? 2 : 4, what);
    }
    }
}

void Mutator::damageAnyWord(FileBytes& b, std::string& what) {
    std::size_t at = kPage + below(b.size() - kPage - 4);
    what += " word";
    writeExtreme(b, at, below(2) ? 2 : 4, what);
}

FileBytes Mutator::next(std::string& description) {
    FileBytes b = original_;
    description.clear();
    std::uint32_t count = below(4) == 0 ? 2 + below(2) : 1;
    for (std::uint32_t i = 0; i < count && b.size() > kPage + 8; ++i) {
        switch (below(10)) {
        case 0:
            flipBytes(b, description);
            break;
        case 1:
            flipBytes(b, description);
            break;
        case 2:
            truncate(b, description);
            break;
        case 3:
            swapPages(b, description);
            break;
        case 4:
            wipePage(b, description);
            break;
        case 5:
            damageDefinition(b, description);
            break;
        case 6:
            damageDefinition(b, description);
            break;
        case 7:
            damageDataPage(b, description);
            break;
        case 8:
            damageDataPage(b, description);
            break;
        default:
            damageAnyWord(b, description);
        }
    }
    return b;
}

} // namespace robustness
