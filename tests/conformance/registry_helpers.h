// Set-up shared by the registry cases: keys and values under the scratch key,
// made through the calls themselves (a failed set-up fails the case).
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "conformance/conformance.h"

namespace conformance {

// Creates (or opens) Scratch::Key(name) with every right; close it after use.
inline HKEY CreateScratchKey(const std::string& name) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  CHECK_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Scratch::Key(name).c_str(), 0, nullptr, 0,
                           KEY_ALL_ACCESS, nullptr, &key, &disposition),
           ERROR_SUCCESS);
  return key;
}

inline void MakeScratchKey(const std::string& name) {
  HKEY key = CreateScratchKey(name);
  if (key) RegCloseKey(key);
}

inline bool ScratchKeyExists(const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, Scratch::Key(name).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

inline void SetBytes(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
  CHECK_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

inline void SetText(HKEY key, const char* name, const char* text, DWORD type = REG_SZ) {
  SetBytes(key, name, type, text, static_cast<DWORD>(std::strlen(text) + 1));
}

inline void SetDword(HKEY key, const char* name, DWORD value) {
  SetBytes(key, name, REG_DWORD, &value, sizeof value);
}

// The stored size of a value (0 when missing, which the check then shows).
inline DWORD ValueSize(HKEY key, const char* name) {
  DWORD size = 0;
  CHECK_EQ(RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  return size;
}

// Every subkey name of `key` in the order RegEnumKeyExA gives them.
inline std::vector<std::string> SubkeyNames(HKEY key) {
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    const LONG rc = RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) {
      CHECK_EQ(rc, ERROR_NO_MORE_ITEMS);
      break;
    }
    names.push_back(name);
  }
  return names;
}

// Every value name of `key` in the order RegEnumValueA gives them.
inline std::vector<std::string> ValueNames(HKEY key) {
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    const LONG rc = RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) {
      CHECK_EQ(rc, ERROR_NO_MORE_ITEMS);
      break;
    }
    names.push_back(name);
  }
  return names;
}

inline std::string Joined(const std::vector<std::string>& names) {
  std::string out;
  for (size_t i = 0; i < names.size(); ++i) out += (i ? "," : "") + names[i];
  return out;
}

// A handle that was valid and is closed now.
inline HKEY ClosedHandle() {
  HKEY key = CreateScratchKey("Closed");
  RegCloseKey(key);
  return key;
}

// What a call answers for a closed handle: 6 on NT; Windows 98 answers 1010
// (ERROR_BADKEY; dlls/advapi32/tests/registry.c test_reg_query_value).
inline LONG InvalidHandleError() { return NtFamily() ? 6 : 1010; }

// Marks the running case as a known Wine difference on the 9x family only.
inline void WineDiffersOn9x(const char* reason) {
  if (!NtFamily()) WineDiffers(reason);
}

inline constexpr char kWineBadKey[] =
    "Wine answers 6 for an invalid handle in 98 mode too, Windows 98 gives 1010; "
    "dlls/advapi32/tests/registry.c test_reg_query_value";

}  // namespace conformance
