#pragma once
// Text keys in the General sort order of Access 97 (Jet 3) files: the weights of the text's
// Windows-1252 bytes, then either an end byte or, when the text has accented letters, where
// the accents fall and which they are, a nibble each.
#include "core/Value.h"

#include <string_view>

namespace jet {

// Appends the text part of an index key (everything after the column's flag byte): the
// first 255 characters of the text without its trailing blanks.
void appendIndexText97Key(core::Bytes& out, std::string_view utf8, bool ascending);

} // namespace jet
