#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time from its seed
# corpus. Usage: run_fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
for target in "$build"/fuzz/*_fuzz; do
  name=$(basename "$target")
  seeds="$root/fuzz/corpus/${name%_fuzz}"
  work="$build/corpus/${name%_fuzz}"
  mkdir -p "$seeds" "$work" "$build/artifacts"
  echo "=== $name: $seconds s"
  "$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/${name%_fuzz}-" "$work" "$seeds" 2>&1 | grep -E 'stat::|DONE|ERROR|SUMMARY|crash-' || true
  test "${PIPESTATUS[0]}" -eq 0
done
