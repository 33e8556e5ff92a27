#include "core/LetterCase.h"

#include "core/LetterCaseTable.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace core {

namespace {

using Pairs = std::vector<std::pair<char32_t, char32_t>>; // from, to; sorted by from

Pairs expand(bool toLower) {
    Pairs pairs;
    for (const CaseRun& run : letter_case::runs)
        for (char32_t upper = run.first; upper <= run.last; upper += run.step) {
            const auto lower = char32_t(std::int32_t(upper) + run.delta);
            pairs.emplace_back(toLower ? upper : lower, toLower ? lower : upper);
        }
    // Final sigma has no upper case of its own but capitalises as sigma.
    if (!toLower) pairs.emplace_back(0x3C2, 0x3A3);
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

char32_t lookUp(const Pairs& pairs, char32_t c) {
    const auto it = std::lower_bound(pairs.begin(), pairs.end(), std::make_pair(c, char32_t(0)));
    return it != pairs.end() && it->first == c ? it->second : c;
}

} // namespace

char32_t upperCase(char32_t c) {
    if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 32 : c;
    static const Pairs pairs = expand(false);
    return lookUp(pairs, c);
}

char32_t lowerCase(char32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
    static const Pairs pairs = expand(true);
    return lookUp(pairs, c);
}

} // namespace core
