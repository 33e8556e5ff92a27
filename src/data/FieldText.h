#pragma once
// A field's value as text and back: the text with no display format (what the filter and
// locate dialogs compare), the text the grid shows, and the reading of what the user typed.
#include "core/Value.h"
#include "data/FieldType.h"
#include "data/LocaleFormats.h"

#include <string>
#include <string_view>

namespace data {

// Null as "", Yes/No as "True"/"False", numbers in their shortest exact form, money without
// trailing zeros ("12.5"), dates in the locale's formats, GUIDs in braces, bytes in hex.
std::string valueText(const core::Value& value, const LocaleFormats& formats);

// valueText, except money in the locale's currency format and OLE objects as "(BLOB)".
std::string displayText(const core::Value& value, FieldType type, const LocaleFormats& formats);

// What the user typed, as a value of the kind `target`: "" is Null except for text; numbers
// as Jet reads them ("1,000", "1.5E3"); dates through the locale's formats. Raises
// core::TypeMismatch ("'abc' is not a valid integer value") for text that is not one.
core::Value valueFromText(std::string_view text, core::DataType target,
                          const LocaleFormats& formats);

// Any value given for a field, as the kind of value the field holds (`target` Null: as it
// is). Text goes through valueFromText; other kinds convert with Jet's rules.
core::Value convertForField(const core::Value& value, core::DataType target,
                            const LocaleFormats& formats);

} // namespace data
