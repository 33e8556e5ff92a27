// Spot checks of the generated General sort-order table against codes of the public
// listings, across the kinds of runs the table is compressed into.
#include "jet/keys/GeneralSortTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using jet::generalSortCode;
using jet::SortClass;

std::vector<std::uint8_t> weightOf(char16_t unit) {
    const auto code = generalSortCode(unit);
    return {code.weight.begin(), code.weight.begin() + code.weightLength};
}

std::vector<std::uint8_t> markOf(char16_t unit) {
    const auto code = generalSortCode(unit);
    return {code.mark.begin(), code.mark.begin() + code.markLength};
}

using W = std::vector<std::uint8_t>;

TEST(GeneralSortTable, LettersShareOneWeightAcrossCase) {
    EXPECT_EQ(weightOf(u'a'), W({0x4A}));
    EXPECT_EQ(weightOf(u'A'), W({0x4A}));
    EXPECT_EQ(weightOf(u'z'), W({0x78}));
    EXPECT_EQ(weightOf(u'0'), W({0x36}));
    EXPECT_EQ(weightOf(u' '), W({0x07}));
    EXPECT_EQ(generalSortCode(u'a').sortClass, SortClass::Plain);
}

TEST(GeneralSortTable, AccentedLettersCarryTheirBaseWeightAndAMark) {
    EXPECT_EQ(generalSortCode(u'\u00E9').sortClass, SortClass::Accented); // é
    EXPECT_EQ(weightOf(u'\u00E9'), W({0x51}));
    EXPECT_EQ(markOf(u'\u00E9'), W({0x0E}));
    EXPECT_EQ(weightOf(u'\u0159'), W({0x69})); // ř
    EXPECT_EQ(markOf(u'\u0159'), W({0x14}));
    EXPECT_EQ(weightOf(u'\u00DF'), W({0x6B, 0x6B})); // ß sorts as "ss"
}

TEST(GeneralSortTable, OtherClasses) {
    EXPECT_EQ(generalSortCode(u'\0').sortClass, SortClass::Ignored);
    EXPECT_EQ(generalSortCode(u'-').sortClass, SortClass::Control);
    EXPECT_EQ(markOf(u'-'), W({0x82}));
    EXPECT_EQ(generalSortCode(u'\u0301').sortClass, SortClass::Diacritic);
    EXPECT_EQ(markOf(u'\u0301'), W({0x0C}));
    const auto smallA = generalSortCode(u'\u30A1'); // katakana small a
    EXPECT_EQ(smallA.sortClass, SortClass::Kana);
    EXPECT_EQ(smallA.kanaFlag, 2);
    EXPECT_EQ(generalSortCode(u'\u30A2').kanaFlag, 3);
    EXPECT_EQ(generalSortCode(char16_t(0xD800)).sortClass, SortClass::Ignored);
    EXPECT_EQ(generalSortCode(char16_t(0xDFFF)).sortClass, SortClass::Ignored);
}

// Stepping runs compute their weights; these are the listings' values at run starts, ends
// and across the skipped low bytes 00 and 01.
TEST(GeneralSortTable, SteppingRunsReproduceListedWeights) {
    EXPECT_EQ(weightOf(u'\u4E00'), W({0x9F, 0x02}));
    EXPECT_EQ(weightOf(u'\u4E01'), W({0x9F, 0x06}));
    EXPECT_EQ(weightOf(u'\u9FA5'), W({0xF1, 0xB4}));
    EXPECT_EQ(weightOf(u'\uAC00'), W({0x81, 0x03}));
    EXPECT_EQ(weightOf(u'\uD7A3'), W({0xAD, 0xC0}));
    EXPECT_EQ(weightOf(u'\uE000'), W({0xE6, 0x02}));
    EXPECT_EQ(weightOf(u'\uF8FF'), W({0xFF, 0x33}));
    EXPECT_EQ(weightOf(u'\uF900'), W({0xF1, 0xB5}));
    EXPECT_EQ(weightOf(u'\u0391'), W({0x79, 0x0C})); // Greek capital alpha
    EXPECT_EQ(weightOf(u'\u0410'), W({0x79, 0x2F})); // Cyrillic capital a
    EXPECT_EQ(weightOf(u'\uFF21'), W({0x4A}));       // fullwidth A
    for (char16_t u = 0x4E00; u < 0x9FA6; ++u) {
        const auto w = weightOf(u);
        ASSERT_EQ(w.size(), 2u) << int(u);
        ASSERT_GT(w[1], 0x01) << int(u);
    }
}

} // namespace
