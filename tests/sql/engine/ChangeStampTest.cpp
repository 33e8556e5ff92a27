// The storage's change stamp: every statement that changes rows or definitions, and every
// undo, gives a new one; reading keeps it; no two storages share one. On both storages.
#include "JetFileTest.h"
#include "sql/engine/storage/MemoryStorage.h"

#include <gtest/gtest.h>

namespace engine_test {
namespace {

struct Step {
    const char* statement;
    bool changes;
};

const Step kSteps[] = {
    {"create table S (A long, B text(10))", true},
    {"insert into S values (1, 'x')", true},
    {"select * from S order by B", false},
    {"update S set B = 'y'", true},
    {"create index ByB on S (B)", true},
    {"select Count(*) from S where B = 'y'", false},
    {"begin transaction", false},
    {"insert into S values (2, 'z')", true},
    {"rollback", true},
    {"alter table S add column C long", true},
    {"drop index ByB on S", true},
    {"delete from S", true},
    {"drop table S", true},
};

void walk(sql::Storage& storage) {
    sql::Session session(storage);
    for (const Step& step : kSteps) {
        SCOPED_TRACE(step.statement);
        const auto before = storage.changeStamp();
        ASSERT_TRUE(before);
        session.execute(step.statement);
        if (step.changes)
            EXPECT_NE(storage.changeStamp(), before);
        else
            EXPECT_EQ(storage.changeStamp(), before);
    }
}

TEST(ChangeStampTest, MemoryStorage) {
    sql::MemoryStorage storage;
    walk(storage);
}

class JetChangeStampTest : public JetFileTest {};

TEST_F(JetChangeStampTest, JetStorage) {
    walk(*storage);
    // A storage opened afresh on the same file never repeats a stamp the old one gave.
    const auto old = storage->changeStamp();
    reopen();
    EXPECT_NE(storage->changeStamp(), old);
}

} // namespace
} // namespace engine_test
