// Memo and OLE values of every size: inline, one long-value row, chains over many pages up
// to 16 MB; freed when replaced or deleted, so that space is reused.
#include "WriteFixture.h"
#include "common/Samples.h"
#include "core/Error.h"

#include <gtest/gtest.h>

using namespace write_test;

namespace {

jet::TableSchema longTable() {
    jet::TableSchema t;
    t.name = "L";
    t.columns = {column("K", jet::ColumnType::Long, 4), column("M", jet::ColumnType::Memo),
                 column("O", jet::ColumnType::Ole)};
    return t;
}

core::Bytes pattern(std::size_t size, std::uint8_t seed) {
    core::Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = static_cast<std::uint8_t>(seed + i * 31 + (i >> 12));
    return b;
}

TEST(LongValueWrite, ValuesOfEverySizeReadBack) {
    auto path = testing_support::scratchDir("long-sizes") / "t.mdb";
    std::vector<std::size_t> sizes{0, 1, 50, 1000, 2000, 4000, 4076, 4077, 9000, 100000, 1 << 20};
    {
        auto db = jet::Database::create(path);
        db->begin();
        db->createTable(longTable());
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            std::string memo(sizes[i], 'a');
            for (std::size_t c = 0; c < memo.size(); c += 97)
                memo[c] = static_cast<char>('a' + c % 26);
            db->insertRow("L", {core::Value(static_cast<std::int32_t>(i)), core::Value(memo),
                                core::Value(pattern(sizes[i], static_cast<std::uint8_t>(i)))});
        }
        db->commit();
    }
    auto db = jet::Database::open(path);
    auto rows = readAll(*db, "L");
    ASSERT_EQ(rows.size(), sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        ASSERT_NE(rows[i][1].getIf<std::string>(), nullptr) << i;
        EXPECT_EQ(rows[i][1].get<std::string>().size(), sizes[i]);
        EXPECT_EQ(rows[i][2], core::Value(pattern(sizes[i], static_cast<std::uint8_t>(i))))
            << sizes[i];
    }
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

TEST(LongValueWrite, SixteenMegabyteValueRoundTripsAndLargerIsRefused) {
    auto path = testing_support::scratchDir("long-16mb") / "t.mdb";
    auto db = jet::Database::create(path);
    db->begin();
    db->createTable(longTable());
    core::Bytes big = pattern((16u << 20) - 1, 3);
    auto id = db->insertRow("L", {core::Value(std::int32_t{1}), core::Value(), core::Value(big)});
    EXPECT_THROW(db->insertRow("L", {core::Value(std::int32_t{2}), core::Value(),
                                     core::Value(core::Bytes(16u << 20))}),
                 core::Error);
    db->commit();
    EXPECT_EQ(db->readRow("L", id)[2], core::Value(big));
}

TEST(LongValueWrite, ReplacedAndDeletedValuesGiveTheirPagesBack) {
    auto path = testing_support::scratchDir("long-reuse") / "t.mdb";
    auto db = jet::Database::create(path);
    db->begin();
    db->createTable(longTable());
    std::vector<jet::RowId> ids;
    for (int i = 0; i < 20; ++i)
        ids.push_back(db->insertRow("L", {core::Value(std::int32_t{i}),
                                          core::Value(std::string(30000, 'x')), core::Value()}));
    db->commit();
    auto grown = db->pages().pageCount();
    // Replace and delete over and over: without reuse the file would grow each round.
    for (int round = 0; round < 5; ++round) {
        db->begin();
        for (int i = 0; i < 10; ++i)
            db->updateRow("L", ids[i],
                          {core::Value(std::int32_t{i}),
                           core::Value(std::string(30000, 'a' + round)), core::Value()});
        db->deleteRow("L", ids[10 + round]);
        ids[10 + round] = db->insertRow("L", {core::Value(std::int32_t{99}),
                                              core::Value(std::string(30000, 'y')), core::Value()});
        db->commit();
    }
    // A new value is written before the old one is freed, so a couple of values' pages
    // (about eight each) come on top; without reuse the file would grow by hundreds.
    EXPECT_LE(db->pages().pageCount(), grown + 20);
    EXPECT_EQ(db->readRow("L", ids[0])[1], core::Value(std::string(30000, 'e')));
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

} // namespace

namespace {

// Jet fills a long-value page with the values of later statements too, so the same values
// take the same room whether they come in one transaction or in one each.
TEST(LongValueWrite, ValuesOfSeparateStatementsSharePages) {
    auto dir = testing_support::scratchDir("long-shared");
    std::vector<std::uint32_t> pages;
    for (bool oneTransaction : {true, false}) {
        auto db = jet::Database::create(dir / (oneTransaction ? "one.mdb" : "each.mdb"));
        db->begin();
        db->createTable(longTable());
        db->commit();
        if (oneTransaction) db->begin();
        for (int i = 0; i < 300; ++i) {
            if (!oneTransaction) db->begin();
            db->insertRow("L", {core::Value(std::int32_t{i}), core::Value(std::string(700, 'm')),
                                core::Value(pattern(500, static_cast<std::uint8_t>(i)))});
            if (!oneTransaction) db->commit();
        }
        if (oneTransaction) db->commit();
        pages.push_back(db->pages().pageCount());
        EXPECT_TRUE(checkPasses(*db));
    }
    EXPECT_LE(pages[1], pages[0] + 1) << "one transaction: " << pages[0] << " pages";
}

} // namespace
