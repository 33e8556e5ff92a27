// Every row locator of a table in stored order, the list the data set keeps for a plain select:
// the rows a scan gives, in the scan's order, after deletes and after updates that move rows to
// other pages, whether the pages come from the file, the engine's cache or an open transaction.
#include "JetFileTest.h"
#include "sql/engine/storage/MemoryStorage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

constexpr std::size_t kLiveRows = 400 - 57; // IDs 0..399 less those with ID mod 7 = 3

struct Scan {
    std::vector<sql::RowLocator> locators;
    std::vector<std::int32_t> ids;
};

Scan scanned(const sql::Storage& storage) {
    Scan out;
    auto cursor = storage.scan("T");
    while (cursor->next()) {
        out.locators.push_back(cursor->locator());
        out.ids.push_back(*cursor->value(0).getIf<std::int32_t>());
    }
    return out;
}

// Several data pages of rows, some deleted and a quarter grown past their page's room.
void fill(sql::Session& session) {
    session.execute("create table T (ID long, S text(255))");
    session.execute("begin transaction");
    for (int i = 0; i < 400; ++i)
        session.execute("insert into T values (" + std::to_string(i) + ", 's" + std::to_string(i) +
                        "')");
    session.execute("delete from T where ID mod 7 = 3");
    session.execute("update T set S = S & '" + std::string(200, 'x') + "' where ID mod 4 = 1");
    session.execute("commit");
}

void expectScanOrder(const sql::Storage& storage, std::size_t rows) {
    const Scan scan = scanned(storage);
    EXPECT_EQ(storage.rowLocators("T"), scan.locators);
    EXPECT_EQ(scan.locators.size(), rows);
    // The same rows by pages: read one page at a time from the back, as a data set reads the
    // last rows first, or all at once; each row's page found again by its locator; the count
    // the definition keeps.
    if (auto pages = storage.storedPages("T")) {
        std::vector<sql::RowLocator> back, run, all;
        for (std::size_t at = pages->pageCount(); at-- > 0;) {
            run.clear();
            pages->rows(at, at + 1, run);
            for (const auto& l : run) EXPECT_EQ(pages->placeOf(l), at);
            back.insert(back.begin(), run.begin(), run.end());
        }
        EXPECT_EQ(back, scan.locators);
        pages->rows(0, pages->pageCount(), all);
        EXPECT_EQ(all, scan.locators);
        EXPECT_EQ(pages->rowCount(), rows);
    }
}

class RowLocators : public engine_test::JetFileTest {};

TEST_F(RowLocators, PageWalkListsTheScansRows) {
    fill(*session);
    // The grown rows moved: the scan lists them on the pages they moved to, out of ID order.
    const Scan scan = scanned(*storage);
    EXPECT_FALSE(std::is_sorted(scan.ids.begin(), scan.ids.end()));
    std::set<std::uint32_t> pages;
    for (const auto& l : scan.locators) pages.insert(l.page);
    EXPECT_GT(pages.size(), 3u);
    {
        SCOPED_TRACE("pages from the engine's cache");
        expectScanOrder(*storage, kLiveRows);
    }
    reopen();
    {
        SCOPED_TRACE("pages from the file");
        expectScanOrder(*storage, kLiveRows);
    }
    session->execute("begin transaction");
    session->execute("delete from T where ID mod 5 = 0");
    session->execute("update T set S = S & '" + std::string(50, 'y') + "' where ID mod 4 = 2");
    {
        SCOPED_TRACE("pages of an open transaction");
        expectScanOrder(*storage, kLiveRows - 68);
    }
    session->execute("rollback");
    expectScanOrder(*storage, kLiveRows);
}

TEST(RowLocatorsInMemory, ListTheScansRows) {
    sql::MemoryStorage storage;
    sql::Session session(storage);
    fill(session);
    expectScanOrder(storage, kLiveRows);
}

} // namespace
