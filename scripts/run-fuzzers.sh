#!/usr/bin/env bash
# Runs every fuzz target of a build for a short time from its seed corpus.
#   scripts/run-fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail
build=$1
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
found=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  found=1
  name=$(basename "$target")
  seeds="$root/fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  echo "fuzzing $name for ${seconds}s"
  # Bounded inputs and memory: a parser must stay within both.
  if ! "$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
       -print_final_stats=0 "$work" >"$work.log" 2>&1; then
    tail -n 60 "$work.log"
    echo "fuzz target $name failed" >&2
    exit 1
  fi
  tail -n 1 "$work.log"
  rm -rf "$work" "$work.log"
done
[ "$found" = 1 ] || echo "no fuzz targets built"
