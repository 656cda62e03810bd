// The global memory calls of win32.h on the simulated PC.
#include "platform/win32.h"
#include "sim/machine.h"

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  sim::Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("GlobalAlloc")) return sim::Fail<HGLOBAL>(m, e, nullptr);
  return m.global_memory.Alloc(uFlags, dwBytes);
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
  sim::Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("GlobalLock")) return sim::Fail<LPVOID>(m, e, nullptr);
  sim::GlobalBlock* block = m.global_memory.Find(hMem);
  if (block == nullptr) return sim::Fail<LPVOID>(m, ERROR_INVALID_HANDLE, nullptr);
  if (!block->moveable) return block->bytes.get();
  // An empty movable block has no memory to lock (the 9x family says nothing).
  if (block->size == 0) {
    if (m.system.NtFamily()) m.last_error = ERROR_DISCARDED;
    return nullptr;
  }
  ++block->locks;
  return block->bytes.get();
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
  sim::Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("GlobalUnlock")) return sim::Fail(m, e, FALSE);
  sim::GlobalBlock* block = m.global_memory.Find(hMem);
  if (block == nullptr) return sim::Fail(m, ERROR_INVALID_HANDLE, FALSE);
  // FALSE also for the last unlock: on the NT family with the last error 0.
  if (block->locks == 0) {
    if (m.system.NtFamily()) m.last_error = ERROR_NOT_LOCKED;
    return FALSE;
  }
  if (--block->locks > 0) return TRUE;
  if (m.system.NtFamily()) m.last_error = ERROR_SUCCESS;
  return FALSE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
  sim::Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("GlobalFree")) return sim::Fail(m, e, hMem);
  if (!m.global_memory.Free(hMem)) return sim::Fail(m, ERROR_INVALID_HANDLE, hMem);
  return nullptr;
}
