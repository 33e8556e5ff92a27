// Files Tablory writes open in independent readers with every value intact: mdbtools
// (mdb-ver, mdb-schema, mdb-json) and mdb-reader (npm). Each reader's view is compared
// value for value with the engine's own reading.
#include "WriteFixture.h"
#include "cli/Exec.h"
#include "cli/Json.h"
#include "common/JsonValue.h"
#include "common/Samples.h"
#include "core/Conversions.h"
#include "jet/compact/Compactor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <sys/wait.h>

using namespace write_test;
using testing_support::Json;

namespace {

struct Output {
    int status = -1;
    std::string text;
};

Output run(const std::string& command) {
    Output out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return out;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.text.append(buffer, n);
    int raw = ::pclose(pipe);
    out.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        if (end > start) out.push_back(text.substr(start, end - start));
    return out;
}

std::string quote(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

std::filesystem::path interopFolder() {
    return std::filesystem::path(TABLORY_SOURCE_DIR) / "tests/interop";
}

bool haveMdbReader() {
    return std::filesystem::exists(interopFolder() / "node_modules/mdb-reader") &&
           run("node --version").status == 0;
}
bool haveMdbTools() {
    return run("mdb-ver --help").status != 127 && run("which mdb-json").status == 0;
}

// The file every interop test reads: all column types with nulls, empty strings, long memos
// and OLE values; a table of 100,000 rows; deleted rows and rows grown by updates.
const std::filesystem::path& writtenFile() {
    static const std::filesystem::path path = [] {
        // Each test runs in a process of its own, perhaps beside the others: a folder each.
        auto dir = testing_support::scratchDir(
            std::string("interop-") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        auto file = dir / "written.mdb";
        auto db = jet::Database::create(file, "interop pw");
        db->begin();
        db->createTable(everyTypeTable("Every Type"));
        std::vector<jet::RowId> ids;
        for (int i = 0; i < 600; ++i) {
            auto row = everyTypeRow(i);
            // Readers differ on dates before 1899-12-30 with a time of day (Jet counts the
            // day back and the time forward; mdb-reader subtracts both), so the interop file
            // keeps such dates to whole days.
            row[2] = core::Value(core::DateTime{i % 10 == 0 ? -365.0 * i : 30000.25 + i * 1.5});
            if (i % 13 == 0) row[1] = core::Value(std::string());
            if (i % 50 == 1) row[4] = core::Value(std::string(70000 + i, 'L'));
            ids.push_back(db->insertRow("Every Type", row));
        }
        for (int i = 0; i < 600; i += 9) db->deleteRow("Every Type", ids[i]);
        for (int i = 2; i < 600; i += 9) {
            auto row = everyTypeRow(i);
            row[2] = core::Value(core::DateTime{40000.5 + i});
            row[0] = core::Value(static_cast<std::int32_t>(i + 1));
            row[1] = core::Value(std::string(50, 'G'));
            row[4] = core::Value(std::string(3000, 'g'));
            db->updateRow("Every Type", ids[i], row);
        }
        jet::TableSchema big;
        big.name = "Big";
        big.columns = {
            column("N", jet::ColumnType::Long, 4), column("Label", jet::ColumnType::Text, 60),
            column("X", jet::ColumnType::Double), column("When", jet::ColumnType::DateTime),
            column("Cost", jet::ColumnType::Currency)};
        // Indexed as users' tables are: a primary key and a second index, kept on every insert.
        jet::IndexData key, byLabel;
        key.columns = {{0, true}};
        key.flags = 0x89;
        byLabel.columns = {{1, true}};
        byLabel.flags = 0x80;
        jet::IndexDef keyDef, labelDef;
        keyDef.name = "PrimaryKey";
        keyDef.kind = jet::IndexKind::Primary;
        labelDef.name = "ByLabel";
        labelDef.number = 1;
        labelDef.dataIndex = 1;
        big.indexData = {key, byLabel};
        big.indexes = {keyDef, labelDef};
        db->createTable(big);
        for (int i = 0; i < 100000; ++i)
            db->insertRow("Big",
                          {core::Value(std::int32_t{i}), core::Value("row " + std::to_string(i)),
                           core::Value(i * 0.25), core::Value(core::DateTime{36526.0 + i / 96.0}),
                           core::Value(core::Currency{i * 101LL})});
        db->commit();
        return file;
    }();
    return path;
}

// Our own reading of a table, in the canonical dump form.
std::vector<Json> ourRows(const std::filesystem::path& file, const std::string& password,
                          const std::string& table) {
    auto db = jet::Database::open(file, password);
    std::vector<Json> rows;
    for (const auto& values : readAll(*db, table)) {
        std::string line = "[";
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i) line += ',';
            cli::appendJsonValue(line, values[i]);
        }
        rows.push_back(testing_support::parseJson(line + "]"));
    }
    return rows;
}

std::vector<Json> ourRows(const std::string& table) {
    return ourRows(writtenFile(), "interop pw", table);
}

// mdb-reader's reading of a file: each table's rows in the canonical dump form.
std::map<std::string, std::vector<Json>> mdbReaderTables(const std::vector<std::string>& got) {
    std::map<std::string, std::vector<Json>> tables;
    std::string current;
    for (std::size_t i = 1; i < got.size(); ++i) {
        Json j = testing_support::parseJson(got[i]);
        if (auto object = std::get_if<std::shared_ptr<testing_support::JsonObject>>(&j.v)) {
            current = std::get<std::string>((**object)["table"].v);
            tables[current];
        } else {
            tables[current].push_back(j);
        }
    }
    return tables;
}

TEST(Interop, MdbReaderReadsEveryValueAndThePassword) {
    if (!haveMdbReader()) GTEST_SKIP() << "mdb-reader is not installed (scripts/test installs it)";
    auto out = run("node " + quote(interopFolder() / "read-with-mdb-reader.mjs") + " " +
                   quote(writtenFile()) + " 'interop pw'");
    ASSERT_EQ(out.status, 0) << out.text.substr(0, 2000);
    auto got = lines(out.text);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got[0], "{\"password\":\"interop pw\"}");
    auto tables = mdbReaderTables(got);
    ASSERT_EQ(tables.size(), 2u);
    for (const char* name : {"Every Type", "Big"}) {
        auto ours = ourRows(name);
        const auto& theirs = tables[name];
        ASSERT_EQ(theirs.size(), ours.size()) << name;
        for (std::size_t r = 0; r < ours.size(); ++r)
            ASSERT_TRUE(theirs[r] == ours[r]) << name << " row " << r << "\n  " << got[0];
    }
}

