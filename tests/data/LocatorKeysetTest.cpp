// The keyset of row locators that plain selects over one table get: the same order as the
// engine's ORDER BY (through an index or a sort), and the same answers as the whole-row path
// for moves, filters, locates, posts, inserts, deletes and bookmarks, in stored order too, where
// the rows are read one at a time and then, for a far move or a write, the rest at once.
#include "DataFixture.h"
#include "common/Samples.h"
#include "data/TADOQuery.h"
#include "data/TField.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

using T = jet::ColumnType;

// Twelve rows with ties, Nulls and text differing only in case; Name and ID are indexed.
std::filesystem::path makeTable(const std::string& name) {
    const auto file = testing_support::scratchDir("data-locators") / (name + ".mdb");
    std::filesystem::remove(file);
    jet::TableSchema table;
    table.name = "T";
    table.columns = {
        testing_support::column("ID", T::Long), testing_support::column("Name", T::Text, 100),
        testing_support::column("Amount", T::Double), testing_support::column("Born", T::DateTime)};
    static const char* names[] = {"b", "B",     nullptr, "a",  "c", "b",
                                  "A", nullptr, "ab",    "Ab", "c", "ba"};
    static const double amounts[] = {3.5, 1, -99, 2, 1, 3.5, -1, -99, 2, 0, 1, 7};
    data_test::makeFile(
        file,
        {{table, 12, [](int i) {
              const std::size_t k = static_cast<std::size_t>(i - 1);
              return std::vector<core::Value>{
                  core::Value(std::int32_t{i}), names[k] ? core::Value(names[k]) : core::Value(),
                  amounts[k] == -99 ? core::Value() : core::Value(amounts[k]),
                  i % 4 == 0 ? core::Value() : core::Value(core::DateTime{40000.0 + i * 7 % 5})};
          }}});
    data::TADOConnection connection;
    connection.setConnectionString(data_test::openString(file));
    data_test::run(connection, "create index ByName on T (Name)");
    data_test::run(connection, "create unique index ByID on T (ID)");
    return file;
}

std::string ids(data::TCustomADODataSet& ds) {
    std::string out;
    for (ds.first(); !ds.eof(); ds.next()) out += ds.fieldByName("ID").asString() + " ";
    return out;
}

TEST(LocatorKeysetTest, OrderEqualsTheEnginesOrderBy) {
    const auto file = makeTable("order");
    data::TADOConnection connection;
    connection.setConnectionString(data_test::openString(file));
    data::TADOQuery query;
    query.setConnection(&connection);
    for (const char* order :
         {"Name", "Name desc", "Amount", "Amount desc", "Born desc", "ID desc", "[T].[Name]"}) {
        SCOPED_TRACE(order);
        const std::string select = std::string("select * from T order by ") + order;
        std::string engine;
        for (const auto& row : data_test::rowsOf(connection, select))
            engine += row.substr(0, row.find('|')) + " ";
        query.close();
        query.setSQL(select);
        query.open();
        EXPECT_TRUE(query.keepsLocators());
        EXPECT_EQ(ids(query), engine);
    }
}

