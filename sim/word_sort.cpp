#include "sim/word_sort.h"

#include <cstdint>
#include <vector>

namespace sim {
namespace {

enum Accent : uint8_t {
  kNone,
  kAcute,
  kGrave,
  kCircumflex,
  kDiaeresis,
  kTilde,
  kRing,
  kCedilla,
  kCaron,
  kStroke,
  kHook,
  kOrdinal,
  kSuperscript,
};

enum Group : uint32_t { kSymbol = 1, kDigit = 2, kLetter = 3 };

// How one byte of code page 1252 sorts (case already folded away).
struct Entry {
  uint32_t primary[2] = {0, 0};  // up to two weights ("ß" is "ss"); 0 = none
  uint8_t accent = kNone;
  uint8_t special = 0;  // hyphen or apostrophe: left to the last level
};

// Unicode of 0x80..0x9F in code page 1252 (symbols sort by it).
const char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr uint32_t Letter(char c) { return kLetter << 16 | static_cast<uint32_t>(c - 'a' + 1); }

struct Table {
  Entry e[256];

  void Set(int byte, char base, uint8_t accent, char second = 0) {
    e[byte].primary[0] = Letter(base);
    e[byte].primary[1] = second ? Letter(second) : 0;
    e[byte].accent = accent;
  }
  // An upper and a lower case letter that weigh alike.
  void Pair(int upper, int lower, char base, uint8_t accent, char second = 0) {
    Set(upper, base, accent, second);
    Set(lower, base, accent, second);
  }

  Table() {
    for (int b = 1; b < 256; ++b) {
      const uint32_t unicode = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : static_cast<uint32_t>(b);
      e[b].primary[0] = kSymbol << 16 | unicode;
    }
    for (char c = 'a'; c <= 'z'; ++c) Pair(c - 'a' + 'A', c, c, kNone);
    for (int d = 0; d < 10; ++d) e['0' + d].primary[0] = kDigit << 16 | static_cast<uint32_t>(d);
    const int kApostrophe = '\'', kHyphen = '-';
    e[kApostrophe] = Entry{};
    e[kApostrophe].special = 1;
    e[kHyphen] = Entry{};
    e[kHyphen].special = 2;

    e[0xB9].primary[0] = kDigit << 16 | 1;  // superscript one, two, three
    e[0xB2].primary[0] = kDigit << 16 | 2;
    e[0xB3].primary[0] = kDigit << 16 | 3;
    e[0xB9].accent = e[0xB2].accent = e[0xB3].accent = kSuperscript;

    Set(0x83, 'f', kHook);
    Pair(0x8A, 0x9A, 's', kCaron);
    Pair(0x8C, 0x9C, 'o', kNone, 'e');
    Pair(0x8E, 0x9E, 'z', kCaron);
    Pair(0x9F, 0xFF, 'y', kDiaeresis);
    Set(0xAA, 'a', kOrdinal);
    Set(0xBA, 'o', kOrdinal);
    const uint8_t kSix[] = {kGrave, kAcute, kCircumflex, kTilde, kDiaeresis, kRing};
    for (int i = 0; i < 6; ++i) Pair(0xC0 + i, 0xE0 + i, 'a', kSix[i]);
    Pair(0xC6, 0xE6, 'a', kNone, 'e');
    Pair(0xC7, 0xE7, 'c', kCedilla);
    const uint8_t kFour[] = {kGrave, kAcute, kCircumflex, kDiaeresis};
    for (int i = 0; i < 4; ++i) {
      Pair(0xC8 + i, 0xE8 + i, 'e', kFour[i]);
      Pair(0xCC + i, 0xEC + i, 'i', kFour[i]);
      Pair(0xD9 + i, 0xF9 + i, 'u', kFour[i]);
    }
    Pair(0xD0, 0xF0, 'd', kStroke);
    Pair(0xD1, 0xF1, 'n', kTilde);
    const uint8_t kFive[] = {kGrave, kAcute, kCircumflex, kTilde, kDiaeresis};
    for (int i = 0; i < 5; ++i) Pair(0xD2 + i, 0xF2 + i, 'o', kFive[i]);
    Pair(0xD8, 0xF8, 'o', kStroke);
    Pair(0xDD, 0xFD, 'y', kAcute);
    // Thorn sorts after z.
    e[0xDE].primary[0] = e[0xFE].primary[0] = kLetter << 16 | 27;
    Set(0xDF, 's', kNone, 's');
  }
};

const Table& Weights() {
  static const Table table;
  return table;
}

struct SortKey {
  std::vector<uint32_t> primary;
  std::vector<uint8_t> accents;    // one per primary weight
  std::vector<uint32_t> specials;  // position << 8 | kind
};

SortKey KeyOf(const std::string& s) {
  const Table& t = Weights();
  SortKey k;
  for (char ch : s) {
    const Entry& e = t.e[static_cast<unsigned char>(ch)];
    if (e.special) {
      k.specials.push_back(static_cast<uint32_t>(k.primary.size()) << 8 | e.special);
      continue;
    }
    for (uint32_t p : e.primary) {
      if (!p) continue;
      k.primary.push_back(p);
      k.accents.push_back(e.accent);
    }
  }
  return k;
}

template <class T>
int CompareLists(const std::vector<T>& a, const std::vector<T>& b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

int CompareWordSortNoCase(const std::string& a, const std::string& b) {
  const SortKey x = KeyOf(a);
  const SortKey y = KeyOf(b);
  if (int c = CompareLists(x.primary, y.primary)) return c;
  if (int c = CompareLists(x.accents, y.accents)) return c;
  return CompareLists(x.specials, y.specials);
}

}  // namespace sim
