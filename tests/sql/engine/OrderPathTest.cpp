// ORDER BY over one stored table sorts keys with row locators and reads the rows back in
// order, or walks an index that gives the order. Each must give exactly the rows, in the
// order, that the sort of whole rows gives: a derived table (which has no locators) takes
// that sort, so the two are run side by side.
#include "JetFileTest.h"
#include "sql/engine/ResultText.h"

#include <string>

namespace engine_test {
namespace {

struct OrderCase {
    const char* name;
    const char* select; // the select list
    const char* rest;   // what follows FROM T
};

std::ostream& operator<<(std::ostream& os, const OrderCase& c) {
    return os << c.name;
}

// Duplicates and Nulls in every sort column, and rows stored out of key order.
const char* const kRows[] = {
    "insert into T values (5, 2.5, #2001-01-01#, 'b', true)",
    "insert into T values (3, null, #2001-01-02#, 'B', false)",
    "insert into T values (9, 2.5, null, 'a', false)",
    "insert into T values (1, -1, #2001-01-01#, null, true)",
    "insert into T values (7, null, null, 'c ', false)",
    "insert into T values (2, 0, #2000-12-31#, 'c', true)",
    "insert into T values (8, 2.5, #2001-01-01#, 'A', false)",
    "insert into T values (4, -1, #2002-01-01#, 'b', true)",
    "insert into T values (6, 1e300, #2001-01-02#, '', false)",
};

class OrderPath : public JetFileTest, public ::testing::WithParamInterface<OrderCase> {
protected:
    std::string rows(const std::string& sql) {
        sql::ResultSet result = session->execute(sql);
        return sql::resultText(result);
    }
};

TEST_P(OrderPath, GivesTheRowsOfTheWholeRowSort) {
    session->execute("create table T (ID long primary key, N double, D datetime, S text(10), "
                     "B yesno)");
    session->execute("create index ByN on T (N)");
    session->execute("create index ByNDescD on T (N desc, D)");
    for (const char* sql : kRows) session->execute(sql);
    session->execute("delete from T where ID = 2");
    session->execute("insert into T values (2, 0, #2000-12-31#, 'c', true)");

    const OrderCase& c = GetParam();
    const std::string direct = std::string(c.select) + " from T " + c.rest;
    const std::string derived = std::string(c.select) + " from (select * from T) as T " + c.rest;
    const std::string expected = rows(derived);
    ASSERT_NE(expected, "");
    EXPECT_EQ(rows(direct), expected) << direct;
}

const OrderCase kOrders[] = {
    {"number_ascending", "select ID, N", "order by N"},
    {"number_descending", "select ID, N", "order by N desc"},
    {"two_columns_mixed", "select ID, N, D", "order by N, D desc"},
    {"index_columns_reversed", "select ID, N, D", "order by N asc, D desc"},
    {"index_columns_same", "select ID, N, D", "order by N desc, D"},
    {"text_general_order", "select ID, S", "order by S, ID"},
    {"text_descending_ties", "select ID, S", "order by S desc"},
    {"yes_no_then_number", "select ID, B, N", "order by B, N desc"},
    {"date_not_selected", "select ID", "order by D desc"},
    {"primary_key_descending", "select *", "order by ID desc"},
    {"top_with_ties", "select top 2 ID, N", "order by N desc"},
    {"top_percent", "select top 50 percent ID, N", "order by N"},
    {"filtered", "select ID, N", "where N > -1 or S = 'b' order by N desc, ID"},
};
INSTANTIATE_TEST_SUITE_P(Orders, OrderPath, ::testing::ValuesIn(kOrders));

} // namespace
} // namespace engine_test
