// Every sample file, dumped by the engine, equals the dump an independent reader made of it,
// value for value.
#include "cli/Dump.h"
#include "common/JsonValue.h"
#include "common/Samples.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using testing_support::Json;

namespace {

std::vector<std::string> lines(std::istream& in) {
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) out.push_back(line);
    return out;
}

class SampleDump : public testing::TestWithParam<const char*> {};

TEST_P(SampleDump, EqualsTheIndependentReadersDump) {
    REQUIRE_SAMPLES();
    std::string name = GetParam();
    std::string password = name == "password" ? "password" : "";
    auto db = jet::Database::open(testing_support::sampleFile(name), password);
    std::stringstream ours;
    cli::dumpDatabase(*db, ours);
    std::ifstream expectedFile(testing_support::expectedDump(name));
    ASSERT_TRUE(expectedFile) << "expected dump missing for " << name;

    auto got = lines(ours), expected = lines(expectedFile);
    ASSERT_EQ(got.size(), expected.size()) << "line count differs for " << name;
    for (std::size_t i = 0; i < got.size(); ++i) {
        Json a = testing_support::parseJson(got[i]);
        Json b = testing_support::parseJson(expected[i]);
        EXPECT_TRUE(a == b) << name << " line " << i + 1 << "\n  ours:     " << got[i]
                            << "\n  expected: " << expected[i];
    }
}

INSTANTIATE_TEST_SUITE_P(AllSamples, SampleDump,
                         testing::Values("application", "big-index", "compound-index", "created-by-catalog",
                                         "deleted-columns", "deleted-rows", "empty-2000",
                                         "empty-jet4", "fixed-text", "index-properties", "indexes",
                                         "no-password", "numeric-fixed", "numeric", "overflow-rows",
                                         "password", "types", "wide-table"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (auto& c : n)
                                 if (c == '-') c = '_';
                             return n;
                         });

} // namespace
