#pragma once
// Index key payloads of Binary and Replication ID (GUID) columns: the bytes in groups of
// eight, each group followed by a byte that says how much of it is data.
#include "core/Value.h"

#include <span>

namespace jet {

void appendBinaryKey(core::Bytes& out, std::span<const std::uint8_t> data, bool ascending);

// The GUID's bytes in its text order (first three fields big-endian), as binary.
void appendGuidKey(core::Bytes& out, const core::Guid& guid, bool ascending);

} // namespace jet
