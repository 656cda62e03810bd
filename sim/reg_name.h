// Names of registry keys and values as the simulated registry stores them.
//
// On NT the registry is Unicode; the program sees it through A calls in the
// code page. A name the code page holds is stored as its code-page bytes, so
// the A calls use it as it is. A name it does not hold (read from a Unicode
// registry.reg) is stored as a NUL byte followed by the name in WTF-8: no
// A caller can pass such a string, so "?" never opens a key named "中", and
// two such names that differ only outside the code page stay two.
//
// Order and equality are those of NT: UTF-16 code units compared after
// upper-casing. Upper case outside the code page covers Latin, Greek,
// Cyrillic, Armenian and full-width letters (Windows' table has more).
// The A view turns characters the code page lacks into '?' without
// Windows' best-fit mappings (U+0100 gives '?' here, 'A' on Windows).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sim {

inline bool IsWideName(std::string_view stored) { return !stored.empty() && stored[0] == '\0'; }

// The stored form of a WTF-8 name: code-page bytes when the code page holds
// every character and none is U+0000, else the wide form.
std::string StoredNameFromWtf8(std::string_view wtf8);
// The stored form of a backslash-separated path of WTF-8 names.
std::string StoredPathFromWtf8(std::string_view wtf8);
// The stored form of code-page names: as they are unless one holds a NUL
// (which no A caller can pass either).
std::string StoredNameFromAnsi(std::string_view ansi);
std::string StoredPathFromAnsi(std::string_view ansi);
// The name as an A call returns it.
std::string AnsiName(std::string_view stored);
// The name as UTF-8 (WTF-8) text.
std::string Wtf8Name(std::string_view stored);
// Length in UTF-16 code units (the registry's limits count those).
size_t NameUnits(std::string_view stored);

// <0, 0, >0 as NT orders names (case ignored).
int CompareNames(std::string_view a, std::string_view b);
inline bool EqualNames(std::string_view a, std::string_view b) {
  if (!IsWideName(a) && !IsWideName(b) && a.size() != b.size()) return false;
  return CompareNames(a, b) == 0;
}

}  // namespace sim
