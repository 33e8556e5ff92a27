// tablory-sql as a script sees it: output on standard output, errors on standard error
// with a non-zero exit status.
#include "common/Samples.h"
#include "jet/Database.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Run {
    int status = -1;
    std::string out;
};

Run run(const std::string& arguments) {
    std::string command = std::string(TABLORY_SQL_BINARY) + " " + arguments + " 2>&1";
    Run r;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        r.out.append(buffer, n);
    int raw = ::pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

std::string quoted(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

TEST(CommandLine, TablesListsUserTablesOnePerLine) {
    REQUIRE_SAMPLES();
    auto r = run("tables " + quoted(testing_support::sample("types.mdb")));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Table1\nTable2\nTable3\nTable4\n");
}

TEST(CommandLine, PasswordOptionOpensProtectedFiles) {
    REQUIRE_SAMPLES();
    auto file = quoted(testing_support::sample("password.mdb"));
    auto refused = run("tables " + file);
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.out.find("Not a valid password."), std::string::npos) << refused.out;
    auto opened = run("dump " + file + " --password password");
    EXPECT_EQ(opened.status, 0);
    EXPECT_EQ(opened.out.rfind("{\"table\":\"Table1\"", 0), 0u) << opened.out;
}

TEST(CommandLine, ErrorsGoToStandardErrorWithNonZeroStatus) {
    EXPECT_NE(run("dump /no/such/file.mdb").status, 0);
    EXPECT_NE(run("frobnicate x").status, 0);
    EXPECT_NE(run("tables").status, 0);
    EXPECT_NE(run("tables a b").status, 0);
    EXPECT_NE(run("tables x --bogus").status, 0);
    auto notDatabase =
        run("tables " + quoted(std::filesystem::path(TABLORY_SOURCE_DIR) / "README.md"));
    EXPECT_NE(notDatabase.status, 0);
    EXPECT_NE(notDatabase.out.find("Unrecognized database format"), std::string::npos)
        << notDatabase.out;
}

TEST(CommandLine, HelpDescribesEveryCommand) {
    auto r = run("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* word : {"tables", "dump", "--password"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

} // namespace

namespace {

TEST(CommandLine, CreateExecAndCheckWorkTogether) {
    auto dir = testing_support::scratchDir("cli-exec");
    auto file = quoted(dir / "shop.mdb");
    ASSERT_EQ(run("create " + file + " --password pw").status, 0);
    auto made = run("exec " + file +
                    " --password pw --json "
                    "\"create table P (ID counter primary key, Name text(30), Price currency)\" "
                    "\"insert into P (Name, Price) values ('pen', 1.5)\" "
                    "\"select Name, Price from P\"");
    EXPECT_EQ(made.status, 0) << made.out;
    EXPECT_EQ(made.out, "{\"rowsAffected\":0}\n{\"rowsAffected\":1}\n"
                        "{\"columns\":[[\"Name\",\"text\",30],[\"Price\",\"currency\",8]]}\n"
                        "[\"pen\",\"1.5000\"]\n");
    {
        std::ofstream input(dir / "statements.sql");
        input << "insert into P (Name)\r\nvalues ('ink');\nselect Count(*) as N from P;\n";
    }
    auto fromInput = run("exec " + file + " --password pw - < " + quoted(dir / "statements.sql"));
    EXPECT_EQ(fromInput.status, 0) << fromInput.out;
    EXPECT_NE(fromInput.out.find("1 row affected"), std::string::npos) << fromInput.out;
    EXPECT_NE(fromInput.out.find("\n2\n"), std::string::npos) << fromInput.out;
    auto refused =
        run("exec " + file + " --password pw \"insert into P (ID, Name) values (1, 'dup')\"");
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.out.find("duplicate values"), std::string::npos) << refused.out;
    auto checked = run("check " + file + " --password pw");
    EXPECT_EQ(checked.status, 0) << checked.out;
    EXPECT_EQ(checked.out.rfind("ok: ", 0), 0u) << checked.out;
}

TEST(CommandLine, CompactEndsItsProgressLineBeforeAnError) {
    auto dir = testing_support::scratchDir("cli-compact-error");
    auto file = dir / "cut.mdb";
    ASSERT_EQ(run("create " + quoted(file)).status, 0);
    {
        std::ofstream input(dir / "rows.sql");
        input << "create table T (ID counter, Name text(200));\n";
        for (int i = 0; i < 300; ++i)
            input << "insert into T (Name) values ('" << std::string(150, 'n') << "');\n";
    }
    ASSERT_EQ(run("exec " + quoted(file) + " - < " + quoted(dir / "rows.sql")).status, 0);
    // The last data page is cut off: the copy fails part-way, after its progress began.
    std::filesystem::resize_file(file, std::filesystem::file_size(file) - 4096);
    auto r = run("compact " + quoted(file) + " " + quoted(dir / "copy.mdb"));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find("rows\ntablory-sql: "), std::string::npos) << r.out;
    EXPECT_FALSE(std::filesystem::exists(dir / "copy.mdb"));
    EXPECT_FALSE(std::filesystem::exists(dir / "copy.mdb.compacting"));
}

} // namespace

