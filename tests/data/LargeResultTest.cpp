// A large table: opening reads only what is shown, while the count, the last record and
// bookmarks still behave.
#include "DataFixture.h"
#include "common/Samples.h"
#include "data/TADOQuery.h"
#include "data/TField.h"

#include <gtest/gtest.h>

namespace {

constexpr int kRows = 20000;

class LargeResultTest : public testing::Test {
protected:
    // Made once for the suite: the engine takes a while to write twenty thousand rows.
    static void SetUpTestSuite() {
        file = testing_support::scratchDir("data-large") / "big.mdb";
        data_test::makeFile(file, {{data_test::peopleTable("T"), kRows, data_test::personRow}});
    }

    void SetUp() override {
        connection.setConnectionString(data_test::openString(file));
        query.setConnection(&connection);
        // Filtered, so the rows stream in (a plain select keeps locators, all known at once).
        query.setSQL("select * from [T] where ID > 0");
        query.open();
    }

    static inline std::filesystem::path file;
    data::TADOConnection connection;
    data::TADOQuery query;
};

TEST_F(LargeResultTest, OpeningReadsOnlyTheFirstRecords) {
    EXPECT_EQ(query.knownRecordCount(), 1u);
    EXPECT_FALSE(query.allRecordsRead());
    EXPECT_EQ(query.fieldByName("Name").asString(), "Person 1");
    query.moveBy(29);
    EXPECT_EQ(query.fieldByName("Age").asString(), "30");
    EXPECT_EQ(query.knownRecordCount(), 30u);
}

TEST_F(LargeResultTest, CountLastAndBookmarksStillBehave) {
    const data::TBookmark first = query.bookmark();
    EXPECT_EQ(query.recordCount(), kRows);
    query.last();
    EXPECT_EQ(query.recNo(), kRows);
    EXPECT_EQ(query.fieldByName("ID").asString(), std::to_string(kRows));
    EXPECT_TRUE(query.eof());
    const data::TBookmark last = query.bookmark();
    EXPECT_TRUE(query.bookmarkValid(first));
    query.gotoBookmark(first);
    EXPECT_EQ(query.fieldByName("Name").asString(), "Person 1");
    query.gotoBookmark(last);
    EXPECT_EQ(query.recNo(), kRows);
}

TEST_F(LargeResultTest, AGridCanReadAheadRowByRow) {
    ASSERT_TRUE(query.hasRecord(99));
    EXPECT_EQ(query.valueAt(99, 2), core::Value(std::int32_t{100}));
    EXPECT_EQ(query.knownRecordCount(), 100u);
    EXPECT_EQ(query.recNo(), 1);
    EXPECT_FALSE(query.hasRecord(kRows));
    EXPECT_TRUE(query.allRecordsRead());
}

} // namespace