TEST(Interop, MdbToolsSeeAJet4FileWithTheTablesAndColumns) {
    if (!haveMdbTools()) GTEST_SKIP() << "mdbtools is not installed (scripts/test installs it)";
    EXPECT_EQ(run("mdb-ver " + quote(writtenFile())).text, "JET4\n");
    auto tables = run("mdb-tables -1 " + quote(writtenFile()));
    EXPECT_EQ(tables.text, "Every Type\nBig\n");
    auto schema = run("mdb-schema " + quote(writtenFile())).text;
    for (const char* piece :
         {"[Name]\t\t\tText (50)", "[Salary]\t\t\tCurrency", "[Notes]\t\t\tMemo",
          "[Born]\t\t\tDateTime", "[Key]\t\t\tReplication ID", "[Amount]\t\t\tNumeric (18, 4)",
          "[Blob]\t\t\tOLE", "[Label]\t\t\tText (30)"})
        EXPECT_NE(schema.find(piece), std::string::npos) << piece << "\n" << schema;
}

// mdb-json's forms: numbers as numbers, yes/no as 0/1, dates in the format asked for; a
// null value leaves the key out.
bool sameAsMdbJson(const core::Value& ours, const Json* theirs) {
    // Binary, GUID and numeric values are compared through mdb-reader: mdb-json prints
    // binary as text (cut at a zero byte) and numerics through a double.
    using core::DataType;
    if (ours.type() == DataType::Binary || ours.type() == DataType::Guid ||
        ours.type() == DataType::Decimal)
        return true;
    if (ours.isNull()) return theirs == nullptr;
    // mdb-json leaves out empty texts as it leaves out nulls.
    if (ours.getIf<std::string>() && ours.get<std::string>().empty()) return theirs == nullptr;
    if (!theirs) return false;
    switch (ours.type()) {
    case DataType::Boolean:
        return *theirs == Json{double(ours.get<bool>() ? 1 : 0)};
    case DataType::Byte:
        return *theirs == Json{double(ours.get<std::uint8_t>())};
    case DataType::Integer:
        return *theirs == Json{double(ours.get<std::int16_t>())};
    case DataType::Long:
        return *theirs == Json{double(ours.get<std::int32_t>())};
    case DataType::Currency: {
        auto d = std::get_if<double>(&theirs->v);
        return d && std::fabs(*d - ours.get<core::Currency>().units / 10000.0) < 1e-9;
    }
    case DataType::Double: {
        auto d = std::get_if<double>(&theirs->v);
        return d && (*d == ours.get<double>() ||
                     std::fabs(*d - ours.get<double>()) <= 1e-9 * std::fabs(*d));
    }
    case DataType::Single: {
        auto d = std::get_if<double>(&theirs->v);
        return d && std::fabs(*d - ours.get<float>()) <= 1e-6 * std::max(1.0, std::fabs(*d));
    }
    case DataType::Text:
        return *theirs == Json{ours.get<std::string>()};
    case DataType::DateTime:
        // mdbtools cannot show dates before 1900 (it prints day 0 of January 1900).
        if (ours.get<core::DateTime>().days < 2) return true;
        return *theirs == Json{core::formatIsoDateTime(ours.get<core::DateTime>()).substr(0, 19)};
    default:
        return true; // binary, GUID and numeric forms are compared through mdb-reader
    }
}

