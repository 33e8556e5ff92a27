// Fixed-size column payloads of index keys.
#include "jet/keys/NumberKeys.h"

#include "core/Error.h"
#include "jet/keys/KeyBytes.h"

#include <array>
#include <bit>
#include <string>

namespace jet {

using key_bytes::appendBigEndian;
using key_bytes::complementFrom;

void appendIntegerKey(core::Bytes& out, std::int64_t value, std::size_t size, bool ascending) {
    const std::size_t start = out.size();
    appendBigEndian(out, std::uint64_t(value), size);
    out[start] ^= 0x80;
    if (!ascending) complementFrom(out, start);
}

void appendByteKey(core::Bytes& out, std::uint8_t value, bool ascending) {
    out.push_back(ascending ? value : std::uint8_t(~value));
}

void appendBooleanKey(core::Bytes& out, bool value, bool ascending) {
    out.push_back(value == ascending ? 0x00 : 0xFF);
}

namespace {

// Positive numbers only need the sign bit set to sort above the negatives; negatives sort
// in reverse of their magnitude bits, hence the complement.
void appendFloatingBits(core::Bytes& out, std::uint64_t bits, std::size_t size, bool ascending) {
    const std::size_t start = out.size();
    appendBigEndian(out, bits, size);
    const bool negative = (out[start] & 0x80) != 0;
    if (!negative) out[start] ^= 0x80;
    if (negative == ascending) complementFrom(out, start);
}

// The 96-bit magnitude as four 32-bit words, most significant first, with a leading zero
// word so that scaling up by a few digits cannot overflow silently.
using Magnitude = std::array<std::uint32_t, 4>;

bool isZero(const Magnitude& m) {
    return m[0] == 0 && m[1] == 0 && m[2] == 0 && m[3] == 0;
}

void multiplyByTen(Magnitude& m) {
    std::uint64_t carry = 0;
    for (std::size_t k = m.size(); k-- > 0;) {
        const std::uint64_t v = std::uint64_t(m[k]) * 10 + carry;
        m[k] = std::uint32_t(v);
        carry = v >> 32;
    }
    if (carry != 0) throw core::TypeMismatch("Numeric value is too large for the index key.");
}

std::uint32_t divideByTen(Magnitude& m) {
    std::uint64_t remainder = 0;
    for (auto& word : m) {
        const std::uint64_t v = (remainder << 32) | word;
        word = std::uint32_t(v / 10);
        remainder = v % 10;
    }
    return std::uint32_t(remainder);
}

} // namespace

void appendSingleKey(core::Bytes& out, float value, bool ascending) {
    appendFloatingBits(out, std::bit_cast<std::uint32_t>(value), 4, ascending);
}

void appendDoubleKey(core::Bytes& out, double value, bool ascending) {
    appendFloatingBits(out, std::bit_cast<std::uint64_t>(value), 8, ascending);
}

void appendDecimalKey(core::Bytes& out, const core::Decimal& value, std::uint8_t scale,
                      bool ascending) {
    Magnitude m{0, value.hi, value.mid, value.lo};
    for (std::uint8_t s = value.scale; s < scale; ++s) multiplyByTen(m);
    for (std::uint8_t s = value.scale; s > scale; --s)
        if (divideByTen(m) != 0)
            throw core::TypeMismatch("Numeric value has more than " + std::to_string(scale) +
                                     " decimal places.");
    const bool negative = value.negative && !isZero(m);

    const std::size_t start = out.size();
    out.push_back(0);
    for (auto word : m) appendBigEndian(out, word, 4);
    // The original engine complements when the sign matches the direction and then forces the
    // sign byte; descending keys therefore keep negatives below positives.
    if (negative == ascending) complementFrom(out, start);
    out[start] = negative ? 0x00 : 0xFF;
}

} // namespace jet
