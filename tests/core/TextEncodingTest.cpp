#include "core/TextEncoding.h"

#include <gtest/gtest.h>

#include <random>

using core::Bytes;
using core::utf16leToUtf8;
using core::utf8ToUtf16le;

namespace {

const std::string replacement = "\xEF\xBF\xBD";

std::string fromUtf16(std::initializer_list<std::uint8_t> bytes) {
    const Bytes b(bytes);
    return utf16leToUtf8(b);
}

} // namespace

TEST(Utf16, DecodesToUtf8) {
    EXPECT_EQ(fromUtf16({'A', 0, 'b', 0}), "Ab");
    EXPECT_EQ(fromUtf16({0xE9, 0x00}), "\xC3\xA9");                     // é
    EXPECT_EQ(fromUtf16({0xAC, 0x20}), "\xE2\x82\xAC");                 // €
    EXPECT_EQ(fromUtf16({0x3D, 0xD8, 0x00, 0xDE}), "\xF0\x9F\x98\x80"); // 😀
    EXPECT_EQ(fromUtf16({0xFF, 0xDB, 0xFF, 0xDF}), "\xF4\x8F\xBF\xBF"); // U+10FFFF
}

TEST(Utf16, UnpairedSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(fromUtf16({0x3D, 0xD8, 'A', 0}), replacement + "A");
    EXPECT_EQ(fromUtf16({0x00, 0xDE, 'A', 0}), replacement + "A");
    EXPECT_EQ(fromUtf16({'A', 0, 0x3D, 0xD8}), "A" + replacement);
    EXPECT_EQ(fromUtf16({0x3D, 0xD8, 0x3D, 0xD8, 0x00, 0xDE}), replacement + "\xF0\x9F\x98\x80");
}

TEST(Utf16, OddLastByteIsIgnored) {
    EXPECT_EQ(fromUtf16({'A', 0, 'B'}), "A");
    EXPECT_EQ(fromUtf16({'A'}), "");
}

TEST(Utf8, EncodesToUtf16le) {
    EXPECT_EQ(utf8ToUtf16le("Ab"), (Bytes{'A', 0, 'b', 0}));
    EXPECT_EQ(utf8ToUtf16le("\xE4\xB8\xAD"), (Bytes{0x2D, 0x4E})); // 中
    EXPECT_EQ(utf8ToUtf16le("\xF0\x9F\x98\x80"), (Bytes{0x3D, 0xD8, 0x00, 0xDE}));
}

TEST(Utf8, MalformedSequencesBecomeReplacementCharacters) {
    const auto units = [](std::string_view s) { return utf8ToUtf16le(s).size() / 2; };
    EXPECT_EQ(utf8ToUtf16le("\xFF"), (Bytes{0xFD, 0xFF}));
    EXPECT_EQ(units("\xC0\xAF"), 2u) << "overlong '/'";
    EXPECT_EQ(units("\xE2\x82"), 1u) << "truncated sequence is one character";
    EXPECT_EQ(utf8ToUtf16le("\xE2\x82"
                            "A"),
              (Bytes{0xFD, 0xFF, 'A', 0}))
        << "A survives";
    EXPECT_EQ(units("\xED\xA0\x80"), 3u) << "encoded surrogate";
    EXPECT_EQ(units("\xF4\x90\x80\x80"), 4u) << "past U+10FFFF";
    EXPECT_EQ(units("\x80"), 1u);
}

TEST(Utf8, RoundTripThroughUtf16) {
    std::mt19937 random(3);
    for (int i = 0; i < 300; ++i) {
        std::string text;
        for (int k = 0; k < 40; ++k) {
            char32_t cp = random() % 0x110000;
            if (cp >= 0xD800 && cp <= 0xDFFF) cp = 'x';
            core::appendUtf8(text, cp);
        }
        ASSERT_EQ(utf16leToUtf8(utf8ToUtf16le(text)), text);
    }
}

TEST(Utf8, DecodesOneCodePointAtATime) {
    const std::string text = "a\xC3\xA9\xF0\x9F\x98\x80";
    EXPECT_EQ(core::decodeUtf8(text, 0).codePoint, U'a');
    EXPECT_EQ(core::decodeUtf8(text, 1).codePoint, U'\u00E9');
    EXPECT_EQ(core::decodeUtf8(text, 1).length, 2u);
    EXPECT_EQ(core::decodeUtf8(text, 3).codePoint, U'\U0001F600');
    EXPECT_EQ(core::decodeUtf8(text, 3).length, 4u);
}

TEST(Utf16Length, CountsCodeUnits) {
    EXPECT_EQ(core::utf16Length(""), 0u);
    EXPECT_EQ(core::utf16Length("abc"), 3u);
    EXPECT_EQ(core::utf16Length("caf\xC3\xA9"), 4u);
    EXPECT_EQ(core::utf16Length("\xE4\xB8\xAD\xE6\x96\x87"), 2u);
    EXPECT_EQ(core::utf16Length("\xF0\x9F\x98\x80!"), 3u);
    EXPECT_EQ(core::utf16Length("\xFF\xE2\x82"), 2u);
}