// Every value of a table as mdb-json prints it, compared with the engine's own reading.
void expectMdbJsonReads(const std::filesystem::path& file, const std::string& password,
                        const std::string& table) {
    SCOPED_TRACE(table);
    auto db = jet::Database::open(file, password);
    auto out = run("mdb-json -D '%Y-%m-%dT%H:%M:%S' -T '%Y-%m-%dT%H:%M:%S' " + quote(file) + " '" +
                   table + "'");
    ASSERT_EQ(out.status, 0) << out.text.substr(0, 500);
    auto got = lines(out.text);
    auto ours = readAll(*db, table);
    const auto& columns = db->table(table).schema().columns;
    ASSERT_EQ(got.size(), ours.size());
    for (std::size_t r = 0; r < ours.size(); ++r) {
        Json row = testing_support::parseJson(got[r]);
        auto& object = *std::get<std::shared_ptr<testing_support::JsonObject>>(row.v);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            auto it = object.find(columns[c].name);
            ASSERT_TRUE(sameAsMdbJson(ours[r][c], it == object.end() ? nullptr : &it->second))
                << "row " << r << " column " << columns[c].name << "\n"
                << got[r].substr(0, 300);
        }
    }
}

TEST(Interop, MdbToolsReadsEveryValue) {
    if (!haveMdbTools()) GTEST_SKIP() << "mdbtools is not installed (scripts/test installs it)";
    for (const char* name : {"Every Type", "Big"})
        expectMdbJsonReads(writtenFile(), "interop pw", name);
}

// Access 97 files written in place: a table without indexes after inserts of 8-bit text,
// an update that makes a row move and deletes; a table with indexes after an update that
// stores long memo and OLE values over several 2 KiB pages and leaves its keys alone; new
// tables made, altered and related by the SQL console's definition changes, and the
// compacted copy of that file.
struct Jet3Written {
    std::filesystem::path file;
    std::string table;
};

