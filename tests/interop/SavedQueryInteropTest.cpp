// Saved queries Tablory writes, read by independent readers: mdb-queries (mdbtools) lists
// them and prints SQL with the same clauses as the engine's own reading of the rows;
// mdb-reader still reads every table of the file; the integrity check passes.
#include "common/Samples.h"
#include "common/SoundFile.h"
#include "jet/Database.h"
#include "jet/check/IntegrityCheck.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sys/wait.h>

namespace {

struct Output {
    int status = -1;
    std::string text;
};

// Standard output only: mdb-queries reports joins on standard error as it goes.
Output runQuiet(const std::string& command) {
    Output out;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return out;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.text.append(buffer, n);
    const int raw = ::pclose(pipe);
    out.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

std::string quote(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

bool haveMdbQueries() {
    return runQuiet("which mdb-queries").status == 0;
}

std::filesystem::path interopFolder() {
    return std::filesystem::path(TABLORY_SOURCE_DIR) / "tests/interop";
}

// The two texts in one spelling: mdb-queries marks how it rebuilt joins with /* */
// comments, leaves out the parentheses Jet nests joins in, writes DESCENDING for DESC, lists
// columns with bare commas and ends without ";". None of that changes what the query says,
// so comments, brackets, parentheses and ";" go, blanks shrink to one, case is folded.
std::string normalised(std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "/*") == 0) {
            const auto end = text.find("*/", i + 2);
            if (end == std::string::npos) break;
            i = end + 1;
            out += ' ';
            continue;
        }
        const char c = text[i];
        if (c == '[' || c == ']' || c == '(' || c == ')' || c == ';' ||
            std::isspace(static_cast<unsigned char>(c))) {
            out += ' ';
            continue;
        }
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    std::string collapsed;
    for (char c : out) {
        if (c == ' ' && (collapsed.empty() || collapsed.back() == ' ' || collapsed.back() == ','))
            continue;
        if (c == ',' && !collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
        collapsed += c;
    }
    while (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
    for (std::size_t at; (at = collapsed.find(" descending")) != std::string::npos;)
        collapsed.replace(at, 11, " desc");
    return collapsed;
}

struct View {
    const char* name;
    const char* select;
    // What Debian's mdb-queries 1.0 prints, when it is less than the whole query: it rebuilds
    // the predicate, the columns, the tables (as a comma list), WHERE and the first ORDER BY
    // item, and passes over join, GROUP BY and HAVING rows. nullptr: the whole query.
    const char* mdbQueriesForm = nullptr;
    // Those rows as mdb-export prints them from MSysQueries, after "ObjectId,": Attribute,
    // Order (not printed), Name1, Name2, Expression, Flag.
    std::vector<std::string> rawRows = {};
};

// Views within what mdb-queries rebuilds print no column or table alias (it leaves them
// out) and at most one ORDER BY item.
const View kViews[] = {
    {"Parisians", "select Name, City from Customers where City = 'Paris' order by Name"},
    {"CustomerOrders",
     "select Customers.Name, Orders.Qty from Customers inner join Orders on Customers.ID = "
     "Orders.CustomerID where Orders.Qty > 1",
     "SELECT Customers.Name, Orders.Qty FROM Customers, Orders WHERE (Orders.Qty > 1)",
     {"7,,\"Customers\",\"Orders\",\"(Customers.ID = Orders.CustomerID)\",1,"}},
    {"AllOrders",
     "select Customers.Name, Orders.OrderID, Notes.Note from (Customers inner join Orders on "
     "Customers.ID = Orders.CustomerID) left join Notes on Customers.ID = Notes.CustomerID",
     "SELECT Customers.Name, Orders.OrderID, Notes.Note FROM Customers, Orders, Notes",
     {"7,,\"Customers\",\"Orders\",\"(Customers.ID = Orders.CustomerID)\",1,",
      "7,,\"Customers\",\"Notes\",\"(Customers.ID = Notes.CustomerID)\",2,"}},
    {"BusyCities",
     "select City, Count(ID) from Customers group by City having Count(ID) > 1",
     "SELECT City, Count(ID) FROM Customers",
     {"9,,,,\"City\",0,", "10,,,,\"(Count(ID) > 1)\",0,"}},
    {"Cities", "select distinct City from Customers order by City desc"},
    {"FirstTwo", "select top 2 Name from Customers order by Name"},
};

class SavedQueryInterop : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new std::filesystem::path(testing_support::scratchDir("interop-queries"));
        file = new std::filesystem::path(*dir / "queries.mdb");
        auto db = jet::Database::create(*file);
        sql::JetStorage storage(*db);
        sql::Session session(storage);
        for (const char* sql : {
                 "create table Customers (ID long primary key, Name text(50), City text(30))",
                 "insert into Customers values (1, 'Ann', 'Paris')",
                 "insert into Customers values (2, 'Bob', 'Oslo')",
                 "insert into Customers values (3, 'Cid', 'Paris')",
                 "create table Orders (OrderID long primary key, CustomerID long, Qty long)",
                 "insert into Orders values (10, 1, 5)",
                 "insert into Orders values (11, 2, 1)",
                 "insert into Orders values (12, 3, 2)",
                 "create table Notes (CustomerID long, Note text(20))",
                 "insert into Notes values (1, 'vip')",
             })
            session.execute(sql);
        for (const auto& v : kViews)
            session.execute(std::string("create view ") + v.name + " as " + v.select);
        // One made and dropped again leaves nothing behind.
        session.execute("create view Gone as select Name from Customers");
        session.execute("drop view Gone");
    }
    static void TearDownTestSuite() {
        delete file;
        delete dir;
    }

    static std::filesystem::path* dir;
    static std::filesystem::path* file;
};

std::filesystem::path* SavedQueryInterop::dir = nullptr;
std::filesystem::path* SavedQueryInterop::file = nullptr;

TEST_F(SavedQueryInterop, MdbQueriesListsEveryView) {
    if (!haveMdbQueries()) GTEST_SKIP() << "mdbtools is not installed (scripts/test installs it)";
    auto out = runQuiet("mdb-queries -L -1 " + quote(*file));
    ASSERT_EQ(out.status, 0) << out.text;
    std::vector<std::string> listed;
    std::size_t start = 0;
    for (std::size_t end; (end = out.text.find('\n', start)) != std::string::npos; start = end + 1)
        if (end > start) listed.push_back(out.text.substr(start, end - start));
    std::vector<std::string> expected;
    for (const auto& v : kViews) expected.push_back(v.name);
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
}

TEST_F(SavedQueryInterop, MdbQueriesPrintsTheSameSql) {
    if (!haveMdbQueries()) GTEST_SKIP() << "mdbtools is not installed (scripts/test installs it)";
    auto db = jet::Database::open(*file);
    for (const auto& v : kViews) {
        auto out = runQuiet("mdb-queries " + quote(*file) + " " + v.name);
        ASSERT_EQ(out.status, 0) << v.name;
        const std::string ours = db->queryText(v.name);
        const std::string expected = v.mdbQueriesForm ? v.mdbQueriesForm : ours;
        EXPECT_EQ(normalised(out.text), normalised(expected)) << v.name << "\nmdb-queries:\n"
                                                              << out.text << "\nours:\n"
                                                              << ours;
    }
}

TEST_F(SavedQueryInterop, MdbExportShowsTheRowsMdbQueriesPassesOver) {
    if (!haveMdbQueries()) GTEST_SKIP() << "mdbtools is not installed (scripts/test installs it)";
    auto db = jet::Database::open(*file);
    auto out = runQuiet("mdb-export " + quote(*file) + " MSysQueries");
    ASSERT_EQ(out.status, 0);
    for (const auto& v : kViews) {
        const std::string id =
            std::to_string(db->catalog().findObject(v.name, jet::ObjectType::Query)->id);
        for (const auto& row : v.rawRows)
            EXPECT_NE(out.text.find("\n" + id + "," + row + "\n"), std::string::npos)
                << v.name << ": " << row << "\n"
                << out.text;
    }
}

TEST_F(SavedQueryInterop, TheNormalisedFormsStillTellQueriesApart) {
    // Guards the comparison above: what it drops must not make different queries equal.
    EXPECT_NE(normalised("SELECT Name FROM T WHERE a > 1"), normalised("SELECT Name FROM T"));
    EXPECT_NE(normalised("SELECT a FROM T ORDER BY a DESC"),
              normalised("SELECT a FROM T ORDER BY a"));
    EXPECT_EQ(normalised("SELECT a,b\n  FROM /*7a*/ T\n ORDER BY a DESCENDING\n"),
              normalised("SELECT a, b\r\nFROM (T)\r\nORDER BY a DESC;"));
}

TEST_F(SavedQueryInterop, MdbReaderStillReadsEveryTable) {
    if (!std::filesystem::exists(interopFolder() / "node_modules/mdb-reader") ||
        runQuiet("node --version").status != 0)
        GTEST_SKIP() << "mdb-reader is not installed (scripts/test installs it)";
    auto out = runQuiet("node " + quote(interopFolder() / "read-with-mdb-reader.mjs") + " " +
                        quote(*file));
    ASSERT_EQ(out.status, 0) << out.text;
    // One line for the password, then each table's heading and its rows, tables by name.
    EXPECT_EQ(out.text,
              "{\"password\":\"\"}\n"
              "{\"table\":\"Customers\",\"columns\":[[\"ID\",\"long\"],[\"Name\",\"text\"],"
              "[\"City\",\"text\"]]}\n"
              "[1,\"Ann\",\"Paris\"]\n[2,\"Bob\",\"Oslo\"]\n[3,\"Cid\",\"Paris\"]\n"
              "{\"table\":\"Notes\",\"columns\":[[\"CustomerID\",\"long\"],[\"Note\","
              "\"text\"]]}\n"
              "[1,\"vip\"]\n"
              "{\"table\":\"Orders\",\"columns\":[[\"OrderID\",\"long\"],[\"CustomerID\","
              "\"long\"],[\"Qty\",\"long\"]]}\n"
              "[10,1,5]\n[11,2,1]\n[12,3,2]\n");
}

TEST_F(SavedQueryInterop, TheFilePassesTheIntegrityCheck) {
    auto db = jet::Database::open(*file);
    EXPECT_TRUE(testing_support::passesCheck(*db));
    std::vector<std::string> expected;
    for (const auto& v : kViews) expected.push_back(v.name);
    EXPECT_EQ(db->viewNames(), expected);
}

} // namespace
