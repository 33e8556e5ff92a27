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
if ! ls "$samples"/*.mdb >/dev/null 2>&1; then
  echo "no .mdb files in $samples" >&2
  exit 1
fi
mkdir -p "$corpus"
for f in "$samples"/*.mdb; do
  cp "$f" "$corpus/$(basename "$f")"
  chmod u+w "$corpus/$(basename "$f")"
done
echo "$(ls "$samples"/*.mdb | wc -l) seeds in $corpus"
