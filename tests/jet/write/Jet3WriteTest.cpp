// Rows written into Access 97 (Jet 3) files: inserts, updates that grow and move rows, deletes
// and long memo and OLE values read back after reopening, indexes follow, the file stays a Jet 3
// file and passes the check; what this version cannot write yet is refused and leaves the file
// as it was.
#include "WriteFixture.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/compact/Compactor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace write_test;
using core::Value;
using testing::HasSubstr;

namespace {

using Rows = std::vector<std::vector<Value>>;

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Rows of text columns in an order of their own: a moved row is listed where it now lies.
Rows sorted(Rows rows) {
    auto key = [](const std::vector<Value>& row) {
        std::string k;
        for (const auto& v : row) {
            const auto* text = v.getIf<std::string>();
            k += text ? *text : std::string("\x01");
            k += '\x02';
        }
        return k;
    };
    std::sort(rows.begin(), rows.end(),
              [&](const auto& a, const auto& b) { return key(a) < key(b); });
    return rows;
}

std::filesystem::path jet3Copy(const std::string& sample, const std::string& test) {
    return testing_support::writableCopyOfSample("jet3/" + sample,
                                                 testing_support::scratchDir(test));
}

void expectStillJet3(const std::filesystem::path& path) {
    const auto bytes = fileBytes(path);
    ASSERT_GT(bytes.size(), 0x14u);
    EXPECT_EQ(bytes[0x14], 0x00) << "the version byte names Jet 3";
    EXPECT_EQ(bytes.size() % 2048, 0u);
    auto db = jet::Database::open(path);
    EXPECT_EQ(db->header().version, jet::JetVersion::Jet3);
    std::string problems;
    EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
}

// overflowTestV1997's Table1 has nine text columns and no index.
std::vector<Value> textRow(int i, std::size_t filled) {
    std::vector<Value> row(9);
    for (std::size_t c = 0; c < filled; ++c) {
        std::string text = "r" + std::to_string(i) + "c" + std::to_string(c) + " é ü € ’ ";
        text.resize(std::min<std::size_t>(50, text.size() + 40 * (c % 2)), 'x');
        row[c] = Value(text);
    }
    return row;
}

TEST(Jet3Write, RowsOfATableWithoutIndexesInsertUpdateAndDelete) {
    REQUIRE_SAMPLES();
    const auto path = jet3Copy("overflowTestV1997", "jet3-rows");
    Rows expected;
    {
        auto db = jet::Database::open(path, {}, jet::OpenMode::ReadWrite);
        ASSERT_TRUE(db->writable());
        expected = readAll(*db, "Table1");
        const auto ids = db->table("Table1").rowIds();
        db->begin();
        for (int i = 0; i < 60; ++i) {
            db->insertRow("Table1", textRow(i, 1 + i % 9));
            expected.push_back(textRow(i, 1 + i % 9));
        }
        // The first stored row grows to fill every column: its page is full by now, so it
        // moves and its address keeps a pointer to it.
        db->updateRow("Table1", ids[0], textRow(100, 9));
        expected[0] = textRow(100, 9);
        db->deleteRow("Table1", ids[3]);
        expected.erase(expected.begin() + 3);
        db->commit();
    }
    auto db = jet::Database::open(path);
    EXPECT_EQ(sorted(readAll(*db, "Table1")), sorted(expected));
    EXPECT_EQ(db->table("Table1").schema().rowCount, expected.size());
    db.reset();
    expectStillJet3(path);
}

// MSP_PROJECTS has indexes: an update stores long memo and OLE values (several 2 KiB pages
// each), another changes its key.
TEST(Jet3Write, LongValuesInAnIndexedRow) {
    REQUIRE_SAMPLES();
    const auto path = jet3Copy("test2V1997", "jet3-memo");
    const std::string memo = [] {
        std::string text;
        for (int k = 0; text.size() < 7000; ++k) text += "line " + std::to_string(k) + " é ü € ’\n";
        return text;
    }();
    std::vector<Value> expected;
    {
        auto db = jet::Database::open(path, {}, jet::OpenMode::ReadWrite);
        const auto table = db->table("MSP_PROJECTS");
        const auto id = table.rowIds().at(0);
        auto row = readAll(*db, "MSP_PROJECTS").at(0);
        const auto& columns = table.schema().columns;
        auto at = [&](const std::string& name) {
            for (std::size_t i = 0; i < columns.size(); ++i)
                if (columns[i].name == name) return i;
            throw std::runtime_error("no column " + name);
        };
        row[at("PROJ_PROP_AUTHOR")] = Value(memo);
        row[at("PROJ_PROP_TITLE")] = Value("Übersicht € ’");
        row[at("RESERVED_BINARY_DATA")] = Value(core::Bytes(5000, 0x5A));
        db->begin();
        db->updateRow("MSP_PROJECTS", id, row);
        db->commit();
        expected = row;

        // A key changes too: the check verifies the indexes.
        auto keyChanged = row;
        keyChanged[at("PROJ_ID")] = Value(std::int32_t{99});
        db->begin();
        db->updateRow("MSP_PROJECTS", id, keyChanged);
        db->commit();
        expected = keyChanged;
    }
    auto db = jet::Database::open(path);
    EXPECT_EQ(readAll(*db, "MSP_PROJECTS"), Rows{expected});
    db.reset();
    expectStillJet3(path);
}

// The indexes of Access 97 tables follow inserts, key updates and deletes: text in its General
// order (accents, case, digits, blanks, hyphens), numbers, descending and compound keys, many
// rows so that leaves split. The check then rebuilds every key from the rows.
TEST(Jet3Write, IndexedTablesKeepTheirIndexes) {
    REQUIRE_SAMPLES();
    const auto path = jet3Copy("testIndexCodesV1997", "jet3-indexed");
    const std::vector<std::string> texts{"Zeta",  "zeta",  "Äpfel", "apfel", "Straße",
                                         "co-op", "co op", "10",    "9",     "",
                                         "é",     "€ 5",   "naïve", "OMEGA"};
    {
        auto db = jet::Database::open(path, {}, jet::OpenMode::ReadWrite);
        for (const char* name :
             {"Table1", "Table1_desc", "Table2_desc", "Table4", "Table12_asc_desc", "Table14"}) {
            SCOPED_TRACE(name);
            const auto columns = db->table(name).schema().columns;
            // Every value differs from row to row, for the unique indexes.
            auto rowFor = [&](int i) {
                std::vector<Value> row;
                for (std::size_t c = 0; c < columns.size(); ++c) {
                    const int n = i * 7 + int(c) * 3;
                    switch (columns[c].type) {
                    case jet::ColumnType::Long:
                        row.emplace_back(std::int32_t(i * 31 % 4001 - 2000));
                        break;
                    case jet::ColumnType::Double:
                        row.emplace_back(i * -0.25 + 30);
                        break;
                    default:
                        row.emplace_back(texts[std::size_t(n) % texts.size()] + " " +
                                         std::to_string(i));
                    }
                }
                return row;
            };
            db->begin();
            std::vector<jet::RowId> added;
            for (int i = 0; i < 400; ++i) added.push_back(db->insertRow(name, rowFor(i)));
            for (std::size_t i = 0; i < added.size(); i += 3)
                db->updateRow(name, added[i], rowFor(int(i) + 1000));
            for (std::size_t i = 1; i < added.size(); i += 4) db->deleteRow(name, added[i]);
            db->commit();
        }
    }
    expectStillJet3(path);
}

TEST(Jet3Write, TablesAndCompactionAreRefusedAndTheFileStaysAsItWas) {
    REQUIRE_SAMPLES();
    const auto path = jet3Copy("queryTestV1997", "jet3-ddl");
    const auto before = fileBytes(path);
    {
        auto db = jet::Database::open(path, {}, jet::OpenMode::ReadWrite);
        const std::vector<std::pair<const char*, std::function<void()>>> changes{
            {"create table", [&] { db->createTable(everyTypeTable("New")); }},
            {"drop table", [&] { db->dropTable("Table1"); }},
            {"drop column", [&] { db->dropColumn("Table1", "col2"); }},
        };
        for (const auto& [what, change] : changes) {
            SCOPED_TRACE(what);
            db->begin();
            try {
                change();
                ADD_FAILURE() << "a table changed";
            } catch (const core::UnsupportedFormat& e) {
                EXPECT_THAT(e.what(), HasSubstr("Access 97 (Jet 3) databases cannot have their "
                                                "tables"));
            }
            db->rollback();
        }
    }
    try {
        jet::compactDatabase(path, path.parent_path() / "copy.mdb", {}, {});
        ADD_FAILURE() << "a Jet 3 file was compacted";
    } catch (const core::UnsupportedFormat& e) {
        EXPECT_THAT(e.what(), HasSubstr("cannot be compacted"));
    }
    EXPECT_FALSE(std::filesystem::exists(path.parent_path() / "copy.mdb"));
    EXPECT_EQ(fileBytes(path), before);
}

} // namespace
