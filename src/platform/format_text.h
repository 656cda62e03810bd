// printf-style formatting into a std::string of any length.
#pragma once

#include <string>

#if defined(__GNUC__)
#define CVS_PRINTF_LIKE(f, a) __attribute__((format(printf, f, a)))
#else
#define CVS_PRINTF_LIKE(f, a)
#endif

// The whole formatted text; an empty text when the format cannot be applied.
std::string FormatText(const char* format, ...) CVS_PRINTF_LIKE(1, 2);
