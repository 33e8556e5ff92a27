// Segmented binary payloads of index keys.
#include "jet/keys/BinaryKeys.h"

#include "jet/keys/KeyBytes.h"

#include <array>
#include <cstddef>

namespace jet {

namespace {

constexpr std::size_t segmentSize = 8;
// The length byte of a full segment that more data follows; it stays uncomplemented in
// descending keys, unlike the last segment's length.
constexpr std::uint8_t moreFollows = 9;

} // namespace

void appendBinaryKey(core::Bytes& out, std::span<const std::uint8_t> data, bool ascending) {
    while (data.size() > segmentSize) {
        const std::size_t start = out.size();
        out.insert(out.end(), data.begin(), data.begin() + segmentSize);
        if (!ascending) key_bytes::complementFrom(out, start);
        out.push_back(moreFollows);
        data = data.subspan(segmentSize);
    }
    if (data.empty()) return;
    const std::size_t start = out.size();
    out.insert(out.end(), data.begin(), data.end());
    out.resize(start + segmentSize, 0);
    out.push_back(std::uint8_t(data.size()));
    if (!ascending) key_bytes::complementFrom(out, start);
}

void appendGuidKey(core::Bytes& out, const core::Guid& guid, bool ascending) {
    static constexpr std::array<std::size_t, 16> textOrder = {3, 2, 1,  0,  5,  4,  7,  6,
                                                              8, 9, 10, 11, 12, 13, 14, 15};
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t k = 0; k < bytes.size(); ++k) bytes[k] = guid.bytes[textOrder[k]];
    appendBinaryKey(out, bytes, ascending);
}

} // namespace jet
