// Inserts of one shape run from a cached plan: each must store exactly what the same
// statement stores in a session that never saw the shape, literal types and errors included,
// and a plan must not outlive the table definition it was made for.
#include "sql/engine/planning/InsertPlanCache.h"
#include "JetFileTest.h"
#include "core/Error.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"
#include "sql/engine/storage/MemoryStorage.h"
#include "sql/syntax/Parser.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

const char* const kTable = "create table T (ID long primary key, Txt text(6), Num double, "
                           "Cur currency, D datetime, B yesno, M memo, V long)";

// A statement's outcome and the row it left for ID 2, or its error.
std::string outcome(sql::Session& session, const std::string& statement) {
    try {
        session.execute(statement);
    } catch (const core::Error& e) {
        return std::string("error: ") + e.what();
    }
    sql::ResultSet r = session.execute("select * from T where ID = 2");
    return sql::resultText(r);
}

struct LiteralCase {
    const char* name;
    const char* columns; // after ID
    const char* first;   // values after the ID, teaching the shape
    const char* second;  // values after the ID, run from the plan
};

std::ostream& operator<<(std::ostream& os, const LiteralCase& c) {
    return os << c.name;
}

class CachedInsert : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(CachedInsert, StoresWhatAnUncachedRunStores) {
    const LiteralCase& c = GetParam();
    const std::string head = std::string("insert into T (ID, ") + c.columns + ") values (";
    const std::string second = head + "2, " + c.second + ")";

    sql::MemoryStorage cachedStorage, freshStorage;
    sql::Session cached(cachedStorage), fresh(freshStorage);
    cached.execute(kTable);
    fresh.execute(kTable);
    cached.execute(head + "1, " + c.first + ")");
    EXPECT_EQ(outcome(cached, second), outcome(fresh, second)) << second;
}

const LiteralCase kLiterals[] = {
    {"leading_zeros_stay_text", "Txt", "'1'", "'007'"},
    {"number_into_text", "Txt", "1", "007"},
    {"real_into_text", "Txt", "1.5", "1.0"},
    {"doubled_quotes", "Txt", "'a'", "'it''s'"},
    {"double_quoted_string", "Txt", "\"a\"", "\"x\"\"y\""},
    {"empty_text", "Txt", "'a'", "''"},
    {"text_too_long", "Txt", "'a'", "'abcdefgh'"},
    {"integer_then_real_shape", "Num", "1", "2147483648"},
    {"real", "Num", "1.0", "2.5e3"},
    {"negative_integer", "Num", "-1", "-5"},
    {"long_minimum", "V", "-1", "-2147483648"},
    {"long_overflow", "V", "1", "2147483648"},
    {"plus_sign", "Num", "+1", "+7.25"},
    {"negative_zero", "Num", "-1.0", "-0.0"},
    {"number_too_large", "Num", "1.0", "1e400"},
    {"currency_exact", "Cur", "1.5", "123456.7891"},
    {"currency_negative", "Cur", "-1.5", "-0.0001"},
    {"currency_point_only", "Cur", "1.5", "7."},
    {"currency_rounded", "Cur", "1.5", "1.23456"},
    {"currency_many_digits", "Cur", "1.5", "99999999999.99995"},
    {"currency_whole_beyond_long", "Cur", "1", "12345678901234"},
    {"currency_overflow", "Cur", "1", "999999999999999"},
    {"currency_exponent", "Cur", "1.5", "1.5e3"},
    {"text_into_currency", "Cur", "'1'", "'12.34'"},
    {"text_not_a_number", "Cur", "'1'", "'x'"},
    {"date", "D", "#2001-01-15#", "#1/2/1899 13:45#"},
    {"time_only", "D", "#2001-01-15#", "#13:45:10#"},
    {"not_a_date", "D", "#2001-01-15#", "#2001-13-45#"},
    {"yes_no_number", "B", "0", "-1"},
    {"yes_no_keyword", "B", "true", "true"},
    {"null_constant", "Txt, Num", "null, 1", "null, 2"},
    {"memo_with_marks", "M", "'a'", "'(x, y), #1# ''z'''"},
    {"many_columns", "Txt, Num, Cur, D, B, M", "'a', 1, 2, #2001-01-01#, 0, 'm'",
     "'b', -3.5, 4.25, #1850-06-30#, 1, 'n'"},
    {"expression_is_not_cached", "Num", "1 + 1", "2 + 3"},
    {"function_is_not_cached", "Txt", "Left('abc', 1)", "Left('xyz', 2)"},
};

