// Writing the user's files: new content takes the file's place only once it is all on disk, so
// a failed write (a full disk, a file size limit) leaves the old file as it was.
#include "data/UserFile.h"
#include "common/FileSizeLimit.h"
#include "common/Samples.h"
#include "core/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::StartsWith;

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writePlain(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

fs::perms permissionsOf(const fs::path& file) {
    return fs::status(file).permissions() & fs::perms::mask;
}

std::string errorOf(const fs::path& file, std::string_view bytes) {
    try {
        data::writeUserFile(file, bytes);
    } catch (const core::IoError& error) {
        return error.what();
    }
    return {};
}

class UserFileTest : public testing::Test {
protected:
    void SetUp() override {
        dir = testing_support::scratchDir(
            std::string("data-user-file-") +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    // The names in the folder: a temporary file left behind would show here.
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(dir))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

    fs::path dir;
};

TEST_F(UserFileTest, CreatesAndReplacesKeepingThePermissions) {
    const fs::path file = dir / "schema.sql";
    data::writeUserFile(file, "create table A (x long)\r\n");
    EXPECT_EQ(contentOf(file), "create table A (x long)\r\n");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(permissionsOf(file), static_cast<fs::perms>(0666 & ~mask));

    fs::permissions(file, static_cast<fs::perms>(0640));
    data::writeUserFile(file, "");
    EXPECT_EQ(contentOf(file), "");
    EXPECT_EQ(permissionsOf(file), static_cast<fs::perms>(0640));
    EXPECT_EQ(names(), std::vector<std::string>{"schema.sql"});
}

TEST_F(UserFileTest, AFailedWriteLeavesTheOldFileAsItWas) {
    const fs::path file = dir / "customers.sql";
    const std::string old = "create table Customers (ID counter)\r\n";
    writePlain(file, old);
    const std::string larger(64 * 1024, 'x');
    std::string message;
    {
        const testing_support::FileSizeLimit full(4096);
        message = errorOf(file, larger);
    }
    EXPECT_THAT(message, StartsWith("Cannot create file \"" + file.string() + "\". "));
    EXPECT_THAT(message, HasSubstr("too large"));
    EXPECT_EQ(contentOf(file), old);
    EXPECT_EQ(names(), std::vector<std::string>{"customers.sql"});
}

TEST_F(UserFileTest, ALinkKeepsPointingAtTheFileItNames) {
    const fs::path real = dir / "real.sql";
    const fs::path link = dir / "link.sql";
    writePlain(real, "old");
    fs::create_symlink(real.filename(), link);
    data::writeUserFile(link, "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contentOf(real), "new");
    EXPECT_EQ(names(), (std::vector<std::string>{"link.sql", "real.sql"}));
}

TEST_F(UserFileTest, WhatCannotBeWrittenIsAnErrorNamingTheFile) {
    struct Case {
        fs::path file;
        const char* cause;
    };
    fs::create_directory(dir / "folder");
    const std::vector<Case> cases{
        {dir / "missing" / "a.sql", "No such file or directory"},
        {dir / "folder", "Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.string());
        EXPECT_EQ(errorOf(c.file, "x"),
                  "Cannot create file \"" + c.file.string() + "\". " + c.cause);
    }
    EXPECT_EQ(names(), std::vector<std::string>{"folder"});
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

TEST_F(UserFileTest, ADeviceIsWrittenNotReplaced) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    EXPECT_EQ(errorOf("/dev/full", "x"),
              "Cannot create file \"/dev/full\". No space left on device");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

} // namespace
