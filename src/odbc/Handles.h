#pragma once
// The three ODBC handles: an environment, a connection to one Jet file through the SQL
// engine's session, and a statement with its parameters, bound columns and result. The
// engine serves one caller at a time, so the handles are meant for one thread, as the
// engine is.
#include "odbc/ColumnDescription.h"
#include "odbc/ConnectSettings.h"
#include "odbc/Diagnostics.h"
#include "odbc/OdbcApi.h"
#include "odbc/ParameterTargets.h"

#include "core/Value.h"
#include "sql/engine/ResultSet.h"
#include "sql/engine/storage/RowLocator.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace jet {
class Database;
}
namespace sql {
class JetStorage;
class Session;
struct ParameterInfo;
} // namespace sql

namespace odbc {

enum class HandleKind : std::uint32_t {
    Environment = 0x54454e56, // "TENV"
    Connection = 0x5444424b,
    Statement = 0x54535454,
};

struct Handle {
    explicit Handle(HandleKind k) : kind(k) {}
    HandleKind kind;
    Diagnostics diagnostics;
};

class Statement;
struct CBuffer;

struct Environment : Handle {
    Environment() : Handle(HandleKind::Environment) {}
    SQLINTEGER odbcVersion = SQL_OV_ODBC3;
};

class Connection : public Handle {
public:
    explicit Connection(Environment& env);
    ~Connection();

    // Opens the file; a second writer gets the engine's "file already in use".
    void connect(const ConnectSettings& settings);
    // An open transaction is rolled back, as Jet does when a connection goes away.
    void disconnect();
    bool connected() const { return session_ != nullptr; }
    sql::Session& session();
    jet::Database& database();
    const ConnectSettings& settings() const { return settings_; }

    bool autocommit() const { return autocommit_; }
    // Turning autocommit on commits what is open.
    void setAutocommit(bool on);
    void endTransaction(bool commit);
    // In autocommit mode with no transaction open, opens one around a batch of changes (an
    // array of parameter sets) so that it is saved once, not once per set; true when it did.
    bool beginBatch();
    void endBatch(bool commit);
    // Before a statement runs: other statements' cursors stop reading through the engine,
    // and in manual-commit mode a transaction begins.
    void beforeStatement(const Statement& runner, bool changes);

    void attach(Statement& s) { statements_.push_back(&s); }
    void detach(Statement& s);
    // The statements allocated on this connection and not yet freed.
    std::vector<Statement*> statements() const { return statements_; }

    Environment& environment;
    // Counts statements that changed table definitions, so that a prepared statement knows
    // when what it learnt of its tables may be stale.
    std::uint64_t definitionChanges = 0;
    SQLUINTEGER loginTimeout = 0;
    SQLUINTEGER accessMode = SQL_MODE_READ_WRITE;

private:
    ConnectSettings settings_;
    std::unique_ptr<jet::Database> database_;
    std::unique_ptr<sql::JetStorage> storage_;
    std::unique_ptr<sql::Session> session_;
    bool autocommit_ = true;
    std::vector<Statement*> statements_;
};

// A parameter as SQLBindParameter describes it.
struct Parameter {
    SQLSMALLINT ioType = SQL_PARAM_INPUT;
    SQLSMALLINT cType = SQL_C_CHAR;
    SQLSMALLINT sqlType = SQL_VARCHAR;
    SQLULEN columnSize = 0;
    SQLSMALLINT digits = 0;
    SQLPOINTER value = nullptr;
    SQLLEN bufferLength = 0;
    SQLLEN* indicator = nullptr;
    bool bound = false;
};

struct BoundColumn {
    SQLSMALLINT cType = 0;
    SQLPOINTER data = nullptr;
    SQLLEN length = 0;
    SQLLEN* indicator = nullptr;
};

// The rows a statement gives: its columns and either the engine's stream (forward-only
// reading) or rows held in memory (static cursors, catalog functions, a stream another
// statement's change interrupted).
struct RowSet {
    std::vector<ColumnDescription> columns;
    std::optional<sql::ResultSet> stream;
    std::vector<std::vector<core::Value>> rows;
    // A static result of one base table: the table, where each row is stored and the table
    // column each result column shows, so that SQLSetPos can change and re-read rows.
    std::string table;
    std::size_t tableColumnCount = 0;
    std::vector<std::optional<std::size_t>> tableColumns;
    std::vector<std::optional<sql::RowLocator>> locators;
    std::vector<bool> deleted;
    // The first row of the rowset in rows; -1 before the first, rows.size() after the last.
    std::int64_t position = -1;
    // The rows of the last fetch (into rows, or the stream's rows) and the current one.
    std::vector<const std::vector<core::Value>*> rowset;
    std::size_t currentInRowset = 0;
    std::vector<std::vector<core::Value>> streamed; // a stream's rows of a multi-row fetch

    const std::vector<core::Value>* current() const {
        return rowset.empty() ? nullptr : rowset[currentInRowset];
    }
};

class Statement : public Handle {
public:
    explicit Statement(Connection& c);
    ~Statement();

