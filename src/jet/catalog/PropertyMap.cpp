#include "jet/catalog/PropertyMap.h"

#include "core/ObjectName.h"
#include "core/TextEncoding.h"
#include "jet/file/FileFormat.h"
#include "jet/rows/ValueDecoder.h"

#include <algorithm>
#include <cstring>

namespace jet {

namespace {
constexpr std::uint16_t kNameListChunk = 0x80;
constexpr std::uint16_t kTableChunk = 0x00;
constexpr std::uint16_t kColumnChunk = 0x01;

// Access 2000 blobs ("MR2") hold UTF-16 text, Access 97 blobs ("KKD") 8-bit text.
using TextDecoder = std::string (*)(ByteSpan);
std::string decodeUnicode(ByteSpan bytes) {
    return core::decodeJetText(bytes);
}
std::string decode8Bit(ByteSpan bytes) {
    return FileFormat::jet3().decodeText(bytes);
}

core::Value decodePropertyValue(std::uint8_t type, ByteSpan bytes, TextDecoder decodeText) {
    ColumnDef c;
    if (!isKnownColumnType(type)) return core::Value(core::Bytes(bytes.begin(), bytes.end()));
    c.type = static_cast<ColumnType>(type);
    switch (c.type) {
    case ColumnType::Boolean:
        return core::Value(!bytes.empty() && bytes[0] != 0);
    case ColumnType::Text:
    case ColumnType::Memo:
        return core::Value(decodeText(bytes));
    case ColumnType::Binary:
    case ColumnType::Ole:
        return core::Value(core::Bytes(bytes.begin(), bytes.end()));
    default:
        if (bytes.size() < fixedWidth(c.type)) return core::Value();
        return decodeFixed(c, bytes);
    }
}

void readProperties(ByteSpan chunk, const std::vector<std::string>& names, PropertyMap& map,
                    TextDecoder decodeText) {
    // After the chunk's length and type: a block naming the object (its length counts
    // itself; a block of six bytes or fewer names nothing), then the values.
    std::size_t off = 6;
    if (off + 4 > chunk.size()) return;
    std::uint32_t nameBlock = u32(chunk, off);
    if (nameBlock < 4 || nameBlock > chunk.size() - off)
        throwDamaged("a property blob is cut short");
    if (nameBlock > 6) {
        std::uint16_t nameLength = u16(chunk, off + 4);
        map.objectName = decodeText(slice(chunk, off + 6, nameLength, "a property map name"));
    }
    off += nameBlock;
    // Each value: length (counting itself), ddl flag, type, name index, data size, data.
    while (off + 8 <= chunk.size()) {
        std::uint16_t length = u16(chunk, off);
        if (length < 8 || off + length > chunk.size())
            throwDamaged("a property value is cut short");
        Property p;
        p.ddl = u8(chunk, off + 2) != 0;
        p.type = u8(chunk, off + 3);
        std::uint16_t nameIndex = u16(chunk, off + 4);
        std::uint16_t valueLength = u16(chunk, off + 6);
        if (nameIndex < names.size()) p.name = names[nameIndex];
        auto value = slice(chunk, off + 8, std::min<std::size_t>(valueLength, length - 8u),
                           "a property value");
        p.value = decodePropertyValue(p.type, value, decodeText);
        map.properties.push_back(std::move(p));
        off += length;
    }
}
} // namespace

const Property* PropertyMap::find(std::string_view name) const {
    for (const auto& p : properties)
        if (core::sameName(p.name, name)) return &p;
    return nullptr;
}

const PropertyMap* PropertyMaps::column(std::string_view name) const {
    for (const auto& m : columns)
        if (core::sameName(m.objectName, name)) return &m;
    return nullptr;
}

PropertyMaps parsePropertyMaps(ByteSpan blob) {
    PropertyMaps maps;
    if (blob.size() < 4) return maps;
    TextDecoder decodeText = nullptr;
    if (std::memcmp(blob.data(), "MR2", 3) == 0) decodeText = decodeUnicode;
    if (std::memcmp(blob.data(), "KKD", 3) == 0) decodeText = decode8Bit;
    if (!decodeText) return maps;
    std::vector<std::string> names;
    std::size_t off = 4;
    bool tableSeen = false;
    while (off + 6 <= blob.size()) {
        std::uint32_t length = u32(blob, off);
        if (length < 6 || length > blob.size() - off) throwDamaged("a property blob is cut short");
        ByteSpan chunk = blob.subspan(off, length);
        std::uint16_t type = u16(chunk, 4);
        if (type == kNameListChunk) {
            for (std::size_t p = 6; p + 2 <= chunk.size();) {
                std::uint16_t n = u16(chunk, p);
                names.push_back(decodeText(slice(chunk, p + 2, n, "a property name")));
                p += 2 + n;
            }
        } else if (type == kTableChunk && !tableSeen) {
            readProperties(chunk, names, maps.table, decodeText);
            tableSeen = true;
        } else if (type == kColumnChunk || type == kTableChunk) {
            PropertyMap m;
            readProperties(chunk, names, m, decodeText);
            maps.columns.push_back(std::move(m));
        }
        off += length;
    }
    return maps;
}

} // namespace jet
