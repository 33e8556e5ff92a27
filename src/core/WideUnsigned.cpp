#include "core/WideUnsigned.h"

#include <algorithm>

namespace core {

WideUnsigned WideUnsigned::fromWords(std::uint32_t lo, std::uint32_t mid, std::uint32_t hi) {
    WideUnsigned w;
    w.limbs_[0] = lo;
    w.limbs_[1] = mid;
    w.limbs_[2] = hi;
    return w;
}

WideUnsigned WideUnsigned::powerOfTen(unsigned n) {
    WideUnsigned w(1);
    for (unsigned i = 0; i < n; ++i) w.multiplySmall(10);
    return w;
}

bool WideUnsigned::isZero() const {
    return std::all_of(limbs_.begin(), limbs_.end(), [](std::uint32_t v) { return v == 0; });
}

int WideUnsigned::wordCount() const {
    for (int i = 7; i >= 0; --i)
        if (limbs_[std::size_t(i)] != 0) return i + 1;
    return 0;
}

bool WideUnsigned::multiplySmall(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (auto& limb : limbs_) {
        const std::uint64_t v = std::uint64_t(limb) * factor + carry;
        limb = std::uint32_t(v);
        carry = v >> 32;
    }
    return carry == 0;
}

bool WideUnsigned::addSmall(std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (auto& limb : limbs_) {
        const std::uint64_t v = std::uint64_t(limb) + carry;
        limb = std::uint32_t(v);
        carry = v >> 32;
    }
    return carry == 0;
}

std::uint32_t WideUnsigned::divideSmall(std::uint32_t divisor) {
    std::uint64_t remainder = 0;
    for (int i = 7; i >= 0; --i) {
        const std::uint64_t v = (remainder << 32) | limbs_[std::size_t(i)];
        limbs_[std::size_t(i)] = std::uint32_t(v / divisor);
        remainder = v % divisor;
    }
    return std::uint32_t(remainder);
}

int WideUnsigned::compare(const WideUnsigned& a, const WideUnsigned& b) {
    for (int i = 7; i >= 0; --i) {
        const auto x = a.limbs_[std::size_t(i)], y = b.limbs_[std::size_t(i)];
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

WideUnsigned WideUnsigned::add(const WideUnsigned& a, const WideUnsigned& b) {
    WideUnsigned r;
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const std::uint64_t v = std::uint64_t(a.limbs_[i]) + b.limbs_[i] + carry;
        r.limbs_[i] = std::uint32_t(v);
        carry = v >> 32;
    }
    return r;
}

WideUnsigned WideUnsigned::subtract(const WideUnsigned& a, const WideUnsigned& b) {
    WideUnsigned r;
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        std::int64_t v = std::int64_t(a.limbs_[i]) - std::int64_t(b.limbs_[i]) - borrow;
        borrow = v < 0;
        if (v < 0) v += std::int64_t(1) << 32;
        r.limbs_[i] = std::uint32_t(v);
    }
    return r;
}

WideUnsigned WideUnsigned::multiply(const WideUnsigned& a, const WideUnsigned& b) {
    WideUnsigned r;
    for (std::size_t i = 0; i < 8; ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; i + j < 8; ++j) {
            const std::uint64_t v =
                std::uint64_t(a.limbs_[i]) * b.limbs_[j] + r.limbs_[i + j] + carry;
            r.limbs_[i + j] = std::uint32_t(v);
            carry = v >> 32;
        }
    }
    return r;
}

void WideUnsigned::shiftLeftOne() {
    for (std::size_t i = 7; i > 0; --i) limbs_[i] = (limbs_[i] << 1) | (limbs_[i - 1] >> 31);
    limbs_[0] <<= 1;
}

void WideUnsigned::divide(const WideUnsigned& a, const WideUnsigned& b, WideUnsigned& quotient,
                          WideUnsigned& remainder) {
    quotient = WideUnsigned();
    remainder = WideUnsigned();
    for (int i = a.wordCount() * 32 - 1; i >= 0; --i) {
        remainder.shiftLeftOne();
        remainder.limbs_[0] |= a.bit(i) ? 1u : 0u;
        if (compare(remainder, b) >= 0) {
            remainder = subtract(remainder, b);
            quotient.limbs_[std::size_t(i / 32)] |= 1u << (i % 32);
        }
    }
}

std::string WideUnsigned::toDecimalString() const {
    if (isZero()) return "0";
    WideUnsigned v = *this;
    std::string digits;
    while (!v.isZero()) digits.push_back(char('0' + v.divideSmall(10)));
    std::reverse(digits.begin(), digits.end());
    return digits;
}

} // namespace core
