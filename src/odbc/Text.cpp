#include "odbc/Text.h"

#include "core/TextEncoding.h"

#include <cstring>

namespace odbc {

std::optional<std::string> textIn(const SQLCHAR* text, SQLLEN length) {
    if (!text) return std::nullopt;
    const auto* chars = reinterpret_cast<const char*>(text);
    return std::string(chars,
                       length == SQL_NTS ? std::strlen(chars) : static_cast<std::size_t>(length));
}

std::optional<std::string> textIn(const SQLWCHAR* text, SQLLEN length) {
    if (!text) return std::nullopt;
    std::size_t n = 0;
    if (length == SQL_NTS)
        while (text[n] != 0) ++n;
    else
        n = static_cast<std::size_t>(length);
    std::string bytes(n * 2, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    return core::utf16leToUtf8({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

bool textOut(std::string_view utf8, SQLPOINTER buffer, SQLLEN capacity, Units units,
             SQLLEN& length) {
    if (units == Units::Narrow) {
        length = static_cast<SQLLEN>(utf8.size());
        if (!buffer || capacity <= 0) return buffer != nullptr && !utf8.empty();
        const std::size_t n = std::min(utf8.size(), static_cast<std::size_t>(capacity - 1));
        std::memcpy(buffer, utf8.data(), n);
        static_cast<char*>(buffer)[n] = '\0';
        return n < utf8.size();
    }
    const core::Bytes wide = core::utf8ToUtf16le(utf8);
    const std::size_t units16 = wide.size() / 2;
    const std::size_t room = units == Units::WideChars
                                 ? static_cast<std::size_t>(std::max<SQLLEN>(capacity, 0))
                                 : static_cast<std::size_t>(std::max<SQLLEN>(capacity, 0)) / 2;
    length = static_cast<SQLLEN>(units == Units::WideChars ? units16 : wide.size());
    if (!buffer || room == 0) return buffer != nullptr && units16 > 0;
    const std::size_t n = std::min(units16, room - 1);
    auto* out = static_cast<SQLWCHAR*>(buffer);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<SQLWCHAR>(wide[2 * i] | (wide[2 * i + 1] << 8));
    out[n] = 0;
    return n < units16;
}

} // namespace odbc
