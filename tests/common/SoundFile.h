#pragma once
// The integrity check as a test expectation: EXPECT_TRUE(passesCheck(db)) fails listing
// every problem the check found.
#include "jet/Database.h"
#include "jet/check/IntegrityCheck.h"

#include <gtest/gtest.h>

namespace testing_support {

inline ::testing::AssertionResult passesCheck(const jet::Database& database) {
    const auto report = jet::checkDatabase(database);
    if (report.ok()) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    for (const auto& problem : report.problems) failure << problem << "\n";
    return failure;
}

} // namespace testing_support
