#include "system_icons.h"

#include <cstring>

namespace windriver {

namespace {

// LoadIconA(NULL, id) run in the target: the thread's exit code is the icon.
// user32 is mapped at the same address in both 32-bit processes.
HICON TargetSystemIcon(HANDLE process, int id) {
  const FARPROC load = GetProcAddress(GetModuleHandleA("user32.dll"), "LoadIconA");
  if (load == nullptr) return nullptr;
  unsigned char code[] = {
      0x68, 0,    0,    0, 0,  // push id
      0x6A, 0x00,              // push 0 (the system's icons)
      0xB8, 0,    0,    0, 0,  // mov eax, LoadIconA
      0xFF, 0xD0,              // call eax
      0xC2, 0x04, 0x00,        // ret 4
  };
  const DWORD idValue = static_cast<DWORD>(id);
  const DWORD address = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(load));
  std::memcpy(code + 1, &idValue, 4);
  std::memcpy(code + 8, &address, 4);
  void* remote = VirtualAllocEx(process, nullptr, sizeof code, MEM_COMMIT, PAGE_EXECUTE_READWRITE);
  if (remote == nullptr) return nullptr;
  HICON icon = nullptr;
  if (WriteProcessMemory(process, remote, code, sizeof code, nullptr)) {
    HANDLE thread = CreateRemoteThread(
        process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(remote), nullptr, 0, nullptr);
    if (thread != nullptr) {
      DWORD result = 0;
      if (WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0 &&
          GetExitCodeThread(thread, &result)) {
        icon = reinterpret_cast<HICON>(static_cast<ULONG_PTR>(result));
      }
      CloseHandle(thread);
    }
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return icon;
}

}  // namespace

const char* SystemIconName(HANDLE process, HICON shown, std::map<int, HICON>* cache) {
  struct Kind {
    int id;
    const char* name;
  };
  static const Kind kinds[] = {{32513, "error"},        // IDI_HAND
                               {32515, "warning"},      // IDI_EXCLAMATION
                               {32516, "information"},  // IDI_ASTERISK
                               {32514, "question"}};    // IDI_QUESTION
  for (const Kind& kind : kinds) {
    auto it = cache->find(kind.id);
    if (it == cache->end()) it = cache->emplace(kind.id, TargetSystemIcon(process, kind.id)).first;
    if (it->second != nullptr && it->second == shown) return kind.name;
  }
  return "other";
}

}  // namespace windriver
