// Reading registry.reg (both formats); writing is in reg_file_writer.cpp.
#include "sim/reg_file.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/reg_file_forms.h"
#include "sim/reg_name.h"
#include "sim/text.h"

namespace sim {
namespace {

using reg_file::IsStringType;
using reg_file::kHeader4;
using reg_file::kHeader5;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80 || c == '\0') return false;
  }
  return true;
}

// A Unicode file as WTF-8 text (every UTF-16 unit kept); false for 8-bit text.
bool DecodeText(const std::string& bytes, std::string* text) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    *text = Utf16LeToWtf8(bytes.data() + 2, (bytes.size() - 2) / 2);
    return true;
  }
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    // Malformed UTF-8 becomes '?', as the code page conversion gives it.
    text->clear();
    text->reserve(bytes.size());
    for (size_t i = 3; i < bytes.size();) {
      char32_t cp = 0;
      size_t n = DecodeWtf8(bytes, i, &cp);
      bool bad = (n == 1 && cp >= 0x80) || (cp >= 0xD800 && cp <= 0xDFFF);
      AppendWtf8(*text, bad ? U'?' : cp);
      i += n;
    }
    return true;
  }
  return false;
}

class Reader {
 public:
  Reader(const std::string& text, bool unicode, Registry& reg)
      : text_(text), reg_(reg), unicode_(unicode) {}

  bool Run(std::string* error) {
    pos_ = 0;
    line_no_ = 0;
    const char* line = nullptr;
    size_t len = 0;
    if (!NextLine(&line, &len)) return Fail(error, "empty file, expected \"REGEDIT4\"");
    std::string header(line, len);
    while (!header.empty() && IsBlank(header.back())) header.pop_back();
    if (header == kHeader5) {
      version5_ = true;
    } else if (header == kHeader4) {
      version5_ = false;
    } else {
      return Fail(error, "not a registry file: the first line must be \"REGEDIT4\" or \"" +
                             std::string(kHeader5) + "\"");
    }
    while (NextLine(&line, &len)) {
      size_t i = 0;
      while (i < len && IsBlank(line[i])) ++i;
      if (i == len || line[i] == ';') continue;
      bool ok = false;
      if (line[i] == '[') {
        ok = KeyLine(line + i, len - i);
      } else if (line[i] == '"' || line[i] == '@') {
        ok = ValueLine(line + i, len - i);
      } else {
        what_ = "unexpected text (not a key, value or comment)";
      }
      if (!ok) {
        Flush();
        return Fail(error, what_);
      }
    }
    Flush();
    return true;
  }

 private:
  bool Fail(std::string* error, const std::string& what) {
    if (error) *error = "line " + std::to_string(line_no_ == 0 ? 1 : line_no_) + ": " + what;
    return false;
  }

  // The next line without its line end.
  bool NextLine(const char** line, size_t* len) {
    if (pos_ >= text_.size()) return false;
    const char* start = text_.data() + pos_;
    const char* nl = static_cast<const char*>(std::memchr(start, '\n', text_.size() - pos_));
    size_t n = nl ? static_cast<size_t>(nl - start) : text_.size() - pos_;
    pos_ += n + (nl ? 1 : 0);
    if (n > 0 && start[n - 1] == '\r') --n;
    *line = start;
    *len = n;
    ++line_no_;
    return true;
  }

  bool KeyLine(const char* line, size_t len) {
    Flush();
    while (len > 0 && IsBlank(line[len - 1])) --len;
    if (len < 2 || line[len - 1] != ']') {
      what_ = "key line without closing \"]\"";
      return false;
    }
    bool remove = line[1] == '-';
    const std::string_view written(line + (remove ? 2 : 1), len - (remove ? 3 : 2));
    // Code-page and ASCII names are stored as written: no conversion, and the
    // buffer is reused from line to line.
    if (unicode_ ? IsAscii(written)
                 : std::memchr(written.data(), '\0', written.size()) == nullptr) {
      path_.assign(written.data(), written.size());
    } else {
      path_ = unicode_ ? StoredPathFromWtf8(written) : StoredPathFromAnsi(written);
    }
    if (remove) {
      HKEY hive = nullptr;
      std::string subkey;
      if (!Registry::SplitPath(path_, &hive, &subkey)) return UnknownRoot(written);
      RegKey* base = reg_.Predefined(hive, false);
      RegKey* key = base ? reg_.Walk(base, subkey) : nullptr;
      if (key && key != base && key->parent) reg_.Detach(key);
      key_ = nullptr;
      in_section_ = true;
      last_path_.clear();
      last_key_ = nullptr;
      return true;
    }
    // Exports list a key next to its parent and siblings: walk on from the
    // last key through the part of the path the two share.
    RegKey* key = nullptr;
    bool created = false;
    LONG err = 0;
    RegKey* from = last_key_ && !last_key_->deleted ? SharedAncestor() : nullptr;
    if (from) {
      const std::string_view rest(path_.data() + shared_, path_.size() - shared_);
      key = rest.empty() ? from : reg_.WalkCreate(from, rest.substr(1), &created, &err);
    } else {
      HKEY hive = nullptr;
      std::string subkey;
      if (!Registry::SplitPath(path_, &hive, &subkey)) return UnknownRoot(written);
      RegKey* base = reg_.Predefined(hive, true);
      key = base ? reg_.WalkCreate(base, subkey, &created, &err) : nullptr;
    }
    if (!key) {
      what_ =
          "bad key name \"" + std::string(written) + "\" (an empty part or a part longer than 255)";
      return false;
    }
    key_ = key;
    in_section_ = true;
    last_key_ = key;
    last_path_.swap(path_);
    return true;
  }

