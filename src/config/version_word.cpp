#include "config/version_word.h"

#include <cstring>

namespace {
constexpr size_t kExaminedChars = 128;  // positions 0-127 of the first line
constexpr size_t kMaxVersionChars = 127;
}  // namespace

int FindVersionWord(const std::string& line) {
  // The word is expected at the start of the line with the number after it,
  // so the start positions are fixed whatever position the word has.
  for (const char* word : {"Version", "version", "VERSION"}) {
    if (line.find(word) != std::string::npos) return 8;
  }
  for (const char* word : {"Ver", "ver", "VER"}) {
    if (line.find(word) != std::string::npos) return 3;
  }
  return -1;
}

std::string ReadVersionNumber(const std::string& line, int start) {
  std::string number;
  if (start < 0) return number;
  const size_t end = line.size() < kExaminedChars ? line.size() : kExaminedChars;
  size_t i = static_cast<size_t>(start);
  while (i < end && !(line[i] >= '0' && line[i] <= '9')) ++i;
  while (i < end && number.size() < kMaxVersionChars &&
         ((line[i] >= '0' && line[i] <= '9') || line[i] == '.')) {
    number.push_back(line[i]);
    ++i;
  }
  return number;
}
