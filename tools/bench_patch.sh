#!/usr/bin/env bash
# The designer's patch, timed as a designer runs it: makes the pair
# (make_patch_pair.sh) in BUILD_DIR/bps-pair, then runs
# `gorvtool imported.bin --patch sample.bin` five times (a whole process
# each, writing imported.bps) and reports the patch's size and the median
# time. Usage: bench_patch.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
build=$(cd "${1:-build/release}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
pair="$build/bps-pair"
bash "$root/tools/make_patch_pair.sh" "$build" "$pair"
cd "$pair"
times=()
for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  "$build/gorvtool" imported.bin --patch sample.bin </dev/null >/dev/null
  end=$(date +%s%N)
  times+=($(((end - start) / 1000)))
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
printf 'designer'"'"'s patch: %d bytes (%d -> %d bytes), gorvtool --patch median of 5 runs: %d.%d ms\n' \
  "$(wc -c <imported.bps)" "$(wc -c <sample.bin)" "$(wc -c <imported.bin)" \
  $((median / 1000)) $((median % 1000 / 100))
