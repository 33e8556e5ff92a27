// Files that are not Access databases at all: a user picks the wrong file, and gets Jet's
// "Unrecognized database format" instead of a crash or a misleading message.
#include "DamagedFile.h"
#include "common/Samples.h"
#include "core/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using robustness::FileBytes;
using testing::HasSubstr;

void expectUnrecognized(const std::filesystem::path& path) {
    try {
        robustness::openAndDump(path);
        FAIL() << path << " opened";
    } catch (const core::FormatError& e) {
        EXPECT_THAT(e.what(), HasSubstr("Unrecognized database format"));
    }
}

TEST(NotADatabase, EmptyFileIsRefused) {
    auto dir = testing_support::scratchDir("robust-empty");
    robustness::writeFile(dir / "empty.mdb", {});
    expectUnrecognized(dir / "empty.mdb");
}

TEST(NotADatabase, FilesOfZerosAreRefused) {
    auto dir = testing_support::scratchDir("robust-zeros");
    // Shorter than the three pages every file has, exactly those, and a typical size.
    for (std::size_t pages : {1u, 3u, 16u}) {
        auto path = dir / ("zeros-" + std::to_string(pages) + ".mdb");
        robustness::writeFile(path, FileBytes(pages * robustness::kPage, 0));
        SCOPED_TRACE(path.string());
        expectUnrecognized(path);
    }
}

TEST(NotADatabase, TextFileIsRefused) {
    auto dir = testing_support::scratchDir("robust-text");
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "Id;Name;Price\n" + std::to_string(i) + ";Widget;9.99\n";
    robustness::writeFile(dir / "prices.mdb", FileBytes(text.begin(), text.end()));
    expectUnrecognized(dir / "prices.mdb");
}

TEST(NotADatabase, HeaderWithoutCatalogIsDamaged) {
    // A good header page followed by nothing useful: the format is recognised, the content
    // is not, and the message must say the file is damaged.
    REQUIRE_SAMPLES();
    auto dir = testing_support::scratchDir("robust-header-only");
    auto bytes = robustness::readFile(testing_support::sample("created-by-catalog.mdb"));
    std::fill(bytes.begin() + robustness::kPage, bytes.end(), 0);
    robustness::writeFile(dir / "header-only.mdb", bytes);
    try {
        robustness::openAndDump(dir / "header-only.mdb");
        FAIL() << "a file with an empty catalog opened";
    } catch (const core::FormatError& e) {
        EXPECT_THAT(e.what(), HasSubstr("damaged"));
    }
}

TEST(NotADatabase, MissingFileIsAnIoError) {
    auto dir = testing_support::scratchDir("robust-missing");
    EXPECT_THROW(robustness::openAndDump(dir / "no-such-file.mdb"), core::IoError);
}

TEST(NotADatabase, FolderIsAnError) {
    auto dir = testing_support::scratchDir("robust-folder");
    EXPECT_THROW(robustness::openAndDump(dir), core::Error);
}

} // namespace
