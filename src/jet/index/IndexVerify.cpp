#include "jet/index/IndexVerify.h"

#include "jet/index/IndexPage.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace jet {

namespace {

constexpr std::size_t kMaxDepth = 32;
// A damaged tree can differ from its table in thousands of entries; a few tell the story.
constexpr std::size_t kShownEntries = 5;

std::string describe(const IndexEntry& e) {
    static const char* const digits = "0123456789abcdef";
    std::string s = "key ";
    for (std::uint8_t b : e.key) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    if (e.key.empty()) s += "(empty)";
    return s + " row " + std::to_string(e.row.page) + ":" + std::to_string(e.row.slot);
}

std::string pageName(std::uint32_t page) {
    return "index page " + std::to_string(page);
}

class Checker {
public:
    Checker(const IndexPageSource& pages, std::uint32_t owner) : pages_(pages), owner_(owner) {}

    std::optional<IndexEntry> visit(std::uint32_t page, std::size_t depth, const IndexEntry* low,
                                    const IndexEntry* high, bool root);
    void checkLeafChain();
    void compare(std::vector<IndexEntry> expected);
    std::vector<std::string> problems;

private:
    struct Links {
        std::uint32_t previous = 0, next = 0;
        bool leaf = true;
    };
    void checkSiblings(std::uint32_t parent, const std::vector<std::uint32_t>& children);
    void problem(std::string text) { problems.push_back(std::move(text)); }

    const IndexPageSource& pages_;
    std::uint32_t owner_;
    std::set<std::uint32_t> visited_;
    std::map<std::uint32_t, Links> links_;
    std::vector<std::uint32_t> leaves_;
    std::optional<std::size_t> leafDepth_;
    std::vector<IndexEntry> found_;
};

std::optional<IndexEntry> Checker::visit(std::uint32_t page, std::size_t depth,
                                         const IndexEntry* low, const IndexEntry* high, bool root) {
    const std::string name = pageName(page);
    if (depth > kMaxDepth) {
        problem("the index tree goes deeper than any can at " + name);
        return std::nullopt;
    }
    if (!visited_.insert(page).second) {
        problem(name + " is reached twice in the tree");
        return std::nullopt;
    }
    IndexPage p;
    try {
        const FileFormat& format = pages_.format();
        ByteSpan bytes = bytesOf(pages_.read(page));
        p = parseIndexPage(bytes, format);
        const std::size_t used = format.indexPage.firstEntry() + p.encodedSize(p.storedPrefix);
        if (u16(bytes, format.indexPage.freeSpace) != format.pageSize - used)
            problem(name + " gives a wrong amount of free space");
    } catch (const core::Error& e) {
        problem(name + ": " + e.what());
        return std::nullopt;
    }
    if (p.owner != owner_) problem(name + " belongs to another table");
    links_[page] = {p.previous, p.next, p.leaf};

    for (std::size_t i = 1; i < p.size(); ++i)
        if (compareEntries(p.key(i - 1), p.row(i - 1), p.key(i), p.row(i)) >= 0)
            problem(name + ": entries " + std::to_string(i - 1) + " and " + std::to_string(i) +
                    " are out of order");
    if (!p.empty()) {
        if (low && compareEntries(p.key(0), p.row(0), low->key, low->row) <= 0)
            problem(name + " holds entries that belong before it");
        if (high &&
            compareEntries(p.key(p.size() - 1), p.row(p.size() - 1), high->key, high->row) > 0)
            problem(name + " holds entries that belong after it");
    }

    if (p.leaf) {
        if (p.tail != 0) problem(name + " is a leaf with a tail page");
        if (p.empty() && !root) problem(name + " is an empty leaf below the root");
        if (!leafDepth_)
            leafDepth_ = depth;
        else if (*leafDepth_ != depth)
            problem(name + " is a leaf at another depth than the others");
        leaves_.push_back(page);
        for (std::size_t i = 0; i < p.size(); ++i) found_.push_back(p.entryValue(i));
        if (p.empty()) return std::nullopt;
        return p.entryValue(p.size() - 1);
    }

    if (p.empty() && p.tail == 0) {
        problem(name + " is an intermediate page without children");
        return std::nullopt;
    }
    // The last of several children is the tail, without an entry; a single child has one.
    if (p.tail != 0 && p.empty()) problem(name + " has its only child as tail");
    if (p.tail == 0 && p.size() > 1) problem(name + " has several children but no tail");
    std::vector<std::uint32_t> children;
    std::optional<IndexEntry> previous, last;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const IndexEntry bound = p.entryValue(i);
        const std::uint32_t child = p.child(i);
        children.push_back(child);
        const auto childLast = visit(child, depth + 1, previous ? &*previous : low, &bound, false);
        if (childLast && !(*childLast == bound))
            problem(name + ": entry " + std::to_string(i) + " is not the last entry of " +
                    pageName(child));
        previous = bound;
        last = bound;
    }
    if (p.tail != 0) {
        children.push_back(p.tail);
        last = visit(p.tail, depth + 1, previous ? &*previous : low, high, false);
    }
    checkSiblings(page, children);
    return last;
}

