#include "sim/json_path.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>

namespace sim {

JsonPath JsonPath::Key(const std::string& key) const {
  JsonPath p = *this;
  p.steps_.push_back(Step{false, key, 0});
  return p;
}

JsonPath JsonPath::Index(size_t index) const {
  JsonPath p = *this;
  p.steps_.push_back(Step{true, "", index});
  return p;
}

namespace {

bool PlainName(const std::string& key) {
  if (key.empty()) return false;
  for (char c : key) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '-';
    if (!ok) return false;
  }
  return true;
}

void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    *out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out += static_cast<char>(0xC0 | (cp >> 6));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out += static_cast<char>(0xE0 | (cp >> 12));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (cp >> 18));
    *out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Walks JSON text token by token. Every step is bounded by the text's end, so
// malformed text only ends the walk early.
class Reader {
 public:
  explicit Reader(const std::string& text) : t_(text) {
    if (t_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;  // a UTF-8 byte order mark
  }

  size_t pos() const { return pos_; }
  size_t LineAt(size_t pos) const {
    return 1 +
           static_cast<size_t>(std::count(t_.begin(), t_.begin() + static_cast<long>(pos), '\n'));
  }

  void SkipSpace() {
    while (pos_ < t_.size() && std::strchr(" \t\r\n", t_[pos_]) != nullptr && t_[pos_] != '\0')
      ++pos_;
  }
  // Takes `c` (after blanks); false when something else stands there.
  bool Take(char c) {
    SkipSpace();
    if (pos_ >= t_.size() || t_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  bool At(char c) {
    SkipSpace();
    return pos_ < t_.size() && t_[pos_] == c;
  }

  // A string at the current position, decoded into `out` (may be nullptr).
  bool String(std::string* out) {
    if (!Take('"')) return false;
    while (pos_ < t_.size()) {
      const char c = t_[pos_++];
      if (c == '"') return true;
      if (c != '\\') {
        if (out) *out += c;
        continue;
      }
      if (pos_ >= t_.size()) return false;
      const char e = t_[pos_++];
      if (e == 'u') {
        uint32_t cp = 0;
        if (!Hex4(&cp)) return false;
        if (cp >= 0xD800 && cp < 0xDC00 && t_.compare(pos_, 2, "\\u") == 0) {
          pos_ += 2;
          uint32_t low = 0;
          if (!Hex4(&low)) return false;
          cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        }
        if (out) AppendUtf8(cp, out);
        continue;
      }
      static const char kFrom[] = "\"\\/bfnrt";
      static const char kTo[] = "\"\\/\b\f\n\r\t";
      const char* hit = std::strchr(kFrom, e);
      if (hit == nullptr || e == '\0') return false;
      if (out) *out += kTo[hit - kFrom];
    }
    return false;
  }

  // Skips one value of any kind: strings, numbers, literals, nested brackets.
  bool SkipValue() {
    long depth = 0;
    do {
      SkipSpace();
      if (pos_ >= t_.size()) return false;
      const char c = t_[pos_];
      if (c == '"') {
        if (!String(nullptr)) return false;
      } else if (c == '{' || c == '[') {
        ++depth;
        ++pos_;
      } else if (c == '}' || c == ']') {
        if (--depth < 0) return false;
        ++pos_;
      } else if (c == ',' || c == ':') {
        if (depth == 0) return false;
        ++pos_;
      } else {
        while (pos_ < t_.size() &&
               (t_[pos_] == '\0' || std::strchr(",:[]{}\" \t\r\n", t_[pos_]) == nullptr))
          ++pos_;
      }
    } while (depth > 0);
    return true;
  }

 private:
  bool Hex4(uint32_t* out) {
    if (pos_ + 4 > t_.size()) return false;
    *out = 0;
    for (int i = 0; i < 4; ++i) {
      const char h = t_[pos_++];
      uint32_t v;
      if (h >= '0' && h <= '9') {
        v = static_cast<uint32_t>(h - '0');
      } else if (h >= 'a' && h <= 'f') {
        v = static_cast<uint32_t>(h - 'a' + 10);
      } else if (h >= 'A' && h <= 'F') {
        v = static_cast<uint32_t>(h - 'A' + 10);
      } else {
        return false;
      }
      *out = *out * 16 + v;
    }
    return true;
  }

  const std::string& t_;
  size_t pos_ = 0;
};

// Nesting deeper than this is not searched for duplicates (the schema of
// machine.json is a few levels deep; the limit keeps the stack small).
constexpr int kMaxDepth = 64;

bool WalkForDuplicate(Reader& r, const JsonPath& here, int depth, JsonPath* path, size_t* line) {
  if (depth > kMaxDepth) return false;
  if (r.At('{')) {
    r.Take('{');
    std::set<std::string> seen;
    if (r.Take('}')) return false;
    while (true) {
      r.SkipSpace();
      const size_t keyPos = r.pos();
      std::string key;
      if (!r.String(&key) || !r.Take(':')) return false;
      if (!seen.insert(key).second) {
        *path = here.Key(key);
        *line = r.LineAt(keyPos);
        return true;
      }
      if (WalkForDuplicate(r, here.Key(key), depth + 1, path, line)) return true;
      if (r.Take('}')) return false;
      if (!r.Take(',')) return false;
    }
  }
  if (r.At('[')) {
    r.Take('[');
    if (r.Take(']')) return false;
    for (size_t i = 0;; ++i) {
      if (WalkForDuplicate(r, here.Index(i), depth + 1, path, line)) return true;
      if (r.Take(']')) return false;
      if (!r.Take(',')) return false;
    }
  }
  r.SkipValue();
  return false;
}

}  // namespace

std::string JsonPath::Text() const {
  std::string out;
  for (const Step& s : steps_) {
    if (s.is_index) {
      out += "[" + std::to_string(s.index) + "]";
    } else if (PlainName(s.key)) {
      if (!out.empty()) out += '.';
      out += s.key;
    } else {
      out += "[\"" + s.key + "\"]";
    }
  }
  return out;
}

size_t LineOfJsonPath(const std::string& text, const JsonPath& path) {
  Reader r(text);
  r.SkipSpace();
  size_t found = r.pos();
  for (const JsonPath::Step& step : path.steps()) {
    bool descended = false;
    if (!step.is_index) {
      if (!r.Take('{') || r.Take('}')) break;
      while (!descended) {
        r.SkipSpace();
        const size_t keyPos = r.pos();
        std::string key;
        if (!r.String(&key) || !r.Take(':')) break;
        if (key == step.key) {
          found = keyPos;
          descended = true;
          break;
        }
        if (!r.SkipValue() || !r.Take(',')) break;
      }
    } else {
      if (!r.Take('[') || r.Take(']')) break;
      for (size_t i = 0;; ++i) {
        r.SkipSpace();
        if (i == step.index) {
          found = r.pos();
          descended = true;
          break;
        }
        if (!r.SkipValue() || !r.Take(',')) break;
      }
    }
    if (!descended) break;
  }
  return r.LineAt(found);
}

bool FindDuplicateJsonKey(const std::string& text, JsonPath* path, size_t* line) {
  Reader r(text);
  return WalkForDuplicate(r, JsonPath(), 0, path, line);
}

}  // namespace sim
