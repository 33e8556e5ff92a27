// Query texts rebuilt from MSysQueries rows: each clause the rows can hold, joins nested the
// way Jet writes them, union queries, and rows that cannot be read.
#include "jet/query/QueryText.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using jet::query::Attribute;
using jet::query::makeRow;
using jet::query::QueryKind;
using jet::query::QueryRow;

// A query's rows as Access frames them: Start, Type, the given rows, End.
std::vector<QueryRow> framed(std::vector<QueryRow> body, std::int16_t type = 1) {
    std::vector<QueryRow> rows{makeRow(Attribute::Start), makeRow(Attribute::Type, {}, type)};
    for (auto& r : body) rows.push_back(std::move(r));
    rows.push_back(makeRow(Attribute::End));
    return rows;
}

std::string text(const std::vector<QueryRow>& rows, QueryKind kind = QueryKind::Select) {
    return jet::query::queryText("Q", kind, rows);
}

QueryRow table(std::string name, std::string alias = {}) {
    return makeRow(Attribute::Table, {}, 0, std::move(name), std::move(alias));
}
QueryRow column(std::string expression, std::string alias = {}) {
    return makeRow(Attribute::Column, std::move(expression), 0, std::move(alias));
}
QueryRow flags(std::int16_t bits, std::string top = {}) {
    return makeRow(Attribute::Flags, {}, bits, std::move(top));
}
QueryRow join(std::int16_t type, std::string left, std::string right, std::string on) {
    return makeRow(Attribute::Join, std::move(on), type, std::move(left), std::move(right));
}

// The message of the core::FormatError the rows raise, or "" when they raise none.
std::string failure(const std::vector<QueryRow>& rows, QueryKind kind = QueryKind::Select) {
    try {
        jet::query::queryText("Broken Query", kind, rows);
    } catch (const core::FormatError& e) {
        return e.what();
    }
    return {};
}

TEST(QueryText, ColumnsWithAliasesFromOneTable) {
    EXPECT_EQ(text(framed({flags(0), table("Customers"), column("Customers.Name"),
                           column("Customers.City", "Town")})),
              "SELECT Customers.Name, Customers.City AS Town\r\nFROM Customers;");
}

TEST(QueryText, TheAllColumnsFlagEndsTheList) {
    EXPECT_EQ(text(framed({flags(1), table("T")})), "SELECT *\r\nFROM T;");
    EXPECT_EQ(text(framed({flags(1), table("T"), column("T.a")})), "SELECT T.a, *\r\nFROM T;");
}

TEST(QueryText, PredicatesFromTheFlagRow) {
    const auto rows = [](std::int16_t bits, std::string top = {}) {
        return framed({flags(bits, std::move(top)), table("T"), column("T.a")});
    };
    EXPECT_EQ(text(rows(0x02)), "SELECT DISTINCT T.a\r\nFROM T;");
    EXPECT_EQ(text(rows(0x08)), "SELECT DISTINCTROW T.a\r\nFROM T;");
    EXPECT_EQ(text(rows(0x10, "5")), "SELECT TOP 5 T.a\r\nFROM T;");
    EXPECT_EQ(text(rows(0x30, "25")), "SELECT TOP 25 PERCENT T.a\r\nFROM T;");
    EXPECT_EQ(text(rows(0x12, "3")), "SELECT DISTINCT TOP 3 T.a\r\nFROM T;");
    EXPECT_EQ(text(rows(0x04)), "SELECT T.a\r\nFROM T\r\nWITH OWNERACCESS OPTION;");
}

TEST(QueryText, ParametersAreDeclaredFirst) {
    auto rows = framed({makeRow(Attribute::Parameter, {}, 8, "Start Date"),
                        makeRow(Attribute::Parameter, {}, 3, "Lim"),
                        makeRow(Attribute::Parameter, {}, 10, "Who", {}, 50),
                        makeRow(Attribute::Parameter, {}, 0, "Anything"), flags(0), table("T"),
                        column("T.a")});
    EXPECT_EQ(text(rows), "PARAMETERS [Start Date] DateTime, Lim Short, Who Text(50), Anything "
                          "Value;\r\nSELECT T.a\r\nFROM T;");
    // A reference to a form's control keeps the brackets of its parts.
    rows = framed({makeRow(Attribute::Parameter, {}, 8, "[Forms]![Sales Dialog]![From]"), flags(0),
                   table("T"), column("T.a")});
    EXPECT_EQ(text(rows), "PARAMETERS [Forms]![Sales Dialog]![From] DateTime;\r\nSELECT T.a\r\n"
                          "FROM T;");
}

