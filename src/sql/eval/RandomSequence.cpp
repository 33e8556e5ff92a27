#include "sql/eval/RandomSequence.h"

#include <cstring>

namespace sql {

double RandomSequence::next() {
    state_ = std::uint32_t((std::uint64_t(state_) * 1140671485u + 12820163u) % modulus);
    return last();
}

void RandomSequence::reseed(float seed) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &seed, sizeof bits);
    state_ = (bits + (bits >> 24)) % modulus;
}

} // namespace sql
