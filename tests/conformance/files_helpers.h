// Small helpers shared by the file-call conformance cases.
#pragma once

#include <string>

#include "platform/win32.h"

namespace files_cases {

inline HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

// The names a search gives, joined by "|", or "error N" when it finds none.
inline std::string Names(const std::string& pattern) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return "error " + std::to_string(GetLastError());
  std::string names;
  do {
    if (!names.empty()) names += "|";
    names += data.cFileName;
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

}  // namespace files_cases
