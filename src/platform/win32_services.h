// Service control manager:
// the types, values and calls program code uses. Part of the one door to
// Windows: included by platform/win32.h only, never on its own.
#pragma once

#ifdef _WIN32

#include <winsvc.h>

#define W32_VALUE(type, name, value) static_assert((name) == (value), #name);
#define W32_SIZE(type, bytes) static_assert(sizeof(type) == (bytes), "size of " #type);
#include "platform/win32_services_values.inc"
#undef W32_VALUE
#undef W32_SIZE

#else  // the simulated PC

#define W32_VALUE(type, name, value) constexpr type name = static_cast<type>(value);
#define W32_SIZE(type, bytes)
#include "platform/win32_services_values.inc"
#undef W32_VALUE
#undef W32_SIZE

#endif  // _WIN32
