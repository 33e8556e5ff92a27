// Rows written through the engine read back exactly, survive reopening, keep counters and
// row counts right, move when they outgrow their page, and leave a file that passes the check.
#include "WriteFixture.h"
#include "common/Samples.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <random>

using namespace write_test;

namespace {

std::vector<core::Value> withId(std::vector<core::Value> row, int id) {
    row[0] = core::Value(static_cast<std::int32_t>(id));
    return row;
}

TEST(RowWrite, EveryColumnTypeReadsBackAfterReopening) {
    auto path = testing_support::scratchDir("rows-every-type") / "t.mdb";
    {
        auto db = jet::Database::create(path);
        db->begin();
        db->createTable(everyTypeTable("T"));
        for (int i = 0; i < 300; ++i) db->insertRow("T", everyTypeRow(i));
        db->commit();
    }
    auto db = jet::Database::open(path);
    auto rows = readAll(*db, "T");
    ASSERT_EQ(rows.size(), 300u);
    for (int i = 0; i < 300; ++i) EXPECT_EQ(rows[i], withId(everyTypeRow(i), i + 1)) << "row " << i;
    EXPECT_EQ(db->table("T").schema().rowCount, 300u);
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

TEST(RowWrite, CountersIncreaseAndAreNeverReused) {
    auto path = testing_support::scratchDir("rows-counter") / "t.mdb";
    auto db = jet::Database::create(path);
    db->begin();
    db->createTable(everyTypeTable("T"));
    std::vector<jet::RowId> ids;
    for (int i = 0; i < 5; ++i) ids.push_back(db->insertRow("T", everyTypeRow(i)));
    db->deleteRow("T", ids[4]);
    db->deleteRow("T", ids[3]);
    db->commit();
    db.reset();
    db = jet::Database::open(path, "", jet::OpenMode::ReadWrite);
    db->begin();
    auto id = db->insertRow("T", everyTypeRow(9));
    db->commit();
    EXPECT_EQ(db->readRow("T", id)[0], core::Value(std::int32_t{6}));
    EXPECT_EQ(db->table("T").schema().nextAutoNumber, 6u);
    EXPECT_EQ(db->table("T").schema().rowCount, 4u);
    EXPECT_TRUE(checkPasses(*db));
}

TEST(RowWrite, UpdatesThatGrowRowsMoveThemAndKeepTheirAddress) {
    auto path = testing_support::scratchDir("rows-grow") / "t.mdb";
    auto db = jet::Database::create(path);
    db->begin();
    jet::TableSchema t;
    t.name = "Grow";
    t.columns = {column("N", jet::ColumnType::Long, 4), column("S", jet::ColumnType::Text, 510)};
    db->createTable(t);
    std::vector<jet::RowId> ids;
    for (int i = 0; i < 200; ++i)
        ids.push_back(db->insertRow("Grow", {core::Value(std::int32_t{i}), core::Value("x")}));
    // Grow every third row to the full 255 characters: the pages overflow.
    for (int i = 0; i < 200; i += 3)
        db->updateRow("Grow", ids[i],
                      {core::Value(std::int32_t{i}), core::Value(std::string(255, 'a' + i % 26))});
    // Grow a moved row again and shrink another.
    db->updateRow("Grow", ids[0],
                  {core::Value(std::int32_t{-1}), core::Value(std::string(200, 'z'))});
    db->updateRow("Grow", ids[3], {core::Value(std::int32_t{3}), core::Value("")});
    db->commit();

    for (int i = 0; i < 200; ++i) {
        auto row = db->readRow("Grow", ids[i]);
        std::string expected = i == 0       ? std::string(200, 'z')
                               : i == 3     ? ""
                               : i % 3 == 0 ? std::string(255, 'a' + i % 26)
                                            : "x";
        EXPECT_EQ(row[1], core::Value(expected)) << i;
        EXPECT_EQ(row[0], core::Value(std::int32_t{i == 0 ? -1 : i})) << i;
    }
    EXPECT_EQ(readAll(*db, "Grow").size(), 200u);
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

TEST(RowWrite, RandomInsertsUpdatesAndDeletesMatchAModel) {
    auto path = testing_support::scratchDir("rows-random") / "t.mdb";
    auto db = jet::Database::create(path);
    std::mt19937 random(7);
    std::map<jet::RowId, std::vector<core::Value>> model;
    db->begin();
    jet::TableSchema t;
    t.name = "R";
    t.columns = {column("K", jet::ColumnType::Long, 4), column("S", jet::ColumnType::Text, 200),
                 column("M", jet::ColumnType::Memo)};
    db->createTable(t);
    for (int step = 0; step < 3000; ++step) {
        int action = static_cast<int>(random() % 10);
        std::vector<core::Value> row{core::Value(static_cast<std::int32_t>(random() % 100000)),
                                     core::Value(std::string(random() % 100, 's')),
                                     random() % 4 ? core::Value()
                                                  : core::Value(std::string(random() % 9000, 'm'))};
        if (action < 5 || model.empty()) {
            model[db->insertRow("R", row)] = row;
        } else {
            auto it = model.begin();
            std::advance(it, static_cast<long>(random() % model.size()));
            if (action < 8) {
                db->updateRow("R", it->first, row);
                it->second = row;
            } else {
                db->deleteRow("R", it->first);
                model.erase(it);
            }
        }
        if (step % 1000 == 999) {
            db->commit();
            std::string problems;
            ASSERT_TRUE(checkPasses(*db, &problems)) << problems;
            db->begin();
        }
    }
    db->commit();
    for (const auto& [id, row] : model) EXPECT_EQ(db->readRow("R", id), row);
    EXPECT_EQ(readAll(*db, "R").size(), model.size());
    EXPECT_EQ(db->table("R").schema().rowCount, model.size());
}

TEST(RowWrite, BadValuesAreRefusedWithTheColumnNamed) {
    auto path = testing_support::scratchDir("rows-refused") / "t.mdb";
    auto db = jet::Database::create(path);
    db->begin();
    db->createTable(everyTypeTable("T"));
    auto row = everyTypeRow(1);
    row[3] = core::Value("not money");
    try {
        db->insertRow("T", row);
        FAIL() << "a text went into a currency column";
    } catch (const core::TypeMismatch& e) {
        EXPECT_NE(std::string(e.what()).find("Salary"), std::string::npos) << e.what();
    }
    row = everyTypeRow(1);
    row[1] = core::Value(std::string(51, 'n'));
    EXPECT_THROW(db->insertRow("T", row), core::ConstraintError);
    EXPECT_THROW(db->insertRow("T", {core::Value()}), core::Error);
    EXPECT_THROW(db->insertRow("Nope", everyTypeRow(1)), core::SqlError);
    db->commit();
    EXPECT_EQ(readAll(*db, "T").size(), 0u);
}

TEST(RowWrite, DropTableFreesItsPagesForReuse) {
    auto path = testing_support::scratchDir("rows-drop") / "t.mdb";
    auto db = jet::Database::create(path);
    db->begin();
    db->createTable(everyTypeTable("A"));
    for (int i = 0; i < 500; ++i) db->insertRow("A", everyTypeRow(i));
    db->commit();
    auto grown = db->pages().pageCount();
    db->begin();
    db->dropTable("A");
    db->createTable(everyTypeTable("B"));
    for (int i = 0; i < 500; ++i) db->insertRow("B", everyTypeRow(i));
    db->commit();
    EXPECT_FALSE(db->hasTable("A"));
    EXPECT_EQ(readAll(*db, "B").size(), 500u);
    // B's pages come from A's: the file grows by little if at all.
    EXPECT_LE(db->pages().pageCount(), grown + 2);
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

} // namespace
