#!/usr/bin/env bash
# Readers beside one writer that keeps the file open through many commits: `dump` and
# `check` run in a loop while a single `tablory-sql exec` process commits COMMITS inserts
# (each a statement of its own, each a commit). Every read must either succeed with a
# consistent file or say the file is in use; any other outcome is damage reported where
# there is none. Prints the counts and exits non-zero on a wrong read or a failed writer.
#
#   bench/readers-during-commits.sh [TABLORY_SQL] [COMMITS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
tool="${1:-$root/build/release/src/cli/tablory-sql}"
commits="${2:-20}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
file="$work/busy.mdb"

"$tool" create "$file"
"$tool" exec "$file" "create table T (ID counter primary key, Note memo)" >/dev/null
script="$work/inserts.sql"
for ((i = 0; i < commits; i++)); do
  echo "insert into T (Note) values (Space(3000) & '$i');"
done >"$script"

"$tool" exec "$file" - <"$script" >"$work/writer.out" 2>&1 &
writer=$!
ok=0 in_use=0 wrong=0
while kill -0 "$writer" 2>/dev/null; do
  for command in check dump; do
    if out="$("$tool" "$command" "$file" 2>&1)"; then
      if [ "$command" = check ] && [[ "$out" != ok:* ]]; then
        wrong=$((wrong + 1)); echo "wrong: $command: $out" >&2
      else
        ok=$((ok + 1))
      fi
    elif [[ "$out" == *"file already in use."* ]]; then
      in_use=$((in_use + 1))
    else
      wrong=$((wrong + 1)); echo "wrong: $command: $out" >&2
    fi
  done
done
status=0
wait "$writer" || status=$?
rows="$("$tool" exec "$file" "select Count(*) from T" | grep -E "^ *[0-9]+ *$" | tr -d " ")"
echo "commits: $commits (writer exit $status, rows $rows); reads while writing: ok $ok, in use $in_use, wrong $wrong"
[ "$status" -eq 0 ] && [ "$wrong" -eq 0 ] && [ "$rows" = "$commits" ]
