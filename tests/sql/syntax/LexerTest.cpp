// Splitting statement text into tokens.
#include "sql/syntax/Lexer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace sql {
namespace {

using K = TokenKind;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<TokenKind> kinds(std::string_view text) {
    std::vector<TokenKind> out;
    for (const Token& t : tokenize(text)) out.push_back(t.kind);
    return out;
}

struct KindCase {
    const char* text;
    std::vector<TokenKind> kinds;
};

class LexerKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(LexerKinds, SplitsIntoTokens) {
    EXPECT_THAT(kinds(GetParam().text), ElementsAreArray(GetParam().kinds));
}

INSTANTIATE_TEST_SUITE_P(
    Lexer, LexerKinds,
    ::testing::Values(
        KindCase{"", {K::End}}, KindCase{" \r\n\t ", {K::End}},
        KindCase{"select * from t;", {K::Word, K::Star, K::Word, K::Word, K::Semicolon, K::End}},
        KindCase{"[T].[c]", {K::QuotedName, K::Dot, K::QuotedName, K::End}},
        KindCase{"T!c", {K::Word, K::Bang, K::Word, K::End}},
        KindCase{"a<=b<>c>=d<e>f=g",
                 {K::Word, K::LessEqual, K::Word, K::NotEqual, K::Word, K::GreaterEqual, K::Word,
                  K::Less, K::Word, K::Greater, K::Word, K::Equal, K::Word, K::End}},
        KindCase{"a+b-c*d/e\\f^g&h",
                 {K::Word, K::Plus, K::Word, K::Minus, K::Word, K::Star, K::Word, K::Slash, K::Word,
                  K::Backslash, K::Word, K::Caret, K::Word, K::Ampersand, K::Word, K::End}},
        KindCase{"12 1.5 .5 1e5 1.5E-3 2.",
                 {K::Integer, K::Real, K::Real, K::Real, K::Real, K::Real, K::End}},
        // An exponent needs digits: "1e" is a number and a name.
        KindCase{"1e", {K::Integer, K::Word, K::End}},
        // After a name a point qualifies, it does not start a number.
        KindCase{"T.5", {K::Word, K::Dot, K::Integer, K::End}},
        KindCase{"select .5", {K::Word, K::Real, K::End}},
        KindCase{"1.5.3", {K::Real, K::Real, K::End}},
        // No comments in Jet SQL: "--" is two minus signs.
        KindCase{"a --b", {K::Word, K::Minus, K::Minus, K::Word, K::End}},
        KindCase{"? , ( )", {K::Parameter, K::Comma, K::LParen, K::RParen, K::End}},
        KindCase{"'a' \"b\" #1/2/2000#", {K::String, K::String, K::Date, K::End}},
        KindCase{"'open", {K::OpenString, K::End}}, KindCase{"\"open", {K::OpenString, K::End}},
        KindCase{"[open", {K::OpenName, K::End}}, KindCase{"#1/2", {K::OpenDate, K::End}},
        KindCase{"a @ b", {K::Word, K::BadCharacter, K::Word, K::End}},
        KindCase{"`back tick`", {K::QuotedName, K::End}}));

TEST(Lexer, NamesLoseTheirBrackets) {
    const auto t = tokenize("[my col] `other one` plain");
    EXPECT_EQ(t[0].text, "my col");
    EXPECT_EQ(t[1].text, "other one");
    EXPECT_EQ(t[2].text, "plain");
}

TEST(Lexer, DoubledQuotesStandForOneQuote) {
    const auto t = tokenize("'it''s' \"say \"\"hi\"\"\" 'a\"b' \"c'd\"");
    EXPECT_EQ(t[0].text, "it's");
    EXPECT_EQ(t[1].text, "say \"hi\"");
    EXPECT_EQ(t[2].text, "a\"b");
    EXPECT_EQ(t[3].text, "c'd");
}

TEST(Lexer, StringsKeepLineEndsAndBlanks) {
    const auto t = tokenize("'a\r\n b '");
    ASSERT_EQ(t[0].kind, TokenKind::String);
    EXPECT_EQ(t[0].text, "a\r\n b ");
}

TEST(Lexer, OffsetsPointIntoTheText) {
    const std::string text = "select\r\n  [a b],x";
    const auto t = tokenize(text);
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].offset, 0u);
    EXPECT_EQ(t[0].end, 6u);
    EXPECT_EQ(t[1].offset, 10u);
    EXPECT_EQ(t[1].end, 15u);
    EXPECT_EQ(t[2].offset, 15u);
    EXPECT_EQ(t[3].offset, 16u);
    EXPECT_EQ(t[4].offset, text.size());
}

TEST(Lexer, KeywordsAreCaseInsensitive) {
    const auto t = tokenize("SeLeCt selects FROM Distinctrow");
    EXPECT_EQ(t[0].keyword, Keyword::Select);
    EXPECT_EQ(t[1].keyword, Keyword::None);
    EXPECT_EQ(t[2].keyword, Keyword::From);
    EXPECT_EQ(t[3].keyword, Keyword::DistinctRow);
}

TEST(Lexer, BracketedKeywordIsAName) {
    const auto t = tokenize("[select]");
    EXPECT_EQ(t[0].kind, TokenKind::QuotedName);
    EXPECT_EQ(t[0].keyword, Keyword::None);
}

TEST(Lexer, DollarEndsAFunctionName) {
    const auto t = tokenize("Left$(a)");
    EXPECT_EQ(t[0].text, "Left$");
    EXPECT_EQ(t[0].keyword, Keyword::None);
    EXPECT_EQ(t[1].kind, TokenKind::LParen);
}

TEST(Lexer, AccentedLettersNeedNoBrackets) {
    const auto t = tokenize("Größe = 1");
    EXPECT_THAT(kinds("Größe = 1"), ElementsAre(K::Word, K::Equal, K::Integer, K::End));
    EXPECT_EQ(t[0].text, "Größe");
}

TEST(Lexer, DateTokenHoldsTheTextBetweenTheSigns) {
    const auto t = tokenize("#1/2/2000 10:00 PM#");
    EXPECT_EQ(t[0].text, "1/2/2000 10:00 PM");
}

TEST(Lexer, ReservedWords) {
    EXPECT_TRUE(isReserved(keywordOf("select")));
    EXPECT_TRUE(isReserved(keywordOf("Order")));
    EXPECT_TRUE(isReserved(keywordOf("left")));
    // Words that only mean something in one place stay usable as names.
    EXPECT_FALSE(isReserved(keywordOf("table")));
    EXPECT_FALSE(isReserved(keywordOf("column")));
    EXPECT_FALSE(isReserved(keywordOf("percent")));
    EXPECT_FALSE(isReserved(keywordOf("default")));
    EXPECT_FALSE(isReserved(keywordOf("Customers")));
}

} // namespace
} // namespace sql
