// The row codec on hand-built rows and pages: null mask, fixed and variable areas, columns
// added after a row was written, and damaged rows.
#include "jet/rows/RowLayout.h"
#include "core/Error.h"
#include "jet/rows/DataPage.h"
#include "jet/rows/ValueDecoder.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

jet::ColumnDef column(jet::ColumnType type, std::uint16_t number, std::uint16_t offset,
                      bool fixed) {
    jet::ColumnDef c;
    c.type = type;
    c.number = number;
    c.fixedOffset = fixed ? offset : 0;
    c.varIndex = fixed ? 0 : offset;
    c.flags = fixed ? jet::column_flag::kFixed : 0;
    return c;
}

// A row of a table (Long id, Yes/No flag, Text a, Text b) written when it had 4 columns:
// id = 7, flag = true, a = "hi" (UTF-16), b = null.
Bytes sampleRow() {
    Bytes r(2 + 4 + 4 + 2 + 2 * 3 + 2 + 1);
    put16(r, 0, 4); // column count
    r[2] = 7;       // id, fixed at offset 0
    r[6] = 'h';     // var data of "a" at row offset 6
    r[8] = 'i';
    put16(r, 10, 0); // padding byte pair (unused)
    // offsets table, from the end backwards: [eod][b][a] then count
    std::size_t mask = r.size() - 1;
    put16(r, mask - 2, 2);  // two variable columns
    put16(r, mask - 4, 6);  // a starts at 6
    put16(r, mask - 6, 10); // b starts at 10 (empty, null anyway)
    put16(r, mask - 8, 10); // end of variable data
    r[mask] = 0b0111;       // id, flag, a not null; b null
    return r;
}

TEST(RowLayout, ReadsFixedVariableAndNullColumns) {
    Bytes r = sampleRow();
    jet::RowLayout row(r, true);
    EXPECT_EQ(row.columnCount(), 4);
    auto id = column(jet::ColumnType::Long, 0, 0, true);
    auto flag = column(jet::ColumnType::Boolean, 1, 0, true);
    auto a = column(jet::ColumnType::Text, 2, 0, false);
    auto b = column(jet::ColumnType::Text, 3, 1, false);
    auto bytes = row.fixedBytes(id);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(jet::decodeFixed(id, *bytes), core::Value(std::int32_t{7}));
    EXPECT_TRUE(row.bit(flag.number));
    auto text = row.variableBytes(a);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), 4u);
    EXPECT_FALSE(row.variableBytes(b));
}

TEST(RowLayout, ColumnAddedAfterTheRowWasWrittenReadsAsNull) {
    Bytes r = sampleRow();
    jet::RowLayout row(r, true);
    auto added = column(jet::ColumnType::Long, 9, 4, true);
    EXPECT_FALSE(row.bit(added.number));
    EXPECT_FALSE(row.fixedBytes(added));
    auto addedVar = column(jet::ColumnType::Text, 10, 5, false);
    EXPECT_FALSE(row.variableBytes(addedVar));
}

TEST(RowLayout, DamagedRowsRaiseFormatErrors) {
    Bytes tiny{1};
    EXPECT_THROW(jet::RowLayout(tiny, false), core::FormatError);

    Bytes r = sampleRow();
    std::size_t mask = r.size() - 1;
    put16(r, mask - 2, 200); // more variable columns than the row can hold
    EXPECT_THROW(jet::RowLayout(r, true), core::FormatError);

    r = sampleRow();
    put16(r, mask - 4, 11); // a starts after it ends
    jet::RowLayout row(r, true);
    EXPECT_THROW(row.variableBytes(column(jet::ColumnType::Text, 2, 0, false)), core::FormatError);

    r = sampleRow();
    jet::RowLayout ok(r, true);
    auto farFixed = column(jet::ColumnType::Double, 0, 60, true);
    EXPECT_THROW(ok.fixedBytes(farFixed), core::FormatError);
}

