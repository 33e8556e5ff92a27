// Entry points that run statements: prepare, parameters, execute, statement attributes.
#include "odbc/EntryGuard.h"
#include "odbc/Text.h"

#include <cstring>

using namespace odbc;

namespace {

SQLULEN numberOf(SQLPOINTER value) {
    return static_cast<SQLULEN>(reinterpret_cast<std::uintptr_t>(value));
}

SQLRETURN setStmtAttr(SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value) {
    return guarded<Statement>(stmt, [&](Statement& s) -> SQLRETURN {
        const SQLULEN n = numberOf(value);
        auto changed = [&](const char* what) {
            s.diagnostics.add("01S02", std::string("Option value changed: ") + what);
            return SQL_SUCCESS_WITH_INFO;
        };
        switch (attribute) {
        case SQL_ATTR_CURSOR_TYPE:
            if (n == SQL_CURSOR_FORWARD_ONLY || n == SQL_CURSOR_STATIC) {
                s.cursorType = n;
                return SQL_SUCCESS;
            }
            s.cursorType = SQL_CURSOR_STATIC;
            return changed("static cursor");
        case SQL_ATTR_CURSOR_SCROLLABLE:
            s.cursorType = n == SQL_SCROLLABLE ? SQL_CURSOR_STATIC : SQL_CURSOR_FORWARD_ONLY;
            return SQL_SUCCESS;
        case SQL_ATTR_CONCURRENCY:
            // One writer holds the file: a cursor that changes rows has them locked.
            if (n == SQL_CONCUR_READ_ONLY || n == SQL_CONCUR_LOCK) {
                s.concurrency = n;
                return SQL_SUCCESS;
            }
            s.concurrency = SQL_CONCUR_LOCK;
            return changed("lock concurrency");
        case SQL_ATTR_CURSOR_SENSITIVITY:
            return n == SQL_INSENSITIVE || n == SQL_UNSPECIFIED ? SQL_SUCCESS
                                                                : changed("insensitive");
        case SQL_ATTR_ROW_ARRAY_SIZE:
        case SQL_ROWSET_SIZE:
            if (n == 0) throw OdbcError("HY024", "Invalid attribute value.");
            s.rowArraySize = n;
            return SQL_SUCCESS;
        case SQL_ATTR_ROW_BIND_TYPE:
            s.rowBindType = n;
            return SQL_SUCCESS;
        case SQL_ATTR_ROWS_FETCHED_PTR:
            s.rowsFetched = static_cast<SQLULEN*>(value);
            return SQL_SUCCESS;
        case SQL_ATTR_ROW_STATUS_PTR:
            s.rowStatus = static_cast<SQLUSMALLINT*>(value);
            return SQL_SUCCESS;
        case SQL_ATTR_ROW_BIND_OFFSET_PTR:
            s.bindOffset = static_cast<SQLLEN*>(value);
            return SQL_SUCCESS;
        case SQL_ATTR_PARAM_BIND_OFFSET_PTR:
            s.paramBindOffset = static_cast<SQLLEN*>(value);
            return SQL_SUCCESS;
        case SQL_ATTR_PARAMSET_SIZE:
            if (n == 0) throw OdbcError("HY024", "Invalid attribute value.");
            s.paramsetSize = n;
            return SQL_SUCCESS;
        case SQL_ATTR_PARAM_BIND_TYPE:
            s.paramBindType = n;
            return SQL_SUCCESS;
        case SQL_ATTR_PARAMS_PROCESSED_PTR:
            s.paramsProcessed = static_cast<SQLULEN*>(value);
            return SQL_SUCCESS;
        case SQL_ATTR_PARAM_STATUS_PTR:
            s.paramStatus = static_cast<SQLUSMALLINT*>(value);
            return SQL_SUCCESS;
        case SQL_ATTR_MAX_ROWS:
            s.maxRows = n;
            return SQL_SUCCESS;
        case SQL_ATTR_QUERY_TIMEOUT:
            s.queryTimeout = n;
            return SQL_SUCCESS;
        case SQL_ATTR_MAX_LENGTH:
        case SQL_ATTR_NOSCAN:
        case SQL_ATTR_RETRIEVE_DATA:
        case SQL_ATTR_METADATA_ID:
            return SQL_SUCCESS;
        case SQL_ATTR_USE_BOOKMARKS:
            if (n != SQL_UB_OFF) throw OdbcError("HYC00", "Bookmarks are not available.");
            return SQL_SUCCESS;
        case SQL_ATTR_ASYNC_ENABLE:
            if (n != SQL_ASYNC_ENABLE_OFF)
                throw OdbcError("HYC00", "Asynchronous execution is not available.");
            return SQL_SUCCESS;
        default:
            throw OdbcError("HY092", "Invalid attribute/option identifier.");
        }
    });
}

SQLRETURN getStmtAttr(SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER* length) {
    return guarded<Statement>(stmt, [&](Statement& s) {
        auto put = [&](auto v) {
            if (value) std::memcpy(value, &v, sizeof v);
            if (length) *length = sizeof v;
            return SQL_SUCCESS;
        };
        switch (attribute) {
        case SQL_ATTR_CURSOR_TYPE:
            return put(s.cursorType);
        case SQL_ATTR_CURSOR_SCROLLABLE:
            return put(
                SQLULEN(s.cursorType == SQL_CURSOR_STATIC ? SQL_SCROLLABLE : SQL_NONSCROLLABLE));
        case SQL_ATTR_CONCURRENCY:
            return put(s.concurrency);
        case SQL_ATTR_CURSOR_SENSITIVITY:
            return put(SQLULEN(SQL_INSENSITIVE));
        case SQL_ATTR_ROW_ARRAY_SIZE:
        case SQL_ROWSET_SIZE:
            return put(s.rowArraySize);
        case SQL_ATTR_ROW_BIND_TYPE:
            return put(s.rowBindType);
        case SQL_ATTR_ROWS_FETCHED_PTR:
            return put(s.rowsFetched);
        case SQL_ATTR_ROW_STATUS_PTR:
            return put(s.rowStatus);
        case SQL_ATTR_ROW_BIND_OFFSET_PTR:
            return put(s.bindOffset);
        case SQL_ATTR_PARAM_BIND_OFFSET_PTR:
            return put(s.paramBindOffset);
        case SQL_ATTR_PARAMSET_SIZE:
            return put(s.paramsetSize);
        case SQL_ATTR_PARAM_BIND_TYPE:
            return put(s.paramBindType);
        case SQL_ATTR_PARAMS_PROCESSED_PTR:
            return put(s.paramsProcessed);
        case SQL_ATTR_PARAM_STATUS_PTR:
            return put(s.paramStatus);
        case SQL_ATTR_MAX_ROWS:
            return put(s.maxRows);
        case SQL_ATTR_QUERY_TIMEOUT:
            return put(s.queryTimeout);
        case SQL_ATTR_MAX_LENGTH:
            return put(SQLULEN(0));
        case SQL_ATTR_NOSCAN:
            return put(SQLULEN(SQL_NOSCAN_OFF));
        case SQL_ATTR_RETRIEVE_DATA:
            return put(SQLULEN(SQL_RD_ON));
        case SQL_ATTR_USE_BOOKMARKS:
            return put(SQLULEN(SQL_UB_OFF));
        case SQL_ATTR_ASYNC_ENABLE:
            return put(SQLULEN(SQL_ASYNC_ENABLE_OFF));
        case SQL_ATTR_METADATA_ID:
            return put(SQLULEN(SQL_FALSE));
        case SQL_ATTR_ROW_NUMBER:
            return put(SQLULEN(s.rowNumber()));
        default:
            throw OdbcError("HY092", "Invalid attribute/option identifier.");
        }
    });
}

} // namespace