// One scenario run on the locator path and on the whole-row path (a where clause that keeps
// every row makes the statement stream whole rows); both must see the same.
TEST(LocatorKeysetTest, BothPathsGiveTheSameAnswers) {
    std::vector<std::string> traces;
    for (const char* where : {"", " where ID > 0"}) {
        SCOPED_TRACE(where);
        const auto file = makeTable(*where ? "rows" : "locators");
        data::TADOConnection connection;
        connection.setConnectionString(data_test::openString(file));
        data::TADOQuery query;
        query.setConnection(&connection);
        query.setSQL(std::string("select * from T") + where + " order by Amount");
        query.open();
        EXPECT_EQ(query.keepsLocators(), !*where);
        std::string trace = ids(query) + "\n";
        auto locate = [&](const char* field, const core::Value& value, bool anyCase) {
            const bool found = query.locate(field, value, {anyCase, false, false});
            trace += std::string(field) + (found ? " @" + std::to_string(query.recNo()) : " none") +
                     "\n";
        };
        locate("Name", core::Value("b"), false); // three rows, the index lists them otherwise
        locate("Name", core::Value("B"), true);
        locate("Name", core::Value("zz"), false);
        locate("ID", core::Value(std::int32_t{5}), false);
        locate("Amount", core::Value(2.0), false);

        query.setOnFilterRecord([](data::TCustomADODataSet& ds) {
            return ds.fieldByName("Name").asString().starts_with("a") ||
                   ds.fieldByName("Name").asString().starts_with("A");
        });
        query.setFiltered(true);
        trace += "filtered " + ids(query) + std::to_string(query.recordCount()) + "\n";
        locate("Name", core::Value("ab"), false);
        query.setFiltered(false);

        query.setRecNo(3);
        const data::TBookmark third = query.bookmark();
        query.edit();
        query.fieldByName("Name").setAsString("zz");
        query.post();
        query.first();
        query.insert();
        query.fieldByName("ID").setAsString("100");
        query.fieldByName("Amount").setAsString("-5");
        query.post();
        const data::TBookmark inserted = query.bookmark();
        trace += "after insert @" + std::to_string(query.recNo()) + " " + ids(query) + "\n";
        query.setRecNo(6);
        trace += "deleting " + query.fieldByName("ID").asString() + "\n";
        query.deleteRecord();
        trace += "after delete @" + std::to_string(query.recNo()) + " " + ids(query) + "\n";
        for (const auto& mark : {third, inserted}) {
            EXPECT_TRUE(query.bookmarkValid(mark));
            query.gotoBookmark(mark);
            trace += "bookmark @" + std::to_string(query.recNo()) + " " +
                     query.fieldByName("ID").asString() + " " +
                     query.fieldByName("Name").asString() + "\n";
        }
        query.refresh();
        trace += "refresh @" + std::to_string(query.recNo()) + " " +
                 std::to_string(query.recordCount()) + "\n";
        for (const auto& row : data_test::rowsOf(connection, "select * from T order by ID"))
            trace += row + "\n";
        traces.push_back(trace);
    }
    EXPECT_EQ(traces[0], traces[1]);
    // The first "b" in Amount order, not the index's first; then "B" found ignoring case.
    EXPECT_NE(traces[0].find("Name @10\nName @5\n"), std::string::npos) << traces[0];
}

// A stored-order table longer than the rows read one at a time: a record inserted among the
// first rows, then the rest read at once by its post, a jump far ahead, the last record, a
// locate through an index and a delete, on both paths.
TEST(LocatorKeysetTest, StoredOrderReadAtOnceKeepsItsPlaces) {
    std::vector<std::string> traces;
    for (const char* where : {"", " where ID > 0"}) {
        SCOPED_TRACE(where);
        const auto file = testing_support::scratchDir("data-locators") /
                          (std::string(*where ? "stored-rows" : "stored-locators") + ".mdb");
        std::filesystem::remove(file);
        data_test::makeFile(file, {{data_test::peopleTable(), 3000, data_test::personRow}});
        data::TADOConnection connection;
        connection.setConnectionString(data_test::openString(file));
        data_test::run(connection, "create index ByAge on People (Age)");
        data::TADOQuery query;
        query.setConnection(&connection);
        query.setSQL(std::string("select * from People") + where);
        query.open();
        EXPECT_EQ(query.keepsLocators(), !*where);
        std::string trace;
        auto at = [&](const std::string& what) {
            trace += what + " @" + std::to_string(query.recNo()) + " " +
                     query.fieldByName("Age").asString() + "\n";
        };
        query.moveBy(2);
        query.insert();
        query.fieldByName("Name").setAsString("New");
        query.fieldByName("Age").setAsString("-1");
        query.post();
        at("posted");
        trace += std::to_string(query.recordCount()) + " records\n";
        query.setRecNo(2500);
        at("jump");
        query.last();
        at("last");
        EXPECT_TRUE(query.locate("Age", core::Value(std::int32_t{2990}), {}));
        at("locate");
        query.setRecNo(5);
        query.deleteRecord();
        at("deleted");
        trace += ids(query).substr(0, 40) + "\n" + std::to_string(query.recordCount()) + "\n";
        traces.push_back(trace);
    }
    EXPECT_EQ(traces[0], traces[1]);
    EXPECT_NE(traces[0].find("posted @3 -1\n3001 records\njump @2500 2499\nlast @3001 3000\n"
                             "locate @2991 2990\ndeleted @5 5\n"),
              std::string::npos)
        << traces[0];
}

