// CREATE INDEX, DROP and ALTER TABLE.
#include "ParseHelpers.h"

namespace sql {
namespace {

using test::Case;

class Definitions : public ::testing::TestWithParam<Case> {};

TEST_P(Definitions, Parse) {
    test::expectPrinted(test::withCrLf(GetParam().sql), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Definition, Definitions,
    ::testing::Values(
        // The index template the Table Creator starts with, untouched and filled in.
        Case{"create index INDEX_NAME on Customers(COLUMN_NAME) with primary\n",
             "create index INDEX_NAME on Customers (COLUMN_NAME) with primary"},
        Case{"create index PK on Customers(ID) with primary\n",
             "create index PK on Customers (ID) with primary"},
        // The index example on the page, over two lines.
        Case{"create index index_name on table_name\n(col_auto) with primary\n",
             "create index index_name on table_name (col_auto) with primary"},
        Case{"create index ix on t (a)", "create index ix on t (a)"},
        Case{"create unique index ix on t (a asc, b desc)",
             "create unique index ix on t (a, b desc)"},
        Case{"create index ix on [my table] ([a b])", "create index ix on [my table] ([a b])"},
        Case{"create index ix on t (a) with disallow null",
             "create index ix on t (a) with disallow null"},
        Case{"create index ix on t (a) with ignore null",
             "create index ix on t (a) with ignore null"},
        Case{"create index ix on t (a) with disallow null ignore null",
             "create index ix on t (a) with disallow null ignore null"},
        Case{"create index ix on t (a) with primary disallow null",
             "create index ix on t (a) with primary disallow null"},
        Case{"drop table t", "drop table t"},
        Case{"DROP TABLE [Old Data];", "drop table [Old Data]"},
        Case{"drop index ix on t", "drop index ix on t"},
        Case{"alter table t add column c text(10) not null",
             "alter table t add column c text(10) not null"},
        Case{"alter table t add c long default 0", "alter table t add column c long default 0"},
        Case{"alter table t add column [column] long", "alter table t add column [column] long"},
        Case{"alter table t add column column long", "alter table t add column [column] long"},
        Case{"alter table t alter column c text(100)", "alter table t alter column c text(100)"},
        Case{"alter table t alter c double", "alter table t alter column c double"},
        Case{"alter table t drop column c", "alter table t drop column c"},
        Case{"alter table t drop c", "alter table t drop column c"},
        Case{"alter table t add constraint pk primary key (a, b)",
             "alter table t add constraint pk primary key (a, b)"},
        Case{"alter table t add constraint fk foreign key (c) references u (id) on delete cascade",
             "alter table t add constraint fk foreign key (c) references u (id) on delete cascade"},
        Case{"alter table t add primary key (a)", "alter table t add primary key (a)"},
        Case{"alter table t drop constraint pk", "alter table t drop constraint pk"}));

TEST(Definition, IndexFields) {
    const Statement s =
        parseStatement("create unique index ix on t (a, b desc) with disallow null ignore null");
    const auto* index = s.as<CreateIndex>();
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->name, "ix");
    EXPECT_EQ(index->table, "t");
    EXPECT_TRUE(index->unique);
    ASSERT_EQ(index->columns.size(), 2u);
    EXPECT_FALSE(index->columns[0].descending);
    EXPECT_TRUE(index->columns[1].descending);
    EXPECT_FALSE(index->primary);
    EXPECT_TRUE(index->disallowNull);
    EXPECT_TRUE(index->ignoreNull);
}

TEST(Definition, DropFields) {
    const Statement table = parseStatement("drop table [My Table]");
    ASSERT_NE(table.as<DropTable>(), nullptr);
    EXPECT_EQ(table.as<DropTable>()->name, "My Table");
    const Statement index = parseStatement("drop index ix on t");
    ASSERT_NE(index.as<DropIndex>(), nullptr);
    EXPECT_EQ(index.as<DropIndex>()->name, "ix");
    EXPECT_EQ(index.as<DropIndex>()->table, "t");
}

TEST(Definition, AlterActions) {
    const Statement add = parseStatement("alter table t add column c text(20)");
    const auto* addColumn = std::get_if<AddColumn>(&add.as<AlterTable>()->action);
    ASSERT_NE(addColumn, nullptr);
    EXPECT_EQ(addColumn->column.name, "c");
    EXPECT_EQ(addColumn->column.type.size, 20u);

    const Statement drop = parseStatement("alter table t drop constraint fk");
    const auto* dropConstraint = std::get_if<DropConstraint>(&drop.as<AlterTable>()->action);
    ASSERT_NE(dropConstraint, nullptr);
    EXPECT_EQ(dropConstraint->name, "fk");

    const Statement constraint = parseStatement("alter table t add constraint u unique (a)");
    const auto* addConstraint = std::get_if<AddConstraint>(&constraint.as<AlterTable>()->action);
    ASSERT_NE(addConstraint, nullptr);
    EXPECT_EQ(addConstraint->constraint.kind, ConstraintKind::Unique);
    EXPECT_EQ(addConstraint->constraint.columns, std::vector<std::string>{"a"});
}

} // namespace
} // namespace sql