extern "C" {

SQLRETURN SQL_API SQLPrepare(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length) {
    return guarded<Statement>(
        stmt, [&](Statement& s) { return s.prepare(textOr(textIn(text, length))); });
}

SQLRETURN SQL_API SQLPrepareW(SQLHSTMT stmt, SQLWCHAR* text, SQLINTEGER length) {
    return guarded<Statement>(
        stmt, [&](Statement& s) { return s.prepare(textOr(textIn(text, length))); });
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length) {
    return guarded<Statement>(
        stmt, [&](Statement& s) { return s.execDirect(textOr(textIn(text, length))); });
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT stmt, SQLWCHAR* text, SQLINTEGER length) {
    return guarded<Statement>(
        stmt, [&](Statement& s) { return s.execDirect(textOr(textIn(text, length))); });
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT stmt) {
    return guarded<Statement>(stmt, [](Statement& s) { return s.execute(); });
}

SQLRETURN SQL_API SQLNumParams(SQLHSTMT stmt, SQLSMALLINT* count) {
    return guarded<Statement>(stmt, [&](Statement& s) { return s.numParams(count); });
}

SQLRETURN SQL_API SQLDescribeParam(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT* type,
                                   SQLULEN* size, SQLSMALLINT* digits, SQLSMALLINT* nullable) {
    return guarded<Statement>(
        stmt, [&](Statement& s) { return s.describeParam(number, type, size, digits, nullable); });
}

SQLRETURN SQL_API SQLBindParameter(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT ioType,
                                   SQLSMALLINT cType, SQLSMALLINT sqlType, SQLULEN columnSize,
                                   SQLSMALLINT digits, SQLPOINTER value, SQLLEN bufferLength,
                                   SQLLEN* indicator) {
    return guarded<Statement>(stmt, [&](Statement& s) {
        if (number == 0) throw OdbcError("07009", "Invalid descriptor index.");
        if (ioType != SQL_PARAM_INPUT)
            throw OdbcError("HY105", "Jet statements take input parameters only.");
        if (s.parameters.size() < number) s.parameters.resize(number);
        s.parameters[number - 1] = Parameter{ioType, cType,        sqlType,   columnSize, digits,
                                             value,  bufferLength, indicator, true};
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLParamData(SQLHSTMT stmt, SQLPOINTER* token) {
    return guarded<Statement>(stmt, [&](Statement& s) { return s.paramData(token); });
}

SQLRETURN SQL_API SQLPutData(SQLHSTMT stmt, SQLPOINTER data, SQLLEN length) {
    return guarded<Statement>(stmt, [&](Statement& s) { return s.putData(data, length); });
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT stmt, SQLLEN* count) {
    return guarded<Statement>(stmt, [&](Statement& s) {
        if (count) *count = s.rowCount();
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLMoreResults(SQLHSTMT stmt) {
    return guarded<Statement>(stmt, [](Statement& s) {
        // A Jet statement gives one result.
        s.closeCursor();
        return SQL_NO_DATA;
    });
}

SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT stmt) {
    return guarded<Statement>(stmt, [](Statement& s) {
        if (!s.hasCursor()) throw OdbcError("24000", "Invalid cursor state.");
        s.closeCursor();
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option) {
    if (option == SQL_DROP) return SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return guarded<Statement>(stmt, [&](Statement& s) {
        switch (option) {
        case SQL_CLOSE:
            s.closeCursor();
            break;
        case SQL_UNBIND:
            s.unbindColumns();
            break;
        case SQL_RESET_PARAMS:
            s.resetParameters();
            break;
        default:
            throw OdbcError("HY092", "Invalid attribute/option identifier.");
        }
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT stmt) {
    return guarded<Statement>(stmt, [](Statement& s) {
        s.cancel();
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value,
                                 SQLINTEGER) {
    return setStmtAttr(stmt, attribute, value);
}

SQLRETURN SQL_API SQLSetStmtAttrW(SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value,
                                  SQLINTEGER) {
    return setStmtAttr(stmt, attribute, value);
}

SQLRETURN SQL_API SQLGetStmtAttr(SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER,
                                 SQLINTEGER* length) {
    return getStmtAttr(stmt, attribute, value, length);
}

SQLRETURN SQL_API SQLGetStmtAttrW(SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER,
                                  SQLINTEGER* length) {
    return getStmtAttr(stmt, attribute, value, length);
}

} // extern "C"
