#include "sql/eval/TextUnits.h"

#include "core/TextEncoding.h"

namespace sql {

std::u16string toUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto [c, length] = core::decodeUtf8(text, pos);
        pos += length;
        if (c >= 0x10000) {
            const char32_t v = c - 0x10000;
            out.push_back(char16_t(0xD800 + (v >> 10)));
            out.push_back(char16_t(0xDC00 + (v & 0x3FF)));
        } else {
            out.push_back(char16_t(c));
        }
    }
    return out;
}

std::string fromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        const bool high = c >= 0xD800 && c < 0xDC00;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        // A lone surrogate (Mid can split a pair) becomes U+FFFD inside appendUtf8.
        core::appendUtf8(out, c);
    }
    return out;
}

std::u32string toCodePoints(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto [c, length] = core::decodeUtf8(text, pos);
        out.push_back(c);
        pos += length;
    }
    return out;
}

std::string fromCodePoints(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) core::appendUtf8(out, c);
    return out;
}

namespace {

// Latin Extended-A pairs its letters as (upper, lower) starting on an even code point in
// some runs and on an odd one in others.
bool upperIsEvenInExtendedA(char32_t c) {
    return (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
}
bool upperIsOddInExtendedA(char32_t c) {
    return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
}

} // namespace

char32_t upperCase(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c < 0x80) return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
    if (c == 0xFF) return 0x178;
    if (upperIsEvenInExtendedA(c)) return (c % 2 == 1 && c != 0x131) ? c - 1 : c;
    if (upperIsOddInExtendedA(c)) return c % 2 == 0 ? c - 1 : c;
    if (c == 0x192) return 0x191;
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
    if (c == 0x3C2) return 0x3A3; // final sigma
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    return c;
}

char32_t lowerCase(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0x80) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c == 0x178) return 0xFF;
    if (upperIsEvenInExtendedA(c)) return (c % 2 == 0 && c != 0x130) ? c + 1 : c;
    if (upperIsOddInExtendedA(c)) return c % 2 == 1 ? c + 1 : c;
    if (c == 0x191) return 0x192;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

std::string upperCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto [c, length] = core::decodeUtf8(text, pos);
        core::appendUtf8(out, upperCase(c));
        pos += length;
    }
    return out;
}

std::string lowerCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto [c, length] = core::decodeUtf8(text, pos);
        core::appendUtf8(out, lowerCase(c));
        pos += length;
    }
    return out;
}

} // namespace sql
