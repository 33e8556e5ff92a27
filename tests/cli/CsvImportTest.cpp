// import and export on real files: columns by name, defaults, inference over the whole file,
// refusals that leave the file as it was, and export-then-import of every sample table.
#include "cli/CsvImport.h"
#include "cli/CsvExport.h"
#include "cli/CsvInference.h"
#include "cli/Dump.h"
#include "cli/Exec.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "sql/engine/storage/JetStorage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

cli::CsvSource text(const std::string& csv) {
    return [csv] { return std::make_unique<std::istringstream>(csv); };
}

std::uint64_t import(const fs::path& file, const std::string& table, const std::string& csv,
                     cli::CsvImportOptions options = {}) {
    auto db = jet::Database::open(file, "", jet::OpenMode::ReadWrite);
    std::ostringstream notes;
    return cli::importCsv(*db, table, text(csv), options, notes);
}

std::string exported(const fs::path& file, const std::string& source) {
    auto db = jet::Database::open(file);
    std::ostringstream out;
    cli::exportCsv(*db, source, out, ',');
    return out.str();
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

fs::path databaseWith(const std::string& name, const std::vector<std::string>& statements) {
    const auto file = testing_support::scratchDir(name) / "data.mdb";
    auto db = jet::Database::create(file);
    std::ostringstream ignored;
    cli::execStatements(*db, statements, false, ignored);
    return file;
}

TEST(CsvImport, MatchesColumnsByHeaderNameAndGivesMissingOnesTheirDefaults) {
    const auto file = databaseWith(
        "csv-columns", {"create table People (ID counter primary key, Name text(20), "
                        "Town text(20) default \"Oslo\", Born datetime, Paid currency)"});
    const auto rows = import(file, "People",
                             "paid,NAME,born\r\n"
                             "12.5,\"Smith, Ann\",1850-07-04\r\n"
                             ",\"\",2024-02-29 13:45:00\r\n");
    EXPECT_EQ(rows, 2u);
    EXPECT_EQ(exported(file, "People"), "ID,Name,Town,Born,Paid\r\n"
                                        "1,\"Smith, Ann\",Oslo,1850-07-04,12.5000\r\n"
                                        "2,\"\",Oslo,2024-02-29 13:45:00,\r\n");
    EXPECT_EQ(exported(file, "select Name from People where Paid is null"), "Name\r\n\"\"\r\n");
}

TEST(CsvImport, RefusalsLeaveTheFileAsItWas) {
    const auto file =
        databaseWith("csv-refusals", {"create table T (ID long primary key, Name text(5) not null, "
                                      "Score double)",
                                      "insert into T values (1, 'one', 1.5)"});
    const std::string before = bytesOf(file);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ID,Name,Score\n2,two,2\n3,three,3\n4,toolong,4\n",
         "Line 4, column 2 (Name): the text is 7 characters long; the column holds 5."},
        {"ID,Name,Score\n2,two,2\n3,three,x\n", "Line 3, column 3 (Score): 'x' is not a number"},
        {"ID,Name,Score\n2,two,2\n1,dup,3\n", "Line 3: "},
        {"ID,Name,Score\n2,,2\n", "Line 2: "},
        {"ID,Name,Score\n2,two,2\n3,\"three,3\n",
         "Line 3, column 2: the quoted field is not closed"},
        {"ID,Name,Score\n2,two\n", "Line 2 has 2 fields; the header has 3."},
        {"ID,Nom,Score\n2,two,2\n", "The header names a column 'Nom' that table T does not have."},
        {"ID,Name,name\n2,two,2\n", "The header names the column 'name' twice."},
        {"", "The CSV input is empty"},
    };
    for (const auto& [csv, message] : cases) {
        try {
            import(file, "T", csv);
            ADD_FAILURE() << "imported: " << csv;
        } catch (const core::Error& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
        EXPECT_EQ(bytesOf(file), before) << csv;
    }
    EXPECT_EQ(exported(file, "T"), "ID,Name,Score\r\n1,one,1.5\r\n");
}

std::string inferred(const std::vector<cli::CsvField>& values, bool currency = false) {
    cli::ColumnInference inference(currency);
    for (const auto& v : values) inference.add(v);
    return inference.typeText();
}

TEST(CsvInference, ChoosesTheNarrowestTypeThatReadsEveryValue) {
    using F = cli::CsvField;
    const F null{"", false}, empty{"", true};
    const std::vector<std::tuple<std::vector<F>, bool, std::string>> cases = {
        {{{"1"}, {"-20"}, null}, false, "long"},
        {{{"1"}, {"2.5"}}, false, "double"},
        {{{"1"}, {"2.5"}}, true, "currency"},
        {{{"2.12345"}}, true, "double"},
        {{{"1e5"}, {"3"}}, false, "double"},
        {{{"2147483648"}}, false, "double"},
        {{{"1234567890123456"}}, false, "text(16)"},
        {{{"007"}, {"12"}}, false, "text(3)"},
        {{{"1"}, {"true"}, {"NO"}}, false, "yesno"},
        {{{"0"}, {"1"}}, false, "long"},
        {{{"2024-02-29"}, {"1850-07-04 06:30:00"}, {"1900-01-01T00:00"}}, false, "datetime"},
        {{{"2024-02-29"}, {"tomorrow"}}, false, "text(10)"},
        {{{"1"}, empty}, false, "text(1)"},
        {{null, null}, false, "text(255)"},
        {{{std::string(255, 'x')}}, false, "text(255)"},
        {{{std::string(256, 'x')}, {"1"}}, false, "memo"},
        {{{"\xE2\x82\xAC\xE2\x82\xAC"}}, false, "text(2)"},
    };
    for (const auto& [values, currency, expected] : cases)
        EXPECT_EQ(inferred(values, currency), expected) << expected;
}

