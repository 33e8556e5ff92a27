#pragma once
// Pages as the write path sees them: read, overwrite, allocate (freed pages first, then the
// end of the file) and release. One object per open writable database.
#include "jet/file/PageFile.h"

#include <optional>

namespace jet {

class PageAllocator;

class PageStore {
public:
    PageStore(PageFile& file, PageAllocator& allocator) : file_(file), allocator_(allocator) {}

    PageRef read(std::uint32_t page) const { return file_.read(page); }
    void write(std::uint32_t page, const PageBytes& bytes) { file_.write(page, bytes); }
    // The page's bytes to change in place (see PageFile::modify).
    PageBytes& modify(std::uint32_t page) { return file_.modify(page); }
    // A page for new content; its old bytes are meaningless to the caller.
    std::uint32_t allocate();
    // A page at the end of the file, never a reused one (for the allocator's own maps).
    std::uint32_t appendBlank();
    void release(std::uint32_t page);
    PageFile& file() { return file_; }
    std::uint32_t pageCount() const { return file_.pageCount(); }

    // The long-value page the last memo or OLE value went to. Later values, of this statement
    // or the next, fill it before a new page is taken, as Jet shares such pages; whoever
    // uses it checks it is still a long-value page (a rollback may have taken it back).
    std::optional<std::uint32_t> longValuePage;

private:
    PageFile& file_;
    PageAllocator& allocator_;
};

// A copy of a page to edit before writing it back.
inline PageBytes copyOf(const PageRef& page) {
    return *page;
}

} // namespace jet
