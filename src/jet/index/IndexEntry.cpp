#include "jet/index/IndexEntry.h"

#include <algorithm>
#include <cstring>

namespace jet {

int compareKeys(ByteSpan a, ByteSpan b) {
    const std::size_t common = std::min(a.size(), b.size());
    if (common != 0) {
        if (int c = std::memcmp(a.data(), b.data(), common); c != 0) return c;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int compareEntries(ByteSpan keyA, RowId rowA, ByteSpan keyB, RowId rowB) {
    if (int c = compareKeys(keyA, keyB); c != 0) return c;
    return rowA < rowB ? -1 : rowB < rowA ? 1 : 0;
}

} // namespace jet
