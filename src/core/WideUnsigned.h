#pragma once
// A 256-bit unsigned integer, enough for the product of two Decimal magnitudes scaled by
// powers of ten; the scratch space of exact Decimal arithmetic.
#include <array>
#include <cstdint>
#include <string>

namespace core {

class WideUnsigned {
public:
    WideUnsigned() = default;
    explicit WideUnsigned(std::uint64_t v) {
        limbs_[0] = std::uint32_t(v);
        limbs_[1] = std::uint32_t(v >> 32);
    }
    static WideUnsigned fromWords(std::uint32_t lo, std::uint32_t mid, std::uint32_t hi);
    static WideUnsigned powerOfTen(unsigned n); // n <= 76

    bool isZero() const;
    // Number of 32-bit words in use (0 for zero).
    int wordCount() const;
    std::uint32_t word(int i) const { return limbs_[std::size_t(i)]; }

    // Both return false when the result no longer fits 256 bits.
    bool multiplySmall(std::uint32_t factor);
    bool addSmall(std::uint32_t addend);
    // Divides in place and returns the remainder.
    std::uint32_t divideSmall(std::uint32_t divisor);

    static int compare(const WideUnsigned& a, const WideUnsigned& b);
    static WideUnsigned add(const WideUnsigned& a, const WideUnsigned& b);      // wraps on overflow
    static WideUnsigned subtract(const WideUnsigned& a, const WideUnsigned& b); // needs a >= b
    // Exact when the operands' words add up to at most eight.
    static WideUnsigned multiply(const WideUnsigned& a, const WideUnsigned& b);
    // Quotient and remainder; the divisor must not be zero.
    static void divide(const WideUnsigned& a, const WideUnsigned& b, WideUnsigned& quotient,
                       WideUnsigned& remainder);

    std::string toDecimalString() const;

private:
    bool bit(int i) const { return (limbs_[std::size_t(i / 32)] >> (i % 32)) & 1u; }
    void shiftLeftOne();

    std::array<std::uint32_t, 8> limbs_{};
};

} // namespace core
