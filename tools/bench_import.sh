#!/usr/bin/env bash
# The import as a designer runs it, against the I/O it cannot avoid, all
# as whole processes started the same way, runs interleaved, medians:
# `gorvtool rom.bin -import` of 126 map files of 4 x 3 screens into a 2 MiB
# image whose .orig copy exists already (so the import keeps the .bak copy
# and writes and flushes the image), once into the clean image (a first
# import: the maps before it are read from the game's own directory, half
# of them differ) and once into the image that import made (a re-import:
# the maps before it are read from the imported directory, none differs);
# and `import_scene io` (reading the 126 map files and the image, then
# writing and flushing two copies of it).
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
cp rom.bin imported.bin

median_us() {
  sort -n | sed -n "$(((runs + 1) / 2))p"
}
timed_import() {
  cp "$1" rom.bin
  sync
  local start end
  start=$(date +%s%N)
  "$build/gorvtool" rom.bin -import </dev/null >/dev/null
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}
import_times=()
reimport_times=()
io_times=()
for ((run = 0; run < runs; ++run)); do
  import_times+=($(timed_import clean.bin))
  reimport_times+=($(timed_import imported.bin))
  sync
  start=$(date +%s%N)
  "$build/bench/import_scene" io .
  end=$(date +%s%N)
  io_times+=($(((end - start) / 1000)))
done
report() {
  local time
  time=$(printf '%s\n' "${@:2}" | median_us)
  printf '%s: %d.%d ms, unavoidable I/O: %d.%d ms, ratio %d.%02d (medians of %d runs)\n' \
    "$1" $((time / 1000)) $((time % 1000 / 100)) $((io / 1000)) $((io % 1000 / 100)) \
    $((time / io)) $((time * 100 / io % 100)) "$runs"
}
io=$(printf '%s\n' "${io_times[@]}" | median_us)
report "first import" "${import_times[@]}"
report "re-import" "${reimport_times[@]}"
