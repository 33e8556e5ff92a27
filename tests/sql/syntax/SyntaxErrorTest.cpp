// Statements Jet rejects, with the message the provider gives for each.
#include "ParseHelpers.h"

namespace sql {
namespace {

using test::Case;

constexpr const char* createTable = "Syntax error in CREATE TABLE statement.";
constexpr const char* createIndex = "Syntax error in CREATE INDEX statement.";
constexpr const char* drop = "Syntax error in DROP TABLE or DROP INDEX.";
constexpr const char* alterTable = "Syntax error in ALTER TABLE statement.";
constexpr const char* insertInto = "Syntax error in INSERT INTO statement.";
constexpr const char* update = "Syntax error in UPDATE statement.";
constexpr const char* deleteStatement = "Syntax error in DELETE statement.";
constexpr const char* transaction = "Syntax error in TRANSACTION statement.";
constexpr const char* field = "Syntax error in field definition.";
constexpr const char* constraint = "Syntax error in CONSTRAINT clause.";
constexpr const char* from = "Syntax error in FROM clause.";
constexpr const char* join = "Syntax error in JOIN operation.";
constexpr const char* orderBy = "Syntax error in ORDER BY clause.";
constexpr const char* groupBy = "Syntax error in GROUP BY clause.";
constexpr const char* parameters = "Syntax error in PARAMETER clause.";
constexpr const char* select = "The SELECT statement includes a reserved word or an argument "
                               "name that is misspelled or missing, or the punctuation is "
                               "incorrect.";
constexpr const char* unknown =
    "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.";
constexpr const char* trailing = "Characters found after end of SQL statement.";

class SyntaxErrors : public ::testing::TestWithParam<Case> {};

TEST_P(SyntaxErrors, GiveJetsMessage) {
    EXPECT_EQ(test::errorOf(test::withCrLf(GetParam().sql)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, SyntaxErrors,
    ::testing::Values(
        // Statement kinds.
        Case{"", unknown}, Case{"   \n", unknown}, Case{"foo bar", unknown},
        Case{"selec * from t", unknown}, Case{"(select 1)", unknown}, Case{"@", unknown},
        Case{"select * from t; select 1", trailing}, Case{"drop table t;;", trailing},
        // CREATE TABLE and the Table Creator's mistakes.
        Case{"create table  (\n[ID] counter)\n", createTable}, // empty table name
        Case{"create table t", createTable}, Case{"create table t [a] long", createTable},
        Case{"create table t (a long", createTable}, Case{"create table t (a long) x", createTable},
        Case{"create foo", createTable}, Case{"create table t (\n[x] text(),\n[y] long)\n", field},
        Case{"create table t (\n[x] text())\n", field},
        Case{"create table t (\n[x] float default ,\n[y] long)\n", field},
        Case{"create table t (\n[x] currency default )\n", field},
        Case{"create table t (\n[x] text(abc))\n", field},
        Case{"create table t (\n[] text(10))\n", field}, Case{"create table t ()", field},
        Case{"create table t (a long,)", field}, Case{"create table t (a)", field},
        Case{"create table t (a unknowntype)", field}, Case{"create table t (a yes/no)", field},
        Case{"create table t (a memo(10))", field}, Case{"create table t (a long(4))", field},
        Case{"create table t (a decimal(40, 2))", field},
        Case{"create table t (a decimal(5, 6))", field},
        Case{"create table t (a counter(1, ))", field},
        Case{"create table t (a text(10) default \"a\"b\")", field},
        Case{"create table t (a long default (1 + ))", field},
        Case{"create table t (a long default 1 default 2)", field},
        Case{"create table t (a long not 5)", field}, Case{"create table t (a text with)", field},
        Case{"create table t (a long references)", constraint},
        Case{"create table t (a long constraint primary key)", constraint},
        Case{"create table t (a long constraint pk foreign key)", constraint},
        Case{"create table t (a long primary)", constraint},
        Case{"create table t (a long references u on insert cascade)", constraint},
        Case{"create table t (a long references u on delete restrict)", constraint},
        Case{"create table t (a long, constraint pk primary key a)", constraint},
        Case{"create table t (a long, constraint pk primary key ())", constraint},
        Case{"create table t (a long, constraint fk foreign key (a) u)", constraint},
        Case{"create table t (a long, constraint ck check (a >))", constraint},
        Case{"create table t (a long, constraint pk primary key (a) b)", constraint},
        // CREATE INDEX, DROP, ALTER TABLE.
        Case{"create index INDEX_NAME on (COLUMN_NAME) with primary\n", createIndex},
        Case{"create index on t (a)", createIndex}, Case{"create index i t (a)", createIndex},
        Case{"create index i on t a", createIndex}, Case{"create index i on t ()", createIndex},
        Case{"create index i on t (a) with", createIndex},
        Case{"create index i on t (a) with null", createIndex},
        Case{"create index i on t (a) with disallow", createIndex},
        Case{"create unique i on t (a)", createTable}, Case{"drop t", drop},
        Case{"drop table", drop}, Case{"drop table a, b", drop}, Case{"drop index i", drop},
        Case{"drop index i on", drop}, Case{"alter table t", alterTable},
        Case{"alter t add a long", alterTable}, Case{"alter table t rename a", alterTable},
        Case{"alter table t drop constraint", alterTable}, Case{"alter table t add", field},
        Case{"alter table t add column long", field},
        Case{"alter table t alter column c text()", field},
        // INSERT, UPDATE, DELETE, transactions.
        Case{"insert t values (1)", insertInto}, Case{"insert into t", insertInto},
        Case{"insert into t values 1", insertInto}, Case{"insert into t values (1", insertInto},
        Case{"insert into t (a values (1)", insertInto},
        Case{"insert into (a) values (1)", insertInto}, Case{"insert into t values ()", insertInto},
        Case{"update t a = 1", update}, Case{"update set a = 1", update},
        Case{"update t set a 1", update}, Case{"update t set = 1", update},
        Case{"update t set a = 1 where", update}, Case{"delete t", deleteStatement},
        Case{"delete from", from}, Case{"delete from t u v", from}, Case{"begin", transaction},
        Case{"begin work", transaction}, Case{"commit foo", transaction},
        Case{"rollback transaction now", transaction},
        // SELECT clauses.
        Case{"select", select}, Case{"select from t", select}, Case{"select a, from t", select},
        Case{"select a as from t", select}, Case{"select top a from t", select},
        Case{"select top -1 a from t", select}, Case{"select * into from t", select},
        Case{"select a from t union b", select}, Case{"select * from t where", select},
        Case{"select * from t where a = 1)", select},
        Case{"select a into x from t union select b into y from u", select},
        Case{"select * from", from}, Case{"select * from a b c", from},
        Case{"select * from [a]b]", from}, Case{"select * from t,", from},
        Case{"select * from (select a from t", from}, Case{"select * from t as", from},
        Case{"select * from t in 'other.mdb'", from}, Case{"select * from t inner join u", join},
        Case{"select * from t join u on t.a = u.a", join},
        Case{"select * from t left u on t.a = u.a", join},
        Case{"select * from t inner join on t.a = 1", join},
        Case{"select * from t order by", orderBy}, Case{"select * from t order a", orderBy},
        Case{"select * from t order by a,", orderBy}, Case{"select * from t group by", groupBy},
        Case{"select * from t group a", groupBy},
        // Parameters declarations.
        Case{"parameters x; select 1", parameters}, Case{"parameters x long select 1", parameters},
        Case{"parameters ; select 1", parameters}));

class ExpressionErrors : public ::testing::TestWithParam<Case> {};

TEST_P(ExpressionErrors, QuoteTheExpression) {
    EXPECT_EQ(test::errorOf(GetParam().sql), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ExpressionErrors,
    ::testing::Values(
        Case{"select a b c from t", "Syntax error (missing operator) in query expression 'a b c'."},
        Case{"select a b c, d from t",
             "Syntax error (missing operator) in query expression 'a b c'."},
        Case{"select * from t where a = 1 b = 2",
             "Syntax error (missing operator) in query expression 'a = 1 b = 2'."},
        Case{"select * from t where a = 1 b order by a",
             "Syntax error (missing operator) in query expression 'a = 1 b'."},
        Case{"select * from t where a +",
             "Syntax error (missing operator) in query expression 'a +'."},
        Case{"select * from t where a = = b",
             "Syntax error (missing operator) in query expression 'a = = b'."},
        Case{"select * from t where x = @a",
             "Syntax error (missing operator) in query expression 'x = @a'."},
        Case{"select * from t where a in 1",
             "Syntax error (missing operator) in query expression 'a in 1'."},
        Case{"select * from t where a between 1",
             "Syntax error (missing operator) in query expression 'a between 1'."},
        Case{"select * from t where a is 5",
             "Syntax error (missing operator) in query expression 'a is 5'."},
        Case{"select * from t where a like",
             "Syntax error (missing operator) in query expression 'a like'."},
        Case{"select * from t where a.b.c = 1",
             "Syntax error (missing operator) in query expression 'a.b.c = 1'."},
        Case{"select t.* + 1 from t",
             "Syntax error (missing operator) in query expression 't.* + 1'."},
        Case{"select * from [T] order by First Name",
             "Syntax error (missing operator) in query expression 'First Name'."},
        Case{"select * from t group by a b",
             "Syntax error (missing operator) in query expression 'a b'."},
        Case{"select * from t inner join u on t.a = u.a b",
             "Syntax error (missing operator) in query expression 't.a = u.a b'."},
        Case{"insert into t values (1 2)",
             "Syntax error (missing operator) in query expression '1 2'."},
        Case{"update t set a = 1 2", "Syntax error (missing operator) in query expression '1 2'."},
        Case{"delete from t where a a",
             "Syntax error (missing operator) in query expression 'a a'."},
        Case{"select count(distinct a) from t",
             "Syntax error (missing operator) in query expression 'count(distinct a)'."},
        Case{"select max(*) from t",
             "Syntax error (missing operator) in query expression 'max(*)'."},
        Case{"select sum(a, b) from t",
             "Wrong number of arguments used with function in query expression 'sum(a, b)'."},
        Case{"select count() from t",
             "Wrong number of arguments used with function in query expression 'count()'."},
        Case{"select * from t where a = (1, 2)",
             "Syntax error (comma) in query expression 'a = (1, 2)'."},
        Case{"select * from t where a = (1 + 2",
             "Missing ), ], or Item in query expression 'a = (1 + 2'."},
        Case{"select * from t where f(a = 1",
             "Missing ), ], or Item in query expression 'f(a = 1'."},
        Case{"select * from t where a in (1, 2",
             "Missing ), ], or Item in query expression 'a in (1, 2'."},
        Case{"select * from t where a = 'abc",
             "Syntax error in string in query expression 'a = 'abc'."},
        Case{"select * from t where a = \"abc",
             "Syntax error in string in query expression 'a = \"abc'."},
        Case{"select 'abc from t", "Syntax error in string in query expression ''abc from t'."},
        Case{"update t set a = 'x where b = 1",
             "Syntax error in string in query expression ''x where b = 1'."},
        Case{"insert into t values ('x)", "Syntax error in string in query expression ''x)'."},
        Case{"select * from t where a = 1 'x",
             "Syntax error in string in query expression 'a = 1 'x'."},
        Case{"select * from t where a = #1/2",
             "Syntax error in date in query expression 'a = #1/2'."},
        Case{"select * from t where a = #13/13/2000#",
             "Syntax error in date in query expression 'a = #13/13/2000#'."},
        Case{"select * from t where a = #2/30/2000# or b = 1",
             "Syntax error in date in query expression 'a = #2/30/2000# or b = 1'."},
        Case{"select * from t where (select a from t x y z) = 1", from},
        Case{"select * from t where a in (select b c d from u)",
             "Syntax error (missing operator) in query expression 'b c d'."},
        Case{"select * from [Select Table", "Invalid bracketing of name '[Select Table'."},
        Case{"select * from t where x = [abc\n", "Invalid bracketing of name '[abc'."},
        Case{"select * from t where a = 1e999", "Overflow"}));

TEST(ExpressionErrors, StandaloneExpressions) {
    EXPECT_EQ(test::expressionErrorOf(""),
              "Syntax error (missing operator) in query expression ''.");
    EXPECT_EQ(test::expressionErrorOf("a +"),
              "Syntax error (missing operator) in query expression 'a +'.");
    EXPECT_EQ(test::expressionErrorOf("a b"),
              "Syntax error (missing operator) in query expression 'a b'.");
    EXPECT_EQ(test::expressionErrorOf("'open"),
              "Syntax error in string in query expression ''open'.");
    EXPECT_EQ(test::expressionErrorOf("count(a, b)"),
              "Wrong number of arguments used with function in query expression 'count(a, b)'.");
    EXPECT_EQ(test::expressionErrorOf("[]"),
              "Syntax error (missing operator) in query expression '[]'.");
}

TEST(SyntaxErrorPosition, PointsAtTheOffendingToken) {
    struct PositionCase {
        const char* sql;
        const char* at; // the text the error should point at
    };
    for (const PositionCase& c :
         {PositionCase{"select a b c from t", "c from"},
          PositionCase{"create table t (a text())", "))"},
          PositionCase{"select * from t where a = 'x", "'x"},
          PositionCase{"select * from t; x", "x"}, PositionCase{"drop tabel t", "tabel"},
          PositionCase{"select * from [open", "[open"}}) {
        const std::string sql = c.sql;
        try {
            parseStatement(sql);
            ADD_FAILURE() << "parsed: " << sql;
        } catch (const SyntaxError& e) {
            EXPECT_EQ(e.offset(), sql.rfind(c.at)) << sql;
        }
    }
}

TEST(SyntaxErrorType, IsAnSqlError) {
    EXPECT_THROW(parseStatement("select"), core::SqlError);
    EXPECT_THROW(parseStatement("select"), core::Error);
}

} // namespace
} // namespace sql
