#!/usr/bin/env bash
# Runs the tool on the synthetic sample ROM image, in build/demo.
# Usage: tools/demo.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
build=${1:-build/release}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$build" && pwd)
demo="${DEMO_DIR:-$root/build/demo}"
rm -rf "$demo"
mkdir -p "$demo"
cd "$demo"

step() { printf '\n=== %s\n' "$*"; }

# Runs gorvtool as a user would, showing the command line; a non-zero exit
# status is shown but does not stop the demo.
gorvtool() {
  printf '\n$ gorvtool %s\n' "$*"
  local status=0
  "$build/gorvtool" "$@" </dev/null || status=$?
  [ "$status" -eq 0 ] || printf '(exit status %d)\n' "$status"
}

# Big-endian values of the image, for finding addresses to show.
be16() { od -An -tu1 -j "$(($2))" -N 2 "$1" | awk '{print $1 * 256 + $2}'; }
be32() { printf '%d' $(( $(be16 "$1" "$2") * 65536 + $(be16 "$1" "$(($2 + 2))") )); }

step "writing the sample ROM image: $demo/sample.bin"
"${MAKE_SAMPLE_ROM:-$build/make_sample_rom}" sample.bin
ls -l sample.bin

step "level reports: a level with bonuses and a part number, one at the level count"
gorvtool sample.bin -info 02
gorvtool sample.bin -info 05
gorvtool sample.bin -info 30

step "raw dump of the tile layout of level 0's map"
order=$(be32 sample.bin 0x4033E)
map=$(od -An -tu1 -j "$order" -N 1 sample.bin | tr -d ' ')
header=$((0x4033A + $(be16 sample.bin $((0x40342 + 2 * map)))))
tile=$(be32 sample.bin $((header + 12)))
if [ "$tile" -eq 0 ]; then tile=$((0x50000)); fi # the sample has no maps yet
address=$(printf '%X' "$tile")
printf 'level 0 plays on map 0x%02X; its tile layout lies at 0x%s\n' "$map" "$address"
gorvtool sample.bin -decompress "$address"
ls -l "0x$address.dat"

step "the map of level 00 (map 4A), then only its blocks of type 03"
gorvtool sample.bin -map 4A
mkdir -p only03
(cd only03 && gorvtool ../sample.bin -map 4A -block 03)
ls -l map4a.gvm only03/map4a.gvm

step "a picture of map 4A, and of what an edit changed"
gorvtool --preview map4a.gvm
# An edit in known places: tiles in the tile section (at offset 28) and one
# block cell's type byte.
cp map4a.gvm edited4a.gvm
python3 - edited4a.gvm <<'PY'
import sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
for square in (40 * 3 + 5, 40 * 3 + 6, 40 * 9 + 30):
    data[28 + square] ^= 0x21
pos = data[20] | data[21] << 8  # the block section: skip runs of empty squares
while data[pos] < 0x80:
    pos += 1
data[pos] = 0x8A  # the first block cell becomes block type 0x0A
open(path, "wb").write(data)
PY
gorvtool --compare map4a.gvm edited4a.gvm

step "every sample map as a Tiled map (.tmj), in $demo/tiled, and one back"
mkdir -p tiled
(
  cd tiled
  gorvtool ../sample.bin --all-maps
  gorvtool --to-tiled map*.gvm
  gorvtool --from-tiled map4a.tmj
  ls gorv-*
)

step "theme A and the editor's resource file"
gorvtool sample.bin -theme a -resource
ls -l themea.gvt gorvedit.dat

step "a value out of range, and the usage text"
gorvtool sample.bin -info 6A
gorvtool sample.bin

step "import: the map files above back into a copy of the sample image"
cp sample.bin import.bin
gorvtool import.bin -import
hex() { od -An -tx1 -j "$2" -N "$3" "$1" | tr -d ' \n'; }
printf '\nsize %s -> %s bytes, end address (0x1A4) %s -> %s, checksum (0x18E) %s -> %s\n' \
  "$(wc -c <sample.bin)" "$(wc -c <import.bin)" "$(hex sample.bin 420 4)" "$(hex import.bin 420 4)" \
  "$(hex sample.bin 398 2)" "$(hex import.bin 398 2)"

step "share the hack: a patch from the clean image, applied to a copy of it"
gorvtool import.bin --patch sample.bin
mkdir -p players
cp sample.bin players/clean.bin
cp import.bps players/
(cd players && gorvtool clean.bin --apply import.bps)
cmp import.bin players/import.bin && echo "players/import.bin is the imported image, byte for byte"

step "files written in $demo"
ls -l
