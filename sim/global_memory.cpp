#include "sim/global_memory.h"

#include <cstring>

namespace sim {

HGLOBAL GlobalMemory::Alloc(UINT flags, std::size_t size) {
  GlobalBlock block;
  // One byte at least, so even an empty block has an address of its own.
  block.bytes.reset(new char[size == 0 ? 1 : size]);
  std::memset(block.bytes.get(), 0, size == 0 ? 1 : size);
  block.size = size;
  block.moveable = (flags & GMEM_MOVEABLE) != 0;
  std::uintptr_t key = 0;
  if (block.moveable) {
    key = next_handle_;
    next_handle_ += 8;
  } else {
    key = reinterpret_cast<std::uintptr_t>(block.bytes.get());
  }
  blocks_[key] = std::move(block);
  return reinterpret_cast<HGLOBAL>(key);
}

GlobalBlock* GlobalMemory::Find(HGLOBAL h) {
  auto it = blocks_.find(reinterpret_cast<std::uintptr_t>(h));
  return it == blocks_.end() ? nullptr : &it->second;
}

bool GlobalMemory::Free(HGLOBAL h) {
  return blocks_.erase(reinterpret_cast<std::uintptr_t>(h)) > 0;
}

}  // namespace sim
