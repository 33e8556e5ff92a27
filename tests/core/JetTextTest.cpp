#include "core/TextEncoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using core::Bytes;
using core::decodeJetText;
using core::encodeJetText;

namespace {

std::string decode(std::initializer_list<std::uint8_t> bytes) {
    const Bytes b(bytes);
    return decodeJetText(b);
}

// A reader that switches runs at every zero byte, even inside a two-byte character. Whatever
// the encoder writes must read the same way here, or such readers would garble it.
std::string decodeSplittingAtEveryZero(const Bytes& b) {
    if (b.size() < 2 || b[0] != 0xFF || b[1] != 0xFE) return core::utf16leToUtf8(b);
    std::u16string units;
    bool compressed = true;
    Bytes run;
    const auto flush = [&] {
        if (compressed) {
            for (std::uint8_t c : run) units.push_back(c);
        } else {
            for (std::size_t i = 0; i + 1 < run.size(); i += 2)
                units.push_back(char16_t(run[i] | run[i + 1] << 8));
        }
        run.clear();
    };
    for (std::size_t i = 2; i < b.size(); ++i) {
        if (b[i] == 0) {
            flush();
            compressed = !compressed;
        } else {
            run.push_back(b[i]);
        }
    }
    flush();
    Bytes plain;
    for (char16_t u : units) {
        plain.push_back(std::uint8_t(u));
        plain.push_back(std::uint8_t(u >> 8));
    }
    return core::utf16leToUtf8(plain);
}

const std::string zhong = "\xE4\xB8\xAD"; // 中 U+4E2D
const std::string wen = "\xE6\x96\x87";   // 文 U+6587
const std::string eAcute = "\xC3\xA9";    // é U+00E9

} // namespace

TEST(JetTextDecode, PlainUtf16) {
    EXPECT_EQ(decode({'H', 0, 'i', 0}), "Hi");
    EXPECT_EQ(decode({0x2D, 0x4E}), zhong);
    EXPECT_EQ(decode({}), "");
    EXPECT_EQ(decode({'A', 0, 'B'}), "A") << "odd last byte";
}

TEST(JetTextDecode, CompressedAsciiAndLatin1) {
    EXPECT_EQ(decode({0xFF, 0xFE, 'H', 'e', 'l', 'l', 'o'}), "Hello");
    EXPECT_EQ(decode({0xFF, 0xFE, 'c', 'a', 'f', 0xE9}), "caf" + eAcute);
    EXPECT_EQ(decode({0xFF, 0xFE, 0xFF}), "\xC3\xBF");
    EXPECT_EQ(decode({0xFF, 0xFE}), "");
}

TEST(JetTextDecode, MixedRuns) {
    EXPECT_EQ(decode({0xFF, 0xFE, 'a', 'b', 0, 0x2D, 0x4E, 0x87, 0x65, 0, 'c'}),
              "ab" + zhong + wen + "c");
    EXPECT_EQ(decode({0xFF, 0xFE, 0, 0x2D, 0x4E}), zhong) << "starts uncompressed at once";
    EXPECT_EQ(decode({0xFF, 0xFE, 'a', 0, 0, 'b'}), "ab") << "two switches cancel";
    EXPECT_EQ(decode({0xFF, 0xFE, 'x', 0, 0x3D, 0xD8, 0x01, 0xDE, 0, 'y'}), "x\xF0\x9F\x98\x81y")
        << "a surrogate pair inside a run";
    EXPECT_EQ(decode({0xFF, 0xFE, 0, 0xE9, 0x00, 'a', 0x00}), eAcute + "a")
        << "zero bytes inside a character are not switches";
}

TEST(JetTextDecode, TornUncompressedRunDoesNotCrash) {
    EXPECT_EQ(decode({0xFF, 0xFE, 0, 0x2D, 0x4E, 0x41}), zhong);
    EXPECT_EQ(decode({0xFF, 0xFE, 'a', 0, 0x3D, 0xD8}), "a\xEF\xBF\xBD");
    EXPECT_EQ(decode({0xFF, 0xFE, 0}), "");
}

