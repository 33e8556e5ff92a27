// TRANSFORM ... PIVOT and the names of objects of the application (Forms!Orders!OrderID),
// which a saved query holds as parameters.
#include "ParseHelpers.h"

namespace sql {
namespace {

using test::Case;

class Crosstabs : public ::testing::TestWithParam<Case> {};

TEST_P(Crosstabs, Parse) {
    test::expectPrinted(test::withCrLf(GetParam().sql), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Crosstab, Crosstabs,
    ::testing::Values(
        Case{"transform sum(a) select b from t group by b pivot c",
             "transform sum(a) select b from t group by b pivot c"},
        // As Access lays it out: ORDER BY before PIVOT, IN inside the pivot's row.
        Case{"TRANSFORM Count(*) AS N\nSELECT b\nFROM t\nGROUP BY b\nORDER BY b DESC\nPIVOT c & "
             "'x' In ('1x','2x');",
             "transform Count(*) as N select b from t group by b order by b desc pivot (c & 'x') "
             "in ('1x', '2x')"},
        Case{"parameters p long; transform max(a) select b from t where a > p group by b pivot c "
             "in (1, -2)",
             "parameters p long; transform max(a) select b from t where (a > p) group by b pivot "
             "c in (1, -2)"},
        // The words stay names elsewhere.
        Case{"select pivot, transform from t", "select [pivot], [transform] from t"},
        // References to the application's objects: one name, brackets or not.
        Case{"select * from t where d = Forms![Sales Dialog]!From",
             "select * from t where (d = [Forms!Sales Dialog!From])"},
        Case{"parameters [Forms]![Sales Dialog]![From] DateTime; select a from t",
             "parameters [Forms!Sales Dialog!From] datetime; select a from t"},
        Case{"select * from t where ([__Orders Subform].Form!OrderID = OrderID)",
             "select * from t where ([__Orders Subform.Form!OrderID] = OrderID)"}));

TEST(Crosstab, Parts) {
    const Statement s = parseStatement(
        "transform sum(a) as total select b, c from t group by b, c pivot d in ('x', 'y')");
    const auto* q = s.as<SelectQuery>();
    ASSERT_NE(q, nullptr);
    ASSERT_NE(q->crosstab, nullptr);
    EXPECT_EQ(q->crosstab->valueAlias, "total");
    EXPECT_EQ(toText(*q->crosstab->pivot), "d");
    ASSERT_EQ(q->crosstab->headings.size(), 2u);
    EXPECT_EQ(toText(*q->crosstab->headings[1]), "'y'");
    EXPECT_EQ(q->first.groupBy.size(), 2u);
    EXPECT_EQ(parseStatement("select a from t").as<SelectQuery>()->crosstab, nullptr);
}

TEST(Crosstab, Errors) {
    const std::string transform = "Syntax error in TRANSFORM statement.";
    EXPECT_EQ(test::errorOf("transform sum(a) select b from t group by b"), transform);
    EXPECT_EQ(test::errorOf("transform sum(a) select b from t group by b pivot c not in (1)"),
              transform);
    EXPECT_EQ(test::errorOf("transform sum(a) pivot c"), transform);
    EXPECT_EQ(test::errorOf("transform sum(a) select b into x from t group by b pivot c"),
              transform);
    // Three parts joined by dots only are no reference to a form.
    EXPECT_EQ(test::errorOf("select * from t where a.b.c = 1"),
              "Syntax error (missing operator) in query expression 'a.b.c = 1'.");
}

} // namespace
} // namespace sql