  bool UnknownRoot(std::string_view written) {
    what_ = "unknown root key in \"" + std::string(written) + "\"";
    return false;
  }

  // The key of the longest whole-part prefix that path_ shares with
  // last_path_ (its length in shared_), found by going up from last_key_ one
  // key per part of last_path_ beyond it; null when they share no part. Equal
  // bytes name the same keys, so no name is compared.
  RegKey* SharedAncestor() {
    const size_t n = std::min(path_.size(), last_path_.size());
    size_t same = 0;
    while (same < n && path_[same] == last_path_[same]) ++same;
    // Back to a part boundary of both paths.
    auto boundary = [](const std::string& p, size_t at) { return at == p.size() || p[at] == '\\'; };
    while (same > 0 && !(boundary(path_, same) && boundary(last_path_, same))) --same;
    if (same == 0) return nullptr;
    RegKey* key = last_key_;
    for (size_t i = same; i < last_path_.size(); ++i) {
      // A part starts after each backslash; an empty part made no key.
      if (last_path_[i] == '\\' && i + 1 < last_path_.size() && last_path_[i + 1] != '\\') {
        key = key->parent;
        if (!key) return nullptr;
      }
    }
    shared_ = same;
    return key;
  }

  // A quoted text from line[*i] (at the opening quote) with \\ and \" escapes.
  bool Quoted(const char* line, size_t len, size_t* i, std::string* out) {
    out->clear();
    size_t p = *i + 1;
    size_t run = p;
    while (p < len) {
      char c = line[p];
      if (c == '"') {
        out->append(line + run, p - run);
        *i = p + 1;
        return true;
      }
      if (c == '\\' && p + 1 < len && (line[p + 1] == '\\' || line[p + 1] == '"')) {
        out->append(line + run, p - run);
        *out += line[p + 1];
        p += 2;
        run = p;
        continue;
      }
      ++p;
    }
    return false;
  }

  bool RestIsEmpty(const char* line, size_t len, size_t i) {
    while (i < len && IsBlank(line[i])) ++i;
    return i == len || line[i] == ';';
  }

  bool ValueLine(const char* line, size_t len) {
    if (!in_section_) return Bad("value outside of a key");
    size_t i = 0;
    if (line[0] == '@') {
      name_.clear();
      i = 1;
    } else if (!Quoted(line, len, &i, &name_)) {
      what_ = "value name without closing quote";
      return false;
    } else if (unicode_) {
      name_ = StoredNameFromWtf8(name_);
    } else if (name_.find('\0') != std::string::npos) {
      name_ = StoredNameFromAnsi(name_);
    }
    while (i < len && IsBlank(line[i])) ++i;
    if (i == len || line[i] != '=') {
      what_ = "\"=\" expected after the value name";
      return false;
    }
    ++i;
    while (i < len && IsBlank(line[i])) ++i;
    if (i < len && line[i] == '-') {
      if (!RestIsEmpty(line, len, i + 1)) return Bad("text after \"-\"");
      Flush();
      if (key_) reg_.DeleteValue(key_, name_);
      return true;
    }
    if (i < len && line[i] == '"') {
      if (!Quoted(line, len, &i, &data_)) return Bad("string without closing quote");
      if (!RestIsEmpty(line, len, i)) return Bad("text after the closing quote");
      if (unicode_) {
        bool ok = true;
        std::string ansi = Wtf8ToAnsi(data_, &ok);
        if (!ok) {
          wide_ = Wtf8ToUtf16Le(data_);
          wide_.append(2, '\0');
          has_wide_ = true;
        }
        data_ = std::move(ansi);
      }
      data_ += '\0';
      Store(REG_SZ);
      return true;
    }
    if (len - i >= 6 && std::memcmp(line + i, "dword:", 6) == 0) {
      i += 6;
      DWORD v = 0;
      size_t digits = 0;
      while (i < len && HexDigit(line[i]) >= 0) {
        v = v << 4 | static_cast<DWORD>(HexDigit(line[i]));
        ++i;
        ++digits;
      }
      if (digits == 0 || digits > 8 || !RestIsEmpty(line, len, i)) {
        return Bad("dword: needs 1 to 8 hex digits");
      }
      data_.assign(4, '\0');
      for (int k = 0; k < 4; ++k) data_[k] = static_cast<char>(v >> (8 * k) & 0xFF);
      Store(REG_DWORD);
      return true;
    }
    if (len - i >= 3 && std::memcmp(line + i, "hex", 3) == 0) {
      i += 3;
      DWORD type = REG_BINARY;
      if (i < len && line[i] == '(') {
        ++i;
        DWORD t = 0;
        size_t digits = 0;
        while (i < len && HexDigit(line[i]) >= 0) {
          t = t << 4 | static_cast<DWORD>(HexDigit(line[i]));
          ++i;
          ++digits;
        }
        if (digits == 0 || digits > 8 || i >= len || line[i] != ')') {
          return Bad("bad type in hex(...)");
        }
        ++i;
        type = t;
      }
      if (i >= len || line[i] != ':') return Bad("\":\" expected after hex");
      ++i;
      if (!HexBytes(line, len, i)) return false;
      if (version5_ && IsStringType(type)) {
        // Version 5 writes string data as UTF-16LE; the A calls see the code page.
        bool ok = data_.size() % 2 == 0;
        if (ok) {
          std::u16string wide(data_.size() / 2, u'\0');
          for (size_t k = 0; k < wide.size(); ++k) {
            wide[k] = static_cast<char16_t>(static_cast<unsigned char>(data_[2 * k]) |
                                            static_cast<unsigned char>(data_[2 * k + 1]) << 8);
          }
          std::string ansi = Utf16ToAnsi(wide, &ok);
          if (unicode_ && !ok) wide_ = data_;
          data_ = std::move(ansi);
        } else if (unicode_) {
          wide_ = data_;  // an odd size: the A calls see the bytes as they are
        }
        has_wide_ = unicode_ && !ok;
      }
      Store(type);
      return true;
    }
    return Bad("unknown value type (expected \"...\", dword:, hex: or hex(n):)");
  }

