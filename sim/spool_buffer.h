// Records of the spooler's calls as Windows hands them out: the fixed-size
// records first in the caller's buffer, the strings they point to packed
// after them. On the NT family the ANSI calls are built on the Unicode ones,
// so the size they ask for counts every string in UTF-16 (two bytes a
// character), though the ANSI strings then fill less.
#pragma once

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace sim {

// The strings of one record, in field order; nullopt is a NULL pointer.
using SpoolStrings = std::vector<std::optional<std::string>>;

inline size_t SpoolStringBytes(const SpoolStrings& strings, bool wide) {
  size_t n = 0;
  for (const auto& s : strings)
    if (s) n += (s->size() + 1) * (wide ? 2 : 1);
  return n;
}

// Packs `records` (one SpoolStrings each) into `buffer`: `fill(record, i,
// pointers)` sets record i from its string pointers. Returns the bytes the
// call needs; writes only when `size` is at least that.
template <class T, class Fill>
size_t PackSpoolRecords(const std::vector<SpoolStrings>& records, bool wide, LPBYTE buffer,
                        DWORD size, Fill fill) {
  size_t needed = records.size() * sizeof(T);
  for (const SpoolStrings& r : records) needed += SpoolStringBytes(r, wide);
  if (buffer == nullptr || size < needed) return needed;
  std::memset(buffer, 0, records.size() * sizeof(T));
  char* cursor = reinterpret_cast<char*>(buffer) + records.size() * sizeof(T);
  for (size_t i = 0; i < records.size(); ++i) {
    std::vector<LPSTR> pointers;
    for (const auto& s : records[i]) {
      if (!s) {
        pointers.push_back(nullptr);
        continue;
      }
      std::memcpy(cursor, s->c_str(), s->size() + 1);
      pointers.push_back(cursor);
      cursor += s->size() + 1;
    }
    fill(reinterpret_cast<T*>(buffer)[i], pointers);
  }
  return needed;
}

}  // namespace sim
