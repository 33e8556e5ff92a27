// Rows of hand-built tables: exact layout, every type read back through the reader's row
// parser, nulls and yes/no bits, deleted-column gaps, memo and OLE placement, size limits.
#include "jet/rows/RowEncoder.h"
#include "CodecSupport.h"
#include "core/Conversions.h"
#include "core/Error.h"
#include "core/TextEncoding.h"
#include "jet/rows/LongValue.h"

#include <gtest/gtest.h>

namespace {

using codec_test::column;
using codec_test::MemoryLongValueStore;
using codec_test::readBackRow;
using codec_test::tableOf;
using core::Value;
using jet::ColumnType;
using Bytes = core::Bytes;

core::Decimal decimal(bool negative, std::uint64_t magnitude, std::uint8_t scale) {
    core::Decimal d;
    d.negative = negative;
    d.lo = static_cast<std::uint32_t>(magnitude);
    d.mid = static_cast<std::uint32_t>(magnitude >> 32);
    d.scale = scale;
    return d;
}

jet::ColumnDef compressed(jet::ColumnDef c) {
    c.miscFlags |= 0x01;
    return c;
}

// Encodes the values and reads them back; they must come back as given.
void expectRoundTrip(const jet::TableSchema& t, const std::vector<Value>& values) {
    MemoryLongValueStore store;
    Bytes row = jet::encodeRow(t, values, store);
    EXPECT_LE(row.size(), jet::maxRowSize());
    auto back = readBackRow(t, row, store);
    ASSERT_EQ(back.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(back[i], values[i]) << "column " << t.columns[i].name;
}

TEST(RowEncoder, WritesTheJet4LayoutByteForByte) {
    auto t = tableOf("T", {column("id", ColumnType::Long), column("flag", ColumnType::Boolean),
                           column("a", ColumnType::Text, 20), column("b", ColumnType::Text, 20)});
    MemoryLongValueStore store;
    std::vector<Value> values{Value(std::int32_t{7}), Value(true), Value("hi"), Value()};
    Bytes expected{0x04, 0x00,             // column count
                   0x07, 0x00, 0x00, 0x00, // id
                   'h',  0x00, 'i',  0x00, // a
                   0x0A, 0x00,             // end of variable data
                   0x0A, 0x00,             // b starts (and ends) there
                   0x06, 0x00,             // a starts after the fixed area
                   0x02, 0x00,             // two variable columns
                   0x07};                  // id, flag (yes), a present; b null
    EXPECT_EQ(jet::encodeRow(t, values, store), expected);
    EXPECT_TRUE(store.stored().empty());
}

TEST(RowEncoder, EveryTypeComesBackThroughTheReader) {
    auto amount = column("amount", ColumnType::Numeric);
    amount.precision = 28;
    amount.scale = 4;
    auto t = tableOf(
        "All",
        {column("byte", ColumnType::Byte), column("int", ColumnType::Integer),
         column("long", ColumnType::Long), column("money", ColumnType::Currency),
         column("single", ColumnType::Single), column("double", ColumnType::Double),
         column("when", ColumnType::DateTime), column("guid", ColumnType::Guid), amount,
         column("yes", ColumnType::Boolean), compressed(column("text", ColumnType::Text, 100)),
         column("wide", ColumnType::Text, 100), compressed(column("memo", ColumnType::Memo)),
         column("ole", ColumnType::Ole), column("bin", ColumnType::Binary, 16)});
    const auto guid = core::parseGuid("{6B29FC40-CA47-1067-B31D-00DD010662DA}");
    expectRoundTrip(
        t, {Value(std::uint8_t{255}), Value(std::int16_t{-32768}), Value(std::int32_t{INT32_MIN}),
            Value(core::Currency{INT64_MIN}), Value(-1.25f), Value(6.02214076e23),
            Value(core::DateTime{-1.25}), Value(guid), Value(decimal(true, 123456789012345ull, 4)),
            Value(true), Value("Zo\xC3\xAB"), Value("\xE4\xB8\xAD\xE6\x96\x87 text"),
            Value(std::string(3000, 'm')), Value(Bytes(70, 0xAB)), Value(Bytes{0, 1, 2})});
    expectRoundTrip(t, {Value(std::uint8_t{0}), Value(std::int16_t{32767}),
                        Value(std::int32_t{INT32_MAX}), Value(core::Currency{INT64_MAX}),
                        Value(3.4e38f), Value(-0.0), Value(core::DateTime{2958465.5}),
                        Value(core::Guid{}), Value(decimal(false, 0, 4)), Value(false), Value(""),
                        Value(""), Value("short"), Value(Bytes{9}), Value(Bytes{})});
}

TEST(RowEncoder, NullAndEmptyTextDiffer) {
    auto t = tableOf("T", {column("a", ColumnType::Text, 20), column("b", ColumnType::Text, 20),
                           column("m", ColumnType::Memo), column("n", ColumnType::Memo)});
    expectRoundTrip(t, {Value(""), Value(), Value(""), Value()});
    expectRoundTrip(t, {Value(), Value(""), Value(), Value("")});
    MemoryLongValueStore store;
    Bytes row =
        jet::encodeRow(t, std::vector<Value>{Value(""), Value(), Value(""), Value()}, store);
    EXPECT_EQ(row.back(), 0b0101); // the empty values are present, the nulls are not
}

TEST(RowEncoder, YesNoValuesLiveOnlyInTheNullMask) {
    auto t = tableOf("Flags", {column("a", ColumnType::Boolean), column("b", ColumnType::Boolean),
                               column("c", ColumnType::Boolean)});
    MemoryLongValueStore store;
    // No variable columns: no offset table, no count; just the column count and the mask.
    EXPECT_EQ(jet::encodeRow(t, std::vector<Value>{Value(true), Value(false), Value(true)}, store),
              (Bytes{0x03, 0x00, 0b101}));
    // Null in a yes/no column is stored as No.
    EXPECT_EQ(jet::encodeRow(t, std::vector<Value>{Value(), Value(true), Value()}, store),
              (Bytes{0x03, 0x00, 0b010}));
    expectRoundTrip(t, {Value(false), Value(true), Value(false)});
}

TEST(RowEncoder, DeletedColumnsLeaveGapsInTheMaskAndTheOffsetTable) {
    // Columns 1, 3 and 4 were deleted: numbers 0, 2, 5 remain, variable indexes 0 and 2.
    auto id = column("id", ColumnType::Long);
    id.number = 0;
    auto a = column("a", ColumnType::Text, 20);
    a.number = 2;
    a.varIndex = 0;
    auto b = column("b", ColumnType::Text, 20);
    b.number = 5;
    b.varIndex = 2;
    jet::TableSchema t;
    t.name = "Gaps";
    t.maxColumns = 6;
    t.variableColumns = 3;
    t.columns = {id, a, b};
    MemoryLongValueStore store;
    Bytes row = jet::encodeRow(
        t, std::vector<Value>{Value(std::int32_t{1}), Value("x"), Value("yz")}, store);
    Bytes expected{0x06,    0x00, 0x01, 0x00, 0x00, 0x00, 'x',
                   0x00,    'y',  0x00, 'z',  0x00, 0x0C, 0x00, // end of data
                   0x08,    0x00,                               // b (varIndex 2)
                   0x08,    0x00, // the deleted column's entry: empty, where b starts
                   0x06,    0x00, // a
                   0x03,    0x00, // highest varIndex + 1
                   0b100101};     // bits 0, 2 and 5
    EXPECT_EQ(row, expected);
    expectRoundTrip(t, {Value(std::int32_t{1}), Value("x"), Value("yz")});
}

TEST(RowEncoder, FullLengthTextsOfTwoHundredFiftyFiveCharacters) {
    auto t = tableOf("T", {compressed(column("latin", ColumnType::Text, 510)),
                           column("plain", ColumnType::Text, 510),
                           compressed(column("cjk", ColumnType::Text, 510))});
    std::string cjk;
    for (int i = 0; i < 255; ++i) cjk += "\xE4\xB8\xAD";
    expectRoundTrip(t, {Value(std::string(255, 'a')), Value(std::string(255, 'b')), Value(cjk)});
    MemoryLongValueStore store;
    Bytes row = jet::encodeRow(
        t,
        std::vector<Value>{Value(std::string(255, 'a')), Value(std::string(255, 'b')), Value(cjk)},
        store);
    // 2 + (2 + 255) compressed + 510 + 510 + trailer 10 + mask 1
    EXPECT_EQ(row.size(), 2u + 257u + 510u + 510u + 10u + 1u);
    EXPECT_THROW(jet::encodeRow(
                     t, std::vector<Value>{Value(std::string(256, 'a')), Value(), Value()}, store),
                 core::ConstraintError);
}

TEST(RowEncoder, NumericSignsAndCurrencyExtremesAreStoredAsJetStoresThem) {
    auto amount = column("amount", ColumnType::Numeric);
    amount.precision = 18;
    amount.scale = 2;
    auto t = tableOf("N", {amount, column("money", ColumnType::Currency)});
    MemoryLongValueStore store;
    Bytes row = jet::encodeRow(
        t, std::vector<Value>{Value(decimal(true, 150, 2)), Value(core::Currency{INT64_MIN})},
        store);
    Bytes fixed(row.begin() + 2, row.begin() + 2 + 17 + 8);
    Bytes expected{0x80, 0, 0, 0, 0, 0, 0, 0,   0, 0, 0, 0, 0, 150, 0, 0, 0, // -1.50
                   0,    0, 0, 0, 0, 0, 0, 0x80};                            // INT64_MIN
    EXPECT_EQ(fixed, expected);
    expectRoundTrip(t, {Value(decimal(true, 1, 2)), Value(core::Currency{-1})});
    expectRoundTrip(t, {Value(decimal(false, 999999999999999999ull, 2)), Value(core::Currency{1})});
    // A number given at another scale or of another kind is brought to the column's.
    Bytes again = jet::encodeRow(
        t, std::vector<Value>{Value(decimal(true, 15, 1)), Value(std::int32_t{-2})}, store);
    Bytes minusTwo{0x80, 0,    0,    0,    0,    0,    0,    0,   0,
                   0,    0,    0,    0,    150,  0,    0,    0,     // -1.50
                   0xE0, 0xB1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}; // -20000 units
    EXPECT_EQ(Bytes(again.begin() + 2, again.begin() + 2 + 17 + 8), minusTwo);
}

TEST(RowEncoder, GuidsAndFixedTextFillTheirSlots) {
    auto code = column("code", ColumnType::Text, 8);
    code.flags |= jet::column_flag::kFixed;
    auto t = tableOf("G", {column("id", ColumnType::Guid), code});
    const auto guid = core::parseGuid("00112233-4455-6677-8899-aabbccddeeff");
    MemoryLongValueStore store;
    Bytes row = jet::encodeRow(t, std::vector<Value>{Value(guid), Value("ab")}, store);
    Bytes expected{0x02, 0x00, 0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77,
                   0x66, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF,
                   'a',  0,    'b',  0,    ' ',  0,    ' ',  0,    0b11};
    EXPECT_EQ(row, expected);
    expectRoundTrip(t, {Value(guid), Value("abcd")});
    EXPECT_THROW(jet::encodeRow(t, std::vector<Value>{Value(guid), Value("abcde")}, store),
                 core::ConstraintError);

    // Fixed-length binary (as in MSysAccessObjects) is padded with zeros.
    auto key = column("key", ColumnType::Binary, 4);
    key.flags |= jet::column_flag::kFixed;
    auto b = tableOf("B", {key});
    EXPECT_EQ(jet::encodeRow(b, std::vector<Value>{Value(Bytes{7, 8})}, store),
              (Bytes{0x01, 0x00, 7, 8, 0, 0, 0b1}));
    EXPECT_THROW(jet::encodeRow(b, std::vector<Value>{Value(Bytes(5, 1))}, store),
                 core::ConstraintError);
}

TEST(RowEncoder, ColumnsSharingAVariableIndexAreRefused) {
    auto t = tableOf("T", {column("a", ColumnType::Text, 10), column("b", ColumnType::Text, 10)});
    t.columns[1].varIndex = 0;
    MemoryLongValueStore store;
    EXPECT_THROW(jet::encodeRow(t, std::vector<Value>{Value("x"), Value("y")}, store), core::Error);
    EXPECT_NO_THROW(jet::encodeRow(t, std::vector<Value>{Value("x"), Value()}, store));
}

TEST(RowEncoder, SmallLongValuesStayInTheRowLargeOnesGoToTheStore) {
    auto t = tableOf("L", {column("memo", ColumnType::Memo), column("ole", ColumnType::Ole)});
    MemoryLongValueStore store;
    // 32 characters are 64 bytes of UTF-16: the largest value kept inline.
    Bytes row = jet::encodeRow(
        t, std::vector<Value>{Value(std::string(32, 'q')), Value(Bytes(65, 1))}, store);
    ASSERT_EQ(store.stored().size(), 1u);
    EXPECT_EQ(store.stored()[0].type, ColumnType::Ole);
    EXPECT_EQ(store.stored()[0].data, Bytes(65, 1));
    // The inline memo: length 64, kind 0x80, zero pointer, then the data.
    EXPECT_EQ(Bytes(row.begin() + 2, row.begin() + 14), jet::longValueReference(64, 0x80, 0));
    EXPECT_EQ(row.size(), 2u + 12u + 64u + 12u + 8u + 1u);
    expectRoundTrip(t, {Value(std::string(32, 'q')), Value(Bytes(65, 1))});
    expectRoundTrip(t, {Value(std::string(33, 'q')), Value(Bytes(64, 1))});
}

TEST(RowEncoder, MemoCompressionFollowsTheColumnUpToTenTwentyFourCharacters) {
    auto t = tableOf(
        "M", {compressed(column("memo", ColumnType::Memo)), column("plain", ColumnType::Memo)});
    MemoryLongValueStore store;
    jet::encodeRow(
        t, std::vector<Value>{Value(std::string(1024, 'c')), Value(std::string(100, 'p'))}, store);
    ASSERT_EQ(store.stored().size(), 2u);
    EXPECT_EQ(store.stored()[0].data, core::encodeJetText(std::string(1024, 'c'), true));
    EXPECT_EQ(store.stored()[0].data.size(), 1026u);
    EXPECT_EQ(store.stored()[1].data.size(), 200u);
    jet::encodeRow(t, std::vector<Value>{Value(std::string(1025, 'c')), Value()}, store);
    EXPECT_EQ(store.stored()[2].data.size(), 2050u);
    expectRoundTrip(t, {Value(std::string(1025, 'c')), Value(std::string(10, 'p'))});
}

TEST(RowEncoder, LongValuesLeaveTheRowWhenThereIsNoRoomLeft) {
    std::vector<jet::ColumnDef> columns;
    for (int i = 0; i < 7; ++i)
        columns.push_back(column("t" + std::to_string(i), ColumnType::Text, 510));
    columns.push_back(column("t7", ColumnType::Text, 510));
    columns.push_back(column("memo", ColumnType::Memo));
    auto t = tableOf("Full", columns);
    std::vector<Value> values(7, Value(std::string(255, 'x')));
    values.push_back(Value(std::string(210, 'y'))); // 420 bytes
    values.push_back(Value(std::string(30, 'z')));  // 60 bytes: small, but no room for it
    MemoryLongValueStore store;
    Bytes row = jet::encodeRow(t, values, store);
    EXPECT_EQ(store.stored().size(), 1u);
    EXPECT_LE(row.size(), jet::maxRowSize());
    expectRoundTrip(t, values);

    values[7] = Value(std::string(190, 'y')); // 40 bytes fewer: now it fits
    MemoryLongValueStore roomy;
    jet::encodeRow(t, values, roomy);
    EXPECT_TRUE(roomy.stored().empty());
}

TEST(RowEncoder, ARowThatCannotFitIsRefusedBeforeAnythingIsStored) {
    std::vector<jet::ColumnDef> columns;
    for (int i = 0; i < 8; ++i)
        columns.push_back(column("t" + std::to_string(i), ColumnType::Text, 510));
    columns.push_back(column("memo", ColumnType::Memo));
    auto t = tableOf("TooBig", columns);
    std::vector<Value> values(8, Value(std::string(255, 'x')));
    values.push_back(Value(std::string(5000, 'm')));
    MemoryLongValueStore store;
    try {
        jet::encodeRow(t, values, store);
        ADD_FAILURE() << "no exception";
    } catch (const core::ConstraintError& e) {
        EXPECT_STREQ(e.what(), "Record is too large.");
    }
    EXPECT_TRUE(store.stored().empty());
    values[0] = Value(std::string(200, 'x')); // 110 bytes fewer, with the memo out of line
    EXPECT_NO_THROW(jet::encodeRow(t, values, store));
}

// Numbers of another kind and day counts are brought to their columns' types; text is not
// read as a number or a date, nor a number written as text.
TEST(RowEncoder, ValuesAreBroughtToTheirColumnsTypes) {
    auto t = tableOf("C", {column("n", ColumnType::Long), column("d", ColumnType::DateTime),
                           column("s", ColumnType::Text, 20)});
    MemoryLongValueStore store;
    Bytes coerced = jet::encodeRow(
        t, std::vector<Value>{Value(std::int16_t{12}), Value(36925.0), Value("5")}, store);
    Bytes exact = jet::encodeRow(
        t, std::vector<Value>{Value(std::int32_t{12}), Value(core::DateTime{36925}), Value("5")},
        store);
    EXPECT_EQ(coerced, exact);
    for (const auto& row : {std::vector<Value>{Value("12"), Value(), Value()},
                            std::vector<Value>{Value(), Value("2001-02-03"), Value()},
                            std::vector<Value>{Value(), Value(), Value(std::int32_t{5})}})
        EXPECT_THROW(jet::encodeRow(t, row, store), core::TypeMismatch);
    EXPECT_THROW(jet::encodeRow(t, std::vector<Value>{Value()}, store), core::Error);
}

TEST(RowEncoder, TheRowCountsEveryColumnEverMade) {
    auto t = tableOf("T", {column("a", ColumnType::Long), column("b", ColumnType::Text, 10)});
    t.maxColumns = 12; // ten columns were added and deleted since
    t.variableColumns = 4;
    MemoryLongValueStore store;
    Bytes row = jet::encodeRow(t, std::vector<Value>{Value(std::int32_t{1}), Value("q")}, store);
    EXPECT_EQ(row[0], 12);
    EXPECT_EQ(row.size(), 2u + 4u + 2u + 2u + 2u * 1u + 2u + 2u); // mask of two bytes
    expectRoundTrip(t, {Value(std::int32_t{1}), Value("q")});
}

TEST(RowEncoder, ReferencesAndAStoreThatMisbehaves) {
    EXPECT_EQ(jet::longValueReference(0x123456, 0x40, 0xAABBCCDD),
              (Bytes{0x56, 0x34, 0x12, 0x40, 0xDD, 0xCC, 0xBB, 0xAA, 0, 0, 0, 0}));
    EXPECT_THROW(jet::longValueReference(0x1000000, 0x00, 1), core::ConstraintError);

    struct ShortStore : jet::LongValueStore {
        Bytes storeExternal(ColumnType, std::span<const std::uint8_t>) override { return Bytes(4); }
    } bad;
    auto t = tableOf("T", {column("ole", ColumnType::Ole)});
    EXPECT_THROW(jet::encodeRow(t, std::vector<Value>{Value(Bytes(100, 1))}, bad), core::Error);
}

} // namespace
