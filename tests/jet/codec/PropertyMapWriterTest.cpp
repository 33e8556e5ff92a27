// Property blobs: exact layout of a small blob, each value type's encoding, and every blob of
// every sample file parsed, written and parsed back.
#include "jet/catalog/PropertyMapWriter.h"
#include "CodecSupport.h"
#include "common/Samples.h"
#include "core/Conversions.h"
#include "core/Error.h"
#include "jet/Database.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

using core::Value;
using jet::ColumnType;
using Bytes = core::Bytes;

jet::Property property(std::string name, ColumnType type, Value value, bool ddl = false) {
    jet::Property p;
    p.name = std::move(name);
    p.type = static_cast<std::uint8_t>(type);
    p.ddl = ddl;
    p.value = std::move(value);
    return p;
}

std::string mapDifference(const jet::PropertyMap& a, const jet::PropertyMap& b) {
    if (a.objectName != b.objectName)
        return "map name '" + a.objectName + "' vs '" + b.objectName + "'";
    if (a.properties.size() != b.properties.size())
        return "'" + a.objectName + "' has " + std::to_string(a.properties.size()) + " vs " +
               std::to_string(b.properties.size()) + " properties";
    for (std::size_t i = 0; i < a.properties.size(); ++i) {
        const auto &x = a.properties[i], &y = b.properties[i];
        if (x.name != y.name || x.type != y.type || x.ddl != y.ddl || !(x.value == y.value))
            return "'" + a.objectName + "' property " + std::to_string(i) + " '" + x.name + "'";
    }
    return "";
}

std::string mapsDifference(const jet::PropertyMaps& a, const jet::PropertyMaps& b) {
    if (auto d = mapDifference(a.table, b.table); !d.empty()) return d;
    if (a.columns.size() != b.columns.size()) return "different number of column maps";
    for (std::size_t i = 0; i < a.columns.size(); ++i)
        if (auto d = mapDifference(a.columns[i], b.columns[i]); !d.empty()) return d;
    return "";
}

Bytes utf16(std::string_view ascii) {
    Bytes out;
    for (char ch : ascii) {
        out.push_back(static_cast<std::uint8_t>(ch));
        out.push_back(0);
    }
    return out;
}

void append(Bytes& out, std::initializer_list<std::uint8_t> bytes) {
    out.insert(out.end(), bytes);
}

