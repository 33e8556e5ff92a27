// Expressions: precedence, literals, names, calls and subqueries.
#include "ParseHelpers.h"
#include "sql/syntax/Select.h"

#include <limits>

namespace sql {
namespace {

using test::Case;

class Precedence : public ::testing::TestWithParam<Case> {};

TEST_P(Precedence, GroupsLikeVba) {
    const std::string printed = test::printedExpression(GetParam().sql);
    EXPECT_EQ(printed, GetParam().expected);
    EXPECT_EQ(test::printedExpression(printed), printed) << "does not read back the same";
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, Precedence,
    ::testing::Values(
        Case{"a + b * c", "(a + (b * c))"}, Case{"(a + b) * c", "((a + b) * c)"},
        Case{"a - b - c", "((a - b) - c)"}, Case{"a / b * c", "((a / b) * c)"},
        Case{"a * b \\ c", "((a * b) \\ c)"}, Case{"a \\ b * c", "(a \\ (b * c))"},
        Case{"a \\ b mod c", "((a \\ b) mod c)"}, Case{"a mod b \\ c", "(a mod (b \\ c))"},
        Case{"a + b mod c", "(a + (b mod c))"}, Case{"a & b + c", "(a & (b + c))"},
        Case{"a + b & c", "((a + b) & c)"}, Case{"a & b = c", "((a & b) = c)"},
        Case{"2 ^ 3 ^ 2", "((2 ^ 3) ^ 2)"}, Case{"a * b ^ c", "(a * (b ^ c))"},
        // A sign binds looser than ^ but tighter than *.
        Case{"-a ^ 2", "(-(a ^ 2))"}, Case{"-a * b", "((-a) * b)"}, Case{"2 ^ -a", "(2 ^ (-a))"},
        Case{"-2 ^ 2", "(-(2 ^ 2))"}, Case{"- -a", "(-(-a))"}, Case{"a --b", "(a - (-b))"},
        Case{"+a", "(+a)"}, Case{"-(5)", "(-(5))"}, Case{"- +5", "(-(5))"},
        Case{"not true", "(not true)"}, Case{"a = b = c", "((a = b) = c)"},
        Case{"a < b and c >= d", "((a < b) and (c >= d))"},
        Case{"a <> b or c <= d and e > f", "((a <> b) or ((c <= d) and (e > f)))"},
        Case{"not a = b", "(not (a = b))"}, Case{"not a and b", "((not a) and b)"},
        Case{"not not a", "(not (not a))"}, Case{"a or b xor c", "((a or b) xor c)"},
        Case{"a xor b eqv c", "((a xor b) eqv c)"}, Case{"a eqv b imp c", "((a eqv b) imp c)"},
        Case{"a imp b or c", "(a imp (b or c))"}, Case{"a = not b", "(a = (not b))"},
        Case{"a between 1 and 5 and b", "((a between 1 and 5) and b)"},
        Case{"a between b + 1 and c & d", "(a between (b + 1) and (c & d))"},
        Case{"a not between 1 and 2", "(a not between 1 and 2)"},
        Case{"a like 'x*' & b", "(a like ('x*' & b))"},
        Case{"a not like \"[a-c]?\"", "(a not like '[a-c]?')"},
        Case{"a in (1, 2 + 3)", "(a in (1, (2 + 3)))"}, Case{"a not in ('x')", "(a not in ('x'))"},
        Case{"a + 1 in (2)", "((a + 1) in (2))"}, Case{"a is null", "(a is null)"},
        Case{"a is not null or b", "((a is not null) or b)"},
        Case{"not a is null", "(not (a is null))"}, Case{"((a))", "a"}, Case{"a=b", "(a = b)"},
        Case{"a\r\n+\r\nb", "(a + b)"}));

class Literals : public ::testing::TestWithParam<Case> {};

TEST_P(Literals, PrintAsCanonicalText) {
    EXPECT_EQ(test::printedExpression(GetParam().sql), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, Literals,
    ::testing::Values(Case{"42", "42"}, Case{"-42", "-42"}, Case{"2147483648", "2147483648.0"},
                      Case{"-2147483648", "-2147483648"}, Case{"1.5", "1.5"}, Case{".5", "0.5"},
                      Case{"3.0", "3.0"}, Case{"'it''s'", "'it''s'"},
                      Case{"\"say \"\"hi\"\"\"", "'say \"hi\"'"}, Case{"\"a'b\"", "'a''b'"},
                      Case{"''", "''"}, Case{"#1/2/2000#", "#2000-01-02#"},
                      Case{"#2000-01-02 10:30#", "#2000-01-02 10:30:00#"},
                      Case{"#10:30 PM#", "#22:30:00#"}, Case{"true", "true"}, Case{"Yes", "true"},
                      Case{"on", "true"}, Case{"FALSE", "false"}, Case{"no", "false"},
                      Case{"off", "false"}, Case{"Null", "null"}));

core::Value literalOf(std::string_view text) {
    auto e = parseExpression(text);
    const auto* lit = e->as<Literal>();
    EXPECT_NE(lit, nullptr) << text;
    return lit ? lit->value : core::Value();
}

TEST(ExpressionLiterals, CarryJetTypes) {
    EXPECT_EQ(literalOf("7").type(), core::DataType::Long);
    EXPECT_EQ(literalOf("-2147483648"), core::Value(std::numeric_limits<std::int32_t>::min()));
    EXPECT_EQ(literalOf("-2147483649"), core::Value(-2147483649.0));
    EXPECT_EQ(literalOf("7.0").type(), core::DataType::Double);
    EXPECT_EQ(literalOf("1e3"), core::Value(1000.0));
    EXPECT_EQ(literalOf("'x'"), core::Value("x"));
    EXPECT_EQ(literalOf("#12/31/1899#").type(), core::DataType::DateTime);
    EXPECT_EQ(literalOf("#12/31/1899#").get<core::DateTime>().days, 1.0);
    EXPECT_EQ(literalOf("true"), core::Value(true));
    EXPECT_TRUE(literalOf("null").isNull());
}

TEST(ExpressionLiterals, SignOnlyJoinsAPlainNumber) {
    EXPECT_NE(parseExpression("-(5)")->as<Unary>(), nullptr);
    EXPECT_NE(parseExpression("-a")->as<Unary>(), nullptr);
    EXPECT_NE(parseExpression("-5")->as<Literal>(), nullptr);
}

TEST(ExpressionNames, QualifiedAndBracketed) {
    struct NameCase {
        const char* text;
        const char* table;
        const char* column;
    };
    for (const NameCase& c :
         {NameCase{"a", "", "a"}, NameCase{"[my col]", "", "my col"}, NameCase{"T.col", "T", "col"},
          NameCase{"[T].[col]", "T", "col"}, NameCase{"T.[my col]", "T", "my col"},
          NameCase{"[T].col", "T", "col"}, NameCase{"T!col", "T", "col"},
          NameCase{"T.Order", "T", "Order"}, NameCase{"`T`.`c`", "T", "c"},
          NameCase{"[Enter a date:]", "", "Enter a date:"}}) {
        auto e = parseExpression(c.text);
        const auto* ref = e->as<ColumnRef>();
        ASSERT_NE(ref, nullptr) << c.text;
        EXPECT_EQ(ref->table, c.table) << c.text;
        EXPECT_EQ(ref->column, c.column) << c.text;
    }
}

TEST(ExpressionNames, PrintBracketedOnlyWhenNeeded) {
    EXPECT_EQ(test::printedExpression("[a]+[b c]+[select]+[T].[x]"),
              "(((a + [b c]) + [select]) + T.x)");
}

TEST(ExpressionCalls, FunctionsAndAggregates) {
    auto e = parseExpression("Count(*)");
    const auto* count = e->as<FunctionCall>();
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->aggregate, Aggregate::Count);
    EXPECT_TRUE(count->star);
    EXPECT_TRUE(count->args.empty());

    struct AggregateCase {
        const char* text;
        Aggregate aggregate;
    };
    for (const AggregateCase& c :
         {AggregateCase{"count(a)", Aggregate::Count}, AggregateCase{"SUM(a)", Aggregate::Sum},
          AggregateCase{"avg(a)", Aggregate::Avg}, AggregateCase{"min(a)", Aggregate::Min},
          AggregateCase{"max(a)", Aggregate::Max}, AggregateCase{"first(a)", Aggregate::First},
          AggregateCase{"last(a)", Aggregate::Last}, AggregateCase{"stdev(a)", Aggregate::StDev},
          AggregateCase{"stdevp(a)", Aggregate::StDevP}, AggregateCase{"var(a)", Aggregate::Var},
          AggregateCase{"varp(a)", Aggregate::VarP}, AggregateCase{"nz(a)", Aggregate::None}}) {
        auto parsed = parseExpression(c.text);
        const auto* call = parsed->as<FunctionCall>();
        ASSERT_NE(call, nullptr) << c.text;
        EXPECT_EQ(call->aggregate, c.aggregate) << c.text;
        EXPECT_EQ(call->args.size(), 1u) << c.text;
    }
}

TEST(ExpressionCalls, PrintWithArguments) {
    EXPECT_EQ(test::printedExpression("iif(a > 1, 'x', \"y\")"), "iif((a > 1), 'x', 'y')");
    EXPECT_EQ(test::printedExpression("Now()"), "Now()");
    EXPECT_EQ(test::printedExpression("Left$(a, 2) & Right(b, 1)"), "(Left$(a, 2) & Right(b, 1))");
    EXPECT_EQ(test::printedExpression("Format(d, \"yyyy\") = '2000'"),
              "(Format(d, 'yyyy') = '2000')");
    EXPECT_EQ(test::printedExpression("sum(a * b) / count(*)"), "(sum((a * b)) / count(*))");
}

TEST(ExpressionParameters, AreNumberedInTextOrder) {
    auto e = parseExpression("? + ? * ?");
    const auto* add = e->as<Binary>();
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->left->as<Parameter>()->index, 0);
    const auto* mul = add->right->as<Binary>();
    EXPECT_EQ(mul->left->as<Parameter>()->index, 1);
    EXPECT_EQ(mul->right->as<Parameter>()->index, 2);
}

TEST(ExpressionSubqueries, InExistsAndScalar) {
    EXPECT_EQ(test::printedExpression("a in (select b from t)"), "(a in (select b from t))");
    EXPECT_EQ(test::printedExpression("a not in (select b from t where c = 1)"),
              "(a not in (select b from t where (c = 1)))");
    EXPECT_EQ(test::printedExpression("not exists (select * from t where t.x = u.x)"),
              "(not exists (select * from t where (t.x = u.x)))");
    EXPECT_EQ(test::printedExpression("(select max(a) from t) + 1"),
              "((select max(a) from t) + 1)");
    auto e = parseExpression("exists (select 1)");
    ASSERT_NE(e->as<Exists>(), nullptr);
    EXPECT_EQ(e->as<Exists>()->query->first.items.size(), 1u);
}

TEST(ExpressionPositions, CoverTheSourceText) {
    const std::string text = "x + (a * 2) - f(b)";
    auto e = parseExpression(text);
    const auto* minus = e->as<Binary>();
    ASSERT_NE(minus, nullptr);
    EXPECT_EQ(e->offset, 0u);
    EXPECT_EQ(e->end, text.size());
    const auto* plus = minus->left->as<Binary>();
    ASSERT_NE(plus, nullptr);
    // The parentheses belong to the product's text.
    EXPECT_EQ(text.substr(plus->right->offset, plus->right->end - plus->right->offset), "(a * 2)");
    EXPECT_EQ(text.substr(minus->right->offset, minus->right->end - minus->right->offset), "f(b)");
}

TEST(ExpressionPositions, SignedLiteralStartsAtItsSign) {
    auto e = parseExpression("a = -5");
    const auto* eq = e->as<Binary>();
    ASSERT_NE(eq, nullptr);
    EXPECT_EQ(eq->right->offset, 4u);
    EXPECT_EQ(eq->right->end, 6u);
}

} // namespace
} // namespace sql
