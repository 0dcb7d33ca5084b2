// BPS patches: a target image written as edits to a source image, the form
// in which designers share their imported images.
//
// A patch is "BPS1", three numbers (source size, target size, metadata
// size), the metadata bytes, the actions, and a 12-byte footer: the CRC32
// (zlib's polynomial) of the source, of the target and of every patch byte
// before these last four, each little-endian. We write no metadata.
//
// Numbers take 7 bits a byte, least significant first; the byte with the
// high bit set is the last. After each byte that is not the last, one is
// taken off what remains, so every value has exactly one encoding: 0 is 80,
// 127 is FF, 128 is 00 80.
//
// An action is a number ((length - 1) << 2) | kind:
//   0 SourceRead  copies the source bytes at the current output offset;
//   1 TargetRead  the `length` bytes follow in the patch;
//   2 SourceCopy  copies source bytes from the source-copy cursor;
//   3 TargetCopy  copies output bytes from the target-copy cursor.
// A copy is followed by a number (|d| << 1) | (d < 0) that moves its cursor
// by d first; the cursor then advances with every byte copied, so a copy
// that goes on where the last one of its kind ended costs one byte for d.
// A TargetCopy may read bytes it is writing itself: at distance 1 it
// repeats one byte, which is how runs of padding are written.
//
// The creator (bps_create.cpp) finds its copies with hash chains over the
// source and the target and chooses among them with a price-based optimal
// parse over short windows, counting the exact bytes of every action; a
// match long enough to be an obvious choice is taken at once, so the
// unchanged megabytes of an import cost almost nothing. A last pass folds
// short matches between literal runs into the runs where that is smaller.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "codec/crc32.h"

namespace gorv {

// Neither side of a patch may be larger: a declared size above this is
// refused before anything is allocated.
inline constexpr std::uint64_t kBpsMaxImageSize = 64 * 1024 * 1024;

enum class BpsActionKind : std::uint8_t {
  source_read = 0,
  target_read = 1,
  source_copy = 2,
  target_copy = 3,
};

// The two kinds that copy bytes from somewhere and move a cursor.
inline constexpr bool is_copy(BpsActionKind kind) {
  return kind == BpsActionKind::source_copy || kind == BpsActionKind::target_copy;
}

struct BpsAction {
  BpsActionKind kind = BpsActionKind::source_read;
  std::uint32_t length = 0;
  // Copies: the offset the bytes come from, in the source (source_copy) or
  // the target (target_copy). The serializer turns it into the cursor move.
  std::uint32_t from = 0;
};

// Writes the patch that `actions` describe, header and footer included;
// TargetRead bytes are taken from `target` at the output offset. The
// actions must rebuild `target` from `source`; nothing here checks that
// (bps_create applies every patch it makes).
std::vector<std::uint8_t> bps_serialize(std::span<const std::uint8_t> source,
                                        std::span<const std::uint8_t> target,
                                        std::span<const BpsAction> actions);

// The actions bps_create writes: see the top of this file.
std::vector<BpsAction> bps_plan(std::span<const std::uint8_t> source,
                                std::span<const std::uint8_t> target);

// What is wrong with a patch, in the order bps_apply checks: first its
// structure (no byte of the source or the patch is read to find these),
// then its own CRC32, then whether it fits the source, last the result.
enum class BpsError : std::uint8_t {
  none,
  bad_magic,                // it does not start with "BPS1"
  patch_cut,                // a number or bytes run into the footer, or no room for it
  number_overflow,          // a number larger than any image
  target_too_large,         // declared target size above kBpsMaxImageSize
  metadata_past_end,        // the metadata runs into the footer
  action_past_target,       // an action writes past the declared target size
  source_read_past_source,  // a SourceRead reads past the declared source size
  source_copy_outside,      // a SourceCopy reads outside the declared source
  target_copy_outside,      // a TargetCopy reads before the start or not yet written bytes
  size_mismatch,            // the actions end before the target is complete
  patch_crc_mismatch,       // the patch's bytes do not match its own CRC32
  source_size_mismatch,     // made for a source of another size
  source_crc_mismatch,      // made for another source of this size
  target_crc_mismatch,      // the result does not match the target CRC32
};

struct BpsApplyResult {
  BpsError error = BpsError::none;
  // Structure errors: the offset in the patch of the number, action or
  // bytes at fault.
  std::uint64_t at = 0;
  // Size and CRC errors: the value the patch gives and the value found
  // (sizes for source_size_mismatch, CRC32s for the *_crc_mismatch errors).
  std::uint64_t expected = 0;
  std::uint64_t found = 0;
  // Set for every error after the structure check: the CRC32 of the source
  // the patch was made for, and of the source given.
  std::uint32_t patch_source_crc = 0;
  std::uint32_t source_crc = 0;
  // The rebuilt target; empty after any error.
  std::vector<std::uint8_t> target;
};

// Rebuilds the target from `patch` and `source`. Whatever the patch holds,
// nothing is read or written outside a buffer and at most the declared
// target size (capped by kBpsMaxImageSize) is allocated, and only once the
// patch has passed every check up to the result's CRC32.
BpsApplyResult bps_apply(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source);

// The patch is fine but made for another source image: the front end says
// so with both CRC32s instead of calling the patch damaged.
inline bool bps_is_for_another_source(BpsError error) {
  return error == BpsError::source_size_mismatch || error == BpsError::source_crc_mismatch;
}

enum class BpsCreateError : std::uint8_t {
  none,
  too_large,          // the source or the target is above kBpsMaxImageSize
  self_check_failed,  // applying the new patch did not give the target: a bug here
};

struct BpsCreateResult {
  BpsCreateError error = BpsCreateError::none;
  // self_check_failed: what bps_apply said of the new patch (none when it
  // applied but gave other bytes).
  BpsError check = BpsError::none;
  std::vector<std::uint8_t> patch;  // empty after an error
};

// A small patch that turns `source` into `target`. Every patch is applied
// to `source` here and compared with `target` before it is returned.
BpsCreateResult bps_create(std::span<const std::uint8_t> source,
                           std::span<const std::uint8_t> target);

}  // namespace gorv
