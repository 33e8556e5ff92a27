#pragma once
// A saved position in a data set: it names one record of one opening of the data set, so it
// is no longer valid once the data set closes or runs its statement again.
#include <compare>
#include <cstdint>

namespace data {

struct TBookmark {
    std::uint64_t opening = 0; // 0: no bookmark
    std::uint64_t record = 0;

    bool empty() const { return opening == 0; }
    auto operator<=>(const TBookmark&) const = default;
};

} // namespace data