void Checker::checkSiblings(std::uint32_t parent, const std::vector<std::uint32_t>& children) {
    // Leaves are checked as one chain; intermediate pages link only to siblings.
    for (std::size_t k = 0; k < children.size(); ++k) {
        const auto it = links_.find(children[k]);
        if (it == links_.end() || it->second.leaf) return;
        const std::uint32_t previous = k > 0 ? children[k - 1] : 0;
        const std::uint32_t next = k + 1 < children.size() ? children[k + 1] : 0;
        if (it->second.previous != previous || it->second.next != next)
            problem(pageName(children[k]) + " is not linked to its neighbours under " +
                    pageName(parent));
    }
}

void Checker::checkLeafChain() {
    for (std::size_t k = 0; k < leaves_.size(); ++k) {
        const Links& l = links_[leaves_[k]];
        const std::uint32_t previous = k > 0 ? leaves_[k - 1] : 0;
        const std::uint32_t next = k + 1 < leaves_.size() ? leaves_[k + 1] : 0;
        if (l.previous != previous)
            problem(pageName(leaves_[k]) + " links back to page " + std::to_string(l.previous) +
                    " instead of " + std::to_string(previous));
        if (l.next != next)
            problem(pageName(leaves_[k]) + " links on to page " + std::to_string(l.next) +
                    " instead of " + std::to_string(next));
    }
}

void Checker::compare(std::vector<IndexEntry> expected) {
    // Both are mostly in order already: the tree's when it is sound, the caller's when read
    // through another index.
    if (!std::is_sorted(expected.begin(), expected.end()))
        std::sort(expected.begin(), expected.end());
    std::vector<IndexEntry>& inTree = found_;
    if (!std::is_sorted(inTree.begin(), inTree.end())) std::sort(inTree.begin(), inTree.end());
    std::vector<IndexEntry> missing, extra;
    std::set_difference(expected.begin(), expected.end(), inTree.begin(), inTree.end(),
                        std::back_inserter(missing));
    std::set_difference(inTree.begin(), inTree.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra));
    const auto report = [this](const std::vector<IndexEntry>& list, const char* what) {
        if (list.empty()) return;
        std::string text = std::to_string(list.size()) + what;
        for (std::size_t k = 0; k < list.size() && k < kShownEntries; ++k)
            text += (k == 0 ? ": " : "; ") + describe(list[k]);
        problem(text);
    };
    report(missing, " entries the rows call for are missing from the index");
    report(extra, " entries in the index stand for no row");
}

} // namespace

std::vector<std::string> verifyIndexTree(const IndexPageSource& pages, std::uint32_t owner,
                                         std::uint32_t root, std::vector<IndexEntry> expected) {
    Checker checker(pages, owner);
    checker.visit(root, 0, nullptr, nullptr, true);
    checker.checkLeafChain();
    checker.compare(std::move(expected));
    return std::move(checker.problems);
}

} // namespace jet
