// Access 97 General sort-order text keys: the bytes the samples' index pages hold for
// hyphens, accents and letters between them, and what the key makes of characters the
// file's code page stores otherwise.
#include "jet/keys/Text97Key.h"
#include "jet/keys/KeyEncoder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using core::Bytes;

Bytes key97(const std::string& s, bool ascending = true) {
    Bytes out;
    jet::appendIndexText97Key(out, s, ascending);
    return out;
}

TEST(Text97Keys, WeightsThenEndOrAccentNibbles) {
    struct Case {
        const char* text;
        Bytes key;
    };
    // The keys Access 97 wrote for these texts (testIndexCodesV1997, Table1).
    const Case cases[] = {
        {"", {0x00}},
        {"AA-", {0x60, 0x60, 0x1E, 0x00}},
        {"aa-", {0x60, 0x60, 0x1E, 0x00}},
        {"AA\x01"
         "AA",
         {0x60, 0x60, 0x10, 0x60, 0x60, 0x00}},
        // Hyphens are no letters: no "no accent" nibble stands for them.
        {"-\u00C1-\u00C1-", {0x1E, 0x60, 0x1E, 0x60, 0x1E, 0x04, 0x40}},
        {"-\u00C1A-\u00C1", {0x1E, 0x60, 0x60, 0x1E, 0x60, 0x04, 0x24, 0x00}},
        {"-\u00A0\u00C1--\u00C1\u00A0-",
         {0x1E, 0x11, 0x60, 0x1E, 0x1E, 0x60, 0x11, 0x1E, 0x04, 0x40}},
        // Letters after the last accent leave no nibble; a letter may weigh as two.
        {"\u00C0bc", {0x60, 0x61, 0x62, 0x03, 0x00}},
        {"\u00DF\u00E9", {0x76, 0x76, 0x66, 0x02, 0x24, 0x00}},
    };
    for (const Case& c : cases) EXPECT_EQ(key97(c.text), c.key) << c.text;
}

TEST(Text97Keys, DescendingComplementsTheWholeText) {
    EXPECT_EQ(key97("AA-", false), Bytes({0x9F, 0x9F, 0xE1, 0xFF}));
    EXPECT_EQ(key97("-\u00C1", false), Bytes({0xE1, 0x9F, 0xFB, 0xFF}));
}

TEST(Text97Keys, TrailingBlanksAndCharactersPast255AreLeftOut) {
    EXPECT_EQ(key97("ab  "), key97("ab"));
    EXPECT_NE(key97(" ab"), key97("ab"));
    EXPECT_EQ(key97(std::string(255, 'x') + "yz"), key97(std::string(255, 'x')));
}

TEST(Text97Keys, CharactersKeyAsTheBytesTheFileStores) {
    // Windows-1252 keeps these at 0x80..0x9F; U+FFFD is how a byte the code page leaves
    // undefined reads back; a character the code page lacks is stored as "?".
    EXPECT_EQ(key97("\u0160"), key97("\u0161")); // Š, š
    EXPECT_EQ(key97("\u0160"), Bytes({0x76, 0x0A, 0x00}));
    EXPECT_EQ(key97("\u20AC"), key97("\x01"));
    EXPECT_EQ(key97("\uFFFD"), key97("\x01"));
    EXPECT_EQ(key97("\u03A9"), key97("?"));
}

TEST(Text97Keys, TheEncoderUsesTheColumnsSortOrder) {
    jet::KeyColumn column{jet::KeyColumnType::Text, true, 0, jet::TextSortOrder::General97};
    const core::Value value(std::string("AA-"));
    EXPECT_EQ(jet::encodeKey(std::span(&column, 1), std::span(&value, 1)),
              Bytes({0x7F, 0x60, 0x60, 0x1E, 0x00}));
    column.textOrder = jet::TextSortOrder::General;
    EXPECT_NE(jet::encodeKey(std::span(&column, 1), std::span(&value, 1)),
              Bytes({0x7F, 0x60, 0x60, 0x1E, 0x00}));
}

} // namespace
