#pragma once
// A session on a new Jet file of the test's own, which the test can close and open again
// (reopen) and put through the integrity check (expectSound).
#include "common/Samples.h"
#include "common/SoundFile.h"
#include "jet/Database.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace engine_test {

class JetFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path = testing_support::scratchDir(std::string("sql-") + test->test_suite_name() + "-" +
                                           test->name()) /
               "t.mdb";
        database = jet::Database::create(path);
        connect();
    }
    void reopen() {
        session.reset();
        storage.reset();
        database.reset();
        database = jet::Database::open(path, "", jet::OpenMode::ReadWrite);
        connect();
    }
    void expectSound() { EXPECT_TRUE(testing_support::passesCheck(*database)); }

    std::filesystem::path path;
    std::unique_ptr<jet::Database> database;
    std::unique_ptr<sql::JetStorage> storage;
    std::unique_ptr<sql::Session> session;

private:
    void connect() {
        storage = std::make_unique<sql::JetStorage>(*database);
        session = std::make_unique<sql::Session>(*storage);
    }
};

} // namespace engine_test
