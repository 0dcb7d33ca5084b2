#!/usr/bin/env bash
# Makes the designer's pair (make_patch_pair.sh) in BUILD_DIR/bps-pair, has
# bps_file create the patch and reports its size and the time the creation
# took. Usage: bps_pair_report.sh [BUILD_DIR]   (default build/test; a test
# build: it needs tests/bps_file beside gorvtool and make_sample_rom)
set -euo pipefail
build=$(cd "${1:-build/test}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
pair="$build/bps-pair"
bash "$root/tools/make_patch_pair.sh" "$build" "$pair"
start=$(date +%s%N)
"$build/tests/bps_file" create "$pair/sample.bin" "$pair/imported.bin" "$pair/import.bps"
end=$(date +%s%N)
printf '%s -> %s: patch of %d bytes in %d ms (bps_file, with reading and writing the files)\n' \
  "$(wc -c <"$pair/sample.bin")" "$(wc -c <"$pair/imported.bin")" "$(wc -c <"$pair/import.bps")" \
  $(((end - start) / 1000000))
