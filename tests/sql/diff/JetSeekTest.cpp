// Index seeks on a Jet file: every query that seeks must give exactly the rows the same
// query gives on an unindexed copy of the table, and the seek must really be used (fewer
// rows read than a scan would read).
#include "common/Samples.h"
#include "jet/Database.h"
#include "jet/keys/TextKey.h"
#include "sql/diff/CountingStorage.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

constexpr int kRows = 400;

// Upper and lower case, shared prefixes, texts that are prefixes of one another and texts
// that differ only in trailing blanks (which index keys leave out), so the key bounds meet
// keys that start alike and keys that several texts share.
std::string textFor(int k) {
    static const char* const words[] = {"abc", "ABC", "ab",   "abd", "Abc", "b",
                                        "ba",  "bab", "c",    "zz",  "a",   "mno",
                                        "MNO", "m",   "abcd", "ab ", "b  ", "zz "};
    if (k % 13 == 0) return {};
    const std::string word = words[k % 18];
    return k % 4 == 0 && word.back() != ' ' ? word + std::to_string(k % 5) : word;
}

class JetSeek : public ::testing::Test {
protected:
    void SetUp() override {
        path = testing_support::scratchDir(
                   std::string("sql-seek-") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name()) /
               "t.mdb";
        database = jet::Database::create(path);
        storage = std::make_unique<sql::JetStorage>(*database);
        counting = std::make_unique<testing_support::CountingStorage>(*storage);
        session = std::make_unique<sql::Session>(*counting);
        for (const char* table : {"T", "U"})
            run(std::string("create table ") + table +
                (table[0] == 'T' ? " (K long primary key, S text(20), N long)"
                                 : " (K long, S text(20), N long)"));
        run("create index ByS on T (S)");
        run("create index ByNK on T (N, K)");
        run("begin transaction");
        // Keys inserted out of order so that index order and page order differ.
        for (int i = 0; i < kRows; ++i) {
            const int k = (i * 7919) % kRows - 100;
            const std::string s = textFor(i);
            const std::string n = i % 11 == 0 ? "null" : std::to_string(i % 9 - 3);
            const std::string values = " values (" + std::to_string(k) + ", " +
                                       (s.empty() ? "null" : "'" + s + "'") + ", " + n + ")";
            run("insert into T" + values);
            run("insert into U" + values);
        }
        // Rows that grow move to other pages, leaving their home slot in the index.
        for (const char* table : {"T", "U"})
            run(std::string("update ") + table +
                " set S = S & 'xxxxxxxxxxxxx' where K mod 17 = 0 and S is not null");
        run("commit transaction");
    }

    void run(const std::string& sql) { session->execute(sql); }

    std::multiset<std::string> rows(const std::string& sql) {
        auto result = session->execute(sql);
        std::multiset<std::string> out;
        for (const auto& row : sql::resultRows(result)) {
            std::string line;
            for (const auto& v : row) line += v + "|";
            out.insert(line);
        }
        return out;
    }

    // Runs the query on T (indexed) and on U (not), expecting the same rows and, on T, a
    // seek that read fewer rows than the table holds.
    void expectSeekMatches(const std::string& where) {
        SCOPED_TRACE(where);
        const auto reference = rows("select K, S, N from U where " + where);
        counting->counts = {};
        const auto sought = rows("select K, S, N from T where " + where);
        EXPECT_EQ(sought, reference);
        EXPECT_EQ(counting->counts.scans, 0u);
        EXPECT_EQ(counting->counts.seeks, 1u);
        EXPECT_LT(counting->counts.rowsRead, std::size_t(kRows));
        EXPECT_GE(counting->counts.rowsRead, reference.size());
    }

    std::filesystem::path path;
    std::unique_ptr<jet::Database> database;
    std::unique_ptr<sql::JetStorage> storage;
    std::unique_ptr<testing_support::CountingStorage> counting;
    std::unique_ptr<sql::Session> session;
};

// An unindexed filter decodes only the columns its criteria read until a row passes: the
// other columns of a rejected row are never asked of the file.
TEST_F(JetSeek, ScanDecodesOtherColumnsOnlyOfRowsThatPass) {
    counting->counts = {};
    const auto passing = rows("select K, S, N from U where N = 2");
    EXPECT_EQ(passing.size(), rows("select K, S, N from T where N = 2").size());
    counting->counts = {};
    rows("select K, S, N from U where N = 2");
    EXPECT_EQ(counting->counts.rowsRead, std::size_t(kRows));
    EXPECT_EQ(counting->counts.valuesRead, std::size_t(kRows) + 2 * passing.size());
    ASSERT_FALSE(passing.empty());
}

TEST_F(JetSeek, PrimaryKeyEqualityAndRanges) {
    for (const char* where :
         {"K = 5", "K = -100", "K = 299", "K = 300", "K = -101", "K between 10 and 20",
          "K between -5 and 5", "K between 20 and 10", "K > 290", "K >= 290", "K < -90", "K <= -90",
          "K > 10 and K < 12", "K >= 10 and K <= 10", "K > 10 and K <= 11", "K > 1000", "K < -1000",
          "5 < K and K < 9", "K between 0 and 0"})
        expectSeekMatches(where);
}

TEST_F(JetSeek, TextEqualityIgnoresCaseAndRangesFollowSortOrder) {
    for (const char* where :
         {"S = 'abc'", "S = 'ABC'", "S = 'aBc'", "S = 'ab'", "S = 'abcd'", "S = 'nothing'",
          "S = 'abc0xxxxxxxxxxxxx'", "S > 'b'", "S >= 'b'", "S < 'ab'", "S <= 'ab'",
          "S between 'ab' and 'abd'", "S between 'AB' and 'ABD'", "S > 'ab' and S < 'abd'",
          "S >= 'M' and S < 'n'", "S < 'a'", "S > 'zz'", "S >= 'zz'"})
        expectSeekMatches(where);
}

