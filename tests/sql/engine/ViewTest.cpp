// Saved queries through SQL: CREATE VIEW and CREATE PROCEDURE store a select query in a Jet
// file as Access does, statements select from it and join it like a table, DROP VIEW takes
// it away; the same statements on tables in memory; and the errors on the way.
#include "JetFileTest.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "jet/check/IntegrityCheck.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"
#include "sql/engine/storage/MemoryStorage.h"
#include "sql/syntax/Parser.h"
#include "sql/syntax/Printer.h"

#include <gtest/gtest.h>

namespace {

const char* const kTables[] = {
    "create table Customers (ID long primary key, Name text(50), City text(30))",
    "insert into Customers values (1, 'Ann', 'Paris')",
    "insert into Customers values (2, 'Bob', 'Oslo')",
    "insert into Customers values (3, 'Cid', 'Paris')",
    "insert into Customers values (4, 'Dee', null)",
    "create table Orders (OrderID long primary key, CustomerID long, Qty long)",
    "insert into Orders values (10, 1, 5)",
    "insert into Orders values (11, 1, 7)",
    "insert into Orders values (12, 2, 1)",
    "insert into Orders values (13, 3, 2)",
    "insert into Orders values (14, 9, 4)",
};

class Views : public engine_test::JetFileTest {
protected:
    void SetUp() override {
        JetFileTest::SetUp();
        for (const char* sql : kTables) session->execute(sql);
    }
    std::string run(const std::string& sql) {
        auto result = session->execute(sql);
        if (!result.hasRows()) return "affected " + std::to_string(result.rowsAffected());
        return sql::resultText(result);
    }
    std::string errorOf(const std::string& sql) {
        try {
            run(sql);
        } catch (const core::Error& e) {
            return e.what();
        }
        return "(no error)";
    }
    std::vector<std::string> columnNames(const std::string& sql) {
        auto result = session->execute(sql);
        std::vector<std::string> names;
        for (const auto& c : result.columns()) names.push_back(c.name);
        return names;
    }
};

TEST_F(Views, CreateSelectFromAndDropOnAJetFile) {
    run("create view Parisians as select Name, City from Customers where City = 'Paris'");
    EXPECT_EQ(storage->viewNames(), std::vector<std::string>{"Parisians"});
    EXPECT_EQ(run("select * from Parisians order by Name"), "Ann|Paris\nCid|Paris\n");
    EXPECT_EQ(columnNames("select * from Parisians"), (std::vector<std::string>{"Name", "City"}));
    EXPECT_EQ(run("select count(*) from parisians"), "2\n");
    run("drop view Parisians");
    EXPECT_TRUE(storage->viewNames().empty());
    EXPECT_FALSE(database->hasQuery("Parisians"));
    EXPECT_NE(errorOf("select * from Parisians")
                  .find("cannot find the input table or query "
                        "'Parisians'"),
              std::string::npos);
    expectSound();
}

TEST_F(Views, AViewSurvivesReopeningTheFile) {
    run("create view Parisians as select Name as Who from Customers where City = 'Paris'");
    reopen();
    EXPECT_EQ(storage->viewNames(), std::vector<std::string>{"Parisians"});
    EXPECT_EQ(run("select Who from Parisians order by Who desc"), "Cid\nAnn\n");
    EXPECT_EQ(columnNames("select * from Parisians"), std::vector<std::string>{"Who"});
    run("drop view parisians");
    reopen();
    EXPECT_TRUE(storage->viewNames().empty());
    expectSound();
}

TEST_F(Views, TheStoredTextReadsAsAccessShowsIt) {
    run("create view Big as select distinct top 2 c.Name, o.Qty as Amount from Customers as c "
        "inner join Orders as o on c.ID = o.CustomerID where o.Qty > 1 order by o.Qty desc");
    EXPECT_EQ(*storage->viewText("Big"),
              "SELECT DISTINCT TOP 2 c.Name, o.Qty AS Amount\r\n"
              "FROM Customers AS c INNER JOIN Orders AS o ON (c.ID = o.CustomerID)\r\n"
              "WHERE (o.Qty > 1)\r\n"
              "ORDER BY o.Qty DESC;");
    EXPECT_EQ(run("select * from Big"), "Ann|7\nAnn|5\n");
}

TEST_F(Views, AViewOverAJoinWithGroupingAndOrder) {
    run("create view Totals as select c.Name, sum(o.Qty) as Total from Customers c left join "
        "Orders o on c.ID = o.CustomerID group by c.Name having count(o.OrderID) > 0 order by "
        "sum(o.Qty) desc");
    // Ann 5+7, Bob 1, Cid 2; Dee has no orders and the HAVING leaves her out.
    EXPECT_EQ(run("select * from Totals"), "Ann|12\nCid|2\nBob|1\n");
    EXPECT_EQ(columnNames("select * from Totals"), (std::vector<std::string>{"Name", "Total"}));
    reopen();
    EXPECT_EQ(run("select Name from Totals where Total < 10 order by Name"), "Bob\nCid\n");
}

TEST_F(Views, AViewJoinsWithATable) {
    run("create view Busy as select CustomerID, Qty from Orders where Qty >= 2");
    EXPECT_EQ(run("select c.Name, b.Qty from Customers c inner join Busy b on c.ID = "
                  "b.CustomerID order by b.Qty"),
              "Cid|2\nAnn|5\nAnn|7\n");
    // A view over a view.
    run("create view BusyNames as select c.Name from Customers c, Busy where c.ID = "
        "Busy.CustomerID");
    EXPECT_EQ(run("select distinct Name from BusyNames order by Name"), "Ann\nCid\n");
}

TEST_F(Views, NestedJoinsKeepTheirMeaning) {
    run("create table Notes (CustomerID long, Note text(20))");
    run("insert into Notes values (1, 'vip')");
    run("create view Joined as select c.Name, o.OrderID, n.Note from (Customers c inner join "
        "Orders o on c.ID = o.CustomerID) left join Notes n on c.ID = n.CustomerID");
    EXPECT_EQ(*storage->viewText("Joined"),
              "SELECT c.Name, o.OrderID, n.Note\r\n"
              "FROM (Customers AS c INNER JOIN Orders AS o ON (c.ID = o.CustomerID)) LEFT JOIN "
              "Notes AS n ON (c.ID = n.CustomerID);");
    EXPECT_EQ(run("select * from Joined order by OrderID"),
              "Ann|10|vip\nAnn|11|vip\nBob|12|NULL\nCid|13|NULL\n");
    run("create view RightNested as select c.Name, o.OrderID from Notes n right join "
        "(Customers c inner join Orders o on c.ID = o.CustomerID) on n.CustomerID = c.ID");
    EXPECT_EQ(*storage->viewText("RightNested"),
              "SELECT c.Name, o.OrderID\r\n"
              "FROM Notes AS n RIGHT JOIN (Customers AS c INNER JOIN Orders AS o ON (c.ID = "
              "o.CustomerID)) ON (n.CustomerID = c.ID);");
    EXPECT_EQ(run("select count(*) from RightNested"), "4\n");
}

TEST_F(Views, UnionAndParametersAreKept) {
    run("create view Places as select City from Customers where City is not null union select "
        "'Rome' from Orders order by City");
    EXPECT_EQ(run("select * from Places"), "Oslo\nParis\nRome\n");
    run("create procedure ByCity ([Which City] text(30)) as select Name from Customers where "
        "City = [Which City]");
    EXPECT_EQ(storage->viewNames(), std::vector<std::string>{"ByCity"});
    EXPECT_EQ(*storage->viewText("ByCity"), "PARAMETERS [Which City] Text(30);\r\n"
                                            "SELECT Name\r\nFROM Customers\r\n"
                                            "WHERE (City = [Which City]);");
    auto result = session->execute("select Name from ByCity order by Name",
                                   std::vector<core::Value>{core::Value("Paris")});
    EXPECT_EQ(sql::resultText(result), "Ann\nCid\n");
    run("drop procedure ByCity");
    // A parameter of any type, as Access saves one whose type was left open.
    run("create procedure Named (Who value) as select ID from Customers where Name = Who");
    EXPECT_EQ(*storage->viewText("Named"), "PARAMETERS Who Value;\r\n"
                                           "SELECT ID\r\nFROM Customers\r\n"
                                           "WHERE (Name = Who);");
    auto named =
        session->execute("select ID from Named", std::vector<core::Value>{core::Value("cid")});
    EXPECT_EQ(sql::resultText(named), run("select ID from Customers where Name = 'Cid'"));
    run("drop procedure Named");
    run("drop view Places");
    EXPECT_FALSE(database->hasQuery("Places"));
    expectSound();
}

TEST_F(Views, NamesClashWithTablesAndViews) {
    run("create view V as select Name from Customers");
    EXPECT_EQ(errorOf("create view customers as select Name from Customers"),
              "Table 'customers' already exists.");
    EXPECT_EQ(errorOf("create view v as select City from Customers"), "Table 'v' already exists.");
    EXPECT_EQ(errorOf("create table V (x long)"), "Table 'V' already exists.");
    EXPECT_EQ(storage->viewNames(), std::vector<std::string>{"V"});
    EXPECT_EQ(storage->tableNames(), (std::vector<std::string>{"Customers", "Orders"}));
}

TEST_F(Views, Errors) {
    EXPECT_NE(errorOf("drop view Nothing").find("cannot find the input table or query 'Nothing'"),
              std::string::npos);
    EXPECT_EQ(errorOf("drop view Customers"),
              "'Customers' is a table, not a saved query; use DROP TABLE.");
    EXPECT_NE(errorOf("create view W as select x from Missing").find("'Missing'"),
              std::string::npos);
    EXPECT_EQ(errorOf("create view W as select Name into Copy from Customers"),
              "A saved select query cannot create a table (SELECT ... INTO).");
    EXPECT_EQ(errorOf("create view W as select Name from Customers where ID = ?"),
              "A saved query cannot hold \"?\" parameters; name them instead.");
    EXPECT_EQ(errorOf("create view W as delete from Customers"),
              "Syntax error in CREATE VIEW statement.");
    EXPECT_EQ(errorOf("create view as select 1"), "Syntax error in CREATE VIEW statement.");
    EXPECT_EQ(errorOf("drop view"), "Syntax error in DROP VIEW or DROP PROCEDURE.");
    EXPECT_TRUE(storage->viewNames().empty());
    // A view over a view.
    run("create view A1 as select Name from Customers");
    run("create view A2 as select Name from A1");
    EXPECT_EQ(run("select count(*) from A2"), "4\n");
    expectSound();
}

TEST_F(Views, CreateViewRollsBackWithItsTransaction) {
    run("begin transaction");
    run("create view T1 as select Name from Customers");
    EXPECT_EQ(run("select count(*) from T1"), "4\n");
    run("rollback");
    EXPECT_TRUE(storage->viewNames().empty());
    EXPECT_FALSE(database->hasQuery("T1"));
    run("begin transaction");
    run("create view T2 as select Name from Customers");
    run("commit");
    reopen();
    EXPECT_EQ(storage->viewNames(), std::vector<std::string>{"T2"});
    expectSound();
}

TEST_F(Views, ActionQueriesAreNotRowSources) {
    // A make-table query as Access would leave it: kind bits 0x50, type row 2.
    run("create view Plain as select Name from Customers");
    // Rewrite the new query's catalog flags to a make-table query's.
    const jet::CatalogEntry* entry =
        database->catalog().findObject("Plain", jet::ObjectType::Query);
    ASSERT_NE(entry, nullptr);
    auto objects = database->table("MSysObjects");
    std::size_t idAt = 0, flagsAt = 0;
    for (std::size_t i = 0; i < objects.schema().columns.size(); ++i) {
        if (objects.schema().columns[i].name == "Id") idAt = i;
        if (objects.schema().columns[i].name == "Flags") flagsAt = i;
    }
    std::optional<jet::RowId> row;
    auto cursor = objects.scan();
    while (cursor.next())
        if (cursor.value(idAt) == core::Value(entry->id)) row = cursor.rowId();
    ASSERT_TRUE(row);
    database->begin();
    auto values = database->readRow("MSysObjects", *row);
    values[flagsAt] = core::Value(std::int32_t{0x50});
    database->updateRow("MSysObjects", *row, values);
    database->commit();
    reopen();
    EXPECT_TRUE(storage->viewNames().empty()); // not a view any more
    EXPECT_EQ(errorOf("select * from Plain"),
              "The action query 'Plain' cannot be used as a row source.");
    EXPECT_EQ(errorOf("create table Plain (x long)"), "Table 'Plain' already exists.");
    run("drop procedure Plain");
    EXPECT_FALSE(database->hasQuery("Plain"));
}

TEST(ViewSyntax, StatementsParseToTheirParts) {
    const auto view = sql::parseStatement("CREATE VIEW [My View] AS SELECT a FROM T;");
    ASSERT_NE(view.as<sql::CreateView>(), nullptr);
    EXPECT_EQ(sql::toText(view), "create view [My View] as select a from T");
    const auto procedure =
        sql::parseStatement("create procedure P ([a b] text(5), n long) as select a from T where "
                            "a = [a b] and n > 0");
    ASSERT_NE(procedure.as<sql::CreateView>(), nullptr);
    EXPECT_TRUE(procedure.as<sql::CreateView>()->procedure);
    EXPECT_EQ(procedure.as<sql::CreateView>()->parameters.size(), 2u);
    EXPECT_EQ(sql::toText(procedure), "create procedure P ([a b] text(5), n long) as select a from "
                                      "T where ((a = [a b]) and (n > 0))");
    EXPECT_EQ(sql::toText(sql::parseStatement("drop view V")), "drop view V");
    EXPECT_EQ(sql::toText(sql::parseStatement("DROP PROCEDURE P;")), "drop procedure P");
    // "view" stays usable as a name (the printer brackets every keyword it writes as one).
    EXPECT_EQ(sql::toText(sql::parseStatement("select view from T")), "select [view] from T");
}

// The same statements on tables in memory, which keep a view's text as the printer writes it.
TEST(MemoryViews, CreateSelectDrop) {
    sql::MemoryStorage storage;
    sql::Session session(storage);
    for (const char* sql : kTables) session.execute(sql);
    session.execute("create view Paris as select Name from Customers where City = 'Paris'");
    EXPECT_EQ(storage.viewNames(), std::vector<std::string>{"Paris"});
    auto result = session.execute("select * from Paris order by Name");
    EXPECT_EQ(sql::resultText(result), "Ann\nCid\n");
    EXPECT_THROW(session.execute("create view paris as select 1 from Customers"), core::SqlError);
    session.execute("drop view Paris");
    EXPECT_TRUE(storage.viewNames().empty());
    EXPECT_THROW(session.execute("drop view Paris"), core::SqlError);
}

} // namespace