INSTANTIATE_TEST_SUITE_P(Literals, CachedInsert, ::testing::ValuesIn(kLiterals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(InsertPlanCache, GivesTheParsersValuesForALearnedShape) {
    sql::MemoryStorage storage;
    sql::Session session(storage);
    session.execute(kTable);
    const std::string first = "insert into T (ID, Txt, Num) values (1, 'a', 1.5)";
    session.execute(first);
    sql::InsertPlanCache cache;
    std::vector<std::optional<core::Value>> given;
    EXPECT_EQ(cache.find(first, storage, session.evalContext(), given), nullptr);
    cache.learn(first, sql::parseStatement(first), storage);
    const auto* plan = cache.find("insert into T (ID, Txt, Num) values (7, 'b''c', -2.5)", storage,
                                  session.evalContext(), given);
    ASSERT_NE(plan, nullptr);
    ASSERT_EQ(given.size(), 8u);
    EXPECT_EQ(given[0], core::Value(std::int32_t(7)));
    EXPECT_EQ(given[1], core::Value(std::string("b'c")));
    EXPECT_EQ(given[2], core::Value(-2.5));
    EXPECT_FALSE(given[3].has_value());
    // Another kind of literal is another shape.
    EXPECT_EQ(cache.find("insert into T (ID, Txt, Num) values (7, 'b', 2)", storage,
                         session.evalContext(), given),
              nullptr);
}

// Each step runs in a session that cached the first insert and in one that ran it in another
// shape (a leading blank), so there the last insert is planned afresh. `change` holds
// statements separated by ";".
struct SchemaCase {
    const char* name;
    const char* first;
    const char* change;
    const char* second;
};

std::ostream& operator<<(std::ostream& os, const SchemaCase& c) {
    return os << c.name;
}

class CachedAfterSchemaChange : public ::testing::TestWithParam<SchemaCase> {};

void expectSameAfterChange(const SchemaCase& c, sql::Session& cached, sql::Session& fresh) {
    for (sql::Session* s : {&cached, &fresh}) {
        s->execute("create table T (ID long primary key, Txt text(10))");
        s->execute(std::string(s == &fresh ? " " : "") + c.first);
        std::string change = c.change;
        for (std::size_t at = 0; at <= change.size();) {
            const std::size_t end = std::min(change.find(';', at), change.size());
            if (end > at) s->execute(change.substr(at, end - at));
            at = end + 1;
        }
    }
    EXPECT_EQ(outcome(cached, c.second), outcome(fresh, c.second)) << c.second;
}

TEST_P(CachedAfterSchemaChange, FollowsTheNewDefinition) {
    sql::MemoryStorage cachedStorage, freshStorage;
    sql::Session cached(cachedStorage), fresh(freshStorage);
    expectSameAfterChange(GetParam(), cached, fresh);
}

// A Jet file's storage says when its definitions may have changed, and a plan trusts that.
TEST_P(CachedAfterSchemaChange, FollowsTheNewDefinitionInAJetFile) {
    const auto dir = testing_support::scratchDir(std::string("sql-plan-") + GetParam().name);
    auto cachedFile = jet::Database::create(dir / "cached.mdb");
    auto freshFile = jet::Database::create(dir / "fresh.mdb");
    sql::JetStorage cachedStorage(*cachedFile), freshStorage(*freshFile);
    sql::Session cached(cachedStorage), fresh(freshStorage);
    expectSameAfterChange(GetParam(), cached, fresh);
}

const SchemaCase kSchemaChanges[] = {
    {"column_added", "insert into T values (1, 'a')", "alter table T add column N long",
     "insert into T values (2, 'b')"},
    {"table_made_again", "insert into T (ID, Txt) values (1, '5')",
     "drop table T; create table T (ID long primary key, Txt long)",
     "insert into T (ID, Txt) values (2, '7')"},
    {"table_dropped", "insert into T (ID, Txt) values (1, 'a')", "drop table T",
     "insert into T (ID, Txt) values (2, 'b')"},
    {"unique_index_added", "insert into T (ID, Txt) values (1, 'a')",
     "create unique index ByTxt on T (Txt)", "insert into T (ID, Txt) values (2, 'a')"},
    {"duplicate_key", "insert into T (ID, Txt) values (2, 'a')", "",
     "insert into T (ID, Txt) values (2, 'b')"},
};

INSTANTIATE_TEST_SUITE_P(Schema, CachedAfterSchemaChange, ::testing::ValuesIn(kSchemaChanges),
                         [](const auto& info) { return std::string(info.param.name); });

// Rows of a script in one transaction: refused ones (a key already written, on the leaf
// being filled or on an earlier one) leave the rest, and a rollback takes every row back.
class CachedJetInserts : public engine_test::JetFileTest {
protected:
    std::string run(const std::string& text) {
        auto result = session->execute(text);
        return sql::resultText(result);
    }
    void insert(int id) {
        session->execute("insert into T (ID, Txt) values (" + std::to_string(id) + ", 'r" +
                         std::to_string(id) + "')");
    }
};

TEST_F(CachedJetInserts, RefusedRowsInATransactionLeaveTheOthers) {
    session->execute("create table T (ID long primary key, Txt text(10))");
    session->execute("begin transaction");
    for (int id = 1; id <= 2000; ++id) insert(id);
    for (int id : {2000, 1, 1000, 1999}) EXPECT_THROW(insert(id), core::ConstraintError) << id;
    insert(2001);
    session->execute("commit transaction");
    EXPECT_EQ(run("select Count(*), Sum(ID) from T"), "2001|2003001\n");

    session->execute("begin transaction");
    for (int id = 3000; id <= 3300; ++id) insert(id);
    session->execute("rollback transaction");
    EXPECT_EQ(run("select Count(*) from T where ID >= 3000"), "0\n");
    insert(3000);
    EXPECT_THROW(insert(2001), core::ConstraintError);
    reopen();
    EXPECT_EQ(run("select Count(*), Max(Txt) from T"), "2002|r999\n");
    expectSound();
}

} // namespace
