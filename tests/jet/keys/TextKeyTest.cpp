// General sort-order text keys: exact bytes for each part of a key, the ordering rules of the
// sort order, and the descending and truncated forms index entries use.
#include "jet/keys/TextKey.h"

#include "jet/keys/KeyEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using core::Bytes;
using jet::compareText;
using jet::textSortKey;

Bytes textKey(const std::string& s, bool ascending) {
    Bytes out;
    jet::appendTextKey(out, s, ascending);
    return out;
}

TEST(TextKeys, PlainLettersAreWeightsThenTerminators) {
    EXPECT_EQ(textSortKey("abc"), Bytes({0x4A, 0x4C, 0x4D, 0x01, 0x00}));
    EXPECT_EQ(textSortKey("ABC"), textSortKey("abc"));
    EXPECT_EQ(textSortKey(""), Bytes({0x01, 0x00}));
}

TEST(TextKeys, AccentsGoToTheMarkPart) {
    EXPECT_EQ(textSortKey("\u00E9"), Bytes({0x51, 0x01, 0x0E, 0x00}));              // é
    EXPECT_EQ(textSortKey("a\u00E9"), Bytes({0x4A, 0x51, 0x01, 0x02, 0x0E, 0x00})); // aé
    EXPECT_EQ(textSortKey("\u00E9a"), Bytes({0x51, 0x4A, 0x01, 0x0E, 0x00}));       // éa
    EXPECT_EQ(textSortKey("e\u0301"), textSortKey("\u00E9")); // combining acute
}

TEST(TextKeys, ControlsAndPunctuationGoToTheLastPartWithTheirPosition) {
    EXPECT_EQ(textSortKey("a-b"),
              Bytes({0x4A, 0x4C, 0x01, 0x01, 0x01, 0x01, 0x80, 0x0B, 0x06, 0x82, 0x00}));
    // With marks present the position counts mark bytes.
    EXPECT_EQ(textSortKey("\u00E9-"),
              Bytes({0x51, 0x01, 0x0E, 0x01, 0x01, 0x01, 0x80, 0x0B, 0x06, 0x82, 0x00}));
}

// A character that weighs as two letters takes two places in the mark part, so the marks
// and control positions after it move on by two.
TEST(TextKeys, ExpandingCharactersCountAsTheLettersTheyWeighAs) {
    struct Case {
        const char* text;
        Bytes key;
    };
    const Case cases[] = {
        {"\u00DF\u00FC", {0x6B, 0x6B, 0x6F, 0x01, 0x02, 0x02, 0x13, 0x00}}, // ßü
        {"\u00E6\u00E9", {0x4A, 0x51, 0x51, 0x01, 0x02, 0x02, 0x0E, 0x00}}, // æé
        {"\u01C6\u00E9", {0x4F, 0x78, 0x51, 0x01, 0x02, 0x14, 0x0E, 0x00}}, // ǆé: d, ž
        {"\uFB03\u00E9", {0x53, 0x53, 0x59, 0x51, 0x01, 0x02, 0x02, 0x02, 0x0E, 0x00}},  // ﬃé
        {"\u00DF-", {0x6B, 0x6B, 0x01, 0x01, 0x01, 0x01, 0x80, 0x0F, 0x06, 0x82, 0x00}}, // ß-
    };
    for (const Case& c : cases) EXPECT_EQ(textSortKey(c.text), c.key) << c.text;
    // As Access wrote it into the sample application's supplier index.
    EXPECT_EQ(textSortKey("NuNuCa Nu\u00DF-Nougat-Creme"),
              Bytes({0x62, 0x6F, 0x62, 0x6F, 0x4D, 0x4A, 0x07, 0x62, 0x6F, 0x6B, 0x6B, 0x62,
                     0x64, 0x6F, 0x55, 0x4A, 0x6D, 0x4D, 0x69, 0x51, 0x60, 0x51, 0x01, 0x01,
                     0x01, 0x01, 0x80, 0x33, 0x06, 0x82, 0x80, 0x4B, 0x06, 0x82, 0x00}));
}

// Index entries leave out trailing blanks, as Access writes them; comparing texts in queries
// still sees them.
TEST(TextKeys, IndexKeysLeaveOutTrailingBlanks) {
    const auto indexKey = [](const std::string& s) {
        Bytes out;
        jet::appendIndexTextKey(out, s, true);
        return out;
    };
    EXPECT_EQ(indexKey("Frankfurt a.M. "), indexKey("Frankfurt a.M."));
    EXPECT_EQ(indexKey("x   "), textSortKey("x"));
    EXPECT_EQ(indexKey("   "), textSortKey(""));
    EXPECT_EQ(indexKey(" x"), textSortKey(" x")); // leading blanks stay
    EXPECT_NE(indexKey("a b"), indexKey("ab"));
    EXPECT_NE(textSortKey("Frankfurt a.M. "), textSortKey("Frankfurt a.M."));
    Bytes descending;
    jet::appendIndexTextKey(descending, "x ", false);
    EXPECT_EQ(descending, textKey("x", false));
}

