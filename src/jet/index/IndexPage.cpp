// Index pages mark where each entry ends in a bitmap, counting from the first entry; every
// entry after the first leaves out the prefix it shares with the first. Header numbers are
// little-endian, the pointers inside entries big-endian so that entries compare as bytes.
#include "jet/index/IndexPage.h"

#include "jet/file/Bytes.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace jet {

namespace {

constexpr std::size_t kWord = 8;

// Copies n bytes as whole words: up to kWord - 1 bytes past n are read and written too.
inline void copyWords(std::uint8_t* to, const std::uint8_t* from, std::size_t n) {
    for (std::size_t i = 0; i < n; i += kWord) std::memcpy(to + i, from + i, kWord);
}

using namespace index_page;

std::uint32_t bigEndian(ByteSpan b, std::size_t at, std::size_t size) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < size; ++k) v = (v << 8) | b[at + k];
    return v;
}

void putBigEndian(std::uint8_t* out, std::uint32_t v, std::size_t size) {
    for (std::size_t k = size; k-- > 0; v >>= 8) out[k] = std::uint8_t(v);
}

} // namespace

ByteSpan IndexPage::entry(std::size_t i) const {
    return ByteSpan(bytes_).subspan(start(i), ends_[i] - start(i));
}

ByteSpan IndexPage::key(std::size_t i) const {
    ByteSpan e = entry(i);
    return e.first(e.size() - trailerSize());
}

RowId IndexPage::row(std::size_t i) const {
    ByteSpan e = entry(i);
    const std::size_t at = e.size() - trailerSize();
    return RowId{bigEndian(e, at, 3), e[at + 3]};
}

std::uint32_t IndexPage::child(std::size_t i) const {
    ByteSpan e = entry(i);
    return leaf ? 0 : bigEndian(e, e.size() - kChildPointerSize, kChildPointerSize);
}

