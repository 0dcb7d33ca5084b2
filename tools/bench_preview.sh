#!/usr/bin/env bash
# Preview timings as a designer runs them (whole processes, PNG files
# written): every map of the sample image in one run, and a generated
# 10 x 8-screen map (make_big_map.py), each the median of five runs.
# Usage: bench_preview.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
build=$(cd "${1:-build/release}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work="$build/preview-bench"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
"$build/make_sample_rom" sample.bin
"$build/gorvtool" sample.bin --all-maps </dev/null >/dev/null || true
python3 "$root/tools/make_big_map.py" big.gvm

source "$root/tools/bench_common.sh"

maps=(map*.gvm)
printf 'all %d sample maps: %s\n' "${#maps[@]}" "$(median_ms : --preview "${maps[@]}")"
printf '10 x 8-screen map: %s (%d bytes of PNG)\n' "$(median_ms : --preview big.gvm)" "$(wc -c <big.png)"
