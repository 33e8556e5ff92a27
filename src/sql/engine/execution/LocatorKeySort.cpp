#include "sql/engine/execution/LocatorKeySort.h"

#include "core/Error.h"
#include "sql/engine/execution/SortKey.h"

#include <algorithm>
#include <limits>

namespace sql {

void LocatorKeySort::appendKey(const core::Value& value, bool descending) {
    const std::size_t start = keys_.size();
    appendSortKey(keys_, value);
    if (descending)
        for (std::size_t i = start; i < keys_.size(); ++i) keys_[i] = static_cast<char>(~keys_[i]);
}

void LocatorKeySort::reserve(std::size_t rows) {
    expected_ = rows;
    entries_.reserve(rows);
}

void LocatorKeySort::add(RowLocator locator) {
    // The keys' room is judged from the first rows' keys, with a margin.
    constexpr std::size_t kSampleRows = 1024;
    if (entries_.size() == kSampleRows && expected_ > kSampleRows)
        keys_.reserve(keys_.size() * expected_ / kSampleRows * 5 / 4);
    const std::size_t from =
        entries_.empty() ? 0 : std::size_t(entries_.back().from) + entries_.back().length;
    if (keys_.size() > std::numeric_limits<std::uint32_t>::max())
        throw core::SqlError("The sort keys do not fit in memory: sort on fewer or shorter "
                             "values.");
    entries_.push_back({0, static_cast<std::uint32_t>(from),
                        static_cast<std::uint32_t>(keys_.size() - from), locator});
}

void LocatorKeySort::loadWindows(std::size_t first, std::size_t last, std::size_t depth) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(keys_.data());
    for (std::size_t i = first; i < last; ++i) {
        Entry& e = entries_[i];
        std::uint64_t window = 0;
        const std::size_t n = e.length > depth ? std::min<std::size_t>(e.length - depth, 8) : 0;
        for (std::size_t k = 0; k < n; ++k) window = (window << 8) | bytes[e.from + depth + k];
        // Past a key's end it reads as zero bytes; with prefix-free keys two windows are then
        // equal only when their keys are.
        if (n > 0 && n < 8) window <<= 8 * (8 - n);
        e.window = window;
    }
}

void LocatorKeySort::sortRange(std::size_t first, std::size_t last, std::size_t depth) {
    // Keys were added in row order, so `from` breaks ties as a stable sort would.
    std::sort(entries_.begin() + static_cast<std::ptrdiff_t>(first),
              entries_.begin() + static_cast<std::ptrdiff_t>(last),
              [](const Entry& a, const Entry& b) {
                  return a.window != b.window ? a.window < b.window : a.from < b.from;
              });
    // Runs of equal windows whose keys go on are ordered by their next eight bytes.
    for (std::size_t run = first; run < last;) {
        std::size_t end = run + 1;
        while (end < last && entries_[end].window == entries_[run].window) ++end;
        if (end - run > 1 && std::any_of(entries_.begin() + static_cast<std::ptrdiff_t>(run),
                                         entries_.begin() + static_cast<std::ptrdiff_t>(end),
                                         [&](const Entry& e) { return e.length > depth + 8; })) {
            loadWindows(run, end, depth + 8);
            sortRange(run, end, depth + 8);
        }
        run = end;
    }
}

void LocatorKeySort::sort() {
    if (entries_.size() < 2) return;
    // Bytes every key begins with (a type tag, a shared word) decide nothing: the first
    // window starts past them.
    const std::string_view keys(keys_);
    const std::string_view head = keys.substr(entries_[0].from, entries_[0].length);
    std::size_t common = head.size();
    for (const Entry& e : entries_) {
        const std::string_view key = keys.substr(e.from, std::min<std::size_t>(e.length, common));
        std::size_t same = 0;
        while (same < key.size() && key[same] == head[same]) ++same;
        common = same;
        if (common == 0) break;
    }
    loadWindows(0, entries_.size(), common);
    sortRange(0, entries_.size(), common);
}

std::vector<RowLocator> LocatorKeySort::locators() const {
    std::vector<RowLocator> out;
    out.reserve(entries_.size());
    for (const Entry& e : entries_) out.push_back(e.locator);
    return out;
}

void LocatorKeySort::clear() {
    keys_ = {};
    entries_ = {};
}

} // namespace sql
