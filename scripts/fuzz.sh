#!/bin/sh
# Runs every fuzz target of build/fuzz (scripts/build.sh fuzz): first its regression inputs once
# each, then fuzzing for a bounded time from a scratch copy of its seed corpus, so that the
# committed corpus never changes. Prints the executions and time per target; fails on any crash,
# sanitizer report or model mismatch, leaving the input that caused it under build/fuzz/findings.
# LR_FUZZ_SECONDS sets the time per target (20 s by default).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LR_BUILD_ROOT:-$root/build}
seconds=${LR_FUZZ_SECONDS:-20}
findings=$build/fuzz/findings
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM
mkdir -p "$findings"

failed=""
found=0
for fuzzer in "$build"/fuzz/bin/*_fuzz; do
  [ -x "$fuzzer" ] || continue
  found=$((found + 1))
  name=$(basename "$fuzzer" _fuzz)
  regressions=$root/tests/fuzz/regressions/$name
  log=$scratch/$name.log
  if [ -n "$(ls -A "$regressions" 2>/dev/null)" ] &&
    ! "$fuzzer" "$regressions"/* >"$log" 2>&1; then
    echo "$name: a regression input fails again"
    tail -n 30 "$log"
    failed="$failed $name"
    continue
  fi

  corpus=$scratch/$name
  mkdir -p "$corpus"
  cp "$root/tests/fuzz/corpus/$name"/* "$corpus"/
  [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ] && cp "$regressions"/* "$corpus"/
  started=$(date +%s)
  status=0
  "$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/$name-" "$corpus" >"$log" 2>&1 || status=$?
  elapsed=$(($(date +%s) - started))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$name: ${runs:-?} executions in ${elapsed} s"
  if [ "$status" -ne 0 ]; then
    grep -E '^(==[0-9]+==ERROR|SUMMARY|model mismatch|.*runtime error)' "$log" | head -n 5 || true
    grep -E '^(artifact_prefix|Test unit written)' "$log" || true
    failed="$failed $name"
  fi
done

if [ "$found" -eq 0 ]; then
  echo "no fuzz targets in $build/fuzz/bin: run scripts/build.sh fuzz first" >&2
  exit 2
fi
if [ -n "$failed" ]; then
  echo "fuzzing found faults in:$failed" >&2
  exit 1
fi
