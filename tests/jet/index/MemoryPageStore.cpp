#include "MemoryPageStore.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace testing_support {

jet::PageRef MemoryPageStore::read(std::uint32_t page) const {
    if (!inUse_.count(page))
        throw std::logic_error("read of page " + std::to_string(page) + ", which is not in use");
    return pages_[page];
}

void MemoryPageStore::write(std::uint32_t page, const jet::PageBytes& bytes) {
    if (!inUse_.count(page))
        throw std::logic_error("write to page " + std::to_string(page) + ", which is not in use");
    pages_[page] = std::make_shared<const jet::PageBytes>(bytes);
    ++writes_;
}

jet::PageBytes& MemoryPageStore::modify(std::uint32_t page) {
    if (!inUse_.count(page))
        throw std::logic_error("write to page " + std::to_string(page) + ", which is not in use");
    // A fresh copy each time, as a file gives when a reader still holds the page.
    auto copy = std::make_shared<jet::PageBytes>(*pages_[page]);
    jet::PageBytes& bytes = *copy;
    pages_[page] = std::move(copy);
    ++writes_;
    return bytes;
}

std::shared_ptr<const jet::IndexPage> MemoryPageStore::parsed(std::uint32_t page) const {
    return parsed_.get(page, read(page), format_);
}

namespace {

bool samePage(const jet::IndexPage& a, const jet::IndexPage& b) {
    if (a.leaf != b.leaf || a.owner != b.owner || a.previous != b.previous || a.next != b.next ||
        a.tail != b.tail || a.reserved != b.reserved || a.flags != b.flags ||
        a.storedPrefix != b.storedPrefix || a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!std::ranges::equal(a.entry(i), b.entry(i))) return false;
    return true;
}

} // namespace

void MemoryPageStore::written(std::uint32_t page, jet::IndexPage parsed) {
    if (!samePage(parsed, jet::parseIndexPage(jet::bytesOf(read(page)), format_)))
        ++parsedMismatches_;
    parsed_.put(page, read(page), std::move(parsed));
}

std::uint32_t MemoryPageStore::allocate() {
    if (allocationsLeft_) {
        if (*allocationsLeft_ == 0) throw std::runtime_error("no more pages");
        --*allocationsLeft_;
    }
    std::uint32_t page;
    if (!free_.empty()) {
        page = free_.back();
        free_.pop_back();
    } else {
        page = std::uint32_t(pages_.size());
        pages_.emplace_back();
    }
    // New pages hold leftovers, as reused pages in a file do.
    jet::PageBytes junk;
    junk.fill(std::uint8_t(0xA5 ^ page));
    pages_[page] = std::make_shared<const jet::PageBytes>(junk);
    inUse_.insert(page);
    return page;
}

void MemoryPageStore::release(std::uint32_t page) {
    if (!inUse_.erase(page))
        throw std::logic_error("release of page " + std::to_string(page) + ", which is not in use");
    pages_[page] = nullptr;
    free_.push_back(page);
}

void MemoryPageStore::copyFrom(const jet::PageFile& file) {
    pages_.assign(file.pageCount(), nullptr);
    inUse_.clear();
    free_.clear();
    for (std::uint32_t p = 0; p < file.pageCount(); ++p) {
        pages_[p] = file.read(p);
        inUse_.insert(p);
    }
}

void MemoryPageStore::poke(std::uint32_t page, const jet::PageBytes& bytes) {
    if (!inUse_.count(page)) throw std::logic_error("poke of a page not in use");
    pages_[page] = std::make_shared<const jet::PageBytes>(bytes);
}

} // namespace testing_support
