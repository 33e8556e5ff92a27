// Rows in both versions' layouts: every type, nulls, empty texts and long rows read back
// through the reader's row parser; the Jet 3 layout byte for byte, with its jump table; text an
// Access 97 file's code page cannot hold is refused by column.
#include "CodecSupport.h"
#include "core/Error.h"
#include "jet/rows/RowEncoder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using codec_test::column;
using codec_test::MemoryLongValueStore;
using codec_test::readBackRow;
using codec_test::tableOf;
using core::Value;
using jet::ColumnType;
using jet::FileFormat;
using Bytes = core::Bytes;

// A table whose text columns are sized in characters, as the version stores them.
jet::TableSchema versionTable(std::vector<jet::ColumnDef> columns, const FileFormat& format) {
    for (auto& c : columns) {
        c.charSize = static_cast<std::uint8_t>(format.write.textCharSize);
        if (c.type == ColumnType::Text) c.size = static_cast<std::uint16_t>(c.size * c.charSize);
    }
    return tableOf("T", std::move(columns));
}

jet::TableSchema everyType(const FileFormat& format) {
    return versionTable({column("id", ColumnType::Long), column("b", ColumnType::Byte),
                         column("i", ColumnType::Integer), column("cur", ColumnType::Currency),
                         column("s", ColumnType::Single), column("d", ColumnType::Double),
                         column("dt", ColumnType::DateTime), column("g", ColumnType::Guid),
                         column("flag", ColumnType::Boolean), column("t1", ColumnType::Text, 255),
                         column("flag2", ColumnType::Boolean), column("t2", ColumnType::Text, 255),
                         column("t3", ColumnType::Text, 255),
                         column("bin", ColumnType::Binary, 255), column("m", ColumnType::Memo),
                         column("o", ColumnType::Ole)},
                        format);
}

std::string repeated(const std::string& unit, std::size_t times) {
    std::string out;
    for (std::size_t k = 0; k < times; ++k) out += unit;
    return out;
}

struct RowCase {
    const char* name;
    std::vector<Value> values;
};

std::vector<RowCase> everyTypeRows() {
    core::Guid guid;
    for (std::size_t k = 0; k < guid.bytes.size(); ++k) guid.bytes[k] = std::uint8_t(k * 17);
    const std::string accents = "é ü € ’";
    return {
        {"typical values and 8-bit text",
         {Value(std::int32_t{-7}), Value(std::uint8_t{200}), Value(std::int16_t{-300}),
          Value(core::Currency{123456789}), Value(1.5f), Value(-2.25),
          Value(core::DateTime{45000.5}), Value(guid), Value(true), Value(accents), Value(false),
          Value("x"), Value(), Value(Bytes{1, 2, 3}), Value("memo " + accents), Value(Bytes{9})}},
        {"nulls",
         {Value(), Value(), Value(), Value(), Value(), Value(), Value(), Value(), Value(false),
          Value(), Value(false), Value(), Value(), Value(), Value(), Value()}},
        {"empty texts and data",
         {Value(std::int32_t{1}), Value(), Value(), Value(), Value(), Value(), Value(), Value(),
          Value(true), Value(""), Value(true), Value(""), Value(""), Value(Bytes{}), Value(""),
          Value(Bytes{})}},
        // Offsets pass 256, 512, 768 and 1024: the jump table names where.
        {"variable columns crossing 256-byte boundaries",
         {Value(std::int32_t{2}), Value(), Value(), Value(), Value(), Value(), Value(), Value(),
          Value(true), Value(repeated("a", 250)), Value(false), Value(repeated("é", 255)),
          Value(repeated("c", 200)), Value(Bytes(255, 0xAB)), Value(repeated("m", 60)), Value()}},
        {"binary data and long values beside nulls",
         {Value(std::int32_t{3}), Value(), Value(), Value(), Value(), Value(), Value(), Value(),
          Value(false), Value(), Value(false), Value(), Value(), Value(Bytes(255, 0x01)),
          Value(repeated("€", 64)), Value(Bytes(700, 0x5A))}},
        {"a long memo out of line",
         {Value(std::int32_t{4}), Value(), Value(), Value(), Value(), Value(), Value(), Value(),
          Value(false), Value("short"), Value(true), Value(), Value(), Value(),
          Value(repeated("long memo ’ ", 300)), Value(Bytes(3000, 0x33))}},
    };
}

const FileFormat& formatOf(jet::JetVersion version) {
    return version == jet::JetVersion::Jet3 ? FileFormat::jet3() : FileFormat::jet4();
}

class RowVersions : public testing::TestWithParam<jet::JetVersion> {};

TEST_P(RowVersions, EveryRowReadsBackAsWritten) {
    const FileFormat& format = formatOf(GetParam());
    const auto table = everyType(format);
    for (const auto& row : everyTypeRows()) {
        SCOPED_TRACE(row.name);
        MemoryLongValueStore store;
        const Bytes bytes = jet::encodeRow(table, row.values, store, format);
        EXPECT_LE(bytes.size(), jet::maxRowSize(format));
        const auto back = readBackRow(table, bytes, store, format);
        ASSERT_EQ(back.size(), row.values.size());
        for (std::size_t i = 0; i < back.size(); ++i)
            EXPECT_EQ(back[i], row.values[i]) << "column " << table.columns[i].name;
    }
}

