// Taking Jet connection strings apart: the exact texts the Database page builds, the item
// syntax, and the provider check.
#include "data/ConnectionString.h"

#include "core/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using data::ConnectionString;
using ::testing::HasSubstr;
using ::testing::Optional;

// The message of the core::Error that parsing the text raises; fails the test when none is.
std::string errorOf(const std::string& text) {
    try {
        ConnectionString parsed(text);
    } catch (const core::Error& e) {
        return e.what();
    }
    ADD_FAILURE() << "no error for: " << text;
    return {};
}

// --- The texts the Database page builds -------------------------------------------------------

TEST(ConnectionStringPageTexts, OpenWithPasswordHasTwoSemicolonsBeforeIt) {
    const ConnectionString cs("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/home/ann/db/shop.mdb"
                              ";Jet OLEDB:Engine Type=5;;Jet OLEDB:Database Password=s3cret");
    EXPECT_EQ(cs.provider(), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(cs.dataSource(), "/home/ann/db/shop.mdb");
    EXPECT_THAT(cs.engineType(), Optional(5));
    EXPECT_THAT(cs.databasePassword(), Optional(std::string("s3cret")));
    EXPECT_EQ(cs.items().size(), 4u);
}

TEST(ConnectionStringPageTexts, OpenWithEmptyPasswordStillSendsIt) {
    const ConnectionString cs("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\file_path\\a.mdb"
                              ";Jet OLEDB:Engine Type=5;;Jet OLEDB:Database Password=");
    EXPECT_EQ(cs.dataSource(), "c:\\file_path\\a.mdb");
    EXPECT_THAT(cs.databasePassword(), Optional(std::string()));
}

TEST(ConnectionStringPageTexts, OpenAfterCancelledDialogHasEmptyDataSource) {
    const ConnectionString cs("Provider=Microsoft.Jet.OLEDB.4.0;Data Source="
                              ";Jet OLEDB:Engine Type=5;;Jet OLEDB:Database Password=");
    EXPECT_EQ(cs.dataSource(), "");
    EXPECT_THAT(cs.get("Data Source"), Optional(std::string()));
}

TEST(ConnectionStringPageTexts, CreateNewHasOneSemicolonBeforePassword) {
    const ConnectionString cs("Provider=Microsoft.Jet.OLEDB.4.0;Data Source="
                              "c:\\file_path\\database_name.mdb;Jet OLEDB:Engine Type=5"
                              ";Jet OLEDB:Database Password=pw");
    EXPECT_EQ(cs.dataSource(), "c:\\file_path\\database_name.mdb");
    EXPECT_THAT(cs.engineType(), Optional(5));
    EXPECT_THAT(cs.databasePassword(), Optional(std::string("pw")));
}

TEST(ConnectionStringPageTexts, CompactionStringsHaveBlankAfterSemicolon) {
    const ConnectionString source(
        "Provider=Microsoft.Jet.OLEDB.4.0; Data Source=/data/My Files/a.mdb");
    const ConnectionString target(
        "Provider=Microsoft.Jet.OLEDB.4.0; Data Source=/data/My Files/TEMPa.mdb");
    EXPECT_EQ(source.dataSource(), "/data/My Files/a.mdb");
    EXPECT_EQ(target.dataSource(), "/data/My Files/TEMPa.mdb");
    EXPECT_EQ(source.engineType(), std::nullopt);
    EXPECT_EQ(source.databasePassword(), std::nullopt);
}

// The page pastes the password box's text in unquoted, so the item syntax applies to it.
TEST(ConnectionStringPageTexts, TypedPasswordFollowsItemSyntax) {
    const std::string open = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a.mdb"
                             ";Jet OLEDB:Engine Type=5;;Jet OLEDB:Database Password=";
    EXPECT_THAT(ConnectionString(open + " pass word ").databasePassword(),
                Optional(std::string("pass word")));
    EXPECT_THAT(ConnectionString(open + "'pw'").databasePassword(), Optional(std::string("pw")));
    EXPECT_THAT(ConnectionString(open + "a=b").databasePassword(), Optional(std::string("a=b")));
    EXPECT_THAT(errorOf(open + "pw;x"), HasSubstr("\"x\" has no \"=\""));
    // "Password==x" reads as the key "...Password=x" with no value.
    EXPECT_THAT(errorOf(open + "=x"), HasSubstr("has no \"=\""));
}

// --- Item syntax ------------------------------------------------------------------------------

TEST(ConnectionStringSyntax, KeysCompareWithoutCase) {
    const ConnectionString cs("provider=microsoft.jet.oledb.4.0;DATA SOURCE=x.mdb;"
                              "jet oledb:engine type=5;JET OLEDB:DATABASE PASSWORD=p");
    EXPECT_EQ(cs.provider(), "microsoft.jet.oledb.4.0");
    EXPECT_EQ(cs.dataSource(), "x.mdb");
    EXPECT_THAT(cs.engineType(), Optional(5));
    EXPECT_THAT(cs.databasePassword(), Optional(std::string("p")));
    EXPECT_THAT(cs.get("data source"), Optional(std::string("x.mdb")));
}

TEST(ConnectionStringSyntax, EmptyItemsAndBlankItemsAreSkipped) {
    const ConnectionString cs(";; Provider=Microsoft.Jet.OLEDB.4.0;  ; \t;Data Source=a.mdb;;");
    ASSERT_EQ(cs.items().size(), 2u);
    EXPECT_EQ(cs.dataSource(), "a.mdb");
}

TEST(ConnectionStringSyntax, BlanksAroundKeysAndValuesDropInnerBlanksKept) {
    const ConnectionString cs(
        "Provider = Microsoft.Jet.OLEDB.4.0 ;  Data Source =  my  file.mdb  ");
    EXPECT_EQ(cs.provider(), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(cs.items()[1].first, "Data Source");
    EXPECT_EQ(cs.dataSource(), "my  file.mdb");
}

TEST(ConnectionStringSyntax, InnerBlanksOfAKeyMatter) {
    const ConnectionString cs("Provider=Microsoft.Jet.OLEDB.4.0;DataSource=a.mdb");
    EXPECT_EQ(cs.dataSource(), "");
    EXPECT_THAT(cs.get("DataSource"), Optional(std::string("a.mdb")));
}

TEST(ConnectionStringSyntax, DoubleQuotedValueKeepsSemicolonsAndBlanks) {
    const ConnectionString cs(
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\" a;b.mdb \" ;Jet OLEDB:Engine Type=5");
    EXPECT_EQ(cs.dataSource(), " a;b.mdb ");
    EXPECT_THAT(cs.engineType(), Optional(5));
}

TEST(ConnectionStringSyntax, SingleQuotedValueMayHoldDoubleQuotes) {
    const ConnectionString cs(
        "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password='a\"b'");
    EXPECT_THAT(cs.databasePassword(), Optional(std::string("a\"b")));
}

TEST(ConnectionStringSyntax, DoubledQuoteInsideQuotedValueIsOneQuote) {
    const ConnectionString cs(
        "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password='it''s'");
    EXPECT_THAT(cs.databasePassword(), Optional(std::string("it's")));
}

TEST(ConnectionStringSyntax, QuotedEmptyValueIsPresent) {
    const ConnectionString cs("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=\"\"");
    EXPECT_THAT(cs.databasePassword(), Optional(std::string()));
}

TEST(ConnectionStringSyntax, QuoteInsideUnquotedValueIsText) {
    const ConnectionString cs(
        "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=pa'ss\"");
    EXPECT_THAT(cs.databasePassword(), Optional(std::string("pa'ss\"")));
}

TEST(ConnectionStringSyntax, EqualSignInsideValueIsText) {
    const ConnectionString cs("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=a=b=");
    EXPECT_THAT(cs.databasePassword(), Optional(std::string("a=b=")));
}

TEST(ConnectionStringSyntax, DoubledEqualSignInKeyIsOneEqualSign) {
    const ConnectionString cs("Provider=Microsoft.Jet.OLEDB.4.0;a==b=c");
    EXPECT_THAT(cs.get("a=b"), Optional(std::string("c")));
}

TEST(ConnectionStringSyntax, LastDuplicateWins) {
    const ConnectionString cs(
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a.mdb;data source=b.mdb");
    EXPECT_EQ(cs.dataSource(), "b.mdb");
}

TEST(ConnectionStringSyntax, AbsentKeyIsNullopt) {
    const ConnectionString cs("Provider=Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(cs.get("Mode"), std::nullopt);
    EXPECT_EQ(cs.databasePassword(), std::nullopt);
    EXPECT_EQ(cs.engineType(), std::nullopt);
}

TEST(ConnectionStringSyntax, ItemWithoutEqualSignFails) {
    EXPECT_THAT(errorOf("Provider=Microsoft.Jet.OLEDB.4.0;Data Source"),
                HasSubstr("\"Data Source\" has no \"=\""));
    // An unquoted ";" in a path cuts it, and the rest is an item of its own.
    EXPECT_THAT(errorOf("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a;b.mdb"),
                HasSubstr("\"b.mdb\" has no \"=\""));
}

TEST(ConnectionStringSyntax, ItemWithoutKeyFails) {
    EXPECT_THAT(errorOf("Provider=Microsoft.Jet.OLEDB.4.0; =x"), HasSubstr("has no key"));
}

TEST(ConnectionStringSyntax, UnclosedQuoteFails) {
    EXPECT_THAT(errorOf("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"a.mdb"),
                HasSubstr("\"Data Source\" in the connection string has no closing quote"));
}

TEST(ConnectionStringSyntax, TextAfterClosingQuoteFails) {
    EXPECT_THAT(errorOf("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"a\"b.mdb"),
                HasSubstr("followed by other text"));
}

TEST(ConnectionStringSyntax, EngineTypeMustBeWholeNumber) {
    EXPECT_THAT(errorOf("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Engine Type=five"),
                HasSubstr("\"five\" is not a whole number"));
    EXPECT_THAT(errorOf("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Engine Type=5x"),
                HasSubstr("not a whole number"));
    EXPECT_THAT(errorOf("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Engine Type="),
                HasSubstr("not a whole number"));
    EXPECT_THAT(
        errorOf("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Engine Type=99999999999999999999"),
        HasSubstr("not a whole number"));
}

TEST(ConnectionStringSyntax, EngineTypeOtherThanJet4IsStillParsed) {
    // Whether an engine type is usable is for the catalog to say, not for the parser.
    const ConnectionString cs("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Engine Type=4");
    EXPECT_THAT(cs.engineType(), Optional(4));
}

// --- Provider ---------------------------------------------------------------------------------

TEST(ConnectionStringProvider, EmptyStringFails) {
    EXPECT_THAT(errorOf(""), HasSubstr("The connection string is empty"));
    EXPECT_THAT(errorOf("  ;; "), HasSubstr("The connection string is empty"));
}

TEST(ConnectionStringProvider, MissingProviderFails) {
    EXPECT_THAT(errorOf("Data Source=a.mdb"), HasSubstr("names no provider"));
}

TEST(ConnectionStringProvider, ForeignProviderIsNamed) {
    EXPECT_THAT(errorOf("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=a.accdb"),
                HasSubstr("Provider \"Microsoft.ACE.OLEDB.12.0\" cannot be found"));
    EXPECT_THAT(errorOf("Provider=;Data Source=a.mdb"), HasSubstr("Provider \"\" cannot be found"));
}

TEST(ConnectionStringProvider, FirstProviderCountsLaterOnesIgnored) {
    const ConnectionString cs("Provider=Microsoft.Jet.OLEDB.4.0;Provider=SQLOLEDB");
    EXPECT_EQ(cs.provider(), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_THAT(cs.get("provider"), Optional(std::string("Microsoft.Jet.OLEDB.4.0")));
    EXPECT_THAT(errorOf("Provider=SQLOLEDB;Provider=Microsoft.Jet.OLEDB.4.0"),
                HasSubstr("\"SQLOLEDB\" cannot be found"));
}

TEST(ConnectionStringProvider, ProviderNeedNotComeFirst) {
    const ConnectionString cs("Data Source=a.mdb; Provider=MICROSOFT.JET.OLEDB.4.0");
    EXPECT_EQ(cs.provider(), "MICROSOFT.JET.OLEDB.4.0");
    EXPECT_EQ(cs.dataSource(), "a.mdb");
}

TEST(ConnectionStringProvider, SyntaxErrorsComeBeforeProviderCheck) {
    EXPECT_THAT(errorOf("Data Source"), HasSubstr("has no \"=\""));
}

TEST(ConnectionStringProvider, ErrorsAreCoreErrors) {
    EXPECT_THROW(ConnectionString("Provider=MSDASQL"), core::Error);
}

} // namespace