TEST(QueryText, NamesThatNeedBracketsGetThem) {
    EXPECT_EQ(text(framed({flags(0), table("Order Details", "OD"), column("OD.Qty", "How Many"),
                           column("OD.Price", "Select")})),
              "SELECT OD.Qty AS [How Many], OD.Price AS [Select]\r\nFROM [Order Details] AS OD;");
}

TEST(QueryText, WhereGroupByHavingOrderBy) {
    auto rows = framed({flags(0), table("Orders"), column("Orders.Customer"),
                        column("Sum(Orders.Amount)", "Total"),
                        makeRow(Attribute::Where, "(Orders.Amount > 0)"),
                        makeRow(Attribute::GroupBy, "Orders.Customer"),
                        makeRow(Attribute::GroupBy, "Orders.Region"),
                        makeRow(Attribute::Having, "(Sum(Orders.Amount) > 100)"),
                        makeRow(Attribute::OrderBy, "Sum(Orders.Amount)", 0, "D"),
                        makeRow(Attribute::OrderBy, "Orders.Customer")});
    EXPECT_EQ(text(rows), "SELECT Orders.Customer, Sum(Orders.Amount) AS Total\r\n"
                          "FROM Orders\r\n"
                          "WHERE (Orders.Amount > 0)\r\n"
                          "GROUP BY Orders.Customer, Orders.Region\r\n"
                          "HAVING (Sum(Orders.Amount) > 100)\r\n"
                          "ORDER BY Sum(Orders.Amount) DESC, Orders.Customer;");
}

TEST(QueryText, OneJoin) {
    auto rows = framed(
        {flags(0), table("A"), table("B"), column("A.x"), join(1, "A", "B", "A.id = B.aid")});
    EXPECT_EQ(text(rows), "SELECT A.x\r\nFROM A INNER JOIN B ON A.id = B.aid;");
    rows[6].flag = 2;
    EXPECT_EQ(text(rows), "SELECT A.x\r\nFROM A LEFT JOIN B ON A.id = B.aid;");
    rows[6].flag = 3;
    EXPECT_EQ(text(rows), "SELECT A.x\r\nFROM A RIGHT JOIN B ON A.id = B.aid;");
}

TEST(QueryText, AJoinOnTheLeftIsParenthesised) {
    auto rows = framed({flags(0), table("A"), table("B"), table("C"), column("A.x"),
                        join(1, "A", "B", "A.id = B.aid"), join(2, "B", "C", "B.id = C.bid")});
    EXPECT_EQ(text(rows), "SELECT A.x\r\nFROM (A INNER JOIN B ON A.id = B.aid) LEFT JOIN C ON "
                          "B.id = C.bid;");
}

TEST(QueryText, AJoinOnTheRightIsParenthesised) {
    auto rows = framed({flags(0), table("A"), table("B"), table("C"), column("A.x"),
                        join(1, "B", "C", "B.id = C.bid"), join(2, "A", "B", "A.id = B.aid")});
    EXPECT_EQ(text(rows), "SELECT A.x\r\nFROM A LEFT JOIN (B INNER JOIN C ON B.id = C.bid) ON "
                          "A.id = B.aid;");
}

TEST(QueryText, JoinsNameTablesByAlias) {
    auto rows =
        framed({flags(0), table("People", "Boss"), table("People", "Worker"), column("Worker.Name"),
                join(1, "Boss", "Worker", "Boss.ID = Worker.BossID")});
    EXPECT_EQ(text(rows), "SELECT Worker.Name\r\nFROM People AS Boss INNER JOIN People AS Worker "
                          "ON Boss.ID = Worker.BossID;");
}

TEST(QueryText, TablesOutsideJoinsComeFirst) {
    auto rows = framed({flags(0), table("Table1"), table("Table2"), table("Table3"),
                        column("Table1.a"), join(1, "Table1", "Table2", "Table1.k = Table2.k")});
    EXPECT_EQ(text(rows),
              "SELECT Table1.a\r\nFROM Table3, Table1 INNER JOIN Table2 ON Table1.k = Table2.k;");
}

TEST(QueryText, SeveralRowsForOneJoinAreOneCondition) {
    // Access stores the parts of a compound ON last part first.
    auto rows = framed({flags(0), table("A"), table("B"), column("A.x"),
                        join(1, "A", "B", "A.k2 = B.k2"), join(1, "A", "B", "A.k1 = B.k1")});
    EXPECT_EQ(text(rows), "SELECT A.x\r\nFROM A INNER JOIN B ON (A.k1 = B.k1) AND (A.k2 = B.k2);");
}

