// Entry points for connections: connecting, information, attributes, transactions.
#include "odbc/DriverInfo.h"
#include "odbc/EntryGuard.h"
#include "odbc/Text.h"

#include <cstring>

using namespace odbc;

namespace {

SQLRETURN driverConnect(SQLHDBC dbc, const std::optional<std::string>& in, SQLPOINTER out,
                        SQLSMALLINT capacity, SQLSMALLINT* length, Units units) {
    return guarded<Connection>(dbc, [&](Connection& c) -> SQLRETURN {
        const ConnectSettings settings = resolveSettings(parseConnectString(textOr(in)));
        c.connect(settings);
        return putText(c.diagnostics, settings.completedString(), out, capacity, units, length);
    });
}

SQLRETURN connect(SQLHDBC dbc, const std::optional<std::string>& dsn,
                  const std::optional<std::string>& password) {
    return guarded<Connection>(dbc, [&](Connection& c) -> SQLRETURN {
        std::map<std::string, std::string> keywords{{"DSN", textOr(dsn)}};
        if (password && !password->empty()) keywords["PWD"] = *password;
        c.connect(resolveSettings(keywords));
        return SQL_SUCCESS;
    });
}

SQLRETURN getInfo(SQLHDBC dbc, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT capacity,
                  SQLSMALLINT* length, Units units) {
    return guarded<Connection>(dbc, [&](Connection& c) -> SQLRETURN {
        const InfoValue info = driverInfo(c, type);
        switch (info.kind) {
        case InfoValue::Kind::Text:
            return putText(c.diagnostics, info.text, value, capacity, units, length);
        case InfoValue::Kind::Short:
            if (value) *static_cast<SQLUSMALLINT*>(value) = static_cast<SQLUSMALLINT>(info.number);
            if (length) *length = sizeof(SQLUSMALLINT);
            break;
        case InfoValue::Kind::Integer:
            if (value) *static_cast<SQLUINTEGER*>(value) = info.number;
            if (length) *length = sizeof(SQLUINTEGER);
            break;
        }
        return SQL_SUCCESS;
    });
}

SQLRETURN setConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value) {
    return guarded<Connection>(dbc, [&](Connection& c) -> SQLRETURN {
        const auto number = static_cast<SQLULEN>(reinterpret_cast<std::uintptr_t>(value));
        switch (attribute) {
        case SQL_ATTR_AUTOCOMMIT:
            c.setAutocommit(number == SQL_AUTOCOMMIT_ON);
            break;
        case SQL_ATTR_ACCESS_MODE:
            // The file's lock is taken when it opens; ReadOnly= in the connection string asks
            // for a reader.
            if (!c.connected()) c.accessMode = static_cast<SQLUINTEGER>(number);
            break;
        case SQL_ATTR_LOGIN_TIMEOUT:
            c.loginTimeout = static_cast<SQLUINTEGER>(number);
            break;
        case SQL_ATTR_CONNECTION_TIMEOUT:
        case SQL_ATTR_PACKET_SIZE:
        case SQL_ATTR_QUIET_MODE:
        case SQL_ATTR_METADATA_ID:
            break; // nothing goes over a network and no dialog is shown
        case SQL_ATTR_TXN_ISOLATION:
            if (number != SQL_TXN_READ_COMMITTED)
                throw OdbcError("HYC00", "Only the read-committed isolation level is available.");
            break;
        case SQL_ATTR_CURRENT_CATALOG:
            throw OdbcError("HYC00", "The file is chosen when connecting (DBQ=).");
        default:
            throw OdbcError("HY092", "Invalid attribute/option identifier.");
        }
        return SQL_SUCCESS;
    });
}

SQLRETURN getConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER capacity,
                         SQLINTEGER* length, Units units) {
    return guarded<Connection>(dbc, [&](Connection& c) -> SQLRETURN {
        SQLUINTEGER number = 0;
        switch (attribute) {
        case SQL_ATTR_AUTOCOMMIT:
            number = c.autocommit() ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
            break;
        case SQL_ATTR_ACCESS_MODE:
            number = c.accessMode;
            break;
        case SQL_ATTR_LOGIN_TIMEOUT:
            number = c.loginTimeout;
            break;
        case SQL_ATTR_CONNECTION_TIMEOUT:
            number = 0;
            break;
        case SQL_ATTR_TXN_ISOLATION:
            number = SQL_TXN_READ_COMMITTED;
            break;
        case SQL_ATTR_CONNECTION_DEAD:
            number = c.connected() ? SQL_CD_FALSE : SQL_CD_TRUE;
            break;
        case SQL_ATTR_METADATA_ID:
            number = SQL_FALSE;
            break;
        case SQL_ATTR_CURRENT_CATALOG:
            return putText(c.diagnostics, c.connected() ? c.settings().file : "", value, capacity,
                           units, length);
        default:
            throw OdbcError("HY092", "Invalid attribute/option identifier.");
        }
        if (value) *static_cast<SQLUINTEGER*>(value) = number;
        if (length) *length = sizeof number;
        return SQL_SUCCESS;
    });
}

} // namespace

