// Writing registry.reg as regedit exports it, in the format it was read in.
#include <string>
#include <string_view>
#include <utility>

#include "sim/reg_file.h"
#include "sim/reg_file_forms.h"
#include "sim/reg_name.h"
#include "sim/text.h"

namespace sim {
namespace {

using reg_file::IsStringType;
using reg_file::kHeader4;
using reg_file::kHeader5;

// UTF-16LE bytes of code-page text.
std::string AnsiToUtf16Le(std::string_view ansi) {
  const std::u16string wide = AnsiToUtf16(std::string(ansi));
  std::string out(2 * wide.size(), '\0');
  for (size_t i = 0; i < wide.size(); ++i) {
    out[2 * i] = static_cast<char>(wide[i] & 0xFF);
    out[2 * i + 1] = static_cast<char>(wide[i] >> 8);
  }
  return out;
}

const char kHex[] = "0123456789abcdef";
constexpr size_t kHexLineLimit = 77;  // regedit's wrap column for hex data

void AppendEscaped(std::string& out, std::string_view s) {
  size_t run = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\\' || c == '"') {
      out.append(s.data() + run, i - run);
      out += '\\';
      out += c;
      run = i + 1;
    }
  }
  out.append(s.data() + run, s.size() - run);
}

// A string regedit can write as "text": one terminating zero, none inside,
// and no line break that would split the line.
bool PlainString(std::string_view data) {
  if (data.empty() || data.back() != '\0') return false;
  const size_t n = data.size() - 1;
  for (size_t i = 0; i < n; ++i) {
    char c = data[i];
    if (c == '\0' || c == '\r' || c == '\n') return false;
  }
  return true;
}

// The same for UTF-16LE data.
bool PlainWideString(std::string_view wide) {
  if (wide.size() < 2 || wide.size() % 2 != 0) return false;
  const size_t units = wide.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    const unsigned u = static_cast<unsigned char>(wide[2 * i]) |
                       static_cast<unsigned>(static_cast<unsigned char>(wide[2 * i + 1])) << 8;
    if ((u == 0) != (i + 1 == units) || u == '\r' || u == '\n') return false;
  }
  return true;
}

// Characters (UTF-16 units) of WTF-8 text, for the wrap column.
size_t Units(std::string_view s) {
  size_t n = 0;
  for (char c : s) {
    const unsigned char b = static_cast<unsigned char>(c);
    if ((b & 0xC0) != 0x80) n += b >= 0xF0 ? 2 : 1;
  }
  return n;
}

// Writes keys as regedit exports them. A Unicode file is made as WTF-8 text
// one key at a time and turned into UTF-16LE behind it.
class Writer {
 public:
  Writer(bool unicode, bool creationOrder) : unicode_(unicode), creation_order_(creationOrder) {}

  std::string Run(const Registry& registry) {
    // Room for a little growth over the file read: no copy as the text grows.
    const size_t guess = registry.file_size + registry.file_size / 16 + (1 << 16);
    out_.reserve(unicode_ ? 1 << 17 : guess);
    if (unicode_) {
      file_.reserve(guess);
      file_ = "\xFF\xFE";
      out_ = kHeader5;
    } else {
      out_ = kHeader4;
    }
    out_ += "\r\n\r\n";
    for (int i = 0; i < 4; ++i) {
      const RegKey* root = registry.Root(i);
      std::string path = root->name;
      Key(*root, path, !root->values.empty());
    }
    if (!unicode_) return std::move(out_);
    Widen();
    return std::move(file_);
  }

 private:
  void Widen() {
    file_ += Wtf8ToUtf16Le(out_);
    out_.clear();
  }

  void Name(std::string& out, std::string_view stored) {
    if (!IsWideName(stored) && (!unicode_ || IsAsciiText(stored))) {
      out.append(stored.data(), stored.size());
    } else {
      out += unicode_ ? Wtf8Name(stored) : AnsiName(stored);
    }
  }