const std::vector<Jet3Written>& writtenJet3Files() {
    static const std::vector<Jet3Written> files = [] {
        auto dir = testing_support::scratchDir(
            std::string("interop-jet3-") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::vector<Jet3Written> out;
        {
            auto file = testing_support::writableCopyOfSample("jet3/overflowTestV1997", dir);
            auto db = jet::Database::open(file, {}, jet::OpenMode::ReadWrite);
            const auto ids = db->table("Table1").rowIds();
            db->begin();
            for (int i = 0; i < 40; ++i) {
                std::vector<core::Value> row(9);
                for (int c = 0; c <= i % 9; ++c)
                    row[c] = core::Value("é ü € ’ " + std::to_string(i) + "/" + std::to_string(c));
                db->insertRow("Table1", row);
            }
            db->updateRow("Table1", ids[1],
                          std::vector<core::Value>(9, core::Value(std::string(50, 'W'))));
            db->deleteRow("Table1", ids[2]);
            db->commit();
            out.push_back({file, "Table1"});
        }
        {
            auto file = testing_support::writableCopyOfSample("jet3/test2V1997", dir);
            auto db = jet::Database::open(file, {}, jet::OpenMode::ReadWrite);
            const auto& columns = db->table("MSP_PROJECTS").schema().columns;
            auto row = readAll(*db, "MSP_PROJECTS").at(0);
            std::string memo;
            for (int k = 0; memo.size() < 7000; ++k)
                memo += "Zeile " + std::to_string(k) + " – Größe €\n";
            for (std::size_t c = 0; c < columns.size(); ++c) {
                if (columns[c].name == "PROJ_PROP_AUTHOR") row[c] = core::Value(memo);
                if (columns[c].name == "PROJ_PROP_TITLE") row[c] = core::Value("Übersicht ’97");
                if (columns[c].name == "RESERVED_BINARY_DATA")
                    row[c] = core::Value(core::Bytes(5000, 0x5A));
            }
            db->begin();
            db->updateRow("MSP_PROJECTS", db->table("MSP_PROJECTS").rowIds().at(0), row);
            db->commit();
            out.push_back({file, "MSP_PROJECTS"});
        }
        {
            auto file = testing_support::writableCopyOfSample("jet3/queryTestV1997", dir);
            auto db = jet::Database::open(file, {}, jet::OpenMode::ReadWrite);
            std::ostringstream ignored;
            cli::execStatements(*db, write_test::access97DefinitionScript(), false, ignored);
            db.reset();
            out.push_back({file, "People"});
            out.push_back({file, "Child"});
            const auto compacted = dir / "compacted.mdb";
            jet::compactDatabase(file, compacted, {}, {});
            out.push_back({compacted, "People"});
            out.push_back({compacted, "Child"});
        }
        return out;
    }();
    return files;
}

TEST(Interop, Jet3FilesWrittenInPlaceReadBackInMdbReader) {
    REQUIRE_SAMPLES();
    if (!haveMdbReader()) GTEST_SKIP() << "mdb-reader is not installed (scripts/test installs it)";
    for (const auto& [file, table] : writtenJet3Files()) {
        SCOPED_TRACE(file.filename().string());
        auto out =
            run("node " + quote(interopFolder() / "read-with-mdb-reader.mjs") + " " + quote(file));
        ASSERT_EQ(out.status, 0) << out.text.substr(0, 2000);
        auto tables = mdbReaderTables(lines(out.text));
        auto ours = ourRows(file, {}, table);
        const auto& theirs = tables[table];
        ASSERT_EQ(theirs.size(), ours.size());
        for (std::size_t r = 0; r < ours.size(); ++r)
            EXPECT_TRUE(theirs[r] == ours[r]) << "row " << r;
        auto db = jet::Database::open(file);
        std::string problems;
        EXPECT_TRUE(checkPasses(*db, &problems)) << problems;
    }
}

TEST(Interop, Jet3FilesWrittenInPlaceStayJet3InMdbTools) {
    REQUIRE_SAMPLES();
    if (!haveMdbTools()) GTEST_SKIP() << "mdbtools is not installed (scripts/test installs it)";
    for (const auto& [file, table] : writtenJet3Files()) {
        SCOPED_TRACE(file.filename().string());
        EXPECT_EQ(run("mdb-ver " + quote(file)).text, "JET3\n");
        expectMdbJsonReads(file, {}, table);
    }
}

} // namespace