TEST(QueryText, ASubqueryInFrom) {
    auto rows = framed({flags(1), makeRow(Attribute::Table, "select a from T", 0, {}, "S")});
    EXPECT_EQ(text(rows), "SELECT *\r\nFROM (select a from T) AS S;");
}

TEST(QueryText, UnionAndUnionAll) {
    auto rows = framed(
        {flags(3), makeRow(Attribute::Table, "SELECT a FROM T\nWHERE a > 1", 0, {}, "X7YZ_____1"),
         makeRow(Attribute::Table, " SELECT b FROM U ", 0, {}, "X7YZ_____2")},
        9);
    EXPECT_EQ(text(rows, QueryKind::Union),
              "SELECT a FROM T\r\nWHERE a > 1\r\nUNION SELECT b FROM U;");
    rows[2].flag = 1;
    rows.insert(rows.end() - 1, makeRow(Attribute::OrderBy, "a"));
    EXPECT_EQ(text(rows, QueryKind::Union),
              "SELECT a FROM T\r\nWHERE a > 1\r\nUNION ALL SELECT b FROM U\r\nORDER BY a;");
}

TEST(QueryText, TheTypeRowCanMakeAUnion) {
    auto rows = framed({flags(3), makeRow(Attribute::Table, "SELECT a FROM T", 0, {}, "X7YZ_____1"),
                        makeRow(Attribute::Table, "SELECT b FROM U", 0, {}, "X7YZ_____2")},
                       9);
    EXPECT_EQ(text(rows, QueryKind::Select), "SELECT a FROM T\r\nUNION SELECT b FROM U;");
}

TEST(QueryTextErrors, MissingStartOrEndRow) {
    auto rows = framed({flags(1), table("T")});
    auto noStart = std::vector<QueryRow>(rows.begin() + 1, rows.end());
    EXPECT_EQ(failure(noStart),
              "The saved query 'Broken Query' cannot be read: its start row is missing.");
    auto noEnd = std::vector<QueryRow>(rows.begin(), rows.end() - 1);
    EXPECT_EQ(failure(noEnd),
              "The saved query 'Broken Query' cannot be read: its end row is missing.");
    EXPECT_EQ(failure({}),
              "The saved query 'Broken Query' cannot be read: it has no rows in MSysQueries.");
}

TEST(QueryTextErrors, UnknownAttribute) {
    auto rows = framed({flags(1), table("T")});
    QueryRow odd;
    odd.attribute = 12;
    rows.insert(rows.begin() + 2, odd);
    EXPECT_EQ(failure(rows), "The saved query 'Broken Query' cannot be read: a row has the "
                             "unknown attribute 12.");
}

TEST(QueryTextErrors, JoinsThatCannotBeBuilt) {
    auto rows = framed({flags(0), table("A"), table("B"), column("A.x"),
                        join(1, "A", "Missing", "A.id = Missing.id")});
    EXPECT_NE(failure(rows).find("a join names 'Missing', which is not a table of the query"),
              std::string::npos);
    rows =
        framed({flags(0), table("A"), table("B"), column("A.x"), join(5, "A", "B", "A.i = B.i")});
    EXPECT_NE(failure(rows).find("unknown type 5"), std::string::npos);
    rows = framed({flags(0), table("A"), table("B"), column("A.x"), join(1, "A", "B", "A.i = B.i"),
                   join(2, "A", "B", "A.j = B.j")});
    EXPECT_NE(failure(rows).find("joined in two different ways"), std::string::npos);
}

TEST(QueryTextErrors, OtherDamage) {
    EXPECT_NE(failure(framed({flags(0x10, "many"), table("T"), column("T.a")})).find("TOP count"),
              std::string::npos);
    EXPECT_NE(failure(framed({flags(0), table("T")})).find("no output columns"), std::string::npos);
    EXPECT_NE(failure(framed({flags(0), table("T"), column("T.a"),
                              makeRow(Attribute::Parameter, {}, 99, "P")}))
                  .find("the parameter 'P' has the unknown type 99"),
              std::string::npos);
    EXPECT_NE(failure(framed({flags(3),
                              makeRow(Attribute::Table, "SELECT a FROM T", 0, {}, "X7YZ_____1")},
                             9),
                      QueryKind::Union)
                  .find("a side of its UNION is missing"),
              std::string::npos);
    EXPECT_NE(failure(framed({flags(0), table("T"), column("T.a"), makeRow(Attribute::Where, "x"),
                              makeRow(Attribute::Where, "y")}))
                  .find("two WHERE rows"),
              std::string::npos);
}