    SQLRETURN prepare(std::string text);
    SQLRETURN execute();
    SQLRETURN execDirect(std::string text);
    // Data at execution: the next parameter that waits for data, or the statement run.
    SQLRETURN paramData(SQLPOINTER* token);
    SQLRETURN putData(SQLPOINTER data, SQLLEN length);
    SQLRETURN numParams(SQLSMALLINT* count);
    // The type, size and nullability a parameter takes: its PARAMETERS declaration, the
    // column it is inserted into or compared with, else text.
    SQLRETURN describeParam(SQLUSMALLINT number, SQLSMALLINT* type, SQLULEN* size,
                            SQLSMALLINT* digits, SQLSMALLINT* nullable);
    // Gives up a statement waiting for data at execution.
    void cancel();
    // Whether a row is current (SQLSetPos has one to point at).
    bool onRow() const { return rows_.current() != nullptr; }
    SQLLEN rowNumber() const {
        return rows_.stream || !rows_.current()
                   ? 0
                   : rows_.position + static_cast<SQLLEN>(rows_.currentInRowset) + 1;
    }

    // Replaces the result by rows built here (catalog functions).
    void setRows(std::vector<ColumnDescription> columns,
                 std::vector<std::vector<core::Value>> rows);
    bool hasCursor() const { return cursorOpen_; }
    void closeCursor();
    SQLRETURN fetch(SQLSMALLINT orientation, SQLLEN offset);
    SQLRETURN getData(SQLUSMALLINT column, const CBuffer& buffer);
    // SQLSetPos: moves within the rowset, re-reads rows, or writes the bound buffers' values
    // to the stored row or deletes it (a static cursor over one table). `row` 0 is every row
    // of the rowset.
    SQLRETURN setPos(SQLSETPOSIROW row, SQLUSMALLINT operation);
    // SQLBulkOperations(SQL_ADD): the bound buffers' rows inserted into the cursor's table.
    SQLRETURN addRows();
    // Holds the rest of a streamed result in memory so that the engine may change tables.
    void detachStream();

    const std::vector<ColumnDescription>& columns() const { return rows_.columns; }
    SQLLEN rowCount() const { return rowCount_; }
    void resetParameters() { parameters.clear(); }
    void unbindColumns() { bound.clear(); }

    Connection& connection;
    std::vector<Parameter> parameters; // index 0 is parameter 1
    std::vector<BoundColumn> bound;    // index 0 is column 1
    SQLULEN cursorType = SQL_CURSOR_FORWARD_ONLY;
    SQLULEN paramsetSize = 1;
    SQLULEN paramBindType = SQL_PARAM_BIND_BY_COLUMN;
    SQLULEN* paramsProcessed = nullptr;
    SQLUSMALLINT* paramStatus = nullptr;
    SQLULEN rowArraySize = 1;
    SQLULEN rowBindType = SQL_BIND_BY_COLUMN;
    SQLULEN concurrency = SQL_CONCUR_READ_ONLY;
    SQLULEN* rowsFetched = nullptr;
    SQLUSMALLINT* rowStatus = nullptr;
    SQLULEN maxRows = 0;
    SQLULEN queryTimeout = 0;
    SQLLEN* bindOffset = nullptr;
    SQLLEN* paramBindOffset = nullptr;

private:
    SQLRETURN run();
    core::Value parameterValue(std::size_t index, std::size_t row);
    // A plain INSERT of markers written through the session's row insert: the statement was
    // parsed once when prepared, not again for each set of parameters.
    void insertDirectly(const DirectInsert& insert, std::vector<core::Value>& values);
    // One set of parameters through the engine; a result with rows becomes the cursor.
    void runOnce(std::span<const core::Value> values);
    // Where a parameter's value and indicator are for one set of an array.
    std::pair<const char*, const char*> boundAddress(std::size_t index, std::size_t row) const;
    SQLRETURN moveTo(std::int64_t position);
    // Writes the rowset into the bound buffers and sets the rows fetched and their status.
    SQLRETURN deliver();
    SQLUSMALLINT writeBoundRow(std::size_t index);
    // A bound column's buffer for one row of the rowset.
    CBuffer boundBuffer(std::size_t column, std::size_t row) const;
    // The table's values the bound buffers of one rowset row give (nullopt: not given).
    std::vector<std::optional<core::Value>> boundValues(std::size_t row) const;
    // The cursor's table and the stored row of one rowset row, for a change through it.
    const sql::RowLocator& locatorOf(std::size_t row) const;
    void showStoredRow(std::size_t row, const std::vector<core::Value>& stored);

    std::string text_;
    bool prepared_ = false;
    std::vector<sql::ParameterInfo> parameterInfo_;
    std::optional<ParameterTargets> targets_; // of a prepared statement
    std::uint64_t targetsAsOf_ = 0;           // the connection's definitionChanges then
    RowSet rows_;
    bool cursorOpen_ = false;
    SQLLEN rowCount_ = -1;
    // Data at execution: the parameters still waiting, the one being filled and its data.
    std::vector<std::size_t> pending_;
    std::optional<std::size_t> filling_;
    std::vector<std::optional<std::string>> supplied_;
    std::vector<bool> atExecution_;
    bool needData_ = false;
    // Piecewise SQLGetData: which column is being read and how far.
    int pieceColumn_ = -1;
    std::size_t pieceOffset_ = 0;
    std::string pieceForm_;
    bool pieceDone_ = false;
};

} // namespace odbc