// Many variable columns: the offset table itself crosses a boundary the data stays below, so
// the row carries a jump entry no offset needs.
TEST_P(RowVersions, AnOffsetTablePastTheLastBoundaryOfTheData) {
    const FileFormat& format = formatOf(GetParam());
    std::vector<jet::ColumnDef> columns;
    std::vector<Value> values;
    for (int k = 0; k < 40; ++k) {
        columns.push_back(column("c" + std::to_string(k), ColumnType::Text, 10));
        values.emplace_back(k % 7 == 3 ? Value() : Value(std::string(6, char('a' + k % 26))));
    }
    const auto table = versionTable(std::move(columns), format);
    MemoryLongValueStore store;
    const Bytes bytes = jet::encodeRow(table, values, store, format);
    EXPECT_EQ(readBackRow(table, bytes, store, format), values);
}

INSTANTIATE_TEST_SUITE_P(BothVersions, RowVersions,
                         testing::Values(jet::JetVersion::Jet3, jet::JetVersion::Jet4),
                         [](const auto& info) {
                             return info.param == jet::JetVersion::Jet3 ? "Jet3" : "Jet4";
                         });

TEST(Jet3Row, WritesTheJet3LayoutByteForByte) {
    const auto t =
        versionTable({column("id", ColumnType::Long), column("flag", ColumnType::Boolean),
                      column("a", ColumnType::Text, 20), column("b", ColumnType::Text, 20)},
                     FileFormat::jet3());
    MemoryLongValueStore store;
    const Bytes expected{0x04,                   // column count
                         0x07, 0x00, 0x00, 0x00, // id
                         'h',  0xE9,             // a: "hé" in Windows-1252
                         0x07,                   // end of variable data
                         0x07,                   // b starts (and ends) there
                         0x05,                   // a starts after the fixed area
                         0x02,                   // two variable columns
                         0x07};                  // id, flag (yes), a present; b null
    EXPECT_EQ(jet::encodeRow(
                  t, std::vector<Value>{Value(std::int32_t{7}), Value(true), Value("hé"), Value()},
                  store, FileFormat::jet3()),
              expected);
}

TEST(Jet3Row, TheJumpTableNamesTheFirstOffsetPastEachBoundary) {
    const auto t =
        versionTable({column("id", ColumnType::Long), column("a", ColumnType::Text, 255),
                      column("b", ColumnType::Text, 255), column("c", ColumnType::Text, 255),
                      column("d", ColumnType::Text, 255)},
                     FileFormat::jet3());
    MemoryLongValueStore store;
    // a at 5, b (null) and c at 255, d at 510, end of data 520: offsets 3 and 4 lie past 256
    // and past 512.
    const Bytes row = jet::encodeRow(
        t,
        std::vector<Value>{Value(std::int32_t{1}), Value(std::string(250, 'a')), Value(),
                           Value(std::string(255, 'c')), Value(std::string(10, 'd'))},
        store, FileFormat::jet3());
    ASSERT_EQ(row.size(), 529u);    // 520 + five offsets + two jumps + count + null mask
    EXPECT_EQ(row[520], 520 - 512); // the end of data, low byte
    EXPECT_EQ(row[524], 5);         // a
    EXPECT_EQ(row[526], 3) << "first jump: the offset of d";
    EXPECT_EQ(row[525], 4) << "second jump: the end of data";
    EXPECT_EQ(row[527], 4) << "variable column count";
}

TEST(Jet3Row, TextTheCodePageCannotHoldIsRefusedByColumn) {
    const std::vector<jet::ColumnDef> columns{column("id", ColumnType::Long),
                                              column("Name", ColumnType::Text, 50),
                                              column("Notes", ColumnType::Memo)};
    struct Case {
        std::vector<Value> values;
        const char* column;
        const char* character;
    };
    const std::vector<Case> cases{
        {{Value(std::int32_t{1}), Value("Kraków ā"), Value()}, "'Name'", "U+0101"},
        {{Value(std::int32_t{1}), Value("ok"), Value("中文")}, "'Notes'", "U+4E2D"},
        {{Value(std::int32_t{1}), Value(std::string("\xC2\x81")), Value()}, "'Name'", "U+0081"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        MemoryLongValueStore store;
        try {
            jet::encodeRow(versionTable(columns, FileFormat::jet3()), c.values, store,
                           FileFormat::jet3());
            ADD_FAILURE() << "text outside Windows-1252 was written";
        } catch (const core::ConstraintError& e) {
            EXPECT_THAT(e.what(), testing::HasSubstr(c.column));
            EXPECT_THAT(e.what(), testing::HasSubstr(c.character));
            EXPECT_THAT(e.what(), testing::HasSubstr("Windows-1252"));
        }
        // A Jet 4 file holds any of them.
        EXPECT_NO_THROW(jet::encodeRow(versionTable(columns, FileFormat::jet4()), c.values, store));
    }
}

} // namespace
