// Rows written into Access 97 (Jet 3) files: inserts, updates that grow and move rows, deletes
// and long memo and OLE values read back after reopening, indexes follow, the file stays a Jet 3
// file and passes the check; the SQL console's definition changes; what an Access 97 file
// cannot hold is refused and leaves the file as it was.
#include "WriteFixture.h"
#include "cli/Exec.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/compact/Compactor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

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

// The SQL console's definition changes (see access97DefinitionScript): the new tables keep
// Jet 3's 8-bit text sizes, their indexes and relationship; rows read back, through the view
// too; the dropped view is gone; the file stays Jet 3 and passes the check, which rebuilds
// every index from the rows.
TEST(Jet3Write, DefinitionChangesOfTheSqlConsole) {
    REQUIRE_SAMPLES();
    const auto path = jet3Copy("queryTestV1997", "jet3-ddl");
    {
        auto db = jet::Database::open(path, {}, jet::OpenMode::ReadWrite);
        std::ostringstream out;
        cli::execStatements(*db, access97DefinitionScript(), false, out);
    }
    auto db = jet::Database::open(path);
    EXPECT_EQ(readAll(*db, "People"), access97ScriptPeople());
    const auto people = db->table("People").schema();
    std::vector<std::string> columns;
    for (const auto& c : people.columns)
        columns.push_back(c.name + " " + std::to_string(int(c.type)) + " " +
                          std::to_string(c.size));
    EXPECT_EQ(columns, (std::vector<std::string>{"Id 4 4", "Name 10 40", "Born 8 8", "Score 7 8",
                                                 "Small 4 4", "Money 5 8", "Flag 1 1", "Notes 12 0",
                                                 "Pic 11 0", "Ref 15 16", "Raw 9 20", "Ratio 6 4",
                                                 "Extra 10 10"}));
    std::vector<std::string> indexes;
    for (const auto& x : people.indexes) indexes.push_back(x.name);
    // The third is the relationship's entry on the referenced side, under a name of Jet's own.
    EXPECT_THAT(indexes, testing::ElementsAre("PrimaryKey", "ByName", testing::_));
    const auto child = db->table("Child").schema();
    ASSERT_EQ(child.indexes.size(), 2u) << "the primary key and the foreign key";
    EXPECT_EQ(child.indexes[1].kind, jet::IndexKind::ForeignKey);
    EXPECT_EQ(readAll(*db, "Child"),
              (Rows{{Value(std::int32_t{1}), Value(std::int32_t{2}), Value("ü")}}));
    EXPECT_EQ(readAll(*db, "MSysRelationships").size(), 1u);
    const auto tables = db->tableNames();
    EXPECT_EQ(std::count(tables.begin(), tables.end(), "Table3"), 0);
    EXPECT_TRUE(db->hasQuery("Scores"));
    EXPECT_FALSE(db->hasQuery("Labels"));
    std::ostringstream selected;
    cli::execStatements(*db, {"select * from Scores"}, true, selected);
    // The header line, then the one row with a score above 1.
    const std::string rows = selected.str();
    EXPECT_THAT(rows, testing::EndsWith("\n[\"Zoë Ärger ’97\",1.5]\n"));
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 2);
    db.reset();
    expectStillJet3(path);
}

// What an Access 97 file cannot hold is refused with a message and changes nothing.
TEST(Jet3Write, WhatAccess97CannotHoldIsRefusedAndTheFileStaysAsItWas) {
    REQUIRE_SAMPLES();
    const auto path = jet3Copy("queryTestV1997", "jet3-refused");
    const auto before = fileBytes(path);
    const std::vector<std::pair<std::string, std::string>> refused{
        {"create table D (Amount decimal(10, 2))", "Decimal, a type Access 97"},
        {"alter table Table1 add column Amount numeric(5, 1)", "Decimal, a type Access 97"},
        {"create table [Snow \u2603] (A long)", "\u2603"},
        {"alter table Table1 add column [Snow \u2603] long", "\u2603"},
        // A compaction keeps the bytes that read as U+FFFD; typed in, it has no byte.
        {"insert into Table1 (col1) values ('a\uFFFD')", "'col1' cannot hold the character"},
    };
    for (const auto& [statement, message] : refused) {
        SCOPED_TRACE(statement);
        auto db = jet::Database::open(path, {}, jet::OpenMode::ReadWrite);
        std::ostringstream out;
        try {
            cli::execStatements(*db, {statement}, false, out);
            ADD_FAILURE() << "the statement ran";
        } catch (const core::Error& e) {
            EXPECT_THAT(e.what(), HasSubstr(message));
        }
    }
    EXPECT_EQ(fileBytes(path), before);
}

