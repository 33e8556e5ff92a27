#pragma once
// The one-to-one case pairs of the Basic Multilingual Plane, as runs of upper-case letters.
#include <cstdint>
#include <span>

namespace core {

// Upper-case letters first, first + step, ..., last; each one's lower-case partner lies
// `delta` code points away.
struct CaseRun {
    char16_t first;
    char16_t last;
    std::uint8_t step;
    std::int32_t delta;
};

namespace letter_case {
// In order of their first letter.
extern const std::span<const CaseRun> runs;
} // namespace letter_case

} // namespace core
