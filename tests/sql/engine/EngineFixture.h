#pragma once
// A session on a small in-memory database of customers, orders and order lines, with a
// fixed clock, and helpers that run a statement and give its rows (or its error) as text.
#include "core/Error.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/MemoryStorage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace engine_test {

inline const char* const kSchema[] = {
    "create table Customers (ID counter primary key, Name text(50) not null, City text(30), "
    "Credit currency, Joined datetime, Vip yesno)",
    "insert into Customers (Name, City, Credit, Joined, Vip) values "
    "('Alice', 'Paris', 100.5, #2001-01-15#, true)",
    "insert into Customers (Name, City, Credit, Joined, Vip) values "
    "('bob', 'London', 20, #2002-03-01#, false)",
    "insert into Customers (Name, City, Credit, Joined, Vip) values "
    "('Carol', 'Paris', null, #2003-07-04#, false)",
    "insert into Customers (Name, City, Credit, Joined, Vip) values "
    "('dave', null, 5.25, null, true)",
    "insert into Customers (Name, City, Credit, Joined, Vip) values "
    "('Eve', 'berlin', 0, #2001-01-15#, false)",
    "create table Orders (OrderID long primary key, CustomerID long, Amount double, "
    "Placed datetime, Note memo)",
    "insert into Orders values (10, 1, 250, #2004-01-01#, 'first')",
    "insert into Orders values (11, 1, 99.5, #2004-02-01#, null)",
    "insert into Orders values (12, 2, 10, #2004-02-15#, 'x')",
    "insert into Orders values (13, 3, 300, #2004-03-01#, null)",
    "insert into Orders values (14, 9, 5, #2004-03-02#, 'orphan')",
    "create table Items (OrderID long, Line integer, Product text(20), Qty integer, "
    "constraint ItemsKey primary key (OrderID, Line))",
    "insert into Items values (10, 1, 'Pen', 3)",
    "insert into Items values (10, 2, 'Ink', 1)",
    "insert into Items values (11, 1, 'pen', 2)",
    "insert into Items values (12, 1, 'Paper', 10)",
    "insert into Items values (13, 1, 'Ink', 5)",
};

// One statement and what it gives: the rows as "a|b" lines, "affected N" for a change, or
// "error: message".
struct Case {
    const char* name;
    const char* sql;
    const char* expected;
};

inline std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << c.name;
}

class EngineTest : public ::testing::Test {
protected:
    EngineTest() : session(storage) {
        session.evalContext().clock = [] { return core::DateTime{38000.5}; }; // 2004-01-14 12:00
        for (const char* sql : kSchema) session.execute(sql);
    }

    // The rows as lines of "|"-separated values.
    std::string run(const std::string& sql, std::vector<core::Value> parameters = {}) {
        sql::ResultSet r = session.execute(sql, parameters);
        if (!r.hasRows()) return "affected " + std::to_string(r.rowsAffected());
        return sql::resultText(r);
    }

    // run(), or "error: " and the message.
    std::string outcome(const std::string& sql, std::vector<core::Value> parameters = {}) {
        try {
            return run(sql, std::move(parameters));
        } catch (const core::Error& e) {
            return std::string("error: ") + e.what();
        }
    }

    std::string errorOf(const std::string& sql, std::vector<core::Value> parameters = {}) {
        try {
            run(sql, std::move(parameters));
        } catch (const core::Error& e) {
            return e.what();
        }
        return "(no error)";
    }

    std::vector<std::string> columnNames(const std::string& sql) {
        sql::ResultSet r = session.execute(sql);
        std::vector<std::string> names;
        for (const auto& c : r.columns()) names.push_back(c.name);
        return names;
    }

    sql::MemoryStorage storage;
    sql::Session session;
};

// Runs a table of cases against the fixture database; each case on a fresh one. Each test
// file names its own suite with this macro.
#define ENGINE_CORPUS(Suite)                                                                       \
    class Suite : public EngineTest, public ::testing::WithParamInterface<Case> {};                \
    TEST_P(Suite, GivesExpectedOutcome) {                                                          \
        EXPECT_EQ(outcome(GetParam().sql), GetParam().expected) << GetParam().sql;                 \
    }

} // namespace engine_test