namespace {

TEST(CommandLine, ImportFromStandardInputThenExportToStandardOutput) {
    auto dir = testing_support::scratchDir("cli-csv");
    auto file = quoted(dir / "data.mdb");
    ASSERT_EQ(run("create " + file).status, 0);
    {
        std::ofstream input(dir / "in.csv", std::ios::binary);
        input << "Name;Born;Price\r\n\"Smith; Ann\";1850-07-04;1.25\r\nBob;;\r\n";
    }
    auto imported = run("import " + file + " People - --create --currency --delimiter ';' < " +
                        quoted(dir / "in.csv"));
    EXPECT_EQ(imported.status, 0) << imported.out;
    // Standard error is no terminal here: no progress line, just the types and the count.
    EXPECT_EQ(imported.out, "creating table People: Name text(10), Born datetime, "
                            "Price currency\nimported 2 rows\n");
    auto exported = run("export " + file + " People --delimiter ';'");
    EXPECT_EQ(exported.status, 0) << exported.out;
    EXPECT_EQ(exported.out, "Name;Born;Price\r\n\"Smith; Ann\";1850-07-04;1.2500\r\nBob;;\r\n");
    auto refused = run("import " + file + " People " + quoted(dir / "in.csv"));
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.out.find("The header names a column 'Name;Born;Price'"), std::string::npos)
        << refused.out;
    auto all = run("export " + file + " --all " + quoted(dir / "out"));
    EXPECT_EQ(all.status, 0) << all.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / "People.csv"));
}

TEST(CommandLine, VersionIsTheProjectVersion) {
    auto r = run("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("tablory-sql ") + TABLORY_VERSION + "\n");
}

} // namespace