extern "C" {

SQLRETURN SQL_API SQLDriverConnect(SQLHDBC dbc, SQLHWND, SQLCHAR* in, SQLSMALLINT inLength,
                                   SQLCHAR* out, SQLSMALLINT capacity, SQLSMALLINT* length,
                                   SQLUSMALLINT) {
    return driverConnect(dbc, textIn(in, inLength), out, capacity, length, Units::Narrow);
}

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC dbc, SQLHWND, SQLWCHAR* in, SQLSMALLINT inLength,
                                    SQLWCHAR* out, SQLSMALLINT capacity, SQLSMALLINT* length,
                                    SQLUSMALLINT) {
    return driverConnect(dbc, textIn(in, inLength), out, capacity, length, Units::WideChars);
}

SQLRETURN SQL_API SQLConnect(SQLHDBC dbc, SQLCHAR* dsn, SQLSMALLINT dsnLength, SQLCHAR*,
                             SQLSMALLINT, SQLCHAR* password, SQLSMALLINT passwordLength) {
    return connect(dbc, textIn(dsn, dsnLength), textIn(password, passwordLength));
}

SQLRETURN SQL_API SQLConnectW(SQLHDBC dbc, SQLWCHAR* dsn, SQLSMALLINT dsnLength, SQLWCHAR*,
                              SQLSMALLINT, SQLWCHAR* password, SQLSMALLINT passwordLength) {
    return connect(dbc, textIn(dsn, dsnLength), textIn(password, passwordLength));
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC dbc) {
    return guarded<Connection>(dbc, [](Connection& c) {
        // Statements the application left on the connection are freed with it, as ODBC
        // says; the driver manager forgets its handles for them, so nobody else would.
        for (Statement* s : c.statements()) {
            s->kind = HandleKind{};
            delete s;
        }
        c.disconnect();
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT capacity,
                             SQLSMALLINT* length) {
    return getInfo(dbc, type, value, capacity, length, Units::Narrow);
}

SQLRETURN SQL_API SQLGetInfoW(SQLHDBC dbc, SQLUSMALLINT type, SQLPOINTER value,
                              SQLSMALLINT capacity, SQLSMALLINT* length) {
    return getInfo(dbc, type, value, capacity, length, Units::WideBytes);
}

SQLRETURN SQL_API SQLGetFunctions(SQLHDBC dbc, SQLUSMALLINT function, SQLUSMALLINT* supported) {
    return guarded<Connection>(dbc, [&](Connection&) {
        if (function == SQL_API_ODBC3_ALL_FUNCTIONS) {
            std::memset(supported, 0, sizeof(SQLUSMALLINT) * SQL_API_ODBC3_ALL_FUNCTIONS_SIZE);
            for (SQLUSMALLINT f = 0; f < SQL_API_ODBC3_ALL_FUNCTIONS_SIZE * 16; ++f)
                if (implementsFunction(f))
                    supported[f >> 4] |= static_cast<SQLUSMALLINT>(1 << (f & 15));
        } else if (function == SQL_API_ALL_FUNCTIONS) {
            for (SQLUSMALLINT f = 0; f < 100; ++f)
                supported[f] = implementsFunction(f) ? SQL_TRUE : SQL_FALSE;
        } else {
            *supported = implementsFunction(function) ? SQL_TRUE : SQL_FALSE;
        }
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value,
                                    SQLINTEGER) {
    return setConnectAttr(dbc, attribute, value);
}

SQLRETURN SQL_API SQLSetConnectAttrW(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value,
                                     SQLINTEGER) {
    return setConnectAttr(dbc, attribute, value);
}

SQLRETURN SQL_API SQLGetConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value,
                                    SQLINTEGER capacity, SQLINTEGER* length) {
    return getConnectAttr(dbc, attribute, value, capacity, length, Units::Narrow);
}

SQLRETURN SQL_API SQLGetConnectAttrW(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value,
                                     SQLINTEGER capacity, SQLINTEGER* length) {
    return getConnectAttr(dbc, attribute, value, capacity, length, Units::WideBytes);
}

SQLRETURN SQL_API SQLEndTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT completion) {
    auto end = [&](Connection& c) -> SQLRETURN {
        if (completion != SQL_COMMIT && completion != SQL_ROLLBACK)
            throw OdbcError("HY012", "Invalid transaction operation code.");
        c.endTransaction(completion == SQL_COMMIT);
        return SQL_SUCCESS;
    };
    if (type == SQL_HANDLE_DBC) return guarded<Connection>(handle, end);
    if (type == SQL_HANDLE_ENV) return SQL_SUCCESS; // the driver manager calls each connection
    return SQL_ERROR;
}

} // extern "C"
