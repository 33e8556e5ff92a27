#pragma once
// The database file seen as numbered 4 KiB pages, read through a cache. Every page number
// is checked against the file's size, so a damaged pointer becomes an error, not a crash.
#include "jet/file/Bytes.h"
#include "jet/file/OsFile.h"
#include "jet/file/PageFormat.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace jet {

using PageBytes = std::array<std::uint8_t, kPageSize>;
using PageRef = std::shared_ptr<const PageBytes>;

class PageFile {
public:
    explicit PageFile(std::unique_ptr<OsFile> file);

    std::uint32_t pageCount() const { return pageCount_; }
    // The page's bytes, decoded when the file is encoded. Throws FormatError for a page
    // number beyond the end of the file.
    PageRef read(std::uint32_t page) const;
    // Files with a non-zero database key have every page but the header RC4-encoded.
    void setEncodingKey(std::optional<std::array<std::uint8_t, 4>> key);

    OsFile& os() { return *file_; }
    const OsFile& os() const { return *file_; }

private:
    std::unique_ptr<OsFile> file_;
    std::uint32_t pageCount_ = 0;
    std::optional<std::array<std::uint8_t, 4>> key_;
    mutable std::vector<PageRef> cache_;
    mutable std::size_t cachedPages_ = 0;
};

inline ByteSpan bytesOf(const PageRef& page) {
    return ByteSpan(page->data(), page->size());
}

} // namespace jet
