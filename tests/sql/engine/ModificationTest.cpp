// INSERT, UPDATE, DELETE and SELECT INTO: what they change, what they refuse, and that a
// refused statement changes nothing.
#include "EngineFixture.h"

namespace engine_test {
namespace {

// A change statement followed by a query that shows its effect.
struct ChangeCase {
    const char* name;
    const char* change;
    const char* outcome; // "affected N" or "error: ..."
    const char* check;   // a select run afterwards
    const char* rows;    // what it gives
};

std::ostream& operator<<(std::ostream& os, const ChangeCase& c) {
    return os << c.name;
}

class ChangeCorpus : public EngineTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangeCorpus, ChangesAsExpected) {
    const ChangeCase& c = GetParam();
    EXPECT_EQ(outcome(c.change), c.outcome) << c.change;
    EXPECT_EQ(outcome(c.check), c.rows) << c.check;
}

const ChangeCase kInserts[] = {
    {"counter_numbers_new_row", "insert into Customers (Name) values ('Fay')", "affected 1",
     "select ID, Name, City, Vip from Customers where ID > 5", "6|Fay|NULL|NULL\n"},
    {"all_columns_in_order", "insert into Orders values (20, 2, 1.5, #2005-05-05#, 'n')",
     "affected 1", "select * from Orders where OrderID = 20",
     "20|2|1.5|2005-05-05T00:00:00.000|n\n"},
    {"text_converts_to_numbers", "insert into Orders (OrderID, Amount) values ('21', '7.5')",
     "affected 1", "select OrderID, Amount from Orders where OrderID = 21", "21|7.5\n"},
    {"insert_select",
     "insert into Items (OrderID, Line, Product, Qty) "
     "select OrderID, 9, 'Gift', 1 from Orders where CustomerID = 1",
     "affected 2", "select OrderID, Product from Items where Line = 9", "10|Gift\n11|Gift\n"},
    {"insert_select_from_target_reads_first",
     "insert into Items select Items.OrderID + 100 as OrderID, Line, Product, Qty from Items",
     "affected 5", "select Count(*), Min(OrderID), Max(OrderID) from Items", "10|10|113\n"},
    {"insert_select_matches_names",
     "insert into Items select Qty, Product, Line, Items.OrderID + 200 as OrderID from Items "
     "where Items.OrderID = 10",
     "affected 2", "select OrderID, Line, Product, Qty from Items where OrderID > 200",
     "210|1|Pen|3\n210|2|Ink|1\n"},
    {"alias_naming_its_own_column",
     "insert into Items select OrderID + 100 as OrderID, Line, Product, Qty from Items",
     "error: Circular reference caused by alias 'OrderID' in query definition's SELECT list.",
     "select Count(*) from Items", "5\n"},
    {"explicit_counter_moves_counter_on", "insert into Customers (ID, Name) values (50, 'Zed')",
     "affected 1", "select Max(ID) from Customers", "50\n"},
    {"duplicate_key_changes_nothing", "insert into Orders (OrderID) values (10)",
     "error: The changes you requested to the table were not successful because they would "
     "create duplicate values in the index, primary key, or relationship. Change the data in "
     "the field or fields that contain duplicate data, remove the index, or redefine the index "
     "to permit duplicate entries and try again.",
     "select Count(*) from Orders", "5\n"},
    {"null_in_primary_key", "insert into Orders (CustomerID) values (1)",
     "error: Index or primary key cannot contain a Null value.", "select Count(*) from Orders",
     "5\n"},
    {"required_column", "insert into Customers (City) values ('Rome')",
     "error: The field 'Customers.Name' cannot contain a Null value because the Required "
     "property for this field is set to True. Enter a value in this field.",
     "select Count(*) from Customers", "5\n"},
    {"text_too_long", "insert into Items values (30, 1, 'abcdefghijklmnopqrstuvwxyz', 1)",
     "error: The field is too small to accept the amount of data you attempted to add. Try "
     "inserting or pasting less data.",
     "select Count(*) from Items", "5\n"},
    {"type_mismatch", "insert into Orders (OrderID, Amount) values (22, 'abc')",
     "error: Data type mismatch in criteria expression.", "select Count(*) from Orders", "5\n"},
    {"value_count", "insert into Orders (OrderID, Amount) values (23)",
     "error: Number of query values and destination fields are not the same.",
     "select Count(*) from Orders", "5\n"},
    {"unknown_field", "insert into Orders (OrderID, Nope) values (23, 1)",
     "error: The INSERT INTO statement contains the following unknown field name: 'Nope'. Make "
     "sure you have typed the name correctly, and try the operation again.",
     "select Count(*) from Orders", "5\n"},
    {"insert_select_half_done_is_undone",
     "insert into Items (OrderID, Line, Product, Qty) select 40, 1, Name, 1 from Customers",
     "error: The changes you requested to the table were not successful because they would "
     "create duplicate values in the index, primary key, or relationship. Change the data in "
     "the field or fields that contain duplicate data, remove the index, or redefine the index "
     "to permit duplicate entries and try again.",
     "select Count(*) from Items", "5\n"},
    {"unknown_table", "insert into Nowhere values (1)",
     "error: The Microsoft Jet database engine cannot find the input table or query 'Nowhere'. "
     "Make sure it exists and that its name is spelled correctly.",
     "select Count(*) from Orders", "5\n"},
};
INSTANTIATE_TEST_SUITE_P(Inserts, ChangeCorpus, ::testing::ValuesIn(kInserts));

const ChangeCase kUpdates[] = {
    {"update_where", "update Customers set Credit = Credit * 2 where City = 'Paris'", "affected 2",
     "select Credit from Customers", "201.0000\n20.0000\nNULL\n5.2500\n0.0000\n"},
    {"update_nothing", "update Customers set Credit = 1 where ID = 99", "affected 0",
     "select Sum(Credit) from Customers", "125.7500\n"},
    {"update_reads_old_values",
     "update Items set Qty = Qty + Line, Line = Line + 10 where OrderID = 10", "affected 2",
     "select Line, Qty from Items where OrderID = 10", "11|4\n12|3\n"},
    {"update_through_join",
     "update Customers c inner join Orders o on c.ID = o.CustomerID set c.Vip = true "
     "where o.Amount > 200",
     "affected 2", "select Name from Customers where Vip", "Alice\nCarol\ndave\n"},
    {"update_each_row_once_through_join",
     "update Customers c inner join Orders o on c.ID = o.CustomerID set c.Credit = c.Credit + 1",
     "affected 3", "select Credit from Customers where ID = 1", "101.5000\n"},
    {"update_with_subquery",
     "update Customers set Vip = true where ID in (select CustomerID from Orders "
     "where Amount < 50)",
     "affected 1", "select Name from Customers where Vip", "Alice\nbob\ndave\n"},
    {"update_counter", "update Customers set ID = 7 where ID = 1",
     "error: Cannot update 'ID'; field not updateable.", "select Max(ID) from Customers", "5\n"},
    {"update_required_to_null", "update Customers set Name = null where ID = 1",
     "error: The field 'Customers.Name' cannot contain a Null value because the Required "
     "property for this field is set to True. Enter a value in this field.",
     "select Name from Customers where ID = 1", "Alice\n"},
    {"update_to_duplicate_is_undone", "update Items set Line = 1",
     "error: The changes you requested to the table were not successful because they would "
     "create duplicate values in the index, primary key, or relationship. Change the data in "
     "the field or fields that contain duplicate data, remove the index, or redefine the index "
     "to permit duplicate entries and try again.",
     "select Line from Items where OrderID = 10", "1\n2\n"},
    {"update_converts", "update Orders set Amount = '12.25' where OrderID = 12", "affected 1",
     "select Amount from Orders where OrderID = 12", "12.25\n"},
};
INSTANTIATE_TEST_SUITE_P(Updates, ChangeCorpus, ::testing::ValuesIn(kUpdates));

const ChangeCase kDeletes[] = {
    {"delete_where", "delete from Customers where Credit < 10", "affected 2",
     "select Name from Customers", "Alice\nbob\nCarol\n"},
    {"delete_star", "delete * from Items where Product = 'pen'", "affected 2",
     "select Count(*) from Items", "3\n"},
    {"delete_all", "delete from Items", "affected 5", "select Count(*) from Items", "0\n"},
    {"delete_through_join",
     "delete o.* from Orders o inner join Customers c on o.CustomerID = c.ID "
     "where c.Name = 'Alice'",
     "affected 2", "select OrderID from Orders", "12\n13\n14\n"},
    {"delete_join_needs_target",
     "delete from Orders o inner join Customers c on o.CustomerID = c.ID",
     "error: Specify the table containing the records you want to delete.",
     "select Count(*) from Orders", "5\n"},
    {"delete_with_subquery",
     "delete from Customers where ID not in (select CustomerID from Orders)", "affected 2",
     "select Count(*) from Customers", "3\n"},
};
INSTANTIATE_TEST_SUITE_P(Deletes, ChangeCorpus, ::testing::ValuesIn(kDeletes));

const ChangeCase kSelectInto[] = {
    {"select_into", "select Name, Credit into Rich from Customers where Credit > 10", "affected 2",
     "select * from Rich", "Alice|100.5000\nbob|20.0000\n"},
    {"select_into_expression", "select ID * 2 as Twice into Doubled from Customers", "affected 5",
     "select Sum(Twice) from Doubled", "30\n"},
    {"select_into_existing", "select * into Customers from Orders",
     "error: Table 'Customers' already exists.", "select Count(*) from Customers", "5\n"},
};
INSTANTIATE_TEST_SUITE_P(SelectInto, ChangeCorpus, ::testing::ValuesIn(kSelectInto));

TEST_F(EngineTest, CounterContinuesPastExplicitNumbers) {
    run("insert into Customers (ID, Name) values (50, 'Zed')");
    run("insert into Customers (Name) values ('Next')");
    EXPECT_EQ(run("select ID from Customers where Name = 'Next'"), "51\n");
}

TEST_F(EngineTest, SelectIntoKeepsColumnDefinitions) {
    run("select Name, Credit, ID into Copy from Customers");
    auto info = storage.tableInfo("Copy");
    ASSERT_TRUE(info);
    ASSERT_EQ(info->columns.size(), 3u);
    EXPECT_EQ(info->columns[0].type, jet::ColumnType::Text);
    EXPECT_EQ(info->columns[0].size, 50u);
    EXPECT_EQ(info->columns[1].type, jet::ColumnType::Currency);
    EXPECT_EQ(info->columns[2].type, jet::ColumnType::Long);
    EXPECT_FALSE(info->columns[2].autoNumber);
}

TEST_F(EngineTest, DefaultsFillColumnsNotGiven) {
    run("create table D (A long, B text(10) default 'x', C long default 5, T datetime default "
        "Now(), E long default 1)");
    run("insert into D (A, E) values (1, null)");
    EXPECT_EQ(run("select * from D"), "1|x|5|2004-01-14T12:00:00.000|NULL\n");
}

class RelationshipTest : public EngineTest {
protected:
    void SetUp() override {
        run("create table P (PID long primary key, Name text(10))");
        run("insert into P values (1, 'one')");
        run("insert into P values (2, 'two')");
    }
    void child(const std::string& actions) {
        run("create table C (CID long primary key, PID long, constraint FK_C_P foreign key "
            "(PID) references P (PID)" +
            actions + ")");
        run("insert into C values (10, 1)");
        run("insert into C values (11, 1)");
        run("insert into C values (12, null)");
    }
};

TEST_F(RelationshipTest, ChildNeedsItsParent) {
    child("");
    EXPECT_EQ(errorOf("insert into C values (13, 5)"),
              "You cannot add or change a record because a related record is required in table "
              "'P'.");
    EXPECT_EQ(errorOf("update C set PID = 7 where CID = 10"),
              "You cannot add or change a record because a related record is required in table "
              "'P'.");
    EXPECT_EQ(run("update C set PID = 2 where CID = 10"), "affected 1");
}

TEST_F(RelationshipTest, ParentWithChildrenStays) {
    child("");
    EXPECT_EQ(errorOf("delete from P where PID = 1"),
              "The record cannot be deleted or changed because table 'C' includes related "
              "records.");
    EXPECT_EQ(run("delete from P where PID = 2"), "affected 1");
    EXPECT_EQ(errorOf("drop table P"),
              "Cannot delete the table 'P'; it is part of one or more relationships.");
}

TEST_F(RelationshipTest, CascadeDeleteTakesChildren) {
    child(" on delete cascade");
    EXPECT_EQ(run("delete from P where PID = 1"), "affected 1");
    EXPECT_EQ(run("select CID from C"), "12\n");
}

TEST_F(RelationshipTest, CascadeUpdateCarriesKey) {
    child(" on update cascade");
    EXPECT_EQ(run("update P set PID = 5 where PID = 1"), "affected 1");
    EXPECT_EQ(run("select CID, PID from C"), "10|5\n11|5\n12|NULL\n");
}

TEST_F(RelationshipTest, SetNullClearsChildren) {
    child(" on delete set null");
    run("delete from P where PID = 1");
    EXPECT_EQ(run("select CID, PID from C"), "10|NULL\n11|NULL\n12|NULL\n");
}

} // namespace
} // namespace engine_test
