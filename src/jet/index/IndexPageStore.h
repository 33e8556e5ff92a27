#pragma once
// The pages an index lives on, as the index code sees them: read-only for walking and
// seeking, read-write with allocation for upkeep, so the write path can put its transaction
// and page allocator behind them.
#include "jet/file/PageFile.h"
#include "jet/index/IndexPage.h"

#include <memory>

namespace jet {

class IndexPageSource {
public:
    virtual ~IndexPageSource();
    virtual PageRef read(std::uint32_t page) const = 0;
    // The layout of the file the pages belong to.
    virtual const FileFormat& format() const { return FileFormat::jet4(); }
    // The page parsed. A source that reads the same pages again and again (the upkeep of an
    // index during many inserts) may keep parsed pages while their bytes stay the same.
    virtual std::shared_ptr<const IndexPage> parsed(std::uint32_t page) const;
};

class IndexPageStore : public IndexPageSource {
public:
    virtual void write(std::uint32_t page, const PageBytes& bytes) = 0;
    // The page's bytes to change in place, as write() would with a changed copy; the
    // reference is valid until the next call to the store. Appending to a leaf this way
    // costs the entry's bytes rather than a copy of the page.
    virtual PageBytes& modify(std::uint32_t page) = 0;
    // `page` was just written with bytes that parse to `parsed`. A store that keeps parsed
    // pages takes it as the page's parsed form, so the next change does not decode the page
    // it has just encoded.
    virtual void written(std::uint32_t page, IndexPage parsed);
    // A page for new content; the index writes it before reading it.
    virtual std::uint32_t allocate() = 0;
    // A page the index no longer uses; it is not written after this.
    virtual void release(std::uint32_t page) = 0;
};

// Reads the index pages of an open file.
class PageFileSource : public IndexPageSource {
public:
    explicit PageFileSource(const PageFile& file) : file_(file) {}
    PageRef read(std::uint32_t page) const override { return file_.read(page); }
    const FileFormat& format() const override { return file_.format(); }

private:
    const PageFile& file_;
};

} // namespace jet
