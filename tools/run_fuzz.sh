#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time from its seed
# corpus, one after the other. Usage: run_fuzz.sh BUILD_DIR SECONDS
# Each target's full log goes to BUILD_DIR/logs, crash inputs to
# BUILD_DIR/artifacts; the script fails when any target fails. An input
# that runs for more than 10 seconds counts as a hang.
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
failed=()
for target in "$build"/fuzz/*_fuzz; do
  name=$(basename "$target")
  seeds="$root/fuzz/corpus/${name%_fuzz}"
  work="$build/corpus/${name%_fuzz}"
  log="$build/logs/$name.log"
  mkdir -p "$seeds" "$work" "$build/artifacts" "$build/logs"
  # A damaged block stream over the zeros of a sparse image decodes for up
  # to a quarter million entries, a hundred times a whole map's work, and
  # its mutations mostly do the same: the map dump target picks its inputs
  # to mutate with their run time counted in.
  options=()
  if [ "$name" = map_dump_fuzz ]; then options=(-entropic_scale_per_exec_time=1); fi
  echo "=== $name: $seconds s"
  status=0
  "$target" "${options[@]}" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/${name%_fuzz}-" "$work" "$seeds" >"$log" 2>&1 || status=$?
  grep -E 'stat::|DONE|ERROR|SUMMARY|crash-' "$log" || true
  if [ "$status" -ne 0 ]; then
    echo "$name failed with status $status; see $log"
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]}"
  exit 1
fi
