// Text keys as Access wrote them in the sample application: a value with trailing blanks
// ("Frankfurt a.M. ") is keyed without them, so a seek must find it as a scan does, and an
// update must take away the entry Access wrote for the old value.
#include "common/Samples.h"
#include "jet/Database.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string kCity = "Frankfurt a.M. ";

std::filesystem::path application() {
    return testing_support::sample("application/application.mdb");
}

std::string rowsOf(sql::Session& session, const std::string& statement) {
    sql::ResultSet result = session.execute(statement);
    return sql::resultText(result);
}

// The customers the City index gives for one value, whatever their City now holds.
std::vector<std::string> customersSought(const sql::JetStorage& storage, const std::string& city) {
    sql::KeyRange range;
    range.low = sql::KeyBound{{core::Value(city)}, true};
    range.high = range.low;
    auto cursor = storage.seekIndex("Customers", "City", range);
    EXPECT_TRUE(cursor);
    std::vector<std::string> found;
    while (cursor && cursor->next())
        found.push_back(cursor->value(0).get<std::string>() + "|" +
                        cursor->value(5).get<std::string>());
    return found;
}

TEST(AccessTextKeys, SeekFindsWhatAScanFinds) {
    REQUIRE_SAMPLES();
    const auto database = jet::Database::open(application());
    sql::JetStorage storage(*database);
    sql::Session session(storage);
    const std::string scanned =
        rowsOf(session, "select CustomerID from Customers where City & '' = '" + kCity + "'");
    EXPECT_EQ(scanned, "LEHMS\n");
    EXPECT_EQ(rowsOf(session, "select CustomerID from Customers where City = '" + kCity + "'"),
              scanned);
    EXPECT_EQ(customersSought(storage, kCity), std::vector<std::string>{"LEHMS|" + kCity});
}

TEST(AccessTextKeys, UpdateTakesAwayTheOldEntry) {
    REQUIRE_SAMPLES();
    const auto path = testing_support::scratchDir("access-text-keys") / "application.mdb";
    std::filesystem::copy_file(application(), path);
    const auto database = jet::Database::open(path, "", jet::OpenMode::ReadWrite);
    sql::JetStorage storage(*database);
    sql::Session session(storage);
    EXPECT_EQ(session.execute("update Customers set City = 'Frankfurt' where CustomerID = 'LEHMS'")
                  .rowsAffected(),
              1);
    EXPECT_TRUE(customersSought(storage, kCity).empty());
    EXPECT_EQ(customersSought(storage, "Frankfurt"), std::vector<std::string>{"LEHMS|Frankfurt"});
}

} // namespace
