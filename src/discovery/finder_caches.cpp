#include "discovery/finder_caches.h"

#include <cstring>

FinderCaches& Caches() {
  static FinderCaches caches = {};
  return caches;
}

const char* InstallDirCache() { return Caches().installDir; }

void ClearFinderCaches() { std::memset(&Caches(), 0, sizeof(FinderCaches)); }

CFindAiOinReg::CFindAiOinReg() { ClearFinderCaches(); }

void CopyPath(char* out, const char* text) {
  if (out == nullptr) return;
  if (text == nullptr) text = "";
  if (out == text) return;
  size_t length = std::strlen(text);
  if (length > kPathBuffer - 1) length = kPathBuffer - 1;
  std::memmove(out, text, length);
  out[length] = '\0';
}
