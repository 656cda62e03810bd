#include "platform/later_shell.h"

namespace {

typedef BOOL(WINAPI* SpecialFolderPathFn)(HWND, LPSTR, int, BOOL);
typedef DWORD(WINAPI* DeleteKeyFn)(HKEY, LPCSTR);

template <class Fn>
Fn Lookup(HMODULE module, const char* name) {
  const FARPROC proc = GetProcAddress(module, name);
  // Through void(*)(), the one cast between function types GCC takes silently.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

BOOL LaterShellSpecialFolderPath(HWND hwnd, LPSTR path, int csidl, BOOL create) {
  // shell32 is in the process from its start (the program imports
  // SHFileOperationA from it); only the function may be missing.
  const HMODULE shell = GetModuleHandleA("SHELL32.DLL");
  if (shell == nullptr) return FALSE;
  const SpecialFolderPathFn fn = Lookup<SpecialFolderPathFn>(shell, "SHGetSpecialFolderPathA");
  if (fn == nullptr) return FALSE;
  return fn(hwnd, path, csidl, create);
}

DWORD LaterShellDeleteKey(HKEY hkey, LPCSTR subKey) {
  const HMODULE shlwapi = LoadLibraryA("SHLWAPI.DLL");
  const DeleteKeyFn fn = shlwapi ? Lookup<DeleteKeyFn>(shlwapi, "SHDeleteKeyA") : nullptr;
  if (fn == nullptr) {
    if (shlwapi) FreeLibrary(shlwapi);
    return DeleteKeyTree(hkey, subKey);
  }
  const DWORD code = fn(hkey, subKey);
  FreeLibrary(shlwapi);
  return code;
}

DWORD DeleteKeyTree(HKEY hkey, LPCSTR subKey) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(hkey, subKey, 0, KEY_ALL_ACCESS, &key);
  if (rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
  for (;;) {
    // Always the first subkey: the one before it is gone.
    char name[256];
    DWORD length = sizeof name;
    rc = RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_SUCCESS) rc = static_cast<LONG>(DeleteKeyTree(key, name));
    if (rc != ERROR_SUCCESS) {
      RegCloseKey(key);
      return static_cast<DWORD>(rc);
    }
  }
  RegCloseKey(key);
  return static_cast<DWORD>(RegDeleteKeyA(hkey, subKey));
}
