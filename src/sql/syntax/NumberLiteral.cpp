// Number literals.
#include "sql/syntax/Literals.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

namespace sql {

std::optional<core::Value> numberLiteral(std::string_view digits, bool hasPointOrExponent) {
    if (!hasPointOrExponent) {
        std::uint64_t n = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (error == std::errc{} && end == digits.data() + digits.size() &&
            n <= std::uint64_t(std::numeric_limits<std::int32_t>::max()))
            return core::Value(std::int32_t(n));
    }
    // from_chars, unlike strtod, ignores the locale: "1.5" is one and a half everywhere.
    // It wants a digit before the point, which ".5" lacks.
    std::string text(digits);
    if (!text.empty() && text.front() == '.') text.insert(text.begin(), '0');
    double d = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), d);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return core::Value(d);
}

} // namespace sql