// Rows of a crosstab: the TRANSFORM value has neither flag, row headings flag 2, the pivot
// flag 1 (its IN list inside its expression); the pivot's GROUP BY row is not written.
TEST(QueryText, ACrosstabTransformsAndPivots) {
    auto rows = framed(
        {table("Orders"), makeRow(Attribute::Column, "Sum(Orders.Amount)", 0, "Total"),
         makeRow(Attribute::Column, "Orders.Customer", 2),
         makeRow(Attribute::Column, "Year([OrderDate])", 2, "OrderYear"),
         makeRow(Attribute::Column, "\"Q\" & DatePart(\"q\",[OrderDate]) In (\"Q1\",\"Q2\")", 1),
         makeRow(Attribute::Where, "Orders.Amount > 0"),
         makeRow(Attribute::GroupBy, "Orders.Customer", 2),
         makeRow(Attribute::GroupBy, "Year([OrderDate])", 2),
         makeRow(Attribute::GroupBy, "\"Q\" & DatePart(\"q\",[OrderDate])", 1),
         makeRow(Attribute::OrderBy, "Orders.Customer")},
        6);
    const std::string expected =
        "TRANSFORM Sum(Orders.Amount) AS Total\r\n"
        "SELECT Orders.Customer, Year([OrderDate]) AS OrderYear\r\nFROM Orders\r\n"
        "WHERE Orders.Amount > 0\r\nGROUP BY Orders.Customer, Year([OrderDate])\r\n"
        "ORDER BY Orders.Customer\r\nPIVOT \"Q\" & DatePart(\"q\",[OrderDate]) In (\"Q1\",\"Q2\");";
    EXPECT_EQ(text(rows, QueryKind::Crosstab), expected);
    EXPECT_EQ(text(rows, QueryKind::Select), expected); // the type row decides
    rows.erase(rows.begin() + 6);                       // the pivot
    EXPECT_NE(failure(rows, QueryKind::Crosstab).find("its PIVOT expression is missing"),
              std::string::npos);
}

TEST(QueryText, ActionQueriesAreRebuilt) {
    auto target = [](std::vector<QueryRow> rows, std::string name) {
        rows[1].name1 = std::move(name);
        return rows;
    };
    const QueryRow where = makeRow(Attribute::Where, "T.a > 1");
    EXPECT_EQ(text(target(framed({flags(0), table("T"), column("T.a"), where}, 2), "New T"),
                   QueryKind::MakeTable),
              "SELECT T.a INTO [New T]\r\nFROM T\r\nWHERE T.a > 1;");
    EXPECT_EQ(
        text(target(framed({flags(0), table("T"), makeRow(Attribute::Column, "T.a", 0, {}, "Kept")},
                           3),
                    "Archive"),
             QueryKind::Append),
        "INSERT INTO Archive ( Kept )\r\nSELECT T.a\r\nFROM T;");
    const auto value = static_cast<std::int16_t>(0x8000);
    EXPECT_EQ(text(target(framed({makeRow(Attribute::Column, "1", value),
                                  makeRow(Attribute::Column, "'x'", value)},
                                 3),
                          "Archive"),
                   QueryKind::Append),
              "INSERT INTO Archive\r\nVALUES (1, 'x');");
    EXPECT_EQ(
        text(framed({table("T"), makeRow(Attribute::Column, "T.a + 1", 0, {}, "a"), where}, 4),
             QueryKind::Update),
        "UPDATE T\r\nSET a = T.a + 1\r\nWHERE T.a > 1;");
    EXPECT_EQ(text(framed({flags(0), table("T"), column("T.*"), where}, 5), QueryKind::Delete),
              "DELETE T.*\r\nFROM T\r\nWHERE T.a > 1;");
}

TEST(QueryTextErrors, QueriesForOtherServersAreNotRead) {
    EXPECT_EQ(failure(framed({}, 8), QueryKind::PassThrough),
              "The saved query 'Broken Query' cannot be read: it is a pass-through query, whose "
              "text is run by another database server, not by Jet.");
    EXPECT_NE(failure(framed({}, 7), QueryKind::DataDefinition).find("data-definition"),
              std::string::npos);
    EXPECT_NE(failure(framed({flags(0), table("T"), column("T.a")}, 2), QueryKind::MakeTable)
                  .find("it names no target table"),
              std::string::npos);
}

} // namespace