// The data set's own writes leave a stored-order keyset reading one row at a time; reading on
// afterwards lists once, where the data set shows them, the row it inserted, the row a post
// made outgrow its full page (which moves it), and not the row it deleted.
TEST(LocatorKeysetTest, OwnWritesLeaveStoredOrderUnreadAndListEachRowOnce) {
    const auto file = testing_support::scratchDir("data-locators") / "own-writes.mdb";
    std::filesystem::remove(file);
    data_test::makeFile(file, {{data_test::peopleTable(), 3000, data_test::personRow}});
    data::TADOConnection connection;
    connection.setConnectionString(data_test::openString(file));
    data::TADOQuery query;
    query.setConnection(&connection);
    query.setSQL("select * from People");
    query.open();
    // Fifty characters that do not compress: the row more than doubles.
    std::string wide;
    for (int i = 0; i < 50; ++i) wide += "\u03A9";
    query.moveBy(1);
    query.edit();
    query.fieldByName("Name").setAsString(wide);
    query.post();
    query.moveBy(1);
    query.insert();
    query.fieldByName("Age").setAsString("-1");
    query.post();
    query.moveBy(2);
    query.deleteRecord();
    EXPECT_FALSE(query.allRecordsRead());
    EXPECT_EQ(query.recNo(), 5);
    // The rest read at once, in a walk that sees the pages the writes took.
    query.last();
    EXPECT_EQ(query.recNo(), 3000);

    std::string expected = "1 2 -1 3 ";
    for (int age = 5; age <= 3000; ++age) expected += std::to_string(age) + " ";
    std::string ages;
    for (query.first(); !query.eof(); query.next())
        ages += query.fieldByName("Age").asString() + " ";
    EXPECT_EQ(ages, expected);
    EXPECT_EQ(query.recordCount(), 3000);
    query.setRecNo(2);
    EXPECT_EQ(query.fieldByName("Name").asString(), wide);
    EXPECT_EQ(data_test::rowsOf(connection, "select count(*) from People"),
              std::vector<std::string>{"3000"});
}

// The requery after an open uses the order the open worked out, and must not once a write
// came between them: each write here, by another statement or by the data set itself, is
// followed by a requery (and the title click's close and open) that shows the engine's order.
TEST(LocatorKeysetTest, AWriteBetweenTwoSortsSortsAfresh) {
    const auto file = makeTable("sorted-twice");
    data::TADOConnection connection;
    connection.setConnectionString(data_test::openString(file));
    data::TADOQuery query;
    query.setConnection(&connection);
    const std::string select = "select * from T order by Name";
    query.setSQL(select);
    query.open();
    auto expectEngineOrder = [&](const std::string& after) {
        SCOPED_TRACE(after);
        std::string engine;
        for (const auto& row : data_test::rowsOf(connection, select))
            engine += row.substr(0, row.find('|')) + " ";
        query.requery();
        EXPECT_EQ(ids(query), engine);
        query.close();
        query.open();
        EXPECT_EQ(ids(query), engine);
    };
    expectEngineOrder("nothing");
    const std::pair<const char*, const char*> writes[] = {
        {"insert", "insert into T (ID, Name) values (13, 'aa')"},
        {"update", "update T set Name = 'zz' where ID = 4"},
        {"delete", "delete from T where ID = 1"},
        {"index dropped", "drop index ByName on T"},
    };
    for (const auto& [what, statement] : writes) {
        query.requery(); // the order is worked out before the write
        data_test::run(connection, statement);
        expectEngineOrder(what);
    }
    query.first();
    query.edit();
    query.fieldByName("Name").setAsString("zzz");
    query.post();
    expectEngineOrder("post");
    query.first();
    query.deleteRecord();
    expectEngineOrder("record deleted");
}

// Three thousand rows over some eighty pages, in stored order: Age i at position i.
std::filesystem::path makeCountedTable(const std::string& name) {
    const auto file = testing_support::scratchDir("data-locators") / (name + ".mdb");
    std::filesystem::remove(file);
    data_test::makeFile(file, {{data_test::peopleTable(), 3000, [](int i) {
                                    std::vector<core::Value> row = data_test::personRow(i);
                                    row[1] = core::Value(std::string(40, 'x') + std::to_string(i));
                                    return row;
                                }}});
    data::TADOConnection connection;
    connection.setConnectionString(data_test::openString(file));
    data_test::run(connection, "create index ByAge on People (Age)");
    return file;
}

// A plain select over People, which keeps stored order.
struct PeopleQuery {
    explicit PeopleQuery(const std::filesystem::path& file) {
        connection.setConnectionString(data_test::openString(file));
        query.setConnection(&connection);
        query.setSQL("select * from People");
        query.open();
    }
    data::TADOConnection connection;
    data::TADOQuery query;
};

