// UTF-8 and UTF-16 conversions.
#include "core/TextEncoding.h"
#include "core/Utf16ToUtf8.h"

namespace core {

namespace {

constexpr char32_t replacement = 0xFFFD;

bool isContinuation(std::uint8_t b) {
    return (b & 0xC0) == 0x80;
}

void appendUtf16le(Bytes& out, char32_t cp) {
    const auto unit = [&](char32_t u) {
        out.push_back(std::uint8_t(u & 0xFF));
        out.push_back(std::uint8_t(u >> 8));
    };
    if (cp < 0x10000) {
        unit(cp);
    } else {
        cp -= 0x10000;
        unit(0xD800 + (cp >> 10));
        unit(0xDC00 + (cp & 0x3FF));
    }
}

} // namespace

DecodedCodePoint decodeUtf8(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t k) { return std::uint8_t(text[pos + k]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return {lead, 1};

    // The lead byte fixes the length and, to exclude overlong forms, surrogates and values
    // past U+10FFFF, the range of the second byte.
    std::size_t length = 0;
    std::uint8_t secondMin = 0x80, secondMax = 0xBF;
    char32_t cp = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        if (lead == 0xE0) secondMin = 0xA0;
        if (lead == 0xED) secondMax = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        if (lead == 0xF0) secondMin = 0x90;
        if (lead == 0xF4) secondMax = 0x8F;
    } else {
        return {replacement, 1};
    }

    for (std::size_t k = 1; k < length; ++k) {
        if (pos + k >= text.size()) return {replacement, k};
        const std::uint8_t b = byte(k);
        const bool ok = k == 1 ? b >= secondMin && b <= secondMax : isContinuation(b);
        if (!ok) return {replacement, k};
        cp = (cp << 6) | (b & 0x3F);
    }
    return {cp, length};
}

void appendUtf8(std::string& out, char32_t cp) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = replacement;
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

std::string utf16leToUtf8(std::span<const std::uint8_t> bytes) {
    // Rows are mostly ASCII: check that first, then copy without per-character bookkeeping.
    const std::size_t units = bytes.size() / 2;
    bool ascii = true;
    for (std::size_t i = 0; i < units; ++i) ascii &= bytes[2 * i] < 0x80 && bytes[2 * i + 1] == 0;
    if (ascii) {
        std::string out(units, '\0');
        for (std::size_t i = 0; i < units; ++i) out[i] = char(bytes[2 * i]);
        return out;
    }

    std::string out;
    out.reserve(bytes.size() / 2);
    Utf16ToUtf8 sink(out);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        sink.push(char16_t(bytes[i] | bytes[i + 1] << 8));
    sink.finish();
    return out;
}

Bytes utf8ToUtf16le(std::string_view text) {
    Bytes out;
    out.reserve(text.size() * 2);
    for (std::size_t pos = 0; pos < text.size();) {
        const auto [cp, length] = decodeUtf8(text, pos);
        appendUtf16le(out, cp);
        pos += length;
    }
    return out;
}

std::size_t utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        if (std::uint8_t(text[pos]) < 0x80) {
            ++units;
            ++pos;
            continue;
        }
        const auto [cp, length] = decodeUtf8(text, pos);
        units += cp >= 0x10000 ? 2 : 1;
        pos += length;
    }
    return units;
}

} // namespace core
