// printf-style formatting into a std::string.
#pragma once

#include <string>

#if defined(__MINGW32__)
// MinGW's C++ library formats with its own C99 printf (%zu, %llu), not the
// system's, so the checks follow the C99 rules.
#define GORV_PRINTF_LIKE(fmt_index, first_arg) \
  __attribute__((format(gnu_printf, fmt_index, first_arg)))
#elif defined(__GNUC__) || defined(__clang__)
#define GORV_PRINTF_LIKE(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))
#else
#define GORV_PRINTF_LIKE(fmt_index, first_arg)
#endif

namespace gorv {

// Formats like printf and returns the text.
std::string format(const char* fmt, ...) GORV_PRINTF_LIKE(1, 2);

}  // namespace gorv
