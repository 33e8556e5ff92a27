#include "core/TextEncoding.h"

#include <gtest/gtest.h>

using core::cp1252ToUtf8;
using core::utf8ToCp1252;

TEST(Cp1252, MapsTheWindowsExtras) {
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");                 // €
    EXPECT_EQ(cp1252ToUtf8("\x85"), "\xE2\x80\xA6");                 // …
    EXPECT_EQ(cp1252ToUtf8("\x8C"), "\xC5\x92");                     // Œ
    EXPECT_EQ(cp1252ToUtf8("\x93\x94"), "\xE2\x80\x9C\xE2\x80\x9D"); // “ ”
    EXPECT_EQ(cp1252ToUtf8("\x99"), "\xE2\x84\xA2");                 // ™
    EXPECT_EQ(cp1252ToUtf8("\x9F"), "\xC5\xB8");                     // Ÿ
    EXPECT_EQ(cp1252ToUtf8("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(cp1252ToUtf8("\x81"), "\xC2\x81") << "undefined byte keeps its number";
}

TEST(Cp1252, AllBytesRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(char(b));
    const std::string utf8 = cp1252ToUtf8(all);
    EXPECT_EQ(utf8ToCp1252(utf8), all);
    // Only the five bytes the code page leaves undefined may come out as C1 controls.
    for (int b = 0x80; b < 0xA0; ++b) {
        const char32_t cp = core::decodeUtf8(cp1252ToUtf8(std::string(1, char(b))), 0).codePoint;
        const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        EXPECT_EQ(cp >= 0x80 && cp < 0xA0, undefined) << b;
    }
}

TEST(Cp1252, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1252("\xE4\xB8\xAD"), "?"); // 中
    EXPECT_EQ(utf8ToCp1252("\xC2\x80"), "?") << "U+0080: byte 0x80 is the euro sign";
    EXPECT_EQ(utf8ToCp1252("a\xF0\x9F\x98\x80"
                           "b"),
              "a?b");
    EXPECT_EQ(utf8ToCp1252("\xFF"), "?");
    EXPECT_EQ(utf8ToCp1252("\xE2\x82\xAC"
                           "5"),
              "\x80"
              "5");
}

TEST(Cp1252, Access97TextShowsUndefinedBytesAsReplacementCharacters) {
    const auto text = [](std::string_view bytes) {
        return core::windows1252TextToUtf8(
            std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    };
    EXPECT_EQ(text("AA\x80"
                   "AA"),
              "AA\xE2\x82\xAC"
              "AA");
    EXPECT_EQ(text("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9");
    for (const char* undefined : {"\x81", "\x8D", "\x8F", "\x90", "\x9D"})
        EXPECT_EQ(text(undefined), "\xEF\xBF\xBD") << int(std::uint8_t(undefined[0]));
    EXPECT_EQ(text(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

// Text written into an Access 97 file: every byte the code page defines comes back from the
// text it reads as; a character it lacks (the undefined bytes' C1 controls among them) is
// named instead of written.
TEST(Cp1252, Access97TextEncodesEveryDefinedByteAndNamesTheFirstMissingCharacter) {
    for (int b = 0; b < 256; ++b) {
        const std::uint8_t byte = static_cast<std::uint8_t>(b);
        const std::string text = core::windows1252TextToUtf8(std::span(&byte, 1));
        const core::EncodedText encoded = core::utf8ToWindows1252Text(text);
        if (text == "\xEF\xBF\xBD") {
            EXPECT_EQ(encoded.missing, U'\uFFFD') << b;
            continue;
        }
        EXPECT_FALSE(encoded.missing) << b;
        EXPECT_EQ(encoded.bytes, core::Bytes{byte}) << b;
    }
    const struct {
        const char* text;
        char32_t missing;
    } refused[] = {{"Kraków \xC4\x81", U'\u0101'},
                   {"\xC2\x81", U'\u0081'},
                   {"a?\xE4\xB8\xAD", U'\u4E2D'},
                   {"\xF0\x9F\x98\x80", U'\U0001F600'}};
    for (const auto& r : refused) EXPECT_EQ(core::utf8ToWindows1252Text(r.text).missing, r.missing);
    EXPECT_EQ(core::utf8ToWindows1252Text("a?b").bytes, (core::Bytes{'a', '?', 'b'}));
}
