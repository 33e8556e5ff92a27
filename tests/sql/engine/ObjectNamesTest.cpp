// Names of tables, columns and indexes are found without regard to letter case for every
// letter, and the same way in memory and in a Jet file: "über" names the table "Über".
#include "JetFileTest.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/MemoryStorage.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Each statement names its objects in another case than they were created with.
const std::pair<const char*, const char*> script[] = {
    {"create table [\u00DCber] (Gr\u00F6\u00DFe long, Stra\u00DFe text(20))", ""},
    {"create index [\u00C4rger] on [\u00FCBER] (STRA\u00DFE)", ""},
    {"insert into \u00FCber (gr\u00D6\u00DFe, stra\u00DFe) values (1, 'a')", ""},
    {"insert into \u00DCBER values (2, 'b')", ""},
    {"select GR\u00D6\u00DFE from \u00FCber where STRA\u00DFE = 'b'", "2\n"},
    {"select \u00FCber.gr\u00F6\u00DFe from [\u00DCBER] order by 1", "1\n2\n"},
    {"update \u00FCber set gr\u00F6\u00DFe = 3 where gr\u00D6\u00DFe = 2", ""},
    {"drop index [\u00E4RGER] on \u00FCber", ""},
    {"select Count(*) from \u00FCber where gr\u00F6\u00DFe = 3", "1\n"},
};

void runScript(sql::Session& session, const char* where) {
    for (const auto& [statement, expected] : script) {
        SCOPED_TRACE(std::string(where) + ": " + statement);
        sql::ResultSet result = session.execute(statement);
        if (*expected) {
            EXPECT_EQ(sql::resultText(result), expected);
        }
    }
}

TEST(ObjectNames, FoundWithoutRegardToCaseInMemory) {
    sql::MemoryStorage storage;
    sql::Session session(storage);
    runScript(session, "memory");
}

class ObjectNamesInAFile : public engine_test::JetFileTest {};

TEST_F(ObjectNamesInAFile, FoundWithoutRegardToCase) {
    runScript(*session, "file");
    // The catalog read back from the file finds them the same way.
    reopen();
    sql::ResultSet rows = session->execute("select * from \u00FCBER order by 1");
    EXPECT_EQ(sql::resultText(rows), "1|a\n3|b\n");
    EXPECT_TRUE(database->hasTable("\u00FCber"));
    expectSound();
}

} // namespace
