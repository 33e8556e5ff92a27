#include "core/TextUnits.h"

#include "core/LetterCase.h"
#include "core/TextEncoding.h"

namespace core {

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

std::string upperCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto [c, length] = core::decodeUtf8(text, pos);
        core::appendUtf8(out, core::upperCase(c));
        pos += length;
    }
    return out;
}

std::string lowerCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto [c, length] = core::decodeUtf8(text, pos);
        core::appendUtf8(out, core::lowerCase(c));
        pos += length;
    }
    return out;
}

} // namespace core
