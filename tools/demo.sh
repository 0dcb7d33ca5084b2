#!/usr/bin/env bash
# Runs the tool on the synthetic sample ROM image, in build/demo.
set -euo pipefail
build=${1:-build/release}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$build" && pwd)
demo="$root/build/demo"
mkdir -p "$demo"
cd "$demo"

step() { printf '\n=== %s\n' "$*"; }

step "writing the sample ROM image: $demo/sample.bin"
"$build/make_sample_rom" sample.bin

step "gorvtool sample.bin (the front end is not ready yet)"
"$build/gorvtool" sample.bin -info 00 </dev/null || true

step "gorvtool import.bin -import: the map files above back into a copy of the sample image"
cp sample.bin import.bin
"$build/gorvtool" import.bin -import </dev/null || true
hex() { od -An -tx1 -j "$2" -N "$3" "$1" | tr -d ' \n'; }
printf '\nsize %s -> %s bytes, end address (0x1A4) %s -> %s, checksum (0x18E) %s -> %s\n' \
  "$(wc -c <sample.bin)" "$(wc -c <import.bin)" "$(hex sample.bin 420 4)" "$(hex import.bin 420 4)" \
  "$(hex sample.bin 398 2)" "$(hex import.bin 398 2)"
