// libFuzzer: the first byte's low seven bits give the search text's length,
// that many bytes (zero bytes dropped) are the text, the rest the contents of
// an INF file. The fast search must give exactly what a plain reading of the
// rule gives, the same progress positions included, and never read past the
// contents' terminating zero (the buffer is exactly n + 1 bytes).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cleanup/inf_text_match.h"

namespace {

constexpr size_t kStep = 50;

// The rule written out step by step: scan for the first character (stepping
// over one zero byte after each step), compare (stepping over one zero byte
// before each character), resume after the byte that differed, give up past
// n - k. Position n is the terminating zero; any step past it ends the search.
bool Reference(const unsigned char* c, size_t n, const std::string& key,
               std::vector<size_t>& progress) {
  const size_t k = key.size();
  if (k == 0 || k > n) return false;
  const unsigned char first = static_cast<unsigned char>(key[0]);
  size_t p = 0;
  for (;;) {
    while (c[p] != first) {
      ++p;
      if (p > n) return false;
      if (c[p] == 0) {
        ++p;
        if (p > n) return false;
      }
      if (p % kStep == 0) progress.push_back(p);
    }
    size_t j = 0;
    while (j < k) {
      if (c[p] == 0) {
        ++p;
        if (p > n) return false;
      }
      if (c[p] != static_cast<unsigned char>(key[j])) break;
      ++p;
      ++j;
    }
    if (j == k) {
      progress.push_back(p);
      return true;
    }
    ++p;
    if (p > n - k) return false;
  }
}

void Record(void* context, size_t position) {
  static_cast<std::vector<size_t>*>(context)->push_back(position);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t textBytes = std::min<size_t>(data[0] & 0x7F, size - 1);
  std::string text;
  for (size_t i = 1; i <= textBytes; ++i)
    if (data[i] != 0) text += static_cast<char>(data[i]);
  const size_t n = size - 1 - textBytes;
  std::unique_ptr<unsigned char[]> contents(new unsigned char[n + 1]);
  if (n) std::memcpy(contents.get(), data + 1 + textBytes, n);
  contents[n] = 0;

  std::vector<size_t> expectedProgress;
  const bool expected = Reference(contents.get(), n, text, expectedProgress);
  std::vector<size_t> progress;
  const bool found = MatchInfText(reinterpret_cast<const char*>(contents.get()), text.c_str(), n,
                                  Record, &progress);
  if (found != expected || progress != expectedProgress) std::abort();
  return 0;
}
