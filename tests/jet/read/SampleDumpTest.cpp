// Every sample file, dumped by the engine, equals the dump an independent reader made of it,
// value for value.
#include "ExpectedDump.h"
#include "common/Samples.h"

#include <gtest/gtest.h>

namespace {

class SampleDump : public testing::TestWithParam<const char*> {};

TEST_P(SampleDump, EqualsTheIndependentReadersDump) {
    REQUIRE_SAMPLES();
    std::string name = GetParam();
    std::string password = name == "password" ? "password" : "";
    auto db = jet::Database::open(testing_support::sampleFile(name), password);
    testing_support::expectDumpEquals(*db, testing_support::expectedDump(name), name);
}

INSTANTIATE_TEST_SUITE_P(AllSamples, SampleDump,
                         testing::Values("application", "big-index", "compound-index",
                                         "created-by-catalog", "deleted-columns", "deleted-rows",
                                         "empty-2000", "empty-jet4", "fixed-text",
                                         "index-properties", "indexes", "no-password",
                                         "numeric-fixed", "numeric", "overflow-rows", "password",
                                         "types", "wide-table"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (auto& c : n)
                                 if (c == '-') c = '_';
                             return n;
                         });

} // namespace
