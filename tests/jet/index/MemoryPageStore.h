#pragma once
// Index pages in memory for tests: pages numbered from 1, freed pages handed out again
// first, and reading or writing a page that is not in use is an error, so a test sees
// every page the index code leaks or uses after releasing it. Parsed pages are kept as the
// engine's write path keeps them, and each page an edit hands over as parsed is checked
// against a parse of the bytes it wrote.
#include "jet/file/PageFile.h"
#include "jet/index/IndexPageStore.h"
#include "jet/index/ParsedIndexPages.h"

#include <optional>
#include <set>
#include <vector>

namespace testing_support {

class MemoryPageStore : public jet::IndexPageStore {
public:
    // Pages laid out as in a file of this format.
    explicit MemoryPageStore(const jet::FileFormat& format = jet::FileFormat::jet4())
        : format_(format) {}
    const jet::FileFormat& format() const override { return format_; }
    jet::PageRef read(std::uint32_t page) const override;
    void write(std::uint32_t page, const jet::PageBytes& bytes) override;
    jet::PageBytes& modify(std::uint32_t page) override;
    std::shared_ptr<const jet::IndexPage> parsed(std::uint32_t page) const override;
    void written(std::uint32_t page, jet::IndexPage parsed) override;
    std::uint32_t allocate() override;
    void release(std::uint32_t page) override;

    // Every page of an open file, numbered as there; the header page included.
    void copyFrom(const jet::PageFile& file);
    // Replaces a page in use without counting it as a write (for damaging pages on purpose).
    void poke(std::uint32_t page, const jet::PageBytes& bytes);

    std::size_t pagesInUse() const { return inUse_.size(); }
    const std::set<std::uint32_t>& inUse() const { return inUse_; }
    std::size_t writes() const { return writes_; }
    // Pages handed over as parsed that differ from what their bytes parse to.
    std::size_t parsedMismatches() const { return parsedMismatches_; }
    // Makes allocate() fail from the given number of further calls on.
    void failAllocationsAfter(std::optional<std::size_t> count) { allocationsLeft_ = count; }

private:
    const jet::FileFormat& format_;
    std::vector<jet::PageRef> pages_{nullptr};
    std::set<std::uint32_t> inUse_;
    std::vector<std::uint32_t> free_;
    std::size_t writes_ = 0;
    std::size_t parsedMismatches_ = 0;
    mutable jet::ParsedIndexPages parsed_;
    std::optional<std::size_t> allocationsLeft_;
};

} // namespace testing_support
