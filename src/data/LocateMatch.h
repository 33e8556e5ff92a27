#pragma once
// The test Locate applies to each record: does the field's value match the key?
#include "core/Value.h"
#include "data/FieldType.h"
#include "data/LocaleFormats.h"
#include "data/LocateOptions.h"

namespace data {

// A Null key matches Null only. Text fields, and any field with a partial option, are
// compared as text (valueText), ignoring letter case with the case-insensitive option; with
// the partial-key option the value need only begin with the key, with the anywhere option
// contain it (an empty key then matches nothing). Other fields compare by
// value, the key converted to the field's kind (a key that does not convert matches
// nothing).
bool locateMatches(const core::Value& fieldValue, FieldType type, core::DataType valueType,
                   const core::Value& key, LocateOptions options, const LocaleFormats& formats);

// Equal values; decimals by their number, whatever their scales (12.50 is 12.500).
bool sameValue(const core::Value& a, const core::Value& b);

} // namespace data
