// Looking up a code unit in the run-compressed General sort-order table.
#include "jet/keys/GeneralSortTable.h"

#include <algorithm>
#include <bitset>

namespace jet {

namespace {

SortCode codeInRun(const SortCodeRun& run, char16_t unit) {
    SortCode code = run.code;
    if (run.stepping) {
        // Weights skip the low bytes 00 and 01, so count in steps of 254 per high byte.
        constexpr unsigned perHigh = 254;
        const unsigned index =
            unsigned(code.weight[0]) * perHigh + (code.weight[1] - 2u) + unsigned(unit - run.first);
        code.weight[0] = std::uint8_t(index / perHigh);
        code.weight[1] = std::uint8_t(index % perHigh + 2);
    }
    return code;
}

SortCode lookUp(char16_t unit) {
    const auto& runs = general_sort_table::runs;
    const auto page = unsigned(unit) >> 8;
    const auto first = runs.begin() + general_sort_table::pageStart[page];
    const auto last = runs.begin() + general_sort_table::pageStart[page + 1] + 1;
    const auto after = std::upper_bound(
        first, last, unit, [](char16_t u, const SortCodeRun& run) { return u < run.first; });
    return codeInRun(*(after - 1), unit);
}

std::array<SortCode, 256> latin1Codes() {
    std::array<SortCode, 256> codes{};
    for (unsigned u = 0; u < codes.size(); ++u) codes[u] = lookUp(char16_t(u));
    return codes;
}

bool weighs(const SortCode& code) {
    return code.sortClass == SortClass::Plain || code.sortClass == SortClass::Accented ||
           code.sortClass == SortClass::Kana;
}

// The bytes that are, alone, the whole weight of some character.
std::bitset<256> oneByteLetters() {
    std::bitset<256> letters;
    for (const SortCodeRun& run : general_sort_table::runs)
        if (weighs(run.code) && run.code.weightLength == 1) letters.set(run.code.weight[0]);
    return letters;
}

} // namespace

std::size_t sortLetters(const SortCode& code) {
    if (code.weightLength <= 1) return code.weightLength;
    static const std::bitset<256> oneByte = oneByteLetters();
    std::size_t letters = 0;
    for (std::size_t at = 0; at < code.weightLength; ++letters)
        at += oneByte[code.weight[at]] ? 1 : 2;
    return letters;
}

SortCode generalSortCode(char16_t unit) {
    // Nearly all text is Latin-1; those codes come from a small direct table.
    static const std::array<SortCode, 256> latin1 = latin1Codes();
    if (unit < 0x100) return latin1[unit];
    return lookUp(unit);
}

} // namespace jet
