#include "jet/index/ParsedIndexPages.h"

namespace jet {

std::shared_ptr<const IndexPage> ParsedIndexPages::get(std::uint32_t page, PageRef bytes,
                                                       const FileFormat& format) {
    if (auto it = entries_.find(page); it != entries_.end() && it->second.bytes == bytes)
        return it->second.parsed;
    auto parsed = std::make_shared<const IndexPage>(parseIndexPage(bytesOf(bytes), format));
    if (entries_.size() >= kLimit) entries_.clear();
    entries_.insert_or_assign(page, Entry{std::move(bytes), parsed});
    return parsed;
}

void ParsedIndexPages::put(std::uint32_t page, PageRef bytes, IndexPage parsed) {
    if (entries_.size() >= kLimit && !entries_.contains(page)) entries_.clear();
    entries_.insert_or_assign(
        page, Entry{std::move(bytes), std::make_shared<const IndexPage>(std::move(parsed))});
}

} // namespace jet
