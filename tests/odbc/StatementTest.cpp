// The driver's statements on a real file without a driver manager in between: parameter
// arrays, data at execution, static cursors, cursors that outlive another statement's change,
// manual commit.
#include "odbc/CData.h"
#include "odbc/Handles.h"
#include "sql/engine/Session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

class StatementTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::path(TABLORY_TEST_OUTPUT) /
                (std::string("odbc-") +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".mdb");
        std::filesystem::remove(path_);
        odbc::ConnectSettings settings;
        settings.file = path_.string();
        settings.create = true;
        connection_.connect(settings);
        odbc::Statement s(connection_);
        s.execDirect("create table T (Id long primary key, Name text(10))");
    }

    std::vector<std::int32_t> ids(odbc::Statement& s) {
        std::vector<std::int32_t> out;
        while (s.fetch(SQL_FETCH_NEXT, 0) == SQL_SUCCESS) out.push_back(id(s));
        return out;
    }

    static std::int32_t id(odbc::Statement& s) {
        SQLINTEGER value = 0;
        SQLLEN indicator = 0;
        EXPECT_EQ(s.getData(1, {SQL_C_SLONG, &value, sizeof value, &indicator}), SQL_SUCCESS);
        return value;
    }

    std::filesystem::path path_;
    odbc::Environment environment_;
    odbc::Connection connection_{environment_};
};

