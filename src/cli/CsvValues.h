#pragma once
// The CSV dialect's values: how each kind of value is written as field text, and how field
// text is read for a column. Numbers use "." and no thousands separators, dates are ISO 8601,
// yes/no is true/false (1/0, yes/no and -1 are read too), binary is hex; Null is an unquoted
// empty field.
#include "cli/CsvReader.h"
#include "core/Value.h"
#include "sql/engine/storage/TableInfo.h"

#include <string>
#include <string_view>

namespace cli {

// The field text of a value, and whether it must be quoted (an empty text or binary, which
// unquoted would read back as Null).
struct CsvText {
    std::string text;
    bool quote = false;
};
CsvText csvText(const core::Value& value);

// The value a field gives a column, converted to the column's type and checked against its
// size. Throws core::TypeMismatch saying why the text does not fit.
core::Value csvFieldValue(const sql::ColumnInfo& column, const CsvField& field);

// The shapes a field's text can have, shared by reading and by type inference.
bool isCsvInteger(std::string_view text);  // "-12", "0"; not "007", "+1"
bool isCsvNumber(std::string_view text);   // an integer, optionally ".digits" and an exponent
bool isCsvCurrency(std::string_view text); // an integer, optionally "." and 1 to 4 digits
// true/false, yes/no, 1/0/-1 in any case; nullopt otherwise.
std::optional<bool> csvYesNo(std::string_view text);

} // namespace cli
