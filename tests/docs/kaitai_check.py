"""Parses map and theme files with the Kaitai Struct descriptions of
docs/formats (compiled to Python by kaitai-struct-compiler 0.10.0) and
compares every field with what GorvTool's format module reads (format_fields).

The files: every map and theme file that the synthetic sample image's dumps
produce, each map file also rewritten in the earlier layout, and the
earlier-layout seed of fuzz/corpus/map_file.

Usage: kaitai_check.py SOURCE_DIR WORK_DIR GORVTOOL MAKE_SAMPLE_ROM FORMAT_FIELDS
Exit 77 (skipped) for a missing tool when CI is unset; under CI it fails."""
import importlib
import json
import os
import shutil
import struct
import subprocess
import sys


def missing(what):
    print(f"KaitaiDescriptions: {what}", file=sys.stderr)
    sys.exit(1 if os.environ.get("CI") else 77)


def earlier_layout(current):
    """The same map in the earlier layout: 24-byte header, no end offset,
    one 5-byte record per square (an empty square becomes 00 00 00 00 00)."""
    values = current[6:18]
    tile, block, bg, enemy, end = struct.unpack_from("<5H", current, 18)
    records = bytearray()
    section, pos = current[block:bg], 0
    while pos < len(section):
        if section[pos] >= 0x80:
            records += section[pos : pos + 5]
            pos += 5
        else:
            records += bytes(5 * (section[pos] + 1))
            pos += 1
    tiles = current[tile:block]
    b = 24 + len(tiles)
    offsets = struct.pack("<4H", 24, b, b + len(records), b + len(records) + enemy - bg)
    return b"GMAP" + values + offsets + tiles + records + current[bg:end]


def kaitai_map_fields(m):
    squares = m.squares
    blocks, square = [], 0
    for item in m.blocks.items:
        if square >= squares:
            break
        if item.is_run:
            square += item.empty_squares
        else:
            blocks.append([square, item.type_byte, *item.data])
            square += 1
    background = b""
    if m.background_form == 1:
        for e in m.background.entries:
            background += struct.pack(">H", e.a) if e.is_end else struct.pack(">3H", e.a, e.b, e.c)
    elif m.background_form == 2:
        background = m.background.data
    enemy = None
    if m.enemy is not None:
        entries = [struct.pack(">BBHHH", e.b0, e.b1, e.kind, e.w4, e.w6).hex() for e in m.enemy.entries]
        enemy = {"art_load": struct.pack(">3H", *m.enemy.art_load).hex(), "entries": entries}
    v = m.values
    return {"problem": 0, "current": m.is_current, "width": v.width, "size_byte": v.size_byte,
            "attribute": v.attribute, "theme_byte": v.theme_byte, "start_x": v.start_x,
            "start_y": v.start_y, "end_x": v.end_x, "end_y": v.end_y, "tiles": m.tiles.hex(),
            "blocks": blocks, "background": background.hex(), "enemy": enemy}


def kaitai_theme_fields(t):
    return {"magic": t.magic.hex(), "A": t.section_a.hex(), "B": t.section_b.hex(),
            "C": t.section_c.hex(), "D": t.section_d.hex(), "overrun": t.overrun.hex(),
            "E": list(t.section_e), "F": t.section_f.hex()}


def main():
    source, work, gorvtool, make_sample_rom, format_fields = sys.argv[1:6]
    try:
        importlib.import_module("kaitaistruct")
    except ImportError:
        missing(f"the Python module kaitaistruct is missing for {sys.executable} "
                "(Debian: apt-get install python3-kaitaistruct)")
    node = shutil.which("node") or shutil.which("nodejs")
    compiler = os.path.join(source, "node_modules", "kaitai-struct-compiler")
    if node is None or not os.path.isdir(compiler):
        missing("node or node_modules/kaitai-struct-compiler is missing (run `npm ci` in the source tree)")

    shutil.rmtree(work, ignore_errors=True)
    dumps = os.path.join(work, "dumps")
    os.makedirs(dumps)
    ksy = [os.path.join(source, "docs", "formats", f) for f in ("map_file.ksy", "theme_file.ksy")]
    subprocess.run([node, os.path.join(source, "tools", "kaitai", "compile_ksy.js"), work, *ksy], check=True)
    sys.path.insert(0, work)
    from map_file import MapFile
    from theme_file import ThemeFile

    image = os.path.join(work, "sample.bin")
    subprocess.run([make_sample_rom, image], check=True, stdout=subprocess.DEVNULL)
    for number in range(0x7E):
        subprocess.run([gorvtool, image, "-map", f"{number:02x}"], cwd=dumps,
                       stdout=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    for theme in "123456789a":
        subprocess.run([gorvtool, image, "-theme", theme], cwd=dumps, check=True,
                       stdout=subprocess.DEVNULL, stdin=subprocess.DEVNULL)

    files = []  # (kind, path)
    for name in sorted(os.listdir(dumps)):
        path = os.path.join(dumps, name)
        if name.endswith(".gvm"):
            earlier = os.path.join(work, name.replace(".gvm", "_earlier.gvm"))
            with open(path, "rb") as f, open(earlier, "wb") as out:
                out.write(earlier_layout(f.read()))
            files += [("map", path), ("map", earlier)]
        elif name.endswith(".gvt"):
            files.append(("theme", path))
    files.append(("map", os.path.join(source, "fuzz", "corpus", "map_file", "map1d_earlier_layout")))
    counts = {kind: sum(1 for k, _ in files if k == kind) for kind in ("map", "theme")}
    if counts["map"] < 3 or counts["theme"] != 10:
        print(f"KaitaiDescriptions: too few files dumped: {counts}", file=sys.stderr)
        return 1

    failures = 0
    for kind, path in files:
        tool = json.loads(subprocess.run([format_fields, kind, path], check=True,
                                         capture_output=True, text=True).stdout)
        parsed = MapFile.from_file(path) if kind == "map" else ThemeFile.from_file(path)
        ours = kaitai_map_fields(parsed) if kind == "map" else kaitai_theme_fields(parsed)
        differing = [key for key in tool if tool[key] != ours.get(key)]
        if differing:
            failures += 1
            print(f"{path}: fields differ: {', '.join(differing)}", file=sys.stderr)
    print(f"KaitaiDescriptions: {len(files) - failures} of {len(files)} files agree "
          f"({counts['map']} map files, {counts['theme']} theme files)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
