// Where the control file reader puts the device tree's entries (the main window).
#pragma once

#include <cstdint>
#include <string>

using TreeItem = std::uintptr_t;  // 0: no entry

class IDeviceTreeSink {
 public:
  virtual ~IDeviceTreeSink() = default;
  // Adds an entry after the last entry of its level (parent 0: top level) and
  // stores its handle in the next position of the entry table.
  virtual TreeItem AddTreeEntry(const std::string& text, TreeItem parent) = 0;
};