  static bool IsAsciiText(std::string_view s) {
    for (char c : s) {
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
  }

  void Value(const RegValue& v) {
    const size_t lineStart = out_.size();
    if (v.name().empty()) {
      out_ += "@=";
    } else {
      out_ += '"';
      if (unicode_ || IsWideName(v.name())) {
        std::string name;
        Name(name, v.name());
        AppendEscaped(out_, name);
      } else {
        AppendEscaped(out_, v.name());
      }
      out_ += "\"=";
    }
    std::string_view data = v.data();
    std::string wide;
    if (unicode_ && IsStringType(v.type)) {
      if (v.has_wide()) {
        data = v.wide();
      } else if (v.type == REG_SZ && PlainString(data)) {
        Text(AnsiToUtf8(std::string(data.substr(0, data.size() - 1))));
        return;
      } else {
        wide = AnsiToUtf16Le(data);
        data = wide;
      }
      if (v.type == REG_SZ && PlainWideString(data)) {
        Text(Utf16LeToWtf8(data.data(), data.size() / 2 - 1));
        return;
      }
    } else if (v.type == REG_SZ && PlainString(data)) {
      Text(data.substr(0, data.size() - 1));
      return;
    }
    const unsigned char* d = reinterpret_cast<const unsigned char*>(data.data());
    if (v.type == REG_DWORD && data.size() == 4) {
      DWORD x = static_cast<DWORD>(d[0]) | static_cast<DWORD>(d[1]) << 8 |
                static_cast<DWORD>(d[2]) << 16 | static_cast<DWORD>(d[3]) << 24;
      out_ += "dword:";
      for (int shift = 28; shift >= 0; shift -= 4) out_ += kHex[(x >> shift) & 0xF];
      out_ += "\r\n";
      return;
    }
    if (v.type == REG_BINARY) {
      out_ += "hex:";
    } else {
      out_ += "hex(";
      bool started = false;
      for (int shift = 28; shift >= 0; shift -= 4) {
        unsigned digit = (v.type >> shift) & 0xF;
        if (digit || started || shift == 0) {
          out_ += kHex[digit];
          started = true;
        }
      }
      out_ += "):";
    }
    const std::string_view prefix(out_.data() + lineStart, out_.size() - lineStart);
    size_t lineLen = unicode_ ? Units(prefix) : prefix.size();
    const size_t n = data.size();
    for (size_t i = 0; i < n; ++i) {
      out_ += kHex[d[i] >> 4];
      out_ += kHex[d[i] & 0xF];
      if (i + 1 == n) break;
      out_ += ',';
      lineLen += 3;
      if (lineLen >= kHexLineLimit) {
        out_ += "\\\r\n  ";
        lineLen = 2;
      }
    }
    out_ += "\r\n";
  }

  void Text(std::string_view text) {
    out_ += '"';
    AppendEscaped(out_, text);
    out_ += "\"\r\n";
  }

  void Key(const RegKey& key, std::string& path, bool writeHeader) {
    if (writeHeader) {
      out_ += '[';
      out_ += path;
      out_ += "]\r\n";
      for (const RegValue& v : key.values) Value(v);
      out_ += "\r\n";
      if (unicode_ && out_.size() >= 1 << 16) Widen();
    }
    const size_t keep = path.size();
    auto write = [&](const RegKey& child) {
      path += '\\';
      Name(path, child.name);
      Key(child, path, true);
      path.resize(keep);
    };
    if (creation_order_) {
      for (const RegKey* child : Registry::InCreationOrder(key)) write(*child);
    } else {
      for (const KeyRef& child : key.subkeys()) write(*child);
    }
  }

  const bool unicode_;
  const bool creation_order_;  // 9x lists (and exports) subkeys in creation order
  std::string out_;            // the file, or for a Unicode file its WTF-8 text not yet widened
  std::string file_;           // a Unicode file's bytes
};

}  // namespace

std::string WriteRegFile(const Registry& registry) {
  return Writer(registry.file_format == RegFileFormat::kUnicode, !registry.nt_family).Run(registry);
}

}  // namespace sim
