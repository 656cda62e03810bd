// The table of HANDLE values of a simulated PC: open files, find searches and
// (later) processes. Values are distinct from registry keys (which the
// registry hands out itself), from INVALID_HANDLE_VALUE and from NULL.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "platform/win32.h"

namespace sim {

enum class HandleKind { File, Find, Process, Token, Other };

struct HandleObject {
  virtual ~HandleObject() = default;
  virtual HandleKind Kind() const = 0;
};

class HandleTable {
 public:
  HANDLE Add(std::unique_ptr<HandleObject> object);
  // The object behind h, or nullptr (also for a handle of another kind).
  HandleObject* Get(HANDLE h) const;
  HandleObject* Get(HANDLE h, HandleKind kind) const;
  template <class T>
  T* GetAs(HANDLE h) const {
    return static_cast<T*>(Get(h, T::kKind));
  }
  bool Close(HANDLE h);
  std::size_t Count() const { return objects_.size(); }
  const std::map<uintptr_t, std::unique_ptr<HandleObject>>& All() const { return objects_; }

 private:
  std::map<uintptr_t, std::unique_ptr<HandleObject>> objects_;
  uintptr_t next_ = 0x10000;  // above the registry's small key numbers
};

}  // namespace sim