TEST(JetTextEncode, CompressesLatin1WhenItSavesSpace) {
    EXPECT_EQ(encodeJetText("Hello", true), (Bytes{0xFF, 0xFE, 'H', 'e', 'l', 'l', 'o'}));
    EXPECT_EQ(encodeJetText("caf" + eAcute, true), (Bytes{0xFF, 0xFE, 'c', 'a', 'f', 0xE9}));
    EXPECT_EQ(encodeJetText("ABC", true), (Bytes{0xFF, 0xFE, 'A', 'B', 'C'}));
    EXPECT_EQ(encodeJetText("AB", true), (Bytes{'A', 0, 'B', 0})) << "no saving";
    EXPECT_EQ(encodeJetText("", true), Bytes{});
}

TEST(JetTextEncode, PlainWhenAskedOrWhenNothingIsGained) {
    EXPECT_EQ(encodeJetText("Hello", false), (Bytes{'H', 0, 'e', 0, 'l', 0, 'l', 0, 'o', 0}));
    EXPECT_EQ(encodeJetText(zhong + wen, true), (Bytes{0x2D, 0x4E, 0x87, 0x65}));
    EXPECT_EQ(encodeJetText("a" + zhong + "b" + wen, true),
              (Bytes{'a', 0, 0x2D, 0x4E, 'b', 0, 0x87, 0x65}));
}

TEST(JetTextEncode, MixedRunsWhenShorter) {
    EXPECT_EQ(encodeJetText("abcdef" + zhong, true),
              (Bytes{0xFF, 0xFE, 'a', 'b', 'c', 'd', 'e', 'f', 0, 0x2D, 0x4E}));
}

TEST(JetTextEncode, CharactersWithAZeroByteKeepTextPlain) {
    const std::string withNul("abcdef\0gh", 9);
    EXPECT_EQ(encodeJetText(withNul, true), core::utf8ToUtf16le(withNul));
    const std::string aMacron = "\xC4\x80"; // U+0100
    EXPECT_EQ(encodeJetText("abcdef" + aMacron, true), core::utf8ToUtf16le("abcdef" + aMacron));
    const std::string yi = "\xE4\xB8\x80"; // U+4E00
    EXPECT_EQ(encodeJetText("abcdef" + yi, true), core::utf8ToUtf16le("abcdef" + yi));
}

TEST(JetTextEncode, LeadingByteOrderMarkStillReadsBack) {
    const std::string text = "\xEF\xBB\xBF"
                             "abc"; // U+FEFF first: plain would start FF FE
    EXPECT_EQ(decodeJetText(encodeJetText(text, true)), text);
}

TEST(JetText, RandomTextsRoundTrip) {
    // Latin-1 first, then characters that fit uncompressed runs, then ones that force plain text.
    const std::vector<std::string> pieces = {
        "a",
        "Z",
        " ",
        "~",
        "\x01",
        eAcute,
        "\xC3\xBF",
        zhong,
        wen,
        "\xE2\x82\xAC",
        "\xF0\x9F\x98\x81",
        "\xC4\x80",
        "\xE4\xB8\x80",
        "\xF0\x9F\x98\x80",
        std::string(1, '\0'),
        "\xEF\xBB\xBF",
    };
    const std::size_t alphabets[] = {7, 11, pieces.size()};
    std::mt19937 random(11);
    int mixed = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        const int length = int(random() % 24);
        const std::size_t alphabet = alphabets[i % 3];
        for (int k = 0; k < length; ++k) text += pieces[random() % alphabet];
        // Plain text starting with U+FEFF would be indistinguishable from the compressed form;
        // LeadingByteOrderMarkStillReadsBack covers the case.
        if (text.rfind("\xEF\xBB\xBF", 0) == 0) continue;

        const Bytes plain = encodeJetText(text, false);
        ASSERT_EQ(decodeJetText(plain), text);
        const Bytes packed = encodeJetText(text, true);
        ASSERT_EQ(decodeJetText(packed), text);
        ASSERT_EQ(decodeSplittingAtEveryZero(packed), text);
        ASSERT_LE(packed.size(), plain.size());
        if (packed.size() > 2 && packed[0] == 0xFF && packed[1] == 0xFE &&
            std::find(packed.begin() + 2, packed.end(), 0) != packed.end())
            ++mixed;
    }
    EXPECT_GT(mixed, 100) << "mixed runs were hardly exercised";
}
