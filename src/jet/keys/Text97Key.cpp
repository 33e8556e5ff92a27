// The accent part is a string of nibbles between two 0 nibbles: for each accented letter, a
// "no accent" nibble for every letter since the previous accented one, then its accent.
// Letters after the last accent and characters that are not letters leave no nibble.
#include "jet/keys/Text97Key.h"

#include "core/TextEncoding.h"
#include "jet/keys/General97SortTable.h"
#include "jet/keys/KeyBytes.h"
#include "jet/keys/TextKey.h"

#include <algorithm>

namespace jet {

namespace {

constexpr std::uint8_t kNoAccent = 0x2;
constexpr std::uint8_t kAccentBound = 0x0;
constexpr std::uint8_t kEndOfText = 0x00;
constexpr char32_t kReplacement = 0xFFFD;
// Where a file holds a byte Windows-1252 leaves undefined, reading shows U+FFFD; all five
// such bytes weigh the same, so any of them keys it.
constexpr std::uint8_t kUndefinedByte = 0x81;

// The byte the file stores for a character: what the code page has for it, else "?", as
// text is written into Access 97 files.
std::uint8_t storedByte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return std::uint8_t(cp);
    if (cp == kReplacement) return kUndefinedByte;
    const auto& map = general97Cp1252Mappings;
    const auto it =
        std::lower_bound(map.begin(), map.end(), cp, [](const Cp1252Mapping& m, char32_t c) {
            return char32_t(m.unicode) < c;
        });
    return it != map.end() && char32_t(it->unicode) == cp ? it->byte : std::uint8_t('?');
}

class NibbleWriter {
public:
    explicit NibbleWriter(core::Bytes& out) : out_(out) {}
    void put(std::uint8_t nibble) {
        if (high_)
            out_.push_back(std::uint8_t(nibble << 4));
        else
            out_.back() = std::uint8_t(out_.back() | nibble);
        high_ = !high_;
    }

private:
    core::Bytes& out_;
    bool high_ = true;
};

} // namespace

void appendIndexText97Key(core::Bytes& out, std::string_view utf8, bool ascending) {
    const std::size_t start = out.size();
    const std::size_t end = utf8.find_last_not_of(' ');
    utf8 = utf8.substr(0, end == std::string_view::npos ? 0 : end + 1);

    core::Bytes accents;
    NibbleWriter nibbles(accents);
    std::size_t lettersSinceAccent = 0;
    std::size_t characters = 0;
    for (std::size_t pos = 0; pos < utf8.size() && characters < indexedTextUnits; ++characters) {
        char32_t cp = std::uint8_t(utf8[pos]);
        if (cp < 0x80) {
            ++pos;
        } else {
            const auto [decoded, length] = core::decodeUtf8(utf8, pos);
            cp = decoded;
            pos += length;
        }
        const Sort97Code& code = general97SortCodes[storedByte(cp)];
        out.insert(out.end(), code.weight.begin(), code.weight.begin() + code.weightLength);
        if (code.accent == 0) {
            lettersSinceAccent += code.letters;
            continue;
        }
        if (accents.empty()) nibbles.put(kAccentBound);
        for (; lettersSinceAccent > 0; --lettersSinceAccent) nibbles.put(kNoAccent);
        nibbles.put(code.accent);
    }
    if (accents.empty()) {
        out.push_back(kEndOfText);
    } else {
        nibbles.put(kAccentBound);
        out.insert(out.end(), accents.begin(), accents.end());
    }
    if (!ascending) key_bytes::complementFrom(out, start);
}

} // namespace jet
