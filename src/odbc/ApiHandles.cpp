// Entry points for handles and diagnostics.
#include "odbc/EntryGuard.h"
#include "odbc/Text.h"

using namespace odbc;

namespace {

Handle* anyHandle(SQLSMALLINT type, SQLHANDLE handle) {
    switch (type) {
    case SQL_HANDLE_ENV:
        return handleOf<Environment>(handle);
    case SQL_HANDLE_DBC:
        return handleOf<Connection>(handle);
    case SQL_HANDLE_STMT:
        return handleOf<Statement>(handle);
    default:
        return nullptr;
    }
}

SQLRETURN diagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT number, SQLPOINTER state,
                  SQLINTEGER* native, SQLPOINTER message, SQLSMALLINT capacity, SQLSMALLINT* length,
                  Units units) {
    Handle* h = anyHandle(type, handle);
    if (!h) return SQL_INVALID_HANDLE;
    if (number <= 0) return SQL_ERROR;
    const auto& records = h->diagnostics.records();
    if (static_cast<std::size_t>(number) > records.size()) return SQL_NO_DATA;
    const DiagRecord& r = records[static_cast<std::size_t>(number) - 1];
    SQLLEN ignored = 0;
    if (state)
        textOut(r.state, state, 6, units == Units::Narrow ? Units::Narrow : Units::WideChars,
                ignored);
    if (native) *native = r.native;
    Diagnostics scratch;
    return putText(scratch, r.message, message, capacity, units, length);
}

SQLRETURN diagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT number, SQLSMALLINT field,
                    SQLPOINTER info, SQLSMALLINT capacity, SQLSMALLINT* length, Units units) {
    Handle* h = anyHandle(type, handle);
    if (!h) return SQL_INVALID_HANDLE;
    const auto& records = h->diagnostics.records();
    Diagnostics scratch;
    switch (field) {
    case SQL_DIAG_NUMBER:
        *static_cast<SQLINTEGER*>(info) = static_cast<SQLINTEGER>(records.size());
        return SQL_SUCCESS;
    case SQL_DIAG_RETURNCODE:
        *static_cast<SQLRETURN*>(info) = records.empty() ? SQL_SUCCESS : SQL_ERROR;
        return SQL_SUCCESS;
    case SQL_DIAG_CURSOR_ROW_COUNT:
    case SQL_DIAG_ROW_COUNT: {
        const auto* s = type == SQL_HANDLE_STMT ? handleOf<Statement>(handle) : nullptr;
        *static_cast<SQLLEN*>(info) = s ? s->rowCount() : 0;
        return SQL_SUCCESS;
    }
    case SQL_DIAG_DYNAMIC_FUNCTION:
        return putText(scratch, "", info, capacity, units, length);
    default:
        break;
    }
    if (number <= 0) return SQL_ERROR;
    if (static_cast<std::size_t>(number) > records.size()) return SQL_NO_DATA;
    const DiagRecord& r = records[static_cast<std::size_t>(number) - 1];
    switch (field) {
    case SQL_DIAG_SQLSTATE:
        return putText(scratch, r.state, info, capacity, units, length);
    case SQL_DIAG_MESSAGE_TEXT:
        return putText(scratch, r.message, info, capacity, units, length);
    case SQL_DIAG_NATIVE:
        *static_cast<SQLINTEGER*>(info) = r.native;
        return SQL_SUCCESS;
    case SQL_DIAG_CLASS_ORIGIN:
    case SQL_DIAG_SUBCLASS_ORIGIN:
        return putText(scratch, r.state.starts_with("IM") ? "ODBC 3.0" : "ISO 9075", info, capacity,
                       units, length);
    case SQL_DIAG_CONNECTION_NAME:
    case SQL_DIAG_SERVER_NAME:
        return putText(scratch, "", info, capacity, units, length);
    case SQL_DIAG_ROW_NUMBER:
        *static_cast<SQLLEN*>(info) = SQL_ROW_NUMBER_UNKNOWN;
        return SQL_SUCCESS;
    case SQL_DIAG_COLUMN_NUMBER:
        *static_cast<SQLINTEGER*>(info) = SQL_COLUMN_NUMBER_UNKNOWN;
        return SQL_SUCCESS;
    default:
        return SQL_ERROR;
    }
}

} // namespace

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
    if (!output) return SQL_ERROR;
    *output = SQL_NULL_HANDLE;
    switch (type) {
    case SQL_HANDLE_ENV:
        try {
            *output = new Environment;
            return SQL_SUCCESS;
        } catch (...) {
            return SQL_ERROR;
        }
    case SQL_HANDLE_DBC:
        return guarded<Environment>(input, [&](Environment& env) {
            *output = new Connection(env);
            return SQL_SUCCESS;
        });
    case SQL_HANDLE_STMT:
        return guarded<Connection>(input, [&](Connection& c) {
            if (!c.connected()) throw OdbcError("08003", "Connection not open.");
            *output = new Statement(c);
            return SQL_SUCCESS;
        });
    default:
        return SQL_ERROR;
    }
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
    switch (type) {
    case SQL_HANDLE_ENV:
        if (auto* h = handleOf<Environment>(handle)) {
            h->kind = HandleKind{};
            delete h;
            return SQL_SUCCESS;
        }
        break;
    case SQL_HANDLE_DBC:
        if (auto* h = handleOf<Connection>(handle)) {
            h->kind = HandleKind{};
            delete h;
            return SQL_SUCCESS;
        }
        break;
    case SQL_HANDLE_STMT:
        if (auto* h = handleOf<Statement>(handle)) {
            h->kind = HandleKind{};
            delete h;
            return SQL_SUCCESS;
        }
        break;
    default:
        return SQL_ERROR;
    }
    return SQL_INVALID_HANDLE;
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV env, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER) {
    return guarded<Environment>(env, [&](Environment& e) {
        const auto number = static_cast<SQLINTEGER>(reinterpret_cast<SQLLEN>(value));
        switch (attribute) {
        case SQL_ATTR_ODBC_VERSION:
            e.odbcVersion = number;
            return SQL_SUCCESS;
        case SQL_ATTR_OUTPUT_NTS:
            if (number != SQL_TRUE) throw OdbcError("HYC00", "Optional feature not implemented.");
            return SQL_SUCCESS;
        case SQL_ATTR_CONNECTION_POOLING:
        case SQL_ATTR_CP_MATCH:
            return SQL_SUCCESS; // the driver manager pools, if anyone
        default:
            throw OdbcError("HY092", "Invalid attribute/option identifier.");
        }
    });
}

