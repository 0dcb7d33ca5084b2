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

step "gorvtool sample.bin -map 4A: the map of level 00 as map4a.gvm"
"$build/gorvtool" sample.bin -map 4A </dev/null || true
ls -l map4a.gvm 2>/dev/null || true
