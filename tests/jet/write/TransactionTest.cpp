// Changes land whole or not at all: a rollback, an error part-way, or reopening without a
// commit leaves the file exactly as it was.
#include "WriteFixture.h"
#include "common/Samples.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace write_test;

namespace {

std::string bytesOfFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Transaction, RollbackForgetsEverything) {
    auto path = testing_support::scratchDir("tx-rollback") / "t.mdb";
    auto db = jet::Database::create(path);
    db->begin();
    db->createTable(everyTypeTable("Kept"));
    db->insertRow("Kept", everyTypeRow(1));
    db->commit();
    auto before = bytesOfFile(path);
    auto dumpBefore = dumpOf(*db);

    db->begin();
    db->insertRow("Kept", everyTypeRow(2));
    db->createTable(everyTypeTable("Gone"));
    db->insertRow("Gone", everyTypeRow(3));
    db->dropTable("Kept");
    db->rollback();

    EXPECT_TRUE(db->hasTable("Kept"));
    EXPECT_FALSE(db->hasTable("Gone"));
    EXPECT_EQ(dumpOf(*db), dumpBefore);
    EXPECT_EQ(db->table("Kept").schema().rowCount, 1u);
    EXPECT_EQ(bytesOfFile(path), before);
    // The counter of the forgotten row is given out again.
    db->begin();
    auto id = db->insertRow("Kept", everyTypeRow(4));
    db->commit();
    EXPECT_EQ(db->readRow("Kept", id)[0], core::Value(std::int32_t{2}));
}

TEST(Transaction, ChangesNeedATransactionAndAWritableFile) {
    REQUIRE_SAMPLES();
    auto path = testing_support::scratchDir("tx-needed") / "t.mdb";
    auto db = jet::Database::create(path);
    EXPECT_THROW(db->createTable(everyTypeTable("T")), core::Error);
    db.reset();
    auto readOnly = jet::Database::open(path);
    EXPECT_FALSE(readOnly->writable());
    EXPECT_THROW(readOnly->begin(), core::Error);
}

TEST(Transaction, UncommittedWorkIsGoneAfterReopening) {
    auto path = testing_support::scratchDir("tx-uncommitted") / "t.mdb";
    {
        auto db = jet::Database::create(path);
        db->begin();
        db->createTable(everyTypeTable("T"));
        db->commit();
    }
    auto before = bytesOfFile(path);
    {
        auto db = jet::Database::open(path, "", jet::OpenMode::ReadWrite);
        db->begin();
        for (int i = 0; i < 100; ++i) db->insertRow("T", everyTypeRow(i));
        // Closed without commit.
    }
    EXPECT_EQ(bytesOfFile(path), before);
    auto db = jet::Database::open(path);
    EXPECT_EQ(readAll(*db, "T").size(), 0u);
}

TEST(Transaction, ASecondWriterIsRefused) {
    auto path = testing_support::scratchDir("tx-second-writer") / "t.mdb";
    auto first = jet::Database::create(path);
    try {
        jet::Database::open(path, "", jet::OpenMode::ReadWrite);
        FAIL() << "a second writer opened the file";
    } catch (const core::InUseError& e) {
        EXPECT_NE(std::string(e.what()).find("already in use"), std::string::npos) << e.what();
    }
}

} // namespace
