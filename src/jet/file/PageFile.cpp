#include "jet/file/PageFile.h"

#include "jet/file/Rc4.h"

#include <string>

namespace jet {

namespace {
// Enough for a working set of 256 MiB; past that the cache starts again, which keeps a scan
// of a file larger than memory possible.
constexpr std::size_t kCacheBudgetPages = (256u << 20) / kPageSize;
} // namespace

PageFile::PageFile(std::unique_ptr<OsFile> file) : file_(std::move(file)) {
    std::uint64_t size = file_->size();
    pageCount_ = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(size / kPageSize, std::numeric_limits<std::uint32_t>::max()));
    cache_.resize(pageCount_);
}

void PageFile::setEncodingKey(std::optional<std::array<std::uint8_t, 4>> key) {
    key_ = key;
    for (auto& p : cache_) p.reset();
    cachedPages_ = 0;
}

PageRef PageFile::read(std::uint32_t page) const {
    if (page >= pageCount_)
        throwDamaged("page " + std::to_string(page) + " lies beyond the end of the file");
    if (auto& cached = cache_[page]) return cached;
    if (cachedPages_ >= kCacheBudgetPages) {
        for (auto& p : cache_) p.reset();
        cachedPages_ = 0;
    }
    auto bytes = std::make_shared<PageBytes>();
    std::size_t got = file_->readAt(std::uint64_t(page) * kPageSize, *bytes);
    if (got != kPageSize) throwDamaged("page " + std::to_string(page) + " is cut short");
    if (key_ && page != 0) {
        std::array<std::uint8_t, 4> pageKey = *key_;
        for (int i = 0; i < 4; ++i) pageKey[i] ^= static_cast<std::uint8_t>(page >> (8 * i));
        rc4Apply(pageKey, *bytes);
    }
    cache_[page] = bytes;
    ++cachedPages_;
    return bytes;
}

} // namespace jet
