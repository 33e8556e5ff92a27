// Letter case: one-to-one pairs for the letters of every script that has case, and letters
// without a partner of their own left alone.
#include "core/LetterCase.h"

#include <gtest/gtest.h>

namespace {

struct CasePair {
    char32_t upper, lower;
};

const CasePair pairs[] = {
    {U'A', U'a'},           {U'\u00C4', U'\u00E4'}, // Ä ä
    {U'\u0178', U'\u00FF'},                         // Ÿ ÿ
    {U'\u0141', U'\u0142'},                         // Ł ł
    {U'\u01CD', U'\u01CE'},                         // Ǎ ǎ
    {U'\u0490', U'\u0491'},                         // Ґ ґ
    {U'\u0401', U'\u0451'},                         // Ё ё
    {U'\u0386', U'\u03AC'},                         // Ά ά
    {U'\u03A3', U'\u03C3'},                         // Σ σ
    {U'\u0531', U'\u0561'},                         // Ա ա
    {U'\u1EA0', U'\u1EA1'},                         // Ạ ạ
    {U'\u10A0', U'\u2D00'},                         // Ⴀ ⴀ
    {U'\uFF21', U'\uFF41'},                         // Ａ ａ
};

TEST(LetterCase, PairsMapBothWays) {
    for (const CasePair& p : pairs) {
        EXPECT_EQ(core::lowerCase(p.upper), p.lower) << std::hex << unsigned(p.upper);
        EXPECT_EQ(core::upperCase(p.lower), p.upper) << std::hex << unsigned(p.lower);
        EXPECT_EQ(core::upperCase(p.upper), p.upper);
        EXPECT_EQ(core::lowerCase(p.lower), p.lower);
    }
}

TEST(LetterCase, LettersWithoutAPartnerOfTheirOwnStay) {
    for (char32_t c : {U'\u00DF', U'\u0131', U'\u0130', U'\u00B5', U'\u212A', U'1', U'-', U'\u4E2D',
                       U'\U0001F600'}) {
        EXPECT_EQ(core::upperCase(c), c) << std::hex << unsigned(c);
        EXPECT_EQ(core::lowerCase(c), c) << std::hex << unsigned(c);
    }
    EXPECT_EQ(core::upperCase(U'\u03C2'), U'\u03A3'); // final sigma capitalises as sigma
    EXPECT_EQ(core::lowerCase(U'\u03A3'), U'\u03C3');
}

TEST(LetterCase, EveryMappingGoesBack) {
    for (char32_t c = 0; c < 0x10000; ++c) {
        const char32_t lower = core::lowerCase(c);
        if (lower != c) {
            EXPECT_EQ(core::upperCase(lower), c) << std::hex << unsigned(c);
        }
        const char32_t upper = core::upperCase(c);
        if (upper != c && c != U'\u03C2') {
            EXPECT_EQ(core::lowerCase(upper), c) << std::hex << unsigned(c);
        }
    }
}

} // namespace
