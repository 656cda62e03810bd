#include "sim/reg_name.h"

#include <memory>

#include "sim/text.h"

namespace sim {
namespace {

// Upper case of every UTF-16 code unit, as the registry compares names.
struct Upcase {
  std::unique_ptr<char16_t[]> wide{new char16_t[0x10000]};
  char16_t ansi[256];  // upper case of a code-page byte, as a UTF-16 unit

  Upcase() {
    for (char32_t u = 0; u < 0x10000; ++u) wide[u] = static_cast<char16_t>(u);
    auto pairs = [this](char32_t from, char32_t to, bool upperEven) {
      for (char32_t u = from; u <= to; ++u) {
        if ((u % 2 == 0) != upperEven) wide[u] = static_cast<char16_t>(u - 1);
      }
    };
    auto shift = [this](char32_t from, char32_t to, char32_t by) {
      for (char32_t u = from; u <= to; ++u) wide[u] = static_cast<char16_t>(u - by);
    };
    pairs(0x0100, 0x012F, true);
    pairs(0x0132, 0x0137, true);
    pairs(0x0139, 0x0148, false);
    pairs(0x014A, 0x0177, true);
    pairs(0x0179, 0x017E, false);
    shift(0x03B1, 0x03C1, 0x20);
    wide[0x03C2] = 0x03A3;  // final sigma
    shift(0x03C3, 0x03CB, 0x20);
    wide[0x03AC] = 0x0386;
    shift(0x03AD, 0x03AF, 0x25);
    wide[0x03CC] = 0x038C;
    shift(0x03CD, 0x03CE, 0x3F);
    shift(0x0430, 0x044F, 0x20);
    shift(0x0450, 0x045F, 0x50);
    pairs(0x0460, 0x0481, true);
    pairs(0x048A, 0x04BF, true);
    shift(0x0561, 0x0586, 0x30);
    pairs(0x1E00, 0x1E95, true);
    pairs(0x1EA0, 0x1EF9, true);
    shift(0xFF41, 0xFF5A, 0x20);
    // The code page's own characters fold as CharUpperA folds them.
    for (int c = 0; c < 256; ++c) {
      const std::u16string from = AnsiToUtf16(std::string(1, static_cast<char>(c)));
      const std::u16string to =
          AnsiToUtf16(std::string(1, static_cast<char>(FoldUpper(static_cast<unsigned char>(c)))));
      wide[from[0]] = to[0];
      ansi[c] = to[0];
    }
  }
};

const Upcase& Table() {
  static const Upcase table;
  return table;
}

// Upper-cased UTF-16 code units of a stored name, one at a time; -1 at the end.
class Units {
 public:
  explicit Units(std::string_view s) : s_(s), wide_(IsWideName(s)), i_(wide_ ? 1 : 0) {}
  int Next() {
    if (low_) {
      int u = low_;
      low_ = 0;
      return u;
    }
    if (i_ >= s_.size()) return -1;
    const Upcase& t = Table();
    if (!wide_) return t.ansi[static_cast<unsigned char>(s_[i_++])];
    char32_t cp = 0;
    i_ += DecodeWtf8(s_, i_, &cp);
    if (cp >= 0x10000) {
      low_ = static_cast<int>(0xDC00 + ((cp - 0x10000) & 0x3FF));
      return static_cast<int>(0xD800 + ((cp - 0x10000) >> 10));
    }
    return t.wide[cp];
  }

 private:
  std::string_view s_;
  bool wide_;
  size_t i_;
  int low_ = 0;
};

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80 || c == '\0') return false;
  }
  return true;
}

// Applies `name` to each backslash-separated name of `path`.
template <class NameFn>
std::string MapPathNames(std::string_view path, NameFn name) {
  std::string out;
  size_t pos = 0;
  for (;;) {
    const size_t slash = path.find('\\', pos);
    out += name(path.substr(pos, slash - pos));
    if (slash == std::string_view::npos) return out;
    out += '\\';
    pos = slash + 1;
  }
}

}  // namespace

std::string StoredNameFromWtf8(std::string_view wtf8) {
  if (IsAscii(wtf8)) return std::string(wtf8);
  bool ok = true;
  std::string ansi = Wtf8ToAnsi(wtf8, &ok);
  if (ok && ansi.find('\0') == std::string::npos) return ansi;
  std::string wide(1, '\0');
  wide += wtf8;
  return wide;
}

std::string StoredPathFromWtf8(std::string_view wtf8) {
  if (IsAscii(wtf8)) return std::string(wtf8);
  return MapPathNames(wtf8, StoredNameFromWtf8);
}

std::string StoredNameFromAnsi(std::string_view ansi) {
  if (ansi.find('\0') == std::string_view::npos) return std::string(ansi);
  std::string wide(1, '\0');
  wide += AnsiToUtf8(std::string(ansi));
  return wide;
}

std::string StoredPathFromAnsi(std::string_view ansi) {
  if (ansi.find('\0') == std::string_view::npos) return std::string(ansi);
  return MapPathNames(ansi, StoredNameFromAnsi);
}

std::string AnsiName(std::string_view stored) {
  if (!IsWideName(stored)) return std::string(stored);
  return Wtf8ToAnsi(stored.substr(1));
}

std::string Wtf8Name(std::string_view stored) {
  if (IsWideName(stored)) return std::string(stored.substr(1));
  return AnsiToUtf8(std::string(stored));
}

size_t NameUnits(std::string_view stored) {
  if (!IsWideName(stored)) return stored.size();
  size_t n = 0;
  for (Units u(stored); u.Next() >= 0;) ++n;
  return n;
}

int CompareNames(std::string_view a, std::string_view b) {
  if (!IsWideName(a) && !IsWideName(b)) {
    const char16_t* t = Table().ansi;
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
      const char16_t x = t[static_cast<unsigned char>(a[i])];
      const char16_t y = t[static_cast<unsigned char>(b[i])];
      if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
  }
  Units ua(a);
  Units ub(b);
  for (;;) {
    const int x = ua.Next();
    const int y = ub.Next();
    if (x != y) return x < y ? -1 : 1;
    if (x < 0) return 0;
  }
}

}  // namespace sim
