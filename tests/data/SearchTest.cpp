// Finding records again: bookmarks, local filtering through the record-acceptance callback,
// and Locate with its partial-key and case-insensitive options.
#include "DataFixture.h"
#include "data/TADOQuery.h"
#include "data/TField.h"

#include <gtest/gtest.h>

namespace {

using data::LocateOptions;
using data::TADOConnection;
using data::TADOQuery;
using data::TBookmark;
using data_test::errorOf;

class SearchTest : public testing::Test {
protected:
    void SetUp() override {
        data_test::openInMemory(connection,
                                {"create table P (ID counter primary key, Name text(20), "
                                 "Score double, Seen datetime)"});
        const char* names[] = {"alpha", "Beta", "gamma", "ALPHABET", "delta", "Alps", "beta"};
        for (int i = 0; i < 7; ++i)
            connection.session().execute("insert into P (Name, Score, Seen) values ('" +
                                         std::string(names[i]) + "', " + std::to_string(i * 1.5) +
                                         ", #2001-02-0" + std::to_string(i + 1) + "#)");
        query.setConnection(&connection);
        query.setSQL("select * from P order by ID");
        query.open();
    }

    std::string name() const { return query.fieldByName("Name").asString(); }

    TADOConnection connection;
    TADOQuery query;
};

// --- Bookmarks ---------------------------------------------------------------------------------

TEST_F(SearchTest, ABookmarkLeadsBackToItsRecord) {
    query.moveBy(2);
    const TBookmark mark = query.bookmark();
    EXPECT_FALSE(mark.empty());
    EXPECT_TRUE(query.bookmarkValid(mark));
    query.last();
    query.gotoBookmark(mark);
    EXPECT_EQ(name(), "gamma");
    EXPECT_EQ(query.recNo(), 3);
}

TEST_F(SearchTest, ABookmarkDiesWithItsRecordAndWithTheOpening) {
    const TBookmark first = query.bookmark();
    query.next();
    const TBookmark second = query.bookmark();
    query.deleteRecord();
    EXPECT_FALSE(query.bookmarkValid(second));
    EXPECT_TRUE(query.bookmarkValid(first));
    EXPECT_EQ(errorOf([&] { query.gotoBookmark(second); }), "ADOQuery1: Record not found");
    EXPECT_EQ(name(), "gamma");

    query.requery();
    EXPECT_FALSE(query.bookmarkValid(first));
    const TBookmark again = query.bookmark();
    query.close();
    EXPECT_FALSE(query.bookmarkValid(again));
    query.open();
    EXPECT_FALSE(query.bookmarkValid(again));
    EXPECT_FALSE(query.bookmarkValid(TBookmark{}));
}

TEST_F(SearchTest, AnInsertedRecordsBookmarkLivesOnlyIfItIsPosted) {
    query.insert();
    const TBookmark fresh = query.bookmark();
    EXPECT_TRUE(query.bookmarkValid(fresh));
    query.cancel();
    EXPECT_FALSE(query.bookmarkValid(fresh));
    query.append();
    query.fieldByName("Name").setAsString("omega");
    const TBookmark posted = query.bookmark();
    query.post();
    query.first();
    query.gotoBookmark(posted);
    EXPECT_EQ(name(), "omega");
}

// --- Filtering ---------------------------------------------------------------------------------

TEST_F(SearchTest, TheFilterShowsOnlyAcceptedRecords) {
    query.setOnFilterRecord([](data::TCustomADODataSet& ds) {
        return ds.fieldByName("Name").asString().find('l') != std::string::npos;
    });
    EXPECT_FALSE(query.filtered());
    query.setFiltered(true);
    EXPECT_TRUE(query.filtered());
    EXPECT_EQ(name(), "alpha");
    EXPECT_TRUE(query.bof());
    query.next();
    EXPECT_EQ(name(), "delta");
    EXPECT_EQ(query.recNo(), 2);
    query.next();
    EXPECT_EQ(name(), "Alps");
    query.next();
    EXPECT_TRUE(query.eof());
    EXPECT_EQ(query.recordCount(), 3);
    query.last();
    EXPECT_EQ(query.moveBy(-10), -2);
    EXPECT_EQ(name(), "alpha");
    query.setFiltered(false);
    EXPECT_EQ(query.recordCount(), 7);
    EXPECT_EQ(name(), "alpha");
}

TEST_F(SearchTest, SwitchingTheFilterOffAndOnRunsTheTestAgain) {
    std::string wanted = "beta";
    query.setOnFilterRecord(
        [&](data::TCustomADODataSet& ds) { return ds.fieldByName("Name").asString() == wanted; });
    query.setFiltered(true);
    EXPECT_EQ(query.recordCount(), 1);
    wanted = "gamma";
    query.setFiltered(false);
    query.setFiltered(true);
    EXPECT_EQ(query.recordCount(), 1);
    EXPECT_EQ(name(), "gamma");
}

TEST_F(SearchTest, AFilterThatAcceptsNothingLeavesAnEmptyDataSet) {
    query.setOnFilterRecord([](data::TCustomADODataSet&) { return false; });
    query.setFiltered(true);
    EXPECT_TRUE(query.isEmpty());
    EXPECT_TRUE(query.eof());
    EXPECT_EQ(query.recordCount(), 0);
    EXPECT_TRUE(query.fieldByName("Name").isNull());
}

TEST_F(SearchTest, TheFilterStaysThroughARequery) {
    query.setOnFilterRecord([](data::TCustomADODataSet& ds) {
        return ds.fieldByName("Score").value().get<double>() > 5.0;
    });
    query.setFiltered(true);
    EXPECT_EQ(query.recordCount(), 3);
    data_test::run(connection, "delete from P where Name = 'beta'");
    query.requery();
    EXPECT_EQ(query.recordCount(), 2);
}

TEST_F(SearchTest, ARecordInsertedUnderAFilterStaysVisible) {
    query.setOnFilterRecord([](data::TCustomADODataSet& ds) {
        return ds.fieldByName("Name").asString().starts_with("a");
    });
    query.setFiltered(true);
    query.next(); // ALPHABET is out ("A" is not "a")
    EXPECT_EQ(query.recNo(), 1);
    query.insert();
    query.fieldByName("Name").setAsString("Zed");
    query.post();
    EXPECT_EQ(query.recordCount(), 2);
    EXPECT_EQ(name(), "Zed");
    query.deleteRecord();
    EXPECT_EQ(query.recordCount(), 1);
    EXPECT_EQ(name(), "alpha");
}

// --- Locate ------------------------------------------------------------------------------------

TEST_F(SearchTest, LocateFindsTheFirstExactMatch) {
    query.last();
    EXPECT_TRUE(query.locate("Name", core::Value("beta"), {}));
    EXPECT_EQ(query.recNo(), 7);
    EXPECT_TRUE(query.locate("name", core::Value("Beta"), {}));
    EXPECT_EQ(query.recNo(), 2);
}

TEST_F(SearchTest, LocateIgnoresCaseWhenAsked) {
    LocateOptions options;
    options.caseInsensitive = true;
    EXPECT_TRUE(query.locate("Name", core::Value("BETA"), options));
    EXPECT_EQ(query.recNo(), 2);
    EXPECT_FALSE(query.locate("Name", core::Value("BET"), options));
    EXPECT_EQ(query.recNo(), 2);
}

TEST_F(SearchTest, LocateWithAPartialKeyMatchesTheBeginning) {
    LocateOptions options;
    options.partialKey = true;
    query.last();
    EXPECT_TRUE(query.locate("Name", core::Value("Al"), options));
    EXPECT_EQ(name(), "Alps");
    options.caseInsensitive = true;
    EXPECT_TRUE(query.locate("Name", core::Value("alphab"), options));
    EXPECT_EQ(name(), "ALPHABET");
    EXPECT_FALSE(query.locate("Name", core::Value("lph"), options));
    EXPECT_EQ(name(), "ALPHABET");
}

TEST_F(SearchTest, LocateComparesNumbersAndDatesByValue) {
    EXPECT_TRUE(query.locate("Score", core::Value("4.50"), {}));
    EXPECT_EQ(name(), "ALPHABET");
    EXPECT_TRUE(query.locate("Score", core::Value(std::int32_t{9}), {}));
    EXPECT_EQ(name(), "beta");
    EXPECT_FALSE(query.locate("Score", core::Value("many"), {}));
    EXPECT_TRUE(query.locate("Seen", core::Value("2/3/2001"), {}));
    EXPECT_EQ(name(), "gamma");
    EXPECT_TRUE(query.locate("ID", core::Value("5"), {}));
    EXPECT_EQ(name(), "delta");
}

TEST_F(SearchTest, LocateFindsNullOnlyForANullKey) {
    data_test::run(connection, "insert into P (Name) values (null)");
    query.requery();
    EXPECT_FALSE(query.locate("Name", core::Value(""), {}));
    EXPECT_TRUE(query.locate("Name", core::Value(), {}));
    EXPECT_EQ(query.recNo(), 8);
}

TEST_F(SearchTest, LocateSearchesOnlyAcceptedRecords) {
    query.setOnFilterRecord(
        [](data::TCustomADODataSet& ds) { return ds.fieldByName("ID").asString() != "2"; });
    query.setFiltered(true);
    EXPECT_TRUE(query.locate("Name", core::Value("beta"), {}));
    EXPECT_EQ(query.fieldByName("ID").asString(), "7");
}

TEST_F(SearchTest, LocateSettlesAPendingChangeAndNamesAnUnknownField) {
    query.edit();
    query.fieldByName("Name").setAsString("zeta");
    EXPECT_TRUE(query.locate("Name", core::Value("zeta"), {}));
    EXPECT_EQ(query.state(), data::DataSetState::Browse);
    EXPECT_EQ(errorOf([&] { query.locate("Nope", core::Value("x"), {}); }),
              "ADOQuery1: Field 'Nope' not found");
}

} // namespace
