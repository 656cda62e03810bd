#include "sim/handles.h"

namespace sim {

HANDLE HandleTable::Add(std::unique_ptr<HandleObject> object) {
  uintptr_t value = next_;
  next_ += 4;  // never reused, as a stale handle must not reach a new object
  objects_[value] = std::move(object);
  return reinterpret_cast<HANDLE>(value);
}

HandleObject* HandleTable::Get(HANDLE h) const {
  auto it = objects_.find(reinterpret_cast<uintptr_t>(h));
  return it == objects_.end() ? nullptr : it->second.get();
}

HandleObject* HandleTable::Get(HANDLE h, HandleKind kind) const {
  HandleObject* o = Get(h);
  return o && o->Kind() == kind ? o : nullptr;
}

bool HandleTable::Close(HANDLE h) { return objects_.erase(reinterpret_cast<uintptr_t>(h)) > 0; }

}  // namespace sim
