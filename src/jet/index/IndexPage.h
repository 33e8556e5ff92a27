#pragma once
// One index page decoded: its header and its entries with the shared prefix restored. The
// entries lie back to back in one buffer, so reading, editing and rewriting a page costs a
// few copies rather than an allocation per entry.
#include "jet/file/PageFile.h"
#include "jet/index/IndexEntry.h"
#include "jet/index/IndexPageLayout.h"

#include <vector>

namespace jet {

class IndexPage;
IndexPage parseIndexPage(ByteSpan page, const FileFormat& format);
PageBytes encodeIndexPage(const IndexPage& page, std::size_t prefix);
bool encodeAppended(const IndexPage& page, const IndexPage& base, PageBytes& bytes);

class IndexPage {
public:
    IndexPage() = default;
    explicit IndexPage(const FileFormat& format) : format(&format) {}

    // The layout the page is read from and written in.
    const FileFormat* format = &FileFormat::jet4();
    // Leaf pages point to rows; intermediate pages point to child pages as well.
    bool leaf = true;
    std::uint32_t owner = 0; // the table's definition page
    std::uint32_t previous = 0, next = 0;
    std::uint32_t tail = 0; // intermediate pages: the last child, which has no entry
    std::uint32_t reserved = 0;
    std::uint8_t flags = 0;
    std::uint16_t storedPrefix = 0; // the shared prefix length the page was read with

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    // How many bytes follow the key in each entry.
    std::size_t trailerSize() const {
        return index_page::kRowPointerSize + (leaf ? 0 : index_page::kChildPointerSize);
    }

    // The whole entry as stored, prefix included.
    ByteSpan entry(std::size_t i) const;
    ByteSpan key(std::size_t i) const;
    RowId row(std::size_t i) const;
    std::uint32_t child(std::size_t i) const;
    IndexEntry entryValue(std::size_t i) const {
        return {core::Bytes(key(i).begin(), key(i).end()), row(i)};
    }

    // The first entry not below (key, row), or size().
    std::size_t lowerBound(ByteSpan key, RowId row) const;
    // The first entry whose key is not below `key`, whatever its row.
    std::size_t lowerBoundKey(ByteSpan key) const;

    void insert(std::size_t at, ByteSpan key, RowId row, std::uint32_t child = 0);
    void erase(std::size_t first, std::size_t last);
    void erase(std::size_t at) { erase(at, at + 1); }
    // Gives entry `at` another key and row, keeping its child pointer.
    void replace(std::size_t at, ByteSpan key, RowId row);
    void setChild(std::size_t at, std::uint32_t child);
    // Appends entries [first, last) of a page of the same kind.
    void append(const IndexPage& from, std::size_t first, std::size_t last);
    // Drops every entry; the page may change kind.
    void clear(bool asLeaf);
    // Room for this many entry bytes and entries without reallocating (copies assigned to
    // the page keep it).
    void reserve(std::size_t bytes, std::size_t entries) {
        bytes_.reserve(bytes);
        ends_.reserve(entries);
    }

    // The entry bytes without any prefix sharing.
    std::size_t rawSize() const { return bytes_.size(); }
    // The longest key prefix every entry shares (none for fewer than two entries).
    std::size_t sharedPrefix() const;
    // Bytes the entries take on the page when they share `prefix` leading bytes.
    std::size_t encodedSize(std::size_t prefix) const;
    std::size_t encodedSize() const { return encodedSize(sharedPrefix()); }
    bool fits() const { return encodedSize() <= format->indexEntryCapacity(); }

private:
    friend IndexPage parseIndexPage(ByteSpan page, const FileFormat& format);
    friend PageBytes encodeIndexPage(const IndexPage& page, std::size_t prefix);
    friend bool encodeAppended(const IndexPage& page, const IndexPage& base, PageBytes& bytes);
    std::size_t start(std::size_t i) const { return i == 0 ? 0 : ends_[i - 1]; }

    core::Bytes bytes_;
    std::vector<std::uint32_t> ends_; // entry i is bytes_[start(i), ends_[i])
};

bool isIndexPage(ByteSpan page, const FileFormat& format = FileFormat::jet4());
// Throws core::FormatError for a page that is not an index page or whose entries do not
// fit it.
IndexPage parseIndexPage(ByteSpan page, const FileFormat& format = FileFormat::jet4());
// The shared prefix length an index page's header gives.
std::uint16_t storedPrefixLength(ByteSpan page, const FileFormat& format);
// Writes the page sharing `prefix` leading bytes between entries, which must be no longer
// than the bytes all entries have in common; the encoder of a page read from a file can so
// reproduce it exactly. Throws core::Error when the entries do not fit.
PageBytes encodeIndexPage(const IndexPage& page, std::size_t prefix);
inline PageBytes encodeIndexPage(const IndexPage& page) {
    return encodeIndexPage(page, page.sharedPrefix());
}
// When `page` is `base` with entries added after its last one and the same header and shared
// prefix, turns `bytes` (what `base` was read from) into what encodeIndexPage(page) gives
// for every byte that matters and returns true; rows added in key order only ever do that,
// and this costs a copy instead of a walk over every entry. False, leaving `bytes` alone,
// for any other change.
bool encodeAppended(const IndexPage& page, const IndexPage& base, PageBytes& bytes);

} // namespace jet
