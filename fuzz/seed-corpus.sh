#!/usr/bin/env bash
# Fills a corpus folder with the shared sample files, the fuzzer's starting points.
# Usage: fuzz/seed-corpus.sh CORPUS_DIR [SAMPLES_DIR]
# The samples stay outside the repository; this copies them into a folder of your choice.
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 CORPUS_DIR [SAMPLES_DIR]" >&2
  exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
corpus="$1"
samples="${2:-${TABLORY_SAMPLES:-$root/../shared/samples}}"
# Every sample, the Access 97 ones and the application's file in their folders included.
mapfile -t files < <(find "$samples" -name '*.mdb' | sort)
if [ ${#files[@]} -eq 0 ]; then
  echo "no .mdb files in $samples" >&2
  exit 1
fi
mkdir -p "$corpus"
for f in "${files[@]}"; do
  cp "$f" "$corpus/$(basename "$f")"
  chmod u+w "$corpus/$(basename "$f")"
done
echo "${#files[@]} seeds in $corpus"
