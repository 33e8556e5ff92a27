#pragma once
// Writes the property blob of a catalog entry, the inverse of parsePropertyMaps.
#include "core/Value.h"
#include "jet/catalog/PropertyMap.h"
#include "jet/file/FileFormat.h"

namespace jet {

// "MR2\0" ("KKD\0" and 8-bit text in an Access 97 file), a chunk listing every property name once
// (first use first), the table's own map and one map per column, each map's values in their given
// order. A value is written as its property type stores it (text as plain UTF-16, yes/no as one
// byte, numbers little-endian, GUIDs as 16 bytes; an Integer that is not a DDL property takes four
// bytes, as Access writes it). A value comes of its property's type (a number may be of another
// kind of number, a GUID may fill a binary property); anything else throws core::TypeMismatch.
// Null is written with no data.
core::Bytes encodePropertyMaps(const PropertyMaps& maps,
                               const FileFormat& format = FileFormat::jet4());

} // namespace jet
