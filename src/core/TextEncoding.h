#pragma once
// Text as Jet stores it (UCS-2 little-endian, optionally "compressed") and as the program
// holds it (UTF-8), plus the locale's 8-bit code page for text files.
#include "core/Value.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace core {

// One code point of a UTF-8 text and the number of bytes it took.
struct DecodedCodePoint {
    char32_t codePoint;
    std::size_t length;
};

// Decodes the code point starting at text[pos] (pos < text.size()); a malformed sequence gives
// U+FFFD and covers its longest valid-looking prefix, at least one byte.
DecodedCodePoint decodeUtf8(std::string_view text, std::size_t pos);
// Appends one code point as UTF-8; surrogates and values past U+10FFFF become U+FFFD.
void appendUtf8(std::string& out, char32_t codePoint);

// UTF-16LE bytes to UTF-8; unpaired surrogates become U+FFFD, an odd last byte is ignored.
std::string utf16leToUtf8(std::span<const std::uint8_t> bytes);
// UTF-8 to UTF-16LE bytes; invalid UTF-8 becomes U+FFFD.
Bytes utf8ToUtf16le(std::string_view text);

// Jet 4 text field content: compressed (starts FF FE, one byte per character in runs
// toggled by 00) or plain UTF-16LE.
std::string decodeJetText(std::span<const std::uint8_t> bytes);
// Compresses when that saves space, as Access does for columns marked compressible: runs of
// U+0001..U+00FF take one byte per character. Text holding a character that has a zero byte
// outside those runs (U+0000, U+0100, U+4E00...) stays plain, because readers would take that
// byte for a run switch.
Bytes encodeJetText(std::string_view text, bool compress);

// Windows-1252 (the 8-bit code page the program uses for text files) to and from UTF-8;
// characters the code page lacks become "?".
std::string cp1252ToUtf8(std::string_view bytes);
std::string utf8ToCp1252(std::string_view text);
// Text an Access 97 file stores in Windows-1252; the five bytes the code page leaves
// undefined become U+FFFD, as other readers of such files show them.
std::string windows1252TextToUtf8(std::span<const std::uint8_t> bytes);
// Text for an Access 97 file: its Windows-1252 bytes, or the first character the code page
// cannot hold (nothing is ever replaced, so what is written reads back as it was given).
struct EncodedText {
    Bytes bytes;
    std::optional<char32_t> missing;
};
EncodedText utf8ToWindows1252Text(std::string_view text);

// Number of UTF-16 code units of a UTF-8 text (Jet's idea of a text's length).
std::size_t utf16Length(std::string_view text);

} // namespace core
