#!/usr/bin/env bash
# --to-tiled and --from-tiled timings as a designer runs them (whole
# processes, files written), each the median of five runs: every map of the
# sample image in one run each way, and a generated 10 x 8-screen map
# (make_big_map.py); --preview of the same files for scale. Every
# --to-tiled run starts from a folder without .tmj files and tilesets, so
# each writes the tilesets too; every --from-tiled run writes the map files
# anew.
# Usage: bench_tiled.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
build=$(cd "${1:-build/release}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work="$build/tiled-bench"
rm -rf "$work"
mkdir -p "$work/maps" "$work/back"
cd "$work/maps"
"$build/make_sample_rom" sample.bin
"$build/gorvtool" sample.bin --all-maps </dev/null >/dev/null || true
python3 "$root/tools/make_big_map.py" big.gvm

source "$root/tools/bench_common.sh"

fresh_tiled='rm -f ./*.tmj gorv-* '
fresh_maps='rm -f ../back/*.gvm ../back/gorv-tiled.crc'
maps=(map*.gvm)
tmjs=("${maps[@]/%.gvm/.tmj}")
printf 'all %d sample maps:\n' "${#maps[@]}"
printf '  --to-tiled:   %s\n' "$(median_ms "$fresh_tiled" --to-tiled "${maps[@]}")"
cp ./*.tmj ../back/
cd ../back
printf '  --from-tiled: %s\n' "$(median_ms "$fresh_maps" --from-tiled "${tmjs[@]}")"
cd ../maps
printf '  --preview:    %s\n' "$(median_ms 'rm -f ./*.png' --preview "${maps[@]}")"
big_to=$(median_ms "$fresh_tiled" --to-tiled big.gvm)
cp big.tmj ../back/
cd ../back
big_from=$(median_ms "$fresh_maps" --from-tiled big.tmj)
cd ../maps
printf '10 x 8-screen map (%d bytes; .tmj %d bytes):\n' "$(wc -c <big.gvm)" "$(wc -c <big.tmj)"
printf '  --to-tiled:   %s\n' "$big_to"
printf '  --from-tiled: %s\n' "$big_from"
printf '  --preview:    %s\n' "$(median_ms 'rm -f ./*.png' --preview big.gvm)"
