#include "CodecSupport.h"

#include "common/Samples.h"
#include "core/TextEncoding.h"
#include "jet/rows/LongValue.h"
#include "jet/rows/ValueDecoder.h"

#include <algorithm>
#include <sstream>
#include <type_traits>

namespace codec_test {

using namespace jet;

core::Bytes MemoryLongValueStore::storeExternal(ColumnType type,
                                                std::span<const std::uint8_t> data) {
    stored_.push_back({type, core::Bytes(data.begin(), data.end())});
    return longValueReference(static_cast<std::uint32_t>(data.size()), long_value::kSingleRow,
                              static_cast<std::uint32_t>(stored_.size()));
}

core::Bytes MemoryLongValueStore::resolve(ByteSpan ref) const {
    requireRange(ref, 0, long_value::kReferenceSize, "a reference is cut short");
    const std::uint32_t length = u24(ref, 0);
    if (ref[3] & long_value::kInline) {
        auto data = slice(ref, long_value::kReferenceSize, length, "inline data is cut short");
        return core::Bytes(data.begin(), data.end());
    }
    const std::uint32_t pointer = u32(ref, 4);
    if (pointer == 0 || pointer > stored_.size()) throwDamaged("a reference names nothing stored");
    const core::Bytes& data = stored_[pointer - 1].data;
    if (data.size() != length) throwDamaged("a reference gives the wrong length");
    return data;
}

core::Value readBack(const RowLayout& row, const ColumnDef& c, const MemoryLongValueStore& store,
                     const FileFormat& format) {
    if (c.type == ColumnType::Boolean) return core::Value(row.bit(c.number));
    if (c.isFixed()) {
        auto bytes = row.fixedBytes(c);
        if (!bytes) return {};
        if (c.type == ColumnType::Text) return core::Value(format.decodeText(*bytes));
        return decodeFixed(c, *bytes);
    }
    auto bytes = row.variableBytes(c);
    if (!bytes) return {};
    switch (c.type) {
    case ColumnType::Text:
        return core::Value(format.decodeText(*bytes));
    case ColumnType::Memo:
        return core::Value(format.decodeText(store.resolve(*bytes)));
    case ColumnType::Ole:
        return core::Value(store.resolve(*bytes));
    case ColumnType::Binary:
        return core::Value(core::Bytes(bytes->begin(), bytes->end()));
    default:
        return decodeFixed(c, *bytes);
    }
}

std::vector<core::Value> readBackRow(const TableSchema& table, ByteSpan bytes,
                                     const MemoryLongValueStore& store, const FileFormat& format) {
    const bool hasVariable =
        table.variableColumns > 0 || std::any_of(table.columns.begin(), table.columns.end(),
                                                 [](const ColumnDef& c) { return !c.isFixed(); });
    RowLayout row(bytes, hasVariable, format);
    std::vector<core::Value> values;
    for (const auto& c : table.columns) values.push_back(readBack(row, c, store, format));
    return values;
}

namespace {

// Remembers the first difference found, with the place it was found in.
class FirstDifference {
public:
    template <class T> void check(const std::string& what, const T& a, const T& b) {
        if (!text_.empty() || a == b) return;
        std::ostringstream out;
        out << place_ << what << ": ";
        if constexpr (std::is_same_v<T, std::string>)
            out << "'" << a << "' vs '" << b << "'";
        else
            out << +a << " vs " << +b;
        text_ = out.str();
    }
    void at(std::string place) { place_ = std::move(place); }
    const std::string& text() const { return text_; }

private:
    std::string place_;
    std::string text_;
};

} // namespace

std::string schemaDifference(const TableSchema& a, const TableSchema& b) {
    FirstDifference d;
    d.check("systemTable", a.systemTable, b.systemTable);
    d.check("rowCount", a.rowCount, b.rowCount);
    d.check("nextAutoNumber", a.nextAutoNumber, b.nextAutoNumber);
    d.check("maxColumns", a.maxColumns, b.maxColumns);
    d.check("variableColumns", a.variableColumns, b.variableColumns);
    d.check("usageMapPointer", a.usageMapPointer, b.usageMapPointer);
    d.check("freeMapPointer", a.freeMapPointer, b.freeMapPointer);
    d.check("column count", a.columns.size(), b.columns.size());
    for (std::size_t i = 0; i < std::min(a.columns.size(), b.columns.size()); ++i) {
        const ColumnDef &x = a.columns[i], &y = b.columns[i];
        d.at("column " + std::to_string(i) + " '" + x.name + "' ");
        d.check("name", x.name, y.name);
        d.check("type", static_cast<int>(x.type), static_cast<int>(y.type));
        d.check("rawType", x.rawType, y.rawType);
        d.check("number", x.number, y.number);
        d.check("displayIndex", x.displayIndex, y.displayIndex);
        d.check("varIndex", x.varIndex, y.varIndex);
        d.check("fixedOffset", x.fixedOffset, y.fixedOffset);
        d.check("size", x.size, y.size);
        d.check("flags", x.flags, y.flags);
        d.check("miscFlags", x.miscFlags, y.miscFlags);
        d.check("precision", x.precision, y.precision);
        d.check("scale", x.scale, y.scale);
        d.check("sortOrder", x.sortOrder, y.sortOrder);
        d.check("codePage", x.codePage, y.codePage);
    }
    d.at("");
    d.check("index data count", a.indexData.size(), b.indexData.size());
    for (std::size_t i = 0; i < std::min(a.indexData.size(), b.indexData.size()); ++i) {
        const IndexData &x = a.indexData[i], &y = b.indexData[i];
        d.at("index data " + std::to_string(i) + " ");
        d.check("column count", x.columns.size(), y.columns.size());
        for (std::size_t k = 0; k < std::min(x.columns.size(), y.columns.size()); ++k) {
            d.check("column number", x.columns[k].columnNumber, y.columns[k].columnNumber);
            d.check("column order", x.columns[k].ascending, y.columns[k].ascending);
        }
        d.check("usage map", x.usageMapPointer, y.usageMapPointer);
        d.check("first page", x.firstPage, y.firstPage);
        d.check("flags", x.flags, y.flags);
        d.check("entry count", x.entryCount, y.entryCount);
    }
    d.at("");
    d.check("index count", a.indexes.size(), b.indexes.size());
    for (std::size_t i = 0; i < std::min(a.indexes.size(), b.indexes.size()); ++i) {
        const IndexDef &x = a.indexes[i], &y = b.indexes[i];
        d.at("index " + std::to_string(i) + " '" + x.name + "' ");
        d.check("name", x.name, y.name);
        d.check("number", x.number, y.number);
        d.check("dataIndex", x.dataIndex, y.dataIndex);
        d.check("kind", static_cast<int>(x.kind), static_cast<int>(y.kind));
        d.check("related table type", x.relatedTableType, y.relatedTableType);
        d.check("related index", x.relatedIndexNumber, y.relatedIndexNumber);
        d.check("related table page", x.relatedTablePage, y.relatedTablePage);
        d.check("cascade updates", x.cascadeUpdates, y.cascadeUpdates);
        d.check("cascade deletes", x.cascadeDeletes, y.cascadeDeletes);
    }
    return d.text();
}

std::vector<std::filesystem::path> sampleFiles() {
    std::vector<std::filesystem::path> files;
    if (!testing_support::haveSamples()) return files;
    for (const auto& entry : std::filesystem::directory_iterator(testing_support::samplesDir()))
        if (entry.path().extension() == ".mdb") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

ColumnDef column(std::string name, ColumnType type, std::uint16_t size) {
    ColumnDef c;
    c.name = std::move(name);
    c.type = type;
    c.rawType = static_cast<std::uint8_t>(type);
    const bool variable = type == ColumnType::Text || type == ColumnType::Memo ||
                          type == ColumnType::Binary || type == ColumnType::Ole;
    c.flags = column_flag::kNullable | (variable ? 0 : column_flag::kFixed);
    c.size = fixedWidth(type) ? fixedWidth(type) : size;
    if (type == ColumnType::Text || type == ColumnType::Memo) c.sortOrder = 0x0409;
    return c;
}

TableSchema tableOf(std::string name, std::vector<ColumnDef> columns) {
    TableSchema t;
    t.name = std::move(name);
    std::uint16_t fixedOffset = 0, varIndex = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        ColumnDef& c = columns[i];
        c.number = c.displayIndex = static_cast<std::uint16_t>(i);
        if (!c.isFixed()) {
            c.varIndex = varIndex++;
        } else if (c.type != ColumnType::Boolean) {
            c.fixedOffset = fixedOffset;
            fixedOffset = static_cast<std::uint16_t>(fixedOffset + c.size);
        }
    }
    t.maxColumns = static_cast<std::uint16_t>(columns.size());
    t.variableColumns = varIndex;
    t.columns = std::move(columns);
    return t;
}

} // namespace codec_test
