// Applies a BPS patch, checking it fully before anything is allocated.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "codec/bps.h"
#include "common/byte_order.h"

namespace gorv {

namespace {

constexpr std::size_t kMagicSize = 4;
constexpr std::size_t kFooterSize = 12;

// Seven bytes give values up to about 2^49, far above any image and far
// below where the sums and cursor moves below could overflow 64 bits.
constexpr int kMaxNumberBytes = 7;

// Reads one number at `pos` that must end before `end`.
BpsError read_number(std::span<const std::uint8_t> patch, std::size_t& pos, std::size_t end,
                     std::uint64_t& value) {
  value = 0;
  std::uint64_t shift = 1;
  for (int count = 1;; ++count) {
    if (pos >= end) return BpsError::patch_cut;
    const std::uint8_t byte = patch[pos++];
    value += (byte & 0x7Fu) * shift;
    if (byte & 0x80) return BpsError::none;
    if (count == kMaxNumberBytes) return BpsError::number_overflow;
    shift <<= 7;
    value += shift;
  }
}

struct Header {
  std::uint64_t source_size = 0;
  std::uint64_t target_size = 0;
  std::size_t actions_begin = 0;
  std::size_t actions_end = 0;  // where the footer starts
};

BpsError read_header(std::span<const std::uint8_t> patch, Header& header, std::uint64_t& at) {
  static constexpr std::uint8_t kMagic[kMagicSize] = {'B', 'P', 'S', '1'};
  const std::size_t magic_bytes = std::min(patch.size(), kMagicSize);
  if (!std::equal(patch.begin(), patch.begin() + static_cast<std::ptrdiff_t>(magic_bytes), kMagic))
    return BpsError::bad_magic;
  if (patch.size() < kMagicSize + 3 + kFooterSize) {
    at = patch.size();
    return BpsError::patch_cut;
  }
  header.actions_end = patch.size() - kFooterSize;
  std::size_t pos = kMagicSize;
  std::uint64_t metadata_size = 0;
  for (std::uint64_t* value : {&header.source_size, &header.target_size, &metadata_size}) {
    at = pos;
    if (const BpsError error = read_number(patch, pos, header.actions_end, *value);
        error != BpsError::none)
      return error;
  }
  at = kMagicSize;
  if (header.target_size > kBpsMaxImageSize) return BpsError::target_too_large;
  at = pos;
  if (metadata_size > header.actions_end - pos) return BpsError::metadata_past_end;
  header.actions_begin = pos + static_cast<std::size_t>(metadata_size);
  return BpsError::none;
}

// Walks the actions. Without `out` it checks them against the declared sizes
// only; with `out` (room for the target) and a source of the declared size
// it writes the target. Each check comes before the bytes it guards.
BpsError run_actions(std::span<const std::uint8_t> patch, const Header& header,
                     std::span<const std::uint8_t> source, std::uint8_t* out, std::uint64_t& at) {
  std::uint64_t output = 0;
  std::int64_t source_cursor = 0;
  std::int64_t target_cursor = 0;
  std::size_t pos = header.actions_begin;
  while (pos < header.actions_end) {
    at = pos;
    std::uint64_t number = 0;
    if (const BpsError error = read_number(patch, pos, header.actions_end, number);
        error != BpsError::none)
      return error;
    const auto kind = static_cast<BpsActionKind>(number & 3);
    const std::uint64_t length = (number >> 2) + 1;
    if (length > header.target_size - output) return BpsError::action_past_target;
    switch (kind) {
      case BpsActionKind::source_read:
        if (output + length > header.source_size) return BpsError::source_read_past_source;
        if (out) std::memcpy(out + output, source.data() + output, length);
        break;
      case BpsActionKind::target_read:
        if (length > header.actions_end - pos) return BpsError::patch_cut;
        if (out) std::memcpy(out + output, patch.data() + pos, length);
        pos += length;
        break;
      case BpsActionKind::source_copy:
      case BpsActionKind::target_copy: {
        std::uint64_t move = 0;
        if (const BpsError error = read_number(patch, pos, header.actions_end, move);
            error != BpsError::none)
          return error;
        const auto distance = static_cast<std::int64_t>(move >> 1);
        const std::int64_t delta = (move & 1) ? -distance : distance;
        if (kind == BpsActionKind::source_copy) {
          source_cursor += delta;
          if (source_cursor < 0 || static_cast<std::uint64_t>(source_cursor) > header.source_size ||
              length > header.source_size - static_cast<std::uint64_t>(source_cursor))
            return BpsError::source_copy_outside;
          if (out) std::memcpy(out + output, source.data() + source_cursor, length);
          source_cursor += static_cast<std::int64_t>(length);
        } else {
          target_cursor += delta;
          // Reading starts before the write position, so every byte read
          // has been written, also when the copy overlaps itself.
          if (target_cursor < 0 || static_cast<std::uint64_t>(target_cursor) >= output)
            return BpsError::target_copy_outside;
          if (out) {
            const std::uint8_t* from = out + target_cursor;
            std::uint8_t* to = out + output;
            if (output - static_cast<std::uint64_t>(target_cursor) >= length)
              std::memcpy(to, from, length);
            else if (output - static_cast<std::uint64_t>(target_cursor) == 1)
              std::memset(to, *from, length);
            else
              for (std::uint64_t k = 0; k < length; ++k) to[k] = from[k];
          }
          target_cursor += static_cast<std::int64_t>(length);
        }
        break;
      }
    }
    output += length;
  }
  at = pos;
  return output == header.target_size ? BpsError::none : BpsError::size_mismatch;
}

BpsApplyResult failure(BpsError error, std::uint64_t at) {
  BpsApplyResult result;
  result.error = error;
  result.at = at;
  return result;
}

}  // namespace

BpsApplyResult bps_apply(std::span<const std::uint8_t> patch,
                         std::span<const std::uint8_t> source) {
  Header header;
  std::uint64_t at = 0;
  if (const BpsError error = read_header(patch, header, at); error != BpsError::none)
    return failure(error, at);
  if (const BpsError error = run_actions(patch, header, {}, nullptr, at); error != BpsError::none)
    return failure(error, at);

  BpsApplyResult result;
  const std::size_t footer = header.actions_end;
  result.patch_source_crc = get_le32(patch, footer);
  const std::uint32_t target_crc = get_le32(patch, footer + 4);
  const std::uint32_t patch_crc = get_le32(patch, footer + 8);
  const std::uint32_t computed_patch_crc = crc32(patch.first(footer + 8));
  result.source_crc = crc32(source);
  const auto fail = [&](BpsError error, std::uint64_t expected, std::uint64_t found) {
    result.error = error;
    result.expected = expected;
    result.found = found;
    result.target.clear();
    return result;
  };
  if (computed_patch_crc != patch_crc)
    return fail(BpsError::patch_crc_mismatch, patch_crc, computed_patch_crc);
  if (source.size() != header.source_size)
    return fail(BpsError::source_size_mismatch, header.source_size, source.size());
  if (result.source_crc != result.patch_source_crc)
    return fail(BpsError::source_crc_mismatch, result.patch_source_crc, result.source_crc);

  result.target.resize(static_cast<std::size_t>(header.target_size));
  if (const BpsError error = run_actions(patch, header, source, result.target.data(), at);
      error != BpsError::none) {
    result.at = at;  // cannot happen: the same walk passed above
    return fail(error, 0, 0);
  }
  if (const std::uint32_t found = crc32(result.target); found != target_crc)
    return fail(BpsError::target_crc_mismatch, target_crc, found);
  return result;
}

}  // namespace gorv
