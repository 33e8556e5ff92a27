"""unixODBC's isql and iusql through libtablory-odbc.so: statements from a script, results,
errors with their SQLSTATE; then the file as tablory-sql sees it."""
import argparse
import os
import subprocess

from odbc_env import add_dsn, fail, register, tool_env

parser = argparse.ArgumentParser()
parser.add_argument("--driver", required=True)
parser.add_argument("--sql", required=True)
parser.add_argument("--isql", required=True)
parser.add_argument("--work", required=True)
args = parser.parse_args()
register(args.driver, args.work)

path = os.path.join(args.work, "isql.mdb")
if os.path.exists(path):
    os.remove(path)
subprocess.run([args.sql, "create", path], check=True, env=tool_env())
add_dsn(args.work, "TabloryIsql", path)


def isql(program, target, script="", extra=()):
    result = subprocess.run([program, *target, "-b", "-v", "-d|", *extra], input=script,
                            capture_output=True, text=True, env=os.environ)
    return result.stdout + result.stderr


out = isql(args.isql, ["TabloryIsql"], "\n".join([
    "create table People (Id long primary key, Name text(30), Born datetime, Paid currency)",
    "insert into People values (1, 'Ada', #1815-12-10#, 12.5)",
    "insert into People values (2, 'Grace', #1906-12-09#, 1000.0001)",
    "insert into People (Id) values (3)",
    "select Id, Name, Born, Paid from People order by Id",
    "select * from Missing",
    "insert into People values (1, 'Again', Null, 0)",
    ""]))
for line in ["1|Ada|1815-12-10 00:00:00|12.5000", "2|Grace|1906-12-09 00:00:00|1000.0001", "3|||"]:
    if line not in out:
        fail("isql output lacks %r:\n%s" % (line, out))
# isql is an ODBC 2 application: the driver manager gives it 42S02 under its ODBC 2 name.
if ("[42S02]" not in out and "[S0002]" not in out) or "cannot find the input table or query 'Missing'" not in out:
    fail("isql shows no 42S02 for a missing table:\n%s" % out)
if "[23000]" not in out:
    fail("isql shows no 23000 for a duplicate key:\n%s" % out)

# isql -k connects through SQLDriverConnect with a connection string.
out = isql(args.isql, ["DRIVER={Tablory};DBQ=%s" % path], extra=["-k"],
           script="select count(*) from People\n")
if "3" not in out.splitlines():
    fail("isql -k did not count the rows:\n%s" % out)

# iusql takes the wide entry points.
iusql = os.path.join(os.path.dirname(args.isql), "iusql")
if os.path.exists(iusql):
    if "LD_PRELOAD" in os.environ:
        # iusql's own start-up copies overlapping strings, which the sanitizer would stop.
        os.environ["ASAN_OPTIONS"] += (":replace_str=0:intercept_strlen=0:intercept_strchr=0"
                                       ":intercept_strndup=0")
    # iusql widens its input byte by byte, so only ASCII survives it (pyodbc covers the rest).
    out = isql(iusql, ["TabloryIsql"],
               "insert into People values (4, 'Wide path', Null, 0)\n"
               "select Name from People where Id = 4\n")
    if "Wide path" not in out:
        fail("iusql did not read back its Unicode text:\n%s" % out)

dump = subprocess.run([args.sql, "dump", path], check=True, capture_output=True, text=True,
                      env=tool_env()).stdout
for fragment in ['[1,"Ada","1815-12-10T00:00:00.000","12.5000"]', '[3,null,null,null]',
                 '[4,"Wide path",null,"0.0000"]']:
    if fragment not in dump:
        fail("dump lacks %s:\n%s" % (fragment, dump))
check = subprocess.run([args.sql, "check", path], capture_output=True, text=True,
                        env=tool_env())
if check.returncode != 0:
    fail("tablory-sql check: " + check.stdout + check.stderr)
print("isql session passed")
