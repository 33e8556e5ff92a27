// The parameter scan of command texts: ":name" to "?", "::" to ":", quotes protect.
#include "data/ParameterScan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using data::scanParameters;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// --- Plain text ---------------------------------------------------------------------------

TEST(ParameterScanPlain, EmptyText) {
    const auto r = scanParameters("");
    EXPECT_EQ(r.text, "");
    EXPECT_THAT(r.parameterNames, IsEmpty());
}

TEST(ParameterScanPlain, TextWithoutColonIsUnchanged) {
    const std::string sql = "SELECT [a b], 'x' FROM t WHERE n > 3 AND d = #1/2/2000#";
    const auto r = scanParameters(sql);
    EXPECT_EQ(r.text, sql);
    EXPECT_THAT(r.parameterNames, IsEmpty());
}

// --- Names and their ends -----------------------------------------------------------------

TEST(ParameterScanNames, NameAtEndOfText) {
    const auto r = scanParameters("SELECT * FROM t WHERE id = :id");
    EXPECT_EQ(r.text, "SELECT * FROM t WHERE id = ?");
    EXPECT_THAT(r.parameterNames, ElementsAre("id"));
}

TEST(ParameterScanNames, SeveralParametersInTextOrderRepeatsKept) {
    const auto r = scanParameters("UPDATE t SET a = :x, b = :y WHERE c = :x");
    EXPECT_EQ(r.text, "UPDATE t SET a = ?, b = ? WHERE c = ?");
    EXPECT_THAT(r.parameterNames, ElementsAre("x", "y", "x"));
}

TEST(ParameterScanNames, ParametersSideBySide) {
    // ":" is not a terminator, so the second colon belongs to the first name.
    const auto r = scanParameters(":a:b");
    EXPECT_EQ(r.text, "?");
    EXPECT_THAT(r.parameterNames, ElementsAre("a:b"));
}

TEST(ParameterScanNames, ColonAtEndIsAnEmptyName) {
    const auto r = scanParameters("WHERE a = :");
    EXPECT_EQ(r.text, "WHERE a = ?");
    EXPECT_THAT(r.parameterNames, ElementsAre(""));
}

TEST(ParameterScanNames, ColonBeforeTerminatorIsAnEmptyName) {
    const auto r = scanParameters("f(:) : ,:;");
    EXPECT_EQ(r.text, "f(?) ? ,?;");
    EXPECT_THAT(r.parameterNames, ElementsAre("", "", ""));
}

TEST(ParameterScanNames, NameKeepsBytesAboveAscii) {
    const auto r = scanParameters(":na\xc3\xafve)");
    EXPECT_EQ(r.text, "?)");
    EXPECT_THAT(r.parameterNames, ElementsAre("na\xc3\xafve"));
}

// --- Each terminator ----------------------------------------------------------------------

struct TerminatorCase {
    std::string text;
    std::string scanned;
};

class ParameterScanTerminators : public ::testing::TestWithParam<TerminatorCase> {};

TEST_P(ParameterScanTerminators, NameStopsAndTerminatorIsKept) {
    const auto r = scanParameters(GetParam().text);
    EXPECT_EQ(r.text, GetParam().scanned);
    EXPECT_THAT(r.parameterNames, ElementsAre("p"));
}

INSTANTIATE_TEST_SUITE_P(
    Each, ParameterScanTerminators,
    ::testing::Values(TerminatorCase{":p x", "? x"}, TerminatorCase{":p\rx", "?\rx"},
                      TerminatorCase{":p\nx", "?\nx"}, TerminatorCase{":p,x", "?,x"},
                      TerminatorCase{":p;x", "?;x"}, TerminatorCase{"(:p)x", "(?)x"}));

TEST(ParameterScanNonTerminators, TabQuotesAndOtherBracketsDoNotEndAName) {
    EXPECT_THAT(scanParameters(":a\tb").parameterNames, ElementsAre("a\tb"));
    EXPECT_THAT(scanParameters(":a'b' c").parameterNames, ElementsAre("a'b'"));
    EXPECT_THAT(scanParameters(":a(b) c").parameterNames, ElementsAre("a(b"));
    EXPECT_THAT(scanParameters(":a]=1").parameterNames, ElementsAre("a]=1"));
    EXPECT_THAT(scanParameters(":a+1").parameterNames, ElementsAre("a+1"));
}

TEST(ParameterScanNonTerminators, QuoteInsideNameDoesNotOpenAString) {
    // The apostrophe was swallowed by the name, so the next ":" is outside any quote.
    const auto r = scanParameters(":a'b :c");
    EXPECT_EQ(r.text, "? ?");
    EXPECT_THAT(r.parameterNames, ElementsAre("a'b", "c"));
}

