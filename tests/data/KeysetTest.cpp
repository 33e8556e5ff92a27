// The keyset on its own: reading rows only as far as asked, the filter's positions as
// records come and go, and a result whose reading fails part-way.
#include "data/Keyset.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using data::Keyset;
using data::KeysetRecord;

// Rows 1..count of one Long column; row `failAt` raises instead (0: none). Counts reads.
class CountingStream : public sql::RowStream {
public:
    CountingStream(int count, int failAt, int& reads)
        : count_(count), failAt_(failAt), reads_(reads) {}
    bool next(sql::ResultRow& row) override {
        if (next_ > count_) return false;
        ++reads_;
        if (next_ == failAt_) throw core::Error("row " + std::to_string(next_) + " is bad");
        row.values = {core::Value(std::int32_t{next_})};
        row.locators = {sql::RowLocator{1, static_cast<std::uint32_t>(next_)}};
        ++next_;
        return true;
    }

private:
    int count_, failAt_;
    int& reads_;
    int next_ = 1;
};

Keyset keysetOf(int count, int& reads, int failAt = 0) {
    std::vector<sql::ResultColumn> columns(1);
    columns[0].name = "N";
    columns[0].type = core::DataType::Long;
    return Keyset(sql::ResultSet(std::move(columns), {"T"},
                                 std::make_unique<CountingStream>(count, failAt, reads)));
}

int n(const KeysetRecord& r) {
    return r.values.at(0).get<std::int32_t>();
}

bool even(const data::KeysetRow& r) {
    return r.value(0).get<std::int32_t>() % 2 == 0;
}

TEST(KeysetTest, ReadsOnlyAsFarAsAsked) {
    int reads = 0;
    Keyset keyset = keysetOf(100, reads);
    EXPECT_EQ(reads, 0);
    EXPECT_TRUE(keyset.hasRow(9));
    EXPECT_EQ(reads, 10);
    EXPECT_EQ(n(keyset.record(9)), 10);
    EXPECT_FALSE(keyset.complete());
    EXPECT_EQ(keyset.rowCount(), 100u);
    EXPECT_TRUE(keyset.complete());
    EXPECT_FALSE(keyset.hasRow(100));
}

TEST(KeysetTest, FilteredPositionsCountAcceptedRowsOnly) {
    int reads = 0;
    Keyset keyset = keysetOf(10, reads);
    keyset.setFilter(even);
    ASSERT_TRUE(keyset.hasRow(1));
    EXPECT_EQ(n(keyset.record(1)), 4);
    EXPECT_EQ(keyset.rowCount(), 5u);
    keyset.setFilter(nullptr);
    EXPECT_EQ(keyset.rowCount(), 10u);
}

TEST(KeysetTest, InsertsAndErasesKeepTheFilteredPositions) {
    int reads = 0;
    Keyset keyset = keysetOf(10, reads);
    keyset.setFilter(even);
    ASSERT_TRUE(keyset.hasRow(2)); // 2 4 6
    KeysetRecord fresh;
    fresh.id = keyset.newId();
    fresh.values = {core::Value(std::int32_t{99})}; // odd, but a new record is always shown
    keyset.insert(1, fresh);
    EXPECT_EQ(n(keyset.record(0)), 2);
    EXPECT_EQ(n(keyset.record(1)), 99);
    EXPECT_EQ(n(keyset.record(2)), 4);
    EXPECT_EQ(keyset.rowOf(fresh.id), 1u);
    keyset.erase(0);
    EXPECT_EQ(n(keyset.record(0)), 99);
    EXPECT_EQ(keyset.rowCount(), 5u); // 99 4 6 8 10
    EXPECT_EQ(n(keyset.record(4)), 10);
    keyset.insert(5, fresh); // at the end once everything is read
    EXPECT_EQ(keyset.rowCount(), 6u);
    keyset.setFilter(even); // judged afresh: the new records are odd
    EXPECT_EQ(keyset.rowCount(), 4u);
}

TEST(KeysetTest, AFailedReadKeepsTheRowsBeforeItAndRaisesAgain) {
    int reads = 0;
    Keyset keyset = keysetOf(10, reads, 4);
    EXPECT_TRUE(keyset.hasRow(2));
    EXPECT_THROW(keyset.hasRow(3), core::Error);
    EXPECT_THROW(keyset.rowCount(), core::Error);
    EXPECT_EQ(n(keyset.record(2)), 3);
    EXPECT_EQ(keyset.rowsRead(), 3u);
    EXPECT_EQ(reads, 4); // the broken stream is not read again
}

TEST(KeysetTest, FinishingTheReadingNeverRaises) {
    int reads = 0;
    Keyset keyset = keysetOf(10, reads, 6);
    keyset.finishReading();
    EXPECT_EQ(keyset.rowsRead(), 5u);
    EXPECT_THROW(keyset.hasRow(5), core::Error);
    Keyset whole = keysetOf(10, reads);
    whole.finishReading();
    EXPECT_TRUE(whole.complete());
    EXPECT_EQ(whole.rowCount(), 10u);
}

TEST(KeysetTest, AResultWithoutRowsIsEmpty) {
    Keyset keyset(sql::ResultSet(3));
    EXPECT_FALSE(keyset.hasRow(0));
    EXPECT_TRUE(keyset.complete());
}

} // namespace
