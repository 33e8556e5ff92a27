// Jet numeric values to and from text, exact at their own scale.
#include "core/Conversions.h"
#include "core/Error.h"
#include "core/FixedPoint.h"

namespace core {

namespace {

using fixed::u128;

constexpr unsigned maxDecimalDigits = 28;

u128 magnitudeOf(const Decimal& d) {
    return (u128(d.hi) << 64) | (u128(d.mid) << 32) | u128(d.lo);
}

} // namespace

std::string formatDecimal(const Decimal& d) {
    return fixed::format(d.negative, magnitudeOf(d), d.scale);
}

Decimal parseDecimal(std::string_view text, std::uint8_t scale) {
    if (scale > maxDecimalDigits)
        throw TypeMismatch("A decimal scale of " + std::to_string(scale) +
                           " is more than 28 digits.");
    const fixed::Parsed p = fixed::parse(text, scale, fixed::powerOfTen(maxDecimalDigits) - 1);
    if (p.status == fixed::ParseStatus::Invalid)
        throw TypeMismatch("Data type mismatch: '" + std::string(text) +
                           "' is not a decimal value.");
    if (p.status == fixed::ParseStatus::Overflow)
        throw TypeMismatch("Overflow: '" + std::string(text) +
                           "' does not fit 28 digits at scale " + std::to_string(scale) + ".");
    Decimal d;
    d.negative = p.negative && p.magnitude != 0;
    d.lo = std::uint32_t(p.magnitude);
    d.mid = std::uint32_t(p.magnitude >> 32);
    d.hi = std::uint32_t(p.magnitude >> 64);
    d.scale = scale;
    return d;
}

} // namespace core
