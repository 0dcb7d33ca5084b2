// Create, then apply: the first two bytes say where the source ends and the
// target begins in the rest. bps_create checks its own patch already; this
// checks that check too, and that no pair makes it fail.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "codec/bps.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::span<const std::uint8_t> rest(data + 2, size - 2);
  const std::size_t split = std::min<std::size_t>(rest.size(), data[0] << 8 | data[1]);
  const auto source = rest.first(split);
  const auto target = rest.subspan(split);
  const gorv::BpsCreateResult created = gorv::bps_create(source, target);
  if (created.error != gorv::BpsCreateError::none) __builtin_trap();
  const gorv::BpsApplyResult applied = gorv::bps_apply(created.patch, source);
  if (applied.error != gorv::BpsError::none ||
      !std::equal(applied.target.begin(), applied.target.end(), target.begin(), target.end()))
    __builtin_trap();
  return 0;
}
