// Code page 1252 as the program sees it: upper case as CharUpperA gives it,
// and conversion to and from Unicode for JSON, host names and UTF-16 files.
#include "sim/text.h"

#include <cstdint>

namespace sim {
namespace {

unsigned g_code_page = 1252;

// Unicode of 0x80..0x9F in code page 1252; the five unassigned bytes map to
// the C1 control of the same number, as MultiByteToWideChar does.
const char16_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct UpperTable {
  unsigned char map[256];
  UpperTable() {
    for (int i = 0; i < 256; ++i) map[i] = static_cast<unsigned char>(i);
    for (int c = 'a'; c <= 'z'; ++c) map[c] = static_cast<unsigned char>(c - 32);
    for (int c = 0xE0; c <= 0xFE; ++c) {
      if (c != 0xF7) map[c] = static_cast<unsigned char>(c - 32);  // 0xF7 is the division sign
    }
    map[0x9A] = 0x8A;  // s caron
    map[0x9C] = 0x8C;  // oe
    map[0x9E] = 0x8E;  // z caron
    map[0xFF] = 0x9F;  // y diaeresis
  }
};

const UpperTable& Upper() {
  static const UpperTable table;
  return table;
}

// Code page byte for a Unicode character, or -1 when the code page lacks it.
int FromUnicode(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kHigh1252[i] == cp) return 0x80 + i;
  }
  return -1;
}

char32_t ToUnicode(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kHigh1252[c - 0x80];
  return c;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendAnsi(std::string& out, char32_t cp, bool* ok) {
  int b = FromUnicode(cp);
  if (b < 0) {
    out += '?';
    if (ok) *ok = false;
  } else {
    out += static_cast<char>(b);
  }
}

}  // namespace

void SetCodePage(unsigned codePage) {
  if (IsSupportedCodePage(codePage)) g_code_page = codePage;
}

unsigned CodePage() { return g_code_page; }

bool IsSupportedCodePage(unsigned codePage) { return codePage == 1252; }

unsigned char FoldUpper(unsigned char c) { return Upper().map[c]; }

std::string UpperCase(const std::string& s) {
  std::string out(s);
  const unsigned char* map = Upper().map;
  for (char& c : out) c = static_cast<char>(map[static_cast<unsigned char>(c)]);
  return out;
}

int CompareNoCase(const std::string& a, const std::string& b) {
  const unsigned char* map = Upper().map;
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = map[static_cast<unsigned char>(a[i])];
    unsigned char y = map[static_cast<unsigned char>(b[i])];
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

std::string Utf8ToAnsi(const std::string& utf8, bool* ok) {
  if (ok) *ok = true;
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  const size_t n = utf8.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    int extra = c >= 0xF0 && c < 0xF5   ? 3
                : c >= 0xE0 && c < 0xF0 ? 2
                : c >= 0xC2 && c < 0xE0 ? 1
                                        : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= n) {
      // A stray or truncated sequence: one replacement character for its first byte.
      out += '?';
      if (ok) *ok = false;
      ++i;
      continue;
    }
    char32_t cp = c & (0x3F >> extra);
    bool good = true;
    for (int k = 1; k <= extra; ++k) {
      unsigned char cc = static_cast<unsigned char>(utf8[i + k]);
      if ((cc & 0xC0) != 0x80) {
        good = false;
        break;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!good || (extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
      out += '?';
      if (ok) *ok = false;
      ++i;
      continue;
    }
    AppendAnsi(out, cp, ok);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::string AnsiToUtf8(const std::string& ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char c : ansi) AppendUtf8(out, ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf16ToAnsi(const std::u16string& s, bool* ok) {
  if (ok) *ok = true;
  std::string out;
  out.reserve(s.size());
  const size_t n = s.size();
  for (size_t i = 0; i < n; ++i) {
    char16_t u = s[i];
    if (u < 0x80) {
      out += static_cast<char>(u);
      continue;
    }
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      ++i;  // a character beyond the BMP: no 8-bit code page has it
      out += '?';
      if (ok) *ok = false;
      continue;
    }
    AppendAnsi(out, u, ok);
  }
  return out;
}

std::u16string AnsiToUtf16(const std::string& ansi) {
  std::u16string out;
  out.reserve(ansi.size());
  for (char c : ansi) out += static_cast<char16_t>(ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

void AppendWtf8(std::string& out, char32_t cp) {
  if (cp < 0x10000) {
    AppendUtf8(out, cp);
    return;
  }
  out += static_cast<char>(0xF0 | (cp >> 18));
  out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (cp & 0x3F));
}

std::string Utf16LeToWtf8(const char* bytes, size_t units) {
  std::string out;
  out.reserve(units);
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
  for (size_t i = 0; i < units; ++i) {
    char32_t u = static_cast<char32_t>(b[2 * i] | b[2 * i + 1] << 8);
    if (u < 0x80) {
      out += static_cast<char>(u);
      continue;
    }
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      char32_t low = static_cast<char32_t>(b[2 * i + 2] | b[2 * i + 3] << 8);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendWtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendWtf8(out, u);
  }
  return out;
}

size_t DecodeWtf8(std::string_view s, size_t i, char32_t* cp) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  *cp = c;
  const size_t extra = c >= 0xF0 && c < 0xF5   ? 3
                       : c >= 0xE0 && c < 0xF0 ? 2
                       : c >= 0xC2 && c < 0xE0 ? 1
                                               : 0;
  if (extra == 0 || i + extra >= s.size()) return 1;
  char32_t v = c & (0x3F >> extra);
  for (size_t k = 1; k <= extra; ++k) {
    const unsigned char cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) return 1;
    v = v << 6 | (cc & 0x3F);
  }
  if ((extra == 2 && v < 0x800) || (extra == 3 && (v < 0x10000 || v > 0x10FFFF))) return 1;
  *cp = v;
  return extra + 1;
}

std::string Wtf8ToUtf16Le(std::string_view s) {
  std::string out;
  out.reserve(2 * s.size());
  auto put = [&out](char32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  for (size_t i = 0; i < s.size();) {
    char32_t cp = 0;
    i += DecodeWtf8(s, i, &cp);
    if (cp >= 0x10000) {
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
  }
  return out;
}

std::string Wtf8ToAnsi(std::string_view s, bool* ok) {
  if (ok) *ok = true;
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    char32_t cp = 0;
    i += DecodeWtf8(s, i, &cp);
    AppendAnsi(out, cp, ok);
  }
  return out;
}

}  // namespace sim