std::size_t IndexPage::lowerBound(ByteSpan k, RowId r) const {
    std::size_t lo = 0, hi = size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (compareEntries(key(mid), row(mid), k, r) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

std::size_t IndexPage::lowerBoundKey(ByteSpan k) const {
    std::size_t lo = 0, hi = size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (compareKeys(key(mid), k) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void IndexPage::insert(std::size_t at, ByteSpan k, RowId r, std::uint32_t childPage) {
    const std::size_t size = k.size() + trailerSize();
    const std::size_t pos = start(at);
    const std::size_t after = bytes_.size() - pos;
    bytes_.resize(bytes_.size() + size);
    std::uint8_t* p = bytes_.data() + pos;
    std::memmove(p + size, p, after);
    if (!k.empty()) std::memcpy(p, k.data(), k.size());
    putBigEndian(p + k.size(), r.page, 3);
    p[k.size() + 3] = r.slot;
    if (!leaf) putBigEndian(p + k.size() + kRowPointerSize, childPage, kChildPointerSize);
    ends_.insert(ends_.begin() + std::ptrdiff_t(at), std::uint32_t(pos + size));
    for (std::size_t i = at + 1; i < ends_.size(); ++i) ends_[i] += std::uint32_t(size);
}

void IndexPage::erase(std::size_t first, std::size_t last) {
    if (first >= last) return;
    const std::size_t from = start(first), to = ends_[last - 1];
    bytes_.erase(bytes_.begin() + std::ptrdiff_t(from), bytes_.begin() + std::ptrdiff_t(to));
    ends_.erase(ends_.begin() + std::ptrdiff_t(first), ends_.begin() + std::ptrdiff_t(last));
    for (std::size_t i = first; i < ends_.size(); ++i) ends_[i] -= std::uint32_t(to - from);
}

void IndexPage::replace(std::size_t at, ByteSpan k, RowId r) {
    const std::uint32_t childPage = child(at);
    erase(at);
    insert(at, k, r, childPage);
}

void IndexPage::setChild(std::size_t at, std::uint32_t childPage) {
    putBigEndian(bytes_.data() + ends_[at] - kChildPointerSize, childPage, kChildPointerSize);
}

void IndexPage::append(const IndexPage& from, std::size_t first, std::size_t last) {
    if (first >= last) return;
    const std::size_t base = bytes_.size();
    const std::size_t fromStart = from.start(first), length = from.ends_[last - 1] - fromStart;
    bytes_.resize(base + length);
    std::memcpy(bytes_.data() + base, from.bytes_.data() + fromStart, length);
    ends_.reserve(ends_.size() + (last - first));
    for (std::size_t i = first; i < last; ++i)
        ends_.push_back(std::uint32_t(base + from.ends_[i] - fromStart));
}

void IndexPage::clear(bool asLeaf) {
    leaf = asLeaf;
    bytes_.clear();
    ends_.clear();
}

std::size_t IndexPage::sharedPrefix() const {
    if (size() < 2) return 0;
    ByteSpan a = key(0), b = key(size() - 1);
    const std::size_t limit = std::min({a.size(), b.size(), format->maxIndexPrefix()});
    std::size_t n = 0;
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

std::size_t IndexPage::encodedSize(std::size_t prefix) const {
    return empty() ? 0 : rawSize() - prefix * (size() - 1);
}

bool isIndexPage(ByteSpan page, const FileFormat& format) {
    return page.size() >= format.pageSize && (page[0] == std::uint8_t(PageType::IndexNode) ||
                                              page[0] == std::uint8_t(PageType::IndexLeaf));
}

std::uint16_t storedPrefixLength(ByteSpan page, const FileFormat& format) {
    const auto& l = format.indexPage;
    return l.prefixLengthSize == 1 ? page[l.prefixLength] : u16(page, l.prefixLength);
}

IndexPage parseIndexPage(ByteSpan whole, const FileFormat& format) {
    if (!isIndexPage(whole, format))
        throwDamaged("an index refers to a page that is not an index page");
    const ByteSpan page = whole.first(format.pageSize);
    const auto& l = format.indexPage;
    const std::size_t pageSize = format.pageSize, maskSize = l.entryMaskSize,
                      firstEntry = l.firstEntry();
    IndexPage p(format);
    p.leaf = page[0] == std::uint8_t(PageType::IndexLeaf);
    p.owner = u32(page, l.owner);
    p.reserved = l.reserved != 0 ? u32(page, l.reserved) : 0;
    p.previous = u32(page, l.previous);
    p.next = u32(page, l.next);
    p.tail = u32(page, l.tail);
    p.storedPrefix = storedPrefixLength(page, format);
    p.flags = page[l.flags];

    // First where each entry ends, then the entries copied.
    const std::size_t trailer = p.trailerSize();
    const std::uint8_t* mask = page.data() + l.entryMask;
    // Counted eight bytes at a time: without a popcount instruction each count is a call.
    std::size_t count = 0, byte = 0;
    for (; byte + 8 <= maskSize; byte += 8) {
        std::uint64_t word;
        std::memcpy(&word, mask + byte, 8);
        count += std::size_t(std::popcount(word));
    }
    for (; byte < maskSize; ++byte) count += std::size_t(std::popcount(unsigned(mask[byte])));
    if (count == 0) return p;
    std::vector<std::uint32_t>& ends = p.ends_;
    ends.resize(count);
    std::uint32_t* end = ends.data();
    std::uint32_t last = 0;
    for (std::size_t byte = 0; byte < maskSize; ++byte) {
        for (unsigned bits = mask[byte]; bits != 0; bits &= bits - 1) {
            const auto at = std::uint32_t(byte * 8 + std::size_t(std::countr_zero(bits)));
            if (firstEntry + at > pageSize)
                throwDamaged("an index page marks an entry outside the page");
            *end++ = last = at;
        }
    }
    const std::size_t prefix = p.storedPrefix;
    if (prefix > ends[0]) throwDamaged("an index page shares more bytes than its first entry has");
    if (ends[0] < trailer) throwDamaged("an index page holds an entry too short to be one");
    for (std::size_t i = 1; i < count; ++i)
        if (ends[i] - ends[i - 1] + prefix < trailer)
            throwDamaged("an index page holds an entry too short to be one");

    const std::uint8_t* from = page.data() + firstEntry;
    if (prefix == 0) {
        p.bytes_.assign(from, from + last);
        return p;
    }
    // Every entry after the first gets the shared bytes back. Entries are short, so they are
    // copied in whole words (a call per few bytes costs more than the bytes); the words may
    // run past an entry into bytes the next copy overwrites, so the buffer has a word to
    // spare at its end and the last words of the page are copied exactly.
    const std::size_t size = last + prefix * (count - 1);
    p.bytes_.resize(size + kWord);
    std::uint8_t* to = p.bytes_.data();
    std::memcpy(to, from, ends[0]);
    std::size_t begin = ends[0], at = ends[0];
    const std::size_t available = pageSize - firstEntry;
    for (std::size_t i = 1; i < count; ++i) {
        const std::size_t stored = ends[i] - begin;
        if (begin + stored + kWord <= available && prefix + kWord <= available) {
            copyWords(to + at, from, prefix);
            copyWords(to + at + prefix, from + begin, stored);
        } else {
            std::memcpy(to + at, from, prefix);
            std::memcpy(to + at + prefix, from + begin, stored);
        }
        begin = ends[i];
        at += prefix + stored;
        ends[i] = std::uint32_t(at);
    }
    p.bytes_.resize(size);
    return p;
}

PageBytes encodeIndexPage(const IndexPage& p, std::size_t prefix) {
    const FileFormat& format = *p.format;
    const auto& l = format.indexPage;
    const std::size_t pageSize = format.pageSize, firstEntry = l.firstEntry();
    const std::size_t n = p.size();
    const std::uint8_t* bytes = p.bytes_.data();
    prefix = std::min(prefix, format.maxIndexPrefix());
    if (p.encodedSize(prefix) > format.indexEntryCapacity())
        throw core::Error("Internal error: index entries overflow their page.");
    if (n < 2) prefix = std::min<std::size_t>(prefix, n == 0 ? 0 : p.ends_[0]);
    if (n > 0 && prefix > p.ends_[0])
        throw core::Error("Internal error: an index page prefix not shared by its entries.");

    PageBytes out{};
    out[0] = std::uint8_t(p.leaf ? PageType::IndexLeaf : PageType::IndexNode);
    out[1] = 0x01;
    put32(out, l.owner, p.owner);
    if (l.reserved != 0) put32(out, l.reserved, p.reserved);
    put32(out, l.previous, p.previous);
    put32(out, l.next, p.next);
    put32(out, l.tail, p.tail);
    if (l.prefixLengthSize == 1) {
        out[l.prefixLength] = std::uint8_t(prefix);
    } else {
        put16(out, l.prefixLength, std::uint16_t(prefix));
    }
    out[l.flags] = p.flags;

    // An encode runs at every change of a page, so entries (a few bytes each) are checked
    // and copied in place rather than by a library call apiece, in whole words while both
    // sides have a word to spare.
    std::uint8_t* mask = out.data() + l.entryMask;
    std::uint8_t* to = out.data() + firstEntry;
    const std::size_t available = pageSize - firstEntry, have = p.bytes_.size();
    std::size_t end = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t entryStart = i == 0 ? 0 : p.ends_[i - 1];
        if (i > 0) {
            if (prefix > p.ends_[i] - entryStart)
                throw core::Error(
                    "Internal error: an index page prefix not shared by its entries.");
            for (std::size_t k = 0; k < prefix; ++k)
                if (bytes[k] != bytes[entryStart + k])
                    throw core::Error(
                        "Internal error: an index page prefix not shared by its entries.");
        }
        const std::size_t begin = i == 0 ? 0 : entryStart + prefix;
        const std::size_t size = p.ends_[i] - begin;
        if (begin + size + kWord <= have && end + size + kWord <= available)
            copyWords(to + end, bytes + begin, size);
        else
            std::memcpy(to + end, bytes + begin, size);
        end += size;
        mask[end / 8] |= std::uint8_t(1u << (end % 8));
    }
    // The last word copied may have run past the entries; the free space stays zeros.
    std::memset(to + end, 0, std::min(kWord, available - end));
    put16(out, l.freeSpace, std::uint16_t(pageSize - firstEntry - end));
    return out;
}

bool encodeAppended(const IndexPage& p, const IndexPage& base, PageBytes& bytes) {
    const FileFormat& format = *p.format;
    const auto& l = format.indexPage;
    const std::size_t pageSize = format.pageSize, firstEntry = l.firstEntry();
    const std::size_t n = p.size(), kept = base.size();
    if (kept < 2 || n <= kept || p.format != base.format || p.leaf != base.leaf ||
        p.owner != base.owner || p.previous != base.previous || p.next != base.next ||
        p.tail != base.tail || p.reserved != base.reserved || p.flags != base.flags)
        return false;
    const std::size_t prefix = base.storedPrefix;
    if (p.sharedPrefix() != prefix || p.encodedSize(prefix) > format.indexEntryCapacity())
        return false;
    const std::size_t keptBytes = base.ends_[kept - 1];
    if (p.ends_[kept - 1] != keptBytes ||
        !std::equal(base.ends_.begin(), base.ends_.end(), p.ends_.begin()) ||
        std::memcmp(p.bytes_.data(), base.bytes_.data(), keptBytes) != 0)
        return false;
    // The stored entries of `base` end where its free space starts.
    std::size_t end = base.encodedSize(prefix);
    const std::uint8_t* from = p.bytes_.data();
    for (std::size_t i = kept; i < n; ++i) {
        const std::size_t begin = p.ends_[i - 1];
        if (prefix > p.ends_[i] - begin || std::memcmp(from, from + begin, prefix) != 0)
            return false;
    }
    std::uint8_t* mask = bytes.data() + l.entryMask;
    std::uint8_t* to = bytes.data() + firstEntry;
    for (std::size_t i = kept; i < n; ++i) {
        const std::size_t begin = p.ends_[i - 1] + prefix, size = p.ends_[i] - begin;
        std::memcpy(to + end, from + begin, size);
        end += size;
        mask[end / 8] |= std::uint8_t(1u << (end % 8));
    }
    put16(bytes, l.freeSpace, std::uint16_t(pageSize - firstEntry - end));
    return true;
}

} // namespace jet