  bool Bad(const char* what) {
    what_ = what;
    return false;
  }

  // Comma-separated hex bytes from line[i], continued on the next lines while
  // a line ends with a backslash.
  bool HexBytes(const char* line, size_t len, size_t i) {
    data_.clear();
    for (;;) {
      while (i < len && IsBlank(line[i])) ++i;
      if (i == len || line[i] == ';') return true;
      if (line[i] == '\\') {
        if (!RestIsEmpty(line, len, i + 1)) return Bad("text after the continuation \"\\\"");
        if (!NextLine(&line, &len)) return Bad("file ends after a continuation \"\\\"");
        i = 0;
        continue;
      }
      int hi = HexDigit(line[i]);
      if (hi < 0) return Bad("bad hex data");
      ++i;
      int value = hi;
      if (i < len && HexDigit(line[i]) >= 0) {
        value = hi << 4 | HexDigit(line[i]);
        ++i;
      }
      data_ += static_cast<char>(value);
      while (i < len && IsBlank(line[i])) ++i;
      if (i < len && line[i] == ',') {
        ++i;
      } else if (i < len && line[i] != '\\' && line[i] != ';') {
        return Bad("bad hex data");
      }
    }
  }

  // Values wait until their key's section ends, so the key's list is
  // allocated once at its final size.
  void Store(DWORD type) {
    if (key_) pending_.emplace_back(name_, type, data_, wide_, has_wide_);
    data_.clear();
    wide_.clear();
    has_wide_ = false;
  }

  void Flush() {
    if (pending_.empty()) return;
    if (key_) {
      if (key_->values.empty()) key_->values.reserve(pending_.size());
      for (RegValue& v : pending_) reg_.SetValue(key_, std::move(v));
    }
    pending_.clear();
  }

  const std::string& text_;
  Registry& reg_;
  size_t pos_ = 0;
  size_t line_no_ = 0;
  bool unicode_ = false;  // the text is WTF-8 from a Unicode file
  bool version5_ = false;
  bool in_section_ = false;     // a key line was seen
  RegKey* key_ = nullptr;       // key of the current section; null after [-key]
  RegKey* last_key_ = nullptr;  // last key line, for walking on to its children
  std::string last_path_;
  std::string path_;   // the stored path of the key line being read
  size_t shared_ = 0;  // bytes of path_ that SharedAncestor() found walked
  std::string name_;
  std::string data_;
  std::string wide_;  // UTF-16LE string data the code page cannot hold
  bool has_wide_ = false;
  std::vector<RegValue> pending_;
  std::string what_;
};

}  // namespace

bool ReadRegFile(const std::string& bytes, Registry& registry, std::string* error) {
  std::string decoded;
  bool unicode = DecodeText(bytes, &decoded);
  const bool wasDirty = registry.dirty;
  registry.BeginLoad();
  registry.file_format = unicode ? RegFileFormat::kUnicode : RegFileFormat::kRegedit4;
  registry.file_size = bytes.size();
  Reader reader(unicode ? decoded : bytes, unicode, registry);
  bool ok = reader.Run(error);
  registry.EndLoad();
  registry.dirty = wasDirty;
  return ok;
}

}  // namespace sim
