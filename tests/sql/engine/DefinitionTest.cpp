// CREATE TABLE, CREATE INDEX, DROP and ALTER TABLE as the catalog sees them afterwards.
#include "EngineFixture.h"

namespace engine_test {
namespace {

const sql::ColumnInfo& column(const sql::TableInfo& t, const std::string& name) {
    return t.columns.at(*t.findColumn(name));
}

TEST_F(EngineTest, CreateTableDefinesColumns) {
    run("create table T (A text, B text(10) not null, C memo, D byte, E short, F long, "
        "G single, H double, I currency, J datetime, K yesno, L binary(8), M longbinary, "
        "N guid, O decimal(10, 2), P counter(100, 10))");
    auto t = storage.tableInfo("t");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->name, "T");
    ASSERT_EQ(t->columns.size(), 16u);
    EXPECT_EQ(column(*t, "A").type, jet::ColumnType::Text);
    EXPECT_EQ(column(*t, "A").size, 255u);
    EXPECT_EQ(column(*t, "B").size, 10u);
    EXPECT_TRUE(column(*t, "B").required);
    EXPECT_FALSE(column(*t, "A").required);
    EXPECT_EQ(column(*t, "C").type, jet::ColumnType::Memo);
    EXPECT_EQ(column(*t, "D").type, jet::ColumnType::Byte);
    EXPECT_EQ(column(*t, "E").type, jet::ColumnType::Integer);
    EXPECT_EQ(column(*t, "F").type, jet::ColumnType::Long);
    EXPECT_EQ(column(*t, "G").type, jet::ColumnType::Single);
    EXPECT_EQ(column(*t, "H").type, jet::ColumnType::Double);
    EXPECT_EQ(column(*t, "I").type, jet::ColumnType::Currency);
    EXPECT_EQ(column(*t, "J").type, jet::ColumnType::DateTime);
    EXPECT_EQ(column(*t, "K").type, jet::ColumnType::Boolean);
    EXPECT_EQ(column(*t, "L").type, jet::ColumnType::Binary);
    EXPECT_EQ(column(*t, "L").size, 8u);
    EXPECT_EQ(column(*t, "M").type, jet::ColumnType::Ole);
    EXPECT_EQ(column(*t, "N").type, jet::ColumnType::Guid);
    EXPECT_EQ(column(*t, "O").type, jet::ColumnType::Numeric);
    EXPECT_EQ(column(*t, "O").precision, 10);
    EXPECT_EQ(column(*t, "O").scale, 2);
    EXPECT_TRUE(column(*t, "P").autoNumber);
    run("insert into T (B) values ('x')");
    run("insert into T (B) values ('y')");
    EXPECT_EQ(run("select P from T"), "100\n110\n");
}

TEST_F(EngineTest, CreateTableConstraintsBecomeIndexes) {
    run("create table T (A long constraint PK primary key, B text(5) unique, C long, "
        "constraint Pair unique (B, C))");
    auto t = storage.tableInfo("T");
    ASSERT_TRUE(t);
    ASSERT_EQ(t->indexes.size(), 3u);
    EXPECT_EQ(t->indexes[0].name, "PK");
    EXPECT_TRUE(t->indexes[0].primary);
    EXPECT_EQ(t->indexes[1].columns.size(), 1u);
    EXPECT_TRUE(t->indexes[1].unique);
    EXPECT_EQ(t->indexes[2].name, "Pair");
    EXPECT_EQ(t->indexes[2].columns.size(), 2u);
    run("insert into T values (1, 'a', 1)");
    EXPECT_EQ(errorOf("insert into T values (2, 'A', 2)").substr(0, 40),
              "The changes you requested to the table w");
    // A unique key may repeat Null.
    run("insert into T (A) values (3)");
    run("insert into T (A) values (4)");
    EXPECT_EQ(run("select Count(*) from T"), "3\n");
}

TEST_F(EngineTest, CreateIndexVariants) {
    run("create index ByCity on Customers (City desc, Name)");
    run("create unique index ByName on Customers (Name) with ignore null");
    auto t = storage.tableInfo("Customers");
    const sql::IndexInfo* byCity = t->findIndex("bycity");
    ASSERT_NE(byCity, nullptr);
    ASSERT_EQ(byCity->columns.size(), 2u);
    EXPECT_TRUE(byCity->columns[0].descending);
    EXPECT_FALSE(byCity->unique);
    const sql::IndexInfo* byName = t->findIndex("ByName");
    ASSERT_NE(byName, nullptr);
    EXPECT_TRUE(byName->unique);
    EXPECT_TRUE(byName->ignoreNulls);
    EXPECT_EQ(errorOf("insert into Customers (Name) values ('ALICE')").substr(0, 12),
              "The changes ");
}

TEST_F(EngineTest, DropTableAndIndex) {
    run("create index ByCity on Customers (City)");
    EXPECT_EQ(run("drop index ByCity on Customers"), "affected 0");
    EXPECT_EQ(storage.tableInfo("Customers")->findIndex("ByCity"), nullptr);
    run("drop table Items");
    EXPECT_FALSE(storage.tableInfo("Items"));
    EXPECT_EQ(errorOf("select * from Items"),
              "The Microsoft Jet database engine cannot find the input table or query 'Items'. "
              "Make sure it exists and that its name is spelled correctly.");
}

TEST_F(EngineTest, AlterTableAddAndDropColumn) {
    run("alter table Orders add column Paid yesno");
    EXPECT_EQ(run("select OrderID, Paid from Orders where OrderID = 10"), "10|NULL\n");
    run("update Orders set Paid = true where OrderID = 10");
    EXPECT_EQ(run("select Paid from Orders where OrderID = 10"), "True\n");
    run("alter table Orders drop column Note");
    EXPECT_EQ(columnNames("select * from Orders"),
              (std::vector<std::string>{"OrderID", "CustomerID", "Amount", "Placed", "Paid"}));
}

TEST_F(EngineTest, AlterColumnConvertsValues) {
    run("alter table Items alter column Qty text(5)");
    EXPECT_EQ(storage.tableInfo("Items")->columns[3].type, jet::ColumnType::Text);
    EXPECT_EQ(run("select Qty from Items where OrderID = 12"), "10\n");
    EXPECT_EQ(errorOf("alter table Customers alter column Name text(3)"),
              "The field is too small to accept the amount of data you attempted to add. Try "
              "inserting or pasting less data.");
    EXPECT_EQ(storage.tableInfo("Customers")->columns[1].size, 50u);
}

TEST_F(EngineTest, AddAndDropConstraint) {
    run("alter table Items add constraint ByProduct unique (Product, Qty)");
    EXPECT_NE(storage.tableInfo("Items")->findIndex("ByProduct"), nullptr);
    run("alter table Items drop constraint ByProduct");
    EXPECT_EQ(storage.tableInfo("Items")->findIndex("ByProduct"), nullptr);
}

ENGINE_CORPUS(DefinitionErrors)

const Case kDefinitionErrors[] = {
    {"table_exists", "create table Orders (A long)", "error: Table 'Orders' already exists."},
    {"field_twice", "create table T (A long, a text)",
     "error: Field 'a' already exists in table 'T'."},
    {"two_counters", "create table T (A counter, B counter)",
     "error: Resultant table not allowed to have more than one AutoNumber field."},
    {"primary_key_twice", "create table T (A long primary key, B long primary key)",
     "error: Primary key already exists."},
    {"constraint_on_missing_column", "create table T (A long, constraint K unique (B))",
     "error: Invalid field definition 'B' in definition of index or relationship."},
    {"reference_to_missing_table",
     "create table T (A long, constraint F foreign key (A) references Nowhere (X))",
     "error: Cannot find table or constraint 'Nowhere'."},
    {"index_exists", "create index PrimaryKey on Customers (Name)",
     "error: Table 'Customers' already has an index named 'PrimaryKey'."},
    {"index_on_missing_column", "create index X on Customers (Nope)",
     "error: Invalid field definition 'Nope' in definition of index or relationship."},
    {"second_primary_index", "create index X on Customers (Name) with primary",
     "error: Primary key already exists."},
    {"unique_index_on_duplicates", "create unique index X on Items (OrderID)",
     "error: The changes you requested to the table were not successful because they would "
     "create duplicate values in the index, primary key, or relationship. Change the data in "
     "the field or fields that contain duplicate data, remove the index, or redefine the index "
     "to permit duplicate entries and try again."},
    {"index_on_missing_table", "create index X on Nowhere (A)",
     "error: The Microsoft Jet database engine cannot find the input table or query 'Nowhere'. "
     "Make sure it exists and that its name is spelled correctly."},
    {"drop_missing_table", "drop table Nowhere", "error: Table 'Nowhere' does not exist."},
    {"drop_missing_index", "drop index Nope on Customers",
     "error: No such index 'Nope' on table 'Customers'."},
    {"add_existing_column", "alter table Orders add column Amount double",
     "error: Field 'Amount' already exists in table 'Orders'."},
    {"drop_indexed_column", "alter table Orders drop column OrderID",
     "error: Cannot delete a field that is part of an index or is needed by the system."},
    {"drop_missing_column", "alter table Orders drop column Nope",
     "error: There is no field named 'Nope' in table 'Orders'."},
    {"drop_missing_constraint", "alter table Orders drop constraint Nope",
     "error: Cannot find table or constraint 'Nope'."},
    {"required_column_on_filled_table", "alter table Orders add column Must long not null",
     "error: The field 'Orders.Must' cannot contain a Null value because the Required property "
     "for this field is set to True. Enter a value in this field."},
    {"check_constraint", "create table T (A long, constraint C check (A > 0))",
     "error: CHECK constraints are not supported; use a validation in the application "
     "instead."},
};
INSTANTIATE_TEST_SUITE_P(Definitions, DefinitionErrors, ::testing::ValuesIn(kDefinitionErrors));

} // namespace
} // namespace engine_test