namespace {

// A writer that keeps the file open, as the window and the ODBC driver do, keeps readers
// out only while it commits: between commits a dump and a check open it and see every row.
TEST(CommandLine, ReadersOpenTheFileBetweenTheCommitsOfAWriterThatKeepsItOpen) {
    auto dir = testing_support::scratchDir("cli-open-writer");
    auto file = quoted(dir / "open.mdb");
    ASSERT_EQ(run("create " + file).status, 0);
    ASSERT_EQ(run("exec " + file + " \"create table T (ID long primary key, Note memo)\"").status,
              0);
    auto writer = jet::Database::open(dir / "open.mdb", "", jet::OpenMode::ReadWrite);
    for (int i = 1; i <= 4; ++i) {
        writer->begin();
        writer->insertRow("T", {core::Value(std::int32_t{i}), core::Value(std::string(3000, 'x'))});
        writer->commit();
        auto dump = run("dump " + file);
        ASSERT_EQ(dump.status, 0) << dump.out;
        int rows = 0;
        for (std::size_t at = 0; (at = dump.out.find("\n[", at)) != std::string::npos; ++at) ++rows;
        EXPECT_EQ(rows, i) << dump.out;
        auto check = run("check " + file);
        EXPECT_EQ(check.out.rfind("ok: ", 0), 0u) << check.out;
    }
}

// Readers running beside a writer in another process: each either sees a whole committed
// state or says the file is in use, and never reports damage that is not there.
TEST(CommandLine, ReadersBesideAWriterNeverSeeHalfACommit) {
    auto dir = testing_support::scratchDir("cli-readers");
    auto file = quoted(dir / "busy.mdb");
    ASSERT_EQ(run("create " + file).status, 0);
    ASSERT_EQ(
        run("exec " + file + " \"create table T (ID counter primary key, Note memo)\"").status, 0);
    constexpr int kCommits = 20;
    pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        // Each commit adds rows whose long values take pages of their own, so the file grows
        // and pages change on every one.
        for (int i = 0; i < kCommits; ++i)
            if (run("exec " + file + " \"insert into T (Note) values (Space(3000) & 'x')\"")
                    .status != 0)
                ::_exit(1);
        ::_exit(0);
    }
    std::vector<std::string> wrong;
    int readsWhileWriting = 0;
    auto read = [&](const std::string& command) {
        auto r = run(command + " " + file);
        bool inUse = r.out.find("file already in use.") != std::string::npos;
        bool fine = r.status == 0 && (command != "check" || r.out.rfind("ok: ", 0) == 0);
        if (!fine && !inUse) wrong.push_back(command + ": " + r.out);
    };
    int status = 0;
    while (::waitpid(writer, &status, WNOHANG) == 0) {
        read("check");
        read("dump");
        ++readsWhileWriting;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer's commit failed";
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " of " << 2 * readsWhileWriting
                               << " reads went wrong, the first: " << wrong.front();
    auto count = run("exec " + file + " \"select Count(*) from T\"");
    EXPECT_NE(count.out.find(std::to_string(kCommits)), std::string::npos) << count.out;
}

} // namespace

namespace {

// The SQL console writes rows of an Access 97 file through the same engine path as the
// window's data sets: inserts, an update and a delete land, the file passes the check, and
// what this version cannot write is refused with its reason.
TEST(CommandLine, ExecChangesTheRowsOfAnAccess97File) {
    REQUIRE_SAMPLES();
    auto dir = testing_support::scratchDir("cli-jet3");
    auto file = quoted(testing_support::writableCopyOfSample("jet3/queryTestV1997", dir));
    auto changed = run("exec " + file +
                       " --json \"insert into Table1 (col1, col2) values ('é ü € ’', 'x')\" "
                       "\"insert into Table1 (col1) values ('b')\" "
                       "\"update Table1 set col3 = 'grown ' & col1 where col1 = 'b'\" "
                       "\"delete from Table1 where col2 = 'x'\" "
                       "\"insert into Table1 (col1, col2) values ('Ärger', 'y')\" "
                       "\"select col1, col3 from Table1 order by col1\"");
    EXPECT_EQ(changed.status, 0) << changed.out;
    EXPECT_EQ(changed.out, "{\"rowsAffected\":1}\n{\"rowsAffected\":1}\n{\"rowsAffected\":1}\n"
                           "{\"rowsAffected\":1}\n{\"rowsAffected\":1}\n"
                           "{\"columns\":[[\"col1\",\"text\",50],[\"col3\",\"text\",50]]}\n"
                           "[\"Ärger\",null]\n[\"b\",\"grown b\"]\n");
    const std::vector<std::pair<std::string, std::string>> refused{
        {"create table N (a decimal(10, 2))", "Decimal, a type Access 97 databases do not have"},
        {"insert into Table1 (col1) values ('ā')", "'col1' cannot hold the character 'ā'"},
    };
    for (const auto& [statement, message] : refused) {
        auto r = run("exec " + file + " \"" + statement + "\"");
        EXPECT_NE(r.status, 0) << statement;
        EXPECT_NE(r.out.find(message), std::string::npos) << r.out;
    }
    auto checked = run("check " + file);
    EXPECT_EQ(checked.status, 0) << checked.out;
    // The check verifies Jet 3 indexes as well, so it has nothing to note before its verdict.
    EXPECT_EQ(checked.out.rfind("ok: ", 0), 0u) << checked.out;
    auto dumped = run("dump " + file);
    EXPECT_NE(dumped.out.find("[\"Ärger\",\"y\",null]"), std::string::npos) << dumped.out;
}

} // namespace
