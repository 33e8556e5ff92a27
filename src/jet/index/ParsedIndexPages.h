#pragma once
// Index pages kept parsed while their bytes stay the same. The page file hands out a page's
// bytes as a shared object that is never changed while anyone holds it, and gives a page
// that is written a new object; so while an entry holds the bytes it was parsed from, it is
// current exactly when the file still returns that same object for the page.
#include "jet/index/IndexPage.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

namespace jet {

class ParsedIndexPages {
public:
    // The page parsed from `bytes`, the page's bytes as the file returns them now.
    std::shared_ptr<const IndexPage> get(std::uint32_t page, PageRef bytes,
                                         const FileFormat& format = FileFormat::jet4());
    // Records `parsed` as what `bytes`, the page's bytes as the file returns them now, parse
    // to: the form an edit just encoded.
    void put(std::uint32_t page, PageRef bytes, IndexPage parsed);
    // Lets go of the page's bytes before it is written, so that the file may overwrite them
    // in place instead of copying the page.
    void forget(std::uint32_t page) { entries_.erase(page); }

private:
    // Pages an index change touches are few (a path from root to leaf, a neighbour or two);
    // beyond this many the cache starts over rather than grow with a long scan.
    static constexpr std::size_t kLimit = 128;

    struct Entry {
        PageRef bytes;
        std::shared_ptr<const IndexPage> parsed;
    };
    std::unordered_map<std::uint32_t, Entry> entries_;
};

} // namespace jet
