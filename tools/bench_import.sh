#!/usr/bin/env bash
# The import as a designer runs it, against the I/O it cannot avoid, both
# as whole processes started the same way, runs interleaved, medians:
# `gorvtool rom.bin -import` of 126 map files of 4 x 3 screens into a 2 MiB
# image whose .orig copy exists already (so the import keeps the .bak copy
# and writes and flushes the image), and `import_scene io` (reading the 126
# map files and the image, then writing and flushing two copies of it).
# Usage: bench_import.sh [BUILD_DIR] [RUNS]   (default build/release, 21)
set -euo pipefail
build=$(cd "${1:-build/release}" && pwd)
runs=${2:-21}
work="$build/import-bench"
rm -rf "$work"
mkdir -p "$work"
"$build/bench/import_scene" make "$work"
cp "$work/rom.bin" "$work/clean.bin"
cd "$work"
"$build/gorvtool" rom.bin -import </dev/null >/dev/null  # writes rom.bin.orig

median_us() {
  sort -n | sed -n "$(((runs + 1) / 2))p"
}
import_times=()
io_times=()
for ((run = 0; run < runs; ++run)); do
  cp clean.bin rom.bin
  sync
  start=$(date +%s%N)
  "$build/gorvtool" rom.bin -import </dev/null >/dev/null
  end=$(date +%s%N)
  import_times+=($(((end - start) / 1000)))
  sync
  start=$(date +%s%N)
  "$build/bench/import_scene" io .
  end=$(date +%s%N)
  io_times+=($(((end - start) / 1000)))
done
import=$(printf '%s\n' "${import_times[@]}" | median_us)
io=$(printf '%s\n' "${io_times[@]}" | median_us)
printf 'import: %d.%d ms, unavoidable I/O: %d.%d ms, ratio %d.%02d (medians of %d runs)\n' \
  $((import / 1000)) $((import % 1000 / 100)) $((io / 1000)) $((io % 1000 / 100)) \
  $((import / io)) $((import * 100 / io % 100)) "$runs"
