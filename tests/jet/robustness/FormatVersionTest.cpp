// Real Access files of the formats the engine does not handle: ACE (Access 2007 and later),
// and files whose version byte lies about their layout. The message names the format so the
// user knows what to do.
#include "DamagedFile.h"
#include "common/Samples.h"
#include "core/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

using testing::HasSubstr;

// The version byte and the engine name lie before the RC4-obscured block at 0x18, so they
// can be changed without re-obscuring anything.
constexpr std::size_t kVersionByte = 0x14;
constexpr std::size_t kEngineName = 4;

std::string refusal(const robustness::FileBytes& bytes, const std::string& name) {
    auto dir = testing_support::scratchDir("robust-version-" + name);
    robustness::writeFile(dir / (name + ".mdb"), bytes);
    try {
        robustness::openAndDump(dir / (name + ".mdb"));
    } catch (const core::UnsupportedFormat& e) {
        return e.what();
    }
    ADD_FAILURE() << name << " was not refused as an unsupported format";
    return {};
}

TEST(FormatVersion, Jet4FileCalledJet3IsRefused) {
    // Read with 2 KiB Jet 3 pages, a Jet 4 file makes no sense; it must be refused, not shown.
    REQUIRE_SAMPLES();
    auto bytes = robustness::readFile(testing_support::sample("types.mdb"));
    bytes[kVersionByte] = 0x00;
    auto dir = testing_support::scratchDir("robust-version-jet3");
    robustness::writeFile(dir / "jet3.mdb", bytes);
    EXPECT_THROW(robustness::openAndDump(dir / "jet3.mdb"), core::Error);
}

TEST(FormatVersion, AceVersionByteIsNamedAsAccdb) {
    REQUIRE_SAMPLES();
    auto bytes = robustness::readFile(testing_support::sample("types.mdb"));
    for (std::uint8_t version : {0x02, 0x03, 0x05, 0xFF}) {
        bytes[kVersionByte] = version;
        SCOPED_TRACE(int(version));
        EXPECT_THAT(refusal(bytes, "ace"), HasSubstr(".accdb"));
    }
}

TEST(FormatVersion, AceEngineNameIsNamedAsAccdb) {
    REQUIRE_SAMPLES();
    auto bytes = robustness::readFile(testing_support::sample("types.mdb"));
    std::memcpy(bytes.data() + kEngineName, "Standard ACE DB", 15);
    EXPECT_THAT(refusal(bytes, "ace-name"), HasSubstr(".accdb"));
}

TEST(FormatVersion, UnchangedCopyStillOpens) {
    // The edits above are the only reason for the refusals: the same copy, untouched, opens.
    REQUIRE_SAMPLES();
    auto dir = testing_support::scratchDir("robust-version-control");
    robustness::writeFile(dir / "types.mdb",
                          robustness::readFile(testing_support::sample("types.mdb")));
    EXPECT_NO_THROW(robustness::openAndDump(dir / "types.mdb"));
}

TEST(FormatVersion, DamagedSignatureIsNotAnAccessFile) {
    REQUIRE_SAMPLES();
    auto dir = testing_support::scratchDir("robust-version-signature");
    auto bytes = robustness::readFile(testing_support::sample("types.mdb"));
    bytes[kEngineName + 9] = 'X'; // "Standard Jet DB" becomes "Standard Xet DB"
    robustness::writeFile(dir / "signature.mdb", bytes);
    try {
        robustness::openAndDump(dir / "signature.mdb");
        FAIL() << "a file without the Jet signature opened";
    } catch (const core::FormatError& e) {
        EXPECT_THAT(e.what(), HasSubstr("Unrecognized database format"));
    }
}

} // namespace
