// A writer killed at any moment of a long insert leaves a file that reopens, passes the
// check and holds exactly the transactions that committed.
#include "WriteFixture.h"
#include "common/Samples.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace write_test;

namespace {

constexpr int kRowsPerTransaction = 40;

jet::TableSchema crashTable() {
    jet::TableSchema t;
    t.name = "T";
    t.columns = {column("N", jet::ColumnType::Long, 4), column("S", jet::ColumnType::Text, 200),
                 column("M", jet::ColumnType::Memo)};
    jet::IndexData key;
    key.columns = {{0, true}};
    key.flags = jet::index_flag::kUnique | jet::index_flag::kRequired;
    t.indexData = {key};
    jet::IndexDef primary;
    primary.name = "PrimaryKey";
    primary.kind = jet::IndexKind::Primary;
    t.indexes = {primary};
    return t;
}

// Inserts transaction after transaction until killed; row N holds N in every column. It
// writes a byte to `events` once the file is open and once after each commit, so the test
// can place its kills by the writer's progress rather than by the clock of a busy machine.
[[noreturn]] void writeForever(const std::filesystem::path& path, int start, int events) {
    const char event = 1;
    try {
        auto db = jet::Database::open(path, "", jet::OpenMode::ReadWrite);
        if (write(events, &event, 1) != 1) _exit(4);
        for (int n = start;;) {
            db->begin();
            for (int i = 0; i < kRowsPerTransaction; ++i, ++n)
                db->insertRow(
                    "T", {core::Value(std::int32_t{n}), core::Value("row " + std::to_string(n)),
                          core::Value(std::string(static_cast<std::size_t>(n % 7) * 700, 'm'))});
            db->commit();
            if (write(events, &event, 1) != 1) _exit(4);
        }
    } catch (...) {
        _exit(3);
    }
}

TEST(CrashInsert, EveryKillPointLeavesExactlyTheCommittedRows) {
    auto path = testing_support::scratchDir("crash-insert") / "crash.mdb";
    {
        auto db = jet::Database::create(path);
        db->begin();
        db->createTable(crashTable());
        db->commit();
    }
    int committed = 0;
    int progressed = 0;
    for (int point = 0; point < 60; ++point) {
        int events[2];
        ASSERT_EQ(pipe(events), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(events[0]);
            writeForever(path, committed, events[1]);
        }
        close(events[1]);
        // Wait for the open and for zero to two commits, then kill after a delay that walks
        // over the whole commit cycle.
        for (int seen = 0; seen < 1 + point % 3; ++seen) {
            char event = 0;
            ASSERT_EQ(read(events[0], &event, 1), 1) << "the writer stopped at point " << point;
        }
        std::this_thread::sleep_for(std::chrono::microseconds((point * 7919) % 60000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        close(events[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself at point " << point;

        auto db = jet::Database::open(path, "", jet::OpenMode::ReadWrite);
        std::string problems;
        ASSERT_TRUE(checkPasses(*db, &problems)) << "kill point " << point << "\n" << problems;
        auto rows = readAll(*db, "T");
        ASSERT_EQ(rows.size() % kRowsPerTransaction, 0u) << "a transaction landed in part";
        ASSERT_GE(static_cast<int>(rows.size()), committed) << "committed rows were lost";
        std::vector<bool> seen(rows.size(), false);
        for (const auto& row : rows) {
            auto n = row[0].get<std::int32_t>();
            ASSERT_LT(n, static_cast<int>(rows.size()));
            ASSERT_FALSE(seen[n]);
            seen[n] = true;
            ASSERT_EQ(row[1], core::Value("row " + std::to_string(n)));
        }
        if (static_cast<int>(rows.size()) > committed) ++progressed;
        committed = static_cast<int>(rows.size());
    }
    // The kills must have hit writers that had done some work, not only ones still opening.
    EXPECT_GT(progressed, 10);
    EXPECT_GT(committed, 0);
}

TEST(Statement, AFailedStatementUndoesOnlyItself) {
    auto path = testing_support::scratchDir("statement-savepoint") / "t.mdb";
    auto db = jet::Database::create(path);
    db->begin();
    db->createTable(crashTable());
    db->insertRow("T", {core::Value(std::int32_t{1}), core::Value("one"), core::Value()});

    db->beginStatement();
    db->insertRow("T", {core::Value(std::int32_t{2}), core::Value("two"),
                        core::Value(std::string(9000, 'x'))});
    EXPECT_THROW(
        db->insertRow("T", {core::Value(std::int32_t{1}), core::Value("dup"), core::Value()}),
        core::ConstraintError);
    db->endStatement(false);

    db->beginStatement();
    db->insertRow("T", {core::Value(std::int32_t{3}), core::Value("three"), core::Value()});
    db->endStatement(true);
    db->commit();

    auto rows = readAll(*db, "T");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][1], core::Value("one"));
    EXPECT_EQ(rows[1][1], core::Value("three"));
    EXPECT_EQ(db->table("T").schema().rowCount, 2u);
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

TEST(Statement, RowCountsOfEarlierStatementsOutliveAFailedOne) {
    // A statement's counters reach the definition page only when the next one begins; the
    // undo of a failed statement reads them back from there.
    auto path = testing_support::scratchDir("statement-counters") / "t.mdb";
    {
        auto db = jet::Database::create(path);
        db->begin();
        db->createTable(crashTable());
        db->commit();
        db->begin();
        for (std::int32_t id : {1, 2}) {
            db->beginStatement();
            db->insertRow("T", {core::Value(id), core::Value("row"), core::Value()});
            db->endStatement(true);
        }
        db->beginStatement();
        EXPECT_THROW(
            db->insertRow("T", {core::Value(std::int32_t{1}), core::Value("dup"), core::Value()}),
            core::ConstraintError);
        db->endStatement(false);
        EXPECT_EQ(db->table("T").schema().rowCount, 2u);
        db->commit();
    }
    auto db = jet::Database::open(path);
    EXPECT_EQ(db->table("T").schema().rowCount, 2u);
    EXPECT_EQ(readAll(*db, "T").size(), 2u);
}

TEST(Statement, UniqueAndPrimaryKeysAreEnforcedWithTheTableUnchanged) {
    auto path = testing_support::scratchDir("statement-keys") / "t.mdb";
    auto db = jet::Database::create(path);
    db->begin();
    db->createTable(crashTable());
    auto one =
        db->insertRow("T", {core::Value(std::int32_t{1}), core::Value("one"), core::Value()});
    auto two =
        db->insertRow("T", {core::Value(std::int32_t{2}), core::Value("two"), core::Value()});
    db->commit();
    auto before = dumpOf(*db);
    db->begin();
    EXPECT_THROW(
        db->insertRow("T", {core::Value(std::int32_t{2}), core::Value("again"), core::Value()}),
        core::ConstraintError);
    EXPECT_THROW(db->insertRow("T", {core::Value(), core::Value("null key"), core::Value()}),
                 core::ConstraintError);
    EXPECT_THROW(db->updateRow("T", one,
                               {core::Value(std::int32_t{2}), core::Value("clash"), core::Value()}),
                 core::ConstraintError);
    // Updating a row to its own key is no clash.
    db->updateRow("T", two,
                  {core::Value(std::int32_t{2}), core::Value("two again"), core::Value()});
    db->rollback();
    EXPECT_EQ(dumpOf(*db), before);
    EXPECT_TRUE(checkPasses(*db));
}

} // namespace