// Every text and memo value of the user tables as the file stores it, table by table in
// stored order.
std::map<std::string, std::vector<std::optional<core::Bytes>>>
storedTexts(const std::filesystem::path& path) {
    std::map<std::string, std::vector<std::optional<core::Bytes>>> out;
    auto db = jet::Database::open(path);
    for (const auto& name : db->tableNames()) {
        auto cursor = db->table(name).scan();
        auto& values = out[name];
        while (cursor.next())
            for (std::size_t i = 0; i < cursor.schema().columns.size(); ++i)
                values.push_back(cursor.storedText(i));
    }
    return out;
}

// Replaces every "[undef]" in a closed file by the five bytes Windows-1252 leaves undefined,
// as Access 97 may have stored them; returns how many it replaced.
int putUndefinedBytes(const std::filesystem::path& path) {
    auto bytes = fileBytes(path);
    const std::string marker = "[undef]", undefined = "[\x81\x8D\x8F\x90\x9D]";
    int count = 0;
    for (auto it = bytes.begin();
         (it = std::search(it, bytes.end(), marker.begin(), marker.end())) != bytes.end(); ++count)
        it = std::copy(undefined.begin(), undefined.end(), it);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return count;
}

// A compacted Access 97 file is an Access 97 file that dumps as its original did and passes
// the check: samples with long values over several pages, compound indexes, deleted columns,
// text bytes Windows-1252 leaves undefined (read as U+FFFD, in indexed columns too), and a file
// with new tables, a relationship and such bytes in text and in memos on long-value pages
// and in the row. The undefined bytes go across unchanged.
TEST(Jet3Write, CompactedCopiesStayAccess97) {
    REQUIRE_SAMPLES();
    const auto dir = testing_support::scratchDir("jet3-compact");
    const auto written = jet3Copy("queryTestV1997", "jet3-compact-ddl");
    {
        auto db = jet::Database::open(written, {}, jet::OpenMode::ReadWrite);
        std::ostringstream out;
        auto script = access97DefinitionScript();
        script.push_back("insert into People (Name, Notes, Extra) values ('long', '[undef]" +
                         std::string(3000, 'm') + "', 'a[undef]')");
        script.push_back("insert into People (Name, Notes) values ('short', 'b[undef]')");
        cli::execStatements(*db, script, false, out);
    }
    ASSERT_EQ(putUndefinedBytes(written), 3);
    std::vector<std::filesystem::path> sources{written};
    for (const char* sample :
         {"test2V1997", "compIndexTestV1997", "delColTestV1997", "testIndexCodesV1997"})
        sources.push_back(testing_support::jet3SampleFile(sample));
    for (const auto& source : sources) {
        SCOPED_TRACE(source.filename().string());
        const auto copy = dir / ("compacted-" + source.filename().string());
        jet::compactDatabase(source, copy, {}, {});
        EXPECT_EQ(dumpOf(*jet::Database::open(copy)), dumpOf(*jet::Database::open(source)));
        EXPECT_EQ(storedTexts(copy), storedTexts(source));
        expectStillJet3(copy);
    }
    const auto people = storedTexts(dir / "compacted-queryTestV1997.mdb").at("People");
    EXPECT_EQ(std::count(people.begin(), people.end(),
                         core::Bytes{'a', '[', 0x81, 0x8D, 0x8F, 0x90, 0x9D, ']'}),
              1);
}

} // namespace