// --- Double colons ------------------------------------------------------------------------

TEST(ParameterScanDoubleColon, TwoColonsBecomeOne) {
    const auto r = scanParameters("SELECT a::b AS t");
    EXPECT_EQ(r.text, "SELECT a:b AS t");
    EXPECT_THAT(r.parameterNames, IsEmpty());
}

TEST(ParameterScanDoubleColon, FourColonsBecomeTwo) {
    const auto r = scanParameters("a::::b");
    EXPECT_EQ(r.text, "a::b");
    EXPECT_THAT(r.parameterNames, IsEmpty());
}

TEST(ParameterScanDoubleColon, ThreeColonsAreAColonThenAParameter) {
    const auto r = scanParameters("x:::y z");
    EXPECT_EQ(r.text, "x:? z");
    EXPECT_THAT(r.parameterNames, ElementsAre("y"));
}

TEST(ParameterScanDoubleColon, DoubleColonAtEnd) {
    const auto r = scanParameters("a::");
    EXPECT_EQ(r.text, "a:");
    EXPECT_THAT(r.parameterNames, IsEmpty());
}

// --- Quotes -------------------------------------------------------------------------------

class ParameterScanQuotes : public ::testing::TestWithParam<char> {
protected:
    std::string quoted(const std::string& inner) const {
        return std::string(1, GetParam()) + inner + GetParam();
    }
};

TEST_P(ParameterScanQuotes, ProtectColonsAndDoubleColons) {
    const std::string text = "WHERE a = " + quoted(":x ::y 10:30") + " AND b = :z";
    const auto r = scanParameters(text);
    EXPECT_EQ(r.text, "WHERE a = " + quoted(":x ::y 10:30") + " AND b = ?");
    EXPECT_THAT(r.parameterNames, ElementsAre("z"));
}

TEST_P(ParameterScanQuotes, UnterminatedQuoteProtectsTheRest) {
    const std::string text = "a = :p AND b = " + std::string(1, GetParam()) + "x :q ::r";
    const auto r = scanParameters(text);
    EXPECT_EQ(r.text, "a = ? AND b = " + std::string(1, GetParam()) + "x :q ::r");
    EXPECT_THAT(r.parameterNames, ElementsAre("p"));
}

TEST_P(ParameterScanQuotes, DoubledQuoteStaysInsideTheString) {
    const std::string string = quoted("it" + std::string(2, GetParam()) + "s :x");
    const auto r = scanParameters(string + " :y");
    EXPECT_EQ(r.text, string + " ?");
    EXPECT_THAT(r.parameterNames, ElementsAre("y"));
}

INSTANTIATE_TEST_SUITE_P(Each, ParameterScanQuotes, ::testing::Values('\'', '"', '`'),
                         [](const auto& info) {
                             switch (info.param) {
                             case '\'':
                                 return std::string("Apostrophe");
                             case '"':
                                 return std::string("DoubleQuote");
                             default:
                                 return std::string("GraveAccent");
                             }
                         });

TEST(ParameterScanMixedQuotes, OtherQuoteKindsInsideAStringAreText) {
    // Inside apostrophes a double quote neither closes nor opens anything.
    const auto r = scanParameters("'a\" :x' :y \"b' :z\" :w `c' :v` :u");
    EXPECT_EQ(r.text, "'a\" :x' ? \"b' :z\" ? `c' :v` ?");
    EXPECT_THAT(r.parameterNames, ElementsAre("y", "w", "u"));
}

// --- Date literals and bracketed names protect their colons --------------------------------

TEST(ParameterScanProtectedLiterals, TimeInADateLiteralStaysText) {
    const auto r = scanParameters("SELECT * FROM t WHERE d = #1/1/2000 10:30# AND n = :n");
    EXPECT_EQ(r.text, "SELECT * FROM t WHERE d = #1/1/2000 10:30# AND n = ?");
    EXPECT_THAT(r.parameterNames, ElementsAre("n"));
}

TEST(ParameterScanProtectedLiterals, TimeWithSecondsStaysText) {
    const auto r = scanParameters("WHERE d > #10:30:15# AND x = 1");
    EXPECT_EQ(r.text, "WHERE d > #10:30:15# AND x = 1");
    EXPECT_TRUE(r.parameterNames.empty());
}

TEST(ParameterScanProtectedLiterals, BracketedNamesKeepTheirColons) {
    const auto r = scanParameters("SELECT [a:b], [c]:d FROM t");
    EXPECT_EQ(r.text, "SELECT [a:b], [c]? FROM t");
    EXPECT_THAT(r.parameterNames, ElementsAre("d"));
}

} // namespace
