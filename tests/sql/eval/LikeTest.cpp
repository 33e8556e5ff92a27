// LIKE patterns in both wildcard modes.
#include "EvalTestValues.h"

#include "sql/eval/EvalErrors.h"
#include "sql/eval/Like.h"

#include <gtest/gtest.h>

namespace {

using namespace evaltest;
using sql::LikeMode;

struct LikeCase {
    const char* pattern;
    const char* text;
    bool expected;
};

void PrintTo(const LikeCase& c, std::ostream* os) {
    *os << "'" << c.text << "' LIKE '" << c.pattern << "'";
}

class Ansi92Like : public testing::TestWithParam<LikeCase> {};

TEST_P(Ansi92Like, Matches) {
    const LikeCase& c = GetParam();
    EXPECT_EQ(sql::LikePattern(c.pattern, LikeMode::Ansi92).matches(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, Ansi92Like,
    testing::Values(
        LikeCase{"abc", "abc", true}, LikeCase{"abc", "ABC", true}, LikeCase{"abc", "abcd", false},
        LikeCase{"a%", "a", true}, LikeCase{"a%", "abc", true}, LikeCase{"a%", "ba", false},
        LikeCase{"%c", "abc", true}, LikeCase{"%b%", "abc", true}, LikeCase{"%b%", "ac", false},
        LikeCase{"a_c", "abc", true}, LikeCase{"a_c", "ac", false}, LikeCase{"a%%c", "ac", true},
        LikeCase{"%a%a%", "banana", true}, LikeCase{"%n_", "banana", true},
        LikeCase{"%x%", "banana", false}, LikeCase{"[abc]x", "bx", true},
        LikeCase{"[abc]x", "dx", false}, LikeCase{"[a-c]", "B", true},
        LikeCase{"[a-c]", "d", false}, LikeCase{"[!a-c]", "d", true},
        LikeCase{"[!a-c]", "a", false}, LikeCase{"[^a-c]", "z", true}, LikeCase{"[%]", "%", true},
        LikeCase{"[%]", "x", false}, LikeCase{"100[%]", "100%", true}, LikeCase{"[_]%", "_x", true},
        LikeCase{"[_]%", "ax", false}, LikeCase{"a[]b", "ab", true}, LikeCase{"[-a]", "-", true},
        LikeCase{"*", "x", false}, LikeCase{"*", "*", true}, LikeCase{"#", "5", false},
        LikeCase{"", "", true}, LikeCase{"", "a", false}, LikeCase{"%", "", true},
        LikeCase{"_", "", false}, LikeCase{"\u00e9%", "\u00c9t\u00e9", true},
        LikeCase{"_", "\u4e2d", true}));

class Ansi89Like : public testing::TestWithParam<LikeCase> {};

TEST_P(Ansi89Like, Matches) {
    const LikeCase& c = GetParam();
    EXPECT_EQ(sql::LikePattern(c.pattern, LikeMode::Ansi89).matches(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Patterns, Ansi89Like,
                         testing::Values(LikeCase{"a*", "abc", true}, LikeCase{"a?c", "abc", true},
                                         LikeCase{"#", "7", true}, LikeCase{"#", "x", false},
                                         LikeCase{"###-####", "555-1234", true},
                                         LikeCase{"a%", "a%", true}, LikeCase{"a%", "ab", false},
                                         LikeCase{"[*]", "*", true}, LikeCase{"[#]", "#", true},
                                         LikeCase{"[!0-9]*", "x1", true},
                                         LikeCase{"[^a]", "^", true}));

TEST(Like, NullOnEitherSideIsNull) {
    EXPECT_TRUE(sql::like(null(), text("a%")).isNull());
    EXPECT_TRUE(sql::like(text("a"), null()).isNull());
}

TEST(Like, NumbersMatchByTheirText) {
    EXPECT_EQ(sql::like(lng(123), text("12%")), Value(true));
    EXPECT_EQ(sql::like(dbl(1.5), text("1._")), Value(true));
}

TEST(Like, UnclosedBracketIsAnError) {
    EXPECT_THROW(sql::LikePattern("[abc", LikeMode::Ansi92), sql::EvalError);
}

TEST(Like, CompiledPatternIsReusable) {
    const sql::LikePattern p("%son", LikeMode::Ansi92);
    EXPECT_TRUE(p.matches("Johnson"));
    EXPECT_FALSE(p.matches("Jones"));
    EXPECT_TRUE(p.matches("SON"));
}

} // namespace
