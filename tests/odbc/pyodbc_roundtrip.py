"""pyodbc through libtablory-odbc.so: a new file, tables of every Jet type, parameterised
inserts (Null, a 100 KB memo, an OLE value), joins, a rollback, the catalog functions, errors
with their SQLSTATEs, the lock against a second writer; then the file as tablory-sql dump and
check see it."""
import argparse
import datetime
import decimal
import json
import os
import subprocess
import uuid

from odbc_env import add_dsn, fail, register, tool_env

parser = argparse.ArgumentParser()
parser.add_argument("--driver", required=True)
parser.add_argument("--sql", required=True, help="the tablory-sql binary")
parser.add_argument("--work", required=True)
args = parser.parse_args()

register(args.driver, args.work)
import pyodbc  # noqa: E402  (after the configuration is in place)

pyodbc.native_uuid = True
path = os.path.join(args.work, "roundtrip.mdb")
if os.path.exists(path):
    os.remove(path)


def check(condition, message):
    if not condition:
        fail(message)


def state_of(error):
    return error.args[0] if error.args else ""


def expect_error(cursor, sql, params, state, fragment=None):
    try:
        cursor.execute(sql, *params)
    except pyodbc.Error as e:
        check(state_of(e) == state, "%s gave %s, not %s: %s" % (sql, state_of(e), state, e))
        if fragment:
            check(fragment in str(e), "%s: message lacks %r: %s" % (sql, fragment, e))
        return
    fail("%s raised no error" % sql)


def dump(file):
    out = subprocess.run([args.sql, "dump", file], check=True, capture_output=True, text=True,
                         env=tool_env())
    return out.stdout


cn = pyodbc.connect("DRIVER={Tablory};DBQ=%s;CREATE_DB=1" % path, autocommit=True)
cur = cn.cursor()
cur.execute(
    "create table Kinds (Id counter primary key, Flag bit, Tiny byte, Small short, Big long,"
    " Money currency, Sing single, Dbl double, Stamp datetime, Name text(20), Notes memo,"
    " Blob longbinary, Tag guid, Exact decimal(18,4), Raw binary(8))")
cur.execute("create table Orders (OrderId long primary key, KindId long references Kinds (Id),"
            " Qty short)")

