#pragma once
// Strings crossing the ODBC boundary: the ANSI entry points take and give UTF-8, the wide
// ones UTF-16; lengths count bytes or characters as each function defines.
#include "odbc/Diagnostics.h"
#include "odbc/OdbcApi.h"

#include <optional>
#include <string>
#include <string_view>

namespace odbc {

// nullopt for a null pointer; `length` may be SQL_NTS (characters for wide text).
std::optional<std::string> textIn(const SQLCHAR* text, SQLLEN length);
std::optional<std::string> textIn(const SQLWCHAR* text, SQLLEN length);
inline std::string textOr(const std::optional<std::string>& text) {
    return text ? *text : std::string();
}

enum class Units { Narrow, WideChars, WideBytes };

// Writes the text with its terminating NUL into the buffer; `length` gets the whole
// length in the same units. Returns true when it did not fit.
bool textOut(std::string_view utf8, SQLPOINTER buffer, SQLLEN capacity, Units units,
             SQLLEN& length);

// textOut that records 01004 on the handle's diagnostics when the text did not fit.
template <class Length>
SQLRETURN putText(Diagnostics& diagnostics, std::string_view utf8, SQLPOINTER buffer,
                  SQLLEN capacity, Units units, Length* lengthOut) {
    SQLLEN length = 0;
    const bool truncated = textOut(utf8, buffer, capacity, units, length);
    if (lengthOut) *lengthOut = static_cast<Length>(length);
    if (!truncated) return SQL_SUCCESS;
    diagnostics.add("01004", "String data, right truncated.");
    return SQL_SUCCESS_WITH_INFO;
}

} // namespace odbc
