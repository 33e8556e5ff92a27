// A catalog that lost its rows: its data page zeroed, or swapped with another table's page.
// Such a file once opened as an empty database ("ok: 0 tables"), and the first change made
// the loss permanent; it must be refused as damaged, for reading and for writing alike.
#include "DamagedFile.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "jet/check/IntegrityCheck.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using robustness::FileBytes;
using robustness::kPage;

constexpr std::uint8_t kDataPage = 0x01;
constexpr std::uint32_t kCatalogPage = 2;

bool isDataPageOf(const FileBytes& b, std::uint32_t page, std::uint32_t owner) {
    return b[page * kPage] == kDataPage && robustness::get32(b, page * kPage + 4) == owner;
}

std::uint32_t firstCatalogPage(const FileBytes& b) {
    for (std::uint32_t page = 3; page < b.size() / kPage; ++page)
        if (isDataPageOf(b, page, kCatalogPage)) return page;
    return 0;
}

// A data page of some other table.
std::uint32_t firstForeignDataPage(const FileBytes& b) {
    for (std::uint32_t page = 3; page < b.size() / kPage; ++page)
        if (b[page * kPage] == kDataPage && !isDataPageOf(b, page, kCatalogPage) &&
            robustness::get32(b, page * kPage + 4) > kCatalogPage)
            return page;
    return 0;
}

enum class Damage { Zeroed, Swapped };

struct Case {
    const char* name;
    const char* sample;
    Damage damage;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << c.name;
}

const Case kCases[] = {
    {"zeroed_in_an_access_file", "indexes.mdb", Damage::Zeroed},
    {"swapped_in_an_access_file", "indexes.mdb", Damage::Swapped},
};

class LostCatalog : public testing::TestWithParam<Case> {};

TEST_P(LostCatalog, IsRefusedForReadingAndWriting) {
    REQUIRE_SAMPLES();
    const Case& c = GetParam();
    auto dir = testing_support::scratchDir(std::string("lost-catalog-") + c.name);
    auto bytes = robustness::readFile(testing_support::sample(c.sample));
    // The undamaged copy opens and checks clean, so the refusal below is the damage's doing.
    auto path = dir / "damaged.mdb";
    robustness::writeFile(path, bytes);
    ASSERT_TRUE(jet::checkDatabase(*jet::Database::open(path)).ok());

    const std::uint32_t catalog = firstCatalogPage(bytes);
    ASSERT_NE(catalog, 0u);
    auto page = bytes.begin() + std::ptrdiff_t(catalog * kPage);
    if (c.damage == Damage::Zeroed) {
        std::fill(page, page + kPage, 0);
    } else {
        const std::uint32_t other = firstForeignDataPage(bytes);
        ASSERT_NE(other, 0u);
        std::swap_ranges(page, page + kPage, bytes.begin() + std::ptrdiff_t(other * kPage));
    }
    robustness::writeFile(path, bytes);
    for (auto mode : {jet::OpenMode::ReadOnly, jet::OpenMode::ReadWrite})
        EXPECT_THROW(jet::Database::open(path, {}, mode), core::FormatError);
}

INSTANTIATE_TEST_SUITE_P(Pages, LostCatalog, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
