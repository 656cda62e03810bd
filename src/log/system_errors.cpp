// The system's text for an error code and the two error boxes.
#include <string>

#include "log/error_reports.h"

std::string SystemMessageText(DWORD code) {
  LPSTR text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0,
      nullptr);
  std::string result;
  if (length != 0 && text != nullptr) result.assign(text, length);
  if (text != nullptr) LocalFree(text);
  return result;
}

void ShowSystemError(const std::string& caption, DWORD code, const std::string& detail) {
  const std::string text = SystemMessageText(code) + "\n\n" + detail;
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

void ShowLastError(const std::string& caption, const std::string& detail) {
  ShowSystemError(caption, GetLastError(), detail);
}
