#include "core/ObjectName.h"

#include "core/LetterCase.h"
#include "core/TextEncoding.h"

namespace core {

bool sameName(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[j]);
        // Most names are ASCII: compare those bytes without decoding.
        if (x < 0x80 && y < 0x80) {
            // Inline: a table's name is compared with every catalog entry at each row written.
            const auto fold = [](unsigned c) { return c >= 'A' && c <= 'Z' ? c | 0x20 : c; };
            if (x != y && fold(x) != fold(y)) return false;
            ++i;
            ++j;
            continue;
        }
        const auto [cx, lx] = decodeUtf8(a, i);
        const auto [cy, ly] = decodeUtf8(b, j);
        if (cx != cy && lowerCase(cx) != lowerCase(cy)) return false;
        i += lx;
        j += ly;
    }
    return i == a.size() && j == b.size();
}

} // namespace core
