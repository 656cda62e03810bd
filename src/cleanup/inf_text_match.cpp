#include "cleanup/inf_text_match.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kProgressStep = 50;

// The first position at or after `from` holding `byte`, or `end` when none
// does before it. Positions only grow during a search, so each finder keeps
// its last answer and searches again only once the scan has passed it: the
// whole search then reads each byte at most once per finder.
class NextByteFinder {
 public:
  NextByteFinder(const unsigned char* contents, size_t end, unsigned char byte)
      : contents_(contents), end_(end), byte_(byte) {}

  size_t From(size_t from) {
    if (!known_ || found_ < from) {
      known_ = true;
      const void* hit = from < end_ ? std::memchr(contents_ + from, byte_, end_ - from) : nullptr;
      found_ = hit ? static_cast<size_t>(static_cast<const unsigned char*>(hit) - contents_) : end_;
    }
    return found_;
  }

 private:
  const unsigned char* contents_;
  size_t end_;
  unsigned char byte_;
  bool known_ = false;
  size_t found_ = 0;
};

// Progress for every multiple of the step in [first, last].
void ProgressOver(size_t first, size_t last, InfProgressFn progress, void* context) {
  if (!progress) return;
  for (size_t p = (first + kProgressStep - 1) / kProgressStep * kProgressStep; p <= last;
       p += kProgressStep) {
    progress(context, p);
  }
}

}  // namespace

bool MatchInfText(const char* contents, const char* text, size_t n, InfProgressFn progress,
                  void* context) {
  const unsigned char* c = reinterpret_cast<const unsigned char*>(contents);
  const unsigned char* key = reinterpret_cast<const unsigned char*>(text);
  const size_t k = std::strlen(text);
  if (k == 0 || k > n) return false;
  const unsigned char first = key[0];
  // Readable positions are 0..n (n is the zero after the contents).
  NextByteFinder nextFirst(c, n + 1, first);
  NextByteFinder nextZero(c, n + 1, 0);
  // 16-bit text has a zero every second byte and no runs to jump over: it
  // steps faster without looking for them. Either way the result is the same.
  const bool jumpRuns = std::memchr(c, 0, std::min<size_t>(n, 64)) == nullptr;
  size_t p = 0;
  for (;;) {
    // Scan for the first character.
    while (c[p] != first) {
      // A run of bytes that are neither zero nor the first character is
      // walked one byte a step: jump to its last byte at once. (16-bit text
      // has no such runs: its next byte is zero.) A byte other than zero
      // here is not the terminating one, so the next byte is still readable.
      if (jumpRuns && c[p] != 0 && c[p + 1] != 0 && c[p + 1] != first) {
        const size_t stop = std::min(nextFirst.From(p + 1), nextZero.From(p + 1));
        ProgressOver(p + 1, stop - 1, progress, context);
        p = stop - 1;
      }
      ++p;
      if (p > n) return false;
      if (c[p] == 0 && ++p > n) return false;
      if (p % kProgressStep == 0 && progress) progress(context, p);
    }
    // Compare.
    size_t j = 0;
    for (; j < k; ++j) {
      if (c[p] == 0 && ++p > n) return false;
      if (key[j] != c[p]) break;
      ++p;
    }
    if (j == k) {
      if (progress) progress(context, p);
      return true;
    }
    // Resume after the byte that differed.
    ++p;
    if (p > n - k) return false;
  }
}