namespace {

std::filesystem::path applicationSample() {
    return testing_support::sampleFile("application");
}

// Each table's rows as mdb-export prints them, for the tables listed by mdb-tables.
std::map<std::string, std::string> exportedByMdbTools(const std::filesystem::path& file) {
    std::map<std::string, std::string> out;
    for (const auto& name : lines(run("mdb-tables -S -1 " + quote(file) + " 2>/dev/null").text))
        out[name] = run("mdb-export " + quote(file) + " '" + name + "' 2>/dev/null").text;
    return out;
}

// The foreign keys mdb-schema writes for the file, one line each, sorted.
std::vector<std::string> foreignKeysByMdbTools(const std::filesystem::path& file) {
    std::vector<std::string> out;
    for (const auto& line : lines(run("mdb-schema --relations " + quote(file) + " postgres").text))
        if (line.find("FOREIGN KEY") != std::string::npos) out.push_back(line);
    std::sort(out.begin(), out.end());
    return out;
}

jet::TableSchema keyedTable(const std::string& name) {
    jet::TableSchema t;
    t.name = name;
    t.columns = {column("ID", jet::ColumnType::Long, 4), column("RefID", jet::ColumnType::Long, 4)};
    jet::IndexData key;
    key.columns = {{0, true}};
    key.flags = 0x89;
    jet::IndexDef def;
    def.name = "PrimaryKey";
    def.kind = jet::IndexKind::Primary;
    t.indexData = {key};
    t.indexes = {def};
    return t;
}

jet::RelationshipDef reference(const std::string& from, const std::string& to, bool cascade) {
    jet::RelationshipDef rel;
    rel.name = to + from;
    rel.table = from;
    rel.columns = {"RefID"};
    rel.referencedTable = to;
    rel.referencedColumns = {"ID"};
    rel.cascadeDeletes = cascade;
    rel.cascadeUpdates = cascade;
    return rel;
}

} // namespace

TEST(Interop, MdbToolsListEveryRelationshipOfAFileAndOfItsCompactedCopy) {
    if (!haveMdbTools()) GTEST_SKIP() << "mdbtools is not installed (scripts/test installs it)";
    auto dir = testing_support::scratchDir("interop-relationships");
    auto db = jet::Database::create(dir / "related.mdb");
    db->begin();
    for (const char* name : {"A", "B", "C"}) db->createTable(keyedTable(name));
    db->createRelationship(reference("B", "A", true));
    db->createRelationship(reference("C", "B", false));
    db->createRelationship(reference("C", "A", false));
    db->commit();
    const std::vector<std::string> expected = {
        R"(ALTER TABLE "B" ADD CONSTRAINT "b_refid_fk" FOREIGN KEY ("refid") REFERENCES )"
        R"("A"("id") ON UPDATE CASCADE ON DELETE CASCADE DEFERRABLE INITIALLY IMMEDIATE;)",
        R"(ALTER TABLE "C" ADD CONSTRAINT "c_refid_fk" FOREIGN KEY ("refid") REFERENCES )"
        R"("A"("id") DEFERRABLE INITIALLY IMMEDIATE;)",
        R"(ALTER TABLE "C" ADD CONSTRAINT "c_refid_fk" FOREIGN KEY ("refid") REFERENCES )"
        R"("B"("id") DEFERRABLE INITIALLY IMMEDIATE;)"};
    EXPECT_EQ(foreignKeysByMdbTools(dir / "related.mdb"), expected);

    // A relationship dropped and made again leaves a deleted row behind in the source; the
    // copy holds each row once, with no deleted ones before it.
    db->begin();
    db->dropRelationship("C", "AC");
    db->createRelationship(reference("C", "A", false));
    db->commit();
    db.reset();
    jet::compactDatabase(dir / "related.mdb", dir / "compacted.mdb", "");
    EXPECT_EQ(foreignKeysByMdbTools(dir / "compacted.mdb"), expected);
}

