#pragma once
// The state behind Rnd: VBA's 24-bit linear congruential sequence, owned by whoever runs the
// statements (one per session) so that evaluation itself keeps no state.
#include <cstdint>

namespace sql {

class RandomSequence {
public:
    // The next number in [0, 1).
    double next();
    // The number next() returned last (the first of the sequence before any call).
    double last() const { return double(state_) / double(modulus); }
    // Restarts the sequence from a seed derived from the value's Single bits, as Rnd with a
    // negative argument does, so the same argument always gives the same number.
    void reseed(float seed);

private:
    static constexpr std::uint32_t modulus = 1u << 24;
    std::uint32_t state_ = 0x50000; // VBA's seed at start-up
};

} // namespace sql
