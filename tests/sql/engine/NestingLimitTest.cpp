// Deep and long statements: nesting up to the parser's limit runs through every walk (parse,
// bind, plan, evaluate, print, destroy) without exhausting the stack, even under
// AddressSanitizer; anything deeper is refused as Jet refuses it, never a crash.
#include "EngineFixture.h"

#include <functional>

namespace engine_test {
namespace {

const std::string kTooComplex = "error: Query is too complex.";

std::string repeat(const std::string& text, std::size_t n) {
    std::string out;
    out.reserve(text.size() * n);
    for (std::size_t i = 0; i < n; ++i) out += text;
    return out;
}

// n terms joined by an operator.
std::string chain(const std::string& term, const std::string& op, std::size_t n) {
    std::string out = term;
    for (std::size_t i = 1; i < n; ++i) out += op + term;
    return out;
}

std::string parentheses(std::size_t n) {
    return "select " + repeat("(", n) + "ID" + repeat(")", n) + " from Customers where ID = 2";
}

std::string calls(std::size_t n) {
    return "select " + repeat("Abs(", n) + "-ID" + repeat(")", n) + " from Customers where ID = 2";
}

std::string signs(std::size_t n) {
    return "select " + repeat("- ", n) + "ID from Customers where ID = 2";
}

std::string nots(std::size_t n) {
    // An even number of them cancel out.
    return "select ID from Customers where " + repeat("not ", n) + "(ID = 2)";
}

std::string additions(std::size_t n) {
    return "select " + chain("1", "+", n) + " from Customers where ID = 2";
}

std::string concatenations(std::size_t n) {
    return "select Len(" + chain("'a'", " & ", n) + ") from Customers where ID = 2";
}

std::string conjunctions(std::size_t n) {
    return "select ID from Customers where " + chain("ID = 2", " and ", n);
}

std::string derivedTables(std::size_t n) {
    return repeat("select ID from (", n) + "select ID from Customers where ID = 2" + repeat(")", n);
}

std::string inSubqueries(std::size_t n) {
    return repeat("select ID from Customers where ID in (", n) +
           "select ID from Customers where ID = 2" + repeat(")", n);
}

std::string joins(std::size_t n) {
    std::string sql = "select c0.ID from Customers c0";
    for (std::size_t i = 1; i < n; ++i) {
        const std::string alias = "c" + std::to_string(i);
        sql += " inner join Customers " + alias + " on " + alias + ".ID = c0.ID";
    }
    return sql + " where c0.ID = 2";
}

struct Shape {
    const char* name;
    std::function<std::string(std::size_t)> sql;
    std::size_t allowed;   // runs to the end at this size
    std::string expected;  // what it gives then
    std::size_t excessive; // the size a hostile input used
};

std::ostream& operator<<(std::ostream& os, const Shape& s) {
    return os << s.name;
}

const Shape kShapes[] = {
    {"parentheses", parentheses, 395, "2\n", 4000},
    {"function_calls", calls, 395, "2\n", 10000},
    {"signs", signs, 394, "2\n", 10000},
    {"nots", nots, 394, "2\n", 10000},
    {"addition_chain", additions, 395, "395\n", 25000},
    {"concatenation_chain", concatenations, 395, "395\n", 100000},
    {"and_chain", conjunctions, 394, "2\n", 100000},
    {"derived_tables", derivedTables, 45, "2\n", 1000},
    {"in_subqueries", inSubqueries, 45, "2\n", 1000},
    {"joins", joins, 30, "2\n", 5000},
};

class NestingLimit : public EngineTest, public ::testing::WithParamInterface<Shape> {};

TEST_P(NestingLimit, RunsUpToTheLimit) {
    EXPECT_EQ(outcome(GetParam().sql(GetParam().allowed)), GetParam().expected);
}

TEST_P(NestingLimit, RefusesAHostileSizeAsTooComplex) {
    EXPECT_EQ(outcome(GetParam().sql(GetParam().excessive)), kTooComplex);
}

INSTANTIATE_TEST_SUITE_P(Shapes, NestingLimit, ::testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::string(info.param.name); });

// A saved query goes through the parser again whenever it is used, so the limit holds
// for what a view was made of as well; and the session stays usable after a refusal.
TEST_F(EngineTest, DeepViewRunsAndTooDeepStatementLeavesSessionUsable) {
    run("create view Deep as " + additions(395));
    EXPECT_EQ(outcome("select * from Deep"), "395\n");
    EXPECT_EQ(outcome("create view TooDeep as " + additions(5000)), kTooComplex);
    EXPECT_EQ(outcome("select Count(*) from Customers"), "5\n");
}

} // namespace
} // namespace engine_test