TEST(CsvImport, CreateInfersTypesFromEveryRowAndSaysThem) {
    const auto file = testing_support::scratchDir("csv-create") / "data.mdb";
    jet::Database::create(file);
    // The one value that makes Code text comes after thousands of numbers.
    std::string csv = "Code,Amount,Day,Ok,Note\n";
    for (int i = 1; i <= 5000; ++i)
        csv += std::to_string(i) + "," + std::to_string(i) + ".25,2024-01-01,true,n\n";
    csv += "0042,1,1899-12-30 12:00:00,false,\"" + std::string(300, 'm') + "\"\n";
    auto db = jet::Database::open(file, "", jet::OpenMode::ReadWrite);
    std::ostringstream notes;
    cli::CsvImportOptions options;
    options.create = true;
    options.currency = true;
    EXPECT_EQ(cli::importCsv(*db, "Imported", text(csv), options, notes), 5001u);
    EXPECT_EQ(notes.str(), "creating table Imported: Code text(4), Amount currency, "
                           "Day datetime, Ok yesno, Note memo\n");
    db.reset();
    const std::string all = exported(file, "Imported");
    EXPECT_EQ(all.rfind("Code,Amount,Day,Ok,Note\r\n1,1.2500,2024-01-01,true,n\r\n", 0), 0u);
    EXPECT_NE(all.find("\r\n0042,1.0000,1899-12-30 12:00:00,false,mmm"), std::string::npos);

    // A table that exists is not made again, and a failed create leaves no table behind.
    EXPECT_THROW(import(file, "Imported", "a\n1\n", options), core::Error);
    const std::string before = bytesOf(file);
    EXPECT_THROW(import(file, "Broken", "a,b\n1,2\n\"3,4\n", options), core::Error);
    EXPECT_EQ(bytesOf(file), before);
}

TEST(CsvExport, AllWritesOneFilePerTableAndReplacesOldOnes) {
    const auto file = databaseWith("csv-all", {"create table A (X long)", "create table B (Y text)",
                                               "insert into A values (1)"});
    const auto folder = file.parent_path() / "out";
    fs::create_directories(folder);
    { std::ofstream(folder / "A.csv") << "stale content that is longer than the export\n"; }
    auto db = jet::Database::open(file);
    std::ostringstream notes;
    cli::exportAllCsv(*db, folder, ',', notes);
    EXPECT_EQ(bytesOf(folder / "A.csv"), "X\r\n1\r\n");
    EXPECT_EQ(bytesOf(folder / "B.csv"), "Y\r\n");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++files;
    EXPECT_EQ(files, 2u) << "temporary files left behind";
    EXPECT_THROW(exported(file, "NoSuchTable"), core::Error);
}

// Every table of every sample, exported and imported into a table of the same definition in
// a new file, gives the same canonical dump.
TEST(CsvRoundTrip, EverySampleTableComesBackTheSame) {
    REQUIRE_SAMPLES();
    const auto dir = testing_support::scratchDir("csv-round-trip");
    std::size_t tables = 0;
    for (const auto& entry : fs::directory_iterator(testing_support::samplesDir())) {
        if (entry.path().extension() != ".mdb") continue;
        const std::string password = entry.path().filename() == "password.mdb" ? "password" : "";
        const auto copy = dir / entry.path().filename();
        fs::copy_file(entry.path(), copy);
        auto source = jet::Database::open(copy, password);
        const auto fresh = dir / ("fresh-" + entry.path().filename().string());
        auto target = jet::Database::create(fresh);
        sql::JetStorage sourceStorage(*source), targetStorage(*target);
        for (const auto& name : source->tableNames()) {
            SCOPED_TRACE(entry.path().filename().string() + " " + name);
            const auto info = sourceStorage.tableInfo(name);
            ASSERT_TRUE(info);
            sql::TableDefinition definition{info->name, {}, info->indexes, {}};
            for (const auto& c : info->columns) definition.columns.push_back({c});
            targetStorage.begin();
            targetStorage.createTable(definition);
            targetStorage.commit();
            std::ostringstream csv;
            cli::exportCsv(*source, name, csv, ',');
            std::ostringstream notes;
            cli::importCsv(*target, name, text(csv.str()), {}, notes);
            ++tables;
        }
        std::ostringstream before, after;
        cli::dumpDatabase(*source, before);
        cli::dumpDatabase(*target, after);
        EXPECT_EQ(after.str(), before.str()) << entry.path();
    }
    EXPECT_GT(tables, 20u);
}

} // namespace
