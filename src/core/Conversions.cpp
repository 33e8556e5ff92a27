// Text forms of floating-point numbers, bytes and GUIDs.
#include "core/Conversions.h"
#include "core/Error.h"

#include <charconv>

namespace core {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

void appendHexByte(std::string& out, std::uint8_t b) {
    out.push_back(hexDigits[b >> 4]);
    out.push_back(hexDigits[b & 0x0F]);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Jet keeps the first three GUID fields little-endian; the text shows them as numbers, so
// text position k names stored byte textOrder[k].
constexpr std::uint8_t textOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};

template <class T> std::string shortestText(T v) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string formatDouble(double d) {
    return shortestText(d);
}

std::string formatSingle(float f) {
    return shortestText(f);
}

std::string formatHex(const Bytes& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) appendHexByte(out, b);
    return out;
}

Bytes parseHex(std::string_view text) {
    if (text.size() % 2 != 0)
        throw TypeMismatch("Data type mismatch: '" + std::string(text) +
                           "' is not hex bytes (an odd number of digits).");
    Bytes out(text.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int high = hexValue(text[2 * i]);
        const int low = hexValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            throw TypeMismatch("Data type mismatch: '" + std::string(text) + "' is not hex bytes.");
        out[i] = std::uint8_t(high << 4 | low);
    }
    return out;
}

std::string formatGuid(const Guid& g) {
    std::string out;
    out.reserve(36);
    for (std::size_t k = 0; k < 16; ++k) {
        if (k == 4 || k == 6 || k == 8 || k == 10) out.push_back('-');
        appendHexByte(out, g.bytes[textOrder[k]]);
    }
    return out;
}

Guid parseGuid(std::string_view text) {
    std::string_view s = text;
    if (s.size() == 38 && s.front() == '{' && s.back() == '}') s = s.substr(1, 36);
    const auto fail = [&]() -> Guid {
        throw TypeMismatch("Data type mismatch: '" + std::string(text) + "' is not a GUID.");
    };
    if (s.size() != 36) return fail();

    Guid g;
    std::size_t pos = 0;
    for (std::size_t k = 0; k < 16; ++k) {
        if (k == 4 || k == 6 || k == 8 || k == 10) {
            if (s[pos] != '-') return fail();
            ++pos;
        }
        const int high = hexValue(s[pos]);
        const int low = hexValue(s[pos + 1]);
        if (high < 0 || low < 0) return fail();
        g.bytes[textOrder[k]] = std::uint8_t(high << 4 | low);
        pos += 2;
    }
    return g;
}

} // namespace core
