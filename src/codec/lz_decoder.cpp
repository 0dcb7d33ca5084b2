#include "codec/lz_decoder.h"

#include "codec/lz_stream.h"

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
  const std::uint64_t flag_end = start + kLzFlagLengthSize + read_be16(rom, start);
  std::uint64_t flag_pos = start + kLzFlagLengthSize;
  std::uint64_t previous_token = flag_pos;
  std::uint64_t data_pos = flag_end;
  unsigned bit_index = 0;  // 0 is bit 7 of the byte at flag_pos
  const bool limited = limit != 0;
  const std::uint32_t cap = limited ? limit : kLzMaxUnlimitedSize;
  std::uint32_t produced = 0;

  // The loop test looks at the byte in which the previous token began, so a
  // token that began in the last flag byte is followed by one more.
  while (produced < cap && previous_token < flag_end && !out.full) {
    const std::uint16_t word = read_be16(rom, flag_pos);
    previous_token = flag_pos;
    unsigned taken = 0;
    // The next `count` code bits, the first of them highest.
    auto next_bits = [&](unsigned count) -> unsigned {
      taken += count;
      return (word >> (16 - bit_index - taken)) & ((1u << count) - 1);
    };

    const unsigned first = next_bits(kLzLiteralBits);
    if (first == kLzLiteral) {
      put_byte(out, read_u8(rom, data_pos++));
      produced += 1;
    } else {
      unsigned distance;
      unsigned length;
      const unsigned kind = first << 1 | next_bits(kLzKindBits - kLzLiteralBits);
      if (kind == kLzShort) {
        length = kLzShortMinLength + next_bits(kLzShortBits - kLzKindBits);
        distance = read_u8(rom, data_pos++);
      } else {
        const unsigned high = next_bits(kLzHighBits);
        const unsigned count = next_bits(kLzCountBits);
        distance = high << 8 | read_u8(rom, data_pos++);
        length = count == kLzLengthByte ? read_u8(rom, data_pos++) : kLzLongMinLength + count;
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
