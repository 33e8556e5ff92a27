#include "jet/index/IndexBuild.h"

#include "jet/index/IndexPage.h"

#include <unordered_set>

namespace jet {

namespace {

struct Built {
    IndexPage page;
    IndexEntry last; // of the whole subtree
    std::uint32_t number = 0;
};

using Level = std::vector<Built>;

Level packLeaves(const FileFormat& format, std::uint32_t owner,
                 std::span<const IndexEntry> entries) {
    Level level;
    IndexPage page(format);
    page.owner = owner;
    for (const IndexEntry& e : entries) {
        page.insert(page.size(), e.key, e.row);
        if (page.fits()) continue;
        page.erase(page.size() - 1);
        IndexPage next(format);
        next.owner = owner;
        next.insert(0, e.key, e.row);
        level.push_back({std::move(page), {}, 0});
        level.back().last = level.back().page.entryValue(level.back().page.size() - 1);
        page = std::move(next);
    }
    Built tail{std::move(page), {}, 0};
    if (!tail.page.empty()) tail.last = tail.page.entryValue(tail.page.size() - 1);
    level.push_back(std::move(tail));
    return level;
}

// Groups of consecutive children, each group one intermediate page: an entry per child but
// the last, which is the tail. Every group gets two children at least.
std::vector<std::vector<std::size_t>> groupChildren(const FileFormat& format,
                                                    const Level& children) {
    std::vector<std::vector<std::size_t>> groups(1);
    IndexPage trial(format);
    trial.leaf = false;
    for (std::size_t i = 0; i < children.size(); ++i) {
        groups.back().push_back(i);
        trial.insert(trial.size(), children[i].last.key, children[i].last.row, children[i].number);
        if (!trial.fits()) {
            // This child's entry does not fit, but as the tail it needs none.
            groups.emplace_back();
            trial.clear(false);
        }
    }
    if (groups.back().empty()) groups.pop_back();
    if (groups.size() > 1 && groups.back().size() == 1) {
        groups.back().insert(groups.back().begin(), groups[groups.size() - 2].back());
        groups[groups.size() - 2].pop_back();
    }
    return groups;
}

Built nodeOf(const FileFormat& format, std::uint32_t owner, const Level& children,
             const std::vector<std::size_t>& group) {
    Built b{IndexPage(format), {}, 0};
    b.page.leaf = false;
    b.page.owner = owner;
    const std::size_t entries = group.size() == 1 ? 1 : group.size() - 1;
    for (std::size_t k = 0; k < entries; ++k) {
        const Built& c = children[group[k]];
        b.page.insert(b.page.size(), c.last.key, c.last.row, c.number);
    }
    if (group.size() > 1) b.page.tail = children[group.back()].number;
    b.last = children[group.back()].last;
    return b;
}

} // namespace

void writeIndexTree(IndexPageStore& store, std::uint32_t owner, std::uint32_t root,
                    std::span<const IndexEntry> entries) {
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (!(entries[i - 1] < entries[i]))
            throw core::Error("Internal error: index entries to build from are not in order.");
    for (std::uint32_t page : pagesBelowRoot(store, owner, root)) store.release(page);

    std::vector<Level> levels;
    levels.push_back(packLeaves(store.format(), owner, entries));
    std::vector<std::uint32_t> taken;
    try {
        while (levels.back().size() > 1) {
            Level& children = levels.back();
            for (Built& c : children) {
                c.number = store.allocate();
                taken.push_back(c.number);
            }
            const auto groups = groupChildren(store.format(), children);
            Level parents;
            for (const auto& group : groups) {
                parents.push_back(nodeOf(store.format(), owner, children, group));
                // Leaves are linked end to end, intermediate pages only within their parent.
                for (std::size_t k = 0; k < group.size(); ++k) {
                    IndexPage& c = children[group[k]].page;
                    c.previous = k > 0 ? children[group[k - 1]].number : 0;
                    c.next = k + 1 < group.size() ? children[group[k + 1]].number : 0;
                }
            }
            if (children.front().page.leaf) {
                for (std::size_t i = 0; i < children.size(); ++i) {
                    children[i].page.previous = i > 0 ? children[i - 1].number : 0;
                    children[i].page.next = i + 1 < children.size() ? children[i + 1].number : 0;
                }
            }
            levels.push_back(std::move(parents));
        }
        levels.back().front().number = root;
        for (const Level& level : levels)
            for (const Built& b : level) store.write(b.number, encodeIndexPage(b.page));
    } catch (...) {
        for (std::uint32_t page : taken) store.release(page);
        throw;
    }
}

std::vector<std::uint32_t> pagesBelowRoot(const IndexPageSource& pages, std::uint32_t owner,
                                          std::uint32_t root) {
    std::vector<std::uint32_t> found, pending{root};
    std::unordered_set<std::uint32_t> seen{root};
    while (!pending.empty()) {
        const std::uint32_t page = pending.back();
        pending.pop_back();
        IndexPage p;
        try {
            ByteSpan bytes = bytesOf(pages.read(page));
            if (!isIndexPage(bytes, pages.format())) continue;
            p = parseIndexPage(bytes, pages.format());
        } catch (const core::FormatError&) {
            continue;
        }
        if (p.owner != owner) continue;
        if (page != root) found.push_back(page);
        if (p.leaf) continue;
        std::vector<std::uint32_t> children;
        for (std::size_t i = 0; i < p.size(); ++i) children.push_back(p.child(i));
        if (p.tail != 0) children.push_back(p.tail);
        for (std::uint32_t c : children)
            if (c != 0 && seen.insert(c).second) pending.push_back(c);
    }
    return found;
}

} // namespace jet
