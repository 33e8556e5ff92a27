// Crosstab queries as row sources and with parameters: a saved crosstab whose headings come
// from the data is selected from like a table, and its parameters' values decide which
// headings there are.
#include "EngineFixture.h"

namespace {

using engine_test::EngineTest;

constexpr const char* kProducts =
    "transform sum(Qty) select OrderID from Items group by OrderID pivot Product";
constexpr const char* kAtLeast = "parameters [Least] long; transform sum(Qty) select OrderID "
                                 "from Items where Qty >= [Least] group by OrderID pivot Product";

TEST_F(EngineTest, ASavedCrosstabIsARowSource) {
    storage.addView("ByProduct", kProducts);
    // Pen and pen are one heading, the first spelling met.
    EXPECT_EQ(columnNames("select * from ByProduct"),
              (std::vector<std::string>{"OrderID", "Ink", "Paper", "Pen"}));
    EXPECT_EQ(run("select * from ByProduct where OrderID > 10 order by OrderID desc"),
              "13|5|NULL|NULL\n12|NULL|10|NULL\n11|NULL|NULL|2\n");
    EXPECT_EQ(run("select Sum(Pen) from ByProduct"), "5\n");
}

TEST_F(EngineTest, ParametersDecideTheHeadingsFromTheData) {
    EXPECT_EQ(errorOf(kAtLeast), "No value given for one or more required parameters.");
    const auto asked = session.parameters(kAtLeast);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].name, "Least");
    EXPECT_EQ(run(kAtLeast, {core::Value(std::int32_t{3})}),
              "10|NULL|NULL|3\n12|NULL|10|NULL\n13|5|NULL|NULL\n");
    sql::ResultSet r =
        session.execute(kAtLeast, std::vector<core::Value>{core::Value(std::int32_t{4})});
    std::vector<std::string> names;
    for (const auto& c : r.columns()) names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::string>{"OrderID", "Ink", "Paper"}));
    // Prepared without a value, only its row heading is known until it runs with one.
    sql::Prepared prepared = session.prepare(kAtLeast);
    EXPECT_EQ(prepared.columns().size(), 1u);
    EXPECT_EQ(session.execute(prepared, std::vector<core::Value>{core::Value(std::int32_t{4})})
                  .columns()
                  .size(),
              3u);
    storage.addView("AtLeast", kAtLeast);
    EXPECT_EQ(run("select OrderID, Paper from AtLeast", {core::Value(std::int32_t{4})}),
              "12|10\n13|NULL\n");
}

} // namespace
