// Moving through a data set: first, last, next, prior, moves by a distance, the beginning
// and end flags, positions and counts, and an empty result.
#include "DataFixture.h"
#include "data/TADOQuery.h"
#include "data/TField.h"

#include <gtest/gtest.h>

namespace {

using data::TADOConnection;
using data::TADOQuery;
using data_test::errorOf;

class NavigationTest : public testing::Test {
protected:
    void SetUp() override {
        data_test::openInMemory(connection, {"create table T (N long)"});
        for (int i = 1; i <= 25; ++i)
            connection.session().execute("insert into T values (" + std::to_string(i) + ")");
        query.setConnection(&connection);
        query.setSQL("select N from T order by N");
        query.open();
    }

    std::string n() const { return query.fieldByName("N").asString(); }

    TADOConnection connection;
    TADOQuery query;
};

TEST_F(NavigationTest, NextAndPriorStepThroughTheRecords) {
    query.next();
    EXPECT_EQ(n(), "2");
    EXPECT_FALSE(query.bof());
    EXPECT_FALSE(query.eof());
    query.prior();
    EXPECT_EQ(n(), "1");
    EXPECT_FALSE(query.bof());
    query.prior();
    EXPECT_EQ(n(), "1");
    EXPECT_TRUE(query.bof());
}

TEST_F(NavigationTest, LastAndFirstSetTheEndFlags) {
    query.last();
    EXPECT_EQ(n(), "25");
    EXPECT_TRUE(query.eof());
    EXPECT_FALSE(query.bof());
    EXPECT_EQ(query.recNo(), 25);
    query.first();
    EXPECT_EQ(n(), "1");
    EXPECT_TRUE(query.bof());
    EXPECT_FALSE(query.eof());
}

TEST_F(NavigationTest, NextOnTheLastRecordStaysAndSetsEof) {
    query.moveBy(24);
    EXPECT_EQ(n(), "25");
    EXPECT_FALSE(query.eof());
    query.next();
    EXPECT_EQ(n(), "25");
    EXPECT_TRUE(query.eof());
}

TEST_F(NavigationTest, MoveByStopsAtEitherEndAndSaysHowFarItWent) {
    EXPECT_EQ(query.moveBy(10), 10);
    EXPECT_EQ(n(), "11");
    EXPECT_EQ(query.moveBy(10), 10);
    EXPECT_EQ(query.moveBy(10), 4);
    EXPECT_EQ(n(), "25");
    EXPECT_TRUE(query.eof());
    EXPECT_EQ(query.moveBy(-10), -10);
    EXPECT_FALSE(query.eof());
    EXPECT_EQ(query.moveBy(-30), -14);
    EXPECT_EQ(n(), "1");
    EXPECT_TRUE(query.bof());
    EXPECT_EQ(query.moveBy(0), 0);
}

TEST_F(NavigationTest, PositionsAndCounts) {
    EXPECT_EQ(query.recNo(), 1);
    query.setRecNo(7);
    EXPECT_EQ(n(), "7");
    EXPECT_EQ(query.recNo(), 7);
    query.setRecNo(100);
    EXPECT_EQ(query.recNo(), 25);
    EXPECT_EQ(query.recordCount(), 25);
    EXPECT_FALSE(query.isEmpty());
    EXPECT_TRUE(query.hasRecord(24));
    EXPECT_FALSE(query.hasRecord(25));
    EXPECT_EQ(query.valueAt(4, 0), core::Value(std::int32_t{5}));
}

TEST_F(NavigationTest, AnEmptyResultIsAtBothEnds) {
    query.close();
    query.setSQL("select N from T where N > 100");
    query.open();
    EXPECT_TRUE(query.isEmpty());
    EXPECT_TRUE(query.bof());
    EXPECT_TRUE(query.eof());
    EXPECT_EQ(query.recNo(), 0);
    EXPECT_EQ(query.recordCount(), 0);
    EXPECT_TRUE(query.fieldByName("N").isNull());
    query.next();
    query.last();
    EXPECT_TRUE(query.bof());
    EXPECT_TRUE(query.eof());
    EXPECT_EQ(query.moveBy(3), 0);
}

TEST_F(NavigationTest, MovesNeedAnOpenDataSet) {
    query.close();
    EXPECT_EQ(errorOf([&] { query.next(); }),
              "ADOQuery1: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(errorOf([&] { query.recordCount(); }),
              "ADOQuery1: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(query.recNo(), 0);
    EXPECT_TRUE(query.isEmpty());
}

TEST_F(NavigationTest, AnErrorInALaterRowStopsTheMoveThatNeedsIt) {
    query.close();
    query.setSQL("select 10 / (N - 3) as Q from T");
    query.open();
    EXPECT_EQ(query.moveBy(1), 1);
    EXPECT_EQ(errorOf([&] { query.next(); }), "Division by zero");
    EXPECT_EQ(query.recNo(), 2);
    // The rows read before the error stay usable.
    query.first();
    EXPECT_EQ(query.fieldByName("Q").asString(), "-5");
}

} // namespace
