// A table whose property blob lost a byte: every open of the table reads the blob, so the
// integrity check must call the file damaged rather than healthy. The fuzzer found a file the
// check passed while the dump refused it.
#include "DamagedFile.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "jet/check/IntegrityCheck.h"

#include <gtest/gtest.h>

namespace {

TEST(DamagedProperties, CheckReportsWhatTheDumpRefuses) {
    REQUIRE_SAMPLES();
    auto dir = testing_support::scratchDir("robust-properties");
    auto bytes = robustness::readFile(testing_support::sample("deleted-rows.mdb"));
    // A length inside the property blob of one of the sample's tables, made zero.
    constexpr std::size_t kLengthByte = 69172;
    ASSERT_EQ(bytes.at(kLengthByte), 9) << "the sample changed";
    bytes[kLengthByte] = 0;
    robustness::writeFile(dir / "damaged.mdb", bytes);

    EXPECT_THROW(robustness::openAndDump(dir / "damaged.mdb"), core::Error);
    auto db = jet::Database::open(dir / "damaged.mdb");
    const jet::CheckReport report = jet::checkDatabase(*db);
    ASSERT_FALSE(report.ok());
    EXPECT_NE(report.problems.front().find("the properties of table"), std::string::npos)
        << report.problems.front();
}

} // namespace
