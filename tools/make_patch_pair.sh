#!/usr/bin/env bash
# Writes the pair of images that a designer's BPS patch is made from:
# sample.bin (the synthetic sample image) and imported.bin (the same image
# after dumping every map, editing a few tiles in eight of them and
# importing them all back). Usage: make_patch_pair.sh BUILD_DIR OUT_DIR
# BUILD_DIR holds gorvtool and make_sample_rom; OUT_DIR is created and
# gets the two images and the map files.
set -euo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
cd "$2"
rm -f ./*.gvm ./*.bps sample.bin imported.bin imported.bin.orig imported.bin.bak

"$build/make_sample_rom" sample.bin

# Every map the image has. The sample image holds maps with damaged layouts
# on purpose: the dump reports an error for them (exit status 1) but writes
# their map files all the same, and they are imported back like the others.
"$build/gorvtool" sample.bin --all-maps </dev/null >/dev/null || true
[ -f map4a.gvm ] || { echo "gorvtool sample.bin --all-maps wrote no map4a.gvm" >&2; exit 1; }

byte_at() { od -An -tu1 -j "$2" -N 1 "$1" | tr -d ' \n'; }

# A designer's edit: in the first eight map files, five tiles of the tile
# section change, each file by its own XOR value 0x11 + k.
k=0
for file in $(ls map*.gvm | LC_ALL=C sort | head -n 8); do
  section=$(($(byte_at "$file" 18) + 256 * $(byte_at "$file" 19)))
  for delta in 3 10 17 24 31; do
    offset=$((section + delta))
    value=$(($(byte_at "$file" "$offset") ^ (0x11 + k)))
    printf "\\x$(printf '%02x' "$value")" | dd of="$file" bs=1 seek="$offset" conv=notrunc status=none
  done
  k=$((k + 1))
done
[ "$k" -eq 8 ] || { echo "only $k map files: expected at least 8" >&2; exit 1; }

cp sample.bin imported.bin
if ! output=$("$build/gorvtool" imported.bin -import </dev/null 2>&1); then
  printf 'gorvtool imported.bin -import failed:\n%s\n' "$output" >&2
  exit 1
fi
