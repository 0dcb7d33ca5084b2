#!/usr/bin/env bash
# BPS interoperability with an independent implementation, the npm package
# `bps` (installed by `npm ci` at the top of the repository):
#  (a) every patch our creator makes, for random pairs and for the designer's
#      pair of a sample image and its import, applied by the package;
#  (b) patches the package makes for small random pairs, applied by ours.
# Only the output files count (compared with cmp): a tool that reports
# success is not trusted to have checked anything.
# Usage: bps_interop_test.sh BPS_FILE BUILD_DIR   (BUILD_DIR: gorvtool, make_sample_rom)
# Without node or the package the test is skipped (exit 77), or fails under CI.
set -euo pipefail
bps_file=$1
build=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
script="$root/tests/interop/bps_interop.mjs"

if ! command -v node >/dev/null 2>&1 || [ ! -f "$root/node_modules/bps/package.json" ]; then
  message="node or the npm package bps is missing: run 'npm ci' in $root"
  if [ -n "${CI:-}" ]; then
    echo "FAIL: $message" >&2
    exit 1
  fi
  echo "SKIP: $message"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# (a) ours -> package. Pairs of up to about 64 KiB: the package applies fast.
mkdir "$work/a"
node "$script" pairs "$work/a" 40 65536 1
for src in "$work"/a/*.src; do
  pair=${src%.src}
  "$bps_file" create "$src" "$pair.tgt" "$pair.bps" || { fail "ours cannot create $pair"; continue; }
  node "$script" apply "$pair.bps" "$src" "$pair.out" && cmp -s "$pair.out" "$pair.tgt" ||
    fail "the package does not rebuild $(basename "$pair") from our patch"
done

bash "$root/tools/make_patch_pair.sh" "$build" "$work/designer" >/dev/null
designer="$work/designer"
# The designer's patch as the tool itself writes it (imported.bps).
if (cd "$designer" && "$build/gorvtool" imported.bin --patch sample.bin </dev/null >/dev/null); then
  echo "designer's pair: $(wc -c <"$designer/imported.bps") bytes of patch"
  node "$script" apply "$designer/imported.bps" "$designer/sample.bin" "$designer/out.bin" &&
    cmp -s "$designer/out.bin" "$designer/imported.bin" ||
    fail "the package does not rebuild the designer's import from our patch"
else
  fail "ours cannot create the designer's patch"
fi

# (b) package -> ours. Its creator is quadratic in places: pairs of a few KiB.
mkdir "$work/b"
node "$script" pairs "$work/b" 20 3000 2
for src in "$work"/b/*.src; do
  pair=${src%.src}
  node "$script" create "$src" "$pair.tgt" "$pair.bps" || { fail "the package cannot create $pair"; continue; }
  "$bps_file" apply "$pair.bps" "$src" "$pair.out" && cmp -s "$pair.out" "$pair.tgt" ||
    fail "ours does not rebuild $(basename "$pair") from the package's patch"
done

[ "$failures" -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "all patches rebuild their targets both ways"
