// Table definitions of hand-built schemas: field offsets, the entries for columns and indexes,
// the long-value usage maps, and the split over definition pages.
#include "jet/schema/TableDefinitionWriter.h"
#include "CodecSupport.h"
#include "core/Error.h"
#include "jet/file/Bytes.h"
#include "jet/schema/TableDefinition.h"

#include <gtest/gtest.h>

namespace {

using codec_test::column;
using codec_test::schemaDifference;
using codec_test::tableOf;
using jet::ColumnType;
using jet::u16;
using jet::u32;
using jet::u8;
using Bytes = core::Bytes;

// Orders(ID Long, Customer Text(50), Amount Decimal(12,2), Notes Memo) with a primary key on
// ID and a foreign key on Customer.
jet::TableSchema orders() {
    auto amount = column("Amount", ColumnType::Numeric);
    amount.precision = 12;
    amount.scale = 2;
    auto customer = column("Customer", ColumnType::Text, 100);
    customer.miscFlags = 0x01;
    auto id = column("ID", ColumnType::Long);
    id.flags |= jet::column_flag::kAutoLong;
    auto t = tableOf("Orders", {id, customer, amount, column("Notes", ColumnType::Memo)});
    t.rowCount = 17;
    t.nextAutoNumber = 18;
    t.usageMapPointer = 0x00001200;
    t.freeMapPointer = 0x00001201;
    jet::IndexData primary;
    primary.columns = {{0, true}};
    primary.usageMapPointer = 0x00001202;
    primary.firstPage = 0x31;
    primary.flags = jet::index_flag::kUnique | jet::index_flag::kRequired;
    primary.entryCount = 17;
    jet::IndexData byCustomer;
    byCustomer.columns = {{1, true}, {2, false}};
    byCustomer.usageMapPointer = 0x00001203;
    byCustomer.firstPage = 0x32;
    byCustomer.entryCount = 5;
    t.indexData = {primary, byCustomer};
    jet::IndexDef pk;
    pk.name = "PrimaryKey";
    pk.number = 0;
    pk.dataIndex = 0;
    pk.kind = jet::IndexKind::Primary;
    jet::IndexDef fk;
    fk.name = "CustomersOrders";
    fk.number = 1;
    fk.dataIndex = 1;
    fk.kind = jet::IndexKind::ForeignKey;
    fk.relatedTableType = 0x02;
    fk.relatedIndexNumber = 0;
    fk.relatedTablePage = 0x21;
    fk.cascadeUpdates = true;
    fk.cascadeDeletes = false;
    t.indexes = {pk, fk};
    return t;
}

std::size_t columnEntry(std::size_t realIndexes, std::size_t i) {
    return jet::tdef::kRealIndexStart + jet::tdef::kRealIndexEntry * realIndexes +
           jet::tdef::kColumnEntry * i;
}

TEST(TableDefinitionWriter, HeaderFieldsSitWhereTheReaderLooks) {
    auto t = orders();
    Bytes d = jet::encodeTableDefinition(t);
    EXPECT_EQ(d[0], 0x02);
    EXPECT_EQ(d[1], 0x01);
    EXPECT_EQ(u32(d, jet::tdef::kLength), d.size());
    EXPECT_EQ(u32(d, 12), jet::kDefinitionMagic);
    EXPECT_EQ(u32(d, jet::tdef::kRowCount), 17u);
    EXPECT_EQ(u32(d, jet::tdef::kAutoNumber), 18u);
    EXPECT_EQ(d[24], 0x01);
    EXPECT_EQ(d[jet::tdef::kTableType], jet::tdef::kUserTable);
    EXPECT_EQ(u16(d, jet::tdef::kMaxColumns), 4);
    EXPECT_EQ(u16(d, jet::tdef::kVariableColumns), 2);
    EXPECT_EQ(u16(d, jet::tdef::kColumnCount), 4);
    EXPECT_EQ(u32(d, jet::tdef::kLogicalIndexCount), 2u);
    EXPECT_EQ(u32(d, jet::tdef::kRealIndexCount), 2u);
    EXPECT_EQ(u32(d, jet::tdef::kUsageMap), 0x1200u);
    EXPECT_EQ(u32(d, jet::tdef::kFreeMap), 0x1201u);
    EXPECT_EQ(u32(d, jet::tdef::kRealIndexStart + 4), 17u); // entries of the first index
    EXPECT_EQ(u16(d, d.size() - 2), 0xFFFF);

    t.systemTable = true;
    EXPECT_EQ(jet::encodeTableDefinition(t)[jet::tdef::kTableType], jet::tdef::kSystemTable);
}

TEST(TableDefinitionWriter, ColumnEntriesCarryEveryField) {
    Bytes d = jet::encodeTableDefinition(orders());
    const std::size_t customer = columnEntry(2, 1);
    const Bytes expectedCustomer{0x0A, 0x59, 0x06, 0x00, 0x00, // type, constant
                                 0x01, 0x00,                   // number
                                 0x00, 0x00,                   // variable index
                                 0x01, 0x00,                   // display index
                                 0x09, 0x04, 0x00, 0x00,       // sort order, code page
                                 0x02, 0x01,                   // nullable; compressed text
                                 0x00, 0x00, 0x00, 0x00,       // unknown
                                 0x00, 0x00,                   // fixed offset
                                 0x64, 0x00};                  // 100 bytes
    EXPECT_EQ(Bytes(d.begin() + customer, d.begin() + customer + 25), expectedCustomer);
    const std::size_t amount = columnEntry(2, 2);
    EXPECT_EQ(d[amount], 0x10);
    EXPECT_EQ(d[amount + 11], 12); // precision
    EXPECT_EQ(d[amount + 12], 2);  // scale
    EXPECT_EQ(u16(d, amount + 21), 4);
    EXPECT_EQ(u16(d, amount + 23), 17);
    const std::size_t id = columnEntry(2, 0);
    EXPECT_EQ(d[id + 15], 0x07); // fixed, nullable, autonumber
    EXPECT_EQ(u16(d, id + 11), 0x0409);
    // Names follow the entries as plain UTF-16 with their byte length.
    const std::size_t names = columnEntry(2, 4);
    EXPECT_EQ(u16(d, names), 4);
    EXPECT_EQ(Bytes(d.begin() + names + 2, d.begin() + names + 6), (Bytes{'I', 0, 'D', 0}));
}

TEST(TableDefinitionWriter, IndexEntriesFillUnusedSlotsAndMarkForeignKeys) {
    auto t = orders();
    Bytes d = jet::encodeTableDefinition(t);
    std::size_t off = columnEntry(2, 4);
    for (const auto& c : t.columns) off += 2 + 2 * c.name.size();
    const std::size_t second = off + jet::tdef::kIndexDataEntry;
    EXPECT_EQ(u32(d, off), jet::kIndexDataMagic);
    EXPECT_EQ(u16(d, second + 4), 1);       // Customer
    EXPECT_EQ(d[second + 6], 0x01);         // ascending
    EXPECT_EQ(u16(d, second + 7), 2);       // Amount
    EXPECT_EQ(d[second + 9], 0x00);         // descending
    EXPECT_EQ(u16(d, second + 10), 0xFFFF); // unused slots
    EXPECT_EQ(u16(d, second + 31), 0xFFFF);
    EXPECT_EQ(u32(d, off + 34), 0x1202u);
    EXPECT_EQ(u32(d, off + 38), 0x31u);
    EXPECT_EQ(d[off + 46], jet::index_flag::kUnique | jet::index_flag::kRequired);

    const std::size_t pk = off + 2 * jet::tdef::kIndexDataEntry;
    const std::size_t fk = pk + jet::tdef::kLogicalIndexEntry;
    const Bytes expectedPk{0x59, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                           0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00,
                           0x00, 0x04, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(Bytes(d.begin() + pk, d.begin() + pk + 28), expectedPk);
    const Bytes expectedFk{0x59, 0x06, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00,
                           0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x21, 0x00, 0x00,
                           0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(Bytes(d.begin() + fk, d.begin() + fk + 28), expectedFk);

    t.indexData[1].columns.resize(11, {0, true});
    EXPECT_THROW(jet::encodeTableDefinition(t), core::Error);
    t = orders();
    t.indexes[1].dataIndex = 2;
    EXPECT_THROW(jet::encodeTableDefinition(t), core::Error);
}

TEST(TableDefinitionWriter, ParsingWhatWasWrittenGivesTheSameSchema) {
    auto t = orders();
    auto back = jet::parseTableDefinition(jet::encodeTableDefinition(t), 0);
    back.name = t.name;
    // The reader sees the 4s Access keeps in a normal index's cascade bytes as set.
    EXPECT_TRUE(back.indexes[0].cascadeUpdates);
    EXPECT_TRUE(back.indexes[0].cascadeDeletes);
    t.indexes[0].cascadeUpdates = t.indexes[0].cascadeDeletes = true;
    EXPECT_EQ(schemaDifference(t, back), "");
    // Each foreign-key cascade flag travels on its own.
    t.indexes[1].cascadeUpdates = false;
    t.indexes[1].cascadeDeletes = true;
    back = jet::parseTableDefinition(jet::encodeTableDefinition(t), 0);
    back.name = t.name;
    EXPECT_EQ(schemaDifference(t, back), "");
}

TEST(TableDefinitionWriter, LongValueUsageMapsFollowTheIndexNames) {
    const std::vector<jet::LongValueUsageMaps> maps{{3, 0x00001204, 0x00001205}};
    Bytes plain = jet::encodeTableDefinition(orders());
    Bytes d = jet::encodeTableDefinition(orders(), maps);
    EXPECT_EQ(d.size(), plain.size() + 10);
    EXPECT_EQ(u32(d, jet::tdef::kLength), d.size());
    EXPECT_EQ(Bytes(d.end() - 12, d.end()),
              (Bytes{0x03, 0x00, 0x04, 0x12, 0x00, 0x00, 0x05, 0x12, 0x00, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(jet::readLongValueUsageMaps(d), maps);
    EXPECT_TRUE(jet::readLongValueUsageMaps(plain).empty());
    EXPECT_EQ(
        schemaDifference(jet::parseTableDefinition(d, 0), jet::parseTableDefinition(plain, 0)), "");
}

TEST(TableDefinitionWriter, PageCountsAtTheBoundaries) {
    EXPECT_EQ(jet::definitionPageCount(Bytes(100)), 1u);
    EXPECT_EQ(jet::definitionPageCount(Bytes(4096)), 1u);
    EXPECT_EQ(jet::definitionPageCount(Bytes(4097)), 2u);
    EXPECT_EQ(jet::definitionPageCount(Bytes(4096 + 4088)), 2u);
    EXPECT_EQ(jet::definitionPageCount(Bytes(4096 + 4089)), 3u);
}

TEST(TableDefinitionWriter, ASmallDefinitionTakesOnePage) {
    Bytes d = jet::encodeTableDefinition(orders());
    const std::uint32_t page = 7;
    auto pages = jet::splitDefinition(d, std::span(&page, 1));
    ASSERT_EQ(pages.size(), 1u);
    const jet::ByteSpan p(pages[0].data(), pages[0].size());
    EXPECT_EQ(u16(p, 2), 4096 - d.size() - 8);
    EXPECT_EQ(u32(p, 4), 0u);
    EXPECT_TRUE(std::equal(d.begin() + 8, d.end(), p.begin() + 8));
    EXPECT_TRUE(std::all_of(p.begin() + static_cast<std::ptrdiff_t>(d.size()), p.end(),
                            [](std::uint8_t b) { return b == 0; }));
    const std::uint32_t two[] = {7, 8};
    EXPECT_THROW(jet::splitDefinition(d, two), core::Error);
}

TEST(TableDefinitionWriter, ALargeDefinitionRunsOverChainedPages) {
    std::vector<jet::ColumnDef> columns;
    for (int i = 0; i < 255; ++i)
        columns.push_back(
            column("A rather long column name " + std::to_string(i), ColumnType::Text, 20));
    auto t = tableOf("Wide", columns);
    Bytes d = jet::encodeTableDefinition(t);
    const std::size_t count = jet::definitionPageCount(d);
    // 63 + 255 * 25 bytes of entries, 15080 of names, 2 to close.
    EXPECT_EQ(d.size(), 21520u);
    ASSERT_EQ(count, 6u);
    const std::vector<std::uint32_t> numbers{30, 708, 709, 1000, 1001, 1002};
    auto pages = jet::splitDefinition(d, numbers);
    ASSERT_EQ(pages.size(), count);
    Bytes joined(pages[0].begin(), pages[0].end());
    for (std::size_t i = 0; i < count; ++i) {
        const jet::ByteSpan p(pages[i].data(), pages[i].size());
        EXPECT_EQ(p[0], 0x02);
        EXPECT_EQ(p[1], 0x01);
        EXPECT_EQ(u32(p, 4), i + 1 < count ? numbers[i + 1] : 0u);
        if (i > 0) joined.insert(joined.end(), p.begin() + 8, p.end());
    }
    EXPECT_EQ(u16(jet::ByteSpan(pages[0].data(), 4096), 2), 0); // full
    for (std::size_t i = 1; i + 1 < count; ++i)
        EXPECT_EQ(u16(jet::ByteSpan(pages[i].data(), 4096), 2), 0);
    const std::size_t lastUsed = 8 + (d.size() - 4096 - (count - 2) * 4088);
    EXPECT_EQ(u16(jet::ByteSpan(pages[count - 1].data(), 4096), 2), 4096 - lastUsed - 8);
    // The pages hold the definition, with only the page header fields changed.
    ASSERT_GE(joined.size(), d.size());
    EXPECT_TRUE(std::equal(d.begin() + 8, d.end(), joined.begin() + 8));
    auto back = jet::parseTableDefinition(jet::ByteSpan(joined.data(), d.size()), 30);
    back.name = t.name;
    EXPECT_EQ(schemaDifference(t, back), "");
}

} // namespace
