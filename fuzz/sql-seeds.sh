#!/usr/bin/env bash
# Writes every statement of the SQL corpus (tests/sql/corpus/*.test) into a folder, one file
# each: the starting points of fuzz_sql_statement.
# Usage: fuzz/sql-seeds.sh SEED_DIR
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 SEED_DIR" >&2
  exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$1"
# A statement is the text after a "statement ..." or "query ..." line, up to a blank line or
# the "----" that starts a query's expected rows.
awk -v dir="$1" '
  function flush() { if (text != "") { n++; f = sprintf("%s/stmt-%05d.sql", dir, n); printf "%s", text > f; close(f) } text = ""; inside = 0 }
  /^(statement|query)( |$)/ { flush(); inside = 1; next }
  /^----$/ || /^$/ { flush(); next }
  inside { text = text $0 "\n" }
  END { flush(); print n " seeds in " dir }
' "$root"/tests/sql/corpus/*.test
