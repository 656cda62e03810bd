// What the registry.reg reader and writer share: the two headers and the
// types whose data version 5 writes as UTF-16LE.
#pragma once

#include "platform/win32.h"

namespace sim {
namespace reg_file {

constexpr char kHeader4[] = "REGEDIT4";
constexpr char kHeader5[] = "Windows Registry Editor Version 5.00";

inline bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace reg_file
}  // namespace sim
