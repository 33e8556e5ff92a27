// Index seeks and index order on Access 97 (Jet 3) samples: a query the planner answers
// through an index gives exactly the rows the same criteria give on a scan. Text keys there
// follow Access 97's sort order, so text indexes serve equality but leave ranges and ORDER
// BY to the engine; numeric indexes serve both.
#include "common/Samples.h"
#include "jet/Database.h"
#include "sql/diff/CountingStorage.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class Jet3Sample {
public:
    explicit Jet3Sample(const std::string& name)
        : database_(jet::Database::open(testing_support::jet3SampleFile(name))),
          storage_(*database_), counting(storage_), session_(counting) {}

    std::vector<std::string> rows(const std::string& sql) {
        std::vector<std::string> out;
        auto result = session_.execute(sql);
        for (const auto& row : sql::resultRows(result)) {
            std::string line;
            for (const auto& v : row) line += v + "|";
            out.push_back(line);
        }
        return out;
    }

private:
    std::unique_ptr<jet::Database> database_;
    sql::JetStorage storage_;

public:
    testing_support::CountingStorage counting;

private:
    sql::Session session_;
};

std::multiset<std::string> asSet(const std::vector<std::string>& rows) {
    return {rows.begin(), rows.end()};
}

TEST(Jet3Seek, IndexedCriteriaGiveTheRowsOfAScan) {
    REQUIRE_SAMPLES();
    struct Case {
        const char* table;
        const char* indexed; // criteria an index of the table answers
        const char* scanned; // the same criteria in a form no index answers
        bool seeks;          // whether the index is used
        std::size_t rows;    // rows the criteria select
    };
    const Case cases[] = {
        {"Table11", "data = 'a'", "data & '' = 'a'", true, 2},
        {"Table11", "data = 'A'", "data & '' = 'A'", true, 2},
        {"Table11", "id = 3", "id + 0 = 3", true, 1},
        {"Table11", "id between 5 and 20", "id + 0 between 5 and 20", true, 16},
        {"Table1", "name = 'row45'", "name & '' = 'row45'", true, 1},
        {"Table1", "data = 'AA-AA'", "data & '' = 'AA-AA'", true, 2},
        {"Table1", "data = 'aa\u00C1aa'", "data & '' = 'aa\u00C1aa'", true, 2},
        {"Table1", "data = 'nothing'", "data & '' = 'nothing'", true, 0},
        {"Table2", "data = 3245", "data + 0 = 3245", true, 1},
        {"Table2", "data < 0", "data + 0 < 0", true, 4},
        {"Table4", "data = 43.32", "data + 0 = 43.32", true, 1},
        // Ranges over Access 97 text keys are left to a scan.
        {"Table1", "data > 'AA-AA'", "data & '' > 'AA-AA'", false, 0},
        {"Table11", "data between 'b' and 'q'", "data & '' between 'b' and 'q'", false, 0},
    };
    Jet3Sample sample("testIndexCodesV1997");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " where " + c.indexed);
        const std::string select = std::string("select * from ") + c.table + " where ";
        const auto reference = sample.rows(select + c.scanned);
        sample.counting.counts = {};
        const auto indexed = sample.rows(select + c.indexed);
        EXPECT_EQ(asSet(indexed), asSet(reference));
        EXPECT_EQ(sample.counting.counts.seeks, c.seeks ? 1u : 0u);
        if (c.seeks) {
            EXPECT_EQ(indexed.size(), c.rows);
        }
    }
}

// ORDER BY over an indexed column comes out as the engine sorts, whether the index order
// is walked (numbers) or the engine sorts (Access 97 text).
TEST(Jet3Seek, OrderByIndexedColumnsSortsAsTheEngine) {
    REQUIRE_SAMPLES();
    Jet3Sample sample("testIndexCodesV1997");
    for (const char* table : {"Table1", "Table11", "Table2", "Table4"}) {
        SCOPED_TRACE(table);
        const std::string from = std::string(" from ") + table;
        for (const char* direction : {"", " desc"}) {
            const auto indexed = sample.rows("select data" + from + " order by data" + direction);
            const auto sorted =
                sample.rows("select data" + from + " order by data & ''" + direction);
            if (std::string(table) == "Table1" || std::string(table) == "Table11")
                EXPECT_EQ(indexed, sorted);
            else
                EXPECT_EQ(indexed,
                          sample.rows("select data" + from + " order by data + 0" + direction));
        }
    }
}

} // namespace
