// A file cut short (a copy interrupted, a download broken off) is refused as damaged, or, when
// every page the tables use survived, reads exactly as before. It never reads differently.
#include "DamagedFile.h"
#include "SampleNames.h"
#include "common/Samples.h"
#include "core/Error.h"

#include <gtest/gtest.h>

namespace {

class Truncation : public testing::TestWithParam<const char*> {};

TEST_P(Truncation, AtEveryPageBoundaryAndMidPage) {
    REQUIRE_SAMPLES();
    std::string name = GetParam();
    auto dir = testing_support::scratchDir("robust-truncate-" + name);
    auto path = dir / (name + ".mdb");
    auto bytes = robustness::readFile(testing_support::sample(name + ".mdb"));
    robustness::writeFile(path, bytes);
    const std::string whole = robustness::openAndDump(path, robustness::kSamplePassword);

    std::size_t pages = bytes.size() / robustness::kPage;
    std::size_t refused = 0, intact = 0;
    // From the longest cut to the shortest, so that each cut is one resize of the same file.
    for (std::size_t page = pages; page-- > 0;) {
        for (std::size_t extra :
             {robustness::kPage - 1, robustness::kPage / 2, std::size_t(1), std::size_t(0)}) {
            std::size_t size = page * robustness::kPage + extra;
            if (size >= bytes.size()) continue;
            std::filesystem::resize_file(path, size);
            bool opened = false;
            try {
                std::string dump = robustness::openAndDump(path, robustness::kSamplePassword);
                EXPECT_TRUE(dump == whole)
                    << name << " cut to " << size << " bytes reads differently";
                opened = true;
            } catch (const core::FormatError&) {
                ++refused;
            }
            // Anything else escapes and fails the test with the exception's message.
            if (opened) ++intact;
            if (opened && size < 3 * robustness::kPage)
                ADD_FAILURE() << name << " cut to " << size
                              << " bytes, short of the catalog, opened";
        }
    }
    RecordProperty("refused", static_cast<int>(refused));
    RecordProperty("intact", static_cast<int>(intact));
}

INSTANTIATE_TEST_SUITE_P(AllSamples, Truncation, robustness::kAllSamples,
                         robustness::sampleTestName);

} // namespace
