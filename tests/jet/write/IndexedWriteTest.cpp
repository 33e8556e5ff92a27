// Tables with a primary key, a unique text index and a compound index stay exact under a
// long run of random inserts, updates and deletes; refused changes leave them untouched.
#include "WriteFixture.h"
#include "common/Samples.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace write_test;

namespace {

jet::TableSchema indexedTable() {
    jet::TableSchema t;
    t.name = "Indexed";
    t.columns = {column("K", jet::ColumnType::Long, 4), column("Code", jet::ColumnType::Text, 40),
                 column("Group", jet::ColumnType::Text, 20),
                 column("Rank", jet::ColumnType::Long, 4), column("Note", jet::ColumnType::Memo)};
    auto index = [&](const char* name, jet::IndexKind kind, std::uint8_t flags,
                     std::vector<jet::IndexColumn> columns) {
        jet::IndexData data;
        data.columns = std::move(columns);
        data.flags = flags;
        jet::IndexDef def;
        def.name = name;
        def.kind = kind;
        def.number = static_cast<std::uint32_t>(t.indexes.size());
        def.dataIndex = static_cast<std::uint32_t>(t.indexData.size());
        t.indexData.push_back(data);
        t.indexes.push_back(def);
    };
    index("PrimaryKey", jet::IndexKind::Primary, 0x89, {{0, true}});
    index("ByCode", jet::IndexKind::Normal, 0x81, {{1, true}});
    index("ByGroupRank", jet::IndexKind::Normal, 0x80, {{2, true}, {3, false}});
    return t;
}

std::vector<core::Value> rowFor(int key, int code, std::mt19937& random) {
    return {core::Value(std::int32_t{key}), core::Value("Code-" + std::to_string(code)),
            random() % 5 ? core::Value("g" + std::to_string(random() % 50)) : core::Value(),
            core::Value(static_cast<std::int32_t>(random() % 1000) - 500),
            random() % 9 ? core::Value() : core::Value(std::string(random() % 2000, 'n'))};
}

TEST(IndexedWrite, HundredThousandRandomChangesKeepEveryIndexExact) {
    auto path = testing_support::scratchDir("indexed-random") / "t.mdb";
    auto db = jet::Database::create(path);
    db->begin();
    db->createTable(indexedTable());
    db->commit();
    std::mt19937 random(20261209);
    std::map<int, std::pair<jet::RowId, int>> live; // key -> row, code
    std::set<int> codes;
    int nextKey = 0, nextCode = 0;
    const int batches = 5, perBatch = 20000;
    for (int batch = 0; batch < batches; ++batch) {
        db->begin();
        for (int step = 0; step < perBatch; ++step) {
            int action = static_cast<int>(random() % 10);
            if (action < 5 || live.size() < 10) {
                int key = nextKey++, code = nextCode++;
                live[key] = {db->insertRow("Indexed", rowFor(key, code, random)), code};
                codes.insert(code);
                continue;
            }
            auto it = live.lower_bound(static_cast<int>(random() % nextKey));
            if (it == live.end()) it = live.begin();
            if (action < 8) {
                int code = nextCode++;
                db->updateRow("Indexed", it->second.first, rowFor(it->first, code, random));
                codes.erase(it->second.second);
                codes.insert(code);
                it->second.second = code;
            } else {
                db->deleteRow("Indexed", it->second.first);
                codes.erase(it->second.second);
                live.erase(it);
            }
        }
        db->commit();
        std::string problems;
        ASSERT_TRUE(checkPasses(*db, &problems)) << "after batch " << batch << "\n"
                                                 << problems.substr(0, 2000);
    }
    EXPECT_EQ(readAll(*db, "Indexed").size(), live.size());
    EXPECT_EQ(db->table("Indexed").schema().rowCount, live.size());
}

TEST(IndexedWrite, RefusedChangesLeaveTableAndIndexesAsTheyWere) {
    auto path = testing_support::scratchDir("indexed-refusals") / "t.mdb";
    auto db = jet::Database::create(path);
    std::mt19937 random(5);
    db->begin();
    db->createTable(indexedTable());
    std::vector<jet::RowId> ids;
    for (int i = 0; i < 500; ++i) ids.push_back(db->insertRow("Indexed", rowFor(i, i, random)));
    db->commit();
    auto before = dumpOf(*db);
    db->begin();
    db->beginStatement();
    EXPECT_THROW(db->insertRow("Indexed", rowFor(7, 9999, random)), core::ConstraintError); // key
    db->endStatement(false);
    db->beginStatement();
    EXPECT_THROW(db->insertRow("Indexed", rowFor(9999, 7, random)), core::ConstraintError); // code
    db->endStatement(false);
    db->beginStatement();
    EXPECT_THROW(db->updateRow("Indexed", ids[3], rowFor(3, 4, random)), core::ConstraintError);
    db->endStatement(false);
    db->beginStatement();
    auto noKey = rowFor(0, 12345, random);
    noKey[0] = core::Value();
    EXPECT_THROW(db->insertRow("Indexed", noKey), core::ConstraintError);
    db->endStatement(false);
    db->commit();
    EXPECT_EQ(dumpOf(*db), before);
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

TEST(IndexedWrite, IndexCreatedOnATableWithRowsIsBuiltAndCheckedForDuplicates) {
    auto path = testing_support::scratchDir("indexed-create") / "t.mdb";
    auto db = jet::Database::create(path);
    std::mt19937 random(9);
    db->begin();
    jet::TableSchema plain = indexedTable();
    plain.indexData.clear();
    plain.indexes.clear();
    db->createTable(plain);
    for (int i = 0; i < 2000; ++i) db->insertRow("Indexed", rowFor(i, i % 1500, random));
    jet::IndexData byRank;
    byRank.columns = {{3, true}};
    byRank.flags = 0x80;
    jet::IndexDef rankDef;
    rankDef.name = "ByRank";
    db->createIndex("Indexed", byRank, rankDef);
    jet::IndexData byCode;
    byCode.columns = {{1, true}};
    byCode.flags = 0x81;
    jet::IndexDef codeDef;
    codeDef.name = "ByCode";
    EXPECT_THROW(db->createIndex("Indexed", byCode, codeDef), core::ConstraintError);
    db->commit();
    const auto& schema = db->table("Indexed").schema();
    ASSERT_EQ(schema.indexes.size(), 1u);
    EXPECT_EQ(schema.indexes[0].name, "ByRank");
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
    db->begin();
    db->dropIndex("Indexed", "ByRank");
    db->commit();
    EXPECT_TRUE(db->table("Indexed").schema().indexes.empty());
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

} // namespace