TEST_F(StatementTest, ParameterArraysRunOneStatementPerSet) {
    odbc::Statement s(connection_);
    s.prepare("insert into T (Id, Name) values (?, ?)");
    // Column-wise: one array per parameter.
    SQLINTEGER idValues[3] = {1, 2, 3};
    SQLLEN idLengths[3] = {4, 4, 4};
    char names[3][11] = {"a", "bb", ""};
    SQLLEN nameLengths[3] = {SQL_NTS, SQL_NTS, SQL_NULL_DATA};
    s.parameters = {
        {SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, idValues, 0, idLengths, true},
        {SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 10, 0, names, 11, nameLengths, true}};
    SQLULEN processed = 0;
    SQLUSMALLINT status[3] = {};
    s.paramsetSize = 3;
    s.paramsProcessed = &processed;
    s.paramStatus = status;
    EXPECT_EQ(s.execute(), SQL_SUCCESS);
    EXPECT_EQ(s.rowCount(), 3);
    EXPECT_EQ(processed, 3u);

    // Row-wise and run directly, with a duplicate key in the middle: that set fails alone.
    struct Row {
        SQLINTEGER id;
        SQLLEN idLength;
        char name[11];
        SQLLEN nameLength;
    } rows[3] = {{4, 4, "d", SQL_NTS}, {1, 4, "dup", SQL_NTS}, {5, 4, "e", SQL_NTS}};
    s.parameters = {
        {SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &rows[0].id, 0, &rows[0].idLength, true},
        {SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 10, 0, rows[0].name, 11, &rows[0].nameLength,
         true}};
    s.paramBindType = sizeof(Row);
    EXPECT_EQ(s.execDirect("insert into T (Id, Name) values (?, ?)"), SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(s.rowCount(), 2);
    EXPECT_EQ(status[0], SQL_PARAM_SUCCESS);
    EXPECT_EQ(status[1], SQL_PARAM_ERROR);
    EXPECT_EQ(status[2], SQL_PARAM_SUCCESS);
    EXPECT_EQ(connection_.session().transactionDepth(), 0) << "the batch was committed";
    ASSERT_EQ(s.diagnostics.records().size(), 1u);
    EXPECT_EQ(s.diagnostics.records()[0].state, "23000");

    odbc::Statement check(connection_);
    check.execDirect("select Id from T where Name is null or Name = 'bb' order by Id");
    EXPECT_EQ(ids(check), (std::vector<std::int32_t>{2, 3}));
}

TEST_F(StatementTest, PreparedInsertFollowsTheTableThroughARedefinition) {
    odbc::Statement s(connection_);
    s.prepare("insert into T (Name, Id) values (?, ?)");
    odbc::Statement ddl(connection_);
    ddl.execDirect("drop table T");
    ddl.execDirect("create table T (Extra long, Name text(10), Id long primary key)");
    char name[] = "x";
    SQLINTEGER idValue = 7;
    SQLLEN nameLength = SQL_NTS, idLength = 4;
    s.parameters = {
        {SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 10, 0, name, 2, &nameLength, true},
        {SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &idValue, 0, &idLength, true}};
    EXPECT_EQ(s.execute(), SQL_SUCCESS);
    EXPECT_EQ(s.rowCount(), 1);
    odbc::Statement check(connection_);
    check.execDirect("select Id from T where Name = 'x' and Extra is null");
    EXPECT_EQ(ids(check), (std::vector<std::int32_t>{7}));
}

TEST_F(StatementTest, DescribeParamTellsTheColumnsTheMarkersMeet) {
    odbc::Statement ddl(connection_);
    ddl.execDirect("create table U (Id long primary key, Stamp datetime, Money currency, "
                   "Code text(4) not null)");
    const struct {
        const char* text;
        std::vector<std::pair<SQLSMALLINT, SQLULEN>> types; // per parameter
        SQLSMALLINT firstNullable;
    } cases[] = {
        {"insert into T (Name, Id) values (?, ?)",
         {{SQL_WVARCHAR, 10}, {SQL_INTEGER, 10}},
         SQL_NULLABLE},
        {"insert into U values (?, ?, ?, ?)",
         {{SQL_INTEGER, 10}, {SQL_TYPE_TIMESTAMP, 19}, {SQL_DECIMAL, 19}, {SQL_WVARCHAR, 4}},
         SQL_NULLABLE},
        {"select Id from T where Name like ? and Id between ? and ?",
         {{SQL_WVARCHAR, 10}, {SQL_INTEGER, 10}, {SQL_INTEGER, 10}},
         SQL_NULLABLE},
        {"update U set Code = ? where ? > Stamp or Money in (1, ?)",
         {{SQL_WVARCHAR, 4}, {SQL_TYPE_TIMESTAMP, 19}, {SQL_DECIMAL, 19}},
         SQL_NO_NULLS},
        {"select t.Id from T as t inner join U as u on u.Id = t.Id where u.Stamp = ?",
         {{SQL_TYPE_TIMESTAMP, 19}},
         SQL_NULLABLE},
        {"parameters [From] datetime; select Id from U where Stamp > [From] and Id = ?",
         {{SQL_TYPE_TIMESTAMP, 19}, {SQL_INTEGER, 10}},
         SQL_NULLABLE},
        // Nothing to go by: text of the usual size, nullability unknown.
        {"select ? + 1 from T", {{SQL_WVARCHAR, 255}}, SQL_NULLABLE_UNKNOWN},
    };
    for (const auto& c : cases) {
        odbc::Statement s(connection_);
        s.prepare(c.text);
        SQLSMALLINT count = 0;
        s.numParams(&count);
        ASSERT_EQ(static_cast<std::size_t>(count), c.types.size()) << c.text;
        for (std::size_t i = 0; i < c.types.size(); ++i) {
            SQLSMALLINT type = 0, digits = -1, nullable = -1;
            SQLULEN size = 0;
            EXPECT_EQ(
                s.describeParam(static_cast<SQLUSMALLINT>(i + 1), &type, &size, &digits, &nullable),
                SQL_SUCCESS);
            EXPECT_EQ(type, c.types[i].first) << c.text << " parameter " << i + 1;
            EXPECT_EQ(size, c.types[i].second) << c.text << " parameter " << i + 1;
            if (i == 0) {
                EXPECT_EQ(nullable, c.firstNullable) << c.text;
            }
        }
        EXPECT_THROW(s.describeParam(static_cast<SQLUSMALLINT>(c.types.size() + 1), nullptr,
                                     nullptr, nullptr, nullptr),
                     odbc::OdbcError);
    }
}

TEST_F(StatementTest, DataAtExecutionArrivesInPieces) {
    odbc::Statement s(connection_);
    s.prepare("insert into T (Id, Name) values (?, ?)");
    SQLINTEGER idValue = 9;
    SQLLEN idLength = 4, nameLength = SQL_DATA_AT_EXEC;
    int token = 0;
    s.parameters = {
        {SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &idValue, 0, &idLength, true},
        {SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 10, 0, &token, 0, &nameLength, true}};
    ASSERT_EQ(s.execute(), SQL_NEED_DATA);
    SQLPOINTER asked = nullptr;
    ASSERT_EQ(s.paramData(&asked), SQL_NEED_DATA);
    EXPECT_EQ(asked, &token);
    s.putData(const_cast<char*>("ab"), 2);
    s.putData(const_cast<char*>("cd"), SQL_NTS);
    EXPECT_EQ(s.paramData(&asked), SQL_SUCCESS);

    s.resetParameters();
    s.execDirect("select Name from T where Id = 9");
    ASSERT_EQ(s.fetch(SQL_FETCH_NEXT, 0), SQL_SUCCESS);
    char name[3];
    SQLLEN indicator = 0;
    // In pieces: "ab", then "cd", then no more.
    EXPECT_EQ(s.getData(1, {SQL_C_CHAR, name, sizeof name, &indicator}), SQL_SUCCESS_WITH_INFO);
    EXPECT_STREQ(name, "ab");
    EXPECT_EQ(indicator, 4);
    EXPECT_EQ(s.getData(1, {SQL_C_CHAR, name, sizeof name, &indicator}), SQL_SUCCESS);
    EXPECT_STREQ(name, "cd");
    EXPECT_EQ(s.getData(1, {SQL_C_CHAR, name, sizeof name, &indicator}), SQL_NO_DATA);
}

TEST_F(StatementTest, StaticCursorsScrollEveryWay) {
    odbc::Statement s(connection_);
    for (int i = 1; i <= 5; ++i)
        s.execDirect("insert into T (Id) values (" + std::to_string(i) + ")");
    s.cursorType = SQL_CURSOR_STATIC;
    s.execDirect("select Id from T order by Id");
    EXPECT_EQ(s.rowCount(), 5);
    const struct {
        SQLSMALLINT orientation;
        SQLLEN offset;
        int expected; // 0: no row
    } moves[] = {
        {SQL_FETCH_LAST, 0, 5},      {SQL_FETCH_PRIOR, 0, 4},     {SQL_FETCH_ABSOLUTE, 1, 1},
        {SQL_FETCH_ABSOLUTE, -2, 4}, {SQL_FETCH_RELATIVE, 10, 0}, {SQL_FETCH_PRIOR, 0, 5},
        {SQL_FETCH_FIRST, 0, 1},     {SQL_FETCH_PRIOR, 0, 0},     {SQL_FETCH_NEXT, 0, 1},
    };
    for (const auto& m : moves) {
        const SQLRETURN r = s.fetch(m.orientation, m.offset);
        if (m.expected == 0) {
            EXPECT_EQ(r, SQL_NO_DATA) << m.orientation;
        } else {
            ASSERT_EQ(r, SQL_SUCCESS) << m.orientation;
            EXPECT_EQ(id(s), m.expected) << m.orientation << " " << m.offset;
        }
    }
    s.cursorType = SQL_CURSOR_FORWARD_ONLY;
    s.execDirect("select Id from T");
    EXPECT_THROW(s.fetch(SQL_FETCH_PRIOR, 0), odbc::OdbcError);
}

TEST_F(StatementTest, RowsetsFillColumnAndRowWiseBuffers) {
    odbc::Statement writer(connection_);
    for (int i = 1; i <= 7; ++i)
        writer.execDirect("insert into T (Id, Name) values (" + std::to_string(i) + ", " +
                          (i == 2 ? std::string("null") : "'n" + std::to_string(i) + "'") + ")");
    SQLULEN fetched = 0;
    SQLUSMALLINT status[3] = {};
    // Column-wise: an array per column, on a forward-only stream and on a static cursor.
    for (SQLULEN cursor : {SQL_CURSOR_FORWARD_ONLY, SQL_CURSOR_STATIC}) {
        odbc::Statement s(connection_);
        s.cursorType = cursor;
        s.rowArraySize = 3;
        s.rowsFetched = &fetched;
        s.rowStatus = status;
        SQLINTEGER idValues[3] = {};
        SQLLEN idLengths[3] = {};
        char names[3][4] = {};
        SQLLEN nameLengths[3] = {};
        s.bound = {{SQL_C_SLONG, idValues, 0, idLengths}, {SQL_C_CHAR, names, 4, nameLengths}};
        s.execDirect("select Id, Name from T order by Id");
        ASSERT_EQ(s.fetch(SQL_FETCH_NEXT, 0), SQL_SUCCESS);
        EXPECT_EQ(fetched, 3u);
        EXPECT_EQ(idValues[2], 3);
        EXPECT_STREQ(names[0], "n1");
        EXPECT_EQ(nameLengths[1], SQL_NULL_DATA);
        EXPECT_STREQ(names[2], "n3");
        ASSERT_EQ(s.fetch(SQL_FETCH_NEXT, 0), SQL_SUCCESS);
        EXPECT_EQ(idValues[0], 4);
        ASSERT_EQ(s.fetch(SQL_FETCH_NEXT, 0), SQL_SUCCESS);
        EXPECT_EQ(fetched, 1u);
        EXPECT_EQ(idValues[0], 7);
        EXPECT_EQ(status[0], SQL_ROW_SUCCESS);
        EXPECT_EQ(status[1], SQL_ROW_NOROW);
        // SQLGetData reads the rowset's first row.
        EXPECT_EQ(id(s), 7);
        EXPECT_EQ(s.fetch(SQL_FETCH_NEXT, 0), SQL_NO_DATA);
        EXPECT_EQ(fetched, 0u);
    }

    // Row-wise: one structure per row; scrolling by rowsets.
    struct Row {
        SQLINTEGER id;
        SQLLEN idLength;
        char name[4];
        SQLLEN nameLength;
    } rows[3] = {};
    odbc::Statement s(connection_);
    s.cursorType = SQL_CURSOR_STATIC;
    s.rowArraySize = 3;
    s.rowBindType = sizeof(Row);
    s.rowsFetched = &fetched;
    s.rowStatus = status;
    s.bound = {{SQL_C_SLONG, &rows[0].id, 0, &rows[0].idLength},
               {SQL_C_CHAR, rows[0].name, 4, &rows[0].nameLength}};
    s.execDirect("select Id, Name from T order by Id");
    const struct {
        SQLSMALLINT orientation;
        SQLLEN offset;
        int first; // 0: no rows
        SQLULEN count;
    } moves[] = {
        {SQL_FETCH_LAST, 0, 5, 3},      {SQL_FETCH_PRIOR, 0, 2, 3},
        {SQL_FETCH_PRIOR, 0, 1, 3},     {SQL_FETCH_PRIOR, 0, 0, 0},
        {SQL_FETCH_NEXT, 0, 1, 3},      {SQL_FETCH_ABSOLUTE, 6, 6, 2},
        {SQL_FETCH_RELATIVE, -2, 4, 3}, {SQL_FETCH_ABSOLUTE, -1, 7, 1},
        {SQL_FETCH_NEXT, 0, 0, 0},
    };
    for (const auto& m : moves) {
        const SQLRETURN r = s.fetch(m.orientation, m.offset);
        EXPECT_EQ(fetched, m.count) << m.orientation << " " << m.offset;
        if (m.first == 0) {
            EXPECT_EQ(r, SQL_NO_DATA) << m.orientation;
            continue;
        }
        ASSERT_EQ(r, SQL_SUCCESS) << m.orientation << " " << m.offset;
        EXPECT_EQ(rows[0].id, m.first) << m.orientation << " " << m.offset;
        if (m.count > 1) {
            EXPECT_EQ(rows[1].id, m.first + 1);
        }
        EXPECT_EQ(rows[0].nameLength, m.first == 2 ? SQL_NULL_DATA : 2);
    }
}

TEST_F(StatementTest, SetPosChangesTheRowsOfAStaticCursor) {
    odbc::Statement writer(connection_);
    for (int i = 1; i <= 4; ++i)
        writer.execDirect("insert into T (Id, Name) values (" + std::to_string(i) + ", 'n" +
                          std::to_string(i) + "')");
    odbc::Statement s(connection_);
    s.cursorType = SQL_CURSOR_STATIC;
    s.rowArraySize = 2;
    SQLINTEGER idValues[2] = {};
    SQLLEN idLengths[2] = {};
    char names[2][11] = {};
    SQLLEN nameLengths[2] = {};
    SQLUSMALLINT status[2] = {};
    s.rowStatus = status;
    s.bound = {{SQL_C_SLONG, idValues, 0, idLengths}, {SQL_C_CHAR, names, 11, nameLengths}};
    s.execDirect("select Id, Name from T order by Id");
    ASSERT_EQ(s.fetch(SQL_FETCH_NEXT, 0), SQL_SUCCESS);
    // Read-only until the application asks for more.
    EXPECT_THROW(s.setPos(1, SQL_DELETE), odbc::OdbcError);
    s.concurrency = SQL_CONCUR_LOCK;

    s.setPos(2, SQL_POSITION);
    EXPECT_EQ(id(s), 2);
    EXPECT_EQ(s.rowNumber(), 2);
    EXPECT_THROW(s.setPos(3, SQL_POSITION), odbc::OdbcError);

    // Update row 2 from its buffers; the Id is left as it is.
    std::strcpy(names[1], "changed");
    nameLengths[1] = SQL_NTS;
    idLengths[1] = SQL_COLUMN_IGNORE;
    EXPECT_EQ(s.setPos(2, SQL_UPDATE), SQL_SUCCESS);
    EXPECT_EQ(status[1], SQL_ROW_UPDATED);
    EXPECT_EQ(s.rowCount(), 1);
    EXPECT_EQ(idValues[1], 2);
    // Delete row 1, then fetch the next rowset and add two rows from the buffers.
    EXPECT_EQ(s.setPos(1, SQL_DELETE), SQL_SUCCESS);
    EXPECT_EQ(status[0], SQL_ROW_DELETED);
    EXPECT_THROW(s.setPos(1, SQL_UPDATE), odbc::OdbcError) << "the row is gone";
    ASSERT_EQ(s.fetch(SQL_FETCH_FIRST, 0), SQL_SUCCESS);
    EXPECT_EQ(status[0], SQL_ROW_DELETED);
    EXPECT_EQ(status[1], SQL_ROW_SUCCESS);
    EXPECT_STREQ(names[1], "changed");
    // A change made elsewhere shows after SQL_REFRESH.
    writer.execDirect("update T set Name = 'fresh' where Id = 2");
    EXPECT_EQ(s.setPos(0, SQL_REFRESH), SQL_SUCCESS);
    EXPECT_STREQ(names[1], "fresh");
    idValues[0] = 10;
    idValues[1] = 2; // a duplicate key: that row alone fails
    idLengths[0] = idLengths[1] = 4;
    std::strcpy(names[0], "ten");
    nameLengths[0] = SQL_NTS;
    EXPECT_EQ(s.addRows(), SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(status[0], SQL_ROW_ADDED);
    EXPECT_EQ(status[1], SQL_ROW_ERROR);

    writer.execDirect("select Id from T where Name = 'fresh' or Name = 'ten' or Id = 3 "
                      "order by Id");
    EXPECT_EQ(ids(writer), (std::vector<std::int32_t>{2, 3, 10}));
    writer.execDirect("select count(*) from T");
    ASSERT_EQ(writer.fetch(SQL_FETCH_NEXT, 0), SQL_SUCCESS);
    EXPECT_EQ(id(writer), 4);

    // A join or a forward-only stream changes nothing through the cursor.
    odbc::Statement joined(connection_);
    joined.cursorType = SQL_CURSOR_STATIC;
    joined.concurrency = SQL_CONCUR_LOCK;
    joined.execDirect("select a.Id from T as a, T as b where a.Id = b.Id");
    ASSERT_EQ(joined.fetch(SQL_FETCH_NEXT, 0), SQL_SUCCESS);
    EXPECT_THROW(joined.setPos(1, SQL_DELETE), odbc::OdbcError);
    EXPECT_EQ(joined.setPos(1, SQL_REFRESH), SQL_SUCCESS);
}

TEST_F(StatementTest, ReadingCursorSurvivesAnotherStatementsChange) {
    odbc::Statement writer(connection_);
    for (int i = 1; i <= 5; ++i)
        writer.execDirect("insert into T (Id) values (" + std::to_string(i) + ")");
    odbc::Statement reader(connection_);
    reader.execDirect("select Id from T order by Id");
    ASSERT_EQ(reader.fetch(SQL_FETCH_NEXT, 0), SQL_SUCCESS);
    EXPECT_EQ(id(reader), 1);
    // The change waits for nothing: the reader keeps the rows as they were when it read.
    EXPECT_EQ(writer.execDirect("delete from T where Id >= 2"), SQL_SUCCESS);
    EXPECT_EQ(ids(reader), (std::vector<std::int32_t>{2, 3, 4, 5}));
    writer.execDirect("select Id from T");
    EXPECT_EQ(ids(writer), (std::vector<std::int32_t>{1}));
}

TEST_F(StatementTest, ManualCommitRollsBackAndCommits) {
    odbc::Statement s(connection_);
    connection_.setAutocommit(false);
    s.execDirect("insert into T (Id) values (1)");
    s.execDirect("create table U (X long)");
    connection_.endTransaction(false);
    s.execDirect("select Id from T");
    EXPECT_TRUE(ids(s).empty());
    EXPECT_THROW(s.execDirect("select X from U"), std::exception) << "the table came back";
    s.execDirect("insert into T (Id) values (2)");
    connection_.endTransaction(true);
    connection_.setAutocommit(true);
    connection_.disconnect();
    odbc::ConnectSettings settings;
    settings.file = path_.string();
    connection_.connect(settings);
    odbc::Statement again(connection_);
    again.execDirect("select Id from T");
    EXPECT_EQ(ids(again), (std::vector<std::int32_t>{2}));
}

} // namespace
