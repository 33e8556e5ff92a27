#pragma once
// One entry of an index: a row's encoded key and the row's address. Entries order by key,
// byte by byte, and then by address, which is the order Jet keeps them in on the pages.
#include "core/Value.h"
#include "jet/file/Bytes.h"
#include "jet/file/PageFormat.h"

namespace jet {

struct IndexEntry {
    core::Bytes key;
    RowId row;

    bool operator==(const IndexEntry&) const = default;
};

// Unsigned bytes, a key that is the start of a longer one first. Negative, zero or positive.
int compareKeys(ByteSpan a, ByteSpan b);
int compareEntries(ByteSpan keyA, RowId rowA, ByteSpan keyB, RowId rowB);

inline bool operator<(const IndexEntry& a, const IndexEntry& b) {
    return compareEntries(a.key, a.row, b.key, b.row) < 0;
}

} // namespace jet
