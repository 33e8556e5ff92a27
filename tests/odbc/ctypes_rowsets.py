"""The driver's rowsets and positioned changes through unixODBC's own library, called as a C
program would (no client in Debian uses them): SQL_ATTR_ROW_ARRAY_SIZE with row-wise
buffers, SQLFetchScroll, SQLSetPos updating and deleting, SQLBulkOperations adding."""
import argparse
import ctypes
import os

from odbc_env import fail, register

parser = argparse.ArgumentParser()
parser.add_argument("--driver", required=True)
parser.add_argument("--work", required=True)
args = parser.parse_args()
register(args.driver, args.work)
path = os.path.join(args.work, "rowsets.mdb")
if os.path.exists(path):
    os.remove(path)

odbc = ctypes.CDLL("libodbc.so.2")
SQLLEN = ctypes.c_ssize_t
handle = ctypes.c_void_p
(SQL_HANDLE_ENV, SQL_HANDLE_DBC, SQL_HANDLE_STMT) = (1, 2, 3)
(SQL_ATTR_ODBC_VERSION, SQL_ATTR_CURSOR_TYPE, SQL_ATTR_CONCURRENCY) = (200, 6, 7)
(SQL_ATTR_ROW_BIND_TYPE, SQL_ATTR_ROW_STATUS_PTR, SQL_ATTR_ROWS_FETCHED_PTR) = (5, 25, 26)
SQL_ATTR_ROW_ARRAY_SIZE = 27
(SQL_FETCH_NEXT, SQL_FETCH_LAST, SQL_FETCH_ABSOLUTE) = (1, 3, 5)
(SQL_POSITION, SQL_UPDATE, SQL_DELETE, SQL_ADD) = (0, 2, 3, 4)
(SQL_C_CHAR, SQL_C_SLONG, SQL_NTS, SQL_COLUMN_IGNORE) = (1, -16, -3, -6)
(SQL_ROW_DELETED, SQL_ROW_UPDATED, SQL_ROW_ADDED) = (1, 2, 4)
odbc.SQLSetStmtAttr.argtypes = [handle, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
odbc.SQLSetEnvAttr.argtypes = [handle, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
odbc.SQLBindCol.argtypes = [handle, ctypes.c_ushort, ctypes.c_short, ctypes.c_void_p, SQLLEN,
                            ctypes.c_void_p]
odbc.SQLFetchScroll.argtypes = [handle, ctypes.c_short, SQLLEN]
odbc.SQLSetPos.argtypes = [handle, ctypes.c_ulonglong, ctypes.c_ushort, ctypes.c_ushort]
odbc.SQLBulkOperations.argtypes = [handle, ctypes.c_short]
odbc.SQLExecDirect.argtypes = [handle, ctypes.c_char_p, ctypes.c_int]
odbc.SQLDriverConnect.argtypes = [handle, ctypes.c_void_p, ctypes.c_char_p, ctypes.c_short,
                                  ctypes.c_void_p, ctypes.c_short, ctypes.c_void_p,
                                  ctypes.c_ushort]


def ok(rc, what):
    if rc not in (0, 1):
        fail("%s returned %d" % (what, rc))


env, dbc, stmt = handle(), handle(), handle()
ok(odbc.SQLAllocHandle(SQL_HANDLE_ENV, None, ctypes.byref(env)), "SQLAllocHandle")
ok(odbc.SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, 3, 0), "SQLSetEnvAttr")
ok(odbc.SQLAllocHandle(SQL_HANDLE_DBC, env, ctypes.byref(dbc)), "SQLAllocHandle")
connect = ("DRIVER={Tablory};DBQ=%s;CREATE_DB=1" % path).encode()
ok(odbc.SQLDriverConnect(dbc, None, connect, SQL_NTS, None, 0, None, 0), "SQLDriverConnect")
ok(odbc.SQLAllocHandle(SQL_HANDLE_STMT, dbc, ctypes.byref(stmt)), "SQLAllocHandle")


def run(text):
    ok(odbc.SQLExecDirect(stmt, text.encode(), SQL_NTS), text)
    odbc.SQLFreeStmt(stmt, 0)  # SQL_CLOSE


run("create table T (Id long primary key, Name text(10))")
for i in range(1, 6):
    run("insert into T values (%d, 'n%d')" % (i, i))


class Row(ctypes.Structure):
    _fields_ = [("id", ctypes.c_int32), ("idLength", SQLLEN), ("name", ctypes.c_char * 11),
                ("nameLength", SQLLEN)]


rows = (Row * 2)()
status = (ctypes.c_ushort * 2)()
fetched = ctypes.c_ulong()
for attribute, value in [(SQL_ATTR_CURSOR_TYPE, 3), (SQL_ATTR_CONCURRENCY, 2),
                         (SQL_ATTR_ROW_ARRAY_SIZE, 2), (SQL_ATTR_ROW_BIND_TYPE, ctypes.sizeof(Row)),
                         (SQL_ATTR_ROW_STATUS_PTR, ctypes.addressof(status)),
                         (SQL_ATTR_ROWS_FETCHED_PTR, ctypes.addressof(fetched))]:
    ok(odbc.SQLSetStmtAttr(stmt, attribute, value, 0), "SQLSetStmtAttr %d" % attribute)
ok(odbc.SQLExecDirect(stmt, b"select Id, Name from T order by Id", SQL_NTS), "select")
ok(odbc.SQLBindCol(stmt, 1, SQL_C_SLONG, ctypes.addressof(rows[0]) + Row.id.offset, 0,
                   ctypes.addressof(rows[0]) + Row.idLength.offset), "SQLBindCol")
ok(odbc.SQLBindCol(stmt, 2, SQL_C_CHAR, ctypes.addressof(rows[0]) + Row.name.offset, 11,
                   ctypes.addressof(rows[0]) + Row.nameLength.offset), "SQLBindCol")
ok(odbc.SQLFetchScroll(stmt, SQL_FETCH_LAST, 0), "SQLFetchScroll last")
if fetched.value != 2 or [r.id for r in rows] != [4, 5] or rows[1].name != b"n5":
    fail("last rowset: %d rows, %s" % (fetched.value, [(r.id, r.name) for r in rows]))
# Row 1 of the rowset (Id 4) renamed, row 2 (Id 5) deleted, then two rows added.
rows[0].name, rows[0].nameLength, rows[0].idLength = b"four", SQL_NTS, SQL_COLUMN_IGNORE
ok(odbc.SQLSetPos(stmt, 1, SQL_UPDATE, 1), "SQLSetPos update")
ok(odbc.SQLSetPos(stmt, 2, SQL_DELETE, 1), "SQLSetPos delete")
if list(status) != [SQL_ROW_UPDATED, SQL_ROW_DELETED]:
    fail("row status after the changes: %s" % list(status))
for r, (i, name) in zip(rows, [(6, b"six"), (7, b"seven")]):
    r.id, r.idLength, r.name, r.nameLength = i, 4, name, SQL_NTS
ok(odbc.SQLBulkOperations(stmt, SQL_ADD), "SQLBulkOperations")
if list(status) != [SQL_ROW_ADDED, SQL_ROW_ADDED]:
    fail("row status after adding: %s" % list(status))
ok(odbc.SQLFetchScroll(stmt, SQL_FETCH_ABSOLUTE, 1), "SQLFetchScroll absolute")
if [r.id for r in rows] != [1, 2]:
    fail("first rowset: %s" % [r.id for r in rows])
odbc.SQLFreeStmt(stmt, 0)

ok(odbc.SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, 3, 0), "SQLSetStmtAttr")
ok(odbc.SQLExecDirect(stmt, b"select Id, Name from T where Id >= 3 order by Id", SQL_NTS), "select")
seen = []
rows = (Row * 3)()
ok(odbc.SQLBindCol(stmt, 1, SQL_C_SLONG, ctypes.addressof(rows[0]) + Row.id.offset, 0,
                   ctypes.addressof(rows[0]) + Row.idLength.offset), "SQLBindCol")
ok(odbc.SQLBindCol(stmt, 2, SQL_C_CHAR, ctypes.addressof(rows[0]) + Row.name.offset, 11,
                   ctypes.addressof(rows[0]) + Row.nameLength.offset), "SQLBindCol")
while odbc.SQLFetchScroll(stmt, SQL_FETCH_NEXT, 0) in (0, 1):
    seen += [(r.id, r.name.decode()) for r in rows[:fetched.value]]
if seen != [(3, "n3"), (4, "four"), (6, "six"), (7, "seven")]:
    fail("rows after the changes: %s" % seen)
odbc.SQLFreeHandle(SQL_HANDLE_STMT, stmt)
odbc.SQLDisconnect(dbc)
odbc.SQLFreeHandle(SQL_HANDLE_DBC, dbc)
odbc.SQLFreeHandle(SQL_HANDLE_ENV, env)
print("rowsets and positioned changes through unixODBC passed")
