meta:
  id: theme_file
  title: GorvTool theme file (themeX.gvt), format version 1 (GorvTool 1.1)
  file-extension: gvt
  endian: le
doc: |
  One theme's six sections behind the magic, at fixed sizes. Sections C and
  D are expanded LZ streams; one whose last back-reference crossed its
  limit makes the file longer, and the file does not say which: the extra
  bytes are read as `overrun`, between D and E. See theme-file.md.
seq:
  - id: magic
    contents: GTHM
  - id: section_a
    size: 30
  - id: section_b
    size: 16
  - id: section_c
    size: 0x2c80
  - id: section_d
    size: 0x1000
  - id: overrun
    size: _io.size - 17842
  - id: section_e
    type: u2le
    repeat: expr
    repeat-expr: 1024
    doc: the ROM image's big-endian words, stored with their bytes swapped
  - id: section_f
    size: 256