TEST(Interop, CompactedApplicationHoldsEveryObjectAndRowAsIndependentReadersSeeThem) {
    if (!std::filesystem::exists(applicationSample())) GTEST_SKIP() << "no sample application";
    if (!haveMdbReader() && !haveMdbTools()) GTEST_SKIP() << "neither mdb-reader nor mdbtools";
    auto dir = testing_support::scratchDir("interop-compact-application");
    auto original = testing_support::writableCopyOfSample("application", dir);
    jet::compactDatabase(original, dir / "compacted.mdb", "");
    if (haveMdbReader()) {
        auto out = run("node " + quote(interopFolder() / "compare-with-mdb-reader.mjs") + " " +
                       quote(original) + " " + quote(dir / "compacted.mdb") + " " +
                       quote(applicationSample().parent_path() / "objects.json"));
        EXPECT_EQ(out.status, 0) << out.text;
        EXPECT_EQ(out.text.rfind("same: 22 tables", 0), 0u) << out.text;
    }

    if (!haveMdbTools()) return;
    // Every relationship, with its cascades, as mdbtools lists it.
    const auto keys = foreignKeysByMdbTools(original);
    EXPECT_EQ(keys.size(), 9u);
    EXPECT_EQ(foreignKeysByMdbTools(dir / "compacted.mdb"), keys);
    // mdbtools lists the same tables, system ones included, and exports the same rows from
    // each table whose rows name no table ids (those the comparison above translates).
    auto before = exportedByMdbTools(original);
    auto after = exportedByMdbTools(dir / "compacted.mdb");
    ASSERT_EQ(before.size(), 22u);
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [name, rows] : before) {
        ASSERT_TRUE(after.count(name)) << name;
        // mdb-export prints long binary values of system tables unreliably (it reads OLE
        // data as text): those tables are compared row for row through mdb-reader above.
        const bool exact =
            name.rfind("MSys", 0) != 0 || name == "MSysQueries" || name == "MSysRelationships";
        if (exact)
            EXPECT_EQ(after[name], rows) << name;
        else
            EXPECT_EQ(lines(after[name]).size(), lines(rows).size()) << name;
    }
}

TEST(Interop, ReadersReadAFileWhoseGlobalUsageMapIsAReference) {
    if (!haveMdbTools() || !haveMdbReader()) GTEST_SKIP() << "mdbtools or mdb-reader missing";
    auto file = testing_support::scratchDir("interop-reference-map") / "reference.mdb";
    {
        auto db = jet::Database::create(file);
        db->begin();
        db->createTable(everyTypeTable("T"));
        for (int i = 0; i < 200; ++i) db->insertRow("T", everyTypeRow(i));
        db->commit();
    }
    makeGlobalUsageMapReference(file);
    {
        auto db = jet::Database::open(file, "", jet::OpenMode::ReadWrite);
        db->begin();
        for (int i = 200; i < 2500; ++i) db->insertRow("T", everyTypeRow(i));
        db->commit();
    }
    auto counted = run("mdb-count " + quote(file) + " T");
    ASSERT_EQ(counted.status, 0) << counted.text.substr(0, 300);
    EXPECT_EQ(counted.text, "2500\n");
    EXPECT_EQ(run("mdb-export " + quote(file) + " T > /dev/null").status, 0);
    auto read =
        run("node " + quote(interopFolder() / "read-with-mdb-reader.mjs") + " " + quote(file));
    ASSERT_EQ(read.status, 0) << read.text.substr(0, 300);
    EXPECT_EQ(lines(read.text).size(), 2u + 2500u);
}
