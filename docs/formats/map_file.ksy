meta:
  id: map_file
  title: GorvTool map file (mapXX.gvm), format version 1 (GorvTool 1.1)
  file-extension: gvm
  endian: le
doc: |
  One map of the game: the first twelve bytes of its map header and its
  tile, block, background and enemy sections. Bit 7 of byte 4 tells the
  current layout (set, 28-byte header) from the earlier one (clear, 24-byte
  header, no end offset). The magic is not checked. See map-file.md.
seq:
  - id: magic
    size: 4
    doc: '"GMAP" as written; not checked'
  - id: header
    type:
      switch-on: is_current
      cases:
        true: header_current
        false: header_earlier
instances:
  layout_byte:
    pos: 4
    type: u1
  is_current:
    value: (layout_byte & 0x80) != 0
  values:
    value: 'is_current ? header.as<header_current>.values : header.as<header_earlier>.values'
  offsets:
    value: 'is_current ? header.as<header_current>.offsets : header.as<header_earlier>.offsets'
  end_offset:
    value: 'is_current ? header.as<header_current>.ofs_end : _io.size'
    doc: the earlier layout's enemy section runs to the end of the file
  squares:
    value: values.width * 20 * values.height * 14
  tiles:
    pos: offsets.tile
    size: offsets.block - offsets.tile
    doc: one byte per square, row by row; only the first `squares` bytes count
  blocks:
    pos: offsets.block
    size: offsets.background - offsets.block
    type: block_section(is_current)
  background_form:
    value: '((0x556 >> values.theme) & 1) == 1 ? 1 : (((0x2a8 >> values.theme) & 1) == 1 ? 2 : 0)'
    doc: 1 list, 2 fixed 232 bytes, 0 none (the section is empty)
  background:
    pos: offsets.background
    size: offsets.enemy - offsets.background
    type:
      switch-on: background_form
      cases:
        1: background_list
        2: background_fixed
  enemy:
    pos: offsets.enemy
    size: end_offset - offsets.enemy
    type: enemy_section
    if: end_offset > offsets.enemy
    doc: absent when the section is empty
types:
  header_current:
    seq:
      - id: marker
        type: u1
        doc: only bit 7 has a meaning
      - id: reserved
        type: u1
      - id: values
        type: map_values
      - id: offsets
        type: section_offsets
      - id: ofs_end
        type: u2
  header_earlier:
    seq:
      - id: values
        type: map_values
        doc: starts at byte 4; its width byte has bit 7 clear
      - id: offsets
        type: section_offsets
  map_values:
    seq:
      - id: width
        type: u1
      - id: size_byte
        type: u1
      - id: attribute
        type: u1
      - id: theme_byte
        type: u1
      - id: start_x
        type: u2
      - id: start_y
        type: u2
      - id: end_x
        type: u2
      - id: end_y
        type: u2
    instances:
      height:
        value: size_byte & 0x3f
      extra_rows:
        value: size_byte >> 6
      theme:
        value: theme_byte & 0x0f
      effect:
        value: (theme_byte >> 4) & 3
  section_offsets:
    seq:
      - id: tile
        type: u2
      - id: block
        type: u2
      - id: background
        type: u2
      - id: enemy
        type: u2
  block_section:
    params:
      - id: is_current
        type: bool
    seq:
      - id: items
        type: block_item(is_current)
        repeat: eos
  block_item:
    doc: |
      Current layout: a byte below 0x80 is a run of byte + 1 empty squares,
      anything else a 5-byte cell. Earlier layout: every item is a 5-byte
      record whose first byte's bits 5-0 give the type code.
    params:
      - id: is_current
        type: bool
    seq:
      - id: first
        type: u1
      - id: data
        size: 4
        if: not is_run
    instances:
      is_run:
        value: is_current and first < 0x80
      empty_squares:
        value: 'is_run ? first + 1 : 0'
      type_byte:
        value: 'is_run ? 0 : (0x80 | (first & 0x3f))'
  background_list:
    seq:
      - id: entries
        type: background_entry
        repeat: until
        repeat-until: _.is_end
  background_entry:
    seq:
      - id: a
        type: u2be
      - id: b
        type: u2be
        if: not is_end
      - id: c
        type: u2be
        if: not is_end
    instances:
      is_end:
        value: a == 0xffff
  background_fixed:
    seq:
      - id: data
        size: 232
  enemy_section:
    seq:
      - id: art_load
        type: u2be
        repeat: expr
        repeat-expr: 3
      - id: count
        type: u1
      - id: entries
        type: enemy_entry
        repeat: expr
        repeat-expr: count
  enemy_entry:
    seq:
      - id: b0
        type: u1
      - id: b1
        type: u1
      - id: kind
        type: u2be
        doc: 0x0002 where the ROM image holds 0x0014, 0x0001 for 0x0015
      - id: w4
        type: u2be
      - id: w6
        type: u2be