memo = "".join(chr(0x41 + i % 26) for i in range(100 * 1024)) + "\u00e9\u20ac"
blob = bytes((i * 7) % 256 for i in range(50 * 1024))
tag = uuid.UUID("6f9619ff-8b86-d011-b42d-00c04fc964ff")
rows = [
    (True, 200, -12345, 2000000000, decimal.Decimal("922337203685.4775"), 1.5, 2.0 / 3.0,
     datetime.datetime(2024, 2, 29, 13, 45, 10), "Zoë", memo, blob, tag,
     decimal.Decimal("12345678901234.5678"), b"\x00\x01\x02\xff"),
    (False, 0, 0, -1, decimal.Decimal("-0.0001"), -0.25, 1e300,
     datetime.datetime(1899, 12, 30, 0, 0, 0), "", "short", b"\x00", None,
     decimal.Decimal("-1.5000"), b""),
    (None,) * 14,
]
insert = ("insert into Kinds (Flag, Tiny, Small, Big, Money, Sing, Dbl, Stamp, Name, Notes, Blob,"
          " Tag, Exact, Raw) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
for r in rows:
    cur.execute(insert, *r)
    check(cur.rowcount == 1, "insert row count %d" % cur.rowcount)

cur.execute("select Flag, Tiny, Small, Big, Money, Sing, Dbl, Stamp, Name, Notes, Blob, Tag,"
            " Exact, Raw, Id from Kinds order by Id")
got = cur.fetchall()
check(len(got) == 3, "read %d rows" % len(got))
for expected, row in zip(rows, got):
    for i, want in enumerate(expected):
        have = row[i]
        if want is None and i == 0:
            want = False  # a yes/no column holds no Null: Jet stores No
        if isinstance(want, bytes) and have is not None:
            have = bytes(have)
        if want == b"" and i == 13:
            check(have in (b"", None), "column %d: %r" % (i, have))
            continue
        check(have == want and type(have) is type(want),
              "column %d: wrote %r, read %r" % (i, want if not isinstance(want, (str, bytes)) or
                                                 len(want) < 40 else len(want), have if not
                                                 isinstance(have, (str, bytes)) or len(have) < 40
                                                 else len(have)))
cur.execute("select Money, Exact from Kinds where Id = 1")
money, exact = cur.fetchone()
check(str(money) == "922337203685.4775", "currency went through a double: %s" % money)
check(str(exact) == "12345678901234.5678", "decimal went through a double: %s" % exact)

# executemany as pyodbc does it fast: the parameters described, then every row in one array
# bound row-wise at an offset, run as one prepared statement.
cur.fast_executemany = True
cur.executemany("insert into Orders (OrderId, KindId, Qty) values (?, ?, ?)",
                [(10, 1, 5), (11, 1, 7), (12, 2, 1)])
cur.fast_executemany = False
cur.execute("select k.Name, o.OrderId, o.Qty from Kinds as k inner join Orders as o"
            " on k.Id = o.KindId order by o.OrderId")
check([tuple(r) for r in cur.fetchall()] == [("Zoë", 10, 5), ("Zoë", 11, 7), ("", 12, 1)],
      "join read back differently")
cur.execute("select k.Id, count(o.OrderId) as N from Kinds k left join Orders o"
            " on k.Id = o.KindId group by k.Id order by k.Id")
check([tuple(r) for r in cur.fetchall()] == [(1, 2), (2, 1), (3, 0)], "outer join with group by")
cur.execute("update Orders set Qty = Qty + 1 where OrderId >= ?", 11)
check(cur.rowcount == 2, "update row count %d" % cur.rowcount)
cur.execute("delete from Orders where OrderId = 99")
check(cur.rowcount == 0, "delete of no row counted %d" % cur.rowcount)

# A rollback leaves the file as it was. A reader is kept out while a connection has the file
# open for writing, so the dumps are taken with the connection closed.
def reconnect():
    global cn, cur
    cn = pyodbc.connect("DRIVER={Tablory};DBQ=%s" % path, autocommit=True)
    cur = cn.cursor()


cn.close()
before = dump(path)
reconnect()
cn.autocommit = False
cur.execute("insert into Orders (OrderId, KindId, Qty) values (20, 3, 1)")
cur.execute("update Kinds set Name = 'changed'")
cur.execute("delete from Orders where OrderId = 10")
cur.execute("select count(*) from Orders")
check(cur.fetchone()[0] == 3, "the transaction does not see its own changes")
cn.rollback()
cn.close()
check(dump(path) == before, "rollback left the file changed")
reconnect()

# Commit in manual mode lands.
cn.autocommit = False
cur.execute("insert into Orders (OrderId, KindId, Qty) values (30, 3, 2)")
cn.commit()
cn.autocommit = True

# Catalog functions.
tables = [(t.table_name, t.table_type) for t in cur.tables()]
check(tables == [("Kinds", "TABLE"), ("Orders", "TABLE")], "tables: %r" % tables)
system = [t.table_name for t in cur.tables(tableType="SYSTEM TABLE")]
check("MSysObjects" in system, "system tables: %r" % system)
cur.execute("create view BigOrders as select OrderId from Orders where Qty > 1")
check([t.table_name for t in cur.tables(tableType="VIEW")] == ["BigOrders"], "views")
columns = [(c.column_name, c.type_name, c.data_type, c.column_size, c.nullable)
           for c in cur.columns(table="Kinds")]
check(len(columns) == 15, "columns: %r" % columns)
check(columns[0] == ("Id", "COUNTER", pyodbc.SQL_INTEGER, 10, 1), "Id column: %r" % (columns[0],))
check(columns[5][1:4] == ("CURRENCY", pyodbc.SQL_DECIMAL, 19), "Money: %r" % (columns[5],))
check(columns[9][1:4] == ("VARCHAR", pyodbc.SQL_WVARCHAR, 20), "Name: %r" % (columns[9],))
check(columns[13][1:4] == ("DECIMAL", pyodbc.SQL_NUMERIC, 18), "Exact: %r" % (columns[13],))
keys = [(k.column_name, k.key_seq) for k in cur.primaryKeys("Kinds")]
check(keys == [("Id", 1)], "primary key: %r" % keys)
fks = [(f.pktable_name, f.pkcolumn_name, f.fktable_name, f.fkcolumn_name)
       for f in cur.foreignKeys(foreignTable="Orders")]
check(fks == [("Kinds", "Id", "Orders", "KindId")], "foreign keys: %r" % fks)
cur.execute("create unique index ByQty on Orders (Qty desc, OrderId)")
stats = [(s.index_name, s.non_unique, s.ordinal_position, s.column_name, s.asc_or_desc)
         for s in cur.statistics("Orders") if s.index_name]
check(stats == [("ByQty", 0, 1, "Qty", "D"), ("ByQty", 0, 2, "OrderId", "A"),
                ("PrimaryKey", 0, 1, "OrderId", "A")], "statistics: %r" % stats)
special = [s.column_name for s in cur.rowIdColumns("Orders")]
check(special == ["OrderId"], "row id columns: %r" % special)
types = {t.type_name for t in cur.getTypeInfo()}
check({"CURRENCY", "DATETIME", "GUID", "LONGCHAR", "COUNTER"} <= types, "types: %r" % types)

# Errors with their SQLSTATEs and Jet's text.
expect_error(cur, "select * from Nowhere", [], "42S02", "cannot find the input table")
expect_error(cur, "insert into Orders (Nope) values (1)", [], "42S22")
expect_error(cur, "selec * from Orders", [], "42000")
# A name that is no column is a parameter to Jet; with no value given, that is 07002.
expect_error(cur, "select Bogus from Orders", [], "07002")
expect_error(cur, "insert into Orders (OrderId, Qty) values (?, ?)", [10, 1], "23000",
             "duplicate values")
expect_error(cur, "insert into Kinds (Name) values (?)", ["x" * 21], "22001")
expect_error(cur, "insert into Orders (OrderId, KindId) values (40, 999)", [], "23000")

# The engine's lock: a second writer of the same file is refused.
try:
    pyodbc.connect("DRIVER={Tablory};DBQ=%s" % path)
    fail("a second writer was let in")
except pyodbc.Error as e:
    check("already in use" in str(e), "second writer: %s" % e)
cn.close()

# A DSN from odbc.ini, read-only.
add_dsn(args.work, "TabloryTest", path)
ro = pyodbc.connect("DSN=TabloryTest;ReadOnly=1")
rc = ro.cursor()
rc.execute("select count(*) from Orders")
check(rc.fetchone()[0] == 4, "DSN connection reads the file")
try:
    rc.execute("delete from Orders")
    fail("a read-only connection changed the file")
except pyodbc.Error:
    pass
ro.close()

# The file as tablory-sql sees it.
lines = [json.loads(l) for l in dump(path).splitlines()]
header = next(i for i, l in enumerate(lines) if isinstance(l, dict) and l.get("table") == "Kinds")
dumped = lines[header + 1:header + 4]
first = dumped[0]
check(first[1] is True and first[2] == 200 and first[3] == -12345, "dump flags and integers %r" % first[:4])
check(first[5] == "922337203685.4775", "dump currency %r" % first[5])
check(first[8] == "2024-02-29T13:45:10.000", "dump date %r" % first[8])
check(first[9] == "Zoë" and first[10] == memo, "dump texts")
check(first[11] == blob.hex(), "dump OLE value")
check(first[12] == str(tag), "dump GUID %r" % first[12])
check(first[13] == "12345678901234.5678", "dump decimal %r" % first[13])
check(all(v is None for v in dumped[2][2:]), "dump Null row %r" % dumped[2])
result = subprocess.run([args.sql, "check", path], capture_output=True, text=True,
                        env=tool_env())
check(result.returncode == 0, "tablory-sql check: %s%s" % (result.stdout, result.stderr))
print("pyodbc round trip passed")