SQLRETURN SQL_API SQLGetEnvAttr(SQLHENV env, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER,
                                SQLINTEGER*) {
    return guarded<Environment>(env, [&](Environment& e) {
        switch (attribute) {
        case SQL_ATTR_ODBC_VERSION:
            *static_cast<SQLINTEGER*>(value) = e.odbcVersion;
            break;
        case SQL_ATTR_OUTPUT_NTS:
            *static_cast<SQLINTEGER*>(value) = SQL_TRUE;
            break;
        case SQL_ATTR_CONNECTION_POOLING:
            *static_cast<SQLUINTEGER*>(value) = SQL_CP_OFF;
            break;
        case SQL_ATTR_CP_MATCH:
            *static_cast<SQLUINTEGER*>(value) = SQL_CP_STRICT_MATCH;
            break;
        default:
            throw OdbcError("HY092", "Invalid attribute/option identifier.");
        }
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT number,
                                SQLCHAR* state, SQLINTEGER* native, SQLCHAR* message,
                                SQLSMALLINT capacity, SQLSMALLINT* length) {
    return diagRec(type, handle, number, state, native, message, capacity, length, Units::Narrow);
}

SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT number,
                                 SQLWCHAR* state, SQLINTEGER* native, SQLWCHAR* message,
                                 SQLSMALLINT capacity, SQLSMALLINT* length) {
    return diagRec(type, handle, number, state, native, message, capacity, length,
                   Units::WideChars);
}

SQLRETURN SQL_API SQLGetDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT number,
                                  SQLSMALLINT field, SQLPOINTER info, SQLSMALLINT capacity,
                                  SQLSMALLINT* length) {
    return diagField(type, handle, number, field, info, capacity, length, Units::Narrow);
}

SQLRETURN SQL_API SQLGetDiagFieldW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT number,
                                   SQLSMALLINT field, SQLPOINTER info, SQLSMALLINT capacity,
                                   SQLSMALLINT* length) {
    return diagField(type, handle, number, field, info, capacity, length, Units::WideBytes);
}

} // extern "C"
