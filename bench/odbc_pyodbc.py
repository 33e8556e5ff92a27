"""The ODBC driver through pyodbc, timed: executemany of four-column rows into a table with a
primary key in one transaction, then fetching a large table next to `tablory-sql dump` of the
same table. Run against a Release build:

  /usr/bin/python3 bench/odbc_pyodbc.py --driver build/release/src/odbc/libtablory-odbc.so \\
      --sql build/release/src/cli/tablory-sql --work /tmp/odbc-bench [--insert 100000] [--fetch 1000000]
"""
import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "odbc"))
from odbc_env import register  # noqa: E402

parser = argparse.ArgumentParser()
parser.add_argument("--driver", required=True)
parser.add_argument("--sql", required=True)
parser.add_argument("--work", required=True)
parser.add_argument("--insert", type=int, default=100000)
parser.add_argument("--fetch", type=int, default=1000000)
args = parser.parse_args()
register(args.driver, args.work)
import pyodbc  # noqa: E402

path = os.path.join(args.work, "bench.mdb")
if os.path.exists(path):
    os.remove(path)
cn = pyodbc.connect("DRIVER={Tablory};DBQ=%s;CREATE_DB=1" % path)
cur = cn.cursor()
rows = [(i, "name %d" % i, i * 0.5, None) for i in range(args.insert)]
# pyodbc's two ways: a prepared statement executed once per row, and (fast_executemany) one
# execution with every row in a parameter array.
for fast in (False, True):
    table = "Rows4Fast" if fast else "Rows4"
    cur.execute("create table %s (Id long primary key, Name text(40), Amount double, Day datetime)"
                % table)
    cn.commit()
    cur.fast_executemany = fast
    start = time.perf_counter()
    cur.executemany("insert into %s (Id, Name, Amount, Day) values (?, ?, ?, ?)" % table, rows)
    cn.commit()
    insert_seconds = time.perf_counter() - start
    print("executemany%s %d rows, one transaction: %.2f s (%.0f rows/s)"
          % (" (fast_executemany)" if fast else "", args.insert, insert_seconds,
             args.insert / insert_seconds))
    cur.fast_executemany = False

cn.close()

# The large table, alone in its own file so that the dump reads just it: seed rows crossed
# with themselves, written by the engine.
big = os.path.join(args.work, "big.mdb")
if os.path.exists(big):
    os.remove(big)
cn = pyodbc.connect("DRIVER={Tablory};DBQ=%s;CREATE_DB=1" % big)
cur = cn.cursor()
side = int(round(args.fetch ** 0.5))
cur.execute("create table Seed (N long primary key)")
cur.executemany("insert into Seed (N) values (?)", [(i,) for i in range(side)])
cur.execute("create table Big (Id long, Name text(40), Amount double, Flag bit)")
cur.execute("insert into Big (Id, Name, Amount, Flag) select a.N * %d + b.N, 'row ' & a.N,"
            " b.N / 3, (b.N mod 2) = 0 from Seed as a, Seed as b" % side)
cur.execute("drop table Seed")
cn.commit()
start = time.perf_counter()
cur.execute("select * from Big")
count = 0
while True:
    batch = cur.fetchmany(10000)
    if not batch:
        break
    count += len(batch)
fetch_seconds = time.perf_counter() - start
cn.close()
start = time.perf_counter()
subprocess.run([args.sql, "dump", big], check=True, stdout=subprocess.DEVNULL)
dump_seconds = time.perf_counter() - start
print("fetch %d rows through pyodbc: %.2f s; tablory-sql dump of the whole file: %.2f s;"
      " ratio %.2f" % (count, fetch_seconds, dump_seconds, fetch_seconds / dump_seconds))
