#include "window/NameList.h"

#include <algorithm>
#include <stdexcept>

namespace window {

namespace {
// The slots the list starts with; past these it grows, because no caller checks the capacity
// and a 51st name must behave like the 50th.
constexpr std::size_t initialSlots = 50;
} // namespace

NameList::NameList() : entries_(initialSlots) {}

bool NameList::Contains(const std::string& name) const {
    const auto end = entries_.begin() + count_;
    return std::find(entries_.begin(), end, name) != end;
}

void NameList::Append(const std::string& name) {
    const auto slot = static_cast<std::size_t>(count_);
    if (slot == entries_.size())
        entries_.push_back(name);
    else
        entries_[slot] = name;
    ++count_;
}

void NameList::ResetCount() {
    count_ = 0;
}

const std::string& NameList::entry(std::int32_t index) const {
    if (index < 0 || index >= count_) throw std::out_of_range("NameList entry out of range");
    return entries_[static_cast<std::size_t>(index)];
}

} // namespace window
