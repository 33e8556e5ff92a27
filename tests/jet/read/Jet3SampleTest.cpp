// Access 97 (Jet 3) files: every sample dumps equal to an independent reader's dump and
// passes the integrity check; the password gate holds; other code pages are refused.
#include "ExpectedDump.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/check/IntegrityCheck.h"
#include "jet/file/DatabaseHeader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

using testing::HasSubstr;

namespace {

using FileBytes = std::vector<std::uint8_t>;

FileBytes readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::filesystem::path& path, const FileBytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A copy of a Jet 3 sample whose header block was changed by `edit` while clear.
std::filesystem::path editedCopy(const std::string& name,
                                 const std::function<void(std::span<std::uint8_t>)>& edit) {
    auto bytes = readBytes(testing_support::jet3SampleFile("compIndexTestV1997"));
    std::span<std::uint8_t> header(bytes.data(), jet::FileFormat::jet3().pageSize);
    jet::toggleHeaderObscuring(header, jet::FileFormat::jet3());
    edit(header);
    jet::toggleHeaderObscuring(header, jet::FileFormat::jet3());
    auto path = testing_support::scratchDir("jet3-" + name) / "edited.mdb";
    writeBytes(path, bytes);
    return path;
}

class Jet3Sample : public testing::TestWithParam<const char*> {};

TEST_P(Jet3Sample, DumpsEqualToTheIndependentReadersDumpAndPassesCheck) {
    REQUIRE_SAMPLES();
    const std::string name = GetParam();
    auto db = jet::Database::open(testing_support::jet3SampleFile(name));
    EXPECT_EQ(db->header().version, jet::JetVersion::Jet3);
    testing_support::expectDumpEquals(*db, testing_support::jet3ExpectedDump(name), name);

    auto report = jet::checkDatabase(*db);
    EXPECT_TRUE(report.ok()) << (report.problems.empty() ? "" : report.problems.front());
    EXPECT_GT(report.rows, 0u);
    // Indexes are verified like every other structure: nothing is left out with a note.
    EXPECT_TRUE(report.notes.empty()) << report.notes.front();
}

// The check rebuilds each index's keys from the rows: one changed key byte on a leaf page
// shows as an entry missing and one standing for no row, on the index that holds it.
TEST(Jet3File, CheckFindsADamagedIndexEntry) {
    REQUIRE_SAMPLES();
    auto bytes = readBytes(testing_support::jet3SampleFile("compIndexTestV1997"));
    const std::size_t pageSize = jet::FileFormat::jet3().pageSize;
    const std::size_t firstEntry = jet::FileFormat::jet3().indexPage.firstEntry();
    // The last leaf (a user table's; the system tables come first) whose first entry is a
    // value (flag 0x7F ascending, 0x80 descending), with a key byte to change.
    std::size_t leaf = 0;
    for (std::size_t at = 0; at + pageSize <= bytes.size(); at += pageSize) {
        const std::uint8_t flag = bytes[at + firstEntry];
        if (bytes[at] == 0x04 && (flag == 0x7F || flag == 0x80)) leaf = at;
    }
    ASSERT_NE(leaf, 0u);
    bytes[leaf + firstEntry + 1] ^= 0x01;
    auto path = testing_support::scratchDir("jet3-index-damage") / "damaged.mdb";
    writeBytes(path, bytes);
    auto report = jet::checkDatabase(*jet::Database::open(path));
    ASSERT_FALSE(report.ok());
    EXPECT_THAT(report.problems.front(), HasSubstr("index"));
}

INSTANTIATE_TEST_SUITE_P(AllJet3Samples, Jet3Sample,
                         testing::Values("compIndexTestV1997", "delColTestV1997",
                                         "overflowTestV1997", "queryTestV1997", "test2V1997",
                                         "testIndexCodesV1997"));

TEST(Jet3File, SavedSelectQueriesReadBackAsSql) {
    // Access 97's MSysQueries has no LvExtra column; its rows read all the same.
    REQUIRE_SAMPLES();
    auto db = jet::Database::open(testing_support::jet3SampleFile("queryTestV1997"));
    ASSERT_EQ(db->viewNames(), std::vector<std::string>{"SelectQuery"});
    EXPECT_EQ(db->queryText("SelectQuery"),
              "SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3\r\n"
              "FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2 ON "
              "(Table3.col1 = Table2.col2) AND (Table3.col1 = Table2.col1)\r\n"
              "WHERE (((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))\r\n"
              "ORDER BY Table2.col1;");
}

TEST(Jet3File, PasswordGateHoldsAsForJet4) {
    REQUIRE_SAMPLES();
    // Jet 3 keeps the password as 8-bit characters under the header's obscuring alone.
    auto path = editedCopy("password", [](std::span<std::uint8_t> h) {
        const std::string secret = "Secret97";
        std::copy(secret.begin(), secret.end(), h.begin() + jet::header::kPassword);
    });
    for (const char* wrong : {"", "secret97", "Secret9", "Secret97 "}) {
        SCOPED_TRACE(wrong);
        EXPECT_THROW(jet::Database::open(path, wrong), core::PasswordError);
    }
    auto db = jet::Database::open(path, "Secret97");
    EXPECT_EQ(db->header().password, "Secret97");
    EXPECT_EQ(db->tableNames(), std::vector<std::string>{"Table1"});
}

TEST(Jet3File, OtherCodePagesAreRefusedByName) {
    REQUIRE_SAMPLES();
    auto path = editedCopy(
        "codepage", [](std::span<std::uint8_t> h) { jet::put16(h, jet::header::kCodePage, 1251); });
    try {
        jet::Database::open(path);
        ADD_FAILURE() << "a code page 1251 file opened";
    } catch (const core::UnsupportedFormat& e) {
        EXPECT_THAT(e.what(), HasSubstr("code page 1251"));
    }
}

} // namespace
