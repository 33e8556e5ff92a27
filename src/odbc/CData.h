#pragma once
// Values moving between the engine and the application's C buffers: a column value into the
// C type the application asks for (SQLGetData, SQLBindCol), a parameter's C data into an
// engine value (SQLBindParameter). Currency and decimals stay exact both ways.
#include "core/Value.h"
#include "odbc/OdbcApi.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace odbc {

// A buffer the application gave: its C type, address, length in bytes and indicator.
struct CBuffer {
    SQLSMALLINT cType = SQL_C_CHAR;
    void* data = nullptr;
    SQLLEN length = 0;
    SQLLEN* indicator = nullptr;
};

// Whether values of this C type are read in pieces (characters and bytes).
bool isPiecewise(SQLSMALLINT cType);

// The bytes a value gives in a piecewise C type: SQL_C_CHAR UTF-8 text, SQL_C_WCHAR
// UTF-16, SQL_C_BINARY the value's bytes. Raises 07006 when the value has no such form.
std::string piecewiseForm(const core::Value& value, SQLSMALLINT cType);

// Copies `form` from `offset` into the buffer (characters end with a NUL), sets the
// indicator to the bytes that remained, and returns how many bytes were copied.
std::size_t writePiece(std::string_view form, std::size_t offset, const CBuffer& buffer);

// Writes a value of a fixed-size C type and its size into the indicator; raises 22003 when
// it does not fit the type, 22018 for text that is no number or date, 07006 otherwise.
void writeFixed(const core::Value& value, const CBuffer& buffer);

// The text form of a value, as SQL_C_CHAR gives it: dates as "YYYY-MM-DD HH:MM:SS",
// yes/no as 1 and 0, currency with four decimals, GUIDs in braces.
std::string characterText(const core::Value& value);

// The engine value of a parameter's C data. `length` is the byte count (SQL_NTS for a
// NUL-ended text); `sqlType` and `digits` say what the application means the value to be.
core::Value readParameter(SQLSMALLINT cType, SQLSMALLINT sqlType, const void* data, SQLLEN length);

// The size in bytes of a value of a fixed-size C type; 0 for the piecewise ones.
std::size_t fixedSize(SQLSMALLINT cType);

} // namespace odbc
