#include "codec/lz_decoder.h"

namespace gorv {

namespace {

// Appends one byte of a back-reference: the byte `distance` positions before
// the cursor (16-bit arithmetic), or 0 where that lies outside the buffer.
void copy_back(OutputBuffer& out, std::uint16_t distance) {
  const auto source = static_cast<std::uint16_t>(out.cursor - distance);
  put_byte(out, source < out.length ? out.storage[source] : 0);
}

// Appends `length` bytes of a back-reference. Where the whole copy is an
// append that starts inside the buffer and fits, it is copied at once (a
// forward copy, so that an overlapping reference repeats its bytes);
// otherwise byte by byte with the rules of copy_back.
void copy_run(OutputBuffer& out, std::uint16_t distance, unsigned length) {
  const std::size_t end = std::size_t{out.cursor} + length;
  if (out.cursor == out.length && distance <= out.cursor && end <= kOutputBufferCapacity &&
      end <= out.storage.size()) {
    std::uint8_t* to = out.storage.data() + out.cursor;
    const std::uint8_t* from = to - distance;
    for (unsigned k = 0; k < length; ++k) to[k] = from[k];
    out.cursor = static_cast<std::uint16_t>(end);
    out.length = static_cast<std::uint16_t>(end);
    return;
  }
  for (unsigned k = 0; k < length; ++k) copy_back(out, distance);
}

}  // namespace

LzDecodeResult lz_decode(Bytes rom, std::uint64_t offset, std::uint16_t limit, OutputBuffer& out) {
  const std::uint64_t start = offset;
  const std::uint64_t flag_end = start + 2 + read_be16(rom, start);
  std::uint64_t flag_pos = start + 2;
  std::uint64_t previous_token = start + 2;
  std::uint64_t data_pos = flag_end;
  unsigned bit_index = 0;  // 0 is bit 7 of the byte at flag_pos
  const bool limited = limit != 0;
  const std::uint32_t cap = limited ? limit : 0xFFFF;
  std::uint32_t produced = 0;

  // The loop test looks at the byte in which the previous token began, so a
  // token that began in the last flag byte is followed by one more.
  while (produced < cap && previous_token < flag_end && !out.full) {
    const std::uint16_t word = read_be16(rom, flag_pos);
    previous_token = flag_pos;
    unsigned taken = 0;
    auto next_bit = [&]() -> unsigned { return (word >> (15 - bit_index - taken++)) & 1u; };

    if (next_bit() == 1) {
      put_byte(out, read_u8(rom, data_pos++));
      produced += 1;
    } else {
      unsigned distance;
      unsigned length;
      if (next_bit() == 0) {
        length = 2 + next_bit();
        distance = read_u8(rom, data_pos++);
      } else {
        unsigned high = next_bit() << 2;
        high |= next_bit() << 1;
        high |= next_bit();
        unsigned code = next_bit() << 1;
        code |= next_bit();
        distance = high << 8 | read_u8(rom, data_pos++);
        length = code == 3 ? read_u8(rom, data_pos++) : 3 + code;
      }
      if (length != 0) {
        if (distance == 0) {
          // Distance 0 stands for length - 1 zero bytes.
          for (unsigned k = 1; k < length; ++k) put_byte(out, 0);
          produced += length - 1;
        } else {
          copy_run(out, static_cast<std::uint16_t>(distance), length);
          produced += length;
        }
      }
    }
    bit_index += taken;
    if (bit_index > 7) {
      bit_index -= 8;
      ++flag_pos;
    }
  }

  LzDecodeResult result;
  result.compressed_size = data_pos - start;
  if (limited) {
    for (; produced < limit && !out.full; ++produced) put_byte(out, 0);
    result.size = limit;
  } else {
    result.size = produced;
  }
  result.buffer_full = out.full;
  return result;
}

}  // namespace gorv
