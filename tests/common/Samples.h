#pragma once
// Where the tests find the sample Access files and put the files they write.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace testing_support {

inline std::filesystem::path samplesDir() {
    if (const char* env = std::getenv("TABLORY_SAMPLES"); env && *env) return env;
    return TABLORY_SAMPLES_DIR;
}

inline bool haveSamples() {
    return std::filesystem::exists(samplesDir() / "types.mdb");
}

inline std::filesystem::path sample(const std::string& name) {
    return samplesDir() / name;
}

// A sample by name and its canonical dump; the whole Access application keeps both in a folder
// of its own, beside the small samples.
inline std::filesystem::path sampleFile(const std::string& name) {
    if (name == "application") return samplesDir() / "application" / "application.mdb";
    return samplesDir() / (name + ".mdb");
}

inline std::filesystem::path expectedDump(const std::string& name) {
    if (name == "application") return samplesDir() / "application" / "expected.jsonl";
    return samplesDir() / "expected" / (name + ".jsonl");
}

// The Access 97 (Jet 3) samples and their canonical dumps, in a folder of their own.
inline std::filesystem::path jet3SampleFile(const std::string& name) {
    return samplesDir() / "jet3" / (name + ".mdb");
}

inline std::filesystem::path jet3ExpectedDump(const std::string& name) {
    return samplesDir() / "jet3" / "expected" / (name + ".jsonl");
}

// A writable copy of a sample (by the names sampleFile takes) in a test's folder, under the
// sample's own file name.
inline std::filesystem::path writableCopyOfSample(const std::string& name,
                                                  const std::filesystem::path& dir) {
    const auto source = sampleFile(name);
    auto copy = dir / source.filename();
    std::filesystem::copy_file(source, copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    return copy;
}

// A fresh, empty folder for one test's files. Test cases run as processes of their own, side
// by side, so the folder is this process's alone.
inline std::filesystem::path scratchDir(const std::string& name) {
    auto dir =
        std::filesystem::path(TABLORY_TEST_OUTPUT) / (name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

} // namespace testing_support

// Skips the current test when the shared samples are not beside the repository.
#define REQUIRE_SAMPLES()                                                                          \
    do {                                                                                           \
        if (!testing_support::haveSamples())                                                       \
            GTEST_SKIP() << "sample files not found at " << testing_support::samplesDir()          \
                         << " (../shared/samples)";                                                \
    } while (0)
