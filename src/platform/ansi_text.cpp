#include "platform/ansi_text.h"

#include "platform/win32.h"

std::string UpperText(std::string text) {
  if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

std::string LowerText(std::string text) {
  // CharLowerA works up to the terminator; std::string keeps one.
  if (!text.empty()) CharLowerA(&text[0]);
  return text;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string CurrentDirectory() {
  char dir[MAX_PATH] = {};
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, dir);
  if (length == 0 || length >= static_cast<DWORD>(MAX_PATH)) return std::string();
  return std::string(dir, length);
}
