"""Registers the built driver in a private ODBC configuration (ODBCSYSINI/ODBCINI), so tests
touch nothing of the system's."""
import os
import sys


def register(driver, work):
    os.makedirs(work, exist_ok=True)
    with open(os.path.join(work, "odbcinst.ini"), "w") as f:
        f.write("[Tablory]\nDescription=Tablory test build\nDriver=%s\nFileUsage=1\n" % driver)
    with open(os.path.join(work, "odbc.ini"), "w") as f:
        f.write("")
    os.environ["ODBCSYSINI"] = work
    os.environ["ODBCINSTINI"] = "odbcinst.ini"
    os.environ["ODBCINI"] = os.path.join(work, "odbc.ini")


def add_dsn(work, name, database):
    with open(os.path.join(work, "odbc.ini"), "a") as f:
        f.write("[%s]\nDriver=Tablory\nDBQ=%s\n\n" % (name, database))


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def tool_env():
    """The environment for our own sanitized programs, which bring their own runtime: the
    preloaded one is only for clients that load the driver."""
    env = dict(os.environ)
    env.pop("LD_PRELOAD", None)
    return env
