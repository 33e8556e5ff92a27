// Jet 4 text field content: plain UTF-16LE or Jet's "compressed Unicode".
//
// Compressed content starts with FF FE and then alternates between runs: in a compressed run
// each byte is a character U+0001..U+00FF, in an uncompressed run each character is two bytes
// UTF-16LE. A zero byte where a character would start switches runs; the first run is
// compressed.
#include "core/TextEncoding.h"
#include "core/Utf16ToUtf8.h"

#include <algorithm>
#include <vector>

namespace core {

namespace {

constexpr std::uint8_t marker[2] = {0xFF, 0xFE};

bool isCompressed(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == marker[0] && bytes[1] == marker[1];
}

std::string decodeRuns(std::span<const std::uint8_t> data) {
    // Most compressed text is one Latin-1 run without switches, often pure ASCII: size the
    // result exactly and fill it without per-character bookkeeping.
    std::uint8_t lowest = 0xFF, highest = 0;
    for (std::uint8_t b : data) {
        lowest = std::min(lowest, b);
        highest = std::max(highest, b);
    }
    if (lowest != 0) {
        if (highest < 0x80) return std::string(data.begin(), data.end());
        std::size_t nonAscii = 0;
        for (std::uint8_t b : data) nonAscii += b >> 7;
        std::string out(data.size() + nonAscii, '\0');
        std::size_t k = 0;
        for (std::uint8_t b : data) {
            if (b < 0x80) {
                out[k++] = char(b);
            } else {
                out[k++] = char(0xC0 | b >> 6);
                out[k++] = char(0x80 | (b & 0x3F));
            }
        }
        return out;
    }

    std::string out;
    out.reserve(data.size() + data.size() / 2);
    Utf16ToUtf8 sink(out);
    bool compressed = true;
    for (std::size_t i = 0; i < data.size();) {
        const std::uint8_t b = data[i];
        if (b == 0) {
            compressed = !compressed;
            ++i;
        } else if (compressed) {
            sink.push(b);
            ++i;
        } else {
            if (i + 1 >= data.size()) break; // a torn last character carries no text
            sink.push(char16_t(b | data[i + 1] << 8));
            i += 2;
        }
    }
    sink.finish();
    return out;
}

enum class UnitKind { Narrow, Wide, Unsafe };

// Narrow units go one byte each in compressed runs; the rest go two bytes each in uncompressed
// runs, where a zero low byte would read as a run switch. A zero high byte cannot occur there:
// such units are narrow.
UnitKind kindOf(char16_t u) {
    if (u != 0 && u <= 0xFF) return UnitKind::Narrow;
    if ((u & 0xFF) != 0) return UnitKind::Wide;
    return UnitKind::Unsafe;
}

std::vector<char16_t> utf16Units(std::string_view text) {
    std::vector<char16_t> units;
    units.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto [cp, length] = decodeUtf8(text, pos);
        if (cp >= 0x10000) {
            units.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
            units.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            units.push_back(char16_t(cp));
        }
        pos += length;
    }
    return units;
}

Bytes plainBytes(std::span<const char16_t> units) {
    Bytes out;
    out.reserve(units.size() * 2);
    for (char16_t u : units) {
        out.push_back(std::uint8_t(u & 0xFF));
        out.push_back(std::uint8_t(u >> 8));
    }
    return out;
}

// Size of the run form, or 0 when some unit cannot be written in it.
std::size_t runSize(std::span<const char16_t> units) {
    std::size_t size = 2;
    bool compressed = true;
    for (char16_t u : units) {
        const UnitKind kind = kindOf(u);
        if (kind == UnitKind::Unsafe) return 0;
        const bool narrow = kind == UnitKind::Narrow;
        if (narrow != compressed) {
            ++size;
            compressed = narrow;
        }
        size += narrow ? 1 : 2;
    }
    return size;
}

Bytes runBytes(std::span<const char16_t> units, std::size_t size) {
    Bytes out(std::begin(marker), std::end(marker));
    out.reserve(size);
    bool compressed = true;
    for (char16_t u : units) {
        const bool narrow = kindOf(u) == UnitKind::Narrow;
        if (narrow != compressed) {
            out.push_back(0);
            compressed = narrow;
        }
        out.push_back(std::uint8_t(u & 0xFF));
        if (!narrow) out.push_back(std::uint8_t(u >> 8));
    }
    return out;
}

} // namespace

std::string decodeJetText(std::span<const std::uint8_t> bytes) {
    if (isCompressed(bytes)) return decodeRuns(bytes.subspan(2));
    return utf16leToUtf8(bytes);
}

Bytes encodeJetText(std::string_view text, bool compress) {
    // Most stored text is ASCII without NUL: each character is one narrow unit, so the run
    // form is the marker and the bytes as they are, taken once it is the shorter.
    const bool ascii = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u != 0 && u < 0x80;
    });
    if (ascii) {
        Bytes out;
        if (compress && text.size() > 2) {
            out.reserve(text.size() + 2);
            out.assign(std::begin(marker), std::end(marker));
            out.insert(out.end(), text.begin(), text.end());
            return out;
        }
        out.reserve(text.size() * 2);
        for (char c : text) {
            out.push_back(std::uint8_t(c));
            out.push_back(0);
        }
        return out;
    }
    const std::vector<char16_t> units = utf16Units(text);
    if (!compress || units.empty()) return plainBytes(units);

    // Plain text that happens to begin with U+FEFF would read back as compressed, so the run
    // form is taken for it even when it is longer.
    const bool plainLooksCompressed = units.front() == 0xFEFF;
    const std::size_t size = runSize(units);
    if (size != 0 && (size < units.size() * 2 || plainLooksCompressed))
        return runBytes(units, size);
    return plainBytes(units);
}

} // namespace core
