#!/usr/bin/env python3
# Builds the exporter fuzz seeds from the synthetic sample image: each seed
# is the target's parameter bytes, then a sparse image (3-byte size, then
# records of 3-byte offset, 1-byte count, bytes; see fuzz/sparse_image.h)
# holding just the structures that the mode reads.
# Usage: make_exporter_seeds.py SAMPLE_ROM GORVTOOL OUT_DIR
import os, re, subprocess, sys, tempfile
rom_path, tool, out = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3]
scratch = tempfile.mkdtemp()
rom = open(rom_path, 'rb').read()
def be16(o): return rom[o] << 8 | rom[o+1]
def be32(o): return be16(o) << 16 | be16(o+2)
def lz_size(addr):
    r = subprocess.run([tool, os.path.abspath(rom_path), '-decompress', '%X' % addr],
                       cwd=scratch, capture_output=True, text=True)
    m = re.search(r'COMPRESSED DATA SIZE:\s+(\d+)', r.stdout)
    for f in os.listdir(scratch):
        os.remove(os.path.join(scratch, f))
    return int(m.group(1))
def sparse(ranges, size=0x100000):
    b = bytes([size >> 16 & 0xFF, size >> 8 & 0xFF, size & 0xFF])
    for start, count in ranges:
        while count > 0:
            n = min(count, 255)
            b += bytes([start >> 16, start >> 8 & 0xFF, start & 0xFF, n]) + rom[start:start+n]
            start += n; count -= n
    return b
def write(name, data):
    os.makedirs(os.path.dirname(out + '/' + name), exist_ok=True)
    open(out + '/' + name, 'wb').write(data)
    print(name, len(data))

def level_ranges(level):
    r = [(0x1AB4C, 2), (0x1A842 + 10 * level, 10), (0x1AB1C, 10), (0xD8E8 + level, 1),
         (0xD934 + level, 1), (0x4033A, 8)]
    count = be16(0x1AB4C)
    at = 0x1A842 + 10 * level if level < count else 0x1AB1C
    name = be32(at)
    end = rom.index(b'\xff', name)
    r.append((name, end - name + 1))
    table = be32(0x4033E)
    m = rom[table + level]
    r.append((table + level, 1))
    r.append((0x40342 + 2 * m, 2))
    r.append((0x4033A + be16(0x40342 + 2 * m), 28))
    return r

write('level_info/level05', bytes([0x05]) + sparse(level_ranges(0x05)))
write('level_info/level69', bytes([0x69]) + sparse(level_ranges(0x69)))

a = 0x992E4
write('raw_dump/resource_tiles', bytes([a >> 16, a >> 8 & 0xFF, a & 0xFF]) + sparse([(a, lz_size(a))]))

def theme_ranges(t):
    r = [(0x7B018, 0x1C)]
    for slot in (0x7B028, 0x7B02C):
        tab = be32(slot); r.append((tab + 2 * t, 2))
        v = be16(tab + 2 * t); r.append((0x7B018 + v, 4))
    sect = {}
    for slot in (0x7B018, 0x7B01C, 0x7B020, 0x7B030):
        tab = be32(slot); r.append((tab + 4 * t, 4)); sect[slot] = be32(tab + 4 * t)
    r.append((be32(0x7B018 + be16(be32(0x7B028) + 2 * t)), 30))
    r.append((be32(0x7B018 + be16(be32(0x7B02C) + 2 * t)), 16))
    r.append((sect[0x7B018], lz_size(sect[0x7B018])))
    r.append((sect[0x7B01C], lz_size(sect[0x7B01C])))
    r.append((sect[0x7B020], 512))  # the first quarter of the words
    r.append((sect[0x7B030], 256))
    return r
write('theme_dump/theme3', bytes([2]) + sparse(theme_ranges(3)))

res = [(0xD00C, 30), (0xA0A02, 4), (be32(0xA0A02), 24), (0xCAB2, lz_size(0xCAB2)),
       (0x992E4, lz_size(0x992E4)), (0x5B92, lz_size(0x5B92)), (0x5C83, lz_size(0x5C83)),
       (0x1DA86, lz_size(0x1DA86)), (0x12BA4, 0x80), (0x4668, 4), (be32(0x4668), 0x280),
       (0xA0A4E, 4), (be32(0xA0A4E) + 6, 0x180)]
write('resource_file/sample', sparse(res))

# The map dump's seeds hold the map's entry of the map header table and its
# header in front of the sparse image (see fuzz/map_dump_fuzz.cpp), and the
# image ends where the last of the map's data does.
def map_ranges(m):
    at = 0x4033A + be16(0x40342 + 2 * m)
    r = [(0x4033A, 8)]
    tile, block, background, enemy = (be32(at + 12 + 4 * i) for i in range(4))
    r.append((tile, lz_size(tile)))
    r.append((block, min(1024, background - block if background > block else 1024)))
    r.append((background, 240))
    if be16(background) == 0x8000:
        r.append((be32(background + 6), 600))
    r.append((enemy, 16))
    lst = be32(enemy)
    r.append((lst, 2 + 8 * rom[lst + 1]))
    return r

for m, name in ((0x00, 'map00_indirect'), (0x2E, 'map2e_direct'), (0x54, 'map54_fixed'),
                (0x37, 'map37_bad_marker')):
    entry = 0x40342 + 2 * m
    header = 0x4033A + be16(entry)
    ranges = map_ranges(m)
    end = max([s + n for s, n in ranges] + [header + 28])
    write('map_dump/' + name,
          bytes([m, 0xFF]) + rom[entry:entry+2] + rom[header:header+28] + sparse(ranges, end))
