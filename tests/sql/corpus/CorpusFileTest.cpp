// The corpus format: how records, their statements and their expected rows are read.
#include "CorpusFile.h"

#include <gtest/gtest.h>

namespace {

using corpus::Expect;
using corpus::parseCorpus;

TEST(CorpusFile, ReadsEachKindOfRecord) {
    const auto records = parseCorpus("# a comment\n"
                                     "statement ok\n"
                                     "create table T (a long)\n"
                                     "\n"
                                     "statement count 2\n"
                                     "insert into T\n"
                                     "select 1 from U\n"
                                     "\n"
                                     "statement error Syntax error in CREATE TABLE statement.\n"
                                     "create table\n"
                                     "\n"
                                     "query rowsort\n"
                                     "select a from T\n"
                                     "----\n"
                                     "1\n"
                                     "<empty>\n");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].expect, Expect::Ok);
    EXPECT_EQ(records[0].line, 2);
    EXPECT_EQ(records[1].expect, Expect::Count);
    EXPECT_EQ(records[1].count, 2);
    EXPECT_EQ(records[1].sql, "insert into T\nselect 1 from U");
    EXPECT_EQ(records[2].expect, Expect::Error);
    EXPECT_EQ(records[2].message, "Syntax error in CREATE TABLE statement.");
    EXPECT_EQ(records[3].expect, Expect::Rows);
    EXPECT_TRUE(records[3].rowsort);
    EXPECT_EQ(records[3].rows, (std::vector<std::string>{"1", ""}));
}

TEST(CorpusFile, CrlfJoinsLinesAndKeepsAMarkedFinalBreak) {
    const auto records = parseCorpus("statement ok crlf\n"
                                     "create table T (\n"
                                     "[a] long)\n"
                                     "<crlf>\n"
                                     "\n"
                                     "query crlf\n"
                                     "select a\n"
                                     " from T\n"
                                     "----\n"
                                     "\n"
                                     "statement crlf error Oops.\n"
                                     "x\n"
                                     "y\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].sql, "create table T (\r\n[a] long)\r\n");
    EXPECT_EQ(records[1].sql, "select a\r\n from T");
    EXPECT_TRUE(records[1].rows.empty());
    EXPECT_EQ(records[2].sql, "x\r\ny");
    EXPECT_EQ(records[2].message, "Oops.");
}

TEST(CorpusFile, SkipMarksTheNextRecord) {
    const auto records = parseCorpus("skip not supported yet\nstatement ok\nselect 1\n\n"
                                     "statement ok\nselect 2\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].skipReason, "not supported yet");
    EXPECT_FALSE(records[1].skipReason);
}

TEST(CorpusFile, RefusesMalformedRecords) {
    EXPECT_THROW(parseCorpus("query\nselect 1\n"), std::runtime_error);          // no ----
    EXPECT_THROW(parseCorpus("statement\nselect 1\n"), std::runtime_error);      // no outcome
    EXPECT_THROW(parseCorpus("statement ok\nx\n<crlf>\n"), std::runtime_error);  // no crlf
    EXPECT_THROW(parseCorpus("statement ok\nx\n----\n1\n"), std::runtime_error); // rows
    EXPECT_THROW(parseCorpus("query columns\nselect 1\n----\n"), std::runtime_error);
    EXPECT_THROW(parseCorpus("select 1\n"), std::runtime_error);
}

} // namespace
