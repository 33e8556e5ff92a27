// Windows-1252, the 8-bit code page of the program's text files.
#include "core/TextEncoding.h"

#include <algorithm>
#include <iterator>

namespace core {

namespace {

// Bytes 0x80..0x9F; everything else is the Unicode code point of the same number. The five
// bytes the code page leaves undefined map to the C1 controls of their own number so that
// every byte survives a round trip.
constexpr char16_t high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t toUnicode(std::uint8_t b) {
    return b >= 0x80 && b < 0xA0 ? high[b - 0x80] : b;
}

char fromUnicode(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return char(cp);
    const auto it = std::find(std::begin(high), std::end(high), cp);
    if (it == std::end(high)) return '?';
    return char(0x80 + (it - std::begin(high)));
}

} // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = std::uint8_t(c);
        if (b < 0x80)
            out.push_back(c);
        else
            appendUtf8(out, toUnicode(b));
    }
    return out;
}

std::string windows1252TextToUtf8(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const std::uint8_t b : bytes) {
        if (b < 0x80) {
            out.push_back(char(b));
            continue;
        }
        const char32_t cp = toUnicode(b);
        // The undefined bytes are the only ones that map to C1 controls.
        appendUtf8(out, cp >= 0x80 && cp < 0xA0 ? U'\uFFFD' : cp);
    }
    return out;
}

EncodedText utf8ToWindows1252Text(std::string_view text) {
    EncodedText out;
    out.bytes.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto [cp, length] = decodeUtf8(text, pos);
        const char b = fromUnicode(cp);
        // '?' stands for a missing character, and the undefined bytes read back as U+FFFD.
        const bool undefined = cp >= 0x80 && cp < 0xA0 && std::uint8_t(b) == cp;
        if ((b == '?' && cp != U'?') || undefined) {
            out.missing = cp;
            return out;
        }
        out.bytes.push_back(std::uint8_t(b));
        pos += length;
    }
    return out;
}

std::string utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto [cp, length] = decodeUtf8(text, pos);
        out.push_back(fromUnicode(cp));
        pos += length;
    }
    return out;
}

} // namespace core
