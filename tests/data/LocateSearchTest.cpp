// The locate dialog's search without the window: First and Next in the three match kinds,
// letter case, numbers compared by value or as text, empty search texts, and the position
// kept when nothing matches; and the data set's own locate searching anywhere and on from
// the current record.
#include "data/LocateSearch.h"
#include "DataFixture.h"
#include "data/TADOQuery.h"
#include "data/TField.h"

#include <gtest/gtest.h>

namespace {

using data::LocateRequest;
using data::MatchType;

class LocateSearchTest : public testing::Test {
protected:
    void SetUp() override {
        data_test::openInMemory(
            connection, {"create table T (ID long primary key, Name text(20), Price currency, "
                         "Ratio double, Amount decimal(10,2), Code long, Notes memo)"});
        const char* rows[] = {
            "1, 'Zeta', 3, 0.5, 1.25, 70, 'first note'",
            "2, 'abacus', 12.5, 12.5, 12.5, 7, 'has ABC inside'",
            "3, 'ABBEY', 4, 1, 2, 700, null",
            "4, null, 12.5, 2, 3, 7, 'last'",
            "5, '', 9, 3, 4, 8, ''",
            "6, 'cabin', 12.5, 4, 12.5, 9, 'abc again'",
        };
        for (const char* row : rows)
            connection.session().execute(std::string("insert into T values (") + row + ")");
        query.setConnection(&connection);
        query.setSQL("select * from T order by ID");
        query.open();
    }

    int id() const { return std::stoi(query.fieldByName("ID").asString()); }
    // The record a search leaves current: 0 when it found nothing.
    int search(const std::string& field, const std::string& text, MatchType match, bool first,
               bool caseSensitive = false) {
        const LocateRequest request{field, text, match, caseSensitive};
        return data::locateRecord(query, request, first) ? id() : 0;
    }

    data::TADOConnection connection;
    data::TADOQuery query;
};

TEST_F(LocateSearchTest, FirstAndNextFindTheRecordsInOrder) {
    struct Case {
        const char* field;
        const char* text;
        MatchType match;
        bool caseSensitive;
        std::vector<int> found; // First, then Next until nothing more
    };
    const Case cases[] = {
        // Beginning, any case: the first name starting with "ab" in either case.
        {"Name", "ab", MatchType::PartialMatchStart, false, {2, 3}},
        {"Name", "ab", MatchType::PartialMatchStart, true, {2}},
        {"Name", "AB", MatchType::PartialMatchStart, true, {3}},
        // Anywhere scans every record, also on First.
        {"Name", "b", MatchType::PartialMatchAny, false, {2, 3, 6}},
        {"Name", "abbey", MatchType::Exact, false, {3}},
        // Memo fields by their whole text.
        {"Notes", "abc", MatchType::PartialMatchAny, false, {2, 6}},
        {"Notes", "abc", MatchType::PartialMatchStart, false, {6}},
        {"Notes", "LAST", MatchType::Exact, false, {4}},
        // Money, floating point and decimals by value in exact mode: 12.50 finds 12.5.
        {"Price", "12.50", MatchType::Exact, false, {2, 4, 6}},
        {"Ratio", "12.50", MatchType::Exact, false, {2}},
        {"Amount", "12.500", MatchType::Exact, false, {2, 6}},
        {"Price", "twelve", MatchType::Exact, false, {}},
        // Whole numbers as text: First hands the search to locate, which converts 007 to 7;
        // Next compares texts, so 007 finds no further 7.
        {"Code", "007", MatchType::Exact, false, {2}},
        {"Code", "7", MatchType::Exact, false, {2, 4}},
        {"Code", "7", MatchType::PartialMatchStart, false, {1, 2, 3, 4}},
        // No field chosen: nothing.
        {"", "ab", MatchType::PartialMatchStart, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " '" + c.text + "'");
        query.first();
        std::vector<int> found;
        bool first = true;
        while (int record = search(c.field, c.text, c.match, first, c.caseSensitive)) {
            found.push_back(record);
            first = false;
        }
        EXPECT_EQ(found, c.found);
    }
}

TEST_F(LocateSearchTest, NothingFoundKeepsThePosition) {
    query.moveBy(2);
    EXPECT_EQ(search("Name", "nowhere", MatchType::PartialMatchAny, true), 0);
    EXPECT_EQ(id(), 3);
    // Next at the last match: nothing more, still there.
    EXPECT_EQ(search("Name", "cab", MatchType::PartialMatchStart, true), 6);
    EXPECT_EQ(search("Name", "cab", MatchType::PartialMatchStart, false), 0);
    EXPECT_EQ(id(), 6);
}

TEST_F(LocateSearchTest, AnEmptyTextFindsEmptyValuesOnlyInExactMode) {
    for (MatchType partial : {MatchType::PartialMatchStart, MatchType::PartialMatchAny}) {
        query.first();
        EXPECT_EQ(search("Name", "", partial, true), 0);
        EXPECT_EQ(search("Name", "", partial, false), 0);
        EXPECT_EQ(id(), 1);
    }
    // Null shows as empty text, as the empty text does.
    query.first();
    EXPECT_EQ(search("Name", "", MatchType::Exact, false), 4);
    EXPECT_EQ(search("Name", "", MatchType::Exact, false), 5);
    EXPECT_EQ(search("Name", "", MatchType::Exact, false), 0);
}

TEST_F(LocateSearchTest, APendingChangeIsPostedBeforeTheSearch) {
    query.edit();
    query.fieldByName("Name").setAsString("abyss");
    EXPECT_EQ(search("Name", "aby", MatchType::PartialMatchStart, true), 1);
    EXPECT_EQ(query.state(), data::DataSetState::Browse);
    EXPECT_EQ(data_test::rowsOf(connection, "select Name from T where ID = 1"),
              std::vector<std::string>{"abyss"});
}

TEST_F(LocateSearchTest, TheDataSetLocatesAnywhereAndOnFromTheCurrentRecord) {
    data::LocateOptions anywhere;
    anywhere.caseInsensitive = true;
    anywhere.anywhere = true;
    EXPECT_TRUE(query.locate("Name", core::Value("BI"), anywhere));
    EXPECT_EQ(id(), 6);
    EXPECT_FALSE(query.locate("Name", core::Value(""), anywhere));
    query.first();
    EXPECT_TRUE(query.locateNext("Price", core::Value("12.5"), {}));
    EXPECT_EQ(id(), 2);
    EXPECT_TRUE(query.locateNext("Price", core::Value("12.5"), {}));
    EXPECT_EQ(id(), 4);
    EXPECT_TRUE(query.locateNext("Price", core::Value("12.5"), {}));
    EXPECT_FALSE(query.locateNext("Price", core::Value("12.5"), {}));
    EXPECT_EQ(id(), 6);
}

} // namespace
