// Currency to and from text: exact ten-thousandths, never through a double.
#include "core/Conversions.h"
#include "core/Error.h"
#include "core/FixedPoint.h"

namespace core {

namespace {

constexpr unsigned currencyScale = 4;

// The magnitude of INT64_MIN is one more than INT64_MAX; unsigned arithmetic covers both.
constexpr std::uint64_t negativeLimit = std::uint64_t(1) << 63;

} // namespace

std::string formatCurrency(Currency c) {
    const bool negative = c.units < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t(0) - std::uint64_t(c.units) : std::uint64_t(c.units);
    return fixed::format(negative, magnitude, currencyScale);
}

Currency parseCurrency(std::string_view text) {
    const fixed::Parsed p = fixed::parse(text, currencyScale, negativeLimit);
    if (p.status == fixed::ParseStatus::Invalid)
        throw TypeMismatch("Data type mismatch: '" + std::string(text) +
                           "' is not a currency value.");
    if (p.status == fixed::ParseStatus::Overflow || (!p.negative && p.magnitude >= negativeLimit))
        throw TypeMismatch("Overflow: '" + std::string(text) + "' is outside the Currency range.");
    const auto magnitude = std::uint64_t(p.magnitude);
    // Two's complement wrap-around turns 2^63 into INT64_MIN, as it must.
    return Currency{p.negative ? std::int64_t(std::uint64_t(0) - magnitude)
                               : std::int64_t(magnitude)};
}

} // namespace core
