#include "core/DecimalMath.h"

#include "core/ConversionErrors.h"
#include "core/WideUnsigned.h"

#include <cmath>

namespace core {

namespace {

constexpr unsigned maxScale = 28;

// A Decimal while it is being computed: the magnitude may exceed 28 digits and the scale
// may be anything until normalise() brings it back.
struct Working {
    bool negative = false;
    WideUnsigned magnitude;
    int scale = 0;
};

Working unpack(const core::Decimal& d) {
    return {d.negative, WideUnsigned::fromWords(d.lo, d.mid, d.hi), d.scale};
}

const WideUnsigned& maxMagnitude() {
    // 10^28 - 1: Jet's Decimal holds at most 28 digits.
    static const WideUnsigned limit =
        WideUnsigned::subtract(WideUnsigned::powerOfTen(maxScale), WideUnsigned(1));
    return limit;
}

// Divides by 10^digits, rounding half to even.
WideUnsigned dropDigits(const WideUnsigned& value, unsigned digits) {
    const WideUnsigned divisor = WideUnsigned::powerOfTen(digits);
    WideUnsigned quotient, remainder;
    WideUnsigned::divide(value, divisor, quotient, remainder);
    const WideUnsigned twice = WideUnsigned::add(remainder, remainder);
    const int c = WideUnsigned::compare(twice, divisor);
    if (c > 0 || (c == 0 && (quotient.word(0) & 1u))) quotient.addSmall(1);
    return quotient;
}

core::Decimal normalise(Working w) {
    while (w.scale < 0) {
        if (!w.magnitude.multiplySmall(10)) throwOverflow();
        ++w.scale;
    }
    if (w.scale > int(maxScale)) {
        w.magnitude = dropDigits(w.magnitude, unsigned(w.scale) - maxScale);
        w.scale = maxScale;
    }
    while (WideUnsigned::compare(w.magnitude, maxMagnitude()) > 0) {
        if (w.scale == 0) throwOverflow();
        w.magnitude = dropDigits(w.magnitude, 1);
        --w.scale;
    }
    core::Decimal d;
    d.negative = w.negative && !w.magnitude.isZero();
    d.lo = w.magnitude.word(0);
    d.mid = w.magnitude.word(1);
    d.hi = w.magnitude.word(2);
    d.scale = std::uint8_t(w.scale);
    return d;
}

// Brings both to the larger scale; exact because the magnitudes stay below 2^96 * 10^28.
void align(Working& a, Working& b) {
    while (a.scale < b.scale) {
        a.magnitude.multiplySmall(10);
        ++a.scale;
    }
    while (b.scale < a.scale) {
        b.magnitude.multiplySmall(10);
        ++b.scale;
    }
}

Working addWorking(Working a, Working b) {
    align(a, b);
    Working r;
    r.scale = a.scale;
    if (a.negative == b.negative) {
        r.negative = a.negative;
        r.magnitude = WideUnsigned::add(a.magnitude, b.magnitude);
    } else if (WideUnsigned::compare(a.magnitude, b.magnitude) >= 0) {
        r.negative = a.negative;
        r.magnitude = WideUnsigned::subtract(a.magnitude, b.magnitude);
    } else {
        r.negative = b.negative;
        r.magnitude = WideUnsigned::subtract(b.magnitude, a.magnitude);
    }
    return r;
}

} // namespace

core::Decimal decimalFromInteger(std::int64_t value) {
    Working w;
    w.negative = value < 0;
    w.magnitude =
        WideUnsigned(value < 0 ? std::uint64_t(0) - std::uint64_t(value) : std::uint64_t(value));
    return normalise(w);
}

core::Decimal decimalFromCurrency(core::Currency value) {
    core::Decimal d = decimalFromInteger(value.units);
    d.scale = 4;
    return d;
}

core::Decimal decimalFromDigits(const DecimalDigits& digits) {
    // Digits far below the smallest Decimal unit round to zero; far above cannot fit.
    if (digits.exponent + int(digits.digits.size()) > int(maxScale) + 1) throwOverflow();
    if (digits.exponent + int(digits.digits.size()) < -int(maxScale) - 1) return {};
    Working w;
    w.negative = digits.negative;
    // Keep at most what can matter: 28 digits after the point and a rounding digit.
    std::string kept = digits.digits;
    int scale = -digits.exponent;
    if (scale > int(maxScale) + 1) {
        const std::size_t drop = std::size_t(scale - int(maxScale) - 1);
        kept = drop >= kept.size() ? "0" : kept.substr(0, kept.size() - drop);
        scale = int(maxScale) + 1;
    }
    for (char c : kept) {
        w.magnitude.multiplySmall(10);
        w.magnitude.addSmall(std::uint32_t(c - '0'));
    }
    w.scale = scale;
    return normalise(w);
}

core::Decimal decimalFromDouble(double value) {
    if (!std::isfinite(value)) throwOverflow();
    return decimalFromDigits(significantDigits(value, 15));
}

DecimalDigits decimalToDigits(const core::Decimal& d) {
    DecimalDigits digits;
    digits.negative = d.negative;
    digits.digits = unpack(d).magnitude.toDecimalString();
    digits.exponent = -int(d.scale);
    if (digits.digits == "0") return DecimalDigits{};
    while (digits.digits.size() > 1 && digits.digits.back() == '0') {
        digits.digits.pop_back();
        ++digits.exponent;
    }
    return digits;
}

double decimalToDouble(const core::Decimal& d) {
    return digitsToDouble(decimalToDigits(d)).value_or(0.0);
}

std::string decimalToText(const core::Decimal& d) {
    std::string digits = unpack(d).magnitude.toDecimalString();
    if (d.scale > 0) {
        if (digits.size() <= d.scale) digits.insert(0, d.scale - digits.size() + 1, '0');
        digits.insert(digits.size() - d.scale, ".");
    }
    return trimFraction((d.negative && !decimalIsZero(d) ? "-" : "") + digits);
}

std::int64_t decimalToInt64(const core::Decimal& d) {
    const core::Decimal whole = decimalRound(d, 0);
    const WideUnsigned m = unpack(whole).magnitude;
    const WideUnsigned limit(std::uint64_t(1) << 63);
    const int c = WideUnsigned::compare(m, limit);
    if (c > 0 || (c == 0 && !whole.negative)) throwOverflow();
    const std::uint64_t v = std::uint64_t(m.word(0)) | (std::uint64_t(m.word(1)) << 32);
    return whole.negative ? std::int64_t(std::uint64_t(0) - v) : std::int64_t(v);
}

core::Currency decimalToCurrency(const core::Decimal& d) {
    Working w = unpack(decimalRound(d, 4));
    while (w.scale < 4) {
        w.magnitude.multiplySmall(10);
        ++w.scale;
    }
    const WideUnsigned limit(std::uint64_t(1) << 63);
    const int c = WideUnsigned::compare(w.magnitude, limit);
    if (c > 0 || (c == 0 && !w.negative)) throwOverflow();
    const std::uint64_t v =
        std::uint64_t(w.magnitude.word(0)) | (std::uint64_t(w.magnitude.word(1)) << 32);
    return core::Currency{w.negative ? std::int64_t(std::uint64_t(0) - v) : std::int64_t(v)};
}

bool decimalIsZero(const core::Decimal& d) {
    return d.lo == 0 && d.mid == 0 && d.hi == 0;
}

int decimalCompare(const core::Decimal& a, const core::Decimal& b) {
    const bool aNegative = a.negative && !decimalIsZero(a);
    const bool bNegative = b.negative && !decimalIsZero(b);
    if (aNegative != bNegative) return aNegative ? -1 : 1;
    Working x = unpack(a), y = unpack(b);
    align(x, y);
    const int c = WideUnsigned::compare(x.magnitude, y.magnitude);
    return aNegative ? -c : c;
}

core::Decimal decimalNegate(const core::Decimal& d) {
    core::Decimal r = d;
    r.negative = !d.negative && !decimalIsZero(d);
    return r;
}

core::Decimal decimalAdd(const core::Decimal& a, const core::Decimal& b) {
    return normalise(addWorking(unpack(a), unpack(b)));
}

core::Decimal decimalSubtract(const core::Decimal& a, const core::Decimal& b) {
    return decimalAdd(a, decimalNegate(b));
}

core::Decimal decimalMultiply(const core::Decimal& a, const core::Decimal& b) {
    Working r;
    r.negative = a.negative != b.negative;
    r.magnitude = WideUnsigned::multiply(unpack(a).magnitude, unpack(b).magnitude);
    r.scale = a.scale + b.scale;
    return normalise(r);
}

core::Decimal decimalDivide(const core::Decimal& a, const core::Decimal& b) {
    if (decimalIsZero(b)) throw Error("Division by zero");
    Working x = unpack(a);
    const WideUnsigned divisor = unpack(b).magnitude;
    int scale = int(a.scale) - int(b.scale);
    // A negative scale would mean trailing zeros the quotient must carry; add them first.
    for (; scale < 0; ++scale) x.magnitude.multiplySmall(10);
    WideUnsigned quotient, remainder;
    WideUnsigned::divide(x.magnitude, divisor, quotient, remainder);
    // Long division, one digit at a time, until exact or a digit past 28 significant ones.
    const WideUnsigned enough = WideUnsigned::powerOfTen(maxScale + 1);
    while (!remainder.isZero() && scale <= int(maxScale) &&
           WideUnsigned::compare(quotient, enough) < 0) {
        remainder.multiplySmall(10);
        WideUnsigned digit, rest;
        WideUnsigned::divide(remainder, divisor, digit, rest);
        quotient.multiplySmall(10);
        quotient.addSmall(digit.word(0));
        remainder = rest;
        ++scale;
    }
    if (!remainder.isZero()) {
        const bool normaliseDrops =
            scale > int(maxScale) || WideUnsigned::compare(quotient, maxMagnitude()) > 0;
        if (normaliseDrops) {
            // Rounding twice could turn a value just above a tie into the tie itself; a last
            // digit of 0 or 5 that is not exact becomes 1 or 6, which rounds the same way as
            // the true value.
            WideUnsigned probe = quotient;
            const std::uint32_t last = probe.divideSmall(10);
            if (last == 0 || last == 5) quotient.addSmall(1);
        } else {
            const int c = WideUnsigned::compare(WideUnsigned::add(remainder, remainder), divisor);
            if (c > 0 || (c == 0 && (quotient.word(0) & 1u))) quotient.addSmall(1);
        }
    }
    Working r;
    r.negative = a.negative != b.negative;
    r.magnitude = quotient;
    r.scale = scale;
    return normalise(r);
}

core::Decimal decimalRound(const core::Decimal& d, unsigned places) {
    if (d.scale <= places) return d;
    Working w = unpack(d);
    w.magnitude = dropDigits(w.magnitude, d.scale - places);
    w.scale = int(places);
    return normalise(w);
}

namespace {

core::Decimal wholePart(const core::Decimal& d, bool towardsMinusInfinity) {
    if (d.scale == 0) return d;
    const WideUnsigned divisor = WideUnsigned::powerOfTen(d.scale);
    Working w = unpack(d);
    WideUnsigned quotient, remainder;
    WideUnsigned::divide(w.magnitude, divisor, quotient, remainder);
    if (towardsMinusInfinity && d.negative && !remainder.isZero()) quotient.addSmall(1);
    w.magnitude = quotient;
    w.scale = 0;
    return normalise(w);
}

} // namespace

core::Decimal decimalTruncate(const core::Decimal& d) {
    return wholePart(d, false);
}

core::Decimal decimalFloor(const core::Decimal& d) {
    return wholePart(d, true);
}

} // namespace core
