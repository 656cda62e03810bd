// The matching rule of the OEM INF search, without any window: a search text
// given as 8-bit text is found in 8-bit contents and in 16-bit contents whose
// characters are followed by zero bytes.
#pragma once

#include <cstddef>

// Called with each position the scan lands on that is a multiple of 50, and
// with the final position of a match.
using InfProgressFn = void (*)(void* context, size_t position);

// True when `text` (a zero-terminated 8-bit text) occurs in the n bytes of
// `contents` under the rule:
//   - scan from position 0 for the text's first character, stepping one byte
//     and one more when the byte stepped onto is zero;
//   - compare the text character by character, stepping over one zero byte
//     before each; case matters;
//   - after a difference the scan resumes one byte after the byte that
//     differed, and gives up once that is past n - k (k: the text's length).
// `contents` must hold n + 1 bytes, the last one zero; nothing past it is read:
// a scan or comparison that would step past it finds no match. An empty text
// matches nothing.
bool MatchInfText(const char* contents, const char* text, size_t n, InfProgressFn progress,
                  void* context);
