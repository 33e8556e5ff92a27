#pragma once
// The index pages one change works on: each read and decoded once, edited in memory and
// written back together by commit(), so a change that fails half-way writes nothing and
// gives back the pages it took.
#include "jet/index/IndexPage.h"
#include "jet/index/IndexPageStore.h"

#include <map>
#include <memory>
#include <vector>

namespace jet {

class IndexPageBatch {
public:
    // Pages read must belong to the table whose definition is on `owner`: a damaged child
    // pointer then stops the change instead of rewriting another table's page.
    IndexPageBatch(IndexPageStore& store, std::uint32_t owner) : store_(store), owner_(owner) {}
    ~IndexPageBatch();
    IndexPageBatch(const IndexPageBatch&) = delete;
    IndexPageBatch& operator=(const IndexPageBatch&) = delete;

    const IndexPage& view(std::uint32_t page);
    // The page, to be written back on commit.
    IndexPage& edit(std::uint32_t page);
    // A new empty page of the index, to be written on commit.
    std::uint32_t create(bool leaf);
    void release(std::uint32_t page);

    void commit();
    // Whether the change took new pages (a split).
    bool grew() const { return !created_.empty(); }

private:
    // A page only looked at stays the store's shared parsed copy; the first edit copies it.
    struct Held {
        std::shared_ptr<const IndexPage> shared;
        IndexPage own;
        bool dirty = false;
        // An edited page of the file: the page as read, so its bytes can be patched.
        std::shared_ptr<const IndexPage> base;
        const IndexPage& page() const { return dirty ? own : *shared; }
    };
    Held& hold(std::uint32_t page);

    IndexPageStore& store_;
    std::uint32_t owner_;
    std::map<std::uint32_t, Held> pages_;
    std::vector<std::uint32_t> created_, released_;
    bool committed_ = false;
};

} // namespace jet
