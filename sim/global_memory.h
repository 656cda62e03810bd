// The global memory of a simulated PC: blocks handed out by GlobalAlloc, each
// with its lock count. A movable block's handle is not its address (only
// GlobalLock gives that); a fixed block's handle is its address, as Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

#include "platform/win32.h"

namespace sim {

struct GlobalBlock {
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
  bool moveable = false;
  unsigned locks = 0;
  // Handed to the clipboard: the system frees it, never the program.
  bool on_clipboard = false;
};

class GlobalMemory {
 public:
  HGLOBAL Alloc(UINT flags, std::size_t size);
  // The block behind a handle (or a fixed block's address), or nullptr.
  GlobalBlock* Find(HGLOBAL h);
  bool Free(HGLOBAL h);
  std::size_t Count() const { return blocks_.size(); }

 private:
  std::map<std::uintptr_t, GlobalBlock> blocks_;
  std::uintptr_t next_handle_ = 0x00150008;  // movable handles: never an address we hand out
};

}  // namespace sim
