// The database password decides who may open a file; a file without one opens for anyone.
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "jet/file/DatabaseHeader.h"

#include <gtest/gtest.h>

namespace {

void expectRefused(const std::string& password) {
    try {
        jet::Database::open(testing_support::sample("password.mdb"), password);
        FAIL() << "opened with password '" << password << "'";
    } catch (const core::PasswordError& e) {
        EXPECT_STREQ(e.what(), "Not a valid password.");
    }
}

TEST(Password, ProtectedFileOpensOnlyWithItsPassword) {
    REQUIRE_SAMPLES();
    auto db = jet::Database::open(testing_support::sample("password.mdb"), "password");
    EXPECT_EQ(db->header().password, "password");
    EXPECT_EQ(db->tableNames(), std::vector<std::string>{"Table1"});
    expectRefused("");
    expectRefused("Password");
    expectRefused("passwor");
    expectRefused("password ");
}

TEST(Password, FileWithoutPasswordOpensWithAnyPassword) {
    REQUIRE_SAMPLES();
    for (const char* pw : {"", "password", "anything at all"}) {
        auto db = jet::Database::open(testing_support::sample("no-password.mdb"), pw);
        EXPECT_TRUE(db->header().password.empty());
        EXPECT_EQ(db->tableNames(), std::vector<std::string>{"Table1"});
    }
}

TEST(Password, MaskRepeatsTheWholeDaysOfTheCreationDate) {
    // 0x00009C40 = 40000 days; the mask is its four little-endian bytes, repeated.
    auto mask = jet::passwordMask(core::DateTime{40000.75});
    for (std::size_t i = 0; i < mask.size(); i += 4) {
        EXPECT_EQ(mask[i], 0x40);
        EXPECT_EQ(mask[i + 1], 0x9C);
        EXPECT_EQ(mask[i + 2], 0x00);
        EXPECT_EQ(mask[i + 3], 0x00);
    }
}

TEST(Password, HeaderObscuringIsItsOwnInverse) {
    std::vector<std::uint8_t> page(jet::kPageSize);
    for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i * 7);
    auto original = page;
    jet::toggleHeaderObscuring(page);
    EXPECT_NE(page, original);
    EXPECT_TRUE(std::equal(page.begin(), page.begin() + 0x18, original.begin()));
    EXPECT_TRUE(std::equal(page.begin() + 0x98, page.end(), original.begin() + 0x98));
    jet::toggleHeaderObscuring(page);
    EXPECT_EQ(page, original);
}

} // namespace