// Stored order places the last record, and a record found through an index, by the count the
// table definition keeps, before the rows between them and the first are listed. Every place
// handed out that way must be the one a walk from the first record gives, also after moves
// into the middle, the data set's own writes there and a filter set afterwards.
TEST(LocatorKeysetTest, PlacesByTheCountAreTheWalksPlaces) {
    PeopleQuery people(makeCountedTable("counted"));
    data::TADOQuery& query = people.query;
    auto at = [&] {
        return std::to_string(query.recNo()) + ":" + query.fieldByName("Age").asString();
    };
    EXPECT_TRUE(query.locate("Age", core::Value(std::int32_t{2990}), {}));
    EXPECT_EQ(at(), "2990:2990");
    query.last();
    EXPECT_EQ(at(), "3000:3000");
    EXPECT_EQ(query.recordCount(), 3000);
    query.moveBy(-1200);
    EXPECT_EQ(at(), "1800:1800");
    query.setRecNo(1500);
    EXPECT_EQ(at(), "1500:1500");
    EXPECT_TRUE(query.locate("Age", core::Value(std::int32_t{1200}), {}));
    EXPECT_EQ(at(), "1200:1200");

    // A post that makes the row outgrow its page moves it; an insert and a delete shift the
    // places after them.
    std::string wide;
    for (int i = 0; i < 50; ++i) wide += "\u03A9";
    query.setRecNo(2500);
    query.edit();
    query.fieldByName("Name").setAsString(wide);
    query.post();
    query.setRecNo(2999);
    query.insert();
    query.fieldByName("Age").setAsString("-1");
    query.post();
    EXPECT_EQ(at(), "2999:-1");
    query.setRecNo(1000);
    query.deleteRecord();
    EXPECT_EQ(at(), "1000:1001");
    query.setRecNo(2000);
    EXPECT_EQ(at(), "2000:2001");
    EXPECT_TRUE(query.locate("Age", core::Value(std::int32_t{2500}), {}));
    EXPECT_EQ(at(), "2499:2500");
    EXPECT_EQ(query.fieldByName("Name").asString(), wide);

    std::string expected, ages;
    for (int age = 1; age <= 3000; ++age) {
        if (age == 2999) expected += "-1 ";
        if (age != 1000) expected += std::to_string(age) + " ";
    }
    for (query.first(); !query.eof(); query.next())
        ages += query.fieldByName("Age").asString() + " ";
    EXPECT_EQ(ages, expected);
    EXPECT_EQ(query.recordCount(), 3000);

    // Sevens: 428 of the ages, the last 2996.
    query.setOnFilterRecord([](data::TCustomADODataSet& ds) {
        return std::stoi(ds.fieldByName("Age").asString()) % 7 == 0;
    });
    query.setFiltered(true);
    query.last();
    EXPECT_EQ(at(), "428:2996");
    EXPECT_TRUE(query.locate("Age", core::Value(std::int32_t{1001}), {}));
    EXPECT_EQ(at(), "143:1001");
}

// A definition that counts too many or too few rows (a damaged file) costs no row: each is
// shown once, and the places already shown keep their records.
TEST(LocatorKeysetTest, AWrongCountLosesNoRow) {
    const auto made = makeCountedTable("counted-right");
    for (int wrongBy : {-40, 40}) {
        SCOPED_TRACE(wrongBy);
        const auto file = made.parent_path() / "miscounted.mdb";
        std::filesystem::copy_file(made, file, std::filesystem::copy_options::overwrite_existing);
        std::uint32_t definition = 0;
        {
            auto db = jet::Database::open(file);
            definition = db->table("People").schema().definitionPage;
        }
        {
            std::fstream bytes(file, std::ios::in | std::ios::out | std::ios::binary);
            bytes.seekp(std::streamoff(definition) * 4096 + 12);
            const std::uint32_t count = static_cast<std::uint32_t>(3000 + wrongBy);
            const char le[4] = {static_cast<char>(count & 0xFF), static_cast<char>(count >> 8), 0,
                                0};
            bytes.write(le, 4);
        }
        PeopleQuery people(file);
        data::TADOQuery& query = people.query;
        query.last();
        const std::string last = query.fieldByName("Age").asString();
        const int lastAt = query.recNo();
        std::vector<int> seen;
        for (query.first(); !query.eof(); query.next())
            if (!query.fieldByName("Age").isNull())
                seen.push_back(std::stoi(query.fieldByName("Age").asString()));
        std::sort(seen.begin(), seen.end());
        std::vector<int> all(3000);
        for (int i = 0; i < 3000; ++i) all[static_cast<std::size_t>(i)] = i + 1;
        EXPECT_EQ(seen, all);
        query.setRecNo(lastAt);
        EXPECT_EQ(query.fieldByName("Age").asString(), last);
    }
}

} // namespace