// Small and normal kana share a weight; only the flag part tells them apart.
TEST(TextKeys, KanaFlagsFollowTheMarks) {
    EXPECT_EQ(textSortKey("\u30A2"), // katakana a
              Bytes({0x7F, 0x02, 0x01, 0x01, 0x01, 0xFF, 0x02, 0x80, 0xFF, 0x80, 0x00}));
    EXPECT_EQ(textSortKey("\u30A1"), // small katakana a
              Bytes({0x7F, 0x02, 0x01, 0x01, 0x01, 0xA0, 0xFF, 0x02, 0x80, 0xFF, 0x80, 0x00}));
    EXPECT_LT(compareText("\u30A1", "\u30A2"), 0);
}

TEST(TextKeys, DescendingComplementsAndEndsInZero) {
    EXPECT_EQ(textKey("a", false), Bytes({0xB5, 0xFE, 0xFF, 0x00}));
}

TEST(TextKeys, GeneralSortOrderRules) {
    EXPECT_LT(compareText("a", "B"), 0);
    EXPECT_LT(compareText("B", "c"), 0);
    EXPECT_EQ(compareText("abc", "ABC"), 0);
    EXPECT_LT(compareText("e", "\u00E9"), 0);   // accent after the plain letter
    EXPECT_LT(compareText("\u00E9", "f"), 0);   // but before the next letter
    EXPECT_LT(compareText("9", "a"), 0);        // digits before letters
    EXPECT_LT(compareText(" ", "0"), 0);        // blank before digits
    EXPECT_LT(compareText("!", "0"), 0);        // punctuation before digits
    EXPECT_LT(compareText("a", "ab"), 0);       // a prefix first
    EXPECT_LT(compareText("coop", "co-op"), 0); // hyphens only break ties
    EXPECT_LT(compareText("co-op", "copa"), 0);
    EXPECT_EQ(compareText("stra\u00DFe", "strasse"), 0); // ß weighs as ss
    EXPECT_GT(compareText("b", "a"), 0);
}

TEST(TextKeys, CharactersOutsideTheBasicPlaneAreIgnored) {
    EXPECT_EQ(textSortKey("a\U0001F600b"), textSortKey("ab"));
}

TEST(TextKeys, IndexEntriesKeepTheFirst255CodeUnits) {
    const std::string longText(300, 'x');
    Bytes indexed;
    jet::appendTextKey(indexed, longText, true, jet::indexedTextUnits);
    EXPECT_EQ(indexed, textSortKey(std::string(255, 'x')));
    Bytes column;
    jet::appendColumnKey(column, jet::KeyColumn{jet::KeyColumnType::Memo, true, 0},
                         core::Value(longText));
    EXPECT_EQ(Bytes(column.begin() + 1, column.end()), indexed);
}

// Random texts over an alphabet with case, accents, combining marks, punctuation, controls
// and kana: comparing keys is consistent, and descending keys sort in exactly reverse order.
TEST(TextKeys, DescendingKeysReverseTheAscendingOrder) {
    const std::vector<std::string> alphabet = {"a",      "A",      "b",      "\u00E9", "e",
                                               "\u0301", "-",      "'",      " ",      "1",
                                               "\x01",   "\u30A2", "\u30A1", "\u00DF", "s"};
    std::mt19937 rng(9);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1), len(0, 6);
    std::vector<std::string> texts;
    for (int k = 0; k < 600; ++k) {
        std::string s;
        for (std::size_t n = len(rng); n > 0; --n) s += alphabet[pick(rng)];
        texts.push_back(s);
    }
    std::sort(texts.begin(), texts.end(),
              [](const std::string& a, const std::string& b) { return compareText(a, b) < 0; });
    for (std::size_t k = 1; k < texts.size(); ++k) {
        const Bytes a = textKey(texts[k - 1], false);
        const Bytes b = textKey(texts[k], false);
        if (compareText(texts[k - 1], texts[k]) == 0)
            EXPECT_EQ(a, b);
        else
            EXPECT_GT(a, b) << texts[k - 1] << " / " << texts[k];
    }
}

} // namespace
