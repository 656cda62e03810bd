// Handle objects of the file calls: open files and find searches.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"
#include "sim/handles.h"
#include "sim/host_files.h"

namespace sim {

struct OpenFile : HandleObject {
  static constexpr HandleKind kKind = HandleKind::File;
  HandleKind Kind() const override { return kKind; }
  std::string full;  // full Windows path
  HostFile host;     // the host file, open for as long as the handle
  bool read = false;
  bool write = false;
  DWORD share = 0;
  uint64_t position = 0;
};

struct FindSearch : HandleObject {
  static constexpr HandleKind kKind = HandleKind::Find;
  HandleKind Kind() const override { return kKind; }
  std::vector<WIN32_FIND_DATAA> results;  // a snapshot taken by FindFirstFileA
  size_t next = 0;
};

}  // namespace sim
