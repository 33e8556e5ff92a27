#pragma once
// The pages a transaction has changed, by page number: found with one array index on every
// read and write, and listed in ascending order when the commit writes them out.
#include "jet/file/PageFormat.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace jet {

class DirtyPages {
public:
    using Bytes = std::array<std::uint8_t, kPageSize>;
    using Slot = std::shared_ptr<Bytes>;

    // The page's changed bytes, or null when the transaction has not changed it.
    const Slot& find(std::uint32_t page) const {
        return page < slots_.size() ? slots_[page] : none_;
    }
    bool contains(std::uint32_t page) const { return find(page) != nullptr; }
    // Sets the page's bytes (null: the page is no longer changed).
    void set(std::uint32_t page, Slot bytes);
    void erase(std::uint32_t page) { set(page, nullptr); }
    void clear();
    bool empty() const { return count_ == 0; }
    // The changed pages, ascending.
    std::vector<std::uint32_t> pages() const;

private:
    std::vector<Slot> slots_;
    // Every page set since the last clear, some perhaps erased again or listed twice.
    std::vector<std::uint32_t> touched_;
    std::size_t count_ = 0;
    static inline const Slot none_{};
};

} // namespace jet