void append(Bytes& out, const Bytes& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

TEST(PropertyMapWriter, WritesTheBlobAsAccessLaysItOut) {
    jet::PropertyMaps maps;
    maps.table.properties = {property("Orient", ColumnType::Byte, Value(std::uint8_t{0}))};
    jet::PropertyMap id;
    id.objectName = "ID";
    id.properties = {property("Required", ColumnType::Boolean, Value(true), true),
                     property("Orient", ColumnType::Byte, Value(std::uint8_t{1}))};
    maps.columns = {id};

    Bytes expected{'M', 'R', '2', 0};
    // Names, each once: length 6 + 2 + 12 + 2 + 16 = 38.
    append(expected, {38, 0, 0, 0, 0x80, 0x00, 12, 0});
    append(expected, utf16("Orient"));
    append(expected, {16, 0});
    append(expected, utf16("Required"));
    // The table's map: no name (a block of 6), one byte value.
    append(expected, {21, 0, 0, 0, 0x00, 0x00, 6, 0, 0, 0, 0, 0});
    append(expected, {9, 0, 0, 0x02, 0, 0, 1, 0, 0});
    // The column's map: named, then Required (ddl) and Orient.
    append(expected, {34, 0, 0, 0, 0x01, 0x00, 10, 0, 0, 0, 4, 0});
    append(expected, utf16("ID"));
    append(expected, {9, 0, 1, 0x01, 1, 0, 1, 0, 1});
    append(expected, {9, 0, 0, 0x02, 0, 0, 1, 0, 1});
    EXPECT_EQ(jet::encodePropertyMaps(maps), expected);
    EXPECT_EQ(mapsDifference(jet::parsePropertyMaps(expected), maps), "");
}

// The data bytes of a single property's value.
Bytes valueBytesOf(const jet::Property& p) {
    jet::PropertyMaps maps;
    maps.table.properties = {p};
    const Bytes blob = jet::encodePropertyMaps(maps);
    const std::size_t nameList = jet::u32(blob, 4);
    const std::size_t value = 4 + nameList + 12;
    const std::size_t size = jet::u16(blob, value + 6);
    return Bytes(blob.begin() + static_cast<std::ptrdiff_t>(value + 8),
                 blob.begin() + static_cast<std::ptrdiff_t>(value + 8 + size));
}

TEST(PropertyMapWriter, EachTypeIsStoredAsItsColumnTypeStoresIt) {
    const auto guid = core::parseGuid("00112233-4455-6677-8899-aabbccddeeff");
    const Bytes guidBytes(guid.bytes.begin(), guid.bytes.end());
    EXPECT_EQ(valueBytesOf(property("p", ColumnType::Boolean, Value(true))), Bytes{1});
    EXPECT_EQ(valueBytesOf(property("p", ColumnType::Boolean, Value(false))), Bytes{0});
    EXPECT_EQ(valueBytesOf(property("p", ColumnType::Integer, Value(std::int16_t{-2}), true)),
              (Bytes{0xFE, 0xFF}));
    // Integers Access sets outside table design take four bytes.
    EXPECT_EQ(valueBytesOf(property("ColumnWidth", ColumnType::Integer, Value(std::int16_t{-2}))),
              (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(valueBytesOf(property("p", ColumnType::Long, Value(std::int32_t{0x01020304}))),
              (Bytes{4, 3, 2, 1}));
    EXPECT_EQ(valueBytesOf(property("p", ColumnType::Currency, Value(core::Currency{1}))),
              (Bytes{1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(valueBytesOf(property("p", ColumnType::Double, Value(1.0))),
              (Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    EXPECT_EQ(valueBytesOf(property("p", ColumnType::DateTime, Value(core::DateTime{2.0}))),
              (Bytes{0, 0, 0, 0, 0, 0, 0, 0x40}));
    // Text is plain UTF-16 even where compression would save room.
    EXPECT_EQ(valueBytesOf(property("p", ColumnType::Text, Value("abc"))), utf16("abc"));
    EXPECT_EQ(valueBytesOf(property("p", ColumnType::Memo, Value(std::string(300, 'm')))),
              utf16(std::string(300, 'm')));
    EXPECT_EQ(valueBytesOf(property("p", ColumnType::Guid, Value(guid))), guidBytes);
    // GUIDs Access keeps as binary properties come through whole.
    EXPECT_EQ(valueBytesOf(property("GUID", ColumnType::Binary, Value(guid))), guidBytes);
    EXPECT_EQ(valueBytesOf(property("p", ColumnType::Ole, Value(Bytes{9, 8}))), (Bytes{9, 8}));
    jet::Property odd = property("p", ColumnType::Binary, Value(Bytes{5, 6}));
    odd.type = 0x11;
    EXPECT_EQ(valueBytesOf(odd), (Bytes{5, 6}));
    EXPECT_TRUE(valueBytesOf(property("p", ColumnType::Long, Value())).empty());
}

// A property's value comes of its own type; text is not read as a number nor a number
// written as text. Numbers of another kind fit as they would in a column.
TEST(PropertyMapWriter, ValuesOfAnotherKindAreRefused) {
    EXPECT_EQ(valueBytesOf(property("Size", ColumnType::Long, Value(std::int16_t{50}))),
              (Bytes{50, 0, 0, 0}));
    EXPECT_THROW(valueBytesOf(property("Size", ColumnType::Long, Value("50"))), core::TypeMismatch);
    EXPECT_THROW(valueBytesOf(property("Caption", ColumnType::Text, Value(std::int32_t{7}))),
                 core::TypeMismatch);
    EXPECT_THROW(valueBytesOf(property("Required", ColumnType::Boolean, Value("Yes"))),
                 core::TypeMismatch);
    jet::Property odd = property("p", ColumnType::Binary, Value("text"));
    odd.type = 0x11;
    EXPECT_THROW(valueBytesOf(odd), core::TypeMismatch);
}

TEST(PropertyMapWriter, NamesAreListedOnceInOrderOfFirstUse) {
    jet::PropertyMaps maps;
    jet::PropertyMap a, b;
    a.objectName = "A";
    a.properties = {property("Format", ColumnType::Text, Value("x")),
                    property("Caption", ColumnType::Text, Value("y"))};
    b.objectName = "B";
    b.properties = {property("Caption", ColumnType::Text, Value("z")),
                    property("InputMask", ColumnType::Text, Value("w")),
                    property("Format", ColumnType::Text, Value("v"))};
    maps.columns = {a, b};
    const Bytes blob = jet::encodePropertyMaps(maps);
    // No table properties: the blob goes straight from the names to the column maps.
    Bytes names;
    append(names, {12, 0});
    append(names, utf16("Format"));
    append(names, {14, 0});
    append(names, utf16("Caption"));
    append(names, {18, 0});
    append(names, utf16("InputMask"));
    ASSERT_EQ(jet::u32(blob, 4), 6 + names.size());
    EXPECT_TRUE(std::equal(names.begin(), names.end(), blob.begin() + 10));
    EXPECT_EQ(jet::u16(blob, 4 + 6 + names.size() + 4), 0x01);
    const auto back = jet::parsePropertyMaps(blob);
    EXPECT_EQ(mapsDifference(back, maps), "");
    ASSERT_NE(back.column("b"), nullptr);
    EXPECT_EQ(back.column("b")->find("format")->value, Value("v"));
}

TEST(PropertyMapWriter, EmptyMapsStillMakeAValidBlob) {
    const Bytes blob = jet::encodePropertyMaps({});
    EXPECT_EQ(blob, (Bytes{'M', 'R', '2', 0, 6, 0, 0, 0, 0x80, 0}));
    const auto back = jet::parsePropertyMaps(blob);
    EXPECT_TRUE(back.table.properties.empty());
    EXPECT_TRUE(back.columns.empty());
}

// How many names a blob's name list holds (Access keeps names no value uses any more).
std::size_t listedNames(jet::ByteSpan blob) {
    const std::size_t end = 4 + jet::u32(blob, 4);
    std::size_t count = 0;
    for (std::size_t p = 10; p + 2 <= end; p += 2u + jet::u16(blob, p)) ++count;
    return count;
}

std::size_t usedNames(const jet::PropertyMaps& maps) {
    std::vector<std::string> names;
    auto collect = [&](const jet::PropertyMap& m) {
        for (const auto& p : m.properties)
            if (std::find(names.begin(), names.end(), p.name) == names.end())
                names.push_back(p.name);
    };
    collect(maps.table);
    for (const auto& m : maps.columns) collect(m);
    return names.size();
}

TEST(SamplePropertyMaps, EveryBlobOfEverySampleReadsBackTheSame) {
    REQUIRE_SAMPLES();
    std::size_t blobs = 0, identical = 0, values = 0, staleNames = 0;
    for (const auto& path : codec_test::sampleFiles()) {
        SCOPED_TRACE(path.filename().string());
        auto db = jet::Database::open(path, codec_test::kSamplePassword);
        for (const auto& entry : db->catalog().entries()) {
            if (entry.propertyBlob.empty()) continue;
            SCOPED_TRACE(entry.name);
            const auto maps = jet::parsePropertyMaps(entry.propertyBlob);
            const Bytes blob = jet::encodePropertyMaps(maps);
            EXPECT_EQ(mapsDifference(jet::parsePropertyMaps(blob), maps), "");
            ++blobs;
            if (blob == entry.propertyBlob)
                ++identical;
            else if (listedNames(entry.propertyBlob) > usedNames(maps))
                ++staleNames;
            else
                ADD_FAILURE() << "the blob differs from Access's";
            values += maps.table.properties.size();
            for (const auto& m : maps.columns) values += m.properties.size();
        }
    }
    std::cout << "[ props    ] " << blobs << " blobs with " << values << " values: " << identical
              << " byte-identical to Access's, " << staleNames
              << " listing names of properties since removed\n";
    EXPECT_GT(blobs, 90u);
    EXPECT_EQ(identical + staleNames, blobs);
    EXPECT_GT(values, 2000u);
}

} // namespace
