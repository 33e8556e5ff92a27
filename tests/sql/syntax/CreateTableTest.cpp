// CREATE TABLE: the lines the Table Creator writes, Jet's type names and column clauses.
#include "ParseHelpers.h"

namespace sql {
namespace {

using test::Case;

const CreateTable& tableOf(const Statement& s) {
    const auto* t = s.as<CreateTable>();
    EXPECT_NE(t, nullptr);
    return *t;
}

class TableCreatorStatements : public ::testing::TestWithParam<Case> {};

TEST_P(TableCreatorStatements, Parse) {
    test::expectPrinted(test::withCrLf(GetParam().sql), GetParam().expected);
}

// Every statement ends with the line end the schema box leaves after its last line.
INSTANTIATE_TEST_SUITE_P(
    CreateTable, TableCreatorStatements,
    ::testing::Values(
        Case{"create table Customers (\n[ID] counter,\n[Name] text(50) not null)\n",
             "create table Customers (ID counter, Name text(50) not null)"},
        Case{"create table Customers (\nCustomerID counter,\nName text(50) not null,\nNotes memo "
             "default  \"none\" ,\nPrice currency default 0,\nJoined datetime,\nActive yesno "
             "default true\n)\n",
             "create table Customers (CustomerID counter, Name text(50) not null, Notes memo "
             "default 'none', Price currency default 0, Joined datetime, Active yesno default "
             "true)"},
        // The worked examples of the column line, one per type.
        Case{"create table T (\n[Code] text(10) not null default \"Y\",\n[X] long)\n",
             "create table T (Code text(10) not null default 'Y', X long)"},
        Case{"create table T (\n[Notes] memo default  \"x\",\n[X] long)\n",
             "create table T (Notes memo default 'x', X long)"},
        Case{"create table T (\n[Qty] integer not null default 0,\n[X] long)\n",
             "create table T (Qty long not null default 0, X long)"},
        Case{"create table T (\n[Active] yesno default true,\n[X] long)\n",
             "create table T (Active yesno default true, X long)"},
        Case{"create table T (\n[ID] counter,\n[X] long)\n", "create table T (ID counter, X long)"},
        Case{"create table T (\n[col_name] text(0))\n", "create table T (col_name text(255))"},
        Case{"create table T (\n[Code] text(10) default \"\")\n",
             "create table T (Code text(10) default '')"},
        Case{"create table T (\n[Say] text(10) default \"say \"\"hi\"\"\")\n",
             "create table T (Say text(10) default 'say \"hi\"')"},
        Case{"create table T (\n[Rate] float not null default 1.5,\n[Price] currency default "
             "0.25,\n[Blob] longbinary,\n[D] date,\n[DT] datetime,\n[Tm] time)\n",
             "create table T (Rate double not null default 1.5, Price currency default 0.25, "
             "Blob longbinary, D datetime, DT datetime, Tm datetime)"},
        Case{"create table T (\n[Neg] integer default -1)\n",
             "create table T (Neg long default -1)"},
        // The schema reminders on the page.
        Case{"create table table_name (\n[col_auto] counter,\n[col_bool] yesno,\n[col_memo] "
             "memo\n)\n",
             "create table table_name (col_auto counter, col_bool yesno, col_memo memo)"},
        Case{"create table table_name (\n[col_name] text(50) constraint link_name references "
             "\ntable(column))\n",
             "create table table_name (col_name text(50) constraint link_name references [table] "
             "([column]))"},
        Case{"create table table_name (\n[col_name] text(1) default \"Y\")\n",
             "create table table_name (col_name text(1) default 'Y')"},
        Case{"create table table_name (\n[col_name] text(1) not null)\n",
             "create table table_name (col_name text(1) not null)"},
        // A table name typed with blanks keeps them in the line; they separate nothing.
        Case{"create table  Customers  (\n[ID] counter)\n", "create table Customers (ID counter)"},
        Case{"create table [Order Details] ([Unit Price] currency)",
             "create table [Order Details] ([Unit Price] currency)"},
        Case{"CREATE TABLE t (a TEXT(20));", "create table t (a text(20))"}));

struct TypeCase {
    const char* written;
    FieldType type;
    std::uint32_t size;
};

std::ostream& operator<<(std::ostream& os, const TypeCase& c) {
    return os << c.written;
}

class TypeNames : public ::testing::TestWithParam<TypeCase> {};

TEST_P(TypeNames, ResolveSynonyms) {
    const Statement s =
        parseStatement(std::string("create table t (c ") + GetParam().written + ")");
    const ColumnType& type = tableOf(s).columns.at(0).type;
    EXPECT_EQ(type.type, GetParam().type);
    EXPECT_EQ(type.size, GetParam().size);
}

using enum FieldType;

INSTANTIATE_TEST_SUITE_P(
    CreateTable, TypeNames,
    ::testing::Values(
        TypeCase{"text", Text, 255}, TypeCase{"text(0)", Text, 255}, TypeCase{"TEXT(50)", Text, 50},
        TypeCase{"char(10)", Text, 10}, TypeCase{"char", Text, 255},
        TypeCase{"varchar(20)", Text, 20}, TypeCase{"string(30)", Text, 30},
        TypeCase{"alphanumeric", Text, 255}, TypeCase{"character varying (12)", Text, 12},
        TypeCase{"nvarchar(5)", Text, 5}, TypeCase{"national character varying(7)", Text, 7},
        TypeCase{"memo", Memo, 0}, TypeCase{"longtext", Memo, 0}, TypeCase{"note", Memo, 0},
        TypeCase{"longchar", Memo, 0}, TypeCase{"byte", Byte, 0}, TypeCase{"tinyint", Byte, 0},
        TypeCase{"integer1", Byte, 0}, TypeCase{"short", Integer, 0},
        TypeCase{"smallint", Integer, 0}, TypeCase{"integer2", Integer, 0},
        TypeCase{"long", Long, 0}, TypeCase{"int", Long, 0}, TypeCase{"integer", Long, 0},
        TypeCase{"integer4", Long, 0}, TypeCase{"single", Single, 0}, TypeCase{"real", Single, 0},
        TypeCase{"float4", Single, 0}, TypeCase{"double", Double, 0},
        TypeCase{"double precision", Double, 0}, TypeCase{"float", Double, 0},
        TypeCase{"float8", Double, 0}, TypeCase{"number", Double, 0},
        TypeCase{"currency", Currency, 0}, TypeCase{"money", Currency, 0},
        TypeCase{"datetime", DateTime, 0}, TypeCase{"date", DateTime, 0},
        TypeCase{"time", DateTime, 0}, TypeCase{"timestamp", DateTime, 0},
        TypeCase{"bit", Boolean, 0}, TypeCase{"logical", Boolean, 0}, TypeCase{"yesno", Boolean, 0},
        TypeCase{"boolean", Boolean, 0}, TypeCase{"counter", Counter, 0},
        TypeCase{"autoincrement", Counter, 0}, TypeCase{"longbinary", OleObject, 0},
        TypeCase{"image", OleObject, 0}, TypeCase{"oleobject", OleObject, 0},
        TypeCase{"general", OleObject, 0}, TypeCase{"binary(16)", Binary, 16},
        TypeCase{"varbinary(100)", Binary, 100}, TypeCase{"binary", Binary, 510},
        TypeCase{"guid", Guid, 0}, TypeCase{"uniqueidentifier", Guid, 0},
        TypeCase{"decimal", Decimal, 0}, TypeCase{"numeric(10,2)", Decimal, 0},
        TypeCase{"dec(5)", Decimal, 0}));

TEST(CreateTable, DecimalPrecisionAndScale) {
    const Statement s = parseStatement("create table t (a decimal, b numeric(10, 2), c dec(5))");
    const auto& cols = tableOf(s).columns;
    EXPECT_EQ(cols[0].type.precision, 18);
    EXPECT_EQ(cols[0].type.scale, 0);
    EXPECT_EQ(cols[1].type.precision, 10);
    EXPECT_EQ(cols[1].type.scale, 2);
    EXPECT_EQ(cols[2].type.precision, 5);
}

TEST(CreateTable, CounterSeedAndIncrement) {
    const Statement s =
        parseStatement("create table t (a counter(100, 5), b autoincrement(1, -1), c counter)");
    const auto& cols = tableOf(s).columns;
    EXPECT_EQ(cols[0].type.seed, 100);
    EXPECT_EQ(cols[0].type.increment, 5);
    EXPECT_EQ(cols[1].type.increment, -1);
    EXPECT_EQ(cols[2].type.seed, 1);
    EXPECT_EQ(cols[2].type.increment, 1);
}

TEST(CreateTable, TypeKeepsItsWrittenName) {
    const Statement s = parseStatement("create table t (a Double  Precision, b VarChar(3))");
    EXPECT_EQ(tableOf(s).columns[0].type.written, "Double Precision");
    EXPECT_EQ(tableOf(s).columns[1].type.written, "VarChar");
}

// The clauses after the type may come in any order.
class ClauseOrder : public ::testing::TestWithParam<Case> {};

TEST_P(ClauseOrder, GivesTheSameColumn) {
    test::expectPrinted(GetParam().sql, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    CreateTable, ClauseOrder,
    ::testing::Values(
        Case{"create table t (a text(5) not null default 'x')",
             "create table t (a text(5) not null default 'x')"},
        Case{"create table t (a text(5) default 'x' not null)",
             "create table t (a text(5) not null default 'x')"},
        Case{"create table t (a long default 0 primary key not null)",
             "create table t (a long not null default 0 primary key)"},
        Case{"create table t (a long unique default 1)",
             "create table t (a long default 1 unique)"},
        Case{"create table t (a long null)", "create table t (a long)"},
        Case{"create table t (a long default(1 + 2))", "create table t (a long default (1 + 2))"},
        Case{"create table t (a datetime default #1/1/2000#)",
             "create table t (a datetime default #2000-01-01#)"},
        Case{"create table t (a datetime default Now())",
             "create table t (a datetime default Now())"},
        Case{"create table t (a yesno default no)", "create table t (a yesno default false)"},
        Case{"create table t (a text default null)", "create table t (a text(255) default null)"},
        Case{"create table t (a memo with compression, b text(9) with comp)",
             "create table t (a memo with compression, b text(9) with compression)"}));

class Constraints : public ::testing::TestWithParam<Case> {};

TEST_P(Constraints, Parse) {
    test::expectPrinted(GetParam().sql, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    CreateTable, Constraints,
    ::testing::Values(
        Case{"create table t (id counter primary key)", "create table t (id counter primary key)"},
        Case{"create table t (id counter constraint pk primary key)",
             "create table t (id counter constraint pk primary key)"},
        Case{"create table t (code text(5) constraint uq unique)",
             "create table t (code text(5) constraint uq unique)"},
        Case{"create table t (a long constraint nn not null)", "create table t (a long not null)"},
        Case{"create table t (cust long references Customers)",
             "create table t (cust long references Customers)"},
        Case{"create table t (cust long references Customers (ID) on update cascade on delete set "
             "null)",
             "create table t (cust long references Customers (ID) on update cascade on delete "
             "set null)"},
        Case{"create table t (cust long constraint fk references Customers(ID) on delete cascade)",
             "create table t (cust long constraint fk references Customers (ID) on delete "
             "cascade)"},
        Case{"create table t (a long, b long, constraint pk primary key (a, b))",
             "create table t (a long, b long, constraint pk primary key (a, b))"},
        Case{"create table t (a long, primary key (a))",
             "create table t (a long, primary key (a))"},
        Case{"create table t (a long, b long, constraint u unique (b, a))",
             "create table t (a long, b long, constraint u unique (b, a))"},
        Case{"create table t (a long, constraint n not null (a))",
             "create table t (a long, constraint n not null (a))"},
        Case{"create table t (a long, constraint fk foreign key (a) references u (id) on update "
             "cascade on delete cascade)",
             "create table t (a long, constraint fk foreign key (a) references u (id) on update "
             "cascade on delete cascade)"},
        Case{"create table t (a long, constraint fk foreign key no index (a) references u)",
             "create table t (a long, constraint fk foreign key no index (a) references u)"},
        Case{"create table t (a long, constraint ck check (a > 0))",
             "create table t (a long, constraint ck check ((a > 0)))"},
        Case{"create table t (a long references u on update no action)",
             "create table t (a long references u)"}));

TEST(CreateTable, ColumnFields) {
    const Statement s = parseStatement(
        "create table t (a text(10) not null default 'x' constraint pk primary key, b long)");
    const CreateTable& t = tableOf(s);
    EXPECT_EQ(t.name, "t");
    ASSERT_EQ(t.columns.size(), 2u);
    const ColumnDef& a = t.columns[0];
    EXPECT_EQ(a.name, "a");
    EXPECT_TRUE(a.notNull);
    ASSERT_NE(a.defaultValue, nullptr);
    EXPECT_EQ(a.defaultValue->as<Literal>()->value, core::Value("x"));
    ASSERT_EQ(a.constraints.size(), 1u);
    EXPECT_EQ(a.constraints[0].name, "pk");
    EXPECT_EQ(a.constraints[0].kind, ConstraintKind::PrimaryKey);
    // A column constraint names its own column.
    EXPECT_EQ(a.constraints[0].columns, std::vector<std::string>{"a"});
    EXPECT_FALSE(t.columns[1].notNull);
    EXPECT_EQ(t.columns[1].defaultValue, nullptr);
}

TEST(CreateTable, ForeignKeyFields) {
    const Statement s = parseStatement(
        "create table t (a long, b long, constraint fk foreign key (a, b) references u (x, y) on "
        "delete set null)");
    const Constraint& c = tableOf(s).constraints.at(0);
    EXPECT_EQ(c.kind, ConstraintKind::ForeignKey);
    EXPECT_EQ(c.name, "fk");
    EXPECT_EQ(c.columns, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(c.referencedTable, "u");
    EXPECT_EQ(c.referencedColumns, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(c.onUpdate, ReferentialAction::Restrict);
    EXPECT_EQ(c.onDelete, ReferentialAction::SetNull);
}

TEST(CreateTable, DefaultInDoubleQuotesIsText) {
    const Statement s = parseStatement("create table t (a memo default  \"none\" )");
    const auto* lit = tableOf(s).columns[0].defaultValue->as<Literal>();
    ASSERT_NE(lit, nullptr);
    EXPECT_EQ(lit->value, core::Value("none"));
}

TEST(CreateTable, ColumnOffsets) {
    const std::string text = "create table t (a long,\r\n[b c] text)";
    const Statement s = parseStatement(text);
    EXPECT_EQ(tableOf(s).columns[1].offset, text.find('['));
}

} // namespace
} // namespace sql
