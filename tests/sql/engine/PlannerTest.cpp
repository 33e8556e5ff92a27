// The planner's choices: index seeks where criteria allow (and the same rows without them),
// hash joins agreeing with nested loops, and keys that must not be sought.
#include "EngineFixture.h"

namespace engine_test {
namespace {

using core::Value;

class PlannerTest : public EngineTest {
protected:
    // The rows, and whether a seek served them; then the same with seeks refused.
    std::string sought(const std::string& sql, bool expectSeek,
                       std::vector<core::Value> params = {}) {
        storage.enableSeeks(true);
        const int before = storage.statistics().seeks;
        std::string withSeeks = run(sql, params);
        EXPECT_EQ(storage.statistics().seeks > before, expectSeek) << sql;
        storage.enableSeeks(false);
        std::string withoutSeeks = run(sql, params);
        storage.enableSeeks(true);
        EXPECT_EQ(withSeeks, withoutSeeks) << sql;
        return withSeeks;
    }
};

TEST_F(PlannerTest, EqualityOnPrimaryKeySeeks) {
    EXPECT_EQ(sought("select Name from Customers where ID = 3", true), "Carol\n");
    EXPECT_EQ(sought("select Name from Customers where 3 = ID", true), "Carol\n");
}

TEST_F(PlannerTest, RangesSeek) {
    EXPECT_EQ(sought("select ID from Customers where ID > 3", true), "4\n5\n");
    EXPECT_EQ(sought("select ID from Customers where ID >= 2 and ID < 4", true), "2\n3\n");
    EXPECT_EQ(sought("select ID from Customers where ID between 2 and 3", true), "2\n3\n");
}

// 2.5 would seek as 2 in a Long index (and miss 2 in "< 2.5"): such keys leave it to a scan.
TEST_F(PlannerTest, KeyTheColumnCannotHoldExactlyScans) {
    EXPECT_EQ(sought("select ID from Customers where ID < 2.5", false), "1\n2\n");
    EXPECT_EQ(sought("select ID from Customers where ID = 2.5", false), "");
    EXPECT_EQ(sought("select ID from Customers where ID <= 2.0", true), "1\n2\n");
}

TEST_F(PlannerTest, CompoundKeySeeks) {
    EXPECT_EQ(sought("select Product from Items where OrderID = 10 and Line = 2", true), "Ink\n");
    EXPECT_EQ(sought("select Line from Items where OrderID = 10 and Line > 1", true), "2\n");
}

TEST_F(PlannerTest, TextIndexSeeksWithoutCase) {
    run("create index ByName on Customers (Name)");
    EXPECT_EQ(sought("select ID from Customers where Name = 'CAROL'", true), "3\n");
    EXPECT_EQ(sought("select ID from Customers where Name >= 'c'", true), "3\n4\n5\n");
}

TEST_F(PlannerTest, ParameterKeySeeks) {
    EXPECT_EQ(sought("select Name from Customers where ID = ?", true, {Value(std::int32_t(2))}),
              "bob\n");
    // A Null key matches nothing: there is nothing to seek.
    EXPECT_EQ(sought("select Name from Customers where ID = ?", false, {Value()}), "");
}

TEST_F(PlannerTest, CriteriaThatCannotSeekScan) {
    EXPECT_EQ(sought("select Name from Customers where ID = '3'", false), "Carol\n");
    EXPECT_EQ(sought("select Name from Customers where ID + 0 = 3", false), "Carol\n");
    EXPECT_EQ(sought("select Name from Customers where ID = 3 or ID = 4", false), "Carol\ndave\n");
    EXPECT_EQ(sought("select Name from Customers where City = 'Paris'", false), "Alice\nCarol\n");
}

TEST_F(PlannerTest, CorrelatedSubquerySeeksPerRow) {
    EXPECT_EQ(sought("select OrderID from Orders o where exists (select * from Customers c "
                     "where c.ID = o.CustomerID and c.Vip)",
                     true),
              "10\n11\n");
}

TEST_F(PlannerTest, HashJoinAgreesWithNestedLoop) {
    const std::string hash = run("select c.Name, o.OrderID from Customers c inner join Orders o "
                                 "on c.ID = o.CustomerID order by o.OrderID");
    const std::string loop = run("select c.Name, o.OrderID from Customers c inner join Orders o "
                                 "on c.ID = o.CustomerID or 1 = 0 order by o.OrderID");
    EXPECT_EQ(hash, loop);
    EXPECT_EQ(hash, "Alice|10\nAlice|11\nbob|12\nCarol|13\n");
}

TEST_F(PlannerTest, ScanReadsOnlyWhatItNeedsYetStarReadsAll) {
    EXPECT_EQ(run("select Note from Orders where OrderID = 12"), "x\n");
    EXPECT_EQ(run("select * from Orders where OrderID = 12"),
              "12|2|10|2004-02-15T00:00:00.000|x\n");
}

TEST_F(PlannerTest, LargeTableStreamsAndGroups) {
    run("create table Big (N long primary key, G text(5))");
    for (int i = 0; i < 2000; ++i) {
        std::vector<std::optional<Value>> row{Value(std::int32_t(i)), Value(i % 3 == 0   ? "a"
                                                                            : i % 3 == 1 ? "B"
                                                                                         : "c")};
        session.insertRow("Big", row);
    }
    EXPECT_EQ(run("select G, Count(*), Sum(N) from Big group by G"),
              "a|667|666333\nB|667|667000\nc|666|665667\n");
    EXPECT_EQ(sought("select N from Big where N between 1000 and 1002", true),
              "1000\n1001\n1002\n");
    EXPECT_EQ(run("select Count(*) from Big a inner join Big b on a.N = b.N + 1"), "1999\n");
}

} // namespace
} // namespace engine_test
