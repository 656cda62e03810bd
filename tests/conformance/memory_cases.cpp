// Global memory: movable blocks locked and unlocked, and the answers for a
// freed handle. What Windows answers: dlls/kernel32/tests/heap.c
// (test_heap, test_obsolete_flags); the 9x family leaves the last error of
// the lock-count answers alone, Wine sets the NT ones in every mode.
#include "conformance/conformance.h"

namespace {

const char kWine9x[] =
    "Wine sets the NT family's last errors of GlobalUnlock/GlobalLock in 9x mode too; "
    "dlls/kernel32/tests/heap.c test_heap";

}  // namespace

CONFORMANCE_CASE(memory, GlobalLock_MovableBlockCountsItsLocks) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
  CHECK_TRUE(h != nullptr);
  void* first = GlobalLock(h);
  CHECK_TRUE(first != nullptr);
  CHECK_TRUE(first != h);  // a movable block's handle is not its address
  CHECK_TRUE(GlobalLock(h) == first);
  SetLastError(0xdeadbeef);
  CHECK_EQ(GlobalUnlock(h), TRUE);  // still locked once
  CHECK_TRUE(GlobalFree(h) == nullptr);
}

CONFORMANCE_CASE(memory, GlobalUnlock_LastUnlockAndUnlockedBlockGiveFalse) {
  if (!conformance::NtFamily()) WINE_DIFFERS(kWine9x);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
  CHECK_TRUE(GlobalLock(h) != nullptr);
  SetLastError(0xdeadbeef);
  CHECK_EQ(GlobalUnlock(h), FALSE);
  CHECK_ERROR(conformance::NtFamily() ? 0 : 0xdeadbeef);
  SetLastError(0xdeadbeef);
  CHECK_EQ(GlobalUnlock(h), FALSE);
  CHECK_ERROR(conformance::NtFamily() ? 158 : 0xdeadbeef);  // ERROR_NOT_LOCKED
  GlobalFree(h);
}

CONFORMANCE_CASE(memory, GlobalLock_EmptyMovableBlockGivesNull) {
  if (!conformance::NtFamily()) WINE_DIFFERS(kWine9x);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 0);
  CHECK_TRUE(h != nullptr);
  SetLastError(0xdeadbeef);
  CHECK_TRUE(GlobalLock(h) == nullptr);
  CHECK_ERROR(conformance::NtFamily() ? 157 : 0xdeadbeef);  // ERROR_DISCARDED
  GlobalFree(h);
}

CONFORMANCE_CASE(memory, GlobalAlloc_FixedBlockHandleIsItsAddress) {
  HGLOBAL h = GlobalAlloc(GMEM_FIXED, 8);
  CHECK_TRUE(h != nullptr);
  CHECK_TRUE(GlobalLock(h) == h);
  CHECK_TRUE(GlobalFree(h) == nullptr);
}

CONFORMANCE_CASE(memory, GlobalFree_FreedHandleGives6) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
  CHECK_TRUE(GlobalFree(h) == nullptr);
  SetLastError(0xdeadbeef);
  CHECK_TRUE(GlobalFree(h) == h);
  CHECK_ERROR(6);  // ERROR_INVALID_HANDLE
  SetLastError(0xdeadbeef);
  CHECK_TRUE(GlobalLock(h) == nullptr);
  CHECK_ERROR(6);
}
