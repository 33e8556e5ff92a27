#include "jet/catalog/PropertyMapWriter.h"

#include "core/Error.h"
#include "core/TextEncoding.h"
#include "jet/file/Bytes.h"
#include "jet/rows/ColumnValue.h"
#include "jet/rows/RowEncoder.h"

#include <algorithm>
#include <string>

namespace jet {

namespace {

constexpr std::uint16_t kNameListChunk = 0x80;
constexpr std::uint16_t kTableChunk = 0x00;
constexpr std::uint16_t kColumnChunk = 0x01;
constexpr std::size_t kValueHeader = 8;

void append16(core::Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void appendName(core::Bytes& out, const std::string& name, const FileFormat& format) {
    const core::Bytes bytes = format.encodeName(name);
    if (bytes.size() > 0xFFFF) throw core::Error("The property name '" + name + "' is too long.");
    append16(out, static_cast<std::uint16_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// A property's value as its type stores it. The value is of that type already (as parsing a
// blob gives it, or as the writer of a definition sets it); another kind is refused.
core::Bytes valueBytes(const Property& p, const FileFormat& format) {
    if (p.value.isNull()) return {};
    if (!isKnownColumnType(p.type)) {
        if (const auto* bytes = p.value.getIf<core::Bytes>()) return *bytes;
        throw core::TypeMismatch("The property '" + p.name + "' has a type (" +
                                 std::to_string(p.type) + ") that holds only binary data.");
    }
    ColumnDef c;
    c.name = p.name;
    c.type = static_cast<ColumnType>(p.type);
    switch (c.type) {
    case ColumnType::Boolean:
        return core::Bytes{static_cast<std::uint8_t>(coerceToColumn(c, p.value).get<bool>())};
    case ColumnType::Text:
    case ColumnType::Memo:
        // Property text has no column size to keep to, and is never compressed.
        c.type = ColumnType::Memo;
        return format.encodeName(coerceToColumn(c, p.value).get<std::string>());
    case ColumnType::Binary:
    case ColumnType::Ole:
        // Access keeps some GUIDs as binary properties.
        if (const auto* g = p.value.getIf<core::Guid>())
            return core::Bytes(g->bytes.begin(), g->bytes.end());
        c.type = ColumnType::Ole;
        return coerceToColumn(c, p.value).get<core::Bytes>();
    case ColumnType::Integer:
        if (!p.ddl) {
            // Access gives the Integer properties it sets itself (column widths and order,
            // not those of the table design) four bytes, sign-extended.
            const auto n =
                static_cast<std::int32_t>(coerceToColumn(c, p.value).get<std::int16_t>());
            c.type = ColumnType::Long;
            return encodeFixed(c, core::Value(n));
        }
        return encodeFixed(c, p.value);
    default:
        return encodeFixed(c, p.value);
    }
}

std::size_t nameIndex(const std::vector<std::string>& names, const std::string& name) {
    return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

// One map: chunk length and type, a block naming the map (its length counts itself), then
// each value with its length (counting itself), ddl flag, type, name index and data size.
void appendMap(core::Bytes& out, const PropertyMap& map, std::uint16_t type,
               const std::vector<std::string>& names, const FileFormat& format) {
    const std::size_t chunkStart = out.size();
    out.resize(out.size() + 4);
    append16(out, type);
    const std::size_t nameBlockStart = out.size();
    out.resize(out.size() + 4);
    appendName(out, map.objectName, format);
    put32(out, nameBlockStart, static_cast<std::uint32_t>(out.size() - nameBlockStart));
    for (const auto& p : map.properties) {
        const core::Bytes data = valueBytes(p, format);
        if (data.size() + kValueHeader > 0xFFFF)
            throw core::Error("The value of property '" + p.name + "' is too long to store.");
        append16(out, static_cast<std::uint16_t>(data.size() + kValueHeader));
        out.push_back(p.ddl ? 1 : 0);
        out.push_back(p.type);
        append16(out, static_cast<std::uint16_t>(nameIndex(names, p.name)));
        append16(out, static_cast<std::uint16_t>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
    }
    put32(out, chunkStart, static_cast<std::uint32_t>(out.size() - chunkStart));
}

bool isEmpty(const PropertyMap& map) {
    return map.properties.empty() && map.objectName.empty();
}

} // namespace

core::Bytes encodePropertyMaps(const PropertyMaps& maps, const FileFormat& format) {
    std::vector<std::string> names;
    auto collect = [&](const PropertyMap& map) {
        for (const auto& p : map.properties)
            if (nameIndex(names, p.name) == names.size()) names.push_back(p.name);
    };
    collect(maps.table);
    for (const auto& m : maps.columns) collect(m);
    if (names.size() > 0xFFFF) throw core::Error("An object has too many properties to store.");

    const std::string_view signature = format.definitionWrite.propertySignature;
    core::Bytes out(signature.begin(), signature.end());
    out.push_back(0);
    const std::size_t listStart = out.size();
    out.resize(out.size() + 4);
    append16(out, kNameListChunk);
    for (const auto& n : names) appendName(out, n, format);
    put32(out, listStart, static_cast<std::uint32_t>(out.size() - listStart));

    if (!isEmpty(maps.table)) appendMap(out, maps.table, kTableChunk, names, format);
    for (const auto& m : maps.columns) appendMap(out, m, kColumnChunk, names, format);
    return out;
}

} // namespace jet
