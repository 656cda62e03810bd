// The shapes of run-log entries as the tests expect them (CRs removed).
#pragma once

#include <algorithm>
#include <string>

#include "platform/win32.h"

// The system's text for `code` as FormatMessageA gives it, without CRs.
inline std::string SystemText(DWORD code) {
  char* text = nullptr;
  FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0x0400, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string s = text ? text : "";
  if (text) LocalFree(text);
  s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
  return s;
}

// A LogError entry; code 0 gives the entry without a system message.
inline std::string ErrorEntry(const std::string& origin, const std::string& detail, DWORD code) {
  if (code == 0) return ">>> Origin: " + origin + "\n\t" + detail + " \n";
  return ">>> Origin: " + origin + "\n\tSystem message: " + SystemText(code) +
         " \n\tAdditional Information: " + detail + "\n\n";
}

// A LogNote entry.
inline std::string NoteEntry(const std::string& origin, const std::string& detail) {
  return ">>> Origin: " + origin + "\n\t" + detail + " \n\n";
}