TEST(DataPage, SlotFlagsTellRowsPointersAndDeletions) {
    Bytes page(4096);
    page[0] = 0x01;
    put16(page, 12, 4);
    put16(page, 14, 4000);          // a row
    put16(page, 16, 0x4000 | 3990); // a pointer to a moved row
    put16(page, 18, 0xC000 | 3980); // a deleted row
    put16(page, 20, 0x8000 | 3970); // a row that moved here
    auto s0 = jet::rowSlot(page, 0);
    EXPECT_EQ(s0.start, 4000);
    EXPECT_EQ(s0.end, 4096);
    EXPECT_TRUE(s0.holdsRow());
    auto s1 = jet::rowSlot(page, 1);
    EXPECT_TRUE(s1.pointer);
    EXPECT_FALSE(s1.holdsRow());
    EXPECT_EQ(s1.end, 4000);
    EXPECT_TRUE(jet::rowSlot(page, 2).deleted);
    auto s3 = jet::rowSlot(page, 3);
    EXPECT_TRUE(s3.movedHere);
    EXPECT_TRUE(s3.holdsRow());
    EXPECT_EQ(s3.end, 3980);
    EXPECT_THROW(jet::rowSlot(page, 4), core::FormatError);

    put16(page, 14, 3); // a row starting inside the slot table
    EXPECT_THROW(jet::rowSlot(page, 0), core::FormatError);
}

// A Jet 3 row of two text columns: one-byte counts and offsets, and a jump entry once the
// offsets pass 256. The short row needs no jump; the long one's second column starts below
// 256 and ends above it.
TEST(RowLayout, Jet3OffsetsAddAJumpForEach256Bytes) {
    struct Case {
        std::size_t first, second; // lengths of the two values
    };
    for (Case c : {Case{3, 2}, Case{200, 100}}) {
        SCOPED_TRACE(c.first);
        const std::size_t end = 1 + c.first + c.second;
        const std::uint8_t jumps = end >= 256 ? 1 : 0;
        Bytes r(1, 2); // column count
        r.insert(r.end(), c.first, 'a');
        r.insert(r.end(), c.second, 'b');
        for (std::size_t offset : {end, 1 + c.first, std::size_t(1)})
            r.push_back(static_cast<std::uint8_t>(offset & 0xFF));
        if (jumps) r.push_back(2); // the end-of-data entry is the first past 256
        r.push_back(2);            // variable column count
        r.push_back(0x03);         // null mask: both present
        ASSERT_EQ((r.size() - 1) / 256, jumps);

        jet::RowLayout row(r, true, jet::FileFormat::jet3());
        auto a = column(jet::ColumnType::Text, 0, 0, false);
        auto b = column(jet::ColumnType::Text, 1, 1, false);
        EXPECT_EQ(row.columnCount(), 2);
        EXPECT_EQ(row.variableBytes(a)->size(), c.first);
        auto second = row.variableBytes(b);
        ASSERT_TRUE(second);
        EXPECT_EQ(second->size(), c.second);
        EXPECT_EQ((*second)[0], 'b');
        EXPECT_EQ(jet::FileFormat::jet3().decodeText(*second), std::string(c.second, 'b'));
    }
}

TEST(ValueDecoder, NumericWordsRunMostSignificantFirst) {
    // 12345678901234567890 = 0xAB54A98CEB1F0AD2 at scale 4 -> 1234567890123456.7890
    Bytes b(17, 0);
    b[0] = 0x80; // negative
    std::uint64_t v = 12345678901234567890ull;
    for (int i = 0; i < 4; ++i) b[13 + i] = static_cast<std::uint8_t>(v >> (8 * i));
    for (int i = 0; i < 4; ++i) b[9 + i] = static_cast<std::uint8_t>(v >> (32 + 8 * i));
    auto d = jet::decodeNumeric(b);
    EXPECT_TRUE(d.negative);
    EXPECT_EQ(d.lo, static_cast<std::uint32_t>(v));
    EXPECT_EQ(d.mid, static_cast<std::uint32_t>(v >> 32));
    EXPECT_EQ(d.hi, 0u);
    b[1] = 1; // beyond 96 bits
    EXPECT_THROW(jet::decodeNumeric(b), core::FormatError);
}

} // namespace
