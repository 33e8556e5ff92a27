// The database password on copies of the samples: a wrong or missing password is refused with
// Access's own message, before anything past the header is read.
#include "DamagedFile.h"
#include "common/Samples.h"
#include "core/Error.h"

#include <gtest/gtest.h>

namespace {

std::filesystem::path copyOf(const std::string& sample, const std::string& scratch) {
    auto dir = testing_support::scratchDir(scratch);
    robustness::writeFile(dir / sample, robustness::readFile(testing_support::sample(sample)));
    return dir / sample;
}

void expectWrongPassword(const std::filesystem::path& path, const std::string& password) {
    SCOPED_TRACE("password '" + password + "'");
    try {
        robustness::openAndDump(path, password);
        FAIL() << "opened";
    } catch (const core::PasswordError& e) {
        EXPECT_STREQ(e.what(), "Not a valid password.");
    }
}

TEST(PasswordCopy, WrongOrMissingPasswordIsRefused) {
    REQUIRE_SAMPLES();
    auto path = copyOf("password.mdb", "robust-password");
    for (const char* pw : {"", "wrong", "Password", "PASSWORD", "password\n", "passwordpassword"})
        expectWrongPassword(path, pw);
}

TEST(PasswordCopy, RightPasswordShowsTheSameDataAsTheUnprotectedTwin) {
    REQUIRE_SAMPLES();
    auto locked = copyOf("password.mdb", "robust-password-right");
    auto open = copyOf("no-password.mdb", "robust-password-twin");
    EXPECT_EQ(robustness::openAndDump(locked, "password"), robustness::openAndDump(open));
}

TEST(PasswordCopy, FileWithoutPasswordOpensWithAnyPassword) {
    REQUIRE_SAMPLES();
    auto path = copyOf("no-password.mdb", "robust-password-none");
    auto reference = robustness::openAndDump(path);
    for (const char* pw : {"password", "anything", "x", "a much longer password than fits"})
        EXPECT_EQ(robustness::openAndDump(path, pw), reference) << "password '" << pw << "'";
}

TEST(PasswordCopy, PasswordIsCheckedBeforeDamagedContent) {
    // A protected file whose catalog is wrecked still says "wrong password" to someone without
    // it: the content must not be read, let alone reported on, before the password matches.
    REQUIRE_SAMPLES();
    auto path = copyOf("password.mdb", "robust-password-damaged");
    auto bytes = robustness::readFile(path);
    std::fill(bytes.begin() + 2 * robustness::kPage, bytes.begin() + 3 * robustness::kPage, 0xEE);
    robustness::writeFile(path, bytes);
    expectWrongPassword(path, "");
    expectWrongPassword(path, "wrong");
    EXPECT_THROW(robustness::openAndDump(path, "password"), core::FormatError);
}

} // namespace