// Texts that differ only in trailing blanks share an index key, so no bound on text may
// exclude its own key: the criteria then tell those texts apart.
TEST_F(JetSeek, TrailingBlanksShareKeysButNotMatches) {
    for (const char* where :
         {"S = 'ab'", "S = 'ab '", "S = 'ab  '", "S = 'b'", "S = 'b  '", "S = 'zz '", "S > 'ab'",
          "S >= 'ab '", "S > 'ab '", "S < 'ab '", "S <= 'ab'", "S < 'b  '", "S > 'b '",
          "S between 'ab ' and 'b '", "S > 'zz'", "S >= 'zz '"})
        expectSeekMatches(where);
}

TEST_F(JetSeek, LeadingColumnOfACompoundIndex) {
    for (const char* where :
         {"N = 0", "N = -3", "N = 5", "N = 6", "N = 2 and K > 100", "N = 2 and K >= 101",
          "N = 1 and K between -50 and 50", "N = 1 and K < 0", "N = 4 and K <= -20",
          "N = 3 and K = 12", "N > 3", "N < -2", "N between -1 and 1"})
        expectSeekMatches(where);
}

// Ranges asked of the storage directly, over one or both columns of (N, K) with every mix
// of open, inclusive and exclusive ends: the rows must include every row in the range and
// may add only rows whose key holds a Null (an open low end starts at the Nulls).
TEST_F(JetSeek, DirectRangesNeverMissARow) {
    struct Row {
        std::optional<int> n;
        int k;
    };
    // Rows by their primary key: a scan reports a moved row where its bytes are, a seek by
    // the home slot the index holds, so locators do not match between the two.
    std::map<int, Row> all;
    auto cursor = storage->scan("T");
    while (cursor->next()) {
        auto n = cursor->value(2);
        all[cursor->value(0).get<std::int32_t>()] = {
            n.isNull() ? std::nullopt : std::optional<int>(n.get<std::int32_t>()),
            cursor->value(0).get<std::int32_t>()};
    }
    ASSERT_EQ(all.size(), std::size_t(kRows));

    auto compare = [](const Row& r, const std::vector<core::Value>& bound) {
        std::vector<int> key{*r.n, r.k};
        for (std::size_t i = 0; i < bound.size(); ++i) {
            const int b = bound[i].get<std::int32_t>();
            if (key[i] != b) return key[i] < b ? -1 : 1;
        }
        return 0;
    };
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        auto makeBound = [&](std::size_t columns) {
            sql::KeyBound b;
            b.inclusive = random() % 2 == 0;
            b.values.push_back(core::Value(std::int32_t(int(random() % 11) - 4)));
            if (columns == 2)
                b.values.push_back(core::Value(std::int32_t(int(random() % 420) - 110)));
            return b;
        };
        sql::KeyRange range;
        const std::size_t columns = 1 + random() % 2;
        if (random() % 4 != 0) range.low = makeBound(columns);
        if (random() % 4 != 0) range.high = makeBound(columns);
        if (!range.low && !range.high) continue;
        std::set<int> expected;
        for (const auto& [k, row] : all) {
            if (!row.n) continue;
            if (range.low) {
                int c = compare(row, range.low->values);
                if (c < 0 || (c == 0 && !range.low->inclusive)) continue;
            }
            if (range.high) {
                int c = compare(row, range.high->values);
                if (c > 0 || (c == 0 && !range.high->inclusive)) continue;
            }
            expected.insert(k);
        }
        auto sought = storage->seekIndex("T", "bynk", range);
        ASSERT_TRUE(sought) << "round " << round;
        std::set<int> got;
        while (sought->next()) {
            const int k = sought->value(0).get<std::int32_t>();
            ASSERT_TRUE(all.count(k));
            // The locator reads back the same row.
            auto again = storage->readRow("T", sought->locator());
            ASSERT_TRUE(again);
            EXPECT_EQ((*again)[0], sought->value(0));
            EXPECT_TRUE(got.insert(k).second) << "row " << k << " twice";
        }
        for (int k : expected) EXPECT_TRUE(got.count(k)) << "round " << round << " missed " << k;
        for (int k : got)
            if (!expected.count(k)) {
                EXPECT_TRUE(!range.low && !all.at(k).n) << "round " << round << " extra " << k;
            }
    }
}

TEST_F(JetSeek, DescendingAndUnknownIndexesLeaveTheWorkToAScan) {
    run("create index ByNDown on T (N desc)");
    sql::KeyRange range;
    range.low = sql::KeyBound{{core::Value(std::int32_t(1))}, true};
    range.high = range.low;
    EXPECT_EQ(storage->seekIndex("T", "ByNDown", range), nullptr);
    EXPECT_EQ(storage->seekIndex("T", "NoSuchIndex", range), nullptr);
    EXPECT_NE(storage->seekIndex("T", "BYNK", range), nullptr);
    // The engine still answers through the scan.
    const auto reference = rows("select K from U where N = 1");
    EXPECT_EQ(rows("select K from T where N = 1"), reference);
}

TEST_F(JetSeek, UniqueKeysAreStillEnforcedAndRowsFoundAfterDeletes) {
    EXPECT_ANY_THROW(run("insert into T (K) values (5)"));
    run("delete from T where K between 0 and 50");
    run("delete from U where K between 0 and 50");
    expectSeekMatches("K between -10 and 60");
    expectSeekMatches("S = 'abc'");
    run("insert into T (K, S) values (5, 'ABC')");
    run("insert into U (K, S) values (5, 'ABC')");
    expectSeekMatches("S = 'abc'");
    expectSeekMatches("K = 5");
}

} // namespace
