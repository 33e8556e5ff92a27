// The short, in-suite fuzz run: thousands of deterministic kinds of damage applied to every
// sample. Whatever the damage, opening and dumping either works or raises a core::Error. A
// crash leaves the file that caused it and its description in the test's scratch folder.
#include "DamagedFile.h"
#include "Mutator.h"
#include "SampleNames.h"
#include "common/Samples.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <fstream>
#include <typeinfo>

namespace {

// Enough to reach every kind of damage many times on each file while keeping the whole run
// short under the sanitizers; the large sample gets fewer rounds as each costs more.
constexpr int kRounds = 1500;
constexpr int kRoundsForLargeFiles = 400;
constexpr std::size_t kLargeFile = 1 << 20;

std::uint32_t seedFor(const std::string& name) {
    std::uint32_t h = 2166136261u; // FNV-1a: the same on every platform, unlike std::hash
    for (unsigned char c : name) h = (h ^ c) * 16777619u;
    return h;
}

class Mutation : public testing::TestWithParam<const char*> {};

TEST_P(Mutation, DamageIsReadOrRefusedWithAnError) {
    REQUIRE_SAMPLES();
    std::string name = GetParam();
    auto dir = testing_support::scratchDir("robust-mutation-" + name);
    auto original = robustness::readFile(testing_support::sample(name + ".mdb"));
    robustness::Mutator mutator(original, seedFor(name));
    int rounds = original.size() > kLargeFile ? kRoundsForLargeFiles : kRounds;

    int read = 0, refused = 0;
    std::string how;
    for (int i = 0; i < rounds; ++i) {
        auto damaged = mutator.next(how);
        robustness::writeFile(dir / "current.mdb", damaged);
        std::ofstream(dir / "current.txt") << name << " round " << i << ":" << how << "\n";
        try {
            robustness::openAndDump(dir / "current.mdb", robustness::kSamplePassword);
            ++read;
        } catch (const core::Error&) {
            ++refused;
        } catch (const std::exception& e) {
            auto kept = dir / ("finding-" + std::to_string(i) + ".mdb");
            std::filesystem::copy_file(dir / "current.mdb", kept);
            ADD_FAILURE() << name << " round " << i << " (" << how << ") threw " << typeid(e).name()
                          << ": " << e.what() << "; file kept as " << kept;
        }
    }
    std::filesystem::remove(dir / "current.mdb");
    std::filesystem::remove(dir / "current.txt");
    // The damage must reach the reader: if nothing was ever refused, the mutator is broken
    // and the test proves nothing.
    EXPECT_GT(refused, 0) << name;
    RecordProperty("read", read);
    RecordProperty("refused", refused);
}

INSTANTIATE_TEST_SUITE_P(AllSamples, Mutation, robustness::kAllSamples, robustness::sampleTestName);

} // namespace
